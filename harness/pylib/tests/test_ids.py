"""The identifiers reader takes what the headers define and nothing else."""

from suite_e2e.ids import program_ids, read_ids


def test_reads_numbers_and_skips_other_defines(tmp_path):
    header = tmp_path / "x_ids.h"
    header.write_text(
        "#ifndef X_IDS_H\n#define X_IDS_H\n"
        "#define IDC_A 101\n"
        "  #  define IDC_HEX 0x1F /* a comment */\n"
        "#define IDC_PAREN (250)\n"
        "#define IDC_SUFFIX 7u // trailing\n"
        "#define IDS_TEXT \"not a number\"\n"
        "#define IDC_EXPR (IDC_A + 1)\n"
        "#define IDC_NEG -1\n")
    ids = read_ids(header)
    assert ids.names() == {"IDC_A": 101, "IDC_HEX": 31, "IDC_PAREN": 250, "IDC_SUFFIX": 7, "IDC_NEG": -1}
    assert ids.IDC_A == ids["IDC_A"] == 101
    assert "X_IDS_H" not in ids


def test_unknown_names_fail_loudly():
    ids = program_ids("velmic")
    try:
        ids.IDC_NO_SUCH_CONTROL
    except AttributeError as error:
        assert "IDC_NO_SUCH_CONTROL" in str(error)
    else:
        raise AssertionError("an unknown identifier passed")


def test_every_program_header_reads():
    for program in ("velmic", "palvine", "gorvat", "nystra", "cordane"):
        assert program_ids(program).names(), program
    assert program_ids("velmic").IDC_APPLY == 250

"""Backup and restore: two panels with every setting and record changed from
the defaults are exported; everything is changed again (driver, panels,
registry); the import puts it back, and a second export is byte for byte the
first. A bad file is refused with nothing written."""

import re

import pytest


def settings(s):
    """Set `s` (1 or 2) of values for every setting of both panels, their
    records, the system record and the driver's modes: console command lines."""
    commands = []
    for p in (0, 1):
        for alt in ([], ["--saved"]):
            commands += [["calibration", p, *alt, 9000 + s + p, -s, 11000 + s, p + 3],
                         ["click", p, *alt, 10 * s, 40, 300 + 10 * s + 10 * p, 36],
                         ["sound", p, *alt, "on" if (s + p) % 2 == 0 else "off"]]
        commands.append(["led", p, 100 + s + p])
    even = s % 2 == 0
    return commands + [["record", 17, "--name", f"Line {s}", "--mode", "supervisor" if even else "disable"],
                       ["record", 34, "--name", f"Press {s}", "--mode", "interlock"],
                       ["system", "--timeout", 40 + s, "--time-release", "on" if even else "off"],
                       ["click-mode", "right" if even else "middle"],
                       ["once-mode", 0, "left" if even else "right"]]


@pytest.fixture
def exported(e2e, ctl):
    """Two panels with set 1, exported by the console; then set 2 everywhere.
    (host path of the export, its Windows name, the driver's panels at the export)."""
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    ctl.setup(*settings(1))
    path, name = ctl.file("first.json")
    ctl.ok("export", "all", "-o", name)
    panels = ctl.panels()
    ctl.setup(*settings(2))
    assert ctl.panels() != panels, "nothing changed"
    yield path, name, panels
    path.unlink(missing_ok=True)


def test_import_puts_everything_back(exported, ctl):
    first, first_name, panels = exported

    # A dry run writes nothing.
    ctl.clear_log()
    dry = ctl.ok("import", first_name, "--dry-run")
    assert re.search(r"^dry run: .* change\(s\) would be made$", dry, re.M), dry
    assert ctl.writes() == [], "the dry run wrote to the driver"
    assert ctl.value("ID17", "NAME") == ("REG_SZ", "Line 2")

    out = ctl.ok("import", first_name)
    assert 'panel 0 (id 17) record ID17: "Line 2" supervisor IR_OP 0 -> "Line 1" disable IR_OP 0' in out.split("\n"), \
        out
    second, second_name = ctl.file("second.json")
    try:
        ctl.ok("export", "all", "-o", second_name)
        assert second.read_bytes() == first.read_bytes(), "the second export differs from the first"
    finally:
        second.unlink(missing_ok=True)
    assert ctl.panels() == panels, "the driver's state differs"
    assert [ctl.value("ID17", "NAME"), ctl.value("ID17", "TOUCH_OP"), ctl.value("ALL", "TIMEOUT")] == \
        [("REG_SZ", "Line 1"), ("REG_DWORD", 0), ("REG_DWORD", 41)]


def test_truncated_file_is_refused(exported, ctl):
    first, _, _ = exported
    bad, bad_name = ctl.file("bad.json")
    bad.write_bytes(first.read_bytes()[:300])
    try:
        ctl.clear_log()
        done = ctl.exits(1, "import", bad_name)
    finally:
        bad.unlink()
    assert re.search(r"not a valid JSON document: parse error at line .*; nothing written", done["stderr"]), done
    assert ctl.writes() == [], "a refused file wrote to the driver"
    assert ctl.value("ID17", "NAME") == ("REG_SZ", "Line 2")

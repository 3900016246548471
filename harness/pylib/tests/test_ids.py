"""The identifiers come from the file the build generates from the real
headers, with the values the code uses."""

import subprocess

import pytest

from suite_e2e import ids as ids_module
from suite_e2e.env import REPO


@pytest.fixture
def generated(tmp_path, monkeypatch):
    out = tmp_path / "e2e_ids.sh"
    headers = ";".join(str(REPO / p / f"{p}_ids.h") for p in ("velmic", "gorvat", "palvine", "nystra", "cordane"))
    subprocess.run(["cmake", f"-DOUT={out}", f"-DHEADERS={headers}",
                    f"-DFOLDER={REPO / 'installer' / 'include' / 'suite_install_folder.h'}",
                    "-P", str(REPO / "harness" / "make-e2e-ids.cmake")], check=True, capture_output=True)
    monkeypatch.setenv("SUITE_E2E_IDS", str(out))
    return out


def test_values_of_every_kind_read(generated):
    velmic = ids_module.program_ids("velmic")
    assert velmic.IDC_APPLY == velmic.VELMIC_IDC_APPLY == 250
    assert velmic.IDOK == 1 and velmic.IDNO == 7
    gorvat = ids_module.program_ids("gorvat")
    assert gorvat.MAIN_CLASS == gorvat.GORVAT_MAIN_CLASS == "frmMain"
    folder = ids_module.suite_ids().SUITE_INSTALL_FOLDER
    assert folder.startswith("C:\\") and "\\\\" not in folder and "$" not in folder


def test_every_program_has_identifiers_and_unknown_names_fail_loudly(generated):
    for program in ("velmic", "palvine", "gorvat", "nystra", "cordane"):
        assert ids_module.program_ids(program).names(), program
    with pytest.raises(AttributeError, match="IDC_NO_SUCH_CONTROL"):
        ids_module.program_ids("velmic").IDC_NO_SUCH_CONTROL
    with pytest.raises(KeyError):
        ids_module.program_ids("noprogram")

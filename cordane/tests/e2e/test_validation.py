"""Refused input: fields outside their limits, and panel names the ANSI code
page cannot hold. The message names the limit, the dialog stays open and
nothing is saved; once corrected, OK saves."""

import shutil

import pytest

from suite_e2e.env import windows_path

TIME_OUT_MESSAGE = "Enter a whole number of seconds from 1 to 1800."
NAME_MESSAGE = "Enter a panel name of at most 16 characters."
CHARACTERS = "The panel name has characters that this computer cannot store."


def test_validation(cordane, e2e):
    """A stored time-out outside 1..1800 with time release off does not stand
    in the way of OK."""
    ids = cordane.IDS
    e2e.driver.attach(0x11)
    cordane.put_panel(17, "Line A", 1)
    cordane.put_system(30, 1)
    main = cordane.start()

    for n, bad in enumerate(["0", "1801", "abc", ""]):
        main.settext(ids.IDC_TIME_OUT, bad)
        main.click(cordane.IDOK)
        cordane.expect_box(TIME_OUT_MESSAGE, "cordane-validation.png" if n == 0 else None)
        assert main.state()["visible"] == 1, f"the dialog closed after time-out [{bad}]"
        assert cordane.system_record() == (30, 1), f"time-out [{bad}]"
    # A name of 17 characters (set from outside: typing stops at 16).
    main.settext(ids.IDC_TIME_OUT, "1800")
    cordane.set_name(0, "ABCDEFGHIJKLMNOPQ")
    main.click(cordane.IDOK)
    cordane.expect_box(NAME_MESSAGE)
    assert cordane.record(17) == ("Line A", 1, 0)
    cordane.set_name(0, "ABCDEFGHIJKLMNOP")
    main.click(cordane.IDOK)
    cordane.wait_closed()
    assert cordane.record(17) == ("ABCDEFGHIJKLMNOP", 1, 0)
    assert cordane.system_record() == (1800, 1)

    # Time release off with a stored time-out of 0: OK saves it as it was.
    cordane.put_system(0, 0)
    main = cordane.start()
    assert main.state(ids.IDC_TIME_OUT)["enabled"] == 0
    main.click(cordane.IDOK)
    cordane.wait_closed()
    assert cordane.system_record() == (0, 0)


def _stored_name(e2e, cordane, panel_id):
    value = e2e.registry.read(32, f"{cordane.KEY}\\ID{panel_id}", "NAME")
    return value and value[1]


def _expect_refused(e2e, cordane, units):
    """Types the name in row 1, presses OK and expects the refusal; nothing saved."""
    cordane.set_name_units(0, units)
    cordane.main.click(cordane.IDOK)
    cordane.expect_box(CHARACTERS)
    assert cordane.record(17) is None, "saved after the refusal"


LODZ = [0x0141, 0x00F3, 0x0064, 0x017A]  # "Łódź"


@pytest.mark.parametrize("utf8, refused, accepted, stored", [
    # Western: 'Ł' has only a best-fit 'L' there; 'é' is held.
    pytest.param(False, LODZ, [0x0043, 0x0061, 0x0066, 0x00E9], "Café", id="western"),
    # UTF-8 as the ANSI code page: half a surrogate pair is refused, "Łódź" is saved as typed.
    pytest.param(True, [0x0061, 0xD800], LODZ, "Łódź", id="utf8"),
])
def test_code_page(cordane, e2e, utf8, refused, accepted, stored):
    """Panel names against the ANSI code page: with Western (1252) a name with
    'Ł' is refused, not saved with a best-fit 'L'; with UTF-8 as the ANSI code
    page (Windows' "Use Unicode UTF-8 for worldwide language support", given
    here to a copy of Cordane by its manifest) the same name is saved as
    typed."""
    e2e.driver.attach(0x11)
    exe = e2e.exe("Cordane.exe")
    if utf8:
        # A copy of Cordane beside the libraries, with the code page setting.
        folder = e2e.test_logs / "utf8"
        folder.mkdir(parents=True, exist_ok=True)
        for library in ("BRIMOL.DLL", "TAVLO.DLL"):
            shutil.copy(e2e.exe(library), folder)
        done = e2e.run(e2e.exe("cordane_e2e_helper.exe"), "utf8-copy", windows_path(exe),
                       windows_path(folder / "Cordane.exe"))
        assert done["status"] == 0, f"no UTF-8 copy of Cordane: {done}"
        exe = folder / "Cordane.exe"
    cordane.start(exe)
    _expect_refused(e2e, cordane, refused)
    cordane.set_name_units(0, accepted)
    cordane.main.click(cordane.IDOK)
    cordane.wait_closed()
    assert _stored_name(e2e, cordane, 17) == stored

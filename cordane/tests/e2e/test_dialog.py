"""Cordane beside the other programs: its about box, the tool buttons that
start the installed tools, and the interlock that reads what it saves."""

import shutil

import pytest

from suite_e2e import program_ids
from suite_e2e.ids import suite_ids

CALIBRATION = "Touch Panel Calibration"  # the calibration tool's window
SETTINGS = "Touch Settings Program"  # the click settings tool's dialog
SETTINGS_START = "Touch panel settings  -  Information"
WINDOWS_DEFAULT_TIME = 500  # double-click time; the click settings tool changes it
INTERLOCK = "Interlock Control"
RELEASED = "  Released  "
IDCANCEL = 2


def test_about(cordane, e2e):
    """The about box from the system menu, with its Japanese caption intact,
    and the dialog's caption."""
    ids = cordane.IDS
    e2e.driver.attach(0x11)
    main = cordane.start()
    assert main.text() == "Panel Setting"
    e2e.call("window.syscommand", window=main.handle, cmd=ids.IDM_ABOUTBOX)
    about = main.popup(timeout=5)
    assert about.text() == "Cordaneのバージョン情報"
    assert about.text(ids.IDC_ABOUT_TEXT) == "Cordane Version 1.0"
    e2e.screenshot("cordane-about.png")
    about.click(cordane.IDOK)
    about.gone(timeout=5)
    assert main.state()["visible"] == 1, "the dialog went with the about box"
    main.close()
    cordane.wait_closed()


@pytest.fixture
def tools(e2e):
    """The click settings and calibration tools in the install folder of the
    prefix; afterwards their windows are closed, the double-click time the
    settings tool may have changed is put back and the folder removed."""
    names = suite_ids()
    vendor, program = names.SUITE_VENDOR_FOLDER_NAME, names.SUITE_PROGRAM_FOLDER_NAME
    top = e2e.env.root / "prefix" / "drive_c" / vendor
    folder = top / program
    e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)
    folder.mkdir(parents=True, exist_ok=True)
    for name in ("Gorvat.exe", "Velmic.exe", "TAVLO.DLL"):
        shutil.copy(e2e.exe(name), folder)
    yield folder
    # Started by Cordane, not by the test: ended here, each step on its own.
    for step in (lambda: e2e.window(CALIBRATION).close(), lambda: e2e.window(SETTINGS).click(IDCANCEL),
                 lambda: e2e.wait_gone(CALIBRATION), lambda: e2e.wait_gone(SETTINGS_START),
                 lambda: e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)):
        try:
            step()
        except Exception:  # a tool that never started or already ended
            pass
    shutil.rmtree(top, ignore_errors=True)


def test_tools(cordane, e2e, tools):
    """The tool buttons start the real programs placed at the fixed paths in
    the prefix, without waiting: Cordane stays usable while a tool runs, and
    the tool finds the active panel itself. A tool that is not installed
    starts nothing and shows nothing."""
    velmic_ids = program_ids("velmic")
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    main = cordane.start()
    # Row 2's button: the tool is told nothing about the row.
    main.click(cordane.ID_CALIBRATION[1])
    calibration = e2e.wait_for_window(CALIBRATION, timeout=15)
    assert main.text(cordane.ID_IDS[0]) == "17", "Cordane does not answer while the tool runs"
    assert main.state()["visible"] == 1, "Cordane is hidden"
    calibration.close()
    calibration.gone(timeout=10)

    # Row 1's "Touch Settings": the click settings tool opens on the active
    # panel (panel 0, identifier 17) and ends with its Cancel.
    main.click(cordane.ID_TOUCH[0])
    settings = e2e.wait_for_window(SETTINGS, timeout=15)
    settings.wait({"visible": 1})
    settings.wait_text(velmic_ids.IDC_ACTIVE_PANEL_ID, " 17")
    assert main.text(cordane.ID_IDS[1]) == "34", "Cordane does not answer while the tool runs"
    settings.click(cordane.IDCANCEL)
    e2e.wait_gone(SETTINGS_START, timeout=10)

    # The tool is not in the folder: the click starts nothing and opens no
    # box, so the Cancel clicked after it closes the dialog.
    (tools / "Velmic.exe").unlink()
    main.click(cordane.ID_TOUCH[1])
    main.click(cordane.IDCANCEL)
    cordane.wait_closed()
    assert e2e.call("window.count", title=cordane.BOX)["count"] == 0, "a box opened for the missing tool"


def test_nystra_disable(cordane, e2e):
    """Cordane and the interlock meet only in the registry: with the interlock
    running, Cordane turns panel 0 into Disable; a touch on panel 0 no longer
    activates it, while panel 1 still can be activated."""
    active_name = program_ids("nystra").IDC_ACTIVE_NAME
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    cordane.put_panel(17, "Line A", 1)
    cordane.put_panel(34, "Line B", 1)
    e2e.launch(e2e.exe("Nystra.exe"))
    nystra = e2e.wait_for_window(INTERLOCK, timeout=15)
    nystra.wait_text(active_name, RELEASED)
    e2e.driver.wait({"panels": [{"pointdata": 0}, {"pointdata": 0}]})

    main = cordane.start()
    cordane.set_mode(0, 2)
    main.click(cordane.IDOK)
    cordane.wait_closed()
    assert cordane.record(17) == ("Line A", 0, 0)

    # Touch panel 0 and let the interlock poll it several times (each poll
    # reads both touch flags): nothing is activated meanwhile. The interlock
    # polls about five times a second; the check lasts long enough for six
    # polls (twelve requests) on a loaded machine, and fails if they were fewer.
    e2e.driver.touch(0)
    seen = e2e.driver.state()["driver"]["requests"]
    e2e.stays("batch", {"results": [{"panels": [{"pointdata": 0}, {"pointdata": 0}]}, {"text": RELEASED}]}, 4,
              commands=[{"cmd": "driver.state", "args": {}},
                        {"cmd": "window.text", "args": {"window": nystra.handle, "id": active_name}}])
    assert e2e.driver.state()["driver"]["requests"] >= seen + 12, "the interlock does not poll"
    e2e.driver.release(0)
    e2e.driver.touch(1)
    e2e.driver.wait({"panels": [{"pointdata": 0}, {"pointdata": 1}]})
    nystra.wait_text(active_name, "Line B")
    e2e.driver.release(1)

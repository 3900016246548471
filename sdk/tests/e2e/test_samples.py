"""The SDK's samples, each in its MinGW-w64 build and in its build in
Microsoft's ABI, against the simulated driver, the registry and a running
Nystra: what each prints, its exit code, and what it left in the driver."""

import pytest

# The program's file name suffix of each build.
BUILDS = pytest.mark.parametrize("build", ["", "_msabi"], ids=["mingw", "msabi"])


@pytest.fixture
def three_panels(programs, e2e):
    """Panels 0x11, 0x22, 0x33; records for 17 (interlock) and 34 (supervisor), none for 51."""
    programs.put("ID17", ("NAME", "REG_SZ", "Line A"), ("TOUCH_OP", "REG_DWORD", 1), ("IR_OP", "REG_DWORD", 0))
    programs.put("ID34", ("NAME", "REG_SZ", "Line B"), ("TOUCH_OP", "REG_DWORD", 2), ("IR_OP", "REG_DWORD", 0))
    for panel_id in (0x11, 0x22, 0x33):
        e2e.driver.attach(panel_id)


@BUILDS
def test_active_panel(build, three_panels, programs, e2e):
    """Reads only. Panel 0 disabled, 1 and 2 enabled: panel 1 is the active
    one; identifier 51 has no record and reads as the defaults. Not one write
    request reaches the driver."""
    exe = f"active_panel{build}.exe"
    e2e.driver.pointdata(0, False)
    programs.clear_log()
    lines = programs.run(0, exe)
    programs.has(lines, "3 panel(s)", 'panel 0: identifier 17, name "Line A", mode Interlock',
                 'panel 1: identifier 34, name "Line B", mode Supervisor, active',
                 'panel 2: identifier 51, name "", mode Interlock', "active panel: 1")
    assert programs.writes() == [], "active_panel wrote to the driver"
    assert e2e.driver.state()["driver"]["startup"] == 1, "active_panel changed the start-up mode"

    e2e.driver.pointdata(1, False)
    e2e.driver.pointdata(2, False)
    programs.has(programs.run(1, exe), "no panel is active")
    e2e.driver.unplug()
    programs.has(programs.run(2, exe), "the driver cannot be read: status 1 (no driver: \\\\.\\Tavlo cannot be opened)")


def click_fields(values):
    """(area, second area, double-click time, down, up) of a click block;
    the bytes between are kept as they are."""
    area, area2, _, time, _, down, up = values
    return area, area2, time, down, up


@BUILDS
def test_click_settings(build, three_panels, programs, e2e):
    """Both sets of panel 1 written, read back in the panel's steps; the
    program starts with a stamp of 0, so its first call meets the stamp
    protocol. Panels 0 and 2 keep their settings."""
    exe = f"click_settings{build}.exe"
    before = e2e.driver.state()["panels"]
    lines = programs.run(0, exe, 1, 55, 30, 430, 21)
    programs.has(lines, "panel 1, identifier 34", "working set: down 50, up 30, double-click time 430 ms, area 20",
                 "saved set: down 50, up 30, double-click time 430 ms, area 20")
    after = e2e.driver.state()["panels"]
    # Area 8 (and 8*13/10 beside it), time 43, down 5, up 3.
    assert [click_fields(after[1]["click"]), click_fields(after[1]["clicksaved"])] == [(8, 10, 43, 5, 3)] * 2, after[1]
    assert (after[0]["clicksaved"], after[2]["click"]) == (before[0]["clicksaved"], before[2]["click"]), \
        "click_settings changed another panel"
    programs.has(programs.run(0, exe, 1), "saved set: down 50, up 30, double-click time 430 ms, area 20")

    # The stamp protocol in the middle of a write. The driver's first status
    # answer carries stamp 0, so the program's start stamp passes and its
    # next call meets the real stamp (3): the same panel is written after the
    # repeat; a panel whose identifier changed meanwhile (the identifier's
    # first answer overridden) is not written at all.
    e2e.driver.reply(0x226004, [0x00, 0x00, 0x03])
    programs.has(programs.run(0, exe, 1, 40, 20, 600, 30),
                 "working set: down 40, up 20, double-click time 600 ms, area 30")
    panel1 = e2e.driver.state()["panels"][1]
    e2e.driver.reply(0x226004, [0x00, 0x00, 0x03])
    e2e.driver.reply(0x22E044, [0x99])
    programs.has(programs.run(2, exe, 1, 10, 10, 300, 24), "panel 1, identifier 153",
                 "TavloSetClickData (working set): the panels changed and panel 1 is another panel now; not repeated")
    now = e2e.driver.state()["panels"][1]
    assert (now["click"], now["clicksaved"]) == (panel1["click"], panel1["clicksaved"]), \
        "click_settings wrote to a panel it did not mean"

    for status, args, line in ((2, [5], "TavloGetPanelId failed: status 5"),
                               (1, [1, 2, 3], "usage: click_settings PANEL [DOWN UP TIME AREA]")):
        programs.has(programs.run(status, exe, *args), line)


@BUILDS
def test_nystra_client(build, three_panels, programs, e2e):
    """Without Nystra it says so; with Nystra it asks for a panel by number
    and reports the panel active after Nystra's update."""
    exe = f"nystra_client{build}.exe"
    programs.has(programs.run(1, exe, 1), "Nystra is not running")
    e2e.launch(e2e.exe("Nystra.exe"))
    e2e.wait_for_window("Interlock Control", timeout=15)
    e2e.driver.wait({"panels": [{"pointdata": 0}] * 3})
    programs.has(programs.run(0, exe, 2), "asked Nystra for panel 2", "update from Nystra: panel 2 is active")
    e2e.driver.wait({"panels": [{"pointdata": 0}, {"pointdata": 0}, {"pointdata": 1}]})
    programs.has(programs.run(0, exe, 0), "update from Nystra: panel 0 is active")
    e2e.driver.wait({"panels": [{"pointdata": 1}, {"pointdata": 0}, {"pointdata": 0}]})
    if not build:
        # A number with no panel: Nystra ignores it and sends no update.
        programs.has(programs.run(2, exe, 7), "no update from Nystra within ten seconds")
        e2e.driver.wait({"panels": [{"pointdata": 1}, {"pointdata": 0}, {"pointdata": 0}]})
    e2e.end_program(e2e.exe("Nystra.exe"))

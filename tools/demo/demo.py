"""The demo's scenes: the suite installed with its own installer, run on the
simulated driver as an operator would, each step printed with its effect
as read from the driver and the registry. Started by tools/run-demo.sh,
which builds, starts the Wine session and makes the contact sheet.

    demo.py INSTALLER SHOTS

Scenes follow each other in one session and one agent: Cordane names the
panels, Nystra keeps running with Line B active for the tools that work on
the active panel, Velmic and Gorvat are started from Cordane's second row,
Palvine arms the one-shot, and Nystra ends last.
"""

import shutil
import sys
from pathlib import Path

from demo_steps import IDS, RECORDS, WAIT, Demo, DemoFailed, joined, on_off, say, show

REPO = Path(__file__).resolve().parents[2]
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchPanelSuite"
START_MENU = "ProgramData/Microsoft/Windows/Start Menu/Programs/Touch panel suite"
CORDANE = "Panel Setting"
NYSTRA = "Interlock Control"
RELEASED = "  Released  "


def listing(folder):
    return " ".join(sorted(p.name for p in folder.iterdir())) if folder.is_dir() else ""


def scene_install(demo):
    """The suite's own installer (demo.installer), silent, into the demo's
    fresh Wine prefix; what it put where, and Palvine's pictures beside it."""
    e2e, installer = demo.e2e, demo.installer
    drive_c = e2e.env.root / "prefix" / "drive_c"
    # A caret that does not blink: the same run gives the same screenshots.
    e2e.registry.write(64, "HKCU\\Control Panel\\Desktop", ("CursorBlinkRate", "REG_SZ", "-1"))
    # Wine's own fonts (Debian package fonts-wine) are not found by this Wine
    # build by itself: without Marlett the caption buttons show letters, and
    # Tahoma, the dialogs' font, is replaced by another. In the prefix's font
    # folder the programs started from now on find them.
    for font in ("marlett", "tahoma", "tahomabd"):
        source = Path(f"/usr/share/wine/fonts/{font}.ttf")
        if source.is_file():
            shutil.copy(source, drive_c / "windows" / "Fonts")

    say(f"{installer.name} /S (silent install, asks for administrator rights)")
    done = e2e.run(installer, "/S", timeout=300)
    if done["status"] != 0:
        raise DemoFailed(f"the silent install ended with status {done['status']}")
    # The installer has ended: what it installed is in place.
    if not demo.installed("Cordane.exe").is_file():
        raise DemoFailed(f"nothing installed into {demo.folder}")
    show(f"{demo.install_folder}: {listing(demo.folder)}")
    show(f"Start menu, Touch panel suite: {listing(drive_c / START_MENU)}")
    name = e2e.registry.read(64, UNINSTALL_KEY, "DisplayName")
    version = e2e.registry.read(64, UNINSTALL_KEY, "DisplayVersion")
    show(f"program list: {name[1] if name else 'missing'}, version {version[1] if version else 'missing'}")

    say("The installer put its sample pictures beside the programs; the demo's own left.ico and right.ico "
        "(whose pixels it checks) replace Palvine's")
    for icon in ("left.ico", "right.ico"):
        shutil.copy(REPO / "palvine" / "icons" / icon, demo.folder)
    show(f"{demo.install_folder}: {listing(demo.folder)}")


def scene_driver(demo):
    """The simulated driver gets its two panels; the installed service
    console lists them."""
    say("the simulator console attaches two panels: identifier 0x11 (17), firmware 0x0105, "
        "and 0x22 (34), firmware 0x0207")
    demo.e2e.driver.attach(0x11, 0x0105)
    demo.e2e.driver.attach(0x22, 0x0207)
    demo.e2e.driver.wait({"panels": [{"id": 17}, {"id": 34}]}, WAIT)
    demo.ctl("list")
    show("the simulator's own view:")
    demo.driver_panels("pointdata", "cal", "sound")


def scene_cordane(demo):
    """Cordane names the two panels, chooses their modes and the release
    time-out; its refusal of a bad time-out; the records it writes."""
    ids = IDS["cordane"]
    names, modes = (ids.IDC_NAME1, ids.IDC_NAME2), (ids.IDC_MODE1, ids.IDC_MODE2)

    say("Cordane opens with the panels the driver reports (identifiers 17 and 34); no records yet: "
        "empty names, Interlock")
    demo.launch("Cordane.exe")
    main = demo.wait_window(CORDANE)
    main.wait({"visible": 1}, timeout=WAIT)
    # Each row: identifier, empty name (enabled), Interlock (the first mode).
    for row, (ident, panel_id) in enumerate(((ids.IDC_ID1, "17"), (ids.IDC_ID2, "34"))):
        demo.wait_controls(main, {ident: {"text": panel_id}, names[row]: {"text": "", "enabled": 1}})
        demo.e2e.wait("window.combo", {"cursel": 0}, WAIT, window=main.handle, id=modes[row])
    demo.window_shot("cordane-opened", "Cordane: the two panels, no records yet", main)

    say("row 1: 'Line A', Interlock; row 2: 'Line B', Supervisor; 'Panel Release after' on, time-out 0")
    main.settext(names[0], "Line A")
    demo.e2e.call("window.select", window=main.handle, id=modes[0], index=0)
    main.settext(names[1], "Line B")
    demo.e2e.call("window.select", window=main.handle, id=modes[1], index=1)
    main.click(ids.IDC_TIME_RELEASE)
    main.wait({"enabled": 1}, ids.IDC_TIME_OUT, WAIT)
    main.settext(ids.IDC_TIME_OUT, "0")
    say("OK: the time-out is refused, nothing is saved, the dialog stays open")
    main.click(ids.IDOK)
    box = main.popup(timeout=WAIT)
    show(f"message box \"{box.text()}\": {box.text(0xFFFF)}")
    demo.window_shot("cordane-refused", "Cordane: a time-out outside 1 to 1800 is refused", main, box)
    box.click(ids.IDOK)
    box.gone(timeout=WAIT)
    if demo.e2e.registry.values(32, f"{RECORDS}\\ID17"):
        raise DemoFailed("a record was written after the refusal")
    show("registry: no record written")

    say("time-out 600 seconds; OK: the records are written and Cordane ends")
    main.settext(ids.IDC_TIME_OUT, "600")
    demo.window_shot("cordane-filled", "Cordane: names, modes and time-out chosen", main)
    main.click(ids.IDOK)
    main.gone(timeout=WAIT)
    demo.end_program("Cordane.exe")
    demo.wait_record("ID17", {"NAME": "Line A", "TOUCH_OP": 1, "IR_OP": 0})
    demo.wait_record("ID34", {"NAME": "Line B", "TOUCH_OP": 2, "IR_OP": 0})
    demo.show_record("ID17", "NAME", "TOUCH_OP", "IR_OP")
    demo.show_record("ID34", "NAME", "TOUCH_OP", "IR_OP")
    demo.show_record("ALL", "TIMEOUT", "TIMEENABLE")


def scene_nystra(demo):
    """Nystra's interlock on the two records, with touches on both panels
    from the simulator console. Nystra keeps running after it, with panel 1
    (Line B) active, for the tools that work on the active panel."""
    ids = IDS["nystra"]
    texts = (ids.IDC_ACTIVE_ID, ids.IDC_ACTIVE_NAME, ids.IDC_REQUEST_ID, ids.IDC_REQUEST_NAME)
    driver = demo.e2e.driver

    def settled(rows, pointdata, indicator):
        """What the window and the driver show, once both have settled on it."""
        demo.wait_controls(main, {**{i: {"text": t} for i, t in zip(texts, rows)},
                                  ids.IDC_REQUEST_ICON: {"visible": indicator}})
        state = driver.wait({"panels": [{"pointdata": p} for p in pointdata]}, WAIT)
        shown = "".join(f"[{t}]" for t in rows)
        show(f"window: {shown} (active ID, active name, request ID, request name), request indicator "
             f"{'shown' if indicator else 'hidden'}")
        show(f"driver: point data {' '.join(on_off(p['pointdata']) for p in state['panels'])} (panel 0, panel 1), "
             f"start-up mode {state['driver']['startup']}")

    say("Nystra starts: start-up mode 0, every panel disabled, no panel active")
    demo.launch("Nystra.exe")
    main = demo.wait_window(NYSTRA)
    settled(("", RELEASED, "", ""), (0, 0), 0)
    demo.window_shot("nystra-released", "Nystra: no panel active", main)

    say("touch on panel 0 (Line A, Interlock): the first touch makes it the active panel")
    driver.touch(0)
    settled(("17", "Line A", "", ""), (1, 0), 0)
    driver.release(0)
    demo.window_shot("nystra-active", "Nystra: Line A active", main)

    say("touch on panel 1 (Line B, Supervisor) while Line A is active: it takes over at once")
    driver.touch(1)
    settled(("34", "Line B", "", ""), (0, 1), 0)
    driver.release(1)

    say("touch on panel 0 (Line A, Interlock) while Line B is active: only shown as a request, for ten seconds")
    driver.touch(0)
    settled(("34", "Line B", "17", "Line A"), (0, 1), 1)
    driver.release(0)
    demo.window_shot("nystra-request", "Nystra: Line A asks, Line B stays active", main)

    say("the 'Release' button: every panel disabled again")
    main.press(ids.IDC_RELEASE)
    settled(("", RELEASED, "", ""), (0, 0), 0)

    say("another program sends ZRM450_NYSTRA_ACTIVE with panel number 1: Line B becomes active")
    main.send("ZRM450_NYSTRA_ACTIVE", 1, 0)
    settled(("34", "Line B", "", ""), (0, 1), 0)
    show("Nystra keeps running; Line B (panel 1) is the active panel for the next steps")


# Velmic's sliders: chatter cancel on touch down and up, double-click speed and area.
TBM_GETRANGEMAX, TBM_GETPAGESIZE = 0x402, 0x416


def scene_velmic(demo):
    """Cordane, opened again, starts the installed Velmic from its second
    row; Velmic finds the active panel (panel 1, Line B), previews new click
    settings in the working set and saves them."""
    ids, cordane_ids = IDS["velmic"], IDS["cordane"]
    sliders = (ids.IDC_DOWN_CANCELER, ids.IDC_UP_CANCELER, ids.IDC_DBL_CLICK_SPEED, ids.IDC_DBL_CLICK_AREA)
    panel = 1
    e2e = demo.e2e
    # The double-click time outlives a program under Wine: Velmic starts
    # from the Windows default. The time Velmic sets is the demo's to show:
    # it stays.
    e2e.set_dblclick_time(500)
    e2e.wait("session.dblclick_time", {"ms": 500}, WAIT)

    def click_set(values):
        down, up, time, area = values
        return {"down_cancel": down, "up_cancel": up, "double_click_time": time, "double_click_area": area}

    def show_sets():
        """Both sets of the active panel and the double-click time, as read
        from the driver and from the Wine session."""
        state = demo.panel(panel)

        def values(which):
            return " ".join(str(state[which][k]) for k in ("down_cancel", "up_cancel", "double_click_time",
                                                           "double_click_area"))
        show(f"panel {panel} working set: {values('clickset')}, sound {on_off(state['sound'])} "
             "(down cancel, up cancel, double-click time, area)")
        show(f"panel {panel} saved set:   {values('clicksetsaved')}, sound {on_off(state['soundsaved'])}")
        show(f"Windows double-click time: {e2e.dblclick_time()} ms")

    def positions():
        return [s["pos"] for s in demo.states(main, sliders)]

    def buttons():
        return " ".join(str(s["enabled"]) for s in demo.states(main, (ids.IDOK, ids.IDC_APPLY)))

    def show_dialog():
        sound = main.state(ids.IDC_CLICK_SOUND)["checked"]
        show(f"dialog: sliders {' '.join(map(str, positions()))}, touch-down sound {sound}, "
             f"OK/Apply enabled {buttons()}")

    def wait_buttons(ok, apply):
        demo.wait_controls(main, {ids.IDOK: {"enabled": ok}, ids.IDC_APPLY: {"enabled": apply}})

    def press_slider_end(control):
        """A real click into a slider's channel at its right end: the thumb
        moves one page that way, as far as the end."""
        before = main.state(control)["pos"]
        target = min(before + main.send(TBM_GETPAGESIZE, control=control),
                     main.send(TBM_GETRANGEMAX, control=control))
        left, top, right, bottom = main.rect(control)
        e2e.press(right - 12, (top + bottom) // 2)
        main.wait({"pos": target}, control, WAIT)

    say(f"Cordane opens again and reads the records back; its row-2 'Touch Settings' starts "
        f"{demo.install_folder}\\Velmic.exe")
    demo.launch("Cordane.exe")
    cordane = demo.wait_window(CORDANE)
    cordane.wait({"visible": 1}, timeout=WAIT)
    cordane.wait_text(cordane_ids.IDC_NAME2, "Line B", WAIT)
    row1, name1, row2, name2 = (s["text"] for s in demo.states(cordane, (
        cordane_ids.IDC_ID1, cordane_ids.IDC_NAME1, cordane_ids.IDC_ID2, cordane_ids.IDC_NAME2)))
    show(f"Cordane row 1: {row1} '{name1}', row 2: {row2} '{name2}'")
    show_sets()
    cordane.click(cordane_ids.IDC_TOUCH2)
    main = demo.wait_window("Touch Settings Program")
    main.wait({"visible": 1}, timeout=WAIT)
    main.wait_text(ids.IDC_ACTIVE_PANEL_ID, " 34", WAIT)
    wait_buttons(0, 0)
    e2e.wait("session.dblclick_time", {"ms": demo.panel(panel)["clicksetsaved"]["double_click_time"]}, WAIT)
    say("Velmic shows the saved set of the active panel (ID 34) and sets the double-click time from it")
    show_dialog()
    show_sets()
    demo.window_shot("velmic-opened", "Velmic: the active panel's saved click settings", main)

    say("real clicks into the sliders' channels: touch-down chatter cancel towards 'High', "
        "double-click speed twice towards 'Slow'")
    press_slider_end(ids.IDC_DOWN_CANCELER)
    for _ in range(2):
        press_slider_end(ids.IDC_DBL_CLICK_SPEED)
    # The values the sliders stand for: down, up, time, area.
    down, up, speed, area = positions()
    new = (down * 10, up * 10, speed * 100, area * 2 + 20)
    demo.wait_panel(panel, {"clickset": click_set(new)})
    e2e.wait("session.dblclick_time", {"ms": new[2]}, WAIT)
    wait_buttons(1, 1)
    say("'Touch down sound' off: previewed in the working set too")
    main.press(ids.IDC_CLICK_SOUND)
    main.wait({"checked": 0}, ids.IDC_CLICK_SOUND, WAIT)
    demo.wait_panel(panel, {"sound": 0})
    show_dialog()
    show_sets()
    demo.window_shot("velmic-changed", "Velmic: new settings in effect, not yet saved", main)

    say("Apply: the saved set takes the new values; Apply is disabled, the dialog stays")
    main.press(ids.IDC_APPLY)
    wait_buttons(1, 0)
    demo.wait_panel(panel, {"clicksetsaved": click_set(new), "soundsaved": 0})
    show_sets()

    say("OK: saved again, Velmic ends; Cordane stays open")
    main.press(ids.IDOK)
    main.gone(timeout=WAIT)
    e2e.wait_gone("Touch panel settings  -  Information", timeout=WAIT)
    demo.wait_ended("Velmic.exe")
    show_sets()
    demo.cordane = cordane


def scene_gorvat(demo):
    """Cordane's second-row "Calibration" starts the installed Gorvat, which
    calibrates the active panel (panel 1, Line B) with two touches and saves
    the result; Cordane is then closed without saving."""
    ids, cordane_ids = IDS["gorvat"], IDS["cordane"]
    panel = 1
    e2e = demo.e2e
    identity = [10000, 0, 10000, 0]
    help_start = "1. Touch anywhere on the screen to start the Calibration Setting Program."
    help_first = "2. Touch the yellow '+' mark."
    help_second = "3. Touch the '+' mark again."
    help_question = ("4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a "
                     "beginning.")
    box_title = "Calibration data save"

    def show_calibration():
        state = demo.panel(panel)
        show(f"panel {panel} calibration, working set: {joined(state['cal'])}, saved set: "
             f"{joined(state['calsaved'])} (x gain, x offset, y gain, y offset)")

    def help_is(text):
        main.wait_text(ids.IDC_TEXT_MESSAGE, text, WAIT)

    def show_help():
        show(f"help line: {main.text(ids.IDC_TEXT_MESSAGE)}")

    cordane = demo.wait_window(CORDANE, timeout=WAIT)
    say(f"Cordane's row-2 'Calibration' starts {demo.install_folder}\\Gorvat.exe: a full-screen window")
    show_calibration()
    cordane.click(cordane_ids.IDC_CALIBRATION2)
    main = demo.wait_window("Touch Panel Calibration")
    help_is(help_start)
    main.wait({"visible": 1}, timeout=WAIT)
    show_help()
    demo.window_shot("gorvat-start", "Gorvat: waiting for the start touch", main)

    say("the start touch, anywhere: Gorvat finds the active panel, reads its saved set and works uncorrected")
    e2e.press(900, 700)
    help_is(help_first)
    main.wait_text(ids.IDC_DBG_MESSAGE, f"( {panel} )", WAIT)
    main.wait({"visible": 1}, ids.IDC_PIC_POINT, WAIT)
    demo.wait_panel(panel, {"cal": identity, "calsaved": identity})
    show_help()
    show_calibration()
    demo.window_shot("gorvat-first-mark", "Gorvat: the first mark", main)

    say("a touch 9 pixels right of and 7 below the first mark's centre, as a panel that reads a little off")
    x, y = main.centre(ids.IDC_PIC_POINT)
    e2e.press(x + 9, y + 7)
    help_is(help_second)
    show_help()
    demo.window_shot("gorvat-second-mark", "Gorvat: the mark moved to the second target", main)

    say("a touch on the second mark's centre: the new calibration is in effect while Gorvat asks")
    e2e.press(*main.centre(ids.IDC_PIC_POINT))
    box = demo.wait_window(box_title, timeout=WAIT)
    help_is(help_question)
    # Gorvat writes the new working set before it opens the question.
    result = demo.panel(panel)["cal"]
    if result == identity:
        raise DemoFailed("nothing new in the working set")
    message = box.text(ids.IDC_LBL_MSG_AREA).replace("\r", "").split("\n")
    show(f"question \"{box_title}\": {' '.join(message)}")
    show_calibration()
    demo.window_shot("gorvat-question", "Gorvat: save the new calibration? (15 s)", main)

    say("Yes: the new calibration goes into the saved set as well; Gorvat ends")
    box.press(ids.IDC_BTN_YES_NO_0)
    main.gone(timeout=WAIT)
    demo.wait_ended("Gorvat.exe")
    demo.wait_panel(panel, {"cal": result, "calsaved": result})
    show_calibration()
    for line in demo.tavloctl("calibration", panel, "--saved").split("\n"):
        print(f"     tavloctl: {line}", flush=True)

    say("Cordane is closed with Cancel: the records stay as they were")
    cordane.click(cordane_ids.IDCANCEL)
    cordane.gone(timeout=WAIT)
    demo.end_program("Cordane.exe")


# The lit button of each picture, in the icon's pixels: blue on left.ico,
# red on right.ico.
PICTURES = {"left": ("0000FF", "FFFFFF"), "right": ("FFFFFF", "FF0000")}
LEFT_SPOT, RIGHT_SPOT = (8, 8), (23, 8)


def scene_palvine(demo):
    """Palvine, large, arms and disarms the one-shot; the driver's modes
    before, during and after it."""
    ids = IDS["palvine"]
    e2e = demo.e2e

    def show_modes():
        state = demo.driver()["driver"]
        show(f"driver: click mode {state['clickbutton']}, once button {state['oncebutton']}, "
             f"once flag {state['onceflag']} (1 left, 2 right, 4 middle)")

    def wait_modes(click, once_button, once_flag):
        e2e.driver.wait({"driver": {"clickbutton": click, "oncebutton": once_button, "onceflag": once_flag}}, WAIT)

    def wait_picture(name):
        """Waits until the picture shows left.ico or right.ico; prints it."""
        spots = [{"cmd": "window.pixel", "args": {"window": main.handle, "id": ids.IDC_CLICK_STATUS, "x": x,
                                                  "y": y}} for x, y in (LEFT_SPOT, RIGHT_SPOT)]
        e2e.wait("batch", {"results": [{"colour": c} for c in PICTURES[name]]}, WAIT, commands=spots)
        show(f"picture: {name}.ico")

    say("another setting left the driver's once button at middle")
    demo.ctl("once-mode", 0, "middle")
    show_modes()

    say("Palvine /LARGESIZE starts: left clicks, the right button as the one-shot, disarmed")
    demo.launch("Palvine.exe", "/LARGESIZE")
    main = demo.wait_window(cls="PalvineMainDlg")
    main.wait({"visible": 1}, timeout=WAIT)
    wait_modes(1, 2, 0)
    wait_picture("left")
    show_modes()
    demo.window_shot("palvine-disarmed", "Palvine: one-shot disarmed (left.ico)", main)

    say("a press and hold on the caption strip (here a right click) opens the system menu")
    state = main.state()
    c_left, c_top, c_right, c_bottom = state["client"]
    # The caption strip: the client area is taller than wide by its height.
    strip = (c_bottom - c_top) - (c_right - c_left)
    e2e.press((c_left + c_right) // 2, c_top + strip // 2, button=3)
    menu = demo.wait_window(cls="#32768", timeout=WAIT)
    menu.wait({"visible": 1}, timeout=WAIT)
    demo.window_shot("palvine-menu", "Palvine: the system menu, from the caption strip", main, menu)
    left, top, right, bottom = menu.rect()
    # Its last item, "Large size", closes it: the menu's window is destroyed.
    e2e.press((left + right) // 2, bottom - 8)
    menu.gone(timeout=WAIT)
    state = main.state()
    show(f"Large size chosen: the window stays {state['rect'][2] - state['rect'][0]} pixels wide")

    say("a left click on the window arms the one-shot: the next touch gives one right click")
    main.press(ids.IDC_CLICK_STATUS)
    wait_modes(1, 2, 1)
    wait_picture("right")
    show_modes()
    demo.window_shot("palvine-armed", "Palvine: one-shot armed (right.ico)", main)

    say("the driver uses the one-shot and clears the flag (here the console does it): the picture follows")
    demo.ctl("once-mode", 0, "right")
    wait_picture("left")

    say("Palvine is closed: the modes it found are back")
    main.close()
    main.gone(timeout=WAIT)
    wait_modes(1, 4, 0)
    show_modes()
    demo.end_program("Palvine.exe")


def scene_nystra_end(demo):
    """Nystra ends; every panel is enabled again."""
    main = demo.wait_window(NYSTRA, timeout=WAIT)
    say("Nystra's close box asks first")
    main.close()
    box = demo.wait_window("Nystra", timeout=WAIT)
    # The box has its title a moment before its text.
    box.wait({"visible": 1}, timeout=WAIT)
    show(f"question \"Nystra\": {box.text(0xFFFF)}")
    demo.window_shot("nystra-close", "Nystra: the question before it ends", box)
    say("OK: Nystra ends; every panel enabled, start-up mode 1")
    box.click(IDS["nystra"].IDOK)
    main.gone(timeout=WAIT)
    state = demo.e2e.driver.wait({"panels": [{"pointdata": 1}, {"pointdata": 1}], "driver": {"startup": 1}}, WAIT)
    show(f"driver: point data {' '.join(on_off(p['pointdata']) for p in state['panels'])}, "
         f"start-up mode {state['driver']['startup']}")
    demo.end_program("Nystra.exe")


SCENES = (
    ("installing the suite with its own installer", scene_install),
    ("the simulated driver with two panels", scene_driver),
    ("Cordane: naming the panels and choosing their modes", scene_cordane),
    ("Nystra: the interlock, with touches on both panels", scene_nystra),
    ("Velmic: click settings of the active panel", scene_velmic),
    ("Gorvat: calibrating the active panel", scene_gorvat),
    ("Palvine: the one-shot button", scene_palvine),
    ("Nystra ends", scene_nystra_end),
)


def main(argv):
    if len(argv) != 3:
        print("usage: demo.py INSTALLER SHOTS (run through tools/run-demo.sh)", file=sys.stderr)
        return 2
    demo = Demo(Path(argv[2]))
    demo.installer = Path(argv[1]).resolve()
    demo.start()
    try:
        for title, scene in SCENES:
            print(f"\n== {title}", flush=True)
            scene(demo)
    except Exception as error:
        print(f"the demo failed: {error}", file=sys.stderr, flush=True)
        demo.failure_artifacts()
        demo.stop()
        return 1
    demo.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

"""Shared steps of Gorvat's pytest scenarios: Gorvat.exe under Wine against
the simulated driver, driven by real mouse presses and keys (xdotool) and
read back through the agent."""

import subprocess

import pytest

from suite_e2e import program_ids

WM_QUERYENDSESSION = 0x11
WM_ENDSESSION = 0x16


class Gorvat:
    IDS = program_ids("gorvat")
    MAIN = "Touch Panel Calibration"  # frmMain's caption
    BOX = "Calibration data save"  # frmSure's title
    ID_YES = IDS.IDC_BTN_YES_NO_0
    ID_NO = IDS.IDC_BTN_YES_NO_0 + 1
    HELP_START = "1. Touch anywhere on the screen to start the Calibration Setting Program."
    HELP_FIRST = "2. Touch the yellow '+' mark."
    HELP_SECOND = "3. Touch the '+' mark again."
    HELP_QUESTION = ("4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a "
                     "beginning.")
    # The screen of the harness: 1024 x 768 pixels at 96 dpi. The start
    # touch lands anywhere, the first touch beside the first mark (a press on
    # the window), the second on the centre of the second mark (a press on
    # the mark itself).
    TOUCH0 = (900, 700)
    TOUCH1 = (180, 135)
    TOUCH2 = (853, 640)
    RESULT = [10143, -77, 10138, -76]  # what those two touches give
    IDENTITY = [10000, 0, 10000, 0]
    # The saved set as read at the start touch, given by a one-time reply of
    # the driver: 10104, -10, 9838, 5. The driver's own saved set stays the
    # identity, so a restored working set shows that exactly the values read
    # were written back.
    MARKER = [10104, -10, 9838, 5]
    MARKER_REPLY = [0x78, 0x27, 0xF6, 0xFF, 0x6E, 0x26, 0x05, 0x00]

    # Requests of the driver the scenarios look for in its log.
    WRITE_WORKING = 0x22A084  # the working calibration set is written
    WRITE_SAVED = 0x22A08C  # the saved calibration set is written
    READ_SAVED = 0x22E088  # the saved set, as read at the start touch
    ERROR_GEN_FAILURE = 31  # what a refused request answers

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None
        self.box = None

    # --- the driver

    def panels(self, *ids, disabled=(), marker=False, fail=None):
        """Attaches panels (point data off for the `disabled` indexes), with
        the marker as the next saved set read and a refused request code
        (`fail`), in one request."""
        commands = [("driver.attach", {"id": i}) for i in ids]
        commands += [("driver.pointdata", {"panel": p, "on": False}) for p in disabled]
        if marker:
            commands.append(("driver.reply", {"code": self.READ_SAVED, "bytes": self.MARKER_REPLY, "always": False}))
        if fail is not None:
            commands.append(("driver.fail", {"code": fail, "error": self.ERROR_GEN_FAILURE}))
        self.e2e.batch(*commands)

    def expect_cal(self, working, saved, panel=0, timeout=5):
        """Waits until the panel holds these sets (the program writes the
        driver on its own time)."""
        self.expect_panels({panel: {"cal": working, "calsaved": saved}}, timeout)

    def expect_panels(self, wanted, timeout=5):
        """Waits until the panels hold {index: {field: value}}; the others
        may hold anything."""
        count = len(self.e2e.driver.state()["panels"])
        self.e2e.driver.wait({"panels": [wanted.get(i, {}) for i in range(count)]}, timeout)

    def requests(self, code, error=None):
        """The driver's logged requests of this code (and error)."""
        return [r for r in self.e2e.driver.log() if r["code"] == code and (error is None or r["error"] == error)]

    # --- the window

    def check_screen(self):
        geometry = subprocess.run(["xdotool", "getdisplaygeometry"], env=self.e2e.env.environ, capture_output=True,
                                  text=True, check=True).stdout.strip()
        assert geometry == "1024 768", f"the scenarios expect a 1024x768 screen, not {geometry}"

    def key(self, *keys):
        """Real key strokes (xdotool names: "Escape", "alt+F4") to the focused window."""
        subprocess.run(["xdotool", "key", *keys], env=self.e2e.env.environ, check=True, timeout=30)

    def help_is(self, text, timeout=5):
        self.main.wait_text(self.IDS.IDC_TEXT_MESSAGE, text, timeout)

    def start(self):
        """The window has its caption from the start, then its help line,
        then it is made topmost and shown."""
        self.check_screen()
        self.e2e.launch(self.e2e.exe("Gorvat.exe"))
        self.main = self.e2e.wait_for_window(self.MAIN, timeout=15)
        self.help_is(self.HELP_START)
        self.main.wait({"visible": 1})
        return self.main

    def start_touch(self):
        """The start touch, anywhere: the window then waits at the first mark."""
        self.e2e.press(*self.TOUCH0)
        self.help_is(self.HELP_FIRST)

    def run_to_second_mark(self):
        """The start touch and the first mark: the window then waits at the second."""
        self.start_touch()
        self.e2e.press(*self.TOUCH1)
        self.help_is(self.HELP_SECOND)

    def wait_question(self):
        """The question box is shown once its texts and buttons are set."""
        self.box = self.e2e.wait_for_window(self.BOX, timeout=5)
        self.box.wait({"visible": 1})
        return self.box

    def run_to_question(self):
        self.run_to_second_mark()
        self.e2e.press(*self.TOUCH2)
        return self.wait_question()

    def quit(self):
        """The Cancel button of the calibration window."""
        self.main.press(self.IDS.IDC_QUIT_BUTTON)

    def wait_closed(self, timeout=10):
        self.main.gone(timeout=timeout)

    def end_session(self):
        """WM_QUERYENDSESSION, then WM_ENDSESSION as the system sends them;
        once answered the process may be ended, so the driver must hold the
        start values when WM_ENDSESSION returns."""
        assert self.main.send(WM_QUERYENDSESSION, 0, 0) == 1, "WM_QUERYENDSESSION refused"
        self.main.send(WM_ENDSESSION, 1, 0)
        panel = self.e2e.driver.state()["panels"][0]
        assert (panel["cal"], panel["calsaved"]) == (self.MARKER, self.IDENTITY), \
            f"WM_ENDSESSION returned before the restore: {panel['cal']} {panel['calsaved']}"
        self.wait_closed()


@pytest.fixture
def gorvat(e2e):
    return Gorvat(e2e)

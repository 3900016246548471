"""Shared steps of Gorvat's pytest scenarios: Gorvat.exe under Wine against
the simulated driver, driven by real mouse presses (xdotool) and read back
through the agent."""

import subprocess

import pytest

from suite_e2e import program_ids


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
    # The screen of the harness: 1024 x 768 pixels at 96 dpi. The first
    # touch lands beside the first mark (a press on the window), the second
    # on the centre of the second mark (a press on the mark itself).
    TOUCH1 = (180, 135)
    TOUCH2 = (853, 640)
    RESULT = [10143, -77, 10138, -76]  # what those two touches give
    IDENTITY = [10000, 0, 10000, 0]

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None

    def check_screen(self):
        geometry = subprocess.run(["xdotool", "getdisplaygeometry"], env=self.e2e.env.environ, capture_output=True,
                                  text=True, check=True).stdout.strip()
        assert geometry == "1024 768", f"the scenarios expect a 1024x768 screen, not {geometry}"

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

    def expect_cal(self, working, saved, panel=0):
        """Waits until the panel holds these sets (the program writes the
        driver on its own time)."""
        panels = [{}] * panel + [{"cal": working, "calsaved": saved}]
        state = self.e2e.driver.state()
        self.e2e.driver.wait({"panels": panels + [{}] * (len(state["panels"]) - len(panels))})

    def wait_question(self):
        """The question box is shown once its texts and buttons are set."""
        box = self.e2e.wait_for_window(self.BOX, timeout=5)
        box.wait({"visible": 1})
        return box


@pytest.fixture
def gorvat(e2e):
    return Gorvat(e2e)

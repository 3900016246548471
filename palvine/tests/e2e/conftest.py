"""Shared steps of Palvine's pytest scenarios: Palvine.exe under Wine against
the simulated driver, driven by real mouse releases and system commands,
read back through the agent, the helper that reads the system menu from
inside the program, and the driver's state."""

import pytest

from suite_e2e import program_ids

IDS = program_ids("palvine")
CLASS = "PalvineMainDlg"  # the window's class (its caption is empty)
# The lit button of each picture, in the icon's pixels: blue on left.ico,
# red on right.ico.
LEFT_SPOT = (8, 8)
RIGHT_SPOT = (23, 8)
PICTURES = {"left": ("0000FF", "FFFFFF"), "right": ("FFFFFF", "FF0000")}


class Palvine:
    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None

    def tavloctl(self, *args):
        done = self.e2e.run(self.e2e.exe("tavloctl.exe"), *args)
        assert done["status"] == 0, f"tavloctl {' '.join(args)}: {done}"
        return done

    def set_modes(self, click_mode, once_flag, once_button):
        """The driver's modes as another program sets them."""
        self.tavloctl("click-mode", click_mode)
        self.tavloctl("once-mode", once_flag, once_button)

    def wait_modes(self, click_button, once_button, once_flag, timeout=5):
        self.e2e.driver.wait({"driver": {"clickbutton": click_button, "oncebutton": once_button,
                                         "onceflag": once_flag}}, timeout)

    def start(self, *args):
        self.e2e.launch(self.e2e.exe("Palvine.exe"), *args)
        self.main = self.e2e.wait_for_window(cls=CLASS, timeout=15)
        self.main.wait({"visible": 1}, timeout=10)
        return self.main

    def size(self):
        """Outer (width, height) without the caption strip: the window keeps
        a square under the strip, whose height is the client area's height
        less its width."""
        state = self.main.state()
        left, top, right, bottom = state["rect"]
        c_left, c_top, c_right, c_bottom = state["client"]
        strip = (c_bottom - c_top) - (c_right - c_left)
        return right - left, bottom - top - strip

    def checks(self):
        """Check marks of "Always top window" and the three sizes."""
        done = self.e2e.run(self.e2e.exe("palvine_e2e_helper.exe"), "menu", self.main.handle, 101, 102, 103, 104)
        assert done["status"] == 0, f"palvine_e2e_helper: {done}"
        return [int(word) for word in done["stdout"].split()]

    def wait_picture(self, name, timeout=3):
        """Waits until ClickStatus shows the left or right picture."""
        left, right = PICTURES[name]
        target = {"window": self.main.handle, "id": IDS.IDC_CLICK_STATUS}
        self.e2e.wait("batch", {"results": [{"colour": left}, {"colour": right}]}, timeout,
                      commands=[{"cmd": "window.pixel", "args": {**target, "x": LEFT_SPOT[0], "y": LEFT_SPOT[1]}},
                                {"cmd": "window.pixel", "args": {**target, "x": RIGHT_SPOT[0], "y": RIGHT_SPOT[1]}}])


@pytest.fixture
def palvine(e2e):
    return Palvine(e2e)

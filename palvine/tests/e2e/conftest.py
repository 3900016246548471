"""Shared steps of Palvine's pytest scenarios: Palvine.exe under Wine against
the simulated driver, driven by real mouse releases, keys and system
commands, read back through the agent (the window, its geometry and the
system menu's check marks through ``palvine.state``) and the driver's state."""

import shutil
import subprocess

import pytest

from suite_e2e import AgentError, program_ids
from suite_e2e.env import windows_path

IDS = program_ids("palvine")
IDOK = 1
CLASS = "PalvineMainDlg"  # the window's class (its caption is empty)
ERROR_TITLE = "Error report"
# The check-marked system-menu items: "Always top window" and the three sizes.
MENU_ITEMS = (IDS.IDM_ALWAYS_TOP, IDS.IDM_SMALL_SIZE, IDS.IDM_NORMAL_SIZE, IDS.IDM_LARGE_SIZE)
# Requests that change the driver's modes: set click mode, set once mode.
MODE_WRITES = (0x22A1E4, 0x22A1EC)
SET_ONCE_MODE = 0x22A1EC
VERSION_REQUEST = 0x226000
ERROR_GEN_FAILURE = 31
WM_QUERYENDSESSION, WM_ENDSESSION, WM_NCHITTEST, WM_SYSCOMMAND = 0x11, 0x16, 0x84, 0x112
SC_CLOSE = 0xF060
# The lit button of each picture, in the icon's pixels: blue on left.ico,
# red on right.ico.
LEFT_SPOT = (8, 8)
RIGHT_SPOT = (23, 8)
PICTURES = {"left": ("0000FF", "FFFFFF"), "right": ("FFFFFF", "FF0000")}


class Palvine:
    IDS, IDOK, CLASS, ERROR_TITLE = IDS, IDOK, CLASS, ERROR_TITLE
    SET_ONCE_MODE, VERSION_REQUEST, ERROR_GEN_FAILURE = SET_ONCE_MODE, VERSION_REQUEST, ERROR_GEN_FAILURE
    WM_QUERYENDSESSION, WM_ENDSESSION, SC_CLOSE = WM_QUERYENDSESSION, WM_ENDSESSION, SC_CLOSE

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None
        self.strip = None
        self.exe = e2e.exe("Palvine.exe")

    # --- the driver

    def tavloctl(self, *args):
        """The service console's command line, run inside the agent."""
        done = self.e2e.tavloctl(*args)
        assert done["status"] == 0, f"tavloctl {' '.join(map(str, args))}: {done}"
        return done

    def set_modes(self, click_mode, once_flag, once_button):
        """The driver's modes as another program sets them."""
        self.tavloctl("click-mode", click_mode)
        self.tavloctl("once-mode", once_flag, once_button)

    @staticmethod
    def _modes(click_button, once_button, once_flag):
        return {"driver": {"clickbutton": click_button, "oncebutton": once_button, "onceflag": once_flag}}

    def wait_modes(self, click_button, once_button, once_flag, timeout=5):
        """Waits until the driver's modes are click mode/once button/once flag."""
        self.e2e.driver.wait(self._modes(click_button, once_button, once_flag), timeout)

    def assert_modes(self, click_button, once_button, once_flag):
        """The modes are these now (a check after something that must not change them)."""
        driver = self.e2e.driver.state()["driver"]
        now = (driver["clickbutton"], driver["oncebutton"], driver["onceflag"])
        assert now == (click_button, once_button, once_flag), f"modes {now}"

    def clear_log(self):
        """Empties the driver's request log. It holds the latest 128 requests
        only and the poll keeps adding to it: cleared first, it can only lose
        a write, never show one that was not made."""
        self.e2e.call("driver.clear_log")

    def writes(self):
        """Requests since the log was cleared that changed the modes."""
        return [r for r in self.e2e.driver.log() if r["code"] in MODE_WRITES]

    # --- the window

    def start(self, *args, exe=None):
        """Starts Palvine with these arguments and waits for its window."""
        self.e2e.launch(exe or self.exe, *args)
        self.main = self.e2e.wait_for_window(cls=CLASS, timeout=15)
        self.main.wait({"visible": 1}, timeout=10)
        self.strip = self.state()["strip"]
        return self.main

    def state(self, checks=False):
        """size ([w, h] without the strip), strip, position, topmost and, with
        checks, the marks of MENU_ITEMS as 1/0."""
        return self.e2e.call("palvine.state", **self._state_args(checks))

    def wait(self, match, timeout=5):
        """Waits until palvine.state holds `match`; asks the menu when the
        match names checks. A size is waited for with the strip the window
        had at start: while Wine moves the window from one size to another,
        the width can be the new one and the height still the old one, and
        the size without the strip reads as the new one already."""
        if "size" in match:
            match = {"strip": self.strip, **match}
        return self.e2e.wait("palvine.state", match, timeout, **self._state_args("checks" in match))

    def _state_args(self, checks):
        args = {"window": self.main.handle}
        if checks:
            # The program's bitness decides which hook DLL can go into it: the
            # agent puts in its own bitness's; the other one needs the helper once.
            args["items"] = list(MENU_ITEMS)
            if self.e2e.env.arch == "x86_64":
                args["hook"] = windows_path(self.e2e.exe("palvine_menu_hook.dll"))
            else:
                self._helper_once()
        return args

    def _helper_once(self):
        if getattr(self, "_hooked", None) == self.main.handle:
            return
        try:
            self.e2e.call("palvine.state", window=self.main.handle, items=[MENU_ITEMS[0]])
        except AgentError as error:
            if "no menu hook" not in str(error):
                raise
            done = self.e2e.run(self.e2e.exe("palvine_e2e_helper.exe"), "menu", self.main.handle, MENU_ITEMS[0])
            assert done["status"] == 0, f"palvine_e2e_helper: {done}"
        self._hooked = self.main.handle

    def checks(self):
        return self.state(checks=True)["checks"]

    def syscommand(self, command):
        """WM_SYSCOMMAND posted, as the system menu sends it."""
        self.main.post(WM_SYSCOMMAND, command)

    def _pixels(self):
        target = {"window": self.main.handle, "id": IDS.IDC_CLICK_STATUS}
        return [{"cmd": "window.pixel", "args": {**target, "x": LEFT_SPOT[0], "y": LEFT_SPOT[1]}},
                {"cmd": "window.pixel", "args": {**target, "x": RIGHT_SPOT[0], "y": RIGHT_SPOT[1]}}]

    @staticmethod
    def _picture(name):
        left, right = PICTURES[name]
        return {"results": [{"colour": left}, {"colour": right}]}

    def wait_picture(self, name, timeout=3):
        """Waits until ClickStatus shows the left or right picture."""
        self.e2e.wait("batch", self._picture(name), timeout, commands=self._pixels())

    def stays_picture(self, name, seconds=1):
        """ClickStatus keeps showing the picture for `seconds`."""
        self.e2e.stays("batch", self._picture(name), seconds, commands=self._pixels())

    def release_over(self, button, where="picture"):
        """A real click of mouse button `button` (1 left, 2 middle, 3 right, as
        X numbers them) over the picture, or beside it near the client area's
        corner with where="edge"."""
        if where == "edge":
            left, _, _, bottom = self.main.client()
            self.e2e.press(left + 1, bottom - 2, button)
        else:
            self.main.press(IDS.IDC_CLICK_STATUS, button)

    def strip_point(self):
        """A point in the middle of the strip."""
        state = self.state()
        left, top, right, _ = self.main.client()
        return (left + right) // 2, top + state["strip"] // 2

    def hit(self, x, y):
        """The window's answer to a hit test at screen point x, y: 1 client, 2 caption."""
        return self.main.send(WM_NCHITTEST, 0, ((y & 0xFFFF) << 16) | (x & 0xFFFF))

    def placed(self):
        """Whether the whole 32-pixel picture lies in the square below the
        strip, in its middle (the sizes' own rounding allows a pixel or two);
        otherwise what was seen."""
        strip = self.state()["strip"]
        cl, ct, cr, cb = self.main.client()
        pl, pt, pr, pb = self.main.rect(IDS.IDC_CLICK_STATUS)
        top = ct + strip
        seen = f"client {cl} {ct} {cr} {cb}, strip {strip}, picture {pl} {pt} {pr} {pb}"
        if pr - pl != 32 or pb - pt != 32 or pl < cl or pr > cr or pt < top or pb > cb:
            return "outside: " + seen
        if abs((pl - cl) - (cr - pr)) > 2 or abs((pt - top) - (cb - pb)) > 2:
            return "off centre: " + seen
        return "yes"

    def shot(self, name):
        """A screenshot NAME.png and the window alone with a margin, NAME-window.png."""
        left, top, right, bottom = self.main.rect()
        self.e2e.screenshot(f"{name}.png")
        if shutil.which("convert") is None:
            return
        crop = f"{right - left + 20}x{bottom - top + 20}+{left - 10}+{top - 10}"
        subprocess.run(["convert", str(self.e2e.test_logs / f"{name}.png"), "-crop", crop, "+repage",
                        str(self.e2e.test_logs / f"{name}-window.png")], check=False, timeout=60, capture_output=True)

    def key(self, *keys):
        """Real keys (xdotool names, e.g. "alt+F4") to the window that has the focus."""
        subprocess.run(["xdotool", "key", *keys], env=self.e2e.env.environ, check=True, timeout=30)

    def drag(self, points):
        """A real left-button drag through the screen points."""
        (x, y), rest = points[0], points[1:]
        words = ["mousemove", str(x), str(y), "mousedown", "1"]
        for px, py in rest:
            words += ["mousemove", str(px), str(py)]
        subprocess.run(["xdotool", *words, "mouseup", "1"], env=self.e2e.env.environ, check=True, timeout=30)

    def close_and_wait(self, timeout=5):
        self.main.close()
        self.main.gone(timeout)

    # --- error reports

    def error_report(self, timeout=5):
        """The error report's box once it shows its text."""
        report = self.e2e.wait_for_window(ERROR_TITLE, timeout=timeout)
        # The box has its title a moment before its text.
        report.wait_text(0xFFFF, "Critical error occured")
        return report

    def error_reports(self):
        return self.e2e.call("window.count", title=ERROR_TITLE)["count"]


@pytest.fixture
def palvine(e2e):
    return Palvine(e2e)

"""Shared steps of Velmic's scenarios: Velmic.exe under Wine against the
simulated driver, driven by real input (xdotool) and read back through the
agent, the driver's state and the session's double-click time."""

import shutil
import subprocess

import pytest

from suite_e2e import program_ids

IDS = program_ids("velmic")
IDOK, IDCANCEL = IDS.IDOK, IDS.IDCANCEL
START = "Touch panel settings  -  Information"  # StartDlg's caption
MAIN = "Touch Settings Program"  # MainDlg's caption
DEBUG = "Debug"  # the diagnostic box naming a failed call
NO_ACTIVE = "No active panel found"
NO_DEVICE = "No panel device found"
BOX_TEXT = 0xFFFF  # the text of a message box
WINDOWS_DEFAULT_TIME = 500
SLIDERS = (IDS.IDC_DOWN_CANCELER, IDS.IDC_UP_CANCELER, IDS.IDC_DBL_CLICK_SPEED, IDS.IDC_DBL_CLICK_AREA)


def click_set(down, up, time, area):
    """A click set as the driver's state decodes it."""
    return {"down_cancel": down, "up_cancel": up, "double_click_time": time, "double_click_area": area}


class Velmic:
    IDS = IDS
    IDOK, IDCANCEL = IDOK, IDCANCEL
    START, MAIN, DEBUG = START, MAIN, DEBUG
    NO_ACTIVE, NO_DEVICE, WINDOWS_DEFAULT_TIME = NO_ACTIVE, NO_DEVICE, WINDOWS_DEFAULT_TIME
    BOX_TEXT = BOX_TEXT
    click_set = staticmethod(click_set)

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None

    # --- the driver's data, through the service console inside the agent

    def tavloctl(self, *args):
        done = self.e2e.tavloctl(*args)
        assert done["status"] == 0, f"tavloctl {' '.join(map(str, args))}: {done}"
        return done

    def set_click(self, panel, which, down, up, time, area):
        self.tavloctl("click", panel, *(["--saved"] if which == "saved" else []), down, up, time, area)

    def set_sound(self, panel, which, on):
        self.tavloctl("sound", panel, *(["--saved"] if which == "saved" else []), "on" if on else "off")

    def one_panel(self, down, up, time, area, sound):
        """One panel (identifier 0x31, shown as 49) with the given saved set
        and sound flag; the working set holds something else, as after an
        earlier preview that was never saved."""
        self.e2e.driver.attach(0x31)
        self.set_click(0, "saved", down, up, time, area)
        self.set_sound(0, "saved", sound)
        self.set_click(0, "working", 80, 90, 700, 36)
        self.set_sound(0, "working", True)

    def sets(self, working, working_sound, saved, saved_sound, panel=0, panels=1):
        """The driver.state match of one panel's two sets (of `panels`)."""
        mine = {"clickset": click_set(*working), "sound": int(working_sound),
                "clicksetsaved": click_set(*saved), "soundsaved": int(saved_sound)}
        return {"panels": [mine if index == panel else {} for index in range(panels)]}

    def expect_sets(self, working, working_sound, saved, saved_sound, panel=0, panels=1, timeout=5):
        """Both sets of the panel, waited for in one request."""
        self.e2e.driver.wait(self.sets(working, working_sound, saved, saved_sound, panel, panels), timeout)

    def expect_time(self, ms, timeout=5):
        """The double-click time as another process reads it."""
        self.e2e.wait("session.dblclick_time", {"ms": ms}, timeout)

    # --- the dialog

    def wait_sliders(self, positions, timeout=5):
        self._wait_controls(SLIDERS, [{"pos": p} for p in positions], timeout)

    def wait_buttons(self, ok, apply, timeout=5):
        self._wait_controls((IDOK, IDS.IDC_APPLY), [{"enabled": ok}, {"enabled": apply}], timeout)

    def _wait_controls(self, controls, match, timeout):
        self.e2e.wait("batch", {"results": match}, timeout,
                      commands=[{"cmd": "window.state", "args": {"window": self.main.handle, "id": c}}
                                for c in controls])

    def start(self, exe=None):
        self.e2e.launch(exe or self.e2e.exe("Velmic.exe"))

    def wait_main(self):
        self.main = self.e2e.wait_for_window(MAIN, timeout=15)
        self.main.wait({"visible": 1})
        return self.main

    def wait_closed(self, timeout=10):
        self.e2e.wait_gone(MAIN, timeout=timeout)

    def wait_ended(self, exe=None):
        """The program has ended: neither window is left."""
        self.wait_closed()
        self.e2e.wait_gone(START, timeout=10)
        self.e2e.end_program(exe or self.e2e.exe("Velmic.exe"))

    def wait_box(self, title=DEBUG, timeout=15):
        """A message box, shown (its text is set before it shows); its text."""
        box = self.e2e.wait_for_window(title, timeout=timeout)
        box.wait({"visible": 1})
        return box, box.text(BOX_TEXT)

    def answer(self, box):
        """OK on a message box, and the box gone."""
        box.click(IDOK)
        box.gone()

    def copy_program(self, folder, *names):
        """Velmic (and the other files named) in a folder of its own, which
        is its current folder when it is started from there."""
        for name in ("Velmic.exe", *names):
            shutil.copy(self.e2e.exe(name), folder / name)
        return folder / "Velmic.exe"

    # --- real input

    def press_slider_end(self, control, side):
        """A real click into a slider's channel at its right (or left) end:
        the thumb moves one page that way, and the release ends the move."""
        left, top, right, bottom = self.main.rect(control)
        self.e2e.press(right - 12 if side == "right" else left + 12, (top + bottom) // 2)

    def double_click(self, x, y):
        self._xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)

    def key(self, window, keys):
        """Real keys (xdotool names, "alt+F4") to a window once it is in the
        foreground: without a window manager the focus follows clicks only."""
        self.e2e.wait("window.foreground", {"hwnd": window.handle})
        self._xdotool("key", keys)

    def _xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.e2e.env.environ, check=True, timeout=30)

    # --- what a failure leaves

    def describe(self):
        """The double-click time and the controls of whichever window is open."""
        lines = [f"double-click time: {self.e2e.call('session.dblclick_time')}"]
        for title in (MAIN, START, DEBUG):
            try:
                children = self.e2e.window(title).children()
            except Exception:  # not open: nothing to describe
                continue
            lines.append(f"{title}:")
            lines.extend(f"  {child}" for child in children)
        return "\n".join(lines) + "\n"


@pytest.fixture
def velmic(e2e, request):
    """The double-click time outlives a program under Wine: every scenario
    starts from the Windows default and leaves it there."""
    e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)
    e2e.wait("session.dblclick_time", {"ms": WINDOWS_DEFAULT_TIME})
    program = Velmic(e2e)
    yield program
    if not e2e.agent.alive():
        return
    if getattr(request.node, "_e2e_failed", False):
        try:
            e2e.test_logs.mkdir(parents=True, exist_ok=True)
            (e2e.test_logs / "velmic-windows.txt").write_text(program.describe())
        except Exception as error:  # the description must not hide the failure
            print(f"[velmic] cannot describe the windows: {error}")
    e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)

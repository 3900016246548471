"""Shared steps of Velmic's pytest scenarios: Velmic.exe under Wine against
the simulated driver, driven by real input (xdotool) and read back through
the agent, the service console and the driver's state."""

import pytest

from suite_e2e import program_ids
from suite_e2e.steps import program_location

IDS = program_ids("velmic")
IDOK, IDCANCEL = 1, 2
START = "Touch panel settings  -  Information"  # StartDlg's caption
MAIN = "Touch Settings Program"  # MainDlg's caption
NO_ACTIVE = "No active panel found"
NO_DEVICE = "No panel device found"
WINDOWS_DEFAULT_TIME = 500
SLIDERS = (IDS.IDC_DOWN_CANCELER, IDS.IDC_UP_CANCELER, IDS.IDC_DBL_CLICK_SPEED, IDS.IDC_DBL_CLICK_AREA)


class Velmic:
    IDS = IDS
    IDOK, IDCANCEL = IDOK, IDCANCEL
    START, MAIN = START, MAIN

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None

    def tavloctl(self, *args):
        done = self.e2e.run(self.e2e.exe("tavloctl.exe"), *args)
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

    def expect_sets(self, working, working_sound, saved, saved_sound, panel=0, timeout=5):
        """Both sets of the panel as the service console reads them, waited
        for inside the agent (one request, however many polls)."""
        def click(values):
            down, up, time, area = values
            return {"click": {"down_cancel": down, "up_cancel": up, "double_click_time": time,
                              "double_click_area": area}}
        exe = self.e2e.exe("tavloctl.exe")
        reads = [(["click", panel, "--json"], click(working)), (["sound", panel, "--json"], {"sound": working_sound}),
                 (["click", panel, "--saved", "--json"], click(saved)),
                 (["sound", panel, "--saved", "--json"], {"sound": saved_sound})]
        self.e2e.wait("batch", {"results": [{"status": 0, "json": want} for _, want in reads]}, timeout,
                      commands=[{"cmd": "process.run",
                                 "args": {**program_location(exe), "args": [str(a) for a in args], "json": True,
                                          "timeout_ms": 30000}} for args, _ in reads])

    def expect_time(self, ms, timeout=5):
        """The double-click time as another process reads it."""
        self.e2e.wait("session.dblclick_time", {"ms": ms}, timeout)

    def wait_sliders(self, positions, timeout=5):
        self._wait_controls(SLIDERS, [{"pos": p} for p in positions], timeout)

    def wait_buttons(self, ok, apply, timeout=5):
        self._wait_controls((IDOK, IDS.IDC_APPLY), [{"enabled": ok}, {"enabled": apply}], timeout)

    def _wait_controls(self, controls, match, timeout):
        self.e2e.wait("batch", {"results": match}, timeout,
                      commands=[{"cmd": "window.state", "args": {"window": MAIN, "id": c}} for c in controls])

    def start(self):
        self.e2e.launch(self.e2e.exe("Velmic.exe"))

    def wait_main(self):
        self.main = self.e2e.wait_for_window(MAIN, timeout=15)
        self.main.wait({"visible": 1})
        return self.main

    def wait_ended(self):
        """The program has ended: neither window is left."""
        self.e2e.wait_gone(MAIN, timeout=10)
        self.e2e.wait_gone(START, timeout=10)
        self.e2e.end_program(self.e2e.exe("Velmic.exe"))

    def press_slider_end(self, control, side):
        """A real click into a slider's channel at its right (or left) end:
        the thumb moves one page that way."""
        left, top, right, bottom = self.main.rect(control)
        self.e2e.press(right - 12 if side == "right" else left + 12, (top + bottom) // 2)


@pytest.fixture
def velmic(e2e):
    """The double-click time outlives a program under Wine: every scenario
    starts from the Windows default and leaves it there."""
    e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)
    e2e.wait("session.dblclick_time", {"ms": WINDOWS_DEFAULT_TIME})
    yield Velmic(e2e)
    if e2e.agent.alive():
        e2e.set_dblclick_time(WINDOWS_DEFAULT_TIME)

"""Shared steps of Nystra's pytest scenarios: Nystra.exe under Wine against
the simulated driver and the prefix's registry, read back through the agent
(window texts, the driver's state) and the program's debug-output trace."""

import os
import subprocess
import threading

import pytest

from suite_e2e import program_ids
from suite_e2e.steps import E2E_WAIT, program_location

IDS = program_ids("nystra")
IDOK, IDCANCEL = 1, 2
CAPTION = "Interlock Control"
BOX = "Nystra"  # title of the question boxes
BOX_TEXT = 0xFFFF  # the static text of a message box
RELEASED = "  Released  "
CLOSE_QUESTION = "Panel Interlock Control is cancelled."
STOP_QUESTION = "Are you sure\nthe Panel Exclusive Control is stopped ?"
ACTIVE_MESSAGE = "ZRM450_NYSTRA_ACTIVE"
UPDATE_MESSAGE = "ZRM450_NYSTRA_UPDATE"
TRAY = "Wine System Tray"  # Wine's fallback notification area
TRAY_ICON_CLASS = "__winex11_tray_icon"
RECORDS = "HKLM\\Software\\ZR_EX_CONTROL"
ROWS = (IDS.IDC_ACTIVE_ID, IDS.IDC_ACTIVE_NAME, IDS.IDC_REQUEST_ID, IDS.IDC_REQUEST_NAME)
# Driver requests: the touch read of a panel, and its point-data switch.
CHECK_TOUCH = 0x22E0E0
SET_POINTDATA = 0x22A0C4


def pytest_addoption(parser):
    group = parser.getgroup("nystra soak")
    group.addoption("--soak-polls", type=int, default=int(os.environ.get("NYSTRA_SOAK_POLLS", "0")),
                    help="end the soak after this many polls of the controller (0: no such limit)")
    group.addoption("--soak-seconds", type=int, default=int(os.environ.get("NYSTRA_SOAK_SECONDS", "60")),
                    help="end the soak after this many seconds (0: no such limit)")
    group.addoption("--soak-schedule", type=int, default=int(os.environ.get("NYSTRA_SOAK_SCHEDULE", "1")),
                    help="the number of the soak's random schedule")


class Output:
    """The output of a helper started in the background, line by line as it
    comes (a reader thread on a pipe), kept in a file of the test's logs.
    A wait for a line blocks on the pipe's next line with a deadline."""

    def __init__(self, e2e, name, *args):
        self.lines = []
        self._changed = threading.Condition()
        self._ended = False
        e2e.test_logs.mkdir(parents=True, exist_ok=True)
        self.path = e2e.test_logs / name
        read_end, write_end = os.pipe()
        try:
            # launch() opens its output by name: the pipe's write end, as /proc shows it.
            self.process = e2e.launch(e2e.exe("nystra_e2e_helper.exe"), *args, output=f"/proc/self/fd/{write_end}")
        finally:
            os.close(write_end)
        self._thread = threading.Thread(target=self._read, args=(os.fdopen(read_end, "rb"),), daemon=True)
        self._thread.start()

    def _read(self, pipe):
        with pipe, open(self.path, "w") as kept:
            for raw in pipe:
                line = raw.decode("utf-8", "replace").rstrip("\r\n")
                kept.write(line + "\n")
                kept.flush()
                with self._changed:
                    self.lines.append(line)
                    self._changed.notify_all()
        with self._changed:
            self._ended = True
            self._changed.notify_all()

    def wait(self, holds, what, timeout=10):
        """Waits until holds(lines) is true; fails with `what` and the lines so far."""
        with self._changed:
            if not self._changed.wait_for(lambda: holds(self.lines) or self._ended, timeout):
                pytest.fail(f"{what}: not within {timeout} s; output so far: {self.lines}")
            if not holds(self.lines):
                pytest.fail(f"{what}: the helper ended first; its output: {self.lines}")

    def end(self):
        """Ends the helper now (the others of the test go on)."""
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=30)
        self._thread.join(timeout=30)


class Trace(Output):
    """The debug-output receiver, as the usual viewers are: every program's
    debug strings ("PID TEXT"), kept as debug-output.txt."""

    def __init__(self, e2e, seconds=100):
        super().__init__(e2e, "debug-output.txt", "debug-monitor", seconds)
        self.wait(lambda lines: "listening" in lines, "the debug-output receiver did not start")

    def nystra(self):
        """Nystra's lines without the PIDs."""
        with self._changed:
            return nystra_lines(self.lines)

    def wait_last(self, line, timeout=E2E_WAIT):
        """Waits until Nystra's last line of the trace is `line`."""
        self.wait(lambda lines: nystra_lines(lines)[-1:] == [line], f"the trace's last line is not {line!r}", timeout)

    def wait_line(self, line, timeout=E2E_WAIT):
        """Waits until the trace holds Nystra's line `line`."""
        self.wait(lambda lines: line in nystra_lines(lines), f"no {line!r} in the trace", timeout)


def nystra_lines(lines):
    """The texts of Nystra's lines of a trace ("PID Nystra: ...")."""
    texts = []
    for line in lines:
        pid, _, text = line.partition(" ")
        if pid.isdigit() and text.startswith("Nystra: "):
            texts.append(text)
    return texts


class Nystra:
    """Nystra.exe in the session: its window (``main``), its records, its
    question boxes, the driver as it leaves it, and the helpers a scenario
    needs (the trace, a lock held elsewhere, real input)."""

    IDS, IDOK, IDCANCEL = IDS, IDOK, IDCANCEL
    CAPTION, BOX, BOX_TEXT, RELEASED = CAPTION, BOX, BOX_TEXT, RELEASED
    CLOSE_QUESTION, STOP_QUESTION = CLOSE_QUESTION, STOP_QUESTION
    ACTIVE_MESSAGE, UPDATE_MESSAGE = ACTIVE_MESSAGE, UPDATE_MESSAGE
    CHECK_TOUCH, SET_POINTDATA = CHECK_TOUCH, SET_POINTDATA

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None
        self.exe = e2e.exe("Nystra.exe")

    # --- records, in the 32-bit registry view where every build keeps them

    def record_panel(self, panel_id, name, mode):
        self.e2e.registry.write(32, f"{RECORDS}\\ID{panel_id}", ("NAME", "REG_SZ", name),
                                ("TOUCH_OP", "REG_DWORD", mode), ("IR_OP", "REG_DWORD", 0))

    def record_system(self, timeout, enabled):
        self.e2e.registry.write(32, f"{RECORDS}\\ALL", ("TIMEOUT", "REG_DWORD", timeout),
                                ("TIMEENABLE", "REG_DWORD", enabled))

    # --- the program

    def start(self):
        """Starts Nystra and waits for its window, released."""
        self.e2e.launch(self.exe)
        self.main = self.e2e.wait_for_window(CAPTION, timeout=15)
        self.wait_rows("", RELEASED, "", "")
        return self.main

    def start_with_line_b_active(self):
        """Two panels (identifiers 0x11 and 0x22), the second one's record
        "Line B" in Interlock mode, Nystra started and that panel made
        active by a touch."""
        self.e2e.driver.attach(0x11)
        self.e2e.driver.attach(0x22)
        self.record_panel(34, "Line B", 1)
        self.start()
        self.e2e.driver.touch(1)
        self.wait_rows("34", "Line B", "", "")
        self.e2e.driver.release(1)
        self.wait_pointdata(0, 1)

    def run(self, *args, timeout=30):
        """Nystra.exe run to its end inside the session; its exit code."""
        return self.e2e.run(self.exe, *args, timeout=timeout)["status"]

    def end(self):
        """Kills the launched controller, as a crash would."""
        self.e2e.end_program(self.exe)

    # --- the window

    def _rows(self, rows):
        return ("batch", {"results": [{"text": text} for text in rows]},
                {"commands": [{"cmd": "window.text", "args": {"window": self.main.handle, "id": i}} for i in ROWS]})

    def wait_rows(self, *rows, timeout=E2E_WAIT):
        """Waits until the four texts are as given (active ID, active NAME,
        request ID, request NAME)."""
        cmd, match, args = self._rows(rows)
        self.e2e.wait(cmd, match, timeout, **args)

    def rows_stay(self, seconds, *rows):
        """The four texts stay as given over `seconds` (something that must
        not happen, such as a release, has a window of time to show itself)."""
        cmd, match, args = self._rows(rows)
        self.e2e.stays(cmd, match, seconds, **args)

    def syscommand(self, command):
        """WM_SYSCOMMAND to the window."""
        self.e2e.call("window.syscommand", window=self.main.handle, cmd=command)

    def wait_indicator(self, visible):
        self.main.wait({"visible": visible}, IDS.IDC_REQUEST_ICON)

    def wait_focus(self, window, control):
        """Waits until the focused control of the window's thread is `control`
        (the helper, run inside the session, names it)."""
        self.e2e.wait("process.run", {"status": 0, "stdout": f"{control}\n"}, E2E_WAIT,
                      **program_location(self.e2e.exe("nystra_e2e_helper.exe")), args=["focus", window.handle],
                      timeout_ms=30000)

    def send_active(self, wparam):
        return self.main.send(ACTIVE_MESSAGE, wparam, 0)

    def wait_box(self):
        """A question box of Nystra's, once it is open. The box has its title
        a moment before its text: a check of the text waits for it."""
        return self.e2e.wait_for_window(BOX, timeout=5)

    def end_with_ok(self):
        """The close box, then OK to the question; waits until the window is gone."""
        self.main.close()
        box = self.wait_box()
        box.wait_text(BOX_TEXT, CLOSE_QUESTION)
        box.click(IDOK)
        self.main.gone(timeout=5)

    # --- the driver

    def pointdata(self, *values):
        """A match of driver.state: the point-data enable of every panel."""
        return {"panels": [{"pointdata": v} for v in values]}

    def wait_pointdata(self, *values, timeout=E2E_WAIT):
        self.e2e.driver.wait(self.pointdata(*values), timeout)

    def wait_startup(self, mode):
        self.e2e.driver.wait({"driver": {"startup": mode}})

    def expect_driver(self, pointdata, startup):
        """The driver as it is now (settled by an earlier wait or end)."""
        state = self.e2e.driver.state()
        got = ([p["pointdata"] for p in state["panels"]], state["driver"]["startup"])
        assert got == (list(pointdata), startup), f"the driver changed: point data, start-up mode {got}"

    # --- helpers and real input

    def trace(self, seconds=100):
        """The debug-output receiver, started and listening."""
        return Trace(self.e2e, seconds)

    def helper(self, log_name, *args):
        """nystra_e2e_helper.exe ARGS in the background; its output as it comes."""
        return Output(self.e2e, log_name, *args)

    def click(self, x, y, button=1, repeat=1):
        click(self.e2e, x, y, button, repeat)

    def key(self, name):
        key(self.e2e, name)

    # --- the notification area

    def wait_tray_icons(self, count, timeout=E2E_WAIT):
        """Waits until Wine's tray window shows `count` icons."""
        self.e2e.wait("window.children", {"children": [{"class": TRAY_ICON_CLASS}] * count}, timeout, window=TRAY)

    def click_tray(self, button, repeat=1):
        """Real clicks (mouse button, count) on the icon in Wine's tray window."""
        tray = self.e2e.wait_for_window(TRAY, timeout=5)
        x, y = tray.wait({"visible": 1}, 0)["centre"]
        click(self.e2e, x, y, button, repeat)


def click(e2e, x, y, button=1, repeat=1):
    """Real mouse clicks at screen coordinates, `repeat` of them 80 ms apart
    (a double click when 2)."""
    subprocess.run(["xdotool", "mousemove", str(int(x)), str(int(y)), "click", "--repeat", str(repeat), "--delay",
                    "80", str(button)], env=e2e.env.environ, check=True, timeout=30)


def key(e2e, name):
    """A real key press (xdotool's key name, e.g. "Return") to the focused window."""
    subprocess.run(["xdotool", "key", name], env=e2e.env.environ, check=True, timeout=30)


@pytest.fixture
def nystra(e2e):
    return Nystra(e2e)

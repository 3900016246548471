"""Typed steps of the end-to-end scenarios.

Every check of something that changes on its own is a wait with a deadline,
and the waiting happens inside the agent (``wait``/``stays`` commands), so a
step costs one request, not one Wine start per poll. Real input goes through
xdotool: X root coordinates are Win32 screen coordinates.
"""

import os
import subprocess
from pathlib import Path

from .agent import Agent, AgentError
from .env import windows_path

# Deadline of the waits, in seconds, when a step gives none.
E2E_WAIT = float(os.environ.get("E2E_WAIT", "5"))

SUITE_KEY = "HKLM\\Software\\ZR_EX_CONTROL"


def _ms(seconds):
    return int(seconds * 1000)


class Window:
    """A top-level window (by handle) and its controls (by identifier)."""

    def __init__(self, session, handle, name=""):
        self.session = session
        self.handle = handle
        self.name = name or handle

    def __repr__(self):
        return f"Window({self.name!r}, {self.handle})"

    def _target(self, control=None):
        return {"window": self.handle, **({} if control is None else {"id": int(control)})}

    # --- reading, at once

    def state(self, control=None):
        """hwnd, class, id, text, visible, enabled, rect, centre, client, style,
        exstyle, topmost, and checked (buttons) or pos (trackbars)."""
        return self.session.call("window.state", **self._target(control))

    def text(self, control=None):
        return self.session.call("window.text", **self._target(control))["text"]

    def rect(self, control=None):
        return tuple(self.state(control)["rect"])

    def client(self, control=None):
        return tuple(self.state(control)["client"])

    def centre(self, control=None):
        return tuple(self.state(control)["centre"])

    def pixel(self, control, x, y):
        """The screen colour "RRGGBB" at x, y inside the control."""
        return self.session.call("window.pixel", x=x, y=y, **self._target(control))["colour"]

    def children(self):
        return self.session.call("window.children", **self._target())["children"]

    def send(self, message, wparam=0, lparam=0, control=None):
        return self.session.call("window.send", msg=message, wparam=wparam, lparam=lparam,
                                 **self._target(control))["result"]

    # --- waiting

    def wait(self, match, control=None, timeout=E2E_WAIT):
        """Waits until the control's (or window's) state holds `match`
        (e.g. ``{"visible": 1}``); the state."""
        return self.session.wait("window.state", match, timeout, **self._target(control))

    def wait_text(self, control, text, timeout=E2E_WAIT):
        return self.wait({"text": text}, control, timeout)

    def stays(self, match, seconds, control=None):
        return self.session.stays("window.state", match, seconds, **self._target(control))

    def gone(self, timeout=E2E_WAIT):
        self.session.call("window.gone", window=self.handle, timeout_ms=_ms(timeout))

    def popup(self, timeout=E2E_WAIT):
        handle = self.session.call("window.popup", window=self.handle, timeout_ms=_ms(timeout))["hwnd"]
        return Window(self.session, handle, f"popup of {self.name}")

    # --- acting

    def press(self, control=None, button=1):
        """A real click on the centre of the control (or window)."""
        self.session.press(*self.centre(control), button=button)

    def click(self, control):
        """BM_CLICK, posted (not real input)."""
        self.session.call("window.click", **self._target(control))

    def close(self):
        self.session.call("window.close", **self._target())

    def post(self, message, wparam=0, lparam=0, control=None):
        self.session.call("window.post", msg=message, wparam=wparam, lparam=lparam, **self._target(control))

    def settext(self, control, text):
        self.session.call("window.settext", text=text, **self._target(control))


class Driver:
    """The simulated driver: its state, its request log, panels and faults."""

    def __init__(self, session):
        self.session = session

    def state(self):
        return self.session.call("driver.state")

    def log(self):
        return self.session.call("driver.log")["requests"]

    def wait(self, match, timeout=E2E_WAIT):
        """Waits until driver.state holds `match`, e.g.
        ``{"driver": {"clickbutton": 2}}`` or ``{"panels": [{"pointdata": 1}]}``."""
        return self.session.wait("driver.state", match, timeout)

    def stays(self, match, seconds):
        return self.session.stays("driver.state", match, seconds)

    def attach(self, panel_id, firmware=None):
        args = {"id": panel_id} if firmware is None else {"id": panel_id, "firmware": firmware}
        return self.session.call("driver.attach", **args)["index"]

    def remove(self, panel):
        self.session.call("driver.remove", panel=panel)

    def touch(self, panel):
        self.session.call("driver.touch", panel=panel)

    def release(self, panel):
        self.session.call("driver.release", panel=panel)

    def pointdata(self, panel, on):
        self.session.call("driver.pointdata", panel=panel, on=bool(on))

    def fail_next(self, error):
        self.session.call("driver.fail_next", error=error)

    def fail(self, code, error):
        self.session.call("driver.fail", code=code, error=error)

    def reply(self, code, data, always=False):
        self.session.call("driver.reply", code=code, bytes=list(data), always=always)

    def clear_faults(self):
        self.session.call("driver.clear_faults")

    def unplug(self):
        self.session.call("driver.unplug")

    def replug(self):
        self.session.call("driver.replug")

    def reset(self):
        self.session.call("driver.reset")


class Registry:
    """Both registry views through the agent (no reg tool, no process a step).
    Data: DWORDs as numbers, binaries as "01 ff", texts as str."""

    def __init__(self, session):
        self.session = session

    def read(self, view, key, name):
        """(type, data), or None when the key or the value is missing."""
        value = self.session.call("registry.read", view=view, key=key, name=name)
        return (value["type"], value["data"]) if value["exists"] else None

    def values(self, view, key):
        """{name: (type, data)}, or None when the key is missing."""
        result = self.session.call("registry.values", view=view, key=key)
        if not result["exists"]:
            return None
        return {name: (v["type"], v["data"]) for name, v in result["values"].items()}

    def write(self, view, key, *values):
        """Writes (name, type, data) values into one key and reads them back."""
        self.session.call("registry.write", view=view, key=key,
                          values=[{"name": n, "type": t, "data": d} for n, t, d in values])

    def delete(self, view, key):
        self.session.call("registry.delete", view=view, key=key)

    def wait(self, view, key, name, value, timeout=E2E_WAIT):
        """Waits until a value is (type, data); None: until it is missing."""
        match = {"exists": False} if value is None else {"exists": True, "type": value[0], "data": value[1]}
        self.session.wait("registry.read", match, timeout, view=view, key=key, name=name)


class Session:
    """One test session: the agent in the build tree's Wine session, the
    programs a scenario launched, and where its artifacts go."""

    def __init__(self, env):
        self.env = env
        self.agent = Agent(env)
        self.driver = Driver(self)
        self.registry = Registry(self)
        self.host_starts = 0  # Wine processes started from the host, the agent's own included
        self.test_logs = env.logs
        self._launched = []  # (Popen, exe)

    # --- the agent

    def ensure_agent(self):
        if not self.agent.alive():
            self.agent.stop()
            before = self.agent.starts
            self.agent.start()
            self.host_starts += self.agent.starts - before

    def call(self, cmd, /, **args):
        return self.agent.call(cmd, **args)

    def wait(self, cmd, match, /, timeout=E2E_WAIT, **args):
        """Repeats `cmd` inside the agent until its result holds `match`."""
        return self.call("wait", do={"cmd": cmd, "args": args}, match=match, timeout_ms=_ms(timeout))

    def stays(self, cmd, match, /, seconds, **args):
        """Checks inside the agent that `cmd`'s result holds `match` for `seconds`."""
        return self.call("stays", do={"cmd": cmd, "args": args}, match=match, duration_ms=_ms(seconds))

    def batch(self, *commands):
        """Several (cmd, args) in one request; their results."""
        return self.call("batch", commands=[{"cmd": c, "args": a} for c, a in commands])["results"]

    def reset(self):
        """Driver reset (no panels, plugged in, no faults, empty log) and no
        records of the suite in either registry view, checked."""
        self.batch(("driver.reset", {}),
                   ("wait", {"do": {"cmd": "driver.state"},
                             "match": {"driver": {"panels": 0, "plugged": 1, "logsize": 0}}, "timeout_ms": 5000}),
                   ("registry.delete", {"view": 64, "key": SUITE_KEY}),
                   ("registry.delete", {"view": 32, "key": SUITE_KEY}))

    # --- windows and input

    def wait_for_window(self, title=None, cls=None, timeout=15):
        """Waits until a top-level window with this exact caption (or class) exists."""
        args = {"class": cls} if cls is not None else {"title": title}
        handle = self.call("window.find", timeout_ms=_ms(timeout), **args)["hwnd"]
        return Window(self, handle, title or cls)

    def window(self, name):
        """A window by caption or "#HEX" handle, as it is now."""
        return Window(self, self.call("window.find", title=name, timeout_ms=0)["hwnd"], name)

    def wait_gone(self, title, timeout=E2E_WAIT):
        self.call("window.gone", window=title, timeout_ms=_ms(timeout))

    def press(self, x, y, button=1):
        """A real mouse click at screen coordinates (button 1 left, 2 middle, 3 right)."""
        subprocess.run(["xdotool", "mousemove", str(int(x)), str(int(y)), "click", str(button)],
                       env=self.env.environ, check=True, timeout=30)

    def dblclick_time(self):
        return self.call("session.dblclick_time")["ms"]

    def set_dblclick_time(self, ms):
        self.call("session.set_dblclick_time", ms=ms)

    def screenshot(self, name):
        """Saves the screen as TEST_LOGS/name (kept after the test)."""
        self.test_logs.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(self.test_logs / name)], env=self.env.environ,
                       check=False, timeout=60, capture_output=True)

    # --- programs

    def exe(self, name):
        """A program of the build under test."""
        return self.env.win_bin / name

    def launch(self, exe, *args, output=None):
        """Starts a program under test (or a helper) in the background; it is
        ended after the test. Its output goes to `output` (a file, e.g. in
        test_logs) or to launched.log. Listed in launched.pids like the shell
        harness's, so either harness ends what the other left behind."""
        exe = Path(exe)
        log = open(output or self.env.root / "launched.log", "ab")
        process = subprocess.Popen([self.env.loader(exe), str(exe), *map(str, args)], cwd=str(exe.parent),
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   env=self.env.environ, start_new_session=True)
        log.close()
        self.host_starts += 1
        self._launched.append((process, exe))
        with open(self.env.root / "launched.pids", "a") as pids:
            pids.write(f"{process.pid} {_proc_start(process.pid)} {exe}\n")
        return process

    def end_program(self, exe=None, timeout=10):
        """Ends the launched programs (all, or those of `exe`) and waits until
        their processes have ended and the session lists neither them nor a
        window of theirs."""
        keep, ended = [], []
        for process, path in self._launched:
            if exe is not None and path.name != Path(exe).name:
                keep.append((process, path))
                continue
            if process.poll() is None:
                process.kill()
            process.wait(timeout=timeout)
            ended.append((process, path))
        self._launched = keep
        self._forget([p.pid for p, _ in ended])
        for image in sorted({path.name for _, path in ended}):
            self.call("process.ended", image=image, timeout_ms=_ms(timeout))

    def end_leftovers(self):
        """Programs an earlier run left in launched.pids (a run cut short by
        its deadline): ended, and waited for until the session drops them,
        as after a test."""
        path = self.env.root / "launched.pids"
        if not path.exists():
            return
        images = set()
        for line in path.read_text().splitlines():
            pid, start, exe = (line.split(" ", 2) + ["", ""])[:3]
            images.add(Path(exe.replace("\\", "/")).name)
            if pid.isdigit() and _proc_start(int(pid)) == start:
                try:
                    os.kill(int(pid), 9)
                except OSError:
                    pass
        path.unlink()
        for image in sorted(i for i in images if i):
            self.call("process.ended", image=image, timeout_ms=_ms(10))

    def _forget(self, pids):
        path = self.env.root / "launched.pids"
        if not path.exists():
            return
        lines = [line for line in path.read_text().splitlines() if line.split(" ", 1)[0] not in map(str, pids)]
        if lines:
            path.write_text("".join(line + "\n" for line in lines))
        else:
            path.unlink()

    def wine_run(self, exe, *args, timeout=60):
        """Runs a Windows program to its end from the host (a Wine start);
        output without CRs."""
        exe = Path(exe)
        self.host_starts += 1
        done = subprocess.run([self.env.loader(exe), str(exe), *map(str, args)], env=self.env.environ,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        done.stdout = done.stdout.decode("utf-8", "replace").replace("\r", "")
        done.stderr = done.stderr.decode("utf-8", "replace").replace("\r", "")
        return done

    def run(self, exe, *args, timeout=60, parse_json=False):
        """Runs a Windows program to its end inside the session (the agent
        starts it): {status, stdout, stderr[, json]}."""
        return self.call("process.run", **program_location(exe), args=[str(a) for a in args], timeout_ms=_ms(timeout),
                         json=parse_json)

    @property
    def view(self):
        """The registry view the programs under test use: 32 for i686, 64 for x86_64."""
        return 32 if self.env.arch == "i686" else 64

    def tavloctl(self, *args, parse_json=False):
        """The service console's command line for the driver's data (panels,
        click sets, sounds, calibration), run inside the agent: no Wine start.
        {status, stdout, stderr[, json]}, as ``run`` gives. It is the x86_64 console: records of the
        programs under test go through ``registry`` with ``view``, and a test
        of tavloctl.exe itself runs the program with ``run``."""
        return self.call("tavloctl", args=[str(a) for a in args], json=parse_json)

    def run_test_program(self, exe, timeout=240):
        """A Windows test program of the build (GoogleTest under Wine) run to
        its end inside the session; fails the test unless it passed."""
        done = self.run(exe, timeout=timeout)
        assert done["status"] == 0, f"{Path(exe).name}: exit {done['status']}\n{done['stdout']}\n{done['stderr']}"
        assert "[  PASSED  ]" in done["stdout"], done["stdout"]

    def wait_run(self, exe, args, match, timeout=E2E_WAIT, run_timeout=60):
        """Runs a program inside the session until its JSON output holds
        `match` (the repeating happens in the agent)."""
        return self.wait("process.run", {"status": 0, "json": match}, timeout, **program_location(exe),
                         args=[str(a) for a in args], timeout_ms=_ms(run_timeout), json=True)

    def stop(self):
        try:
            self.end_program()
        except (AgentError, Exception):  # the session ends either way
            pass
        self.agent.stop()


def program_location(exe):
    """process.run's exe and cwd: a host path as Wine sees it, in its own
    folder; a Windows path ("C:\\...") as it is."""
    text = str(exe)
    if len(text) > 1 and text[1] == ":":
        return {"exe": text}
    return {"exe": windows_path(exe), "cwd": windows_path(Path(exe).parent)}


def _proc_start(pid):
    """A process's start time from /proc (tells it from a later one with the same number)."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[19]
    except (OSError, IndexError):
        return "0"

"""Steps shared by the demo's scenes (tools/demo/demo.py): what the reader
follows (a step and its effects), the installed service console, the
records and the driver as read through the agent, and the window
screenshots that go to docs/images/.

The demo drives the installed programs in one Wine session through one
agent (suite_e2e), as the end-to-end scenarios do: every wait is one request
that the agent repeats inside the session, and input is real (xdotool).
"""

import hashlib
import os
import subprocess
import tempfile
import time
from pathlib import Path

from suite_e2e import Session, program_ids, suite_ids
from suite_e2e import env as env_module

# The waits of the demo, longer than in the tests: a demo on a busy machine
# should show its steps, not stop at a deadline.
WAIT = float(os.environ.get("E2E_WAIT", "20"))
# The first window of a program started just now: a Wine process start is
# the slowest step on a loaded machine.
START_WAIT = max(30.0, WAIT)

# The records as Nystra and Cordane keep them, in the 32-bit registry view.
RECORDS = "HKLM\\Software\\ZR_EX_CONTROL"
# A screenshot is taken once the picture has stayed the same this long.
SETTLED_S = 0.2
SETTLE_DEADLINE_S = 10.0


class DemoFailed(Exception):
    """A step whose effect did not come."""


def say(text):
    """One step of the demo, as the reader follows it."""
    print(f"-> {text}", flush=True)


def show(text):
    """One observed effect, indented under its step."""
    print(f"     {text}", flush=True)


def on_off(value):
    return "on" if value else "off"


def joined(values):
    """An array of the driver's state as the simulator console prints it: "10000,0,10000,0"."""
    return ",".join(str(v) for v in values) if isinstance(values, list) else str(values)


def panels_match(count, panel, match):
    """A driver.state match for one panel of `count` (lists match element by element)."""
    return {"panels": [match if i == panel else {} for i in range(count)]}


class Demo:
    """The demo's session: the agent, the installed programs, the screenshots."""

    def __init__(self, shots):
        env = env_module.load()
        # Shortcuts stay inside the prefix: no menu entries on this machine's desktop.
        env.environ["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        self.e2e = Session(env)
        self.e2e.test_logs = Path(shots)
        self.shots = Path(shots)
        self.installer = None  # the suite's installer (a host path), set by the caller
        self.suite = suite_ids()
        # The installed program folder, on the host and as Windows names it.
        self.folder = (env.root / "prefix" / "drive_c" / self.suite.SUITE_VENDOR_FOLDER_NAME /
                       self.suite.SUITE_PROGRAM_FOLDER_NAME)
        self.install_folder = self.suite.SUITE_INSTALL_FOLDER
        self.shots.mkdir(parents=True, exist_ok=True)
        self.index = self.shots / "index.tsv"
        self.index.write_text("")

    def start(self):
        self.e2e.ensure_agent()

    def stop(self):
        """Ends what the demo launched and the agent. With SUITE_E2E_STATS set,
        the Wine process starts of the run are appended to that file, as the
        end-to-end runs do: from the host (the agent, launched programs) and
        inside the session (programs the agent ran)."""
        in_session = 0
        if self.e2e.agent.alive():
            try:
                in_session = self.e2e.call("agent.stats")["process_starts"]
            except Exception:  # the counts must not fail the demo
                pass
        self.e2e.stop()
        stats = os.environ.get("SUITE_E2E_STATS")
        if stats:
            with open(stats, "a") as file:
                file.write(f"host_starts={self.e2e.host_starts} in_session_starts={in_session} "
                           f"requests={self.e2e.agent.requests_total}\n")

    # --- the installed programs

    def installed(self, name):
        """A program of the installed suite, as a host path (for launching)."""
        return self.folder / name

    def launch(self, name, *args):
        return self.e2e.launch(self.installed(name), *args)

    def end_program(self, name):
        """Ends what the demo launched of this program (if it still runs) and
        waits until the session lists neither its process nor a window."""
        self.e2e.end_program(self.installed(name), timeout=WAIT)

    def wait_ended(self, image):
        """A program the demo did not launch itself (Cordane starts the tools) has ended."""
        self.e2e.call("process.ended", image=image, timeout_ms=int(WAIT * 1000))

    def tavloctl(self, *args):
        """The installed service console, run inside the session; its output."""
        done = self.e2e.run(f"{self.install_folder}\\tavloctl.exe", *args)
        if done["status"] != 0:
            raise DemoFailed(f"tavloctl {' '.join(map(str, args))} failed: {done['stdout']}{done['stderr']}")
        return done["stdout"].rstrip("\n")

    def ctl(self, *args):
        """The installed service console, command and answer printed."""
        out = self.tavloctl(*args)
        show(f"$ tavloctl {' '.join(map(str, args))}")
        for line in out.split("\n"):
            print(f"       {line}", flush=True)

    # --- windows

    def wait_window(self, title=None, cls=None, timeout=START_WAIT):
        return self.e2e.wait_for_window(title, cls=cls, timeout=timeout)

    def wait_controls(self, window, matches, timeout=WAIT):
        """Waits until each control {id: match} of a window holds its match
        (one request: the agent repeats the reads together); their states."""
        ids = list(matches)
        result = self.e2e.wait("batch", {"results": [matches[i] for i in ids]}, timeout,
                               commands=[{"cmd": "window.state", "args": {"window": window.handle, "id": i}}
                                         for i in ids])
        return dict(zip(ids, result["results"]))

    def states(self, window, ids):
        """The states of several controls, read together."""
        return self.e2e.batch(*[("window.state", {"window": window.handle, "id": i}) for i in ids])

    # --- the driver and the records

    def driver(self):
        return self.e2e.driver.state()

    def panel(self, index):
        return self.driver()["panels"][index]

    def wait_panel(self, index, match, timeout=WAIT):
        """Waits until panel `index` holds `match` (the other panels as they are)."""
        count = len(self.driver()["panels"])
        return self.e2e.driver.wait(panels_match(count, index, match), timeout)["panels"][index]

    def driver_panels(self, *fields):
        """What the driver holds, one line per panel with the fields named."""
        for panel in self.driver()["panels"]:
            values = " ".join(f"{field}={joined(panel[field])}" for field in ("index", "id", *fields))
            show(f"driver: panel {values}")

    def record_values(self, key, *names):
        """The values of one record, "missing" for none (DWORDs in decimal)."""
        values = self.e2e.registry.values(32, f"{RECORDS}\\{key}") or {}
        return {name: (values[name][1] if name in values and values[name][1] != "" else "missing")
                for name in names}

    def show_record(self, key, *names):
        values = self.record_values(key, *names)
        show(f"registry {key}: " + " ".join(f"{name}={values[name]}" for name in names))

    def wait_record(self, key, values, timeout=WAIT):
        """Waits until a record holds these {name: data}."""
        self.e2e.wait("registry.values", {"exists": True, "values": {n: {"data": d} for n, d in values.items()}},
                      timeout, view=32, key=f"{RECORDS}\\{key}")

    # --- screenshots

    def _display(self, *args):
        return subprocess.run(list(args), env=self.e2e.env.environ, check=True, capture_output=True, timeout=60)

    def window_shot(self, name, title, *windows):
        """The screen cut to the rectangle around the given windows, saved as
        SHOTS/name.png with no time stamps inside, so that an unchanged
        picture is an unchanged file; `title` labels it on the contact sheet."""
        screen_w, screen_h = map(int, self._display("xdotool", "getdisplaygeometry").stdout.split())
        rects = [window.rect() for window in windows]
        # Kept on the screen.
        x0 = max(0, min(r[0] for r in rects))
        y0 = max(0, min(r[1] for r in rects))
        x1 = min(screen_w, max(r[2] for r in rects))
        y1 = min(screen_h, max(r[3] for r in rects))
        crop = f"{x1 - x0}x{y1 - y0}+{x0}+{y0}"
        # A window settles a moment after the step that changed it (focus,
        # caret, a repaint): the picture is taken once every capture over a
        # fifth of a second has been the same. The captures follow each
        # other as fast as they are made.
        with tempfile.TemporaryDirectory() as work:
            full = str(Path(work) / "screen.png")
            last, since = None, 0.0
            end = time.monotonic() + SETTLE_DEADLINE_S
            while True:
                self._display("import", "-window", "root", full)
                pixels = self._display("convert", full, "-crop", crop, "+repage", "-depth", "8", "rgb:-").stdout
                this, now = hashlib.md5(pixels).hexdigest(), time.monotonic()
                if this != last:
                    last, since = this, now
                elif now - since >= SETTLED_S:
                    break
                if now >= end:
                    show(f"({name} still changing after {SETTLE_DEADLINE_S:.0f} s: the last capture is kept)")
                    break
            self._display("convert", full, "-crop", crop, "+repage", "-strip", "-define",
                          "png:exclude-chunks=date,time", str(self.shots / f"{name}.png"))
        with open(self.index, "a") as index:
            index.write(f"{name}\t{title}\n")
        show(f"screenshot {name}.png: {title}")

    def failure_artifacts(self):
        """The screen and the driver's state, kept when a scene fails."""
        try:
            self.e2e.screenshot("failure.png")
            print(f"driver state: {self.driver()}")
            running = {image: self.e2e.call("process.count", image=image)["count"]
                       for image in ("Cordane.exe", "Nystra.exe", "Velmic.exe", "Gorvat.exe", "Palvine.exe")}
            print(f"running: {running}")
        except Exception as error:  # the artifacts must not hide the failure
            print(f"(no driver state: {error})")


IDS = {name: program_ids(name) for name in ("velmic", "gorvat", "palvine", "cordane", "nystra")}

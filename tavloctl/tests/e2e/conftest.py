"""Shared steps of the service console's pytest scenarios: tavloctl.exe of the
build under test, run to its end inside the Wine session by the agent, against
the simulated driver and the prefix's registry.

What a scenario only prepares (panels' settings, records) goes through the
agent's own copy of the console (``e2e.tavloctl``, no Wine start); what it
checks is always the output and the effect of the build's own tavloctl.exe.
"""

import os
import re
import selectors
import subprocess
import time

import pytest

from suite_e2e.env import windows_path
from suite_e2e.steps import SUITE_KEY

# Requests of the driver that change something have the access bits of
# FILE_WRITE_ACCESS alone (0x22A...); reads are 0x22E... and 0x226....
WRITE_PREFIX = "0x22A"


class Console:
    KEY = SUITE_KEY

    def __init__(self, e2e):
        self.e2e = e2e
        self.exe = e2e.exe("tavloctl.exe")
        self.folder = windows_path(e2e.env.win_bin)  # the build's folder as Windows names it

    # --- the program under test

    def run(self, *args, timeout=60):
        """tavloctl.exe ARGS to its end: {status, stdout, stderr} (no CRs)."""
        return self.e2e.run(self.exe, *args, timeout=timeout)

    def ok(self, *args, timeout=60):
        """Runs it, asserts exit code 0, returns what it printed."""
        done = self.run(*args, timeout=timeout)
        assert done["status"] == 0, f"tavloctl {_words(args)}: exit {done['status']}\n{_output(done)}"
        return done["stdout"]

    def exits(self, status, *args):
        """Runs it, asserts this exit code, returns the whole result."""
        done = self.run(*args)
        assert done["status"] == status, f"tavloctl {_words(args)}: exit {done['status']}, not {status}\n" \
                                         f"{_output(done)}"
        return done

    def json(self, *args):
        done = self.e2e.run(self.exe, *args, parse_json=True)
        assert done["status"] == 0 and done.get("json") is not None, f"tavloctl {_words(args)}:\n{_output(done)}"
        return done["json"]

    # --- preparing the machine

    def setup(self, *commands):
        """Several console command lines (lists) in one agent request, each of
        which must succeed."""
        results = self.e2e.batch(*[("tavloctl", {"args": [str(a) for a in words]}) for words in commands])
        for words, done in zip(commands, results):
            assert done["status"] == 0, f"tavloctl {_words(words)}: {done}"

    def file(self, name):
        """A file of the test's log folder: (host path, its Windows name)."""
        self.e2e.test_logs.mkdir(parents=True, exist_ok=True)
        path = self.e2e.test_logs / name
        return path, windows_path(path)

    # --- the registry, in the 32-bit view where every build keeps the records

    def value(self, subkey, name):
        """(type, data) of a value of the records, None when missing."""
        return self.e2e.registry.read(32, f"{self.KEY}\\{subkey}", name)

    def put(self, subkey, *values):
        self.e2e.registry.write(32, f"{self.KEY}\\{subkey}", *values)

    # --- the driver

    def panels(self):
        """Every panel's state without its touch flag (which the user, not a
        setting, changes)."""
        return [{k: v for k, v in p.items() if k != "touched"} for p in self.e2e.driver.state()["panels"]]

    def clear_log(self):
        self.e2e.call("driver.clear_log")

    def writes(self):
        """The driver's logged write requests, by code."""
        return [r["code_hex"] for r in self.e2e.driver.log() if r["code_hex"].startswith(WRITE_PREFIX)]


class LiveOutput:
    """A program started in the background whose output is read as it
    prints it: through a FIFO, each read bounded by a deadline."""

    def __init__(self, e2e, exe, *args, name="live"):
        e2e.test_logs.mkdir(parents=True, exist_ok=True)
        self.fifo = e2e.test_logs / f"{name}.fifo"
        if self.fifo.exists():
            self.fifo.unlink()
        os.mkfifo(self.fifo)
        # The reader first, so that the program's end can open it for writing.
        self.reader = os.open(self.fifo, os.O_RDONLY | os.O_NONBLOCK)
        self.process = e2e.launch(exe, *args, output=self.fifo)
        self.text = ""
        self.ended = False

    def _read(self, deadline):
        """Reads what came until `deadline` (a monotonic time); False when the
        deadline passed or nothing can come any more."""
        remaining = deadline - time.monotonic()
        if remaining <= 0 or self.ended:
            return False
        with selectors.DefaultSelector() as selector:
            selector.register(self.reader, selectors.EVENT_READ)
            if not selector.select(remaining):
                return False
        chunk = os.read(self.reader, 65536)
        if not chunk:
            self.ended = True  # new too: the last line is complete now
            return True
        self.text += chunk.decode("utf-8", "replace").replace("\r", "")
        return True

    def wait_line(self, pattern, timeout):
        """Waits until a whole printed line matches `pattern`; the line."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.text.split("\n")
            for line in lines if self.ended else lines[:-1]:
                if re.fullmatch(pattern, line):
                    return line
            if not self._read(deadline):
                raise AssertionError(f"no line like {pattern!r} within {timeout} s; printed:\n{self.text}")

    def wait_end(self, timeout):
        """Waits until the program has ended; its exit code. Its output is
        read to the end."""
        deadline = time.monotonic() + timeout
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s; printed:\n{self.text}") from None
        while self._read(deadline):
            pass
        return status

    def close(self):
        os.close(self.reader)
        self.fifo.unlink()


def _words(args):
    return " ".join(str(a) for a in args)


def _output(done):
    return f"--- stdout:\n{done.get('stdout', '')}--- stderr:\n{done.get('stderr', '')}"


@pytest.fixture
def ctl(e2e):
    return Console(e2e)



@pytest.fixture
def live_output(e2e):
    """live_output(exe, *args, name=...): a LiveOutput, closed after the test."""
    started = []

    def start(exe, *args, name="live"):
        started.append(LiveOutput(e2e, exe, *args, name=name))
        return started[-1]

    yield start
    for live in started:
        live.close()

"""The host's end of the agent: suite_agent.exe in the Wine session, one JSON
request per line on its standard input, one reply per line on its output."""

import collections
import json
import os
import selectors
import subprocess
import threading
import time

# Time the host allows beyond a command's own deadline before it takes the
# agent for hung (a loaded machine, Wine's own pauses).
REPLY_MARGIN_S = 30.0
# How long a freshly started agent may take to say it is ready.
READY_S = 60.0


class AgentError(Exception):
    """A command the agent answered with an error (a wait that ran out, a
    missing window, bad arguments)."""

    def __init__(self, cmd, message, last=None):
        super().__init__(f"{cmd}: {message}")
        self.cmd = cmd
        self.message = message
        self.last = last


class AgentCrashed(Exception):
    """The agent ended or stopped answering; the message carries its last
    words (the end of its error output)."""


class Agent:
    def __init__(self, env, exe=None, keep_lines=40):
        self.env = env
        self.exe = exe or (env.win64_bin / "suite_agent.exe")
        self.keep_lines = keep_lines
        self.process = None
        self.starts = 0  # Wine processes this object started
        self.requests = 0
        self.requests_total = 0
        self._stderr = collections.deque(maxlen=keep_lines)
        self._buffer = b""
        self._next_id = 0

    # --- life

    def start(self):
        """Starts the agent and waits for its ready line. Wine now and then
        ends a fresh process before the program ran (see wine-env.sh): such a
        start, and only that, is made once more."""
        if not self.exe.exists():
            raise AgentCrashed(f"no agent at {self.exe} (build the win64 preset)")
        for attempt in (1, 2):
            self._spawn()
            try:
                ready = self._read_reply(READY_S, "start")
            except AgentCrashed as crash:
                if attempt == 1 and not self.last_words():
                    self._stderr.append(f"[harness] the agent ended before it started ({crash}); starting it again")
                    continue
                raise
            if not ready.get("ready"):
                raise AgentCrashed(f"the agent's first line is no ready line: {ready}")
            self.info = ready
            return ready
        raise AgentCrashed("the agent did not start")

    def _spawn(self):
        self._stderr.clear()
        self._buffer = b""
        self.process = subprocess.Popen(
            [self.env.wine64, str(self.exe)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, env=self.env.environ, cwd=str(self.exe.parent), start_new_session=True)
        self.starts += 1
        self._reader = threading.Thread(target=self._collect_stderr, args=(self.process,), daemon=True)
        self._reader.start()

    def _collect_stderr(self, process):
        for raw in process.stderr:
            self._stderr.append(raw.decode("utf-8", "replace").rstrip("\r\n"))

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def stop(self):
        """Asks the agent to quit; ends it when it does not."""
        if self.process is None:
            return
        process, self.process = self.process, None
        try:
            if process.poll() is None:
                process.stdin.write(b'{"cmd": "quit"}\n')
                process.stdin.flush()
                process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            pass
        if process.poll() is None:
            process.kill()
            process.wait(timeout=10)
        for stream in (process.stdin, process.stdout):
            try:
                stream.close()
            except OSError:
                pass

    def last_words(self):
        return "\n".join(self._stderr)

    # --- requests

    def call(self, cmd, /, deadline_s=None, **args):
        """Runs one command; its result, or AgentError. `deadline_s` is how
        long the host waits for the reply (default: the command's own
        timeout_ms, if any, plus a margin)."""
        if not self.alive():
            raise AgentCrashed(self._crash_text(f"{cmd}: the agent is not running"))
        self._next_id += 1
        request = {"id": self._next_id, "cmd": cmd, "args": args}
        if deadline_s is None:
            deadline_s = _longest_timeout_ms(args) / 1000.0 + REPLY_MARGIN_S
        try:
            self.process.stdin.write((json.dumps(request) + "\n").encode())
            self.process.stdin.flush()
        except OSError as error:
            raise AgentCrashed(self._crash_text(f"{cmd}: cannot write to the agent ({error})")) from None
        self.requests += 1
        self.requests_total += 1
        reply = self._read_reply(deadline_s, cmd)
        if reply.get("id") != self._next_id:
            raise AgentCrashed(self._crash_text(f"{cmd}: reply for another request: {reply}"))
        if not reply.get("ok"):
            raise AgentError(cmd, reply.get("error", "(no error text)"), reply.get("last"))
        return reply.get("result", {})

    def _read_reply(self, deadline_s, what):
        end = time.monotonic() + deadline_s
        stdout = self.process.stdout
        while b"\n" not in self._buffer:
            remaining = end - time.monotonic()
            if remaining <= 0:
                self.process.kill()
                raise AgentCrashed(self._crash_text(f"{what}: no reply within {deadline_s:.0f} s; the agent was ended"))
            with selectors.DefaultSelector() as selector:
                selector.register(stdout, selectors.EVENT_READ)
                if not selector.select(remaining):
                    continue
            chunk = os.read(stdout.fileno(), 65536)
            if not chunk:
                try:
                    self.process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
                raise AgentCrashed(self._crash_text(
                    f"{what}: the agent ended (status {self.process.returncode}) without a reply"))
            self._buffer += chunk
        line, _, self._buffer = self._buffer.partition(b"\n")
        try:
            return json.loads(line.decode("utf-8", "replace"))
        except ValueError:
            raise AgentCrashed(self._crash_text(f"{what}: the agent wrote no JSON: {line[:200]!r}")) from None

    def _crash_text(self, what):
        # The error output's reader may be a line behind: an ended agent's
        # is read to its end, a live one's gets a moment.
        if self.process is not None and self.process.poll() is not None:
            self._reader.join(timeout=5)
        else:
            time.sleep(0.2)
        words = self.last_words() or "(nothing on its error output)"
        return f"{what}\n--- the agent's last words:\n{words}"


def _longest_timeout_ms(value):
    """All timeout_ms and duration_ms of a request added up (a batch runs
    its waits one after the other)."""
    if isinstance(value, dict):
        own = sum(v for k, v in value.items() if k in ("timeout_ms", "duration_ms") and isinstance(v, (int, float)))
        return own + sum(_longest_timeout_ms(v) for v in value.values())
    if isinstance(value, list):
        return sum(_longest_timeout_ms(v) for v in value)
    return 0

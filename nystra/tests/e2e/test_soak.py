"""Soak of the real Nystra.exe against the simulated driver: a numbered
random schedule of attaches, removals, touches on any panel, edits of the
touch modes and the time-out in the registry, driver faults, Release
presses and activate messages, with a second start of the program half
way. After every change the driver holds at most one panel with point
data. The process's GDI objects, windows and kernel handles at the end are
those after the warm-up (give or take what one call in progress holds),
and after the program has ended every panel is enabled and start-up mode
is 1.

The run ends when the controller has made --soak-polls polls (0: no such
limit) or --soak-seconds have passed (0: no such limit); --soak-schedule
numbers the schedule (also NYSTRA_SOAK_POLLS, _SECONDS, _SCHEDULE).

Polls are counted in the driver's request log: a poll starts with the
touch read of panel 0 (a release's touch reads follow its disables and are
not counted). Polls made while no panel is attached read nothing and are
not counted either, so the count is a lower bound. Each step waits until
the controller has started two polls since the change (one whole poll has
seen it); while the device is unplugged, until a failed poll's interval has
passed without a request reaching the driver.
"""

import collections
import random
import time
from dataclasses import dataclass, field

import pytest

MOST_PANELS = 6
TOLERANCE = 2  # a device handle or a paint DC may be open at the moment of a reading
FAILED_POLL_S = 1.0  # the controller's poll interval while the driver is lost
STEP_WAIT_S = 15  # the longest a step waits for the controller's polls
ERRORS = (31, 1, 2, 87, 1167)  # what fail-next injects
RECORDS = "HKLM\\Software\\ZR_EX_CONTROL"


@dataclass
class Figures:
    """What the run has seen of the driver: its panels, the log read so far,
    the polls counted in it, and the events of the schedule."""

    panels: list = field(default_factory=list)  # identifiers in panel order, as the driver lists them
    plugged: bool = True
    last_seq: int = -1
    polls: int = 0
    unseen: int = 0  # requests that left the log before a step read it
    most_enabled: int = 0
    events: collections.Counter = field(default_factory=collections.Counter)
    recent: collections.deque = field(default_factory=lambda: collections.deque(maxlen=2))  # (code, input)

    def take(self, state, log, after, check_touch, set_pointdata):
        """Checks the invariant on one reading of the driver and counts the
        polls of the requests not seen before."""
        enabled = [p for p in state["panels"] if p["pointdata"] == 1]
        assert len(enabled) <= 1, f"after {after}: {len(enabled)} panels with point data: {state['panels']}"
        self.most_enabled = max(self.most_enabled, len(enabled))
        self.panels = [p["id"] for p in state["panels"]]
        self.plugged = state["driver"]["plugged"] == 1
        if log and self.last_seq >= 0 and log[0]["seq"] > self.last_seq + 1:
            self.unseen += log[0]["seq"] - self.last_seq - 1
        for request in log:
            key = (request["code"], tuple(request["in"]))
            # A touch read of panel 0 that does not follow a disable of panel
            # 0 (a status read in between) starts a poll.
            if request["seq"] > self.last_seq and key == (check_touch, (0,)) and \
                    (len(self.recent) < 2 or self.recent[0] != (set_pointdata, (0, 0))):
                self.polls += 1
            self.recent.append(key)
        if log:
            self.last_seq = max(self.last_seq, log[-1]["seq"])


class Soak:
    """The schedule's steps, each one agent request plus one wait."""

    def __init__(self, nystra, e2e, schedule):
        self.nystra = nystra
        self.e2e = e2e
        self.random = random.Random(schedule)
        self.figures = Figures()
        self.unplugged_steps = 0
        self.touch_fault_steps = 0
        self.tapped = -1

    def pick(self, n):
        return self.random.randrange(n)

    def driver_step(self, what, *commands):
        """Runs the commands, then reads the driver's state and log in the same
        request; checks the invariant, counts the polls, and waits until the
        controller has seen the change."""
        results = self.e2e.batch(*commands, ("driver.state", {}), ("driver.log", {}))
        self.figures.take(results[-2], results[-1]["requests"], what, self.nystra.CHECK_TOUCH,
                          self.nystra.SET_POINTDATA)
        if what:
            self.figures.events[what] += 1
        self.settle(results[-2]["driver"]["requests"])

    def settle(self, requests):
        if self.figures.plugged:
            # Two polls of the controller since the change.
            self.e2e.wait("driver.log", {"count": {"$ge": 2}}, STEP_WAIT_S, code=self.nystra.CHECK_TOUCH,
                          after=self.figures.last_seq, **{"in": [0]})
        else:
            # An unplugged device gets no request; the controller's failed
            # poll comes within its interval.
            self.e2e.driver.stays({"driver": {"plugged": 0, "requests": requests}}, FAILED_POLL_S)

    def new_id(self):
        """An identifier no attached panel has."""
        while True:
            candidate = self.pick(250) + 1
            if candidate not in self.figures.panels:
                return candidate

    def some_id(self):
        """Mostly an attached panel's identifier, else any."""
        if self.figures.panels and self.pick(4) != 0:
            return self.figures.panels[self.pick(len(self.figures.panels))]
        return self.pick(256)

    def step(self):
        panels = self.figures.panels
        count = len(panels)
        roll = self.pick(100)
        # A touch is a tap: the finger is lifted at the next step. A lasting
        # fault or an unplugged device lasts one to three steps.
        if self.tapped >= 0:
            tapped, self.tapped = self.tapped, -1
            return self.driver_step("", ("driver.release", {"panel": tapped}))
        if self.unplugged_steps > 0:
            self.unplugged_steps -= 1
            if self.unplugged_steps == 0:
                return self.driver_step("replug", ("driver.replug", {}))
        if self.touch_fault_steps > 0:
            self.touch_fault_steps -= 1
            if self.touch_fault_steps == 0:
                return self.driver_step("touch-reads-back", ("driver.fail", {"code": self.nystra.CHECK_TOUCH,
                                                                             "error": 0}))
        if roll < 8 and count < MOST_PANELS:
            self.driver_step("attach", ("driver.attach", {"id": self.new_id()}))
        elif roll < 12 and count > 1:
            # The last panel stays: no panel at all is what an unplugged device gives.
            self.driver_step("remove", ("driver.remove", {"panel": self.pick(count)}))
        elif roll < 27 and count > 0:
            self.tapped = self.pick(count)
            self.driver_step("touch", ("driver.touch", {"panel": self.tapped}))
        elif roll < 57:
            self.driver_step("idle")
        elif roll < 61:
            # Mode 3 is unknown and acts as Interlock.
            key = f"{RECORDS}\\ID{self.some_id()}"
            values = [{"name": "NAME", "type": "REG_SZ", "data": f"Panel {roll}"},
                      {"name": "TOUCH_OP", "type": "REG_DWORD", "data": self.pick(4)}]
            self.driver_step("mode", ("registry.write", {"view": 32, "key": key, "values": values}))
        elif roll < 63:
            values = [{"name": "TIMEOUT", "type": "REG_DWORD", "data": 1 + self.pick(3)}]
            self.driver_step("timeout", ("registry.write", {"view": 32, "key": f"{RECORDS}\\ALL", "values": values}))
        elif roll < 65:
            values = [{"name": "TIMEENABLE", "type": "REG_DWORD", "data": int(self.pick(8) != 0)}]
            self.driver_step("timeenable",
                             ("registry.write", {"view": 32, "key": f"{RECORDS}\\ALL", "values": values}))
        elif roll < 68:
            self.driver_step("fail-next", ("driver.fail_next", {"error": ERRORS[self.pick(len(ERRORS))]}))
        elif roll < 70 and self.touch_fault_steps == 0:
            self.touch_fault_steps = 1 + self.pick(3)
            self.driver_step("touch-reads-fail", ("driver.fail", {"code": self.nystra.CHECK_TOUCH, "error": 31}))
        elif roll < 72 and self.unplugged_steps == 0:
            self.unplugged_steps = 1 + self.pick(3)
            self.driver_step("unplug", ("driver.unplug", {}))
        elif roll < 76:
            self.driver_step("release-press",
                             ("window.click", {"window": self.nystra.main.handle, "id": self.nystra.IDS.IDC_RELEASE}))
        elif roll < 79:
            self.driver_step("activate-message", ("window.post", {"window": self.nystra.main.handle,
                                                                  "msg": self.nystra.ACTIVE_MESSAGE,
                                                                  "wparam": self.pick(6), "lparam": 0}))
        else:
            self.driver_step("idle")

    def second_start(self):
        """A second start: it must bring the running window forward and end,
        with the interlock still the first's."""
        assert self.nystra.run() == 0, "the second start ended with an error"
        self.e2e.wait("process.count", {"count": 1}, image="Nystra.exe")
        assert self.e2e.call("window.count", title=self.nystra.CAPTION)["count"] == 1, "more than one interlock window"
        self.driver_step("second-start")

    def resources(self):
        """The smallest of three readings of each count (a reading may meet a
        device handle or a paint DC that is open for a moment), and the last
        reading as it came."""
        readings = self.e2e.batch(*[("process.resources", {"image": "Nystra.exe"})] * 3)
        for reading in readings:
            assert len(reading["processes"]) == 1, f"not one Nystra.exe: {reading}"
        counts = [reading["processes"][0] for reading in readings]
        return ({"gdi": min(c["gdi_table"] for c in counts), "windows": min(c["windows"] for c in counts),
                 "handles": min(c["handle_list"] for c in counts)}, counts[-1])


def test_soak(nystra, e2e, request):
    want_polls = request.config.getoption("--soak-polls")
    want_seconds = request.config.getoption("--soak-seconds")
    schedule = request.config.getoption("--soak-schedule")
    if want_polls <= 0 and want_seconds <= 0:
        pytest.fail("the soak needs --soak-polls or --soak-seconds")
    soak = Soak(nystra, e2e, schedule)
    report = []

    def say(line):
        report.append(f"soak: {line}")
        print(report[-1], flush=True)

    nystra.record_system(30, 0)
    for i in range(1, 6):
        e2e.driver.attach(16 * i)  # attached before the start: enabled
        nystra.record_panel(16 * i, f"Line {i}", i % 3)  # Interlock, Supervisor, Disable, ...
    main = nystra.start()
    nystra.wait_pointdata(0, 0, 0, 0, 0)  # the fifth too, beyond the four of the table
    at_launch, launch_raw = soak.resources()

    # Warm-up: every look of the window once (active, a request shown, a
    # Supervisor take-over, released), since the first showing of each loads
    # icons that stay loaded.
    for panel, rows in ((0, ("16", "Line 1", "", "")), (3, ("16", "Line 1", "64", "Line 4")),
                        (1, ("32", "Line 2", "", ""))):
        e2e.driver.touch(panel)
        nystra.wait_rows(*rows)
        e2e.driver.release(panel)
    main.click(nystra.IDS.IDC_RELEASE)
    nystra.wait_rows("", nystra.RELEASED, "", "")
    nystra.record_system(1, 1)  # from here on an active panel is soon released again
    warm, _ = soak.resources()

    began = time.monotonic()
    steps = 0
    second_done = False
    figures = soak.figures
    while True:
        elapsed = time.monotonic() - began
        if want_polls > 0 and figures.polls >= want_polls or want_seconds > 0 and elapsed >= want_seconds:
            break
        soak.step()
        steps += 1
        half = want_polls > 0 and 2 * figures.polls >= want_polls or want_seconds > 0 and 2 * elapsed >= want_seconds
        if not second_done and half and steps > 10:
            soak.second_start()
            second_done = True
        if steps % 200 == 0:
            say(f"{steps} steps, {figures.polls} polls, {time.monotonic() - began:.0f} s, {soak.resources()[0]}")
    assert second_done, "the run ended before the second start"

    # Back to a driver without faults, then the end: every panel enabled and start-up mode 1.
    soak.driver_step("", ("driver.clear_faults", {}), ("driver.replug", {}))
    at_end, end_raw = soak.resources()
    nystra.end_with_ok()
    e2e.wait("process.count", {"count": 0}, image="Nystra.exe")
    nystra.wait_pointdata(*[1] * len(e2e.driver.state()["panels"]))
    nystra.wait_startup(1)

    say(f"schedule {schedule}, {steps} steps in {time.monotonic() - began:.0f} s, {figures.polls} polls (lower "
        f"bound), at most {figures.most_enabled} panel with point data")
    say("events " + " ".join(f"{name}={n}" for name, n in sorted(figures.events.items())))
    say(f"requests not seen in the log: {figures.unseen}")
    say(f"after the launch  {at_launch}   ({launch_raw})")
    say(f"after the warm-up {warm}")
    say(f"at the end        {at_end}   ({end_raw})")
    e2e.test_logs.mkdir(parents=True, exist_ok=True)
    (e2e.test_logs / "soak.txt").write_text("\n".join(report) + "\n")
    for what in ("gdi", "windows", "handles"):
        assert warm[what] >= 0, f"{what} could not be read"
        assert at_end[what] <= warm[what] + TOLERANCE, \
            f"{what} grew: {warm[what]} after the warm-up, {at_end[what]} at the end"

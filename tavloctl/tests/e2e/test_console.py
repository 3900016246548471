"""tavloctl against the simulated driver: the panel list with identifiers and
records, a calibration written by identifier and read back (checked in the
driver), a touch seen live with its time and identifier, JSON output, exit
codes and messages of refused commands and of a missing device."""

import re

import pytest

IDENTITY = [10000, 0, 10000, 0]


@pytest.fixture
def line_b(e2e, ctl):
    """Panels 0x11 and 0x22 (firmware 0x0207); panel 1's record "Line B", supervisor."""
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22, firmware=0x0207)
    ctl.setup(["record", 34, "--name", "Line B", "--mode", "supervisor"])


def test_list(line_b, ctl):
    listing = ctl.ok("list")
    assert "    1          34    0x0207     enabled       no  supervisor  Line B" in listing.split("\n"), listing
    panels = ctl.json("list", "--json")["panels"]
    assert [(p["id"], p["firmware"]) for p in panels] == [(17, 0x0105), (34, 519)], panels


def test_calibration_by_identifier(line_b, ctl, e2e):
    out = ctl.ok("calibration", "id:34", 9000, -12, 11000, 34)
    assert "panel 1 calibration (working): x gain 9000, x offset -12, y gain 11000, y offset 34" in out.split("\n"), out
    panel = e2e.driver.state()["panels"][1]
    assert (panel["cal"], panel["calsaved"]) == ([9000, -12, 11000, 34], IDENTITY)
    ctl.ok("revert", 1)
    assert e2e.driver.state()["panels"][1]["cal"] == IDENTITY, "not reverted to the saved set"


@pytest.mark.parametrize("unplugged, args, status, stdout, stderr", [
    (False, ["led", "id:99"], 1, None, "no attached panel has identifier 99"),
    (False, ["list", "--saved"], 2, None, None),  # an option the command does not take
    (False, ["--version"], 0, "tavloctl 1.0.0\n", None),
    (True, ["list"], 1, None, "TavloNoDevice (1)"),
], ids=["unknown-identifier", "refused-option", "version", "missing-device"])
def test_exit_codes_and_messages(line_b, ctl, e2e, unplugged, args, status, stdout, stderr):
    if unplugged:
        e2e.driver.unplug()
    done = ctl.exits(status, *args)
    if stdout is not None:
        assert done["stdout"] == stdout
    if stderr is not None:
        assert stderr in done["stderr"]


def test_watch_sees_a_touch(line_b, ctl, e2e, live_output):
    """watch runs in the background; once it says it is watching, panel 1 is
    touched, and watch prints it and ends."""
    watch = live_output(ctl.exe, "watch", "--count", 1, "--seconds", 20, name="watch")
    watch.wait_line(r"watching touches.*", 30)
    e2e.driver.touch(1)
    status = watch.wait_end(30)
    assert re.search(r"^\d{2}:\d{2}:\d{2}\.\d{3} panel 1 \(id 34\) touched$", watch.text, re.M), watch.text
    assert status == 0, watch.text

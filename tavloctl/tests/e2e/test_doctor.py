"""doctor on a healthy machine (exit 0, every line OK), with the interlock
controller running (seen by its lock or window; start-up mode 0 and one panel
enabled are then right), and on a broken one: two panels with the same
identifier, a panel without a record, missing files (exit 2)."""

import re

import pytest


@pytest.fixture
def records(ctl):
    ctl.setup(["record", 17, "--name", "A", "--mode", "interlock"],
              ["record", 34, "--name", "B", "--mode", "supervisor"])


def doctor(ctl, status, *args):
    """The report's lines; the exit code must be `status`."""
    done = ctl.exits(status, "doctor", *args)
    return done["stdout"].rstrip("\n").split("\n")


def test_healthy(records, ctl, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    report = doctor(ctl, 0, "--folder", ctl.folder)
    assert [line for line in report if not line.startswith("OK  ")] == [], report
    assert "OK    driver: the driver answers, version 0x0210" in report
    assert "OK    interlock: Nystra is not running" in report
    assert ctl.json("doctor", "--folder", ctl.folder, "--json")["result"] == "OK"


def test_interlock_running(records, ctl, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    e2e.launch(e2e.exe("Nystra.exe"))
    e2e.driver.wait({"driver": {"startup": 0}, "panels": [{"pointdata": 0}, {"pointdata": 0}]})
    report = doctor(ctl, 0, "--folder", ctl.folder)
    assert any(re.fullmatch(r"OK    interlock: Nystra is running \(.*(lock|window).*\)", line) for line in report), \
        report
    assert "OK    startup: start-up mode 0 fits" in report
    ctl.exits(1, "recover")  # refused while Nystra runs
    e2e.end_program(e2e.exe("Nystra.exe"))


def test_broken_machine(records, ctl, e2e):
    for panel_id in (0x11, 0x11, 0x40):
        e2e.driver.attach(panel_id)
    report = doctor(ctl, 2, "--folder", "C:\\nowhere")
    for start in ("FAIL  identifiers: panels 0, 1 both report identifier 17",
                  "WARN  records: panel 2 (id 64) has no record",
                  "FAIL  files: C:\\nowhere\\ lacks TAVLO.DLL, BRIMOL.DLL"):
        assert any(line.startswith(start) for line in report), f"no line {start!r} in\n" + "\n".join(report)

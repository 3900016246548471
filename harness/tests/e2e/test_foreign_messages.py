"""Every program's windows against foreign messages: the agent sends each
window of the program (and the about boxes of the two that have one), and
each of its controls, a table of messages the suite does not use, with
extreme parameters. Afterwards the program still runs and answers, and the
driver holds what it held before."""

import pytest

from suite_e2e import program_ids

IDOK = 1
SWEEP_DEADLINE_S = 600  # every unanswered message may take its 2 s


def _driver_without_counters(e2e):
    """The driver's state without its request counters, which polls move on."""
    state = e2e.driver.state()
    for counter in ("requests", "logsize"):
        state["driver"].pop(counter)
    return state


def _velmic(e2e):
    main = e2e.wait_for_window("Touch Settings Program", timeout=15)
    main.wait({"visible": 1}, timeout=15)
    # The start dialog stays, hidden, while the main window runs.
    e2e.wait_for_window("Touch panel settings  -  Information").wait({"visible": 0}, timeout=15)
    return main


def _gorvat(e2e):
    main = e2e.wait_for_window("Touch Panel Calibration", timeout=15)
    main.wait_text(program_ids("gorvat").IDC_TEXT_MESSAGE,
                   "1. Touch anywhere on the screen to start the Calibration Setting Program.", timeout=15)
    return main


def _palvine(e2e):
    # Palvine's last driver request of its start sets the once mode: the
    # modes it writes over the ones set before it started.
    main = e2e.wait_for_window(cls="PalvineMainDlg", timeout=15)
    e2e.driver.wait({"driver": {"clickbutton": 1, "oncebutton": 2, "onceflag": 0}}, timeout=15)
    return main


def _nystra(e2e):
    # Nystra's start sets start-up mode 0 and disables every panel, then
    # arms its poll.
    main = e2e.wait_for_window("Interlock Control", timeout=15)
    e2e.driver.wait({"driver": {"startup": 0}, "panels": [{"pointdata": 0}]}, timeout=15)
    return main


def _cordane(e2e):
    main = e2e.wait_for_window("Panel Setting", timeout=15)
    main.wait({"visible": 1}, timeout=15)
    return main


CASES = [
    # program, its window up and its start done, the about box's system command (None: no about box)
    ("Velmic", _velmic, None),
    ("Gorvat", _gorvat, None),
    ("Palvine", _palvine, None),
    ("Nystra", _nystra, None),
    ("Cordane", _cordane, None),
    ("Nystra", _nystra, program_ids("nystra").IDM_ABOUTBOX),
    ("Cordane", _cordane, program_ids("cordane").IDM_ABOUTBOX),
]


def _sweep(e2e, name, window):
    """Sweeps the window and its controls; afterwards it still answers and
    the driver holds what it held before."""
    before = _driver_without_counters(e2e)
    result = e2e.call("window.sweep", window=window.handle, each_ms=2000, deadline_s=SWEEP_DEADLINE_S)
    assert (result["unanswered"], result["problems"]) == (0, []), f"{name}: {result}"
    assert window.send(0) == 0, f"{name}: no answer after the sweep"  # WM_NULL
    assert _driver_without_counters(e2e) == before, f"{name}: the driver changed"
    print(f"{name}: windows {result['windows']} messages {result['sent']}")


@pytest.mark.parametrize("program,ready,about", CASES,
                         ids=[f"{p.lower()}{'-about' if a else ''}" for p, _, a in CASES])
def test_foreign_messages(e2e, program, ready, about):
    e2e.driver.attach(0x31)
    e2e.registry.write(32, "HKLM\\Software\\ZR_EX_CONTROL\\ID0", ("NAME", "REG_SZ", "Line A"),
                       ("TOUCH_OP", "REG_DWORD", 1), ("IR_OP", "REG_DWORD", 0))
    # Modes and panel states the programs' starts change, so that their
    # ready conditions are the starts' own writes.
    e2e.tavloctl("click-mode", 2)
    e2e.tavloctl("once-mode", 0, "middle")
    e2e.driver.wait({"driver": {"startup": 1, "clickbutton": 2, "oncebutton": 4}, "panels": [{"pointdata": 1}]})
    exe = e2e.exe(f"{program}.exe")
    e2e.launch(exe)
    main = ready(e2e)
    if about is None:
        _sweep(e2e, program, main)
    else:
        main.post(0x112, about)  # WM_SYSCOMMAND
        box = main.popup()
        _sweep(e2e, f"{program} about box", box)
        box.click(IDOK)
        box.gone()
    e2e.end_program(exe)

"""The records both ways between tavloctl and the panel setting dialog: what
tavloctl writes, Cordane shows (names, modes, time-out); what Cordane saves,
tavloctl reads. A record with a wrong type is reported with the value Brimol
reads for it."""

import re

from suite_e2e import program_ids

CORDANE = program_ids("cordane")
IDOK = 1


def row(e2e, dialog, n):
    """What row n (0-based) of Cordane's dialog shows: (identifier, name,
    mode position, enabled of the name edit)."""
    target = {"window": dialog.handle}
    ident, name, mode = e2e.batch(("window.state", {**target, "id": CORDANE[f"IDC_ID{n + 1}"]}),
                                  ("window.state", {**target, "id": CORDANE[f"IDC_NAME{n + 1}"]}),
                                  ("window.combo", {**target, "id": CORDANE[f"IDC_MODE{n + 1}"]}))
    return ident["text"], name["text"], mode["cursel"], name["enabled"]


def test_console_and_dialog_read_each_other(ctl, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    ctl.ok("record", "id:17", "--name", "Line A", "--mode", "supervisor")
    ctl.ok("record", 34, "--name", "Press 2", "--mode", "disable")
    ctl.ok("system", "--timeout", 90, "--time-release", "on")
    assert [ctl.value("ID17", n) for n in ("NAME", "TOUCH_OP", "IR_OP")] == \
        [("REG_SZ", "Line A"), ("REG_DWORD", 2), ("REG_DWORD", 0)]
    assert [ctl.value("ALL", n) for n in ("TIMEOUT", "TIMEENABLE")] == [("REG_DWORD", 90), ("REG_DWORD", 1)]

    e2e.launch(e2e.exe("Cordane.exe"))
    dialog = e2e.wait_for_window("Panel Setting", timeout=15)
    dialog.wait({"visible": 1})  # shown once its controls are set up
    # Mode positions in the lists: 0 Interlock, 1 Supervisor, 2 Disable.
    assert [row(e2e, dialog, 0), row(e2e, dialog, 1)] == [("17", "Line A", 1, 1), ("34", "Press 2", 2, 1)]
    assert dialog.state(CORDANE.IDC_TIME_RELEASE)["checked"] == 1, "time release not checked"
    assert dialog.text(CORDANE.IDC_TIME_OUT) == "90"

    # Cordane's changes, read back by the console.
    dialog.settext(CORDANE.IDC_NAME2, "Gate")
    e2e.call("window.select", window=dialog.handle, id=CORDANE.IDC_MODE2, index=0)
    dialog.settext(CORDANE.IDC_TIME_OUT, "1800")
    dialog.click(IDOK)
    dialog.gone(timeout=5)
    lines = ctl.ok("records").split("\n")
    assert 'ID34: name "Gate", mode interlock, IR_OP 0' in lines, lines
    assert "ALL: time-out 1800 s, time release on" in lines, lines
    panels = ctl.json("list", "--json")["panels"]
    assert [(p["record"] or {}).get("name") for p in panels] == ["Line A", "Gate"], panels
    assert panels[1]["record"]["mode"] == "interlock", panels


def test_wrong_type_is_noted(ctl, e2e):
    """A TOUCH_OP stored as text reads as interlock and is noted."""
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    ctl.put("ID5", ("NAME", "REG_SZ", "Spare"), ("TOUCH_OP", "REG_SZ", "2"), ("IR_OP", "REG_DWORD", 0))
    lines = ctl.ok("record", 5).split("\n")
    assert 'ID5: name "Spare", mode interlock, IR_OP 0' in lines, lines
    note = r"  note: TOUCH_OP is not a 32-bit number \(type 1, [0-9]+ bytes\); read as 1 \(interlock\)"
    assert any(re.fullmatch(note, line) for line in lines), lines

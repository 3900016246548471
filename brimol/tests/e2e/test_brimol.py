"""BRIMOL.DLL end to end: the test program's own checks (registry through the
classes, cross-module copies, the panel table against the simulated
driver), then a look from outside at the records it left behind."""

KEY = "HKLM\\Software\\ZR_EX_CONTROL"

# What the program's WriteRecords() leaves, in the 32-bit view.
RECORDS = [
    ("ID3", "NAME", "REG_SZ", "Line 3 left"),
    ("ID3", "TOUCH_OP", "REG_DWORD", 2),
    ("ID3", "IR_OP", "REG_DWORD", 0),
    ("ALL", "TIMEOUT", "REG_DWORD", 0),
    ("ALL", "TIMEENABLE", "REG_DWORD", 1),
]


def test_brimol(e2e):
    # The program prints one line per check ("ok  ..." or "FAIL ...") and
    # ends with 1 when any failed.
    done = e2e.run(e2e.exe("brimol_e2e.exe"), timeout=120)
    output = done["stdout"] + done["stderr"]
    print(output)
    assert done["status"] == 0 and "FAIL" not in output, f"brimol_e2e.exe:\n{output}"
    # The panel table's checks run only when the simulated driver answers.
    assert "ok   driver reset" in output, f"the checks against the driver did not run:\n{output}"

    got = e2e.batch(*[("registry.read", {"view": 32, "key": f"{KEY}\\{sub}", "name": name})
                      for sub, name, _, _ in RECORDS])
    assert [(g.get("type"), g.get("data")) for g in got] == [(t, d) for _, _, t, d in RECORDS]
    # Both builds keep the records in the 32-bit view only.
    assert e2e.registry.read(64, f"{KEY}\\ID3", "NAME") is None, "the record also appears in the 64-bit view"

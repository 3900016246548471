"""Shared steps of Cordane's pytest scenarios: Cordane.exe under Wine against
the simulated driver and the prefix's registry, both read back through the
agent."""

import pytest

from suite_e2e import program_ids
from suite_e2e.steps import SUITE_KEY


def _signed(value):
    return value - (1 << 32) if isinstance(value, int) and value >= 1 << 31 else value


class Cordane:
    IDS = program_ids("cordane")
    CAPTION = "Panel Setting"
    BOX = "Cordane"  # title of the message boxes
    ID_IDS = (IDS.IDC_ID1, IDS.IDC_ID2, IDS.IDC_ID3, IDS.IDC_ID4)
    ID_NAMES = (IDS.IDC_NAME1, IDS.IDC_NAME2, IDS.IDC_NAME3, IDS.IDC_NAME4)
    ID_MODES = (IDS.IDC_MODE1, IDS.IDC_MODE2, IDS.IDC_MODE3, IDS.IDC_MODE4)
    ID_TOUCH = (IDS.IDC_TOUCH1, IDS.IDC_TOUCH2, IDS.IDC_TOUCH3, IDS.IDC_TOUCH4)
    ID_CALIBRATION = (IDS.IDC_CALIBRATION1, IDS.IDC_CALIBRATION2, IDS.IDC_CALIBRATION3, IDS.IDC_CALIBRATION4)
    IDOK, IDCANCEL = 1, 2
    KEY = SUITE_KEY

    def __init__(self, e2e):
        self.e2e = e2e
        self.main = None

    # --- the records, in the 32-bit registry view where every build keeps them

    def put_panel(self, panel_id, name, mode, ir_op=0):
        self.e2e.registry.write(32, f"{self.KEY}\\ID{panel_id}", ("NAME", "REG_SZ", name),
                                ("TOUCH_OP", "REG_DWORD", mode), ("IR_OP", "REG_DWORD", ir_op))

    def put_system(self, timeout, enabled):
        self.e2e.registry.write(32, f"{self.KEY}\\ALL", ("TIMEOUT", "REG_DWORD", timeout),
                                ("TIMEENABLE", "REG_DWORD", enabled))

    def _record(self, subkey, names):
        values = self.e2e.registry.values(32, f"{self.KEY}\\{subkey}") or {}
        found = tuple(_signed(values[n][1]) if n in values else None for n in names)
        return None if all(v is None for v in found) else found

    def record(self, panel_id):
        """(NAME, TOUCH_OP, IR_OP) of a panel record (DWORDs signed, a missing
        value None); None when there is none of them."""
        return self._record(f"ID{panel_id}", ("NAME", "TOUCH_OP", "IR_OP"))

    def system_record(self):
        return self._record("ALL", ("TIMEOUT", "TIMEENABLE"))

    # --- the dialog

    def start(self):
        """The dialog exists before its controls are set up and is shown once they are."""
        self.e2e.launch(self.e2e.exe("Cordane.exe"))
        self.main = self.e2e.wait_for_window(self.CAPTION, timeout=15)
        self.main.wait({"visible": 1})
        return self.main

    def row(self, n):
        """What row n (0-based) shows: (id, name, mode position, enabled of the name edit)."""
        target = {"window": self.main.handle}
        ident, name, mode = self.e2e.batch(("window.state", {**target, "id": self.ID_IDS[n]}),
                                           ("window.state", {**target, "id": self.ID_NAMES[n]}),
                                           ("window.combo", {**target, "id": self.ID_MODES[n]}))
        return ident["text"], name["text"], mode["cursel"], name["enabled"]

    def row_enabled(self, n):
        """The enabled state of every control of row n."""
        target = {"window": self.main.handle}
        states = self.e2e.batch(*[("window.state", {**target, "id": c}) for c in
                                  (self.ID_NAMES[n], self.ID_MODES[n], self.ID_TOUCH[n], self.ID_CALIBRATION[n])])
        return [s["enabled"] for s in states]


@pytest.fixture
def cordane(e2e):
    return Cordane(e2e)

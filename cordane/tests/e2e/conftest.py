"""Shared steps of Cordane's pytest scenarios: Cordane.exe under Wine against
the simulated driver and the prefix's registry, both read back through the
agent."""

import pytest

from suite_e2e import program_ids
from suite_e2e.steps import SUITE_KEY

WM_CHAR, EM_SETSEL = 0x0102, 0x00B1
BOX_TEXT = 0xFFFF  # the message box's static text


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

    def start(self, exe=None):
        """The dialog exists before its controls are set up and is shown once they are."""
        self.e2e.launch(exe or self.e2e.exe("Cordane.exe"))
        return self.wait_shown()

    def wait_shown(self):
        self.main = self.e2e.wait_for_window(self.CAPTION, timeout=15)
        self.main.wait({"visible": 1})
        return self.main

    def wait_closed(self):
        """Waits until the dialog has ended."""
        self.main.gone(timeout=5)

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

    def set_name(self, n, text):
        self.main.settext(self.ID_NAMES[n], text)

    def set_name_units(self, n, units):
        """Puts UTF-16 code units into row n's name: whole characters as the
        window text; units that are no text (half a surrogate pair) as typed
        characters, one WM_CHAR each after the end of the text, since a text
        request to the agent carries only whole characters."""
        target = {"window": self.main.handle, "id": self.ID_NAMES[n]}
        try:
            self.set_name(n, b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le"))
            return
        except UnicodeDecodeError:
            pass
        self.e2e.batch(("window.settext", {**target, "text": ""}),
                       *[step for unit in units for step in
                         (("window.send", {**target, "msg": EM_SETSEL, "wparam": 0xFFFF, "lparam": 0xFFFF}),
                          ("window.send", {**target, "msg": WM_CHAR, "wparam": unit}))])

    def set_mode(self, n, index):
        self.e2e.call("window.select", window=self.main.handle, id=self.ID_MODES[n], index=index)

    def size(self):
        """The dialog's size on the screen in pixels, (width, height)."""
        left, top, right, bottom = self.main.rect()
        return right - left, bottom - top

    def expect_box(self, text, screenshot=None):
        """A message box of Cordane's over the dialog: waits for it, checks
        its title and text and closes it with its OK button; a screenshot
        is taken before when named."""
        box = self.main.popup(timeout=5)
        assert box.text() == self.BOX, "box title"
        assert box.text(BOX_TEXT) == text, "box text"
        if screenshot:
            self.e2e.screenshot(screenshot)
        box.click(self.IDOK)
        box.gone(timeout=5)

    def state_for_logs(self):
        """What the dialog's controls and the records are now, for the logs of a failed test."""
        lines = []
        if self.main is not None:
            try:
                children = self.main.children()
                lines += [repr(c) for c in children]
                present = {c["id"] for c in children}  # rows 3 and 4 exist with four panels only
                controls = [c for c in (*self.ID_NAMES, *self.ID_MODES, *self.ID_TOUCH, *self.ID_CALIBRATION,
                                        self.IDS.IDC_TIME_OUT, self.IDOK) if c in present]
                states = self.e2e.batch(*[("window.state", {"window": self.main.handle, "id": c}) for c in controls])
                lines.append("enabled now: " + " ".join(f"{c}={s['enabled']}" for c, s in zip(controls, states)))
            except Exception as error:  # the dialog may be gone
                lines.append(f"dialog: {error}")
        try:
            lines.append(f"records: {self._dump()}")
        except Exception as error:
            lines.append(f"records: {error}")
        return "\n".join(lines) + "\n"

    def _dump(self):
        """The records of the panel identifiers the scenarios use (the agent
        lists no subkeys), in one request."""
        names = ["ALL"] + [f"ID{n}" for n in (17, 33, 34, 51, 68)]
        found = self.e2e.batch(*[("registry.values", {"view": 32, "key": f"{self.KEY}\\{n}"}) for n in names])
        return {n: f["values"] for n, f in zip(names, found) if f["exists"]}


@pytest.fixture
def cordane(e2e, request):
    dialog = Cordane(e2e)
    yield dialog
    if getattr(request.node, "_e2e_failed", False):
        e2e.test_logs.mkdir(parents=True, exist_ok=True)
        (e2e.test_logs / "cordane-state.txt").write_text(dialog.state_for_logs())

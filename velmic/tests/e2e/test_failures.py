"""A driver failure while opening shows one "Debug" box naming the call and
the status, and the program ends after it without touching the
double-click time (the dialog never opened), also when the closing step
could read the saved speed; a missing TAVLO.DLL is named in a message."""

import pytest

CASES = [
    # request that fails (status 8), the box, the working set the closing step leaves, screenshot
    (0x22E148, "GetSettings(1): 8", (80, 90, 700, 36), "debug_box.png"),  # the saved click settings
    (0x22E188, "GetClickSound(1): 8", (50, 20, 450, 30), None),  # the saved sound
]


@pytest.mark.parametrize("code,text,working,screenshot", CASES, ids=["saved-click-settings", "saved-sound"])
def test_failure_at_opening_shows_one_box_and_ends(velmic, e2e, code, text, working, screenshot):
    velmic.one_panel(50, 20, 450, 30, False)
    e2e.driver.fail(code, 31)
    velmic.start()
    box, _ = velmic.wait_box()
    box.wait_text(velmic.BOX_TEXT, text)
    if screenshot:
        e2e.screenshot(screenshot)
    # The closing step meets the same failure: it adds no second box.
    velmic.answer(box)
    velmic.wait_ended()
    e2e.wait_gone(velmic.DEBUG, timeout=0)
    velmic.expect_time(velmic.WINDOWS_DEFAULT_TIME)
    e2e.driver.clear_faults()
    # The closing step copied what it could read.
    velmic.expect_sets(working, True, (50, 20, 450, 30), False)


def test_missing_library_is_named(velmic, e2e, tmp_path):
    exe = velmic.copy_program(tmp_path)
    velmic.start(exe)
    box, shown = velmic.wait_box("Velmic")
    assert "TAVLO.DLL" in shown, f"the message does not name TAVLO.DLL: {shown!r}"
    e2e.screenshot("library_missing.png")
    velmic.answer(box)
    e2e.call("process.ended", image="Velmic.exe", timeout_ms=10000)
    e2e.end_program(exe)

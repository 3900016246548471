"""The endings the other scenarios leave out, each after a preview of the
double-click speed: Esc and Alt+F4 as real keys (Alt+F4 comes as the close
box's SC_CLOSE and WM_CLOSE), the end of the session (WM_QUERYENDSESSION,
then WM_ENDSESSION, as the system sends them), a refused preview write, and
the driver going away while the dialog is open and coming back while the
error report is open. Every time the working set and the double-click time
are back at the saved set once the program has ended."""

import pytest

PREVIEW = (50, 20, 500, 30)
SAVED = (50, 20, 450, 30)
WM_QUERYENDSESSION, WM_ENDSESSION = 0x11, 0x16
SET_CLICK_DATA = 0x22A144  # the request that writes a click set


@pytest.fixture
def previewed(velmic, e2e):
    """The dialog open on one panel, its double-click speed moved one page:
    the preview is in the working set and the double-click time."""
    velmic.one_panel(*SAVED, False)
    velmic.start()
    main = velmic.wait_main()
    velmic.press_slider_end(velmic.IDS.IDC_DBL_CLICK_SPEED, "right")
    velmic.expect_time(500)
    e2e.driver.wait({"panels": [{"clickset": velmic.click_set(*PREVIEW)}]})
    return main


def expect_restored(velmic):
    velmic.wait_ended()
    velmic.expect_sets(SAVED, False, SAVED, False)
    velmic.expect_time(450)


@pytest.mark.parametrize("keys", ["Escape", "alt+F4"])
def test_keys_restore_the_saved_set(velmic, previewed, keys):
    velmic.key(previewed, keys)
    expect_restored(velmic)


def test_session_end_restores_before_it_answers(velmic, e2e, previewed):
    assert previewed.send(WM_QUERYENDSESSION, 0, 0) == 1, "WM_QUERYENDSESSION refused"
    panel = e2e.driver.state()["panels"][0]
    assert panel["clickset"] == velmic.click_set(*PREVIEW), "the query alone changed the working set"
    previewed.send(WM_ENDSESSION, 1, 0)
    # Answered: the process may be ended now, so the panel must already hold
    # the saved set.
    panel = e2e.driver.state()["panels"][0]
    assert (panel["clickset"], panel["sound"]) == (velmic.click_set(*SAVED), 0), \
        "WM_ENDSESSION returned before the restore"
    expect_restored(velmic)


def test_refused_preview_write_closes_and_restores(velmic, e2e, previewed):
    e2e.driver.fail(SET_CLICK_DATA, 31)  # status 8
    velmic.press_slider_end(velmic.IDS.IDC_DOWN_CANCELER, "right")
    box, _ = velmic.wait_box(timeout=5)
    box.wait_text(velmic.BOX_TEXT, "SetSettings(2): 8")
    e2e.driver.clear_faults()
    velmic.answer(box)
    expect_restored(velmic)


def test_driver_gone_and_back(velmic, e2e, previewed):
    """The lost driver is met first either by the poll's first call (it names
    itself in a Debug box, then the error report follows) or, when the
    unplug falls between that call and the next, by the restore of the
    dialog that closes on "no panel" (its Debug box, then the poll's own and
    the report). In the first case the restore runs after the report, on the
    driver that is back; in the second it met the lost driver, so the
    working set keeps the preview and only the double-click time goes back
    to the saved speed."""
    e2e.driver.unplug()
    box, first = velmic.wait_box(timeout=5)
    assert first.startswith(("GetActivePanel", "FindPanel")), f"unexpected first Debug box: {first}"
    velmic.answer(box)
    if first.startswith("FindPanel"):
        box, poll = velmic.wait_box(timeout=5)
        assert poll.startswith("GetActivePanel"), f"unexpected second Debug box: {poll}"
        velmic.answer(box)
    report = e2e.wait_for_window("Error report", timeout=15)
    e2e.driver.replug()
    report.click(velmic.IDOK)
    if first.startswith("FindPanel"):
        velmic.wait_ended()
        velmic.expect_sets(PREVIEW, False, SAVED, False)
        velmic.expect_time(450)
    else:
        expect_restored(velmic)

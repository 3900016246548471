"""The driver refuses a write. A refused restore would leave the trial values
in use, so the window stays open and says so; the next Cancel tries again.
A refused save keeps the window at the second mark."""

import pytest


def unplug(gorvat):
    gorvat.e2e.driver.unplug()


def replug(gorvat):
    gorvat.e2e.driver.replug()


def refuse_restore(gorvat):
    gorvat.e2e.driver.fail(gorvat.WRITE_WORKING, gorvat.ERROR_GEN_FAILURE)


def clear_faults(gorvat):
    gorvat.e2e.driver.clear_faults()


REFUSED = [
    # how the driver refuses at No, the status shown, how it takes writes again,
    # whether it logs the refused write (a driver gone sees no request)
    (unplug, 1, replug, False),
    (refuse_restore, 8, clear_faults, True),
]


@pytest.mark.parametrize("refuse, status, recover, logged", REFUSED, ids=[r[0].__name__ for r in REFUSED])
def test_refused_restore_at_no_keeps_the_window_open(gorvat, e2e, refuse, status, recover, logged):
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    box = gorvat.run_to_question()
    gorvat.expect_cal(gorvat.RESULT, gorvat.IDENTITY)
    refuse(gorvat)
    box.press(gorvat.ID_NO)
    gorvat.help_is(f"Can't send the IOCTL!{status}  The calibration in use was not restored.")
    box.gone()
    gorvat.expect_cal(gorvat.RESULT, gorvat.IDENTITY)
    recover(gorvat)
    gorvat.quit()
    gorvat.wait_closed()
    gorvat.expect_cal(gorvat.MARKER, gorvat.IDENTITY)
    if logged:
        assert gorvat.requests(gorvat.WRITE_WORKING, gorvat.ERROR_GEN_FAILURE), \
            "no refused write of the start values in the log"
    assert not gorvat.requests(gorvat.WRITE_SAVED), "the saved set was written"


def test_cancel_refused_twice_ends_all_the_same(gorvat, e2e):
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    gorvat.run_to_second_mark()
    refuse_restore(gorvat)
    gorvat.quit()
    gorvat.help_is("Can't send the IOCTL!8  The calibration in use was not restored.")
    gorvat.quit()
    gorvat.wait_closed()
    gorvat.expect_cal(gorvat.IDENTITY, gorvat.IDENTITY)
    refused = gorvat.requests(gorvat.WRITE_WORKING, gorvat.ERROR_GEN_FAILURE)
    assert len(refused) == 2, f"the second Cancel did not try again: {refused}"


def test_refused_save_takes_a_new_second_touch(gorvat, e2e):
    gorvat.panels(0x31, fail=gorvat.WRITE_SAVED)
    gorvat.start()
    box = gorvat.run_to_question()
    box.press(gorvat.ID_YES)
    gorvat.help_is("Can't send the IOCTL!8")
    gorvat.expect_cal(gorvat.RESULT, gorvat.IDENTITY)
    e2e.driver.fail(gorvat.WRITE_SAVED, 0)
    e2e.press(840, 633)
    box = gorvat.wait_question()
    box.press(gorvat.ID_YES)
    gorvat.wait_closed()
    second = [10343, -100, 10281, -93]
    gorvat.expect_cal(second, second)

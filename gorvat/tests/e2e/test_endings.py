"""Every ending but Yes after the start touch puts the values read at the
start touch back into the working set and leaves the saved set alone;
Cancel before the start touch writes nothing; Esc ends nothing."""

import time

import pytest

SC_CLOSE = 0xF060


def no(gorvat):
    gorvat.box.press(gorvat.ID_NO)


def cancel(gorvat):
    gorvat.quit()


def close_question(gorvat):
    # Alt+F4 on the question, as the window manager sends it.
    gorvat.e2e.call("window.syscommand", window=gorvat.box.handle, cmd=SC_CLOSE)


def alt_f4(gorvat):
    gorvat.key("alt+F4")


def task_bar_close(gorvat):
    # WM_CLOSE, as the task bar sends it.
    gorvat.main.close()


ENDINGS = [
    # reached, how it ends
    ("question", no),
    ("question", close_question),
    ("second_mark", cancel),
    ("first_mark", task_bar_close),
    ("first_mark", alt_f4),
]


@pytest.mark.parametrize("reached, end", ENDINGS, ids=[f"{r}-{e.__name__}" for r, e in ENDINGS])
def test_ending_restores_the_start_values(gorvat, e2e, reached, end):
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    if reached == "first_mark":
        gorvat.start_touch()
    elif reached == "second_mark":
        gorvat.run_to_second_mark()
        gorvat.expect_cal(gorvat.IDENTITY, gorvat.IDENTITY)
    else:
        gorvat.run_to_question()
        gorvat.expect_cal(gorvat.RESULT, gorvat.IDENTITY)
    end(gorvat)
    gorvat.wait_closed()
    gorvat.expect_cal(gorvat.MARKER, gorvat.IDENTITY)
    assert not gorvat.requests(gorvat.WRITE_SAVED), "the saved set was written"


def test_cancel_before_the_start_touch_writes_nothing(gorvat, e2e):
    gorvat.panels(0x31)
    gorvat.start()
    gorvat.quit()
    gorvat.wait_closed()
    written = gorvat.requests(gorvat.WRITE_WORKING) + gorvat.requests(gorvat.WRITE_SAVED)
    assert not written, f"Cancel before the start touch wrote a calibration: {written}"
    gorvat.expect_cal(gorvat.IDENTITY, gorvat.IDENTITY)


def test_no_answer_ends_as_no_after_15_seconds(gorvat, e2e):
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    box = gorvat.run_to_question()
    opened = time.monotonic()
    box.gone(timeout=25)
    waited = time.monotonic() - opened
    assert waited >= 13, f"the question ended after only {waited:.1f} s"
    gorvat.wait_closed()
    gorvat.expect_cal(gorvat.MARKER, gorvat.IDENTITY)


def test_escape_ends_nothing(gorvat, e2e):
    """The calibration window answers its Cancel button only; the end of the
    session then restores before WM_ENDSESSION returns."""
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    gorvat.run_to_second_mark()
    gorvat.key("Escape")
    e2e.driver.stays({"panels": [{"cal": gorvat.IDENTITY, "calsaved": gorvat.IDENTITY}]}, 1)
    assert e2e.window(gorvat.MAIN).handle == gorvat.main.handle, "Esc closed the window"
    gorvat.help_is(gorvat.HELP_SECOND)
    gorvat.end_session()


def test_end_of_session_with_the_question_open_restores(gorvat, e2e):
    gorvat.panels(0x31, marker=True)
    gorvat.start()
    box = gorvat.run_to_question()
    gorvat.end_session()
    box.gone()

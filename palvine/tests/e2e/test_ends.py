"""Every end puts the driver's modes back: the end of the session (the
program may be ended right after it), WM_CLOSE and Alt+F4; a second instance
ends at once and disturbs nothing; a lost driver and a refused click write
each show one error report."""


def test_the_end_of_the_session_restores_the_modes(palvine):
    palvine.set_modes(2, 1, "middle")
    main = palvine.start()
    palvine.wait_modes(1, 2, 0)
    assert main.send(palvine.WM_QUERYENDSESSION) == 1, "WM_QUERYENDSESSION refused"
    palvine.assert_modes(1, 2, 0)  # the query alone changes nothing
    main.send(palvine.WM_ENDSESSION, 1)
    palvine.wait_modes(2, 4, 0)
    palvine.clear_log()
    palvine.close_and_wait()
    assert palvine.writes() == [], "the driver was written again after the session's end"


def test_a_second_instance_ends_at_once(palvine, e2e):
    palvine.set_modes(2, 0, "middle")
    palvine.start()
    palvine.wait_modes(1, 2, 0)
    first = palvine.main.handle
    palvine.set_modes(4, 1, "left")
    palvine.clear_log()
    done = e2e.run(palvine.exe, "/NOTOP", "/ONCEMIDDLE")
    assert done["status"] == 0, f"the second instance failed: {done}"
    assert palvine.writes() == [], "the second instance wrote to the driver"
    palvine.assert_modes(4, 1, 1)
    assert e2e.call("window.find", **{"class": palvine.CLASS, "timeout_ms": 100})["hwnd"] == first, "another window"
    assert palvine.state()["topmost"] == 1, "the first window lost topmost"

    # The driver goes away: one error report while it is open, however many
    # polls pass; with the driver back the report's OK ends the program and
    # the exit steps restore the modes found at start.
    e2e.driver.unplug()
    report = palvine.error_report()
    e2e.stays("window.count", {"count": 1}, 2, title=palvine.ERROR_TITLE)
    e2e.driver.replug()
    report.click(palvine.IDOK)
    palvine.main.gone()
    assert palvine.error_reports() == 0, "a report after the end"
    palvine.wait_modes(2, 4, 0)


def test_alt_f4_with_the_one_shot_armed(palvine):
    palvine.set_modes(2, 1, "middle")
    palvine.start()
    palvine.wait_modes(1, 2, 0)
    palvine.release_over(1)
    palvine.wait_modes(1, 2, 1)
    palvine.key("alt+F4")
    palvine.main.gone()
    palvine.wait_modes(2, 4, 0)


def test_a_refused_click_write_shows_the_error_report(palvine, e2e):
    palvine.set_modes(2, 1, "middle")
    palvine.start()
    palvine.wait_modes(1, 2, 0)
    e2e.driver.fail(palvine.SET_ONCE_MODE, palvine.ERROR_GEN_FAILURE)
    palvine.release_over(1)
    report = palvine.error_report()
    e2e.driver.clear_faults()
    report.click(palvine.IDOK)
    palvine.main.gone()
    palvine.wait_modes(2, 4, 0)

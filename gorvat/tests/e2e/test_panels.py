"""Which panel is calibrated: the first one with point data enabled, waited
for when there is none yet, and found again by its identifier when panels
attached or removed during the run shift the panel numbers."""


def test_waits_for_an_enabled_panel(gorvat, e2e):
    """No panel enabled at the start touch: the window waits, paced by a
    timer and still answering, until panel 1 is enabled; then it calibrates
    panel 1."""
    gorvat.panels(0x31, 0x32, disabled=(0, 1))
    stamp = e2e.driver.state()["driver"]["stamp"]  # only attaching or removing panels changes it
    main = gorvat.start()
    e2e.press(*gorvat.TOUCH0)
    # The count of panels, the last status (0, no error) and the stamp as a signed number.
    waiting = f"All panels(2) Disable. (Touch me!)0{stamp - 0x10000 if stamp >= 0x8000 else stamp}"
    gorvat.help_is(waiting)
    e2e.driver.pointdata(1, True)
    main.wait_text(gorvat.IDS.IDC_DBG_MESSAGE, "( 1 )")
    # The wait's text stays when the wait ends; the mark shows where to touch.
    assert main.text(gorvat.IDS.IDC_TEXT_MESSAGE) == waiting, "help line rewritten when the wait ended"
    e2e.press(*gorvat.TOUCH1)
    gorvat.help_is(gorvat.HELP_SECOND)
    e2e.press(*gorvat.TOUCH2)
    box = gorvat.wait_question()
    box.press(gorvat.ID_YES)
    gorvat.wait_closed()
    gorvat.expect_panels({0: {"cal": gorvat.IDENTITY, "calsaved": gorvat.IDENTITY},
                          1: {"cal": gorvat.RESULT, "calsaved": gorvat.RESULT}})


def test_cancel_restores_the_calibrated_panel_after_the_one_before_it_went(gorvat, e2e):
    """Cancel at the second mark after the panel before it was removed puts
    the start values back into the calibrated panel, now number 0."""
    gorvat.panels(0x30, 0x31, disabled=(0,), marker=True)
    main = gorvat.start()
    gorvat.run_to_second_mark()
    main.wait_text(gorvat.IDS.IDC_DBG_MESSAGE, "( 1 )")
    e2e.driver.remove(0)
    gorvat.quit()
    gorvat.wait_closed()
    gorvat.expect_panels({0: {"id": 0x31, "cal": gorvat.MARKER, "calsaved": gorvat.IDENTITY}})


def test_yes_saves_into_the_calibrated_panel_after_the_numbers_shifted(gorvat, e2e):
    """Yes after the panel before it was removed and another attached (which
    takes the old number of the calibrated panel) saves the result into the
    calibrated panel and leaves the new one untouched."""
    gorvat.panels(0x30, 0x31, disabled=(0,))
    gorvat.start()
    box = gorvat.run_to_question()
    e2e.batch(("driver.remove", {"panel": 0}), ("driver.attach", {"id": 0x33}))
    box.press(gorvat.ID_YES)
    gorvat.wait_closed()
    gorvat.expect_panels({0: {"id": 0x31, "cal": gorvat.RESULT, "calsaved": gorvat.RESULT},
                          1: {"id": 0x33, "cal": gorvat.IDENTITY, "calsaved": gorvat.IDENTITY}})

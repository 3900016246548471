"""A complete run answered Yes: the result is in both sets. Saves the
screenshots of step 0, step 2 and the open question."""


def test_yes(gorvat, e2e):
    ids = gorvat.IDS
    e2e.driver.attach(0x31)
    main = gorvat.start()
    assert main.state()["topmost"] == 1, f"the window is not topmost: {main.state()['exstyle']:08x}"
    e2e.screenshot("gorvat-step0.png")

    # The start touch on the help line itself: the frame lets it through.
    main.press(ids.IDC_TEXT_MESSAGE)
    gorvat.help_is(gorvat.HELP_FIRST)
    main.wait_text(ids.IDC_DBG_MESSAGE, "( 0 )")
    main.wait({"centre": [171, 128]}, ids.IDC_PIC_POINT)
    gorvat.expect_cal(gorvat.IDENTITY, gorvat.IDENTITY)

    e2e.press(*gorvat.TOUCH1)
    gorvat.help_is(gorvat.HELP_SECOND)
    main.wait({"centre": list(gorvat.TOUCH2)}, ids.IDC_PIC_POINT)
    e2e.screenshot("gorvat-step2.png")

    e2e.press(*gorvat.TOUCH2)
    box = gorvat.wait_question()
    gorvat.help_is(gorvat.HELP_QUESTION)
    main.wait({"visible": 0}, ids.IDC_PIC_POINT)
    gorvat.expect_cal(gorvat.RESULT, gorvat.IDENTITY)  # tried while the question is open
    box.wait_text(ids.IDC_LBL_MSG_AREA,
                  "Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )")
    box.wait_text(gorvat.ID_YES, "Yes")
    box.wait_text(gorvat.ID_NO, "No")
    e2e.screenshot("gorvat-question.png")

    box.press(gorvat.ID_YES)
    main.gone(timeout=10)
    gorvat.expect_cal(gorvat.RESULT, gorvat.RESULT)

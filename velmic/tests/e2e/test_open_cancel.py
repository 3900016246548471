"""Opening shows the saved set and touches nothing; a slider moved with a
real click previews in the working set and the double-click time only;
Cancel puts the saved set back into effect and ends the program."""


def test_open_cancel(velmic, e2e):
    IDS = velmic.IDS
    velmic.one_panel(50, 20, 450, 30, False)
    velmic.start()
    main = velmic.wait_main()
    main.wait_text(IDS.IDC_ACTIVE_PANEL_ID, " 49")
    velmic.wait_sliders([5, 2, 4, 5])
    velmic.wait_buttons(0, 0)
    main.wait({"checked": 0}, IDS.IDC_CLICK_SOUND)
    velmic.expect_time(450)
    velmic.expect_sets((80, 90, 700, 36), True, (50, 20, 450, 30), False)
    e2e.window(velmic.START).wait({"visible": 0})
    e2e.screenshot("settings_dialog.png")

    velmic.press_slider_end(IDS.IDC_DBL_CLICK_SPEED, "right")
    velmic.wait_sliders([5, 2, 5, 5])
    velmic.expect_time(500)
    velmic.expect_sets((50, 20, 500, 30), True, (50, 20, 450, 30), False)
    velmic.wait_buttons(1, 1)

    main.press(velmic.IDCANCEL)
    velmic.wait_ended()
    velmic.expect_sets((50, 20, 450, 30), False, (50, 20, 450, 30), False)
    velmic.expect_time(450)

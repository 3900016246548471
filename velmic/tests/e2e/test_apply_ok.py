"""Apply saves what the sliders show and keeps the dialog open with Apply
disabled; Cancel after it keeps the applied values. Then a new run: OK
saves and ends."""


def test_apply_then_cancel_keeps_the_applied_set_and_ok_saves(velmic, e2e):
    IDS = velmic.IDS
    velmic.one_panel(50, 20, 450, 30, False)
    velmic.start()
    main = velmic.wait_main()
    velmic.press_slider_end(IDS.IDC_DOWN_CANCELER, "right")
    velmic.wait_sliders([7, 2, 4, 5])
    velmic.expect_sets((70, 20, 400, 30), True, (50, 20, 450, 30), False)
    velmic.expect_time(400)
    main.press(IDS.IDC_APPLY)
    velmic.wait_buttons(1, 0)
    velmic.expect_sets((70, 20, 400, 30), True, (70, 20, 400, 30), False)
    velmic.expect_time(400)
    main.press(velmic.IDCANCEL)
    velmic.wait_ended()
    velmic.expect_sets((70, 20, 400, 30), False, (70, 20, 400, 30), False)
    velmic.expect_time(400)

    e2e.set_dblclick_time(velmic.WINDOWS_DEFAULT_TIME)
    velmic.expect_time(velmic.WINDOWS_DEFAULT_TIME)
    velmic.start()
    main = velmic.wait_main()
    velmic.wait_sliders([7, 2, 4, 5])
    velmic.press_slider_end(IDS.IDC_DBL_CLICK_AREA, "left")
    velmic.wait_sliders([7, 2, 4, 3])
    main.press(IDS.IDC_CLICK_SOUND)
    main.wait({"checked": 1}, IDS.IDC_CLICK_SOUND)
    main.press(velmic.IDOK)
    velmic.wait_ended()
    velmic.expect_sets((70, 20, 400, 26), True, (70, 20, 400, 26), True)
    velmic.expect_time(400)

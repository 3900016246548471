"""All panels disabled while the dialog is open: the dialog closes, the
working set of the panel it edited is restored, the start-up window says
"No active panel found" and the program keeps running; enabled again, the
dialog opens afresh with the values saved meanwhile."""


def test_lost_panel_closes_restores_waits_and_reopens_afresh(velmic, e2e):
    IDS = velmic.IDS
    e2e.driver.attach(0x30)
    e2e.driver.attach(0x31)
    velmic.set_click(1, "saved", 50, 20, 450, 30)
    velmic.set_sound(1, "saved", False)
    velmic.set_click(1, "working", 80, 90, 700, 36)
    e2e.driver.pointdata(0, False)
    velmic.start()
    main = velmic.wait_main()
    main.wait_text(IDS.IDC_ACTIVE_PANEL_ID, " 49")
    velmic.press_slider_end(IDS.IDC_DBL_CLICK_SPEED, "right")
    velmic.expect_time(500)
    velmic.expect_sets((50, 20, 500, 30), True, (50, 20, 450, 30), False, panel=1, panels=2)

    e2e.driver.pointdata(1, False)
    velmic.wait_closed(timeout=5)
    start = e2e.window(velmic.START)
    start.wait({"visible": 1})
    start.wait_text(IDS.IDC_INFO_MSG, velmic.NO_ACTIVE)
    velmic.expect_sets((50, 20, 450, 30), False, (50, 20, 450, 30), False, panel=1, panels=2)
    velmic.expect_time(450)
    e2e.screenshot("start_waiting.png")

    velmic.set_click(1, "saved", 100, 0, 900, 40)
    e2e.driver.pointdata(1, True)
    main = velmic.wait_main()
    velmic.wait_sliders([10, 0, 9, 10])
    velmic.expect_time(900)
    start.wait({"visible": 0})
    main.press(velmic.IDCANCEL)
    velmic.wait_ended()

"""The edited panel changes its number while the dialog is open (the
disabled panel listed before it is unplugged): the dialog stays open with
the unsaved change, and OK saves it into that panel at its new number."""


def test_dialog_follows_its_panel_to_a_new_number_and_saves_there(velmic, e2e):
    IDS = velmic.IDS
    e2e.driver.attach(0x30)
    e2e.driver.attach(0x31)
    e2e.driver.pointdata(0, False)
    velmic.set_click(1, "saved", 50, 20, 450, 30)
    velmic.set_sound(1, "saved", False)
    velmic.start()
    main = velmic.wait_main()
    main.wait_text(IDS.IDC_ACTIVE_PANEL_ID, " 49")
    velmic.press_slider_end(IDS.IDC_DBL_CLICK_SPEED, "right")
    velmic.expect_time(500)
    velmic.wait_buttons(1, 1)

    e2e.driver.remove(0)
    e2e.driver.wait({"driver": {"panels": 1}})
    # Several polls later the same dialog is open, with its change in effect.
    main.stays({"visible": 1}, 2)
    assert e2e.window(velmic.MAIN).handle == main.handle, "the dialog was opened afresh"
    velmic.wait_buttons(1, 1)
    velmic.expect_time(500)
    velmic.expect_sets((50, 20, 500, 30), True, (50, 20, 450, 30), False)

    main.press(velmic.IDOK)
    velmic.wait_ended()
    velmic.expect_sets((50, 20, 500, 30), False, (50, 20, 500, 30), False)
    velmic.expect_time(500)

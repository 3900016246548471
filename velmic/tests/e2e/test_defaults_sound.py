"""The sound check box previews in the working set only; Set to default
shows the defaults and puts them into effect, OK and Apply enabled; the
saved set changes only with OK."""


def test_sound_and_set_to_default_preview_and_ok_saves(velmic, e2e):
    IDS = velmic.IDS
    velmic.one_panel(50, 20, 450, 30, False)
    velmic.start()
    main = velmic.wait_main()
    main.press(IDS.IDC_CLICK_SOUND)
    main.wait({"checked": 1}, IDS.IDC_CLICK_SOUND)
    velmic.expect_sets((80, 90, 700, 36), True, (50, 20, 450, 30), False)
    velmic.wait_buttons(1, 1)
    main.press(IDS.IDC_CLICK_SOUND)
    velmic.expect_sets((80, 90, 700, 36), False, (50, 20, 450, 30), False)

    main.press(IDS.IDC_SET_DEFAULT)
    velmic.wait_sliders([3, 3, 4, 4])
    main.wait({"checked": 1}, IDS.IDC_CLICK_SOUND)
    velmic.expect_sets((30, 30, 400, 28), True, (50, 20, 450, 30), False)
    velmic.expect_time(400)
    velmic.wait_buttons(1, 1)
    main.press(velmic.IDOK)
    velmic.wait_ended()
    velmic.expect_sets((30, 30, 400, 28), True, (30, 30, 400, 28), True)
    velmic.expect_time(400)

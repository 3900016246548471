"""One panel with a record: the dialog shows it in row 1 and nothing in row
2; the lists hold the three modes in order; OK writes the name, the mode
chosen and the time-out, and keeps IR_OP as it was."""

WS_EX_APPWINDOW = 0x40000


def test_one_panel(cordane, e2e):
    ids = cordane.IDS
    e2e.driver.attach(0x11)
    cordane.put_panel(17, "Line A", 2, 9)
    cordane.put_system(45, 1)
    main = cordane.start()

    assert cordane.row(0) == ("17", "Line A", 1, 1)
    assert cordane.row(1) == ("", "", -1, 0)
    assert cordane.row_enabled(0) == [1, 1, 1, 1]
    assert cordane.row_enabled(1) == [0, 0, 0, 0]
    for mode in cordane.ID_MODES[:2]:
        combo = e2e.call("window.combo", window=main.handle, id=mode)
        assert combo["items"] == ["Interlock", "Supervisor", "Disable"], mode
    for name in cordane.ID_NAMES[:2]:
        assert e2e.call("window.limit", window=main.handle, id=name)["limit"] == 16, name
    release = main.state(ids.IDC_TIME_RELEASE)
    assert release["checked"] == 1 and release["text"] == "Panel Release        after"
    time_out = main.state(ids.IDC_TIME_OUT)
    assert time_out["text"] == "45" and time_out["enabled"] == 1
    assert main.state(cordane.IDOK)["enabled"] == 1
    assert main.state()["exstyle"] & WS_EX_APPWINDOW, "no task bar button"
    e2e.screenshot("cordane-one-panel.png")

    main.settext(cordane.ID_NAMES[0], "Press 1")
    e2e.call("window.select", window=main.handle, id=cordane.ID_MODES[0], index=2)
    main.settext(ids.IDC_TIME_OUT, "90")
    main.click(cordane.IDOK)
    main.gone(timeout=5)
    assert cordane.record(17) == ("Press 1", 0, 9)
    assert cordane.system_record() == (90, 1)

"""The rows the dialog shows for the panels attached, and what OK writes:
two panels (one without a record, both Supervisor), four panels, none, and
two panels that report the same identifier."""

MODES = ["Interlock", "Supervisor", "Disable"]


def test_two_panels(cordane, e2e):
    """The second panel has no record: it shows an empty name and "Interlock",
    and OK creates its record with IR_OP 0. Both rows Supervisor: the message
    at OK, and everything is saved all the same. The dialog has the
    template's size with one panel and with two."""
    ids = cordane.IDS
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    cordane.put_panel(17, "Line A", 1, 3)
    main = cordane.start()

    assert cordane.row(0) == ("17", "Line A", 0, 1)
    assert cordane.row(1) == ("34", "", 0, 1)
    assert cordane.row_enabled(1) == [1, 1, 1, 1]
    # No system record: 30 seconds, time release off, the field disabled.
    assert main.state(ids.IDC_TIME_RELEASE)["checked"] == 0
    time_out = main.state(ids.IDC_TIME_OUT)
    assert (time_out["text"], time_out["enabled"]) == ("30", 0)
    e2e.screenshot("cordane-two-panels.png")
    size_two = cordane.size()

    # Checking the box enables the time-out field at once.
    main.click(ids.IDC_TIME_RELEASE)
    main.wait({"enabled": 1}, ids.IDC_TIME_OUT)

    cordane.set_name(1, "Line B")
    cordane.set_mode(0, 1)
    cordane.set_mode(1, 1)
    main.click(cordane.IDOK)
    cordane.expect_box("There are two Supervisor in this system")
    cordane.wait_closed()
    assert cordane.record(17) == ("Line A", 2, 3)
    assert cordane.record(34) == ("Line B", 2, 0)
    assert cordane.system_record() == (30, 1)

    # The dialog with one panel has the same size as with two.
    e2e.driver.reset()
    e2e.driver.attach(0x11)
    main = cordane.start()
    assert cordane.row(1) == ("", "", -1, 0)
    assert cordane.size() == size_two, "size with one panel differs from the size with two"
    main.click(cordane.IDCANCEL)
    cordane.wait_closed()


def test_four_panels(cordane, e2e):
    """The dialog grows by rows 3 and 4, each with its identifier, name, mode
    and tool buttons; OK saves every row and the system record."""
    ids = cordane.IDS
    for panel_id in (0x11, 0x22, 0x33, 0x44):
        e2e.driver.attach(panel_id)
    cordane.put_panel(51, "Line C", 0)
    cordane.put_panel(68, "Line D", 2)
    cordane.put_system(60, 0)
    main = cordane.start()

    assert [cordane.row(n) for n in range(4)] == [("17", "", 0, 1), ("34", "", 0, 1), ("51", "Line C", 2, 1),
                                                  ("68", "Line D", 1, 1)]
    for n in range(4):
        assert cordane.row_enabled(n) == [1, 1, 1, 1], f"row {n + 1}"
    assert e2e.call("window.combo", window=main.handle, id=cordane.ID_MODES[3])["items"] == MODES
    assert main.text(cordane.ID_TOUCH[3]) == "Touch Settings"
    assert e2e.call("window.limit", window=main.handle, id=cordane.ID_NAMES[3])["limit"] == 16
    assert main.text(cordane.ID_CALIBRATION[2]) == "Calibration"
    # Row 4 lies above the check box, which moved down below it.
    row4_bottom = main.rect(cordane.ID_NAMES[3])[3]
    box_top = main.rect(ids.IDC_TIME_RELEASE)[1]
    assert row4_bottom < box_top, "row 4 overlaps the check box"
    assert main.rect(cordane.IDOK)[3] < main.rect()[3], "OK lies outside the dialog"
    e2e.screenshot("cordane-four-panels.png")

    for n in range(4):
        cordane.set_name(n, f"Row {n + 1}")
    cordane.set_mode(2, 1)
    cordane.set_mode(3, 0)
    main.click(cordane.IDOK)
    cordane.wait_closed()
    assert [cordane.record(i) for i in (17, 34, 51, 68)] == [("Row 1", 1, 0), ("Row 2", 1, 0), ("Row 3", 2, 0),
                                                             ("Row 4", 1, 0)]
    assert cordane.system_record() == (60, 0)


def test_no_panel(cordane, e2e):
    """Every row, the check box, the time-out and OK are disabled; only Cancel
    works, and nothing is written."""
    ids = cordane.IDS
    main = cordane.start()
    for n in range(2):
        assert cordane.row(n) == ("", "", -1, 0), f"row {n + 1}"
        assert cordane.row_enabled(n) == [0, 0, 0, 0], f"row {n + 1}"
    for control in (ids.IDC_TIME_RELEASE, ids.IDC_TIME_OUT, cordane.IDOK):
        assert main.state(control)["enabled"] == 0, f"control {control}"
    assert main.state(cordane.IDCANCEL)["enabled"] == 1
    # The disabled time-out shows the value held (no record is read): 0.
    assert main.text(ids.IDC_TIME_OUT) == "0"
    e2e.screenshot("cordane-no-panel.png")
    main.click(cordane.IDCANCEL)
    cordane.wait_closed()
    assert e2e.registry.values(32, cordane.KEY) is None, "something was written"


def test_same_id(cordane, e2e):
    """Two panels reporting the same identifier: the message at start; OK
    writes both rows into the one record, the second row last."""
    e2e.driver.attach(0x21)
    e2e.driver.attach(0x21)
    e2e.launch(e2e.exe("Cordane.exe"))
    # The message comes while the dialog is being set up, before it is
    # shown; the box has its title a moment before its text.
    box = e2e.wait_for_window(cordane.BOX, timeout=15)
    box.wait_text(0xFFFF, "A system find the same PanelID")
    box.click(cordane.IDOK)
    main = cordane.wait_shown()
    assert cordane.row(0) == ("33", "", 0, 1)
    assert cordane.row(1) == ("33", "", 0, 1)
    cordane.set_name(0, "First")
    cordane.set_name(1, "Second")
    cordane.set_mode(1, 2)
    main.click(cordane.IDOK)
    cordane.wait_closed()
    assert cordane.record(33) == ("Second", 0, 0)

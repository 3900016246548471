"""ZRM450_NYSTRA_ACTIVE from another program makes the panel with that
number active at once, whatever its mode; a number that is not a panel of
the table is ignored."""


def test_active_message(nystra, e2e):
    for panel_id in (0x11, 0x22, 0x33):
        e2e.driver.attach(panel_id)
    nystra.record_panel(17, "Line A", 1)
    nystra.record_panel(34, "Line B", 0)
    nystra.record_panel(51, "Line C", 2)
    nystra.start()

    assert nystra.send_active(1) == 0
    nystra.wait_rows("34", "Line B", "", "")
    nystra.wait_pointdata(0, 1, 0)

    for wparam in (3, 4, 255, 0xFFFFFFFF):
        nystra.send_active(wparam)  # answered: an error when the window does not
    # A panel number that is valid afterwards shows every message was handled.
    nystra.send_active(2)
    nystra.wait_rows("51", "Line C", "", "")
    nystra.wait_pointdata(0, 0, 1)

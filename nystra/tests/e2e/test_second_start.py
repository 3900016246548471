"""One interlock per session: a second start of Nystra.exe brings the running
controller's window to the front (from the notification area too) and ends
without a single request to the driver; the first goes on as it was. Once
the first has ended, a new start runs the interlock again."""

# Touch polls: the status read and the touch read of each panel.
POLL_CODES = {"0x226004", "0x22E0E0"}


def test_second_start(nystra, e2e):
    nystra.start_with_line_b_active()
    main = nystra.main

    # Hidden to the notification area, as the "Minimize" button does.
    main.click(nystra.IDS.IDC_MINIMIZE)
    main.wait({"visible": 0})

    # The requests the second start could make all come before it ends: the
    # log from here on holds the first's touch polls only.
    e2e.call("driver.clear_log")
    before = e2e.driver.state()["driver"]["requests"]
    assert nystra.run() == 0, "the second start ended with an error"
    after = e2e.driver.state()["driver"]["requests"]

    main.wait({"visible": 1})
    e2e.wait("window.foreground", {"hwnd": main.handle})
    e2e.wait("process.count", {"count": 1}, image="Nystra.exe")
    assert e2e.call("window.count", title=nystra.CAPTION)["count"] == 1, "more than one interlock window"

    # Nothing dropped from the log, and nothing in it but touch polls.
    log = e2e.driver.log()
    codes = {request["code_hex"] for request in log}
    assert len(log) >= after - before, f"the log dropped requests: {len(log)} of {after - before}"
    assert codes <= POLL_CODES, f"the second start reached the driver: request codes {sorted(codes)}"
    nystra.expect_driver((0, 1), 0)

    # The first still runs the interlock.
    e2e.driver.touch(0)
    e2e.driver.stays(nystra.pointdata(0, 1), 1)  # panel 0 is Interlock: only a request
    nystra.wait_rows("34", "Line B", "17", "")
    e2e.driver.release(0)

    # After the first has ended, a start runs the interlock again.
    nystra.end_with_ok()
    nystra.wait_pointdata(1, 1)
    e2e.wait("process.count", {"count": 0}, image="Nystra.exe")
    nystra.start()
    nystra.wait_pointdata(0, 0)
    nystra.wait_startup(0)

"""The stop request: `Nystra.exe /stop` asks the controller of this session
to end as at its normal end, without a question (every panel enabled,
start-up mode 1, the tray icon gone) and returns 0 once its process has
ended. With none running it returns 0 at once and reaches neither the
driver nor a window; a question box open in the controller does not hold
up its end."""


def test_stop_ends_the_controller(nystra, e2e):
    nystra.start_with_line_b_active()
    nystra.wait_tray_icons(1)
    assert nystra.run("/stop") == 0
    assert e2e.call("process.count", image="Nystra.exe")["count"] == 0, "/stop returned before the controller ended"
    nystra.expect_driver((1, 1), 1)
    assert e2e.call("window.count", title=nystra.BOX)["count"] == 0, "a question box is open"
    nystra.wait_tray_icons(0)


def test_stop_with_none_running(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    e2e.call("driver.clear_log")
    before = e2e.driver.state()["driver"]["requests"]
    assert nystra.run("/stop:5") == 0
    assert e2e.driver.state()["driver"]["requests"] == before, "/stop reached the driver"
    shown = e2e.batch(("window.count", {"title": nystra.CAPTION}), ("window.count", {"title": nystra.BOX}))
    assert [x["count"] for x in shown] == [0, 0], "/stop showed a window"


def test_stop_with_the_question_open(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    main = nystra.start()
    nystra.wait_pointdata(0, 0)
    main.close()
    nystra.wait_box()
    assert nystra.run("/stop") == 0
    assert e2e.call("process.count", image="Nystra.exe")["count"] == 0, "the controller still runs"
    nystra.expect_driver((1, 1), 1)

"""One controller per machine. The machine-wide lock held by a controller of
another session (here a helper that holds it without this session's mark):
a start ends at once, without a single request to the driver, a window or
a box, and says why in the trace; `/stop` cannot reach it (2). A lock whose
holder ended without releasing it is taken over. After a crash (the
process killed with a panel active) a new start takes the machine over
with every panel disabled."""


def test_sessions(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    trace = nystra.trace()

    holder = nystra.helper("holder.txt", "hold-lock", 100)
    holder.wait(lambda lines: "holding" in lines, "the helper did not take the lock")
    e2e.call("driver.clear_log")
    before = e2e.driver.state()["driver"]["requests"]
    assert nystra.run() == 0
    trace.wait_last("Nystra: a controller runs in another session; this start ends")
    assert e2e.driver.state()["driver"]["requests"] == before, f"the start reached the driver: {e2e.driver.log()}"
    left = e2e.batch(("window.count", {"title": nystra.CAPTION}), ("window.count", {"title": nystra.BOX}),
                     ("process.count", {"image": "Nystra.exe"}))
    assert [x["count"] for x in left] == [0, 0, 0], f"the start left a window, a box or a process: {left}"
    nystra.expect_driver((1, 1), 1)
    assert nystra.run("/stop") == 2, "/stop with the controller in another session"
    trace.wait_last("Nystra: stop request: a controller runs in another session, out of reach from here")
    holder.end()

    # A lock whose holder ended without releasing it is taken over.
    holder = nystra.helper("holder.txt", "abandon-lock", 100)
    holder.wait(lambda lines: "abandoned" in lines, "the helper did not abandon the lock")
    nystra.start()
    nystra.wait_pointdata(0, 0)
    trace.wait_line("Nystra: took over the lock of a controller that ended without releasing it")
    holder.end()

    # A crash with panel 1 active leaves it as it was; the next start releases.
    e2e.driver.touch(1)
    nystra.wait_pointdata(0, 1)
    e2e.driver.release(1)
    nystra.end()
    nystra.expect_driver((0, 1), 0)
    nystra.start()
    nystra.wait_pointdata(0, 0)
    trace.wait_last("Nystra: started: 2 panels, every panel disabled, start-up mode 0")
    trace.end()

"""The trace of the interlock's decisions, received as the usual debug-output
viewers receive it: start, activation by a touch and by
ZRM450_NYSTRA_ACTIVE, request, Supervisor take-over, release by the user,
by the time-out and by an unplug, driver lost and regained, end. Each step
waits for its line; at the end the whole trace must be exactly these lines
in this order (kept as debug-output.txt in the test's logs)."""

LONG = '"A panel name much longer than an"...'
A = 'panel 0 (id 17, "Line A")'
B = 'panel 1 (id 34, "Line B")'
C = f"panel 2 (id 51, {LONG})"


def test_trace(nystra, e2e):
    for panel_id in (0x11, 0x22, 0x33):
        e2e.driver.attach(panel_id)
    nystra.record_panel(17, "Line A", 1)
    nystra.record_panel(34, "Line B", 2)
    nystra.record_panel(51, "A panel name much longer than any name Cordane writes", 1)
    nystra.record_system(2, 0)
    expected = []
    trace = nystra.trace()

    def step(*lines):
        """The next lines of the trace; waits for the last."""
        expected.extend(f"Nystra: {line}" for line in lines)
        trace.wait_last(expected[-1])

    def touch(panel, line):
        e2e.driver.touch(panel)
        step(line)
        e2e.driver.release(panel)

    main = nystra.start()
    step("started: 3 panels, every panel disabled, start-up mode 0")
    touch(0, f"activated {A}")
    touch(2, f"request from {C} while {A} is active")
    touch(1, f"{B} took over from {A}")
    main.click(nystra.IDS.IDC_RELEASE)
    step(f"released {B} by the user")
    main.post(nystra.ACTIVE_MESSAGE, 0, 0)
    step(f"activated {A} on ZRM450_NYSTRA_ACTIVE")
    nystra.record_system(2, 1)
    step(f"released {A} by the time-out (2 s without a touch)")
    nystra.record_system(2, 0)
    touch(1, f"activated {B}")
    e2e.driver.remove(1)
    step(f"released {B}: it was unplugged")
    touch(0, f"activated {A}")
    e2e.driver.unplug()
    step("driver lost (status 1: the driver cannot be opened)", f"released {A}: driver lost")
    e2e.driver.replug()
    step("driver regained: 2 panels")
    nystra.end_with_ok()
    step("ended (closed by the user): every panel enabled, start-up mode 1")

    trace.end()
    assert trace.nystra() == expected

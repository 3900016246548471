"""Release by time and by the "Release" button. With time release on and a
TIMEOUT of 2 s the panel stays active while it is touched and is released
about two seconds after the last touch; with time release off it stays
active until "Release", which releases at once."""

import time


def test_timeout_and_release_button(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    nystra.record_panel(17, "Line A", 1)
    nystra.record_panel(34, "Line B", 1)
    nystra.record_system(2, 1)
    main = nystra.start()

    e2e.driver.touch(1)
    nystra.wait_rows("34", "Line B", "", "")
    nystra.wait_pointdata(0, 1)
    # Held for three seconds: each poll sees the touch and starts the time again.
    nystra.rows_stay(3, "34", "Line B", "", "")
    e2e.driver.release(1)
    released_from = time.monotonic()
    nystra.wait_rows("", nystra.RELEASED, "", "", timeout=6)
    nystra.wait_pointdata(0, 0)
    elapsed = time.monotonic() - released_from
    assert elapsed >= 1, f"released after {elapsed:.1f} s, TIMEOUT is 2 s"

    # Time release off (a TIMEOUT of 1 s would otherwise end it at the first poll).
    nystra.record_system(1, 0)
    e2e.driver.touch(0)
    nystra.wait_rows("17", "Line A", "", "")
    e2e.driver.release(0)
    nystra.rows_stay(3, "17", "Line A", "", "")  # time release off: no release over several polls
    main.click(nystra.IDS.IDC_RELEASE)
    nystra.wait_rows("", nystra.RELEASED, "", "")
    nystra.wait_pointdata(0, 0)

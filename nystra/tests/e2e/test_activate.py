"""Two panels, one Interlock and one Supervisor: the first touch activates,
the Supervisor takes over at once, an Interlock touch while another panel
is active is only shown as a request, which fades after ten seconds. Every
change is broadcast as ZRM450_NYSTRA_UPDATE. Saves the screenshots of the
window Released, Active and with a request shown."""

import time


def test_activate(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    nystra.record_panel(17, "Line A", 1)
    nystra.record_panel(34, "Line B", 2)
    main = nystra.start()
    nystra.wait_pointdata(0, 0)
    nystra.wait_startup(0)
    nystra.wait_indicator(0)
    assert main.state()["topmost"] == 1, f"the window is not topmost (extended style {main.state()['exstyle']:#x})"
    e2e.screenshot("nystra-released.png")

    # A program listening for the broadcast hears the activation.
    e2e.call("listen.start", name=nystra.UPDATE_MESSAGE)
    e2e.driver.touch(0)
    nystra.wait_rows("17", "Line A", "", "")
    nystra.wait_pointdata(1, 0)
    e2e.wait("listen.heard", {"count": 1, "wparam": 0, "lparam": 0}, name=nystra.UPDATE_MESSAGE)
    e2e.call("listen.stop", name=nystra.UPDATE_MESSAGE)
    e2e.driver.release(0)
    e2e.screenshot("nystra-active.png")

    # The Supervisor panel takes over.
    e2e.driver.touch(1)
    nystra.wait_rows("34", "Line B", "", "")
    nystra.wait_pointdata(0, 1)
    e2e.driver.release(1)

    # Panel 0 is Interlock: its touch is shown as a request and changes nothing.
    e2e.driver.touch(0)
    nystra.wait_rows("34", "Line B", "17", "Line A")
    shown = time.monotonic()  # at most this long after the request was shown
    nystra.wait_indicator(1)
    e2e.driver.release(0)
    e2e.screenshot("nystra-request.png")
    e2e.driver.stays(nystra.pointdata(0, 1), 1)  # a request changes no panel

    # Ten one-second polls after it was shown the second row is empty again.
    nystra.wait_rows("34", "Line B", "", "", timeout=15)
    faded = time.monotonic() - shown
    assert faded >= 8, f"the request faded after {faded:.1f} s"
    nystra.wait_indicator(0)
    nystra.wait_pointdata(0, 1)

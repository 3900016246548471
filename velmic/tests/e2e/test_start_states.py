"""The start-up check without an active panel: no panel gives "No panel
device found", Cancel ends; a driver that does not answer ends the
program without any window."""


def test_no_panel_is_reported_and_cancel_ends(velmic, e2e):
    IDS = velmic.IDS
    velmic.start()
    start = e2e.wait_for_window(velmic.START, timeout=15)
    start.wait_text(IDS.IDC_INFO_MSG, velmic.NO_DEVICE)
    start.wait({"visible": 1})
    e2e.screenshot("start_no_device.png")
    start.press(velmic.IDCANCEL)
    start.gone()
    e2e.call("process.ended", image="Velmic.exe", timeout_ms=10000)


def test_no_driver_ends_without_a_word(velmic, e2e):
    e2e.driver.unplug()
    done = e2e.run(e2e.exe("Velmic.exe"), timeout=10)
    assert (done["stdout"], done["stderr"]) == ("", ""), f"Velmic wrote: {done}"
    e2e.wait_gone(velmic.START, timeout=0)
    e2e.driver.replug()

"""Start-up that cannot go on: no driver ends silently with nothing written;
a missing library is named in a message and the driver is not touched; a
picture file that cannot be loaded leaves the picture as it was."""

import shutil


def test_without_a_driver_the_program_ends_silently(palvine, e2e):
    e2e.driver.unplug()
    done = e2e.run(palvine.exe)
    assert done["status"] == 0, f"no driver: {done}"
    assert palvine.error_reports() == 0, "a message without a driver"
    e2e.driver.replug()
    e2e.driver.fail(palvine.VERSION_REQUEST, palvine.ERROR_GEN_FAILURE)  # a driver that does not answer
    done = e2e.run(palvine.exe)
    assert done["status"] == 0, f"no answer: {done}"
    assert palvine.writes() == [], "written without a driver"
    palvine.assert_modes(1, 2, 0)


def test_a_missing_library_is_named_and_a_missing_picture_keeps_the_other(palvine, e2e, tmp_path):
    # A folder with the program and left.ico but without TAVLO.DLL or right.ico.
    for name in ("Palvine.exe", "left.ico"):
        shutil.copy(e2e.exe(name), tmp_path)
    alone = tmp_path / "Palvine.exe"
    requests = e2e.driver.state()["driver"]["requests"]
    e2e.launch(alone)
    message = e2e.wait_for_window("Palvine", timeout=15)
    # The box has its title a moment before its text.
    message.wait({"text": {"$contains": "TAVLO.DLL"}}, control=0xFFFF)
    message.click(palvine.IDOK)
    message.gone()
    assert e2e.driver.state()["driver"]["requests"] == requests, "the driver was asked something"

    # The library beside it: right.ico is missing, so an armed flag keeps the
    # left picture and the program goes on.
    shutil.copy(e2e.exe("TAVLO.DLL"), tmp_path)
    palvine.set_modes(2, 1, "middle")
    palvine.start(exe=alone)
    palvine.wait_modes(1, 2, 0)
    palvine.wait_picture("left")
    palvine.release_over(1)
    palvine.wait_modes(1, 2, 1)
    palvine.stays_picture("left", 1)
    palvine.tavloctl("once-mode", 0, "right")
    palvine.release_over(1)
    palvine.wait_modes(1, 2, 1)
    palvine.stays_picture("left", 1)
    palvine.close_and_wait()
    palvine.wait_modes(2, 4, 0)

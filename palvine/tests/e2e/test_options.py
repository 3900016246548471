"""The command line read back from the window and the driver: topmost, outer
size, the system menu's check marks and the buttons written; the modes found
at start are put back at the end."""

import pytest

CASES = [
    # arguments, topmost, outer size in pixels, check marks 101-104, modes while running
    ([], 1, [39, 39], [1, 1, 0, 0], (1, 2, 0)),
    (["/notop", "/top", "/LARGESIZE"], 1, [117, 117], [1, 0, 0, 1], (1, 2, 0)),
    (["/NOTOP", "/nmlsize", "/NORMALRIGHT", "/ONCEMIDDLE"], 0, [78, 78], [0, 0, 1, 0], (2, 4, 0)),
    (["/TopMost", "/SMALLSIZE", "/LARGESIZE", "/normalmiddle", "/onceleftx"], 1, [117, 117], [1, 0, 0, 1], (4, 1, 0)),
]


@pytest.mark.parametrize("arguments,topmost,size,checks,running", CASES,
                         ids=["no-arguments", "top-large", "notop-normal-right-oncemiddle", "topmost-small-large"])
def test_options(palvine, arguments, topmost, size, checks, running):
    palvine.set_modes(2, 1, "middle")  # found at start: click mode 2, once button 4, once flag 1
    palvine.wait_modes(2, 4, 1)
    palvine.start(*arguments)
    palvine.wait_modes(*running)
    state = palvine.state(checks=True)
    assert (state["topmost"], state["size"], state["checks"]) == (topmost, size, checks), arguments
    palvine.wait_picture("left")
    palvine.close_and_wait()
    palvine.wait_modes(2, 4, 0)

"""The system-menu commands as WM_SYSCOMMAND: 101 toggles topmost and its
check mark, 102-104 resize keeping height minus width, 0x6F is not 101; the
system menu's Close ends the program through the exit steps. The check marks
are waited for like every other state the commands change: one read made
once, right after the size was reached, has seen other marks than the read
just after it."""


def test_sysmenu(palvine):
    ids = palvine.IDS
    palvine.set_modes(2, 1, "middle")
    palvine.start()
    palvine.wait_modes(1, 2, 0)
    assert palvine.checks() == [1, 1, 0, 0], "check marks at start"

    palvine.syscommand(ids.IDM_ALWAYS_TOP)
    palvine.wait({"topmost": 0, "checks": [0, 1, 0, 0]})
    palvine.syscommand(ids.IDM_ALWAYS_TOP)
    palvine.wait({"topmost": 1, "checks": [1, 1, 0, 0]})

    # "Always top window" | 0x0F is another command: nothing changes.
    palvine.syscommand(ids.IDM_ALWAYS_TOP | 0x0F)
    palvine.syscommand(ids.IDM_LARGE_SIZE)  # a later command shows the one before was handled
    palvine.wait({"size": [117, 117]})
    assert palvine.state()["topmost"] == 1, "0x6F changed topmost"
    palvine.wait({"checks": [1, 0, 0, 1]})

    for command, size, checks in [(ids.IDM_NORMAL_SIZE, [78, 78], [1, 0, 1, 0]),
                                  (ids.IDM_NORMAL_SIZE, [78, 78], [1, 0, 1, 0]),
                                  (ids.IDM_SMALL_SIZE, [39, 39], [1, 1, 0, 0])]:
        palvine.syscommand(command)
        palvine.wait({"size": size, "checks": checks})
    palvine.wait_picture("left")

    # The system menu's Close (as Alt+F4 sends it).
    palvine.syscommand(palvine.SC_CLOSE)
    palvine.main.gone()
    palvine.wait_modes(2, 4, 0)

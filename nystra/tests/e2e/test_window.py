"""The window: "Always Top", the about box, "Minimize" to the tray icon and
back, the tray icon coming back when the task bar is created again, and
polls that go on while another window does not answer the broadcast."""

ABOUT_TEXT = "For ZRM450 USB Touch Panels\nTouch Panel Interlock Program\n Version 1.00"


def test_window(nystra, e2e):
    ids = nystra.IDS
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    main = nystra.start()

    main.wait({"topmost": 1})
    for topmost in (0, 1):
        nystra.syscommand(ids.IDM_ALWAYS_TOP)
        main.wait({"topmost": topmost})

    # The about box has the window's caption; it is the window's popup.
    nystra.syscommand(ids.IDM_ABOUTBOX)
    about = main.popup()
    assert about.state()["text"] == nystra.CAPTION
    # The box has its caption before its controls exist; it is shown once they do.
    about.wait({"visible": 1})
    about.wait_text(ids.IDC_ABOUT_TEXT, ABOUT_TEXT)
    e2e.screenshot("nystra-about.png")
    about.click(nystra.IDOK)
    about.gone()

    main.click(ids.IDC_MINIMIZE)
    main.wait({"visible": 0})
    nystra.click_tray(1)
    main.wait({"visible": 1})

    # The task bar lost the icon (as when it restarts) and announces itself again.
    removed = e2e.run(e2e.exe("nystra_e2e_helper.exe"), "tray-delete", main.handle)
    assert removed["status"] == 0, f"could not remove the tray icon: {removed}"
    nystra.wait_tray_icons(0)
    main.post("TaskbarCreated", 0, 0)
    nystra.wait_tray_icons(1)

    # A top-level window that answers nothing for 30 s: the broadcasts that
    # every change sends must not hold up the polls.
    hung = nystra.helper("hang.txt", "hang", 30)
    hung.wait(lambda lines: any(line.startswith("hung ") for line in lines), "no hung window")
    e2e.driver.touch(0)
    nystra.wait_rows("17", "", "", "")
    e2e.driver.release(0)
    e2e.driver.touch(1)
    nystra.wait_rows("17", "", "34", "", timeout=3)
    e2e.driver.release(1)
    main.click(ids.IDC_RELEASE)
    nystra.wait_rows("", nystra.RELEASED, "", "", timeout=3)
    hung.end()

"""Both questions that end the interlock have Cancel as their default
button, with the keyboard focus on it: Enter (or a stray tap on the
default) on either box keeps the interlock running with its panel active.
Saves the close question as it opens (nystra-close-cancel.png)."""


def test_enter_keeps_the_interlock(nystra, e2e):
    nystra.start_with_line_b_active()
    # (what opens it, its name, its text)
    for open_question, name, text in ((nystra.main.close, "close", nystra.CLOSE_QUESTION),
                                      (lambda: nystra.click_tray(3, 2), "tray", nystra.STOP_QUESTION)):
        open_question()
        box = nystra.wait_box()
        box.wait_text(nystra.BOX_TEXT, text)
        # Cancel has the focus, and the box is in front.
        nystra.wait_focus(box, nystra.IDCANCEL)
        e2e.wait("window.foreground", {"hwnd": box.handle})
        if name == "close":
            e2e.screenshot("nystra-close-cancel.png")
        nystra.key("Return")
        box.gone()
        e2e.driver.stays(nystra.pointdata(0, 1), 1)
        state = e2e.batch(("process.count", {"image": "Nystra.exe"}), ("driver.state", {}))
        assert (state[0]["count"], state[1]["driver"]["startup"]) == (1, 0), \
            f"Enter on the {name} question ended the interlock"
        nystra.wait_rows("34", "Line B", "", "")

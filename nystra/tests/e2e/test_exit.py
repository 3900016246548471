"""Ending the interlock: the tray icon's right double-click and the close box
ask first and Cancel keeps it running; OK ends it with every panel enabled,
start-up mode 1 and the tray icon gone. The end of the Windows session does
the same without a question."""

import contextlib

from suite_e2e import AgentError

WM_QUERYENDSESSION, WM_ENDSESSION = 0x11, 0x16


def test_questions_cancel_and_ok(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    nystra.record_panel(17, "Line A", 1)
    main = nystra.start()
    e2e.driver.touch(1)
    nystra.wait_rows("34", "", "", "")
    e2e.driver.release(1)
    nystra.wait_tray_icons(1)

    # (what opens it, its text): Cancel closes each and keeps the interlock.
    for open_question, text in ((lambda: nystra.click_tray(3, 2), nystra.STOP_QUESTION),
                                (main.close, nystra.CLOSE_QUESTION)):
        open_question()
        box = nystra.wait_box()
        box.wait_text(nystra.BOX_TEXT, text)
        box.click(nystra.IDCANCEL)
        box.gone()
    e2e.driver.stays(nystra.pointdata(0, 1), 1)  # Cancel changes no panel

    nystra.end_with_ok()
    nystra.wait_pointdata(1, 1)
    nystra.wait_startup(1)
    nystra.wait_tray_icons(0)


def test_session_end(nystra, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    main = nystra.start()
    nystra.wait_pointdata(0, 0)
    assert main.send(WM_ENDSESSION, 0, 0) == 0
    # A session that goes on does not end the interlock.
    e2e.driver.stays({**nystra.pointdata(0, 0), "driver": {"startup": 0}}, 1)
    main.send(WM_QUERYENDSESSION, 0, 0)
    with contextlib.suppress(AgentError):  # the window may end before it answers
        main.send(WM_ENDSESSION, 1, 0)
    main.gone(timeout=5)
    nystra.wait_pointdata(1, 1)
    nystra.wait_startup(1)

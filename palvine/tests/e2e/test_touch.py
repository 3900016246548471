"""Palvine with a pointer alone, as on a touch-only screen: the window has a
thin frame and no caption bar (so no close box under a finger); the strip at
the top of its client area answers as caption. A right click on the strip
(what a press and hold gives) opens the system menu, a click on its last item
chooses "Large size", and a drag of the strip moves the window. At every size
the whole picture lies in the square below the strip. Clicks on the picture
stay Palvine's own. Screenshots of the window at the three sizes and of the
open menu are kept."""

WS_CAPTION_THICKFRAME = 0xC40000  # WS_CAPTION (WS_BORDER | WS_DLGFRAME) and WS_THICKFRAME
WS_BORDER = 0x800000
CAPTION, CLIENT = 2, 1


def test_touch(palvine, e2e):
    ids = palvine.IDS
    main = palvine.start()
    palvine.wait_modes(1, 2, 0)
    palvine.wait_picture("left")
    style = main.state()["style"]
    assert style & WS_CAPTION_THICKFRAME == WS_BORDER, f"not a thin frame without a caption bar: style {style:#x}"
    strip = palvine.strip
    assert strip >= 8, f"no strip above the picture ({strip} pixels)"
    palvine.wait({"size": [39, 39]})
    assert palvine.placed() == "yes", "small"
    palvine.shot("touch-small")

    # Which points are strip: its corners and its last row answer as caption,
    # the row below it and the picture as client.
    cl, ct, cr, _ = main.client()
    pl, pt, pr, pb = main.rect(ids.IDC_CLICK_STATUS)
    for x, y, want in [(cl, ct, CAPTION), (cr - 1, ct, CAPTION), (cr - 1, ct + strip - 1, CAPTION),
                       (cl, ct + strip, CLIENT), ((cl + cr) // 2, ct + strip, CLIENT),
                       ((pl + pr) // 2, (pt + pb) // 2, CLIENT)]:
        assert palvine.hit(x, y) == want, f"hit test at {x},{y}"

    # The system menu, by pointer input alone.
    e2e.press(*palvine.strip_point(), button=3)
    menu = e2e.wait_for_window(cls="#32768", timeout=10)
    menu.wait({"visible": 1})
    e2e.screenshot("touch-menu.png")
    palvine.wait_modes(1, 2, 0)  # the right click was no click on the picture
    # Its last item is "Large size".
    left, _, right, bottom = menu.rect()
    e2e.press((left + right) // 2, bottom - 8)
    palvine.wait({"size": [117, 117], "checks": [1, 0, 0, 1]})  # the strip as it was
    assert palvine.placed() == "yes", "large"
    palvine.shot("touch-large")

    # Normal size, then the window dragged by its strip.
    palvine.syscommand(ids.IDM_NORMAL_SIZE)
    x0, y0 = palvine.wait({"size": [78, 78]})["position"]
    assert palvine.placed() == "yes", "normal"
    palvine.shot("touch-normal")
    x, y = palvine.strip_point()
    palvine.drag([(x, y), (x - 30, y + 20), (x - 60, y + 40)])
    palvine.wait({"position": [x0 - 60, y0 + 40], "size": [78, 78]})
    palvine.wait_modes(1, 2, 0)  # the drag was no click on the picture

    # Back to small, where the picture only just fits.
    palvine.syscommand(ids.IDM_SMALL_SIZE)
    palvine.wait({"size": [39, 39]})
    assert palvine.placed() == "yes", "small again"

    # A click on the picture still arms the one-shot.
    palvine.release_over(1)
    palvine.wait_modes(1, 2, 1)
    palvine.wait_picture("right")

"""The test areas load "single1.bmp"... by bare name from the current
folder: a click changes the click area's picture each time, a double
click the double-click area's; the colours are read from the screen."""

import subprocess

PICTURES = {"single1": "red", "single2": "lime", "double1": "blue", "double2": "yellow"}
RED, LIME, BLUE, YELLOW = "FF0000", "00FF00", "0000FF", "FFFF00"


def test_pictures_from_the_current_folder_alternate(velmic, e2e, tmp_path):
    IDS = velmic.IDS
    for name, colour in PICTURES.items():
        subprocess.run(["convert", "-size", "64x64", f"xc:{colour}", "-type", "palette", f"BMP3:{tmp_path / name}.bmp"],
                       check=True, timeout=60)
    # Started from its own folder, a copy of Velmic (with the library) among
    # the bitmaps has them in its current folder.
    exe = velmic.copy_program(tmp_path, "TAVLO.DLL")
    velmic.one_panel(30, 30, 400, 28, True)
    velmic.start(exe)
    main = velmic.wait_main()

    def spot(control):
        """The control's centre: on the screen, and inside its window."""
        state = main.state(control)
        (x, y), (left, top) = state["centre"], state["rect"][:2]
        return (x, y), {"window": main.handle, "id": control, "x": x - left, "y": y - top}

    def wait_picture(where, colour):
        e2e.wait("window.pixel", {"colour": colour}, **where)

    def stays_past_double_click(where, colour):
        """The picture holds while a double click's time passes, so the next
        click is a click of its own."""
        e2e.stays("window.pixel", {"colour": colour}, 1, **where)

    (cx, cy), click_area = spot(IDS.IDC_CLICK_TEST_AREA)
    (dx, dy), dclick_area = spot(IDS.IDC_DCLICK_TEST_AREA)
    initial = e2e.call("window.pixel", **click_area)["colour"]
    assert initial != RED, "the click area showed red before any click"
    e2e.press(cx, cy)
    wait_picture(click_area, LIME)  # single2.bmp
    e2e.screenshot("test_area_single2.png")
    stays_past_double_click(click_area, LIME)
    e2e.press(cx, cy)
    wait_picture(click_area, RED)  # single1.bmp

    velmic.double_click(dx, dy)
    wait_picture(dclick_area, YELLOW)  # double2.bmp
    stays_past_double_click(dclick_area, YELLOW)
    velmic.double_click(dx, dy)
    wait_picture(dclick_area, BLUE)  # double1.bmp
    e2e.screenshot("test_area_double1.png")
    # The test areas write nothing.
    velmic.expect_sets((80, 90, 700, 36), True, (30, 30, 400, 28), True)
    velmic.wait_buttons(0, 0)

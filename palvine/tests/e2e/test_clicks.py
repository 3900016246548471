"""Real mouse releases over the window toggle the once flag as the click rule
says; the picture follows the driver's flag within one poll, whether a click
or another program changed it. Screenshots of the three sizes and of the
flag set are kept."""

# once button right: left arms, right keeps what the driver reports, middle
# (any other button) disarms; releases over the picture and beside it alike.
STEPS = [
    # X button, where, modes after (click mode, once button, once flag), picture
    (1, "picture", (1, 2, 1), "right"),
    (3, "picture", (1, 2, 1), "right"),
    (2, "edge", (1, 2, 0), "left"),
    (3, "edge", (1, 2, 0), "left"),
    (1, "edge", (1, 2, 1), "right"),
    (1, "picture", (1, 2, 0), "left"),
]


def test_clicks(palvine, e2e):
    palvine.start()
    palvine.wait_modes(1, 2, 0)
    palvine.wait_picture("left")
    e2e.screenshot("palvine-small.png")

    for button, where, modes, picture in STEPS:
        palvine.release_over(button, where)
        palvine.wait_modes(*modes)
        palvine.wait_picture(picture)

    # Another program arms the one-shot: the picture follows within a poll.
    palvine.tavloctl("once-mode", 1, "right")
    palvine.wait_picture("right")
    e2e.screenshot("palvine-flag-set.png")
    palvine.tavloctl("once-mode", 0, "right")
    palvine.wait_picture("left")

    # Every click writes Palvine's buttons again, and reads the once button anew.
    palvine.set_modes(4, 0, "middle")
    palvine.release_over(2)
    palvine.wait_modes(1, 2, 0)  # middle was the once button the driver reported: flag kept
    palvine.release_over(1)
    palvine.wait_modes(1, 2, 1)

    for command, name, size in [(palvine.IDS.IDM_NORMAL_SIZE, "normal", [78, 78]),
                                (palvine.IDS.IDM_LARGE_SIZE, "large", [117, 117])]:
        palvine.syscommand(command)
        palvine.wait({"size": size})
        palvine.wait_picture("right")
        e2e.screenshot(f"palvine-{name}.png")
    palvine.close_and_wait()
    palvine.wait_modes(1, 2, 0)

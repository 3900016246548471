# Real mouse releases over the window toggle the once flag as the click rule
# says; the picture follows the driver's flag within one poll, whether a
# click or another program changed it. Screenshots of the three sizes and of
# the flag set are kept.
. "$(dirname "$0")/common.sh"

start_palvine
wait_eq 1/2/0 modes
wait_eq -t 3 left picture
screenshot palvine-small.png

# once button right: left arms, right keeps what the driver reports, middle
# (any other button) disarms; releases over the picture and beside it alike.
steps=(
    "1|picture|1/2/1|right"
    "3|picture|1/2/1|right"
    "2|edge|1/2/0|left"
    "3|edge|1/2/0|left"
    "1|edge|1/2/1|right"
    "1|picture|1/2/0|left"
)
for step in "${steps[@]}"; do
    IFS='|' read -r button where wanted shown <<<"$step"
    release_over "$button" "$where"
    wait_eq "$wanted" modes
    wait_eq -t 3 "$shown" picture
    echo "clicks: X button $button over the $where: driver $wanted, picture $shown"
done

# Another program arms the one-shot: the picture follows within a poll.
tavloctl once-mode 1 right >/dev/null
wait_eq -t 3 right picture
screenshot palvine-flag-set.png
tavloctl once-mode 0 right >/dev/null
wait_eq -t 3 left picture

# Every click writes Palvine's buttons again, and reads the once button anew.
set_modes 4 0 middle
release_over 2
wait_eq 1/2/0 modes  # middle was the once button the driver reported: flag kept
release_over 1
wait_eq 1/2/1 modes

for step in "$ID_NORMAL|normal|78 78" "$ID_LARGE|large|117 117"; do
    IFS='|' read -r command name want <<<"$step"
    probe syscommand "$MAIN" "$command"
    wait_eq "$want" size
    wait_eq -t 3 right picture
    screenshot "palvine-$name.png"
done
probe close "$MAIN"
wait_gone
wait_eq 1/2/0 modes
echo "clicks: screenshots in $TEST_LOGS"

# Refused fields: the message names the limit, the dialog stays open and
# nothing is saved; once corrected, OK saves. A stored time-out outside
# 1..1800 with time release off does not stand in the way of OK.
. "$(dirname "$0")/common.sh"
TIME_OUT_MESSAGE="Enter a whole number of seconds from 1 to 1800."
NAME_MESSAGE="Enter a panel name of at most 16 characters."
sim attach 0x11 >/dev/null
put_panel 17 "Line A" 1
put_system 30 1
start_cordane

first=1
for bad in 0 1801 abc ""; do
    probe settext "$MAIN" $ID_TIME_OUT "$bad"
    probe click "$MAIN" $ID_OK
    if [ $first = 1 ]; then
        expect_box "$TIME_OUT_MESSAGE" cordane-validation.png
        first=0
    else
        expect_box "$TIME_OUT_MESSAGE"
    fi
    [ "$(probe visible "$MAIN")" = 1 ] || fail "the dialog closed after time-out [$bad]"
    expect_system "30|1"
done
# A name of 17 characters (set from outside: typing stops at 16).
probe settext "$MAIN" $ID_TIME_OUT 1800
set_name 0 "ABCDEFGHIJKLMNOPQ"
probe click "$MAIN" $ID_OK
expect_box "$NAME_MESSAGE"
expect_record 17 "Line A|1|0"
set_name 0 "ABCDEFGHIJKLMNOP"
probe click "$MAIN" $ID_OK
wait_closed
expect_record 17 "ABCDEFGHIJKLMNOP|1|0"
expect_system "1800|1"

# Time release off with a stored time-out of 0: OK saves it as it was.
put_system 0 0
start_cordane
[ "$(probe enabled "$MAIN" $ID_TIME_OUT)" = 0 ] || fail "time-out enabled"
probe click "$MAIN" $ID_OK
wait_closed
expect_system "0|0"
echo "validation: refused fields keep the dialog open and save nothing"

# Scene: Nystra ends; every panel is enabled again.
. "$REPO/nystra/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"
MAIN=$(probe find "$CAPTION" 20000) || fail "Nystra is not running"
say "Nystra's close box asks first"
probe close "$MAIN"
box=$(wait_box)
show "question \"$BOX\": $(box_text "$box")"
window_shot nystra-close "Nystra: the question before it ends" "$box"
say "OK: Nystra ends; every panel enabled, start-up mode 1"
probe click "$box" "$IDOK"
probe gone "$MAIN" 20000 >/dev/null || fail "the interlock did not end"
wait_pointdata "1 1"
wait_eq 1 startup_mode
show "driver: point data $(pointdata | sed 's/1/on/g;s/0/off/g'), start-up mode $(startup_mode)"
end_program "$WIN_BIN/Nystra.exe"

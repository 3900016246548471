# Panel names against the ANSI code page: with Western (1252) a name with
# 'Ł' is refused, not saved with a best-fit 'L'; with UTF-8 as the ANSI
# code page (Windows' "Use Unicode UTF-8 for worldwide language support",
# given here to a copy of Cordane by its manifest) the same name is saved
# as typed, and half a surrogate pair is refused.
. "$(dirname "$0")/common.sh"

NAME_HEX=(0141 00F3 0064 017A)  # "Łódź"
NAME_CHARS=$'\xc5\x81\xc3\xb3d\xc5\xba'
CHARACTERS="The panel name has characters that this computer cannot store."

# NAME of record ID$1 as UTF-8, read from an export of the key (reg query
# prints through the console's code page).
stored_name() {
    local file=$TEST_LOGS/record.reg
    rm -f "$file"
    suite_reg export "$KEY\\ID$1" "Z:${file//\//\\}" /reg:32 /y </dev/null >/dev/null 2>&1 || return 1
    iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | sed -n 's/^"NAME"="\(.*\)"$/\1/p'
}
# Types the name in row 1, presses OK and expects the refusal; nothing saved.
expect_refused() {
    probe settext-utf16 "$MAIN" "${ID_NAMES[0]}" "$@"
    probe click "$MAIN" $ID_OK
    expect_box "$CHARACTERS"
    [ "$(record 17)" = "" ] || fail "saved after the refusal: $(record 17)"
}

sim attach 0x11 >/dev/null

# Western: refused, then a name the code page holds is saved.
start_cordane
expect_refused "${NAME_HEX[@]}"
probe settext-utf16 "$MAIN" "${ID_NAMES[0]}" 0043 0061 0066 00E9  # "Café"
probe click "$MAIN" $ID_OK
wait_closed
[ "$(stored_name 17)" = $'Caf\xc3\xa9' ] || fail "code page 1252: stored [$(stored_name 17)]"
echo "code page 1252: a name with a best-fit substitute refused, an accented name saved"
reg_delete 32 "$KEY"

# UTF-8: a copy of Cordane beside the libraries, with the code page setting.
folder=$TEST_LOGS/utf8
mkdir -p "$folder"
cp "$WIN_BIN/BRIMOL.DLL" "$WIN_BIN/TAVLO.DLL" "$folder/"
wine_run "$WIN_BIN/cordane_e2e_helper.exe" utf8-copy "Z:${WIN_BIN//\//\\}\\Cordane.exe" \
    "Z:${folder//\//\\}\\Cordane.exe" || fail "no UTF-8 copy of Cordane"
launch "$folder/Cordane.exe"
wait_shown
expect_refused 0061 D800
probe settext-utf16 "$MAIN" "${ID_NAMES[0]}" "${NAME_HEX[@]}"
probe click "$MAIN" $ID_OK
wait_closed
[ "$(stored_name 17)" = "$NAME_CHARS" ] || fail "UTF-8: stored [$(stored_name 17)], not [$NAME_CHARS]"
echo "code page 65001: the name saved as typed, half a surrogate pair refused"

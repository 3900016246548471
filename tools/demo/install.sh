# Scene: the suite's own installer, silent, into the demo's fresh Wine
# prefix; what it put where, and Palvine's pictures beside it.
#   install.sh INSTALLER
. "$E2E_LIB"
. "$REPO/tools/demo/lib.sh"
installer=$1
folder=$WINEPREFIX/drive_c/$SUITE_VENDOR_FOLDER_NAME/$SUITE_PROGRAM_FOLDER_NAME
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Touch panel suite"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchPanelSuite'
listing() { (cd "$1" 2>/dev/null && ls -1 | sort | paste -sd' ') || true; }

# A caret that does not blink: the same run gives the same screenshots.
"$SUITE_WINE64" reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /d -1 /f </dev/null >/dev/null 2>&1 ||
    fail "cannot stop the caret blinking"

# Wine's own fonts (Debian package fonts-wine) are not found by this Wine
# build by itself: without Marlett the caption buttons show letters, and
# Tahoma, the dialogs' font, is replaced by another. In the prefix's font
# folder the programs started from now on find them.
for font in marlett tahoma tahomabd; do
    [ ! -f "/usr/share/wine/fonts/$font.ttf" ] || cp "/usr/share/wine/fonts/$font.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
done

say "$(basename "$installer") /S (silent install, asks for administrator rights)"
wine_run "$installer" /S || fail "the silent install ended with status $?"
wait_until 30 test -f "$folder/Cordane.exe" || fail "nothing installed into $folder"
show "$SUITE_INSTALL_FOLDER: $(listing "$folder")"
show "Start menu, Touch panel suite: $(listing "$menu")"
show "program list: $(reg_get 64 "$uninstall_key" DisplayName | cut -d' ' -f2-)," \
     "version $(reg_get 64 "$uninstall_key" DisplayVersion | cut -d' ' -f2-)"

say "The installer put its sample pictures beside the programs; the demo's own left.ico and right.ico (whose pixels it checks) replace Palvine's"
cp "$REPO/palvine/icons/left.ico" "$REPO/palvine/icons/right.ico" "$folder/"
show "$SUITE_INSTALL_FOLDER: $(listing "$folder")"

// The programs' message loops: the program's own, and the one of a box
// built in code that acts modally.
#pragma once

#include <windows.h>

namespace winui {

// A dialog box's window (the system's dialog class).
bool IsDialogBox(HWND window);

// Runs the thread's messages until WM_QUIT and returns its exit code. A
// message for a dialog box (or a control on one) goes through
// IsDialogMessage first, so that modeless dialogs answer Tab, Enter and
// Escape.
int RunMessageLoop();

// Runs messages until `running` turns false or WM_QUIT arrives (which is
// posted again for the outer loop); Tab, Enter and Escape work in `box`
// as in a dialog. For boxes built in code that act modally; the caller
// disables the owner. False when the loop ended on WM_QUIT or an error.
bool RunModalLoop(HWND box, const bool& running);

}  // namespace winui

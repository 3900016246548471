// The programs' message loop.
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

}  // namespace winui

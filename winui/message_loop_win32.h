// The programs' message loop.
#pragma once

namespace winui {

// Runs the thread's messages until WM_QUIT and returns its exit code. A
// message for a dialog box (or a control on one) goes through
// IsDialogMessage first, so that modeless dialogs answer Tab, Enter and
// Escape.
int RunMessageLoop();

}  // namespace winui

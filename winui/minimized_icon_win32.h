// Paints a minimised dialog: the program icon centred on its background,
// as a dialog without a class icon must do itself.
#pragma once

#include <windows.h>

namespace winui {

// Returns false (and paints nothing) unless the window is minimised.
bool PaintMinimizedIcon(HWND window, HICON icon);

}  // namespace winui

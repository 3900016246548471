// Apart from the other controls' helpers, so that a program that only
// measures its children does not import GDI32 for the fonts and scales.
#include "controls_win32.h"

namespace winui {

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace winui

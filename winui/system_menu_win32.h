// The window's system menu (the one under its icon) and the topmost state.
#pragma once

#include <windows.h>

namespace winui {

// The window's own system menu; every call does nothing when the window
// has none. The window owns the menu.
class SystemMenu {
public:
    explicit SystemMenu(HWND window) : menu_(GetSystemMenu(window, FALSE)) {}
    HMENU Handle() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }

    bool AppendSeparator() const { return menu_ != nullptr && AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr); }
    bool AppendItem(UINT id, const char* text) const {
        return menu_ != nullptr && AppendMenuA(menu_, MF_STRING, id, text);
    }
    // A text in any script (a Unicode resource string).
    bool AppendItem(UINT id, const wchar_t* text) const {
        return menu_ != nullptr && AppendMenuW(menu_, MF_STRING, id, text);
    }
    bool SetItemText(UINT id, const char* text) const {
        return menu_ != nullptr && ModifyMenuA(menu_, id, MF_BYCOMMAND | MF_STRING, id, text);
    }
    // False when the menu has no such item.
    bool SetChecked(UINT id, bool checked) const {
        return menu_ != nullptr &&
               CheckMenuItem(menu_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) != static_cast<DWORD>(-1);
    }

private:
    HMENU menu_;
};

// Puts the window above (or back among) the other windows, without moving
// or sizing it; it is shown as well (SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW).
// False when the system refused.
inline bool SetTopmost(HWND window, bool topmost) {
    return SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW) != FALSE;
}

}  // namespace winui

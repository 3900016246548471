// The program icon of a dialog that has no class icon: set as the dialog's
// big and small icon, painted by the dialog itself while it is minimised,
// and handed out as its drag icon.
#pragma once

#include <windows.h>

namespace winui {

class ProgramIcon {
public:
    // Loads icon `id` of `instance` in both sizes and sets them on `dialog`.
    // The icons are loaded shared, so nothing is freed.
    void Set(HWND dialog, HINSTANCE instance, int id);

    // Answers WM_PAINT while the dialog is minimised (the icon centred on
    // its background) and WM_QUERYDRAGICON. Returns false, having done
    // nothing, for every other message.
    bool Answer(HWND dialog, UINT message, INT_PTR* result) const;

private:
    HICON big_ = nullptr;
};

}  // namespace winui

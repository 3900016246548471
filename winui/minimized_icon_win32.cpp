#include "minimized_icon_win32.h"

#include "handles_win32.h"

namespace winui {
namespace {

HICON SharedIcon(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

void PaintCentred(HWND window, HICON icon) {
    PaintDc paint(window);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client{};
    GetClientRect(window, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, icon);
}

}  // namespace

void ProgramIcon::Set(HWND dialog, HINSTANCE instance, int id) {
    big_ = SharedIcon(instance, id, GetSystemMetrics(SM_CXICON));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(SharedIcon(instance, id, GetSystemMetrics(SM_CXSMICON))));
}

bool ProgramIcon::Answer(HWND dialog, UINT message, INT_PTR* result) const {
    if (message == WM_PAINT && IsIconic(dialog)) {
        PaintCentred(dialog, big_);
        *result = TRUE;
        return true;
    }
    if (message == WM_QUERYDRAGICON) {
        *result = reinterpret_cast<INT_PTR>(big_);
        return true;
    }
    return false;
}

}  // namespace winui

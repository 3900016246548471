#include "minimized_icon_win32.h"

#include "handles_win32.h"

namespace winui {

bool PaintMinimizedIcon(HWND window, HICON icon) {
    if (!IsIconic(window)) return false;
    PaintDc paint(window);
    SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client{};
    GetClientRect(window, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, icon);
    return true;
}

}  // namespace winui

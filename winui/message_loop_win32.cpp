#include "message_loop_win32.h"

#include <windows.h>

namespace winui {

bool IsDialogBox(HWND window) {
    // The name and its end, with a byte to tell a longer name.
    char className[8] = {};
    return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0;
}

int RunMessageLoop() {
    MSG msg{};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && IsDialogBox(root) && IsDialogMessageA(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got < 0 ? 1 : static_cast<int>(msg.wParam);
}

bool RunModalLoop(HWND box, const bool& running) {
    MSG msg;
    while (running) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the outer loop
            return false;
        }
        if (got < 0) return false;
        if (box != nullptr && IsWindow(box) && IsDialogMessageA(box, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace winui

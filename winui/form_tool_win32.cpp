#include "form_tool_win32.h"

#include <string>
#include <utility>

#include "message_boxes_win32.h"

namespace winui {

FormToolDevice::FormToolDevice(const char* title, std::function<HWND()> owner)
    : device_(loader_, [title, owner = std::move(owner)](const std::string& message) {
          FatalMissing(owner ? owner() : nullptr, message, title);
      }) {}

namespace {

bool IsDialogBox(HWND window) {
    char className[8] = {};
    return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0;
}

}  // namespace

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

}  // namespace winui

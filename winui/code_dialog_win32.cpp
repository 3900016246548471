#include "code_dialog_win32.h"

#include <cstring>

namespace winui {

CodeDialogTemplate::CodeDialogTemplate(DWORD style, const char* caption, DWORD exStyle) {
    // DLGTEMPLATE, then the menu (none), the class (the dialog class) and
    // the caption in UTF-16; no font (the controls get theirs) and no items.
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE head{};
    head.style = style & ~static_cast<DWORD>(DS_SETFONT);
    head.dwExtendedStyle = exStyle;
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // menu
    words.push_back(0);  // class
    const int length = MultiByteToWideChar(CP_ACP, 0, caption, -1, nullptr, 0);
    std::vector<WCHAR> title(length > 0 ? static_cast<std::size_t>(length) : 1, 0);
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, caption, -1, title.data(), length);
    for (WCHAR c : title) words.push_back(static_cast<WORD>(c));
    storage_.assign((words.size() * sizeof(WORD) + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    std::memcpy(storage_.data(), words.data(), words.size() * sizeof(WORD));
}

void SizeClientInTwips(HWND window, const TwipScale& scale, double width, double height, bool centre) {
    RECT frame{0, 0, scale.XToPixels(width), scale.YToPixels(height)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, GetMenu(window) != nullptr, exStyle);
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (centre) {
        x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(window, nullptr, x, y, outerWidth, outerHeight, flags);
}

}  // namespace winui

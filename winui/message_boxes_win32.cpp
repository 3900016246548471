#include "message_boxes_win32.h"

#include "debug_text.h"

namespace winui {

void ShowErrorReport(HWND owner) { MessageBoxA(owner, "Critical error occured", "Error report", MB_OK | MB_ICONSTOP); }

void ShowDebugBox(HWND owner, const std::string& tag, long status) {
    MessageBoxA(owner, DebugBoxText(tag, status).c_str(), "Debug", MB_OK);
}

bool Confirm(HWND owner, const std::string& question, const char* title, DefaultButton defaultButton) {
    const UINT defaultFlag = defaultButton == DefaultButton::kCancel ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return MessageBoxA(owner, question.c_str(), title, MB_OKCANCEL | MB_ICONEXCLAMATION | defaultFlag) == IDOK;
}

int ShowWideBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

void FatalMissing(HWND owner, const std::string& message, const char* title) {
    MessageBoxA(owner, message.c_str(), title, MB_OK | MB_ICONSTOP | MB_TOPMOST);
    ExitProcess(1);
}

}  // namespace winui

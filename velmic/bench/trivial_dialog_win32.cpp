// The yardstick of Velmic's start-up and idle numbers: a dialog built in
// code the same way, with nothing behind it.
#include <windows.h>

#include "code_dialog_win32.h"
#include "controls_win32.h"
#include "dialog_win32.h"
#include "form_tool_win32.h"
#include "message_loop_win32.h"

namespace {

class TrivialDialog final : public winui::Dialog {
    bool OnInitDialog() override {
        winui::SizeClientInTwips(Handle(), winui::ScreenTwipScale(), 3735, 1305);
        return true;
    }
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) override {
        if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
            DestroyWindow(Handle());
            PostQuitMessage(0);
            return TRUE;
        }
        return FALSE;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    TrivialDialog dialog;
    const winui::CodeDialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER,
                                                   "Trivial dialog");
    if (dialog.CreateModelessIndirect(instance, dialogTemplate.Get(), nullptr) == nullptr) return 1;
    ShowWindow(dialog.Handle(), SW_SHOW);
    return winui::RunMessageLoop();
}

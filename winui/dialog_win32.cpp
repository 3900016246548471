#include "dialog_win32.h"

namespace winui {

// As with windows: a modeless box that outlives its object is let go
// before it is destroyed.
Dialog::~Dialog() {
    if (window_ == nullptr || !modeless_) return;
    HWND window = window_;
    SetWindowLongPtrA(window, DWLP_USER, 0);
    window_ = nullptr;
    DestroyWindow(window);
}

INT_PTR Dialog::DoModal(HINSTANCE instance, int templateId, HWND owner) {
    if (window_ != nullptr) return -1;
    modeless_ = false;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::Procedure,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModalUnicode(HINSTANCE instance, int templateId, HWND owner) {
    if (window_ != nullptr) return -1;
    modeless_ = false;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &Dialog::Procedure,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModelessIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner) {
    if (window_ != nullptr || dialogTemplate == nullptr) return nullptr;
    modeless_ = true;
    return CreateDialogIndirectParamA(instance, dialogTemplate, owner, &Dialog::Procedure,
                                      reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::Result(LRESULT result) {
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        if (self == nullptr) return TRUE;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        return self->OnInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (self == nullptr || self->window_ != window) return FALSE;
    const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return handled;
}

namespace {

class SimpleBox final : public Dialog {
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            EndDialog(Handle(), LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
};

}  // namespace

INT_PTR ShowSimpleBox(HINSTANCE instance, int templateId, HWND owner) {
    SimpleBox box;
    return box.DoModal(instance, templateId, owner);
}

INT_PTR ShowSimpleBoxUnicode(HINSTANCE instance, int templateId, HWND owner) {
    SimpleBox box;
    return box.DoModalUnicode(instance, templateId, owner);
}

}  // namespace winui

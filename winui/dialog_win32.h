// A dialog object behind a dialog box: one dialog procedure, which finds
// the object from the box (named at WM_INITDIALOG) and hands it the
// message. Template dialogs from the resources run modal (DoModal);
// dialogs built in code pass their template in memory and run modeless
// (CreateModelessIndirect).
#pragma once

#include <windows.h>

namespace winui {

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // DialogBoxParamA: the box's result, or -1 when it could not be made.
    INT_PTR DoModal(HINSTANCE instance, int templateId, HWND owner = nullptr);
    // DialogBoxParamW: a Unicode box, whose template texts (in any script)
    // reach the box and its controls whatever the system's code page.
    INT_PTR DoModalUnicode(HINSTANCE instance, int templateId, HWND owner = nullptr);
    // CreateDialogIndirectParamA with a template in memory (see
    // code_dialog_win32.h); the box lives until DestroyWindow (or the object
    // ends). Run the message loop with RunMessageLoop so that its keys work.
    HWND CreateModelessIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner = nullptr);

    // Null before WM_INITDIALOG and after the box is destroyed.
    HWND Handle() const { return window_; }

protected:
    // WM_INITDIALOG; true lets the box set the focus.
    virtual bool OnInitDialog() { return true; }
    // Every later message, as a dialog procedure answers: true when handled.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The answer for a message whose result is not the procedure's return
    // value: it goes into DWLP_MSGRESULT and the message counts as handled.
    INT_PTR Result(LRESULT result);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool modeless_ = false;
};

// A modal template box that only closes: OK and Cancel (or Escape, or the
// close box) end it. About boxes are such boxes.
INT_PTR ShowSimpleBox(HINSTANCE instance, int templateId, HWND owner);
// The same as a Unicode box (DoModalUnicode).
INT_PTR ShowSimpleBoxUnicode(HINSTANCE instance, int templateId, HWND owner);

}  // namespace winui

#include "nystra_dlg_win32.h"

#include <cstring>

namespace nystra {
namespace {

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(box, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

NystraDlgWindow::NystraDlgWindow(HINSTANCE instance, const RegisteredMessages& messages)
    : instance_(instance), messages_(messages), dlg_(*this) {}

INT_PTR NystraDlgWindow::DoModal() {
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_NYSTRA_DIALOG), nullptr, &NystraDlgWindow::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK NystraDlgWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<NystraDlgWindow*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<NystraDlgWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    return self != nullptr ? self->Handle(message, wParam, lParam) : FALSE;
}

// A result for a message that is not one of the few whose result a dialog
// procedure returns directly.
INT_PTR NystraDlgWindow::Result(LRESULT result) {
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

HICON NystraDlgWindow::Icon(int id, int size) const {
    return static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
}

void NystraDlgWindow::OnInitDialog() {
    // System menu: the about box, then "Always Top", which the interlock
    // checks when it makes the window topmost.
    systemMenu_ = GetSystemMenu(window_, FALSE);
    if (systemMenu_ != nullptr) {
        char about[64] = {};
        if (LoadStringA(instance_, IDS_ABOUTBOX, about, sizeof about) > 0) {
            AppendMenuA(systemMenu_, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu_, MF_STRING, IDM_ABOUTBOX, about);
        }
        AppendMenuA(systemMenu_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu_, MF_STRING, IDM_ALWAYS_TOP, "Always Top");
    }
    programIcon_ = Icon(IDR_MAINFRAME, GetSystemMetrics(SM_CXICON));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(Icon(IDR_MAINFRAME, GetSystemMetrics(SM_CXSMICON))));
    SendDlgItemMessageA(window_, IDC_REQUEST_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(Icon(IDI_REQUEST, GetSystemMetrics(SM_CXICON))), 0);

    tray_ = std::make_unique<NOTIFYICONDATAA>();
    std::memset(tray_.get(), 0, sizeof *tray_);
    tray_->cbSize = sizeof *tray_;
    tray_->hWnd = window_;
    tray_->uID = 0;
    tray_->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_->uCallbackMessage = messages_.tray;
    std::strncpy(tray_->szTip, kTrayTip, sizeof tray_->szTip - 1);

    dlg_.OnInitDialog();
}

INT_PTR NystraDlgWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // Registered messages first; a name that could not be registered is 0
    // and matches nothing.
    if (message != 0) {
        if (message == messages_.tray) {
            dlg_.OnTrayNotify(static_cast<std::uintptr_t>(lParam));
            return Result(0);
        }
        if (message == messages_.active) {
            dlg_.OnActivateRequest(static_cast<std::uintptr_t>(wParam));
            return Result(0);
        }
        if (message == messages_.taskbarCreated) {
            dlg_.OnTaskbarCreated();
            return Result(0);
        }
    }
    switch (message) {
    case WM_TIMER:
        dlg_.OnTimer(static_cast<std::uintptr_t>(wParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RELEASE:
            dlg_.OnRelease();
            return TRUE;
        case IDC_MINIMIZE:
            dlg_.OnMinimize();
            return TRUE;
        case IDCANCEL:  // Escape
            dlg_.OnClose();
            return TRUE;
        case IDOK:  // Enter: the hidden default button does nothing
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        dlg_.OnClose();
        return TRUE;
    case WM_SYSCOMMAND:
        return dlg_.OnSysCommand(static_cast<std::uintptr_t>(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
        return PaintMinimized() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(programIcon_);
    case WM_ENDSESSION:
        dlg_.OnEndSession(wParam != FALSE);
        return Result(0);
    case WM_DESTROY:
        dlg_.OnDestroy();
        tray_.reset();
        return TRUE;
    default:
        return FALSE;
    }
}

// The minimised window shows the program icon, centred.
bool NystraDlgWindow::PaintMinimized() {
    if (!IsIconic(window_)) return false;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, programIcon_);
    EndPaint(window_, &paint);
    return true;
}

void NystraDlgWindow::SetText(int control, const std::string& text) {
    SetDlgItemTextA(window_, control, text.c_str());
}

void NystraDlgWindow::ShowIndicator(bool shown) {
    ShowWindow(GetDlgItem(window_, IDC_REQUEST_ICON), shown ? SW_SHOW : SW_HIDE);
}

void NystraDlgWindow::AddTrayIcon(int icon) {
    if (!tray_) return;
    tray_->hIcon = Icon(icon, GetSystemMetrics(SM_CXSMICON));
    // After the task bar came back the icon may still be known: then it is
    // brought up to date instead.
    if (!Shell_NotifyIconA(NIM_ADD, tray_.get())) Shell_NotifyIconA(NIM_MODIFY, tray_.get());
}

void NystraDlgWindow::SetTrayIcon(int icon) {
    if (!tray_) return;
    tray_->hIcon = Icon(icon, GetSystemMetrics(SM_CXSMICON));
    Shell_NotifyIconA(NIM_MODIFY, tray_.get());
}

void NystraDlgWindow::DeleteTrayIcon() {
    if (tray_) Shell_NotifyIconA(NIM_DELETE, tray_.get());
}

// Posted, not sent: a window that does not answer cannot hold up the polls.
void NystraDlgWindow::BroadcastUpdate() {
    if (messages_.update != 0) PostMessageA(HWND_BROADCAST, messages_.update, 0, 0);
}

void NystraDlgWindow::StartPollTimer(unsigned milliseconds) { SetTimer(window_, ID_POLL_TIMER, milliseconds, nullptr); }

void NystraDlgWindow::StopPollTimer() { KillTimer(window_, ID_POLL_TIMER); }

void NystraDlgWindow::ShowAndRestore() {
    ShowWindow(window_, SW_SHOW);
    ShowWindow(window_, SW_RESTORE);
}

void NystraDlgWindow::BringToForeground() {
    BringWindowToTop(window_);
    ShowAndRestore();
    SetForegroundWindow(window_);
}

void NystraDlgWindow::MinimizeAndHide() {
    ShowWindow(window_, SW_MINIMIZE);
    ShowWindow(window_, SW_HIDE);
}

void NystraDlgWindow::SetTopmost(bool topmost) {
    if (systemMenu_ != nullptr) {
        CheckMenuItem(systemMenu_, IDM_ALWAYS_TOP, MF_BYCOMMAND | (topmost ? MF_CHECKED : MF_UNCHECKED));
    }
    SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void NystraDlgWindow::ShowAbout() {
    DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUTBOX), window_, AboutProc, 0);
}

bool NystraDlgWindow::Confirm(const std::string& question) {
    return MessageBoxA(window_, question.c_str(), kBoxTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

void NystraDlgWindow::EndDialog() { ::EndDialog(window_, IDOK); }

}  // namespace nystra

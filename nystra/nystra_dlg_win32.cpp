#include "nystra_dlg_win32.h"

#include <cstring>

#include "controls_win32.h"
#include "handles_win32.h"
#include "message_boxes_win32.h"
#include "message_loop_win32.h"

namespace nystra {
namespace {

// Room for the about item's text from the string table.
constexpr int kMenuTextSize = 64;

// The system menu's own items: their commands lie below the system's SC_*
// range, and the about item's low four bits are free (the system keeps
// them in its commands).
static_assert(IDM_ABOUTBOX < SC_SIZE && IDM_ALWAYS_TOP < SC_SIZE && (IDM_ABOUTBOX & 0x000F) == 0,
              "system menu commands of the program's own");

}  // namespace

NystraDlgWindow::NystraDlgWindow(HINSTANCE instance, const RegisteredMessages& messages, TraceSink& trace)
    : instance_(instance), messages_(messages), dlg_(*this, trace) {}

INT_PTR NystraDlgWindow::DoModal() { return winui::Dialog::DoModal(instance_, IDD_NYSTRA_DIALOG); }

HICON NystraDlgWindow::Icon(int id, int size) const {
    return static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
}

bool NystraDlgWindow::OnInitDialog() {
    HWND window = Handle();
    // System menu: the about box, then "Always Top", which the interlock
    // checks when it makes the window topmost.
    const winui::SystemMenu menu(window);
    if (menu) {
        char about[kMenuTextSize] = {};
        if (LoadStringA(instance_, IDS_ABOUTBOX, about, sizeof about) > 0) {
            menu.AppendSeparator();
            menu.AppendItem(IDM_ABOUTBOX, about);
        }
        menu.AppendSeparator();
        menu.AppendItem(IDM_ALWAYS_TOP, "Always Top");
    }
    programIcon_.Set(window, instance_, IDR_MAINFRAME);
    // Icons loaded with LR_SHARED: the picture shows it without owning it.
    winui::ShowSharedIcon(GetDlgItem(window, IDC_REQUEST_ICON), Icon(IDI_REQUEST, GetSystemMetrics(SM_CXICON)));

    tray_ = std::make_unique<NOTIFYICONDATAA>();
    std::memset(tray_.get(), 0, sizeof *tray_);
    tray_->cbSize = sizeof *tray_;
    tray_->hWnd = window;
    tray_->uID = 0;
    tray_->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_->uCallbackMessage = messages_.tray;
    std::strncpy(tray_->szTip, kTrayTip, sizeof tray_->szTip - 1);

    dlg_.OnInitDialog();
    return true;
}

INT_PTR NystraDlgWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Registered messages first; a name that could not be registered is 0
    // and matches nothing.
    if (message != 0) {
        if (message == messages_.tray) {
            // lParam: the mouse message on the icon; the others do nothing.
            if (lParam == WM_LBUTTONDOWN) {
                dlg_.OnTrayClick();
            } else if (lParam == WM_RBUTTONDBLCLK) {
                dlg_.OnTrayRightDoubleClick();
            }
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
        if (message == messages_.stop) {
            dlg_.OnStopRequest();
            return Result(0);
        }
    }
    INT_PTR answer = FALSE;
    if (programIcon_.Answer(Handle(), message, &answer)) return answer;
    switch (message) {
    case WM_TIMER:
        if (wParam == pollTimer_.Id()) dlg_.OnPollTimer();
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
        // The system keeps the low four bits of its own commands.
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            dlg_.OnAboutCommand();
            return TRUE;
        }
        if (wParam == IDM_ALWAYS_TOP) {
            dlg_.OnAlwaysTopCommand();
            return TRUE;
        }
        return FALSE;  // the system's commands
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

void NystraDlgWindow::SetText(int control, const std::string& text) {
    SetDlgItemTextA(Handle(), control, text.c_str());
}

void NystraDlgWindow::ShowIndicator(bool shown) {
    ShowWindow(GetDlgItem(Handle(), IDC_REQUEST_ICON), shown ? SW_SHOW : SW_HIDE);
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

void NystraDlgWindow::StartPollTimer(unsigned milliseconds) { pollTimer_.Start(Handle(), milliseconds); }

void NystraDlgWindow::StopPollTimer() { pollTimer_.Stop(); }

void NystraDlgWindow::ShowAndRestore() {
    ShowWindow(Handle(), SW_SHOW);
    ShowWindow(Handle(), SW_RESTORE);
}

void NystraDlgWindow::BringToForeground() {
    BringWindowToTop(Handle());
    ShowAndRestore();
    SetForegroundWindow(Handle());
}

void NystraDlgWindow::MinimizeAndHide() {
    ShowWindow(Handle(), SW_MINIMIZE);
    ShowWindow(Handle(), SW_HIDE);
}

void NystraDlgWindow::SetTopmost(bool topmost) {
    winui::SystemMenu(Handle()).SetChecked(IDM_ALWAYS_TOP, topmost);
    winui::SetTopmost(Handle(), topmost);
}

void NystraDlgWindow::ShowAbout() { winui::ShowSimpleBox(instance_, IDD_ABOUTBOX, Handle()); }

bool NystraDlgWindow::Confirm(const std::string& question) {
    return winui::Confirm(Handle(), question, kBoxTitle, winui::DefaultButton::kCancel);
}

namespace {

// A modal box of this thread that the dialog owns: a question or the about
// box, whose own message loop would keep the program alive after the end.
BOOL CALLBACK EndOwnedBox(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && winui::IsDialogBox(window)) {
        ::EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

}  // namespace

void NystraDlgWindow::EndDialog() {
    // The end may come while a box is open (a stop request, the end of the
    // session): the box answers Cancel, which ends nothing more.
    EnumThreadWindows(GetCurrentThreadId(), &EndOwnedBox, reinterpret_cast<LPARAM>(Handle()));
    ::EndDialog(Handle(), IDOK);
}

}  // namespace nystra

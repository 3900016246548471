#include "start_dlg_win32.h"

#include "code_dialog_win32.h"
#include "message_boxes_win32.h"
#include "velmic_ids.h"

namespace velmic {
namespace {

constexpr UINT_PTR kMainTimer = 1;
constexpr const char* kCaption = "Touch panel settings  -  Information";
constexpr double kClientWidth = 3735;
constexpr double kClientHeight = 1305;
// Room for the longest message the window shows, with its terminating zero.
constexpr int kInfoMsgCapacity = 256;

}  // namespace

StartDlgWindow::StartDlgWindow(HINSTANCE instance) : instance_(instance), mainTimer_(kMainTimer) {}

// The settings dialog goes first, then the timer, then this window.
StartDlgWindow::~StartDlgWindow() = default;

bool StartDlgWindow::Create() {
    scale_ = winui::ScreenTwipScale();
    font_ = winui::MessageFont();
    const winui::CodeDialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, kCaption);
    return CreateModelessIndirect(instance_, dialog.Get(), nullptr) != nullptr;
}

bool StartDlgWindow::OnInitDialog() {
    HWND window = Handle();
    winui::SizeClientInTwips(window, scale_, kClientWidth, kClientHeight);
    winui::CreateChild(window, scale_, font_.Get(),
                       {"STATIC", "", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, {120, 240, 3495, 255}, IDC_INFO_MSG});
    winui::CreateChild(
        window, scale_, font_.Get(),
        {"BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {1200, 720, 1335, 495}, IDCANCEL});
    return true;
}

void StartDlgWindow::Show() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

HWND StartDlgWindow::BoxOwner() const {
    if (mainDlg_ && mainDlg_->Handle() != nullptr && IsWindowVisible(mainDlg_->Handle())) return mainDlg_->Handle();
    if (Handle() != nullptr && IsWindowVisible(Handle())) return Handle();
    return nullptr;
}

INT_PTR StartDlgWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (logic_ == nullptr) return FALSE;
    switch (message) {
    case WM_TIMER:
        if (wParam != mainTimer_.Id()) return FALSE;
        logic_->MainTimer_Timer();
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended once this returns: the panel gets
        // its saved set back now.
        if (wParam) logic_->SessionEnd();
        return TRUE;
    case WM_COMMAND:
    case WM_CLOSE:
        // Cancel, Esc and the close box all end the program.
        if (message == WM_COMMAND && LOWORD(wParam) != IDCANCEL) return FALSE;
        logic_->CancelBtn_Click();
        return TRUE;
    default:
        return FALSE;
    }
}

void StartDlgWindow::StartTimer(unsigned milliseconds) { mainTimer_.Start(Handle(), milliseconds); }

void StartDlgWindow::StopTimer() { mainTimer_.Stop(); }

void StartDlgWindow::SetInfoMsg(const std::string& text) {
    // The poll repeats the message every 200 ms: only a new one is drawn.
    char shown[kInfoMsgCapacity] = {};
    GetDlgItemTextA(Handle(), IDC_INFO_MSG, shown, sizeof shown);
    if (text != shown) SetDlgItemTextA(Handle(), IDC_INFO_MSG, text.c_str());
}

void StartDlgWindow::SetVisible(bool visible) {
    if (visible == (IsWindowVisible(Handle()) != FALSE)) return;
    ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
    if (visible) SetForegroundWindow(Handle());
}

void StartDlgWindow::ShowErrorReport() { winui::ShowErrorReport(BoxOwner()); }

void StartDlgWindow::ShowDebug(const std::string& tag, TavloStatus status) {
    winui::ShowDebugBox(BoxOwner(), tag, status);
}

MainView& StartDlgWindow::CreateMainDlg() {
    // The previous dialog's object ends here, at a tick, where none of its
    // handlers can be running.
    mainDlg_ = std::make_unique<MainDlgWindow>(instance_, scale_);
    // Either window may hear of the session's end first.
    mainDlg_->OnSessionEnd([this] {
        if (logic_ != nullptr) logic_->SessionEnd();
    });
    mainDlg_->Create();
    return *mainDlg_;
}

void StartDlgWindow::ShowMainDlg() {
    if (!mainDlg_) return;
    mainDlg_->Attach(logic_->Settings());
    mainDlg_->Show();
}

void StartDlgWindow::DestroyMainDlg() {
    if (mainDlg_) mainDlg_->DestroyBox();
}

void StartDlgWindow::Close() {
    StopTimer();
    if (mainDlg_) mainDlg_->DestroyBox();
    DestroyWindow(Handle());
    PostQuitMessage(0);
}

}  // namespace velmic

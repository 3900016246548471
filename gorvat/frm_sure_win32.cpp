#include "frm_sure_win32.h"

#include "controls_win32.h"
#include "gorvat_ids.h"
#include "handles_win32.h"
#include "message_loop_win32.h"

namespace gorvat {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

// Design layout in twips.
constexpr double kClientWidth = 4620, kClientHeight = 1725;
constexpr double kLabelLeft = 150, kLabelTop = 240, kLabelWidth = 4275, kLabelHeight = 195;
constexpr double kButtonTop = 720, kButtonWidth = 1215, kButtonHeight = 612;
constexpr int kYesNoCount = ButtonCount(ButtonSet::btnYesNo);
constexpr int kYesNoCancelCount = ButtonCount(ButtonSet::btnYesNoCancel);
constexpr double kYesNoLefts[kYesNoCount] = {840, 2520};
constexpr double kYesNoCancelLefts[kYesNoCancelCount] = {120, 1680, 3240};

using winui::ChildRect;

}  // namespace

FrmSureWindow::FrmSureWindow(HINSTANCE instance, HWND owner, const winui::TwipScale& scale, HFONT font)
    : instance_(instance), owner_(owner), scale_(scale), font_(font) {}

FrmSureWindow::~FrmSureWindow() { Unload(); }

void FrmSureWindow::Load() {
    Unload();
    winui::Window::RegisterClassOnce(instance_, GORVAT_SURE_CLASS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT frame = {0, 0, scale_.XToPixels(kClientWidth), scale_.YToPixels(kClientHeight)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // The box's vertical position: the designed box centred on the screen.
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window =
        Create(kExStyle, GORVAT_SURE_CLASS, "frmSure", kStyle, 0, top, width, height, owner_, nullptr, instance_);
    if (window == nullptr) return;

    auto child = [&](const char* cls, const char* text, DWORD style, double left, double childTop, double w, double h,
                     int id) {
        return winui::CreateChild(window, scale_, font_, {cls, text, WS_VISIBLE | style, {left, childTop, w, h}, id});
    };
    label_ = child("STATIC", "MessageArea", SS_CENTER | SS_NOPREFIX, kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight,
                   IDC_LBL_MSG_AREA);
    // The label sizes itself to its text, as it does for every later text.
    SetLabelText("MessageArea");
    for (int i = 0; i < kYesNoCount; ++i) {
        yesNo_[i] = child("BUTTON", "YesNo", BS_PUSHBUTTON | WS_TABSTOP, kYesNoLefts[i], kButtonTop, kButtonWidth,
                          kButtonHeight, IDC_BTN_YES_NO_0 + i);
    }
    for (int i = 0; i < kYesNoCancelCount; ++i) {
        yesNoCancel_[i] = child("BUTTON", "YesNoCancel", BS_PUSHBUTTON | WS_TABSTOP, kYesNoCancelLefts[i], kButtonTop,
                                kButtonWidth, kButtonHeight, IDC_BTN_YES_NO_CANCEL_0 + i);
    }
}

void FrmSureWindow::Unload() {
    if (Handle() == nullptr) return;
    timeOver_.Stop();
    ReleaseOwner();
    modal_ = false;
    Destroy();
}

double FrmSureWindow::ScreenWidth() { return scale_.XToTwips(GetSystemMetrics(SM_CXSCREEN)); }

double FrmSureWindow::Width() {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return scale_.XToTwips(rect.right - rect.left);
}

double FrmSureWindow::Height() {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return scale_.YToTwips(rect.bottom - rect.top);
}

void FrmSureWindow::SetLeft(double left) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    SetWindowPos(Handle(), nullptr, scale_.XToPixels(left), rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSureWindow::SetHeight(double height) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    SetWindowPos(Handle(), nullptr, 0, 0, rect.right - rect.left, scale_.YToPixels(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSureWindow::SetTitle(const std::string& title) { SetWindowTextA(Handle(), title.c_str()); }

double FrmSureWindow::LabelHeight() {
    const RECT rect = ChildRect(label_);
    return scale_.YToTwips(rect.bottom - rect.top);
}

int FrmSureWindow::MeasureLabel(const std::string& text) const {
    const RECT current = ChildRect(label_);
    RECT rect = {0, 0, current.right - current.left, 0};
    winui::WindowDc dc(label_);
    winui::SelectedObject font(dc.Get(), font_);
    // The same rules the static control draws its text with.
    DrawTextA(dc.Get(), text.empty() ? " " : text.c_str(), -1, &rect,
              DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return rect.bottom - rect.top;
}

void FrmSureWindow::SetLabelText(const std::string& text) {
    SetWindowTextA(label_, text.c_str());
    const RECT rect = ChildRect(label_);
    SetWindowPos(label_, nullptr, 0, 0, rect.right - rect.left, MeasureLabel(text),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FrmSureWindow::Button(ButtonSet set, int index) const {
    if (index < 0 || index >= ButtonCount(set)) return nullptr;
    return set == ButtonSet::btnYesNo ? yesNo_[index] : yesNoCancel_[index];
}

double FrmSureWindow::ButtonTop(ButtonSet set, int index) {
    HWND button = Button(set, index);
    return button != nullptr ? scale_.YToTwips(ChildRect(button).top) : 0;
}

void FrmSureWindow::SetButtonTop(ButtonSet set, int index, double top) {
    HWND button = Button(set, index);
    if (button == nullptr) return;
    const RECT rect = ChildRect(button);
    SetWindowPos(button, nullptr, rect.left, scale_.YToPixels(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSureWindow::SetCaption(ButtonSet set, int index, const std::string& caption) {
    if (HWND button = Button(set, index)) SetWindowTextA(button, caption.c_str());
}

void FrmSureWindow::HideSet(ButtonSet set) {
    for (int i = 0; i < ButtonCount(set); ++i) {
        ShowWindow(Button(set, i), SW_HIDE);
        EnableWindow(Button(set, i), FALSE);
    }
}

// The tab order of child windows is their Z order: the first listed button
// goes to the top, each next one behind the one before.
void FrmSureWindow::SetTabOrder(ButtonSet set, const std::vector<int>& order) {
    HWND previous = HWND_TOP;
    firstInTabOrder_ = nullptr;
    for (int index : order) {
        HWND button = Button(set, index);
        if (button == nullptr) continue;
        SetWindowPos(button, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = button;
        if (firstInTabOrder_ == nullptr) firstInTabOrder_ = button;
    }
}

void FrmSureWindow::StartTimer(unsigned milliseconds) { timeOver_.Start(Handle(), milliseconds); }

void FrmSureWindow::StopTimer() { timeOver_.Stop(); }

void FrmSureWindow::Beep() { MessageBeep(MB_OK); }

void FrmSureWindow::ShowModal() {
    if (Handle() == nullptr) return;
    modal_ = true;
    if (owner_ != nullptr && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (firstInTabOrder_ != nullptr) {
        SendMessageA(firstInTabOrder_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SetFocus(firstInTabOrder_);
    }
    winui::RunModalLoop(Handle(), modal_);
    modal_ = false;
    ReleaseOwner();
}

void FrmSureWindow::EndModal() {
    modal_ = false;
    ReleaseOwner();
    if (Handle() != nullptr) {
        ShowWindow(Handle(), SW_HIDE);
        // Ended from a message sent by another process (WM_ENDSESSION),
        // the modal loop still waits in GetMessage for a posted one: this
        // one lets it see that the box has ended.
        PostMessageA(Handle(), WM_NULL, 0, 0);
    }
}

// The owner is enabled again before the box goes away, so the activation
// returns to it rather than to another program.
void FrmSureWindow::ReleaseOwner() {
    if (!ownerDisabled_) return;
    ownerDisabled_ = false;
    EnableWindow(owner_, TRUE);
    SetActiveWindow(owner_);
}

LRESULT FrmSureWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) != BN_CLICKED || form_ == nullptr) return 0;
        // Enter and Escape outside a button (IDOK, IDCANCEL) choose nothing.
        if (id >= IDC_BTN_YES_NO_0 && id < IDC_BTN_YES_NO_0 + kYesNoCount) {
            form_->btnYesNo_Click(id - IDC_BTN_YES_NO_0);
        } else if (id >= IDC_BTN_YES_NO_CANCEL_0 && id < IDC_BTN_YES_NO_CANCEL_0 + kYesNoCancelCount) {
            form_->btnYesNoCancel_Click(id - IDC_BTN_YES_NO_CANCEL_0);
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == timeOver_.Id() && form_ != nullptr) {
            form_->TimeOver_Timer();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Closed without a button: the box ends with no answer.
        if (form_ != nullptr) form_->Form_QueryUnload();
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace gorvat

#include "frm_sure_win32.h"

#include "gorvat_ids.h"

namespace gorvat {
namespace {

constexpr UINT_PTR kTimeOverTimer = 1;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

// Design layout in twips.
constexpr double kClientWidth = 4620, kClientHeight = 1725;
constexpr double kLabelLeft = 150, kLabelTop = 240, kLabelWidth = 4275, kLabelHeight = 195;
constexpr double kButtonTop = 720, kButtonWidth = 1215, kButtonHeight = 612;
constexpr double kYesNoLefts[2] = {840, 2520};
constexpr double kYesNoCancelLefts[3] = {120, 1680, 3240};

const char* ClassName() { return GORVAT_SURE_CLASS; }

void RegisterOnce(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(instance, ClassName(), &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ClassName();
    RegisterClassExA(&wc);
}

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

FrmSureWindow::FrmSureWindow(HINSTANCE instance, HWND owner, const TwipScale& scale, HFONT font)
    : instance_(instance), owner_(owner), scale_(scale), font_(font) {}

FrmSureWindow::~FrmSureWindow() { Unload(); }

void FrmSureWindow::Load() {
    Unload();
    RegisterOnce(instance_, &FrmSureWindow::WindowProc);
    RECT frame = {0, 0, scale_.XToPixels(kClientWidth), scale_.YToPixels(kClientHeight)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // The box's vertical position: the designed box centred on the screen.
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExA(kExStyle, ClassName(), "frmSure", kStyle, 0, top, width, height, owner_, nullptr,
                              instance_, this);
    if (window_ == nullptr) return;

    auto child = [&](const char* cls, const char* text, DWORD style, double left, double childTop, double w,
                     double h, int id) {
        HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, scale_.XToPixels(left),
                                       scale_.YToPixels(childTop), scale_.XToPixels(w), scale_.YToPixels(h), window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return control;
    };
    label_ = child("STATIC", "MessageArea", SS_CENTER | SS_NOPREFIX, kLabelLeft, kLabelTop, kLabelWidth,
                   kLabelHeight, IDC_LBL_MSG_AREA);
    // The label sizes itself to its text, as it does for every later text.
    SetLabelText("MessageArea");
    for (int i = 0; i < 2; ++i) {
        yesNo_[i] = child("BUTTON", "YesNo", BS_PUSHBUTTON | WS_TABSTOP, kYesNoLefts[i], kButtonTop, kButtonWidth,
                          kButtonHeight, IDC_BTN_YES_NO_0 + i);
    }
    for (int i = 0; i < 3; ++i) {
        yesNoCancel_[i] = child("BUTTON", "YesNoCancel", BS_PUSHBUTTON | WS_TABSTOP, kYesNoCancelLefts[i], kButtonTop,
                                kButtonWidth, kButtonHeight, IDC_BTN_YES_NO_CANCEL_0 + i);
    }
}

void FrmSureWindow::Unload() {
    if (window_ == nullptr) return;
    KillTimer(window_, kTimeOverTimer);
    ReleaseOwner();
    HWND window = window_;
    window_ = nullptr;
    modal_ = false;
    DestroyWindow(window);
}

double FrmSureWindow::ScreenWidth() { return scale_.XToTwips(GetSystemMetrics(SM_CXSCREEN)); }

double FrmSureWindow::Width() {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return scale_.XToTwips(rect.right - rect.left);
}

double FrmSureWindow::Height() {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return scale_.YToTwips(rect.bottom - rect.top);
}

void FrmSureWindow::SetLeft(double left) {
    RECT rect{};
    GetWindowRect(window_, &rect);
    SetWindowPos(window_, nullptr, scale_.XToPixels(left), rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSureWindow::SetHeight(double height) {
    RECT rect{};
    GetWindowRect(window_, &rect);
    SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, scale_.YToPixels(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSureWindow::SetTitle(const std::string& title) { SetWindowTextA(window_, title.c_str()); }

double FrmSureWindow::LabelHeight() {
    const RECT rect = ChildRect(label_);
    return scale_.YToTwips(rect.bottom - rect.top);
}

int FrmSureWindow::MeasureLabel(const std::string& text) const {
    const RECT current = ChildRect(label_);
    RECT rect = {0, 0, current.right - current.left, 0};
    HDC dc = GetDC(label_);
    HGDIOBJ previous = SelectObject(dc, font_);
    // The same rules the static control draws its text with.
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rect,
              DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label_, dc);
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

void FrmSureWindow::StartTimer(unsigned milliseconds) { SetTimer(window_, kTimeOverTimer, milliseconds, nullptr); }

void FrmSureWindow::StopTimer() {
    if (window_ != nullptr) KillTimer(window_, kTimeOverTimer);
}

void FrmSureWindow::Beep() { MessageBeep(MB_OK); }

void FrmSureWindow::ShowModal() {
    if (window_ == nullptr) return;
    modal_ = true;
    if (owner_ != nullptr && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (firstInTabOrder_ != nullptr) {
        SendMessageA(firstInTabOrder_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SetFocus(firstInTabOrder_);
    }
    MSG msg;
    while (modal_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the outer loop
            break;
        }
        if (got < 0) break;
        if (window_ != nullptr && IsDialogMessageA(window_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    modal_ = false;
    ReleaseOwner();
}

void FrmSureWindow::EndModal() {
    modal_ = false;
    ReleaseOwner();
    if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

// The owner is enabled again before the box goes away, so the activation
// returns to it rather than to another program.
void FrmSureWindow::ReleaseOwner() {
    if (!ownerDisabled_) return;
    ownerDisabled_ = false;
    EnableWindow(owner_, TRUE);
    SetActiveWindow(owner_);
}

LRESULT CALLBACK FrmSureWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FrmSureWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT FrmSureWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED || form_ == nullptr) return 0;
            // Enter and Escape outside a button (IDOK, IDCANCEL) choose nothing.
            if (id >= IDC_BTN_YES_NO_0 && id < IDC_BTN_YES_NO_0 + 2) {
                form_->btnYesNo_Click(id - IDC_BTN_YES_NO_0);
            } else if (id >= IDC_BTN_YES_NO_CANCEL_0 && id < IDC_BTN_YES_NO_CANCEL_0 + 3) {
                form_->btnYesNoCancel_Click(id - IDC_BTN_YES_NO_CANCEL_0);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kTimeOverTimer && form_ != nullptr) {
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
    return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace gorvat

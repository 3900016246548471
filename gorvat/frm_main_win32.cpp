#include "frm_main_win32.h"

#include "controls_win32.h"
#include "frm_sure_win32.h"
#include "gorvat_ids.h"
#include "mdl_main.h"
#include "system_menu_win32.h"

namespace gorvat {
namespace {

constexpr COLORREF kGreen = RGB(0, 64, 0);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr const char* kFrameClass = "GorvatFrame";
constexpr const char* kMarkClass = "GorvatMark";
constexpr const char* kWindowTitle = "Touch Panel Calibration";

// The '+' in pixels: 30 across with arms 4 wide, and a one-pixel black
// outline around it, so 32 across in all.
constexpr int kMarkSize = 32;
constexpr int kArmStart = 14;  // first pixel of the yellow arm, across the arm
constexpr int kArmWidth = 4;

// The hidden diagnostic labels, in twips.
constexpr DesignSize kDiagnosticLabelSize = {1200, 240};

struct DiagnosticLabel {
    Control control;
    int id;
    const char* text;
};
constexpr DiagnosticLabel kDiagnosticLabels[] = {
    {Control::DbgMessage, IDC_DBG_MESSAGE, "DbgMessage"},
    {Control::Label2, IDC_LABEL2, "X (a, b)"},
    {Control::Label4, IDC_LABEL4, "Y (a, b)"},
    {Control::dbgXa, IDC_DBG_XA, "dbgXa"},
    {Control::dbgXb, IDC_DBG_XB, "dbgXb"},
    {Control::dbgYa, IDC_DBG_YA, "dbgYa"},
    {Control::dbgYb, IDC_DBG_YB, "dbgYb"},
    {Control::DbgPosX, IDC_DBG_POS_X, "DbgPosX"},
    {Control::DbgPosY, IDC_DBG_POS_Y, "DbgPosY"},
    {Control::DbgSizeX, IDC_DBG_SIZE_X, "DbgSizeX"},
    {Control::DbgSizeY, IDC_DBG_SIZE_Y, "DbgSizeY"},
};

double MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
double MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// The mark's offset inside its picture, which may be larger than the mark
// at more than 96 dots per inch.
POINT MarkOrigin(HWND mark) {
    RECT client{};
    GetClientRect(mark, &client);
    return POINT{(client.right - kMarkSize) / 2, (client.bottom - kMarkSize) / 2};
}

}  // namespace

FrmMainWindow::FrmMainWindow(HINSTANCE instance) : instance_(instance) {}

// The window's last messages still reach this object.
FrmMainWindow::~FrmMainWindow() { Destroy(); }

bool FrmMainWindow::RegisterClasses() {
    return winui::Window::RegisterClassOnce(instance_, GORVAT_MAIN_CLASS, green_.Get()) &&
           winui::Window::RegisterClassOnce(instance_, kFrameClass, green_.Get()) &&
           winui::Window::RegisterClassOnce(instance_, kMarkClass, nullptr);
}

bool FrmMainWindow::Create() {
    scale_ = winui::ScreenTwipScale();
    font_ = winui::MessageFont();
    green_.Reset(CreateSolidBrush(kGreen));
    if (!RegisterClasses()) return false;

    // Borderless and without a title bar: the client area is the screen,
    // so pointer positions in the window are screen positions.
    HWND window = winui::Window::Create(0, GORVAT_MAIN_CLASS, kWindowTitle, WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN, 0,
                                        0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, instance_);
    if (window == nullptr) return false;
    CreateControls();
    if (form_ != nullptr) form_->Form_Load();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(controls_[Control::QuitButton]);
    return true;
}

void FrmMainWindow::CreateControls() {
    auto create = [&](const char* cls, const char* text, DWORD style, double left, double top, DesignSize size, int id,
                      winui::Window* object = nullptr) {
        return winui::CreateChild(Handle(), scale_, font_.Get(),
                                  {cls, text, style, {left, top, size.width, size.height}, id, 0, object});
    };

    HWND frame = create(kFrameClass, "Touch Panel Calibration", WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, kAreaMessageSize,
                        IDC_AREA_MESSAGE, &frame_);
    controls_[Control::areaMessage] = frame;
    // The help line lies on the frame as a sibling above it, so that it can
    // be found by its identifier on the window; it moves, shows and hides
    // with the frame. A static control without SS_NOTIFY lets presses
    // through, like the frame.
    HWND help = create("STATIC", "textMessage", WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, kTextMessageLeft,
                       kTextMessageTop, kTextMessageSize, IDC_TEXT_MESSAGE);
    SetWindowPos(help, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    controls_[Control::textMessage] = help;
    controls_[Control::QuitButton] =
        create("BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, kQuitButtonSize, IDC_QUIT_BUTTON);

    HWND mark = create(kMarkClass, "", WS_DISABLED, 0, 0, kPicPointSize, IDC_PIC_POINT, &mark_);
    controls_[Control::picPoint] = mark;
    // Only the '+' and its outline belong to the picture: around it the
    // window shows through and takes the presses itself.
    const POINT o = MarkOrigin(mark);
    winui::Region across(CreateRectRgn(o.x, o.y + kArmStart - 1, o.x + kMarkSize, o.y + kArmStart + kArmWidth + 1));
    winui::Region down(CreateRectRgn(o.x + kArmStart - 1, o.y, o.x + kArmStart + kArmWidth + 1, o.y + kMarkSize));
    CombineRgn(across.Get(), across.Get(), down.Get(), RGN_OR);
    SetWindowRgn(mark, across.Release(), FALSE);  // the window owns the region now

    for (const DiagnosticLabel& label : kDiagnosticLabels) {
        controls_[label.control] =
            create("STATIC", label.text, WS_DISABLED | SS_LEFT | SS_NOPREFIX, 0, 0, kDiagnosticLabelSize, label.id);
    }
}

HWND FrmMainWindow::ControlWindow(Control control) const {
    const auto found = controls_.find(control);
    return found != controls_.end() ? found->second : nullptr;
}

double FrmMainWindow::ScreenWidth() { return scale_.XToTwips(GetSystemMetrics(SM_CXSCREEN)); }

double FrmMainWindow::ScreenHeight() { return scale_.YToTwips(GetSystemMetrics(SM_CYSCREEN)); }

void FrmMainWindow::SetText(Control control, const std::string& text) {
    if (HWND child = ControlWindow(control)) SetWindowTextA(child, text.c_str());
}

void FrmMainWindow::Move(Control control, double left, double top) {
    HWND child = ControlWindow(control);
    if (child == nullptr) return;
    const int x = scale_.XToPixels(left);
    const int y = scale_.YToPixels(top);
    SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (control == Control::areaMessage) {
        SetWindowPos(ControlWindow(Control::textMessage), nullptr, x + scale_.XToPixels(kTextMessageLeft),
                     y + scale_.YToPixels(kTextMessageTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The mark's steps are each shown as they happen: the window and its
    // children, the mark included, are painted now, not after the move.
    if (control == Control::picPoint && IsWindowVisible(child)) {
        RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

double FrmMainWindow::Left(Control control) {
    HWND child = ControlWindow(control);
    return child != nullptr ? scale_.XToTwips(winui::ChildRect(child).left) : 0;
}

double FrmMainWindow::Top(Control control) {
    HWND child = ControlWindow(control);
    return child != nullptr ? scale_.YToTwips(winui::ChildRect(child).top) : 0;
}

void FrmMainWindow::SetVisible(Control control, bool visible) {
    if (HWND child = ControlWindow(control)) ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    if (control == Control::areaMessage) SetVisible(Control::textMessage, visible);
}

void FrmMainWindow::SetEnabled(Control control, bool enabled) {
    if (HWND child = ControlWindow(control)) EnableWindow(child, enabled ? TRUE : FALSE);
}

// Form_Load makes the window topmost while it is still hidden: it is shown
// here then, already at the size of the screen, and maximised right after.
void FrmMainWindow::MakeTopmost() { winui::SetTopmost(Handle(), true); }

void FrmMainWindow::StartSearchTimer(unsigned milliseconds) { searchTimer_.Start(Handle(), milliseconds); }

void FrmMainWindow::StopSearchTimer() { searchTimer_.Stop(); }

std::int16_t FrmMainWindow::AskSure(std::int16_t BoxType, std::int16_t DefButton, const std::string& Caption1,
                                    const std::string& Caption2, const std::string& Caption3, const std::string& Title,
                                    const std::string& Message) {
    FrmSureWindow box(instance_, Handle(), scale_, font_.Get());
    frmSure form(box);
    box.Attach(&form);
    question_ = &form;
    const std::int16_t answer = SureMsgBox(form, BoxType, DefButton, Caption1, Caption2, Caption3, Title, Message);
    question_ = nullptr;
    return answer;
}

void FrmMainWindow::CloseQuestion() {
    if (question_ != nullptr) question_->Form_QueryUnload();
}

void FrmMainWindow::Close() { Destroy(); }

int FrmMainWindow::ShiftMask(WPARAM keys) {
    int mask = 0;
    if (keys & MK_SHIFT) mask |= 1;
    if (keys & MK_CONTROL) mask |= 2;
    if (GetKeyState(VK_MENU) < 0) mask |= 4;
    return mask;
}

int FrmMainWindow::HeldButtons(WPARAM keys) {
    int mask = 0;
    if (keys & MK_LBUTTON) mask |= kLeftButton;
    if (keys & MK_RBUTTON) mask |= kRightButton;
    if (keys & MK_MBUTTON) mask |= kMiddleButton;
    return mask;
}

bool FrmMainWindow::ForwardPointer(UINT message, WPARAM wParam, LPARAM lParam, MouseEvent down, MouseEvent move) {
    int button = 0;
    MouseEvent event = down;
    switch (message) {
    case WM_LBUTTONDOWN:
        button = kLeftButton;
        break;
    case WM_RBUTTONDOWN:
        button = kRightButton;
        break;
    case WM_MBUTTONDOWN:
        button = kMiddleButton;
        break;
    case WM_MOUSEMOVE:
        button = HeldButtons(wParam);
        event = move;
        break;
    default:
        return false;
    }
    if (form_ != nullptr) {
        (form_->*event)(button, ShiftMask(wParam), scale_.XToTwips(MouseX(lParam)), scale_.YToTwips(MouseY(lParam)));
    }
    return true;
}

LRESULT FrmMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ForwardPointer(message, wParam, lParam, &frmMain::Form_MouseDown, &frmMain::Form_MouseMove)) return 0;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_QUIT_BUTTON && HIWORD(wParam) == BN_CLICKED && form_ != nullptr) {
            form_->QuitButton_Click();
        }
        return 0;
    case WM_TIMER:
        if (wParam == searchTimer_.Id() && form_ != nullptr) form_->SearchTimer_Timer();
        return 0;
    case WM_CLOSE:
        // Alt+F4, the task bar, the system menu: handled as Cancel; the
        // procedure closes the window when it may.
        if (form_ != nullptr) {
            form_->Form_QueryUnload();
        } else {
            Destroy();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == ControlWindow(Control::textMessage)) {
            // The help line: white on the window's green.
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kWhite);
            SetBkColor(dc, kGreen);
            return reinterpret_cast<LRESULT>(green_.Get());
        }
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && form_ != nullptr) form_->Form_SessionEnd();
        return 0;
    case WM_GETMINMAXINFO: {
        // Maximised means the whole screen, task bar included.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition = POINT{0, 0};
        info->ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        info->ptMaxTrackSize = info->ptMaxSize;
        return 0;
    }
    case WM_DISPLAYCHANGE:
        SetWindowPos(Handle(), nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case WM_DESTROY:
        searchTimer_.Stop();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

LRESULT FrmMainWindow::HandleFrame(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        // The frame takes no pointer input: presses reach the window.
        return HTTRANSPARENT;
    case WM_PAINT:
        PaintFrame(frame);
        return 0;
    case WM_SETTEXT:
        InvalidateRect(frame, nullptr, TRUE);
        break;
    default:
        break;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

void FrmMainWindow::PaintFrame(HWND frame) {
    winui::PaintDc paint(frame);
    HDC dc = paint.Get();
    RECT client{};
    GetClientRect(frame, &client);
    FillRect(dc, &client, green_.Get());

    char caption[128] = {};
    GetWindowTextA(frame, caption, sizeof caption);
    winui::SelectedObject font(dc, font_.Get());
    SIZE text{};
    GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &text);

    RECT border = client;
    border.top = text.cy / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    // The caption interrupts the top edge, silver on green.
    const int indent = scale_.XToPixels(120);
    RECT gap = {indent - 2, 0, indent + text.cx + 2, text.cy};
    FillRect(dc, &gap, green_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kSilver);
    TextOutA(dc, indent, 0, caption, lstrlenA(caption));
}

// A press or move over the mark goes to the procedure as one over the mark,
// which adds the mark's position: the mark never hides a touch.
LRESULT FrmMainWindow::HandleMark(HWND mark, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ForwardPointer(message, wParam, lParam, &frmMain::picPoint_MouseDown, &frmMain::picPoint_MouseMove)) return 0;
    if (message == WM_PAINT) {
        PaintMark(mark);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // the paint covers the whole picture
    return DefWindowProcA(mark, message, wParam, lParam);
}

void FrmMainWindow::PaintMark(HWND mark) {
    winui::PaintDc paint(mark);
    HDC dc = paint.Get();
    RECT client{};
    GetClientRect(mark, &client);
    // The window region clips this to the '+' and its outline.
    winui::Brush black(CreateSolidBrush(kBlack));
    FillRect(dc, &client, black.Get());
    winui::Brush yellow(CreateSolidBrush(kYellow));
    const POINT o = MarkOrigin(mark);
    const RECT across = {o.x + 1, o.y + kArmStart, o.x + kMarkSize - 1, o.y + kArmStart + kArmWidth};
    const RECT down = {o.x + kArmStart, o.y + 1, o.x + kArmStart + kArmWidth, o.y + kMarkSize - 1};
    FillRect(dc, &across, yellow.Get());
    FillRect(dc, &down, yellow.Get());
}

}  // namespace gorvat

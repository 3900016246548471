#include "main_dlg_win32.h"

#include "controls_win32.h"
#include "message_boxes_win32.h"
#include "palvine_ids.h"

namespace palvine {
namespace {

// The window as designed, in twips: outer 945 x 945 (63 x 63 pixels at 96
// dots per inch), so height minus width is 0 and every size is a square;
// ClickStatus holds a 32 x 32 icon. Start-up replaces the width at once.
constexpr double kDesignWidth = 945;
constexpr double kDesignHeight = 945;
constexpr winui::TwipRect kClickStatusDesign = {120, 0, 480, 480};

// A thin border and no caption: a captioned window cannot be 39 pixels
// wide. The system menu opens with Alt+Space or from the task bar button.
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// Where the window's object is found by the replacement procedure.
constexpr const char* kSelfProperty = "PalvineMainDlg";

}  // namespace

MainDlgWindow::MainDlgWindow(HINSTANCE instance, tavlo::TavloIoctl& device)
    : instance_(instance), sys_(*this), dlg_(device, *this, sys_), pictureSlot_(*this) {}

MainDlgWindow::~MainDlgWindow() {
    // The window goes before the icon it shows.
    Destroy();
}

bool MainDlgWindow::Create(const std::string& commandLine) {
    scale_ = winui::ScreenTwipScale();
    if (!RegisterClassOnce(instance_, kMainDlgClass, GetSysColorBrush(COLOR_BTNFACE))) return false;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = scale_.XToPixels(kDesignWidth);
    const int height = scale_.YToPixels(kDesignHeight);
    // Near the top right corner of the work area; hidden until SetTopMost
    // shows it.
    HWND window = Window::Create(kExStyle, kMainDlgClass, "", kStyle, work.right - 3 * width, work.top + width, width,
                                 height, nullptr, nullptr, instance_);
    if (window == nullptr) return false;
    // Without SS_NOTIFY the picture lets the pointer through: a release over
    // it reaches the window, which handles it as one over ClickStatus.
    picture_ = winui::CreateChild(window, scale_, nullptr,
                                  {"STATIC", "", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL,
                                   kClickStatusDesign, IDC_CLICK_STATUS});
    SetPropA(window, kSelfProperty, this);
    dlg_.Form_Load(commandLine);
    return Handle() != nullptr;
}

bool MainDlgWindow::AnotherInstanceRunning() {
    instanceMutex_.Reset(CreateMutexA(nullptr, FALSE, kInstanceMutex));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

void MainDlgWindow::ShowPicture(const std::string& file) { pictureSlot_.Show(file); }

void MainDlgWindow::StartTimer(unsigned milliseconds) {
    timerOn_ = SetTimer(Handle(), ID_CLICK_CHK_TIMER, milliseconds, nullptr) != 0;
}

void MainDlgWindow::StopTimer() {
    if (timerOn_ && Handle() != nullptr) KillTimer(Handle(), ID_CLICK_CHK_TIMER);
    timerOn_ = false;
}

void MainDlgWindow::ShowErrorReport() {
    // A window on its way out cannot own the box.
    winui::ShowErrorReport(destroying_ ? nullptr : Handle());
}

void MainDlgWindow::Close() {
    dlg_.Form_Unload();
    Destroy();
}

bool MainDlgWindow::AppendSysMenuItem(std::uint32_t flags, std::uint32_t id, const char* text) {
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    return menu != nullptr && AppendMenuA(menu, flags, id, text) != FALSE;
}

bool MainDlgWindow::ModifySysMenuItem(std::uint32_t item, std::uint32_t flags, std::uint32_t id, const char* text) {
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    return menu != nullptr && ModifyMenuA(menu, item, flags, id, text) != FALSE;
}

bool MainDlgWindow::SetZOrder(std::intptr_t insertAfter, std::uint32_t flags) {
    return SetWindowPos(Handle(), reinterpret_cast<HWND>(insertAfter), 0, 0, 0, 0, flags) != FALSE;
}

void MainDlgWindow::ReplaceWindowProc() {
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainDlgWindow::SysMenuWndProc)));
}

LRESULT CALLBACK MainDlgWindow::SysMenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MainDlgWindow*>(GetPropA(window, kSelfProperty));
    if (self == nullptr || self->oldWndProc_ == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC old = self->oldWndProc_;
    if (self->sys_.SysMenuWndProc(message, static_cast<std::uintptr_t>(wParam)) == SysControl::Route::Consumed) {
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropA(window, kSelfProperty);
    return CallWindowProcA(old, window, message, wParam, lParam);
}

RECT MainDlgWindow::OuterRect() const {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return rect;
}

double MainDlgWindow::Width() {
    const RECT r = OuterRect();
    return scale_.XToTwips(r.right - r.left);
}

double MainDlgWindow::Height() {
    const RECT r = OuterRect();
    return scale_.YToTwips(r.bottom - r.top);
}

void MainDlgWindow::Resize(int widthPixels, int heightPixels) {
    SetWindowPos(Handle(), nullptr, 0, 0, widthPixels, heightPixels, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDlgWindow::SetWidth(double twips) {
    const RECT r = OuterRect();
    Resize(scale_.XToPixels(twips), r.bottom - r.top);
}

void MainDlgWindow::SetHeight(double twips) {
    const RECT r = OuterRect();
    Resize(r.right - r.left, scale_.YToPixels(twips));
}

double MainDlgWindow::PictureWidth() {
    const RECT r = winui::ChildRect(picture_);
    return scale_.XToTwips(r.right - r.left);
}

double MainDlgWindow::PictureHeight() {
    const RECT r = winui::ChildRect(picture_);
    return scale_.YToTwips(r.bottom - r.top);
}

void MainDlgWindow::MovePicture(int leftPixels, int topPixels) {
    SetWindowPos(picture_, nullptr, leftPixels, topPixels, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDlgWindow::SetPictureTop(double twips) {
    MovePicture(winui::ChildRect(picture_).left, scale_.YToPixels(twips));
}

void MainDlgWindow::SetPictureLeft(double twips) {
    MovePicture(scale_.XToPixels(twips), winui::ChildRect(picture_).top);
}

void* MainDlgWindow::LoadIconFile(const std::string& file) {
    // By bare name: from the current folder. Not shared, so it can be
    // destroyed once replaced.
    return LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
}

void MainDlgWindow::DestroyIconHandle(void* icon) { DestroyIcon(static_cast<HICON>(icon)); }

void MainDlgWindow::ShowIcon(void* icon) { SendMessageA(picture_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0); }

LRESULT MainDlgWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONUP:
        dlg_.Form_MouseUp(kLeftButton);
        return 0;
    case WM_RBUTTONUP:
        dlg_.Form_MouseUp(kRightButton);
        return 0;
    case WM_MBUTTONUP:
        dlg_.Form_MouseUp(kMiddleButton);
        return 0;
    case WM_TIMER:
        if (wParam == ID_CLICK_CHK_TIMER) dlg_.ClickChkTimer_Timer();
        return 0;
    case WM_CLOSE:
        // Alt+F4 and the system menu's Close.
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns: the driver
        // gets its modes back now.
        if (wParam) dlg_.Form_SessionEnd();
        return 0;
    case WM_DESTROY:
        destroying_ = true;
        dlg_.Form_Unload();
        StopTimer();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace palvine

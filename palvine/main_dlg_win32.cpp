#include "main_dlg_win32.h"

#include <windowsx.h>

#include "controls_win32.h"
#include "message_boxes_win32.h"
#include "system_menu_win32.h"

namespace palvine {
namespace {

// The strip speaks the hit-test answers of the system without its header.
static_assert(kHtClient == HTCLIENT && kHtCaption == HTCAPTION, "hit-test answers differ from the system's");
// Palvine's menu commands arrive as system commands: none may be one of the
// system's own (SC_SIZE is the lowest of those).
static_assert(kCmdAlwaysTop < SC_SIZE && kCmdSmallSize < SC_SIZE && kCmdNormalSize < SC_SIZE && kCmdLargeSize < SC_SIZE,
              "a menu command of Palvine's is a system command");

// The window as designed: a square of 915 x 915 twips (61 x 61 pixels at
// 96 dots per inch) under the caption strip, so that height minus width is
// the strip's height and every size keeps a square with the picture in its
// middle; ClickStatus holds a 32 x 32 icon. Start-up replaces the width at
// once.
constexpr double kDesignSquare = 915;
constexpr winui::TwipRect kClickStatusDesign = {120, 0, 480, 480};

// A thin border (a pixel a side) and no caption bar, so that the picture
// fits the narrowest size (39 pixels) on every system; the caption strip
// drawn at the top of the client area moves the window and opens its
// system menu instead, without a close box to hit by mistake. The task bar
// button stays, for a window that is not on top.
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// The system menu's own items as the system menu offers them for this
// frame: it can be moved and closed, nothing else. Set before the menu
// opens from the strip, as the system does before it opens the menu.
struct StandardItem {
    UINT command;
    bool enabled;
};
constexpr StandardItem kStandardItems[] = {{SC_RESTORE, false},  {SC_MOVE, true},      {SC_SIZE, false},
                                           {SC_MINIMIZE, false}, {SC_MAXIMIZE, false}, {SC_CLOSE, true}};

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
    strip_ = CaptionStrip(GetSystemMetrics(SM_CYSMCAPTION));
    // Redrawn whole on every size: the strip's grip stays in its middle.
    if (!RegisterClassOnce(instance_, kMainDlgClass, GetSysColorBrush(COLOR_BTNFACE), CS_HREDRAW | CS_VREDRAW)) {
        return false;
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT design = {0, 0, scale_.XToPixels(kDesignSquare), strip_.DesignClientHeight(scale_.YToPixels(kDesignSquare))};
    AdjustWindowRectEx(&design, kStyle, FALSE, kExStyle);
    const int width = design.right - design.left;
    const int height = design.bottom - design.top;
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
    // Held open while this instance runs. A mutex that could not be made
    // at all does not keep the program from running.
    return instanceMutex_.Open(kInstanceMutex) == winui::MutexOpen::kExisted;
}

void MainDlgWindow::ShowPicture(const std::string& file) { pictureSlot_.Show(file); }

void MainDlgWindow::StartTimer(unsigned milliseconds) { clickChkTimer_.Start(Handle(), milliseconds); }

void MainDlgWindow::StopTimer() { clickChkTimer_.Stop(); }

void MainDlgWindow::ShowErrorReport() {
    // A window on its way out cannot own the box.
    winui::ShowErrorReport(destroying_ ? nullptr : Handle());
}

void MainDlgWindow::Close() {
    dlg_.Form_Unload();
    Destroy();
}

bool MainDlgWindow::AppendMenuSeparator() { return winui::SystemMenu(Handle()).AppendSeparator(); }

bool MainDlgWindow::AppendMenuItem(std::uint32_t id, const char* text) {
    return winui::SystemMenu(Handle()).AppendItem(id, text);
}

// The item rewritten as a string item (which clears its check mark), then
// checked when it is to be.
bool MainDlgWindow::SetMenuItem(std::uint32_t id, const char* text, bool checked) {
    const winui::SystemMenu menu(Handle());
    return menu.SetItemText(id, text) && menu.SetChecked(id, checked);
}

bool MainDlgWindow::SetTopmost(bool topmost) { return winui::SetTopmost(Handle(), topmost); }

void MainDlgWindow::ReplaceWindowProc() {
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainDlgWindow::SysMenuWndProc)));
}

LRESULT CALLBACK MainDlgWindow::SysMenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MainDlgWindow*>(GetPropA(window, kSelfProperty));
    if (self == nullptr || self->oldWndProc_ == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC old = self->oldWndProc_;
    if (message == WM_SYSCOMMAND) {
        const MenuCommand command = ReadMenuCommand(wParam);
        // "Always top window" goes no further; a size goes on to the
        // previous procedure as well.
        if (command.item == MenuCommand::Item::kAlwaysTop) {
            self->sys_.OnAlwaysTopCommand();
            return 0;
        }
        if (command.item == MenuCommand::Item::kSize) self->sys_.OnSizeCommand(command.size);
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

// The frame's thickness around the client area: to its left and below it.
POINT MainDlgWindow::FrameInset() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT outer = OuterRect();
    return POINT{client.left - outer.left, outer.bottom - client.bottom};
}

// The picture's place is measured from the frame's outer edge (below the
// strip), as the outer size is: a place computed from the outer size is
// then the same inside the square below the strip, and a picture centred
// by it is centred there.
void MainDlgWindow::SetPictureTop(double twips) {
    MovePicture(winui::ChildRect(picture_).left, strip_.PictureTop(scale_.YToPixels(twips), FrameInset().y));
}

void MainDlgWindow::SetPictureLeft(double twips) {
    MovePicture(strip_.PictureLeft(scale_.XToPixels(twips), FrameInset().x), winui::ChildRect(picture_).top);
}

int MainDlgWindow::ClientWidth() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return client.right;
}

POINT MainDlgWindow::ToClient(LPARAM screenPoint) const {
    POINT point = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(Handle(), &point);
    return point;
}

void MainDlgWindow::PaintStrip(HDC dc) const {
    RECT strip = {0, 0, ClientWidth(), strip_.Height()};
    FillRect(dc, &strip, GetSysColorBrush(active_ ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    const HBRUSH dots = GetSysColorBrush(active_ ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    for (const StripRect& dot : strip_.Grip(strip.right)) {
        RECT r = {dot.left, dot.top, dot.left + dot.width, dot.top + dot.height};
        FillRect(dc, &r, dots);
    }
}

void MainDlgWindow::InvalidateStrip() {
    RECT strip = {0, 0, ClientWidth(), strip_.Height()};
    InvalidateRect(Handle(), &strip, TRUE);
}

// The system menu at a point of the client area. The chosen command goes
// to the window as WM_SYSCOMMAND, as one chosen in a menu the system
// opened, so that SysMenuWndProc and the system's own handling see it.
void MainDlgWindow::OpenSysMenu(int clientX, int clientY) {
    const HMENU menu = winui::SystemMenu(Handle()).Handle();
    if (menu == nullptr) return;
    for (const StandardItem& item : kStandardItems) {
        EnableMenuItem(menu, item.command, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    }
    POINT at = {clientX, clientY};
    ClientToScreen(Handle(), &at);
    // A menu of a window that is not in the foreground does not close when
    // the user touches elsewhere.
    SetForegroundWindow(Handle());
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, Handle(), nullptr));
    if (command == 0) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    PostMessageA(Handle(), WM_SYSCOMMAND, command, MAKELPARAM(cursor.x, cursor.y));
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
    case WM_NCHITTEST: {
        const LRESULT answer = Default(message, wParam, lParam);
        const POINT point = ToClient(lParam);
        return strip_.HitTest(answer, point.x, point.y, ClientWidth());
    }
    case WM_NCRBUTTONDOWN:
        // The system would wait for the release itself and then test the
        // point by the frame alone, which has no caption: the release is
        // left to come as WM_NCRBUTTONUP.
        if (wParam == HTCAPTION) return 0;
        break;
    case WM_NCRBUTTONUP:
        if (wParam == HTCAPTION) {
            const POINT point = ToClient(lParam);
            OpenSysMenu(point.x, point.y);
            return 0;
        }
        break;
    case WM_CONTEXTMENU: {
        // A press and hold, the menu key or Shift+F10.
        const bool fromKeyboard = GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1;
        const POINT point = fromKeyboard ? POINT{0, 0} : ToClient(lParam);
        const MenuPlace place = strip_.ContextMenu(fromKeyboard, point.x, point.y, ClientWidth());
        if (place.open) OpenSysMenu(place.x, place.y);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        // A double tap on the strip: the window has one size at a time.
        if (wParam == HTCAPTION) return 0;
        break;
    case WM_NCACTIVATE:
        active_ = wParam != FALSE;
        InvalidateStrip();
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        PaintStrip(dc);
        EndPaint(Handle(), &paint);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        // The sizes are Palvine's own, narrower than a window's usual least
        // tracking width.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = 1;
        limits->ptMinTrackSize.y = 1;
        return 0;
    }
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

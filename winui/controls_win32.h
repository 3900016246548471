// Child controls of the form windows: made at their design places in twips
// with the form's font, read back in the parent's coordinates, plus thin
// wrappers of the trackbar and the picture (static image) control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "handles_win32.h"
#include "twips.h"

namespace winui {

// The screen's resolution as twips per pixel.
TwipScale ScreenTwipScale();

// The system's message font (what message boxes use), or the stock GUI
// font when the system does not say.
Font MessageFont();

// A child window at `rect` (twips) with `font`, WS_CHILD added to `style`.
// `createParam` is CreateWindowEx's last argument: a winui::Window object
// for classes registered by Window::RegisterClassOnce.
struct ChildSpec {
    const char* className;
    const char* text;
    DWORD style;
    TwipRect rect;
    int id;
    DWORD exStyle = 0;
    void* createParam = nullptr;
};
HWND CreateChild(HWND parent, const TwipScale& scale, HFONT font, const ChildSpec& child);

// The child's window rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

// Common controls (trackbars and the like) for the whole program, once;
// true when they are available. Linking it adds COMCTL32.DLL to the imports.
bool InitCommonControlsOnce();

// A trackbar (TRACKBAR_CLASS). Create it with kTrackbarStyle so that a tick
// stands at every position once ShowEveryTick has been called.
class Trackbar {
public:
    static constexpr DWORD kTrackbarStyle = WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS;

    Trackbar() = default;
    explicit Trackbar(HWND control) : control_(control) {}
    HWND Handle() const { return control_; }

    void SetRange(int minimum, int maximum) const {
        SendMessageA(control_, TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum));
    }
    void ShowEveryTick() const { SendMessageA(control_, TBM_SETTICFREQ, 1, 0); }
    int Position() const { return static_cast<int>(SendMessageA(control_, TBM_GETPOS, 0, 0)); }
    void SetPosition(int position) const { SendMessageA(control_, TBM_SETPOS, TRUE, position); }

private:
    HWND control_ = nullptr;
};

// A picture: a static control with SS_BITMAP or SS_ICON. The control takes
// the new image; the image it showed before is destroyed. Give it images of
// its own (not loaded with LR_SHARED).
void SetPictureBitmap(HWND picture, Bitmap bitmap);
// A bitmap file (a bare name is looked up in the current folder), or a
// bitmap resource of the program; empty when it cannot be loaded.
Bitmap LoadBitmapFile(const char* fileName);
Bitmap LoadBitmapResource(HINSTANCE instance, int id);
// The icon shown without taking it (shared icons, which are never destroyed);
// the one it replaces is left alone.
inline void ShowSharedIcon(HWND picture, HICON icon) {
    SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace winui

// RAII owners for every kind of Win32 handle the suite's programs hold:
// GDI objects, window and paint device contexts, objects selected into a
// device context, icons, menus, registry keys and kernel handles.
#pragma once

#include <windows.h>

namespace winui {

// One owner for handles closed by a single call. Traits gives the empty
// value and the close call; the owner moves but does not copy.
template <typename Handle, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Traits::IsSet(handle_); }
    void Reset(Handle handle = Traits::Empty()) {
        if (Traits::IsSet(handle_) && handle_ != handle) Traits::Close(handle_);
        handle_ = handle;
    }
    // Hands the handle to someone who closes it (SetWindowRgn does).
    Handle Release() {
        Handle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }

private:
    Handle handle_ = Traits::Empty();
};

template <typename Handle>
struct NullEmpty {
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle handle) { return handle != nullptr; }
};

template <typename Handle>
struct GdiTraits : NullEmpty<Handle> {
    static void Close(Handle handle) { DeleteObject(handle); }
};
struct IconTraits : NullEmpty<HICON> {
    static void Close(HICON icon) { DestroyIcon(icon); }
};
// Kernel handles: CreateFile's failure is INVALID_HANDLE_VALUE, most other
// calls' is null; neither is closed.
struct KernelTraits {
    static HANDLE Empty() { return nullptr; }
    static bool IsSet(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

// GDI objects deleted with DeleteObject. A stock object may be held too:
// deleting one does nothing.
template <typename Handle>
using GdiObject = Owned<Handle, GdiTraits<Handle>>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;
// Icons made or loaded without LR_SHARED (shared ones are never destroyed).
using Icon = Owned<HICON, IconTraits>;
using KernelHandle = Owned<HANDLE, KernelTraits>;

// The device context of a window (or, for null, the screen) for the life
// of a scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint around a WM_PAINT handler.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// An object selected into a device context until the scope ends, when the
// one it replaced is selected again.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace winui

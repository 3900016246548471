#include "window_win32.h"

namespace winui {

// By the time the base is destroyed the derived object is gone: the window
// is let go before it is destroyed, so its last messages go to the default
// procedure. A class that handles WM_DESTROY calls Destroy in its own
// destructor.
Window::~Window() {
    if (window_ == nullptr) return;
    HWND window = window_;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    window_ = nullptr;
    DestroyWindow(window);
}

void Window::Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool Window::RegisterClassOnce(HINSTANCE instance, const char* className, HBRUSH background, UINT style,
                               HCURSOR cursor) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, className, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

HWND Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance) {
    if (window_ != nullptr) return nullptr;  // one window per object
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId, instance, this);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        if (self != nullptr) {
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: the object lets go of the window.
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

}  // namespace winui

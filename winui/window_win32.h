// A window object behind an HWND: one window procedure for every class the
// suite registers, which finds the object from the window and hands it the
// message. The object is named at creation (CreateWindowEx's last
// argument) and known from WM_NCCREATE to WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace winui {

class Window {
public:
    Window() = default;
    // Destroys a window that still exists, without calling HandleMessage.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Null before creation and after the window is destroyed.
    HWND Handle() const { return window_; }
    // Destroys the window if it still exists.
    void Destroy();

    // Registers a window class that this procedure serves, once per
    // instance and name; true when the class exists afterwards.
    static bool RegisterClassOnce(HINSTANCE instance, const char* className, HBRUSH background, UINT style = 0,
                                  HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW));

    // CreateWindowExA with this object as the window's owner object.
    HWND Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menuOrId, HINSTANCE instance);

protected:
    // Every message for the window, from WM_NCCREATE's successor on. What
    // is not handled goes to Default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(window_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace winui

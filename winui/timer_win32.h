// A window's timer: WM_TIMER with the timer's id reaches the window's
// procedure every period until Stop. The system kills a window's timers
// with the window, so a timer never outlives the window it was started on.
#pragma once

#include <windows.h>

namespace winui {

class Timer {
public:
    explicit Timer(UINT_PTR id) : id_(id) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { Stop(); }

    UINT_PTR Id() const { return id_; }

    // Starts (or restarts with the new period) on the window; false when
    // the system refused, and the timer is stopped then.
    bool Start(HWND window, unsigned milliseconds) {
        Stop();
        if (window != nullptr && SetTimer(window, id_, milliseconds, nullptr) != 0) window_ = window;
        return window_ != nullptr;
    }
    void Stop() {
        if (window_ != nullptr && IsWindow(window_)) KillTimer(window_, id_);
        window_ = nullptr;
    }
    // Started and its window still exists.
    bool Running() const { return window_ != nullptr && IsWindow(window_); }

private:
    UINT_PTR id_;
    HWND window_ = nullptr;
};

}  // namespace winui

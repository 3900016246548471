#include "session_lock_win32.h"

namespace nystra {
namespace {

// The controller's main window: a dialog with the interlock's caption that
// no window owns (its about box has the same caption but is owned) and
// that belongs to another process.
struct MainSearch {
    DWORD self = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindMain(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MainSearch*>(context);
    char caption[64] = {};
    char windowClass[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->self || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    // GetWindowTextA asks another process's window for its text only by a
    // message, which a hung controller would not answer: read the caption
    // the system keeps instead.
    WCHAR wide[64] = {};
    InternalGetWindowText(window, wide, 64);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, caption, sizeof caption, nullptr, nullptr);
    GetClassNameA(window, windowClass, sizeof windowClass);
    if (lstrcmpA(caption, kMainCaption) != 0 || lstrcmpA(windowClass, "#32770") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

// Waits, a bounded time, until the shows posted to the window took effect.
bool ShownWithin(HWND window, unsigned milliseconds) {
    for (unsigned waited = 0;; waited += 20) {
        if (IsWindowVisible(window) && !IsIconic(window)) return true;
        if (waited >= milliseconds) return false;
        Sleep(20);
    }
}

}  // namespace

SessionLock::Claim SessionMutex::ClaimSession() {
    mutex_.Reset(CreateMutexA(nullptr, FALSE, kSessionLockName));
    const DWORD error = GetLastError();
    if (!mutex_) return error == ERROR_ACCESS_DENIED ? Claim::kTaken : Claim::kUnavailable;
    return error == ERROR_ALREADY_EXISTS ? Claim::kTaken : Claim::kClaimed;
}

bool SessionMutex::BringRunningToFront() {
    MainSearch search;
    search.self = GetCurrentProcessId();
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return false;
    // Posted, not sent: a controller that does not answer cannot hold up
    // this start. The window may be hidden to the notification area and
    // minimised: shown, then restored.
    ShowWindowAsync(search.found, SW_SHOW);
    ShowWindowAsync(search.found, SW_RESTORE);
    ShownWithin(search.found, 2000);
    SetForegroundWindow(search.found);
    return true;
}

}  // namespace nystra

#include "session_lock_win32.h"

#include "nystra_dlg_win32.h"

namespace nystra {
namespace {

static_assert(kRestartNoPatch == RESTART_NO_PATCH && kRestartNoReboot == RESTART_NO_REBOOT,
              "the restart flags are the system's");

enum class Take { kOwned, kAbandoned, kHeld, kDenied, kUnavailable };

// Opens (or makes) a named mutex and tries to own it without waiting. A
// mutex that exists but may not be opened was made by another user (or an
// elevated program): its maker is alive, since the mutex lives as long as a
// handle to it.
Take TakeMutex(const char* name, winui::KernelHandle& handle, bool& owns) {
    owns = false;
    handle.Reset(CreateMutexA(nullptr, FALSE, name));
    if (!handle) return GetLastError() == ERROR_ACCESS_DENIED ? Take::kDenied : Take::kUnavailable;
    switch (WaitForSingleObject(handle.Get(), 0)) {
    case WAIT_OBJECT_0:
        owns = true;
        return Take::kOwned;
    case WAIT_ABANDONED:
        owns = true;
        return Take::kAbandoned;
    case WAIT_TIMEOUT:
        return Take::kHeld;
    default:
        return Take::kUnavailable;
    }
}

// The controller's main window: a dialog with the interlock's caption that
// no window owns (its about box has the same caption but is owned) and
// that belongs to another process. Only windows of this session are seen.
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

HWND FindRunning() {
    MainSearch search;
    search.self = GetCurrentProcessId();
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

InterlockLocks::Mark InterlockMutexes::MarkSession() {
    switch (TakeMutex(kSessionMarkName, mark_, ownsMark_)) {
    case Take::kOwned:
    case Take::kAbandoned:
        return Mark::kOurs;
    case Take::kHeld:
    case Take::kDenied:
        return Mark::kOthers;
    case Take::kUnavailable:
        break;
    }
    return Mark::kUnavailable;
}

InterlockLocks::Claim InterlockMutexes::ClaimMachine() {
    switch (TakeMutex(kMachineLockName, machine_, ownsMachine_)) {
    case Take::kOwned:
        return Claim::kFree;
    case Take::kAbandoned:
        return Claim::kAbandoned;
    case Take::kHeld:
        return Claim::kHeld;
    case Take::kDenied:
        return Claim::kRefused;
    case Take::kUnavailable:
        break;
    }
    return Claim::kUnavailable;
}

void InterlockMutexes::ReleaseLocks() {
    if (ownsMachine_) ReleaseMutex(machine_.Get());
    if (ownsMark_) ReleaseMutex(mark_.Get());
    ownsMachine_ = ownsMark_ = false;
    machine_.Reset();
    mark_.Reset();
}

bool InterlockMutexes::BringRunningToFront() {
    HWND running = FindRunning();
    if (running == nullptr) return false;
    // Posted, not sent: a controller that does not answer cannot hold up
    // this start. The window may be hidden to the notification area and
    // minimised: shown, then restored.
    ShowWindowAsync(running, SW_SHOW);
    ShowWindowAsync(running, SW_RESTORE);
    ShownWithin(running, 2000);
    SetForegroundWindow(running);
    return true;
}

bool InterlockMutexes::AskRunningToStop() {
    HWND running = FindRunning();
    const UINT stop = RegisterWindowMessageA(kStopMessageName);
    if (running == nullptr || stop == 0) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    // Opened before the request goes out, so that the process cannot end
    // (and its id be reused) in between.
    runningProcess_.Reset(OpenProcess(SYNCHRONIZE, FALSE, process));
    if (!PostMessageA(running, stop, 0, 0)) return false;
    running_ = running;
    return true;
}

bool InterlockMutexes::WaitRunningEnded(unsigned milliseconds) {
    if (runningProcess_) return WaitForSingleObject(runningProcess_.Get(), milliseconds) == WAIT_OBJECT_0;
    // A process that may not be waited for: its window's end is the sign.
    for (unsigned waited = 0;; waited += 50) {
        if (!IsWindow(running_)) return true;
        if (waited >= milliseconds) return false;
        Sleep(50);
    }
}

bool InterlockMutexes::RegisterRestart(unsigned flags) {
    // No arguments: the restarted program is a plain start, which takes
    // over the lock the crashed one left.
    return SUCCEEDED(RegisterApplicationRestart(nullptr, flags));
}

void DebugOutputTrace::Write(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }

}  // namespace nystra

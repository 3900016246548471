#include "session_lock_win32.h"

#include <string_view>

#include "message_loop_win32.h"
#include "nystra_dlg_win32.h"
#include "text_win32.h"

namespace nystra {
namespace {

// Room for the interlock's caption: a longer caption is not its.
constexpr int kCaptionSize = 64;
// A window asked to show itself gets this long; how often it is looked at.
constexpr unsigned kShowWaitMs = 2000;
constexpr unsigned kShowLookMs = 20;
// How often a controller's window is looked at while its end is awaited.
constexpr unsigned kEndLookMs = 50;

static_assert(kRestartNoPatch == RESTART_NO_PATCH && kRestartNoReboot == RESTART_NO_REBOOT,
              "the restart flags are the system's");

// The controller's main window: a dialog with the interlock's caption that
// no window owns (its about box has the same caption but is owned) and
// that belongs to another process. Only windows of this session are seen.
struct MainSearch {
    DWORD self = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindMain(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MainSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->self || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    // GetWindowTextA asks another process's window for its text only by a
    // message, which a hung controller would not answer: read the caption
    // the system keeps instead.
    WCHAR caption[kCaptionSize] = {};
    const int length = InternalGetWindowText(window, caption, kCaptionSize);
    const std::wstring_view shown(caption, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (winui::Narrow(shown, CP_ACP) != kMainCaption || !winui::IsDialogBox(window)) return TRUE;
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
    for (unsigned waited = 0;; waited += kShowLookMs) {
        if (IsWindowVisible(window) && !IsIconic(window)) return true;
        if (waited >= milliseconds) return false;
        Sleep(kShowLookMs);
    }
}

}  // namespace

// A mutex that exists but may not be opened (kDenied) was made by another
// user or an elevated program: its maker is alive, since the mutex lives as
// long as a handle to it.
InterlockLocks::Mark InterlockMutexes::MarkSession() {
    switch (mark_.Take(kSessionMarkName)) {
    case winui::MutexTake::kOwned:
    case winui::MutexTake::kAbandoned:
        return Mark::kOurs;
    case winui::MutexTake::kHeld:
    case winui::MutexTake::kDenied:
        return Mark::kOthers;
    case winui::MutexTake::kUnavailable:
        break;
    }
    return Mark::kUnavailable;
}

InterlockLocks::Claim InterlockMutexes::ClaimMachine() {
    switch (machine_.Take(kMachineLockName)) {
    case winui::MutexTake::kOwned:
        return Claim::kFree;
    case winui::MutexTake::kAbandoned:
        return Claim::kAbandoned;
    case winui::MutexTake::kHeld:
        return Claim::kHeld;
    case winui::MutexTake::kDenied:
        return Claim::kRefused;
    case winui::MutexTake::kUnavailable:
        break;
    }
    return Claim::kUnavailable;
}

void InterlockMutexes::ReleaseLocks() {
    machine_.Close();
    mark_.Close();
}

bool InterlockMutexes::BringRunningToFront() {
    HWND running = FindRunning();
    if (running == nullptr) return false;
    // Posted, not sent: a controller that does not answer cannot hold up
    // this start. The window may be hidden to the notification area and
    // minimised: shown, then restored.
    ShowWindowAsync(running, SW_SHOW);
    ShowWindowAsync(running, SW_RESTORE);
    ShownWithin(running, kShowWaitMs);
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
    for (unsigned waited = 0;; waited += kEndLookMs) {
        if (!IsWindow(running_)) return true;
        if (waited >= milliseconds) return false;
        Sleep(kEndLookMs);
    }
}

bool InterlockMutexes::RegisterRestart(unsigned flags) {
    // No arguments: the restarted program is a plain start, which takes
    // over the lock the crashed one left.
    return SUCCEEDED(RegisterApplicationRestart(nullptr, flags));
}

void DebugOutputTrace::Write(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }

}  // namespace nystra

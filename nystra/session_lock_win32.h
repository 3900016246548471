// The interlock's two locks as named mutexes owned by the program's one
// thread: the session's mark in the session's own namespace, the machine's
// lock in the global one (a standard user may make both). A mutex whose
// owner died is handed to the next waiter as abandoned, so a crashed
// controller's lock is taken over. The running controller's window is found
// by its caption; the restart after a crash goes to the system's restart
// registration, and the trace to the debug output.
#pragma once

#include <windows.h>

#include <string>

#include "handles_win32.h"
#include "named_mutex_win32.h"
#include "nystra_trace.h"
#include "single_start.h"

namespace nystra {

inline constexpr const char* kSessionMarkName = "Local\\ZR_EX_CONTROL.Nystra.Interlock";
inline constexpr const char* kMachineLockName = "Global\\ZR_EX_CONTROL.Nystra.Interlock";
inline constexpr const char* kMainCaption = "Interlock Control";

class InterlockMutexes final : public InterlockLocks {
public:
    InterlockMutexes() = default;
    InterlockMutexes(const InterlockMutexes&) = delete;
    InterlockMutexes& operator=(const InterlockMutexes&) = delete;
    // Releases what this process owns, after the interlock's end steps.
    ~InterlockMutexes() { ReleaseLocks(); }

    Mark MarkSession() override;
    Claim ClaimMachine() override;
    void ReleaseLocks() override;
    bool BringRunningToFront() override;
    bool AskRunningToStop() override;
    bool WaitRunningEnded(unsigned milliseconds) override;
    void Pause(unsigned milliseconds) override { Sleep(milliseconds); }
    bool RegisterRestart(unsigned flags) override;

private:
    winui::NamedMutex mark_;
    winui::NamedMutex machine_;
    // The controller asked to stop: its window, and its process when it
    // may be waited for.
    HWND running_ = nullptr;
    winui::KernelHandle runningProcess_;
};

// Each line through OutputDebugStringA, ended with a line feed.
class DebugOutputTrace final : public TraceSink {
public:
    void Write(const std::string& line) override;
};

}  // namespace nystra

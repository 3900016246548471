// The session's interlock lock as a named mutex in the session's own
// namespace (another user's session runs an interlock of its own), and the
// running controller's window found by its caption.
#pragma once

#include <windows.h>

#include "handles_win32.h"
#include "single_start.h"

namespace nystra {

inline constexpr const char* kSessionLockName = "Local\\ZR_EX_CONTROL.Nystra.Interlock";
inline constexpr const char* kMainCaption = "Interlock Control";

class SessionMutex final : public SessionLock {
public:
    Claim ClaimSession() override;
    bool BringRunningToFront() override;
    void Pause(unsigned milliseconds) override { Sleep(milliseconds); }

private:
    // Held for the life of the process: the lock is there as long as one
    // handle to the mutex is open.
    winui::KernelHandle mutex_;
};

}  // namespace nystra

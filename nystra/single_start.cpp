#include "single_start.h"

namespace nystra {

StartDecision DecideStart(SessionLock& lock) {
    switch (lock.ClaimSession()) {
    case SessionLock::Claim::kClaimed:
    case SessionLock::Claim::kUnavailable:
        return StartDecision::kRun;
    case SessionLock::Claim::kTaken:
        break;
    }
    for (unsigned waited = 0;; waited += kWindowLookMs) {
        if (lock.BringRunningToFront()) return StartDecision::kHandedOver;
        if (waited >= kWindowWaitMs) return StartDecision::kNoWindow;
        lock.Pause(kWindowLookMs);
    }
}

}  // namespace nystra

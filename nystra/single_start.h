// One interlock per session. Two controllers would each poll and each
// enable the panel touched last, so two panels could have point data at
// once. A start of the program first claims the session's lock; a start
// that finds it taken hands over to the controller already running (its
// window comes to the front) and ends before anything reaches the driver.
#pragma once

namespace nystra {

// The platform's side: the session-wide lock and the running controller's
// window.
class SessionLock {
public:
    enum class Claim {
        kClaimed,      // this process holds the lock now
        kTaken,        // another process of the session holds it
        kUnavailable,  // the lock cannot be made at all
    };
    virtual Claim ClaimSession() = 0;
    // Brings the running controller's window to the front (shown, restored,
    // foreground); false when no such window exists (yet).
    virtual bool BringRunningToFront() = 0;
    // Waits before the next look for the window.
    virtual void Pause(unsigned milliseconds) = 0;

protected:
    ~SessionLock() = default;
};

enum class StartDecision {
    kRun,         // run the interlock
    kHandedOver,  // another controller runs; its window was brought forward
    kNoWindow,    // another controller runs, but its window never appeared
};

// A controller that has just claimed the lock may not have made its window
// yet: the window is looked for every kWindowLookMs for kWindowWaitMs.
inline constexpr unsigned kWindowLookMs = 100;
inline constexpr unsigned kWindowWaitMs = 5000;

// The start-up's decision. Only kRun lets the program go on. A lock that
// cannot be made leaves the program as it was without one: running, since
// a computer without its interlock is worse than the rare double start.
StartDecision DecideStart(SessionLock& lock);

}  // namespace nystra

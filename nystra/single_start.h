// One interlock per machine. The panels are machine-wide: two controllers,
// in one logon session or in two (Remote Desktop, fast user switching, a
// start at every logon), would each enable the panel touched last, and the
// one that ends would enable every panel behind the other's back.
//
// A start therefore first marks its session (a lock in the session's own
// namespace) and then claims the machine's lock. Free, or left by a
// controller that died: this start runs the interlock. Held by a controller
// of this session: its window is brought forward and this start ends. Held
// by a controller of another session: this start ends at once, touching
// neither the driver nor the registry and showing nothing, since a start at
// logon must not leave a box on a touch-only screen.
//
// `Nystra.exe /stop` asks the controller of this session to end exactly as
// at its normal end, without a question, and waits for its process.
#pragma once

#include <string>

#include "nystra_trace.h"

namespace nystra {

// The platform's side: the two locks, the running controller's window and
// process, and the restart after a crash.
class InterlockLocks {
public:
    // The session's mark.
    enum class Mark {
        kOurs,         // no other process of this session held it; this one does now
        kOthers,       // another process of this session holds it (or it may not be opened)
        kUnavailable,  // it cannot be made: the session is unknown
    };
    // The machine's lock.
    enum class Claim {
        kFree,         // this process holds it now
        kAbandoned,    // its holder ended without releasing it; this process holds it now
        kHeld,         // another living process holds it
        kRefused,      // it exists but this user may not open it: another user's controller
        kUnavailable,  // it cannot be made at all
    };
    virtual Mark MarkSession() = 0;
    virtual Claim ClaimMachine() = 0;
    // Gives up both, when this process only looked (the stop request).
    virtual void ReleaseLocks() = 0;

    // Brings the running controller's window (of this session) to the
    // front; false when no such window exists (yet).
    virtual bool BringRunningToFront() = 0;
    // Asks the running controller of this session to end; false when no
    // such window exists (yet).
    virtual bool AskRunningToStop() = 0;
    // Waits up to `milliseconds` for the controller asked to stop to end.
    virtual bool WaitRunningEnded(unsigned milliseconds) = 0;
    virtual void Pause(unsigned milliseconds) = 0;

    // Asks the system to start this program again after a crash or a hang
    // (not after a reboot or an update); true when it accepted.
    virtual bool RegisterRestart(unsigned flags) = 0;

protected:
    ~InterlockLocks() = default;
};

// Flags of the restart registration: no restart after a reboot for an
// update (RESTART_NO_PATCH) or any other reboot (RESTART_NO_REBOOT).
inline constexpr unsigned kRestartNoPatch = 4;
inline constexpr unsigned kRestartNoReboot = 8;
inline constexpr unsigned kRestartFlags = kRestartNoPatch | kRestartNoReboot;

enum class StartDecision {
    kRun,           // run the interlock
    kTookOver,      // run it; the lock's holder had died without releasing it
    kRunUnlocked,   // run it without the lock, which cannot be made
    kHandedOver,    // a controller of this session runs; its window was brought forward
    kNoWindow,      // a controller of this session runs, but its window never appeared
    kOtherSession,  // a controller of another session runs; this start ends at once
};

inline bool RunsInterlock(StartDecision decision) {
    return decision == StartDecision::kRun || decision == StartDecision::kTookOver ||
           decision == StartDecision::kRunUnlocked;
}

// A controller that has just claimed the lock may not have made its window
// yet: the window is looked for every kWindowLookMs for kWindowWaitMs.
inline constexpr unsigned kWindowLookMs = 100;
inline constexpr unsigned kWindowWaitMs = 5000;

// The start-up's decision. A lock that cannot be made at all leaves the
// program as it was without one: running, since a computer without its
// interlock is worse than the rare double start.
StartDecision DecideStart(InterlockLocks& locks);

// The decision, traced, and for a start that runs the interlock the restart
// registration.
StartDecision StartUp(InterlockLocks& locks, TraceSink& trace);

// The command line: nothing, or anything but a stop request, runs the
// interlock as ever. "/stop" (any case) waits kStopWaitSeconds,
// "/stop:SECONDS" that many (at most kStopWaitMostSeconds; a value that is
// not a number waits the default).
struct CommandLine {
    bool stop = false;
    unsigned waitSeconds = 0;
};
inline constexpr unsigned kStopWaitSeconds = 10;
inline constexpr unsigned kStopWaitMostSeconds = 3600;
CommandLine ParseCommandLine(const std::string& arguments);

// Exit codes of `Nystra.exe /stop`.
enum class StopResult : int {
    kDone = 0,          // the controller ended, or none was running
    kStillRuns = 1,     // it still runs after the wait
    kOtherSession = 2,  // a controller runs in another session: out of reach from here
};

// The stop request: never touches the driver or the registry, shows
// nothing. A controller of this session is asked to end and waited for up
// to `waitMs`; a window is looked for even when the lock is free, so that a
// controller that runs without the lock is not reported as ended.
StopResult DecideStop(InterlockLocks& locks, unsigned waitMs, TraceSink& trace);

}  // namespace nystra

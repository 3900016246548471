#include "single_start.h"

#include <cctype>

namespace nystra {
namespace {

bool HeldByAnother(InterlockLocks::Claim claim) {
    return claim == InterlockLocks::Claim::kHeld || claim == InterlockLocks::Claim::kRefused;
}

}  // namespace

StartDecision DecideStart(InterlockLocks& locks) {
    // The session is marked first: a second start of this session that
    // finds the machine's lock held then also finds the mark held, even
    // while the first has not yet claimed the machine's lock.
    InterlockLocks::Mark mark = locks.MarkSession();
    const InterlockLocks::Claim claim = locks.ClaimMachine();
    switch (claim) {
    case InterlockLocks::Claim::kFree:
    case InterlockLocks::Claim::kAbandoned:
        // The machine is ours, but another process of this session held the
        // mark: a start (or stop request) of this session at the same
        // moment, which finds the machine taken and ends. Its mark is taken
        // over once it is given up, or later starts and stop requests of
        // this session would place this controller in another session.
        for (unsigned waited = 0; mark == InterlockLocks::Mark::kOthers && waited < kWindowWaitMs;
             waited += kWindowLookMs) {
            locks.Pause(kWindowLookMs);
            mark = locks.MarkSession();
        }
        return claim == InterlockLocks::Claim::kFree ? StartDecision::kRun : StartDecision::kTookOver;
    case InterlockLocks::Claim::kUnavailable:
        return StartDecision::kRunUnlocked;
    case InterlockLocks::Claim::kHeld:
    case InterlockLocks::Claim::kRefused:
        break;
    }
    // Nobody else of this session marked it: the holder runs in another
    // session, where no window of this one can reach it.
    if (mark == InterlockLocks::Mark::kOurs) return StartDecision::kOtherSession;
    for (unsigned waited = 0;; waited += kWindowLookMs) {
        if (locks.BringRunningToFront()) return StartDecision::kHandedOver;
        if (waited >= kWindowWaitMs) return StartDecision::kNoWindow;
        locks.Pause(kWindowLookMs);
    }
}

StartDecision StartUp(InterlockLocks& locks, TraceSink& trace) {
    const StartDecision decision = DecideStart(locks);
    switch (decision) {
    case StartDecision::kRun:
        break;
    case StartDecision::kTookOver:
        Trace(trace, "took over the lock of a controller that ended without releasing it");
        break;
    case StartDecision::kRunUnlocked:
        Trace(trace, "the interlock's lock cannot be made; running without it");
        break;
    case StartDecision::kHandedOver:
        Trace(trace, "a controller runs in this session; its window was brought forward, this start ends");
        break;
    case StartDecision::kNoWindow:
        Trace(trace, "a controller runs in this session but shows no window; this start ends");
        break;
    case StartDecision::kOtherSession:
        Trace(trace, "a controller runs in another session; this start ends");
        break;
    }
    if (RunsInterlock(decision) && !locks.RegisterRestart(kRestartFlags)) {
        Trace(trace, "the system did not take the restart after a crash");
    }
    return decision;
}

CommandLine ParseCommandLine(const std::string& arguments) {
    CommandLine parsed;
    std::size_t begin = arguments.find_first_not_of(" \t");
    if (begin == std::string::npos) return parsed;
    // The first word decides; "/stop" followed by anything else still stops.
    const std::size_t end = arguments.find_first_of(" \t", begin);
    std::string word = arguments.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word.compare(0, 5, "/stop") != 0) return parsed;
    if (word.size() > 5 && word[5] != ':') return parsed;  // "/stopper" is no stop request
    parsed.stop = true;
    parsed.waitSeconds = kStopWaitSeconds;
    if (word.size() == 5) return parsed;
    const std::string number = word.substr(6);
    if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos) {
        return parsed;
    }
    const unsigned long seconds = std::stoul(number);
    parsed.waitSeconds = seconds > kStopWaitMostSeconds ? kStopWaitMostSeconds : static_cast<unsigned>(seconds);
    return parsed;
}

StopResult DecideStop(InterlockLocks& locks, unsigned waitMs, TraceSink& trace) {
    const InterlockLocks::Mark mark = locks.MarkSession();
    const bool held = HeldByAnother(locks.ClaimMachine());
    // Only looked: a start meanwhile must find both locks as the
    // controller left them.
    locks.ReleaseLocks();
    if (held && mark == InterlockLocks::Mark::kOurs) {
        Trace(trace, "stop request: a controller runs in another session, out of reach from here");
        return StopResult::kOtherSession;
    }
    // With the lock held the controller may still be making its window;
    // with it free, one look finds a controller that runs without it.
    const unsigned lookMs = held ? waitMs : 0;
    unsigned waited = 0;
    while (!locks.AskRunningToStop()) {
        if (waited >= lookMs) {
            if (!held) {
                Trace(trace, "stop request: no controller runs");
                return StopResult::kDone;
            }
            Trace(trace, "stop request: the controller shows no window to ask");
            return StopResult::kStillRuns;
        }
        locks.Pause(kWindowLookMs);
        waited += kWindowLookMs;
    }
    if (locks.WaitRunningEnded(waitMs > waited ? waitMs - waited : 0)) {
        Trace(trace, "stop request: the controller ended");
        return StopResult::kDone;
    }
    Trace(trace, "stop request: the controller still runs after " + std::to_string(waitMs / 1000) + " s");
    return StopResult::kStillRuns;
}

}  // namespace nystra

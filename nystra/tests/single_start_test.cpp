// The start-up's and the stop request's decisions about a controller that
// already runs, in this session or another, with scripted locks and window
// search, a counted clock and a recorded trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "single_start.h"

namespace nystra {
namespace {

using Mark = InterlockLocks::Mark;
using Claim = InterlockLocks::Claim;

struct Lines final : TraceSink {
    void Write(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

struct ScriptedLocks final : InterlockLocks {
    ScriptedLocks(Mark m, Claim c, int w = -1) : mark(m), claim(c), windowAfterLooks(w) {}
    Mark MarkSession() override {
        calls += "mark ";
        lastMark = mark;
        if (marksHeldByOthers > 0 && --marksHeldByOthers == 0) mark = Mark::kOurs;
        return lastMark;
    }
    Claim ClaimMachine() override {
        calls += "claim ";
        return claim;
    }
    void ReleaseLocks() override { calls += "release "; }
    bool BringRunningToFront() override { return ++looks > windowAfterLooks && windowAfterLooks >= 0; }
    bool AskRunningToStop() override {
        const bool found = ++looks > windowAfterLooks && windowAfterLooks >= 0;
        if (found) calls += "ask ";
        return found;
    }
    bool WaitRunningEnded(unsigned milliseconds) override {
        waitedFor = milliseconds;
        return endsAfterAsk;
    }
    void Pause(unsigned milliseconds) override { paused += milliseconds; }
    bool RegisterRestart(unsigned flags) override {
        restartFlags.push_back(flags);
        return restartTaken;
    }

    Mark mark, lastMark = Mark::kUnavailable;  // lastMark: what the last MarkSession returned
    Claim claim;
    int windowAfterLooks;  // looks that find no window before one does; -1: never
    int marksHeldByOthers = 0;  // with kOthers: marks that find it held before it is free; 0: always held
    bool endsAfterAsk = true, restartTaken = true;
    std::string calls;
    int looks = 0;
    unsigned paused = 0, waitedFor = 0;
    std::vector<unsigned> restartFlags;
};

// Every combination of the session's mark and the machine's lock. Only a
// free lock, or one whose holder died, runs the interlock (and registers
// the restart after a crash); a lock held in this session hands over to
// the running window; one held in another session ends at once without a
// look for a window. The session is marked before the machine's lock is
// claimed.
TEST(SingleStart, OneControllerPerMachine) {
    const struct {
        const char* what;
        Mark mark;
        Claim claim;
        int windowAfterLooks;
        StartDecision decision;
        int looks;
        unsigned paused;
        const char* line;  // the start's own trace line, "" for none
    } cases[] = {
        {"free", Mark::kOurs, Claim::kFree, 0, StartDecision::kRun, 0, 0, ""},
        {"free, no session mark", Mark::kUnavailable, Claim::kFree, 0, StartDecision::kRun, 0, 0, ""},
        {"holder died: taken over", Mark::kOurs, Claim::kAbandoned, 0, StartDecision::kTookOver, 0, 0,
         "Nystra: took over the lock of a controller that ended without releasing it"},
        {"lock cannot be made: runs as before", Mark::kOurs, Claim::kUnavailable, 0, StartDecision::kRunUnlocked, 0,
         0, "Nystra: the interlock's lock cannot be made; running without it"},
        {"same session, window there", Mark::kOthers, Claim::kHeld, 0, StartDecision::kHandedOver, 1, 0,
         "Nystra: a controller runs in this session; its window was brought forward, this start ends"},
        {"same session, window being made", Mark::kOthers, Claim::kHeld, 3, StartDecision::kHandedOver, 4, 300,
         "Nystra: a controller runs in this session; its window was brought forward, this start ends"},
        {"same session, window at the last look", Mark::kOthers, Claim::kHeld, 50, StartDecision::kHandedOver, 51,
         kWindowWaitMs, "Nystra: a controller runs in this session; its window was brought forward, this start ends"},
        {"same session, window never appears", Mark::kOthers, Claim::kHeld, -1, StartDecision::kNoWindow, 51,
         kWindowWaitMs, "Nystra: a controller runs in this session but shows no window; this start ends"},
        {"same session, lock refused (elevated controller)", Mark::kOthers, Claim::kRefused, 0,
         StartDecision::kHandedOver, 1, 0,
         "Nystra: a controller runs in this session; its window was brought forward, this start ends"},
        {"other session", Mark::kOurs, Claim::kHeld, 0, StartDecision::kOtherSession, 0, 0,
         "Nystra: a controller runs in another session; this start ends"},
        {"other session, lock refused (another user)", Mark::kOurs, Claim::kRefused, 0, StartDecision::kOtherSession,
         0, 0, "Nystra: a controller runs in another session; this start ends"},
        {"held, session unknown: looks for a window", Mark::kUnavailable, Claim::kHeld, -1, StartDecision::kNoWindow,
         51, kWindowWaitMs, "Nystra: a controller runs in this session but shows no window; this start ends"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedLocks locks(c.mark, c.claim, c.windowAfterLooks);
        Lines trace;
        const StartDecision decision = StartUp(locks, trace);
        EXPECT_EQ(decision, c.decision);
        EXPECT_EQ(locks.calls, "mark claim ");
        EXPECT_EQ(locks.looks, c.looks);
        EXPECT_EQ(locks.paused, c.paused);
        const bool runs = decision == StartDecision::kRun || decision == StartDecision::kTookOver ||
                          decision == StartDecision::kRunUnlocked;
        EXPECT_EQ(RunsInterlock(decision), runs);
        // Restart after a crash or hang, never after a reboot or an update.
        EXPECT_EQ(locks.restartFlags, runs ? std::vector<unsigned>{4u | 8u} : std::vector<unsigned>{});
        EXPECT_EQ(trace.lines, *c.line != '\0' ? std::vector<std::string>{c.line} : std::vector<std::string>{});
    }
}

// Two starts of one session at the same moment: one marks the session, the
// other claims the machine. The one that claimed runs the interlock and
// takes the mark as soon as the other (which found the machine taken and
// ends) gives it up; without it, later starts and stop requests of this
// session would take the controller for one of another session: no window
// brought forward, `/stop` answered 2. A mark held all the while (another
// user's process in this session) holds up the start no longer than the
// look for a window, and the interlock runs all the same.
TEST(SingleStart, TakesTheMarkOfAStartAtTheSameMoment) {
    const struct {
        const char* what;
        Claim claim;
        int marksHeldByOthers;
        StartDecision decision;
        const char* calls;
        unsigned paused;
    } cases[] = {
        {"free, mark given up at once", Claim::kFree, 1, StartDecision::kRun, "mark claim mark ", 100},
        {"free, mark given up a moment later", Claim::kFree, 3, StartDecision::kRun, "mark claim mark mark mark ", 300},
        {"holder died, mark given up later", Claim::kAbandoned, 2, StartDecision::kTookOver, "mark claim mark mark ",
         200},
        {"free, mark never given up", Claim::kFree, 0, StartDecision::kRun, nullptr, kWindowWaitMs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedLocks locks(Mark::kOthers, c.claim);
        locks.marksHeldByOthers = c.marksHeldByOthers;
        Lines trace;
        EXPECT_EQ(StartUp(locks, trace), c.decision);
        std::string calls = "mark claim ";
        for (unsigned looked = 0; looked < kWindowWaitMs; looked += kWindowLookMs) calls += "mark ";
        EXPECT_EQ(locks.calls, c.calls != nullptr ? c.calls : calls);
        EXPECT_EQ(locks.paused, c.paused);
        EXPECT_EQ(locks.lastMark, c.marksHeldByOthers > 0 ? Mark::kOurs : Mark::kOthers);
        EXPECT_EQ(locks.looks, 0);
        EXPECT_EQ(locks.restartFlags.size(), 1u);
    }
}

// A restart the system does not take is told in the trace; the interlock
// runs all the same.
TEST(SingleStart, RestartRefusedIsTraced) {
    ScriptedLocks locks(Mark::kOurs, Claim::kFree);
    locks.restartTaken = false;
    Lines trace;
    EXPECT_EQ(StartUp(locks, trace), StartDecision::kRun);
    EXPECT_EQ(trace.lines, std::vector<std::string>{"Nystra: the system did not take the restart after a crash"});
}

TEST(SingleStart, CommandLine) {
    const struct {
        const char* arguments;
        bool stop;
        unsigned seconds;
    } cases[] = {
        {"", false, 0},
        {"   ", false, 0},
        {"/stop", true, 10},
        {"  /STOP  ", true, 10},
        {"/Stop:30", true, 30},
        {"/stop:0", true, 0},
        {"/stop:3600", true, 3600},
        {"/stop:3601", true, 3600},
        {"/stop:99999999999999999999", true, 10},  // not a number it can hold: the default
        {"/stop:-5", true, 10},
        {"/stop:", true, 10},
        {"/stop:1x", true, 10},
        {"/stop /other", true, 10},
        {"/stop:20\t/other", true, 20},
        {"/stopper", false, 0},  // another word: a start, as any other command line
        {"stop", false, 0},
        {"/other /stop", false, 0},
        {"\"/stop\"", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.stop, c.stop);
        if (c.stop) {
            EXPECT_EQ(parsed.waitSeconds, c.seconds);
        }
    }
}

// The stop request only looks at the locks and gives them up before it
// waits; a controller in another session is out of reach (2); one of this
// session is asked and waited for (0 when it ended, 1 when it still runs);
// with the lock free, one look for a window finds a controller that runs
// without the lock, and none means nothing to stop (0).
TEST(SingleStart, StopRequest) {
    const struct {
        const char* what;
        Mark mark;
        Claim claim;
        int windowAfterLooks;
        bool ends;
        StopResult result;
        const char* calls;
        unsigned paused, waitedFor;
        const char* line;
    } cases[] = {
        {"none runs", Mark::kOurs, Claim::kFree, -1, true, StopResult::kDone, "mark claim release ", 0, 0,
         "Nystra: stop request: no controller runs"},
        {"holder died", Mark::kOurs, Claim::kAbandoned, -1, true, StopResult::kDone, "mark claim release ", 0, 0,
         "Nystra: stop request: no controller runs"},
        {"other session", Mark::kOurs, Claim::kHeld, 0, true, StopResult::kOtherSession, "mark claim release ", 0, 0,
         "Nystra: stop request: a controller runs in another session, out of reach from here"},
        {"other user's session", Mark::kOurs, Claim::kRefused, 0, true, StopResult::kOtherSession, "mark claim release ", 0,
         0, "Nystra: stop request: a controller runs in another session, out of reach from here"},
        {"this session: asked, ends", Mark::kOthers, Claim::kHeld, 0, true, StopResult::kDone, "mark claim release ask ", 0,
         10000, "Nystra: stop request: the controller ended"},
        {"this session: window a moment late", Mark::kOthers, Claim::kHeld, 2, true, StopResult::kDone,
         "mark claim release ask ", 200, 9800, "Nystra: stop request: the controller ended"},
        {"this session: asked, still runs", Mark::kOthers, Claim::kHeld, 0, false, StopResult::kStillRuns,
         "mark claim release ask ", 0, 10000, "Nystra: stop request: the controller still runs after 10 s"},
        {"this session: no window all the wait", Mark::kOthers, Claim::kHeld, -1, true, StopResult::kStillRuns,
         "mark claim release ", 10000, 0, "Nystra: stop request: the controller shows no window to ask"},
        {"lock cannot be made, a controller's window", Mark::kUnavailable, Claim::kUnavailable, 0, true, StopResult::kDone,
         "mark claim release ask ", 0, 10000, "Nystra: stop request: the controller ended"},
        {"lock free but a controller without it", Mark::kOurs, Claim::kFree, 0, false, StopResult::kStillRuns,
         "mark claim release ask ", 0, 10000, "Nystra: stop request: the controller still runs after 10 s"},
        {"lock cannot be made, no window", Mark::kOurs, Claim::kUnavailable, -1, true, StopResult::kDone,
         "mark claim release ", 0, 0, "Nystra: stop request: no controller runs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedLocks locks(c.mark, c.claim, c.windowAfterLooks);
        locks.endsAfterAsk = c.ends;
        Lines trace;
        EXPECT_EQ(DecideStop(locks, 10000, trace), c.result);
        EXPECT_EQ(locks.calls, c.calls);
        EXPECT_EQ(locks.paused, c.paused);
        EXPECT_EQ(locks.waitedFor, c.waitedFor);
        EXPECT_TRUE(locks.restartFlags.empty());
        EXPECT_EQ(trace.lines, std::vector<std::string>{c.line});
    }
}

}  // namespace
}  // namespace nystra

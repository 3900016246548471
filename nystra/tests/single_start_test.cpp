// The start-up's and the stop request's decisions about a controller that
// already runs, in this session or another, with scripted locks and window
// search, a counted clock and a recorded trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "row_name.h"
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
    int windowAfterLooks;       // looks that find no window before one does; -1: never
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
struct StartCase {
    const char* what;
    Mark mark;
    Claim claim;
    int windowAfterLooks = 0;  // looks that find no window before one does; -1: never
    StartDecision decision;
    int looks = 0;
    unsigned paused = 0;
    const char* line = "";  // the start's own trace line, "" for none
};

class OneControllerPerMachine : public ::testing::TestWithParam<StartCase> {};

TEST_P(OneControllerPerMachine, Decides) {
    const StartCase& c = GetParam();
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

const char kHandedOverLine[] =
    "Nystra: a controller runs in this session; its window was brought forward, this start ends";
const char kNoWindowLine[] = "Nystra: a controller runs in this session but shows no window; this start ends";
const char kOtherSessionLine[] = "Nystra: a controller runs in another session; this start ends";

// clang-format off
const StartCase kStartCases[] = {
    {.what = "free", .mark = Mark::kOurs, .claim = Claim::kFree, .decision = StartDecision::kRun},
    {.what = "free, no session mark", .mark = Mark::kUnavailable, .claim = Claim::kFree, .decision = StartDecision::kRun},
    {.what = "holder died: taken over", .mark = Mark::kOurs, .claim = Claim::kAbandoned,
     .decision = StartDecision::kTookOver,
     .line = "Nystra: took over the lock of a controller that ended without releasing it"},
    {.what = "lock cannot be made: runs as before", .mark = Mark::kOurs, .claim = Claim::kUnavailable,
     .decision = StartDecision::kRunUnlocked,
     .line = "Nystra: the interlock's lock cannot be made; running without it"},
    {.what = "same session, window there", .mark = Mark::kOthers, .claim = Claim::kHeld,
     .decision = StartDecision::kHandedOver, .looks = 1, .line = kHandedOverLine},
    {.what = "same session, window being made", .mark = Mark::kOthers, .claim = Claim::kHeld, .windowAfterLooks = 3,
     .decision = StartDecision::kHandedOver, .looks = 4, .paused = 300, .line = kHandedOverLine},
    {.what = "same session, window at the last look", .mark = Mark::kOthers, .claim = Claim::kHeld,
     .windowAfterLooks = 50, .decision = StartDecision::kHandedOver, .looks = 51, .paused = kWindowWaitMs,
     .line = kHandedOverLine},
    {.what = "same session, window never appears", .mark = Mark::kOthers, .claim = Claim::kHeld,
     .windowAfterLooks = -1, .decision = StartDecision::kNoWindow, .looks = 51, .paused = kWindowWaitMs,
     .line = kNoWindowLine},
    {.what = "same session, lock refused (elevated controller)", .mark = Mark::kOthers, .claim = Claim::kRefused,
     .decision = StartDecision::kHandedOver, .looks = 1, .line = kHandedOverLine},
    {.what = "other session", .mark = Mark::kOurs, .claim = Claim::kHeld, .decision = StartDecision::kOtherSession, .line = kOtherSessionLine},
    {.what = "other session, lock refused (another user)", .mark = Mark::kOurs, .claim = Claim::kRefused,
     .decision = StartDecision::kOtherSession, .line = kOtherSessionLine},
    {.what = "held, session unknown: looks for a window", .mark = Mark::kUnavailable, .claim = Claim::kHeld,
     .windowAfterLooks = -1, .decision = StartDecision::kNoWindow, .looks = 51, .paused = kWindowWaitMs,
     .line = kNoWindowLine},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(SingleStart, OneControllerPerMachine, ::testing::ValuesIn(kStartCases), suite_test::RowName);

// Two starts of one session at the same moment: one marks the session, the
// other claims the machine. The one that claimed runs the interlock and
// takes the mark as soon as the other (which found the machine taken and
// ends) gives it up; without it, later starts and stop requests of this
// session would take the controller for one of another session: no window
// brought forward, `/stop` answered 2. A mark held all the while (another
// user's process in this session) holds up the start no longer than the
// look for a window, and the interlock runs all the same.
struct SameMomentCase {
    const char* what;
    Claim claim;
    int marksHeldByOthers;  // marks that find it held before it is free; 0: always held
    StartDecision decision;
    const char* calls;  // nullptr: a mark at every look for the whole wait
    unsigned paused;
};

class TakesTheMarkOfAStartAtTheSameMoment : public ::testing::TestWithParam<SameMomentCase> {};

TEST_P(TakesTheMarkOfAStartAtTheSameMoment, Decides) {
    const SameMomentCase& c = GetParam();
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

// clang-format off
const SameMomentCase kSameMomentCases[] = {
    {.what = "free, mark given up at once", .claim = Claim::kFree, .marksHeldByOthers = 1,
     .decision = StartDecision::kRun, .calls = "mark claim mark ", .paused = 100},
    {.what = "free, mark given up a moment later", .claim = Claim::kFree, .marksHeldByOthers = 3,
     .decision = StartDecision::kRun, .calls = "mark claim mark mark mark ", .paused = 300},
    {.what = "holder died, mark given up later", .claim = Claim::kAbandoned, .marksHeldByOthers = 2,
     .decision = StartDecision::kTookOver, .calls = "mark claim mark mark ", .paused = 200},
    {.what = "free, mark never given up", .claim = Claim::kFree, .marksHeldByOthers = 0,
     .decision = StartDecision::kRun, .calls = nullptr, .paused = kWindowWaitMs},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(SingleStart, TakesTheMarkOfAStartAtTheSameMoment, ::testing::ValuesIn(kSameMomentCases),
                         suite_test::RowName);

// A restart the system does not take is told in the trace; the interlock
// runs all the same.
TEST(SingleStart, RestartRefusedIsTraced) {
    ScriptedLocks locks(Mark::kOurs, Claim::kFree);
    locks.restartTaken = false;
    Lines trace;
    EXPECT_EQ(StartUp(locks, trace), StartDecision::kRun);
    EXPECT_EQ(trace.lines, std::vector<std::string>{"Nystra: the system did not take the restart after a crash"});
}

// The command line: anything but a stop request starts the interlock; a
// stop request's wait is the default, or the number given within bounds.
struct CommandLineCase {
    const char* arguments;
    bool stop = false;
    unsigned seconds = 0;  // looked at for a stop request only
};

class CommandLineParse : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineParse, Reads) {
    const CommandLineCase& c = GetParam();
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.stop, c.stop);
    if (c.stop) {
        EXPECT_EQ(parsed.waitSeconds, c.seconds);
    }
}

const CommandLineCase kCommandLines[] = {
    {.arguments = ""},
    {.arguments = "   "},
    {.arguments = "/stop", .stop = true, .seconds = 10},
    {.arguments = "  /STOP  ", .stop = true, .seconds = 10},
    {.arguments = "/Stop:30", .stop = true, .seconds = 30},
    {.arguments = "/stop:0", .stop = true, .seconds = 0},
    {.arguments = "/stop:3600", .stop = true, .seconds = 3600},
    {.arguments = "/stop:3601", .stop = true, .seconds = 3600},
    {.arguments = "/stop:99999999999999999999", .stop = true, .seconds = 10},  // more than it can hold: the default
    {.arguments = "/stop:-5", .stop = true, .seconds = 10},
    {.arguments = "/stop:", .stop = true, .seconds = 10},
    {.arguments = "/stop:1x", .stop = true, .seconds = 10},
    {.arguments = "/stop /other", .stop = true, .seconds = 10},
    {.arguments = "/stop:20\t/other", .stop = true, .seconds = 20},
    {.arguments = "/stopper"},  // another word: a start, as any other command line
    {.arguments = "stop"},
    {.arguments = "/other /stop"},
    {.arguments = "\"/stop\""},
};
// Several command lines read alike once cut to letters and digits: the
// row's number comes first.
INSTANTIATE_TEST_SUITE_P(SingleStart, CommandLineParse, ::testing::ValuesIn(kCommandLines),
                         [](const ::testing::TestParamInfo<CommandLineCase>& row) {
                             return std::to_string(row.index) + "_" + suite_test::TestName(row.param.arguments);
                         });

// The stop request only looks at the locks and gives them up before it
// waits; a controller in another session is out of reach (2); one of this
// session is asked and waited for (0 when it ended, 1 when it still runs);
// with the lock free, one look for a window finds a controller that runs
// without the lock, and none means nothing to stop (0).
struct StopCase {
    const char* what;
    Mark mark;
    Claim claim;
    int windowAfterLooks = 0;  // -1: no window ever
    bool ends = true;          // the controller ends when asked
    StopResult result;
    const char* calls;
    unsigned paused = 0, waitedFor = 0;
    const char* line;
};

class StopRequest : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopRequest, Decides) {
    const StopCase& c = GetParam();
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

const char kLooked[] = "mark claim release ";
const char kAsked[] = "mark claim release ask ";
const char kNoneRuns[] = "Nystra: stop request: no controller runs";
const char kEnded[] = "Nystra: stop request: the controller ended";
const char kOutOfReach[] = "Nystra: stop request: a controller runs in another session, out of reach from here";
const char kStillRuns[] = "Nystra: stop request: the controller still runs after 10 s";

// clang-format off
const StopCase kStopCases[] = {
    {.what = "none runs", .mark = Mark::kOurs, .claim = Claim::kFree, .windowAfterLooks = -1, .result = StopResult::kDone, .calls = kLooked, .line = kNoneRuns},
    {.what = "holder died", .mark = Mark::kOurs, .claim = Claim::kAbandoned, .windowAfterLooks = -1,
     .result = StopResult::kDone, .calls = kLooked, .line = kNoneRuns},
    {.what = "other session", .mark = Mark::kOurs, .claim = Claim::kHeld, .result = StopResult::kOtherSession, .calls = kLooked, .line = kOutOfReach},
    {.what = "other user's session", .mark = Mark::kOurs, .claim = Claim::kRefused, .result = StopResult::kOtherSession, .calls = kLooked, .line = kOutOfReach},
    {.what = "this session: asked, ends", .mark = Mark::kOthers, .claim = Claim::kHeld, .result = StopResult::kDone,
     .calls = kAsked, .waitedFor = 10000, .line = kEnded},
    {.what = "this session: window a moment late", .mark = Mark::kOthers, .claim = Claim::kHeld,
     .windowAfterLooks = 2, .result = StopResult::kDone, .calls = kAsked, .paused = 200, .waitedFor = 9800,
     .line = kEnded},
    {.what = "this session: asked, still runs", .mark = Mark::kOthers, .claim = Claim::kHeld, .ends = false,
     .result = StopResult::kStillRuns, .calls = kAsked, .waitedFor = 10000, .line = kStillRuns},
    {.what = "this session: no window all the wait", .mark = Mark::kOthers, .claim = Claim::kHeld,
     .windowAfterLooks = -1, .result = StopResult::kStillRuns, .calls = kLooked, .paused = 10000,
     .line = "Nystra: stop request: the controller shows no window to ask"},
    {.what = "lock cannot be made, a controller's window", .mark = Mark::kUnavailable, .claim = Claim::kUnavailable,
     .result = StopResult::kDone, .calls = kAsked, .waitedFor = 10000, .line = kEnded},
    {.what = "lock free but a controller without it", .mark = Mark::kOurs, .claim = Claim::kFree, .ends = false,
     .result = StopResult::kStillRuns, .calls = kAsked, .waitedFor = 10000, .line = kStillRuns},
    {.what = "lock cannot be made, no window", .mark = Mark::kOurs, .claim = Claim::kUnavailable,
     .windowAfterLooks = -1, .result = StopResult::kDone, .calls = kLooked, .line = kNoneRuns},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(SingleStart, StopRequest, ::testing::ValuesIn(kStopCases), suite_test::RowName);

}  // namespace
}  // namespace nystra

// The start-up's decision about a controller already running in the
// session, with a scripted lock and window search and a counted clock.
#include <gtest/gtest.h>

#include "single_start.h"

namespace nystra {
namespace {

struct ScriptedLock final : SessionLock {
    ScriptedLock(Claim c, int w) : claim(c), windowAfterLooks(w) {}
    // A second claim finds the lock taken, as this process holds it then.
    Claim ClaimSession() override { return claims++ == 0 ? claim : Claim::kTaken; }
    bool BringRunningToFront() override { return ++looks > windowAfterLooks && windowAfterLooks >= 0; }
    void Pause(unsigned milliseconds) override { paused += milliseconds; }

    Claim claim;
    int windowAfterLooks;  // looks that find no window before one does; -1: never
    int claims = 0, looks = 0;
    unsigned paused = 0;
};

TEST(SingleStart, OnlyTheFirstStartOfTheSessionRunsTheInterlock) {
    using Claim = SessionLock::Claim;
    const struct {
        const char* what;
        Claim claim;
        int windowAfterLooks;
        StartDecision decision;
        int looks;
        unsigned paused;
    } cases[] = {
        {"first start", Claim::kClaimed, 0, StartDecision::kRun, 0, 0},
        {"no lock to be had: runs as before", Claim::kUnavailable, 0, StartDecision::kRun, 0, 0},
        {"second start, window there", Claim::kTaken, 0, StartDecision::kHandedOver, 1, 0},
        {"second start while the first makes its window", Claim::kTaken, 3, StartDecision::kHandedOver, 4, 300},
        {"window found at the last look", Claim::kTaken, 50, StartDecision::kHandedOver, 51, kWindowWaitMs},
        {"window never appears: ends all the same", Claim::kTaken, -1, StartDecision::kNoWindow, 51, kWindowWaitMs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedLock lock(c.claim, c.windowAfterLooks);
        EXPECT_EQ(DecideStart(lock), c.decision);
        EXPECT_EQ(lock.looks, c.looks);
        EXPECT_EQ(lock.paused, c.paused);
    }
}

}  // namespace
}  // namespace nystra

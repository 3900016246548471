// A short soak of the interlock: 20,000 polls of a pseudo-random schedule,
// each checked against the soak's own model of the interlock's rules. The
// long run is tools/soak-native.sh.
#include <gtest/gtest.h>

#include "interlock_soak.h"

namespace {

TEST(InterlockSoak, TwentyThousandPollsKeepEveryRule) {
    const nystra_soak::SoakFigures figures = nystra_soak::RunInterlockSoak(20240607u, 20000);
    EXPECT_EQ(figures.failure, "");
    EXPECT_EQ(figures.polls, 20000);
    // The schedule reached every kind of event.
    for (long count : {figures.activations, figures.timeReleases, figures.requests, figures.failedPolls,
                       figures.attaches, figures.removals, figures.touches, figures.recordEdits, figures.driverFaults,
                       figures.deviceAbsences, figures.messages, figures.releasePresses, figures.traced}) {
        EXPECT_GT(count, 0);
    }
    EXPECT_GT(figures.mostPanels, 4);
}

}  // namespace

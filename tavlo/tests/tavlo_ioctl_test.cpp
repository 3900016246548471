// The form tools' binding bound up front. Each export reached through it
// at first use, and missing, is checked in export_table_test.cpp.
#include "tavlo_ioctl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"

namespace {

using tavlo::TavloIoctl;

// The library is loaded once, at the first function; no request is sent;
// the first missing function stops the binding with a message naming it.
TEST(TavloIoctl, BindNowLoadsOnceAndStopsAtTheFirstMissingFunction) {
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "TavloGetClickMode missing" : "nothing missing");
        tavlosim::ResetInProcessDriver();
        tavlosim::InProcessLoader loader;
        if (missing) loader.missingFunctions = {"TavloGetClickMode"};
        std::vector<std::string> fatal;
        TavloIoctl ioctl{loader, [&](const std::string& m) { fatal.push_back(m); }};
        EXPECT_TRUE(loader.loads.empty());
        EXPECT_EQ(ioctl.BindNow({TavloIoctl::kGetVersion, TavloIoctl::kGetClickMode, TavloIoctl::kSetClickOnceMode}),
                  !missing);
        EXPECT_EQ(loader.loads, std::vector<std::string>{"TAVLO.DLL"});
        EXPECT_EQ(loader.lookups.size(), missing ? 2u : 3u);
        EXPECT_EQ(tavlosim::TheInProcessDriver().model.RequestsSeen(), 0u);
        ASSERT_EQ(fatal.size(), missing ? 1u : 0u);
        for (const std::string& m : fatal) EXPECT_NE(m.find("TavloGetClickMode"), std::string::npos) << m;
    }
}

}  // namespace

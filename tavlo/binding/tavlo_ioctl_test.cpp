// The form tools' binding: load at first call, once, look up at first use,
// stop with a message naming what is missing. That each export is looked
// up by its own name, once, is checked per export in export_table_test.cpp.
#include "tavlo_ioctl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"

namespace {

using tavlo::TavloIoctl;

// Found missing at first use or when bound up front: one message naming
// what is missing, and the call reports TavloNoDevice. Binding up front
// sends no request.
TEST(TavloIoctl, AMissingLibraryOrFunctionIsFatalAndNamed) {
    struct Case {
        const char* missing;  // nullptr: nothing missing
        bool libraryMissing;
        const char* named;
    };
    const Case cases[] = {
        {nullptr, false, nullptr},
        {"TavloSetClickOnceMode", false, "TavloSetClickOnceMode"},
        {"TavloGetVersion", false, "TavloGetVersion"},
        {nullptr, true, "TAVLO.DLL"},
    };
    for (const Case& c : cases) {
        for (bool upFront : {false, true}) {
            SCOPED_TRACE(std::string(c.named ? c.named : "nothing") +
                         (upFront ? " missing, bound up front" : " missing"));
            tavlosim::ResetInProcessDriver();
            tavlosim::TheInProcessDriver().model.AttachPanel(0x31);
            tavlosim::InProcessLoader loader;
            loader.libraryMissing = c.libraryMissing;
            if (c.missing != nullptr) loader.missingFunctions = {c.missing};
            std::vector<std::string> fatal;
            TavloIoctl ioctl{loader, [&](const std::string& m) { fatal.push_back(m); }};
            EXPECT_TRUE(loader.loads.empty());
            std::uint16_t version = 0;
            const bool bound = upFront ? ioctl.BindNow({TavloIoctl::kGetVersion, TavloIoctl::kGetClickMode,
                                                        TavloIoctl::kSetClickOnceMode})
                                       : ioctl.GetVersion(&version) != TavloNoDevice &&
                                             ioctl.SetClickOnceMode(1, 2) != TavloNoDevice;
            EXPECT_EQ(bound, c.named == nullptr);
            EXPECT_EQ(loader.loads, std::vector<std::string>{"TAVLO.DLL"});
            if (upFront) {
                EXPECT_EQ(tavlosim::TheInProcessDriver().model.RequestsSeen(), 0u);
            }
            if (c.named == nullptr) {
                EXPECT_TRUE(fatal.empty());
                continue;
            }
            ASSERT_EQ(fatal.size(), 1u);
            EXPECT_NE(fatal[0].find(c.named), std::string::npos) << fatal[0];
        }
    }
}

}  // namespace

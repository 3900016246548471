// The form tools' binding: load at first call, look up at first use, stop
// with a message naming what is missing.
#include "tavlo_ioctl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"

namespace {

using tavlo::TavloIoctl;

tavlosim::DeviceModel& FreshModel() {
    tavlosim::ResetInProcessDriver();
    tavlosim::TheInProcessDriver().model.AttachPanel(0x31);
    return tavlosim::TheInProcessDriver().model;
}

TEST(TavloIoctl, LoadsOnceAndLooksEachFunctionUpAtFirstUse) {
    FreshModel();
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    TavloIoctl ioctl{loader, [&](const std::string& m) { fatal.push_back(m); }};
    EXPECT_TRUE(loader.loads.empty());
    std::uint8_t count = 0, id = 0;
    std::uint16_t stamp = 0;
    EXPECT_EQ(ioctl.GetDevices(&count), TavloOk);
    EXPECT_EQ(ioctl.GetDevices(&count), TavloOk);
    EXPECT_EQ(ioctl.NeedUpdate(&stamp), TavloOk);
    EXPECT_EQ(ioctl.GetPanelId(&stamp, 0, &id), TavloOk);
    EXPECT_EQ(id, 0x31);
    EXPECT_EQ(loader.loads, std::vector<std::string>{"TAVLO.DLL"});
    EXPECT_EQ(loader.lookups, (std::vector<std::string>{"TavloGetDevices", "TavloNeedUpdate", "TavloGetPanelId"}));
    EXPECT_TRUE(fatal.empty());
}

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
            const tavlosim::DeviceModel& model = FreshModel();
            tavlosim::InProcessLoader loader;
            loader.libraryMissing = c.libraryMissing;
            if (c.missing != nullptr) loader.missingFunctions = {c.missing};
            std::vector<std::string> fatal;
            TavloIoctl ioctl{loader, [&](const std::string& m) { fatal.push_back(m); }};
            std::uint16_t version = 0;
            const bool bound = upFront ? ioctl.BindNow({TavloIoctl::kGetVersion, TavloIoctl::kGetClickMode,
                                                        TavloIoctl::kSetClickOnceMode})
                                       : ioctl.GetVersion(&version) != TavloNoDevice &&
                                             ioctl.SetClickOnceMode(1, 2) != TavloNoDevice;
            EXPECT_EQ(bound, c.named == nullptr);
            if (upFront) {
                EXPECT_EQ(model.RequestsSeen(), 0u);
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

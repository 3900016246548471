// The form tools' binding: load at first call, look up at first use, stop
// with a message naming what is missing.
#include "tavlo_ioctl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"

namespace {

class TavloIoctlTest : public ::testing::Test {
protected:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        tavlosim::TheInProcessDriver().model.AttachPanel(0x31);
    }
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl ioctl{loader, [this](const std::string& m) { fatal.push_back(m); }};
};

TEST_F(TavloIoctlTest, LoadsOnceAndLooksEachFunctionUpAtFirstUse) {
    EXPECT_TRUE(loader.loads.empty());
    std::uint8_t count = 0;
    std::uint16_t stamp = 0;
    EXPECT_EQ(ioctl.GetDevices(&count), TavloOk);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ioctl.GetDevices(&count), TavloOk);
    EXPECT_EQ(ioctl.NeedUpdate(&stamp), TavloOk);
    std::uint8_t id = 0;
    EXPECT_EQ(ioctl.GetPanelId(&stamp, 0, &id), TavloOk);
    EXPECT_EQ(id, 0x31);
    EXPECT_EQ(loader.loads, std::vector<std::string>{"TAVLO.DLL"});
    EXPECT_EQ(loader.lookups, (std::vector<std::string>{"TavloGetDevices", "TavloNeedUpdate", "TavloGetPanelId"}));
    EXPECT_TRUE(fatal.empty());
}

TEST_F(TavloIoctlTest, MissingLibraryIsFatalAndNamed) {
    loader.libraryMissing = true;
    std::uint16_t version = 0;
    EXPECT_EQ(ioctl.GetVersion(&version), TavloNoDevice);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_NE(fatal[0].find("TAVLO.DLL"), std::string::npos);
    EXPECT_EQ(tavlosim::TheInProcessDriver().model.RequestsSeen(), 0u);
}

TEST_F(TavloIoctlTest, MissingFunctionIsFatalAndNamed) {
    loader.missingFunctions = {"TavloSetClickOnceMode"};
    std::uint8_t flag = 0, button = 0;
    EXPECT_EQ(ioctl.GetClickOnceMode(&flag, &button), TavloOk);
    EXPECT_EQ(ioctl.SetClickOnceMode(1, 2), TavloNoDevice);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_NE(fatal[0].find("TavloSetClickOnceMode"), std::string::npos);
}

}  // namespace

TEST_F(TavloIoctlTest, BindNowLooksEverythingUpBeforeAnyRequest) {
    using T = tavlo::TavloIoctl;
    struct Case {
        const char* missing;  // nullptr: nothing missing
        bool libraryMissing;
        bool bound;
        const char* named;
    };
    const Case cases[] = {
        {nullptr, false, true, nullptr},
        {"TavloSetClickOnceMode", false, false, "TavloSetClickOnceMode"},
        {"TavloGetVersion", false, false, "TavloGetVersion"},
        {nullptr, true, false, "TAVLO.DLL"},
    };
    for (const Case& c : cases) {
        tavlosim::InProcessLoader caseLoader;
        std::vector<std::string> caseFatal;
        tavlo::TavloIoctl device{caseLoader, [&](const std::string& m) { caseFatal.push_back(m); }};
        caseLoader.libraryMissing = c.libraryMissing;
        if (c.missing != nullptr) caseLoader.missingFunctions = {c.missing};
        EXPECT_EQ(device.BindNow({T::kGetVersion, T::kGetClickMode, T::kSetClickMode, T::kGetClickOnceMode,
                                  T::kSetClickOnceMode}),
                  c.bound);
        if (c.named == nullptr) {
            EXPECT_TRUE(caseFatal.empty());
            EXPECT_EQ(caseLoader.lookups.size(), 5u);
        } else {
            ASSERT_EQ(caseFatal.size(), 1u) << c.named;
            EXPECT_NE(caseFatal[0].find(c.named), std::string::npos) << caseFatal[0];
        }
        EXPECT_EQ(tavlosim::TheInProcessDriver().model.RequestsSeen(), 0u);
    }
}

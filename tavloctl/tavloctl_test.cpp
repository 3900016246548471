// The service console against the in-process driver: what each command
// prints, what it changes in the driver, and how failures are reported.
#include "tavloctl.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "tavlo.h"

namespace {

using tavlosim::TheInProcessDriver;

class TavloCtlTest : public ::testing::Test {
protected:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        Model().AttachPanel(0x11, 0x0105);
        Model().AttachPanel(0x22, 0x0207);
    }
    static tavlosim::DeviceModel& Model() { return TheInProcessDriver().model; }
    int Run(const std::vector<std::string>& args, tavloctl::Pause pause = [](int) {}) {
        out.str("");
        err.str("");
        return tavloctl::Run(args, out, err, pause);
    }
    std::ostringstream out, err;
};

// One after another: each command sees what the earlier ones wrote.
TEST_F(TavloCtlTest, CommandsPrintWhatTheDriverHolds) {
    Model().SetTouched(1, true);
    Model().MutablePanel(0)->pointdata = 0;
    const struct {
        std::vector<std::string> args;
        std::string printed;
    } cases[] = {
        {{"list"},
         "2 panel(s)\n"
         "panel  identifier  firmware  point data  touched\n"
         "    0        0x11    0x0105    disabled       no\n"
         "    1        0x22    0x0207     enabled      yes\n"},
        {{"version"}, "driver version 0x0210\n"},
        {{"calibration", "1", "--saved", "9000", "-12", "11000", "34"},
         "panel 1 calibration (saved): x gain 9000, x offset -12, y gain 11000, y offset 34\n"},
        {{"calibration", "1", "31000", "0", "10000", "0"},
         "panel 1 calibration (working): x gain 31000, x offset 0, y gain 10000, y offset 0\n"},
        // Identity into the working set only.
        {{"reset-calibration", "1"},
         "panel 1 calibration (working): x gain 10000, x offset 0, y gain 10000, y offset 0\n"},
        {{"calibration", "1", "--saved"},
         "panel 1 calibration (saved): x gain 9000, x offset -12, y gain 11000, y offset 34\n"},
        {{"click", "0", "55", "30", "430", "21"},
         "panel 0 click settings (working): down cancel 50, up cancel 30, double-click time 430 ms, "
         "double-click area 20\n"},
        {{"sound", "1", "off", "--saved"}, "panel 1 click sound (saved): off\n"},
        {{"pointdata", "1", "off"}, "panel 1 point data: disabled\n"},
        {{"led", "0", "0x7f"}, "panel 0 LED: 127\n"},
        {{"startup-mode", "0"}, "start-up mode: 0\n"},
        {{"click-mode", "right"}, "click mode: 2 (right)\n"},
        {{"once-mode", "1", "middle"}, "once mode: flag 1, button 4 (middle)\n"},
        {{"eeprom", "1", "0x12", "0x2A7"}, "panel 1 EEPROM 0x12: 0x02A7\n"},
        {{"eeprom", "1", "010", "0X2a7"}, "panel 1 EEPROM 0x0A: 0x02A7\n"},  // decimal despite the zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        ASSERT_EQ(Run(c.args), 0) << err.str();
        EXPECT_EQ(out.str(), c.printed);
    }
}

// A panel attached between two calls of one command makes the second call
// report the changed panel set; it is repeated once with the fresh stamp.
TEST_F(TavloCtlTest, PanelChangesBetweenCallsAreRetriedOnce) {
    TheInProcessDriver().channel.afterRequest = [](std::uint32_t code) {
        if (code == IOCTL_TAVLO_SET_PANEL_LED) Model().AttachPanel(0x33);
    };
    ASSERT_EQ(Run({"led", "1", "9"}), 0) << err.str();
    EXPECT_EQ(out.str(), "panel 1 LED: 9\n");
}

TEST_F(TavloCtlTest, FailuresAreNamedAndExplained) {
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"led", "5"}, 1, "TavloGetPanelLed failed: TavloBadPanel (5): there is no panel with that number"},
        {{}, 2, "no command given"},
        {{"frob"}, 2, "unknown command 'frob'"},
        {{"calibration", "0", "1", "2"}, 2, "calibration needs PANEL"},
        {{"calibration", "0", "1", "2", "3", "40000"}, 2, "-32768..32767"},
        {{"sound", "0", "maybe"}, 2, "sound takes on or off"},
        {{"pointdata", "0", "on", "--saved"}, 2, "pointdata has no saved set"},
        {{"reset-calibration", "0", "--saved"}, 2, "working set only"},
        {{"eeprom", "0", "256"}, 2, "ADDRESS 0-255"},
        {{"watch", "--count"}, 2, "watch options take a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(Run(c.args), c.exitCode);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }
    Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION, 87);
    EXPECT_EQ(Run({"calibration", "0"}), 1);
    EXPECT_NE(err.str().find("TavloBadParameter (7)"), std::string::npos);
    TheInProcessDriver().channel.deviceMissing = true;
    EXPECT_EQ(Run({"list"}), 1);
    EXPECT_NE(err.str().find("TavloNeedUpdate failed: TavloNoDevice (1)"), std::string::npos);
}

TEST_F(TavloCtlTest, WatchPrintsTouchesAndReleasesAsTheyHappen) {
    int polls = 0;
    // The fake pause plays a touch on panel 1, its release, then panel 0.
    auto pause = [&](int ms) {
        EXPECT_EQ(ms, 50);
        switch (++polls) {
        case 2: Model().SetTouched(1, true); break;
        case 4: Model().SetTouched(1, false); break;
        case 5: Model().SetTouched(0, true); break;
        }
    };
    ASSERT_EQ(Run({"watch", "--count", "2", "--seconds", "5"}, pause), 0) << err.str();
    EXPECT_EQ(out.str(),
              "watching touches until 2 seen, at most 5 s\npanel 1 touched\npanel 1 released\npanel 0 touched\n");
}

TEST_F(TavloCtlTest, WatchGivesUpAtTheDeadline) {
    int polls = 0;
    EXPECT_EQ(Run({"watch", "--count", "1", "--seconds", "1"}, [&](int) { ++polls; }), 1);
    EXPECT_EQ(polls, 19);  // 20 polls in one second
    EXPECT_NE(err.str().find("watch saw 0 of 1 touches"), std::string::npos);
}

}  // namespace

// The service console against the in-process driver: what each command
// prints, what it changes in the driver, and how failures are reported.
#include "tavloctl.h"

#include <cctype>
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

TEST_F(TavloCtlTest, ListShowsEveryPanel) {
    Model().SetTouched(1, true);
    Model().MutablePanel(0)->pointdata = 0;
    ASSERT_EQ(Run({"list"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "2 panel(s)\n"
              "panel  identifier  firmware  point data  touched\n"
              "    0        0x11    0x0105    disabled       no\n"
              "    1        0x22    0x0207     enabled      yes\n");
}

// Readable names in CTest: the arguments, letters and digits only.
template <typename Case>
std::string ArgsName(const ::testing::TestParamInfo<Case>& row) {
    std::string name = "Args";
    for (const std::string& arg : row.param.args) {
        name += '_';
        for (char c : arg) name += std::isalnum(static_cast<unsigned char>(c)) ? c : 'x';
    }
    return name + '_' + std::to_string(row.index);
}

struct CommandCase {
    std::vector<std::string> args;
    std::string printed;
};

class Commands : public TavloCtlTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, PrintWhatTheDriverHolds) {
    ASSERT_EQ(Run(GetParam().args), 0) << err.str();
    EXPECT_EQ(out.str(), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Commands,
    ::testing::Values(
        CommandCase{{"version"}, "driver version 0x0210\n"},
        CommandCase{{"calibration", "1", "--saved", "9000", "-12", "11000", "34"},
                    "panel 1 calibration (saved): x gain 9000, x offset -12, y gain 11000, y offset 34\n"},
        CommandCase{{"calibration", "0"}, "panel 0 calibration (working): x gain 10000, x offset 0, y gain 10000, y offset 0\n"},
        CommandCase{{"click", "0", "55", "30", "430", "21"},
                    "panel 0 click settings (working): down cancel 50, up cancel 30, double-click time 430 ms, "
                    "double-click area 20\n"},
        CommandCase{{"sound", "1", "off", "--saved"}, "panel 1 click sound (saved): off\n"},
        CommandCase{{"pointdata", "1", "off"}, "panel 1 point data: disabled\n"},
        CommandCase{{"led", "0", "0x7f"}, "panel 0 LED: 127\n"},
        CommandCase{{"startup-mode", "0"}, "start-up mode: 0\n"},
        CommandCase{{"click-mode", "right"}, "click mode: 2 (right)\n"},
        CommandCase{{"once-mode", "1", "middle"}, "once mode: flag 1, button 4 (middle)\n"},
        CommandCase{{"eeprom", "1", "0x12", "0x2A7"}, "panel 1 EEPROM 0x12: 0x02A7\n"}),
    ArgsName<CommandCase>);

TEST_F(TavloCtlTest, ResetCalibrationRestoresIdentityInTheWorkingSetOnly) {
    Model().MutablePanel(1)->calibration[tavlosim::kWorkingSet][0] = 31000;
    Model().MutablePanel(1)->calibration[tavlosim::kSavedSet][0] = 9000;
    ASSERT_EQ(Run({"reset-calibration", "1"}), 0);
    EXPECT_EQ(Model().Panel(1)->calibration[tavlosim::kWorkingSet][0], 10000);
    EXPECT_EQ(Model().Panel(1)->calibration[tavlosim::kSavedSet][0], 9000);
}

TEST_F(TavloCtlTest, PanelChangesBetweenCallsAreRetriedOnce) {
    ASSERT_EQ(Run({"led", "1", "5"}), 0);
    Model().AttachPanel(0x33);  // stamp moves on
    ASSERT_EQ(Run({"led", "2", "9"}), 0) << err.str();
    EXPECT_EQ(Model().Panel(2)->led, 9);
}

struct FailureCase {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
};

class Failures : public TavloCtlTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, AreNamedAndExplained) {
    EXPECT_EQ(Run(GetParam().args), GetParam().exitCode);
    EXPECT_NE(err.str().find(GetParam().message), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Failures,
    ::testing::Values(
        FailureCase{{"led", "5"}, 1, "TavloGetPanelLed failed: TavloBadPanel (5): there is no panel with that number"},
        FailureCase{{}, 2, "no command given"}, FailureCase{{"frob"}, 2, "unknown command 'frob'"},
        FailureCase{{"calibration", "0", "1", "2"}, 2, "calibration needs PANEL"},
        FailureCase{{"calibration", "0", "1", "2", "3", "40000"}, 2, "-32768..32767"},
        FailureCase{{"sound", "0", "maybe"}, 2, "sound takes on or off"},
        FailureCase{{"pointdata", "0", "on", "--saved"}, 2, "pointdata has no saved set"},
        FailureCase{{"reset-calibration", "0", "--saved"}, 2, "working set only"},
        FailureCase{{"eeprom", "0", "256"}, 2, "ADDRESS 0-255"},
        FailureCase{{"watch", "--count"}, 2, "watch options take a value"}),
    ArgsName<FailureCase>);

TEST_F(TavloCtlTest, DriverFailuresAndAMissingDeviceAreReported) {
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
    EXPECT_EQ(out.str(), "watching touches until 2 seen, at most 5 s\npanel 1 touched\npanel 1 released\npanel 0 touched\n");
}

TEST_F(TavloCtlTest, WatchGivesUpAtTheDeadline) {
    int polls = 0;
    EXPECT_EQ(Run({"watch", "--count", "1", "--seconds", "1"}, [&](int) { ++polls; }), 1);
    EXPECT_EQ(polls, 19);  // 20 polls in one second
    EXPECT_NE(err.str().find("watch saw 0 of 1 touches"), std::string::npos);
}

}  // namespace

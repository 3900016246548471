// The simulator console against an in-process model: commands change the
// driver's state, and state and log read back in both formats.
#include "sim_console.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "inprocess_control.h"

namespace {

class SimConsoleTest : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return tavlosim::RunSimConsole(args, control, out, err);
    }
    tavlosim::DeviceModel model;
    tavlosim::InProcessControl transport{model};
    tavlosim::SimControl control{transport};
    std::ostringstream out, err;
};

TEST_F(SimConsoleTest, CommandsRunInOrderAndChangeTheDriverAndItsPlug) {
    ASSERT_EQ(Run({"-m", "reset", "attach", "0x11", "attach", "034", "0x0300", "touch", "1", "pointdata", "0", "0"}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "attached index=0 id=17\nattached index=1 id=34\n");
    ASSERT_EQ(model.PanelCount(), 2);
    EXPECT_EQ(model.Panel(1)->firmware, 0x0300);
    EXPECT_EQ(model.Panel(1)->touched, 1);
    EXPECT_EQ(model.Panel(0)->pointdata, 0);
    ASSERT_EQ(Run({"release", "1", "remove", "0"}), 0);
    EXPECT_EQ(model.PanelCount(), 1);
    EXPECT_EQ(model.Panel(0)->id, 34);
    EXPECT_EQ(model.Panel(0)->touched, 0);
    ASSERT_EQ(Run({"unplug"}), 0);
    EXPECT_FALSE(transport.plugged);
    ASSERT_EQ(Run({"-m", "state"}), 0);
    EXPECT_NE(out.str().find("plugged=0"), std::string::npos);
    ASSERT_EQ(Run({"replug"}), 0);
    EXPECT_TRUE(transport.plugged);
    ASSERT_EQ(Run({"unplug", "reset"}), 0);  // a reset plugs the device back in
    EXPECT_TRUE(transport.plugged);
}

TEST_F(SimConsoleTest, MachineStateHasOneLinePerItem) {
    model.AttachPanel(5, 0x0105);
    ASSERT_EQ(Run({"-m", "state"}), 0);
    EXPECT_EQ(out.str(), "driver stamp=" + std::to_string(model.Stamp()) +
                             " panels=1 plugged=1 startup=1 clickbutton=1 onceflag=0 oncebutton=2 requests=0 "
                             "logsize=0\n"
                             "panel index=0 id=5 firmware=261 pointdata=1 touched=0 led=0 cal=10000,0,10000,0 "
                             "calsaved=10000,0,10000,0 click=12,15,33,40,6,3,3 clicksaved=12,15,33,40,6,3,3 "
                             "sound=1 soundsaved=1\n");
}

TEST_F(SimConsoleTest, FaultsRepliesAndLogReachTheModel) {
    model.AttachPanel(5);
    ASSERT_EQ(Run({"fail", "0x22E0E0", "87", "reply", "0x22E0C0", "once", "2", "fail-next", "1167"}), 0) << err.str();
    std::uint8_t in = 0, reply[8] = {};
    std::uint32_t returned = 0;
    EXPECT_EQ(model.Handle(0x226004, nullptr, 0, reply, 3, &returned), 1167u);
    EXPECT_EQ(model.Handle(0x22E0E0, &in, 1, reply, 1, &returned), 87u);
    EXPECT_EQ(model.Handle(0x22E0C0, &in, 1, reply, 1, &returned), 0u);
    EXPECT_EQ(reply[0], 2);
    ASSERT_EQ(Run({"-m", "log"}), 0);
    EXPECT_EQ(out.str(),
              "request seq=1 code=0x226004 in= out=3 error=1167\n"
              "request seq=2 code=0x22E0E0 in=00 out=1 error=87\n"
              "request seq=3 code=0x22E0C0 in=00 out=1 error=0\n");
    ASSERT_EQ(Run({"clear-faults", "clear-log", "log"}), 0);
    EXPECT_EQ(out.str(), "(no requests logged)\n");
}

struct BadUsageCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string message;
};

class SimConsoleBadUsage : public SimConsoleTest, public ::testing::WithParamInterface<BadUsageCase> {};

TEST_P(SimConsoleBadUsage, IsReportedWithoutChangingMore) {
    const BadUsageCase& c = GetParam();
    EXPECT_EQ(Run(c.args), c.exitCode);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(model.PanelCount(), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Usage, SimConsoleBadUsage,
    ::testing::Values(
        BadUsageCase{.name = "NoCommand", .args = {}, .exitCode = 2, .message = "no command given"},
        BadUsageCase{.name = "UnknownCommand", .args = {"frobnicate"}, .exitCode = 2, .message = "unknown command 'frobnicate'"},
        BadUsageCase{.name = "AttachWithoutIdentifier", .args = {"attach"}, .exitCode = 2, .message = "attach needs panel identifier"},
        BadUsageCase{.name = "AttachIdentifierTooLarge", .args = {"attach", "256"}, .exitCode = 2, .message = "attach needs panel identifier"},
        BadUsageCase{.name = "TouchNegative", .args = {"touch", "-1"}, .exitCode = 2, .message = "touch needs panel number"},
        BadUsageCase{.name = "PointdataNotABit", .args = {"pointdata", "0", "2"}, .exitCode = 2, .message = "pointdata needs 0 or 1"},
        BadUsageCase{.name = "ReplyTwice", .args = {"reply", "0x22E0C0", "twice"}, .exitCode = 2, .message = "reply needs once or always"},
        BadUsageCase{.name = "ReplyTooLong",
                     .args = {"reply", "0x22E0C0", "once", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
                     .exitCode = 2, .message = "at most 8 bytes"},
        BadUsageCase{.name = "RemoveMissingPanel", .args = {"remove", "0"}, .exitCode = 1, .message = "remove failed: the driver answered with error 2"},
        BadUsageCase{.name = "TouchMissingPanel", .args = {"touch", "3"}, .exitCode = 1, .message = "touch failed"}),
    [](const ::testing::TestParamInfo<BadUsageCase>& row) { return std::string(row.param.name); });
// clang-format on

}  // namespace

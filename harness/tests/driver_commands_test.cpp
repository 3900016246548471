// The agent's driver commands against the in-process driver model.
#include "driver_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "inprocess_control.h"

namespace agent {
namespace {

class NoClock final : public Clock {
public:
    std::uint64_t NowMs() override { return now; }
    void SleepMs(unsigned ms) override { now += ms; }
    std::uint64_t now = 0;
};

class DriverCommandsTest : public ::testing::Test {
protected:
    DriverCommandsTest() { AddDriverCommands(dispatcher, transport); }
    Json Ok(const char* cmd, const Json& args = Json::object()) {
        const Json reply = Json::parse(dispatcher.HandleLine(Json{{"cmd", cmd}, {"args", args}}.dump()));
        EXPECT_EQ(reply["ok"], true) << cmd << " " << reply;
        return reply["result"];
    }
    std::string Error(const char* cmd, const Json& args = Json::object()) {
        const Json reply = Json::parse(dispatcher.HandleLine(Json{{"cmd", cmd}, {"args", args}}.dump()));
        EXPECT_EQ(reply["ok"], false) << cmd;
        return reply.value("error", "");
    }

    tavlosim::DeviceModel model;
    tavlosim::InProcessControl transport{model};
    NoClock clock;
    Dispatcher dispatcher{clock};
};

TEST_F(DriverCommandsTest, StateShowsWhatTheCommandsChanged) {
    EXPECT_EQ(Ok("driver.attach", {{"id", 0x11}})["index"], 0);
    EXPECT_EQ(Ok("driver.attach", {{"id", 0x22}, {"firmware", 0x300}})["index"], 1);
    Ok("driver.touch", {{"panel", 1}});
    Ok("driver.pointdata", {{"panel", 0}, {"on", false}});
    const Json state = Ok("driver.state");
    EXPECT_TRUE(Matches(state, Json::parse(R"({"driver": {"panels": 2, "plugged": 1},
        "panels": [{"index": 0, "id": 17, "pointdata": 0, "touched": 0}, {"index": 1, "id": 34, "firmware": 768, "touched": 1}]})")))
        << state;
    EXPECT_EQ(state["panels"][0]["click"].size(), 7u);
    EXPECT_EQ(state["panels"][0]["cal"].size(), 4u);
    Ok("driver.unplug");
    EXPECT_EQ(Ok("driver.state")["driver"]["plugged"], 0);
    Ok("driver.replug");
    Ok("driver.remove", {{"panel", 0}});
    EXPECT_EQ(Ok("driver.state")["panels"][0]["id"], 34);
    Ok("driver.reset");
    EXPECT_TRUE(Matches(Ok("driver.state"),
                        Json::parse(R"({"driver": {"panels": 0, "plugged": 1, "logsize": 0}, "panels": []})")));
}

// The scenarios wait on the decoded sets: the working and the saved block
// must not be mixed up, nor the four values.
TEST_F(DriverCommandsTest, StateDecodesBothClickSets) {
    Ok("driver.attach", {{"id", 0x31}});
    tavlosim::PanelState* panel = model.MutablePanel(0);
    const std::uint8_t working[7] = {13, 16, 0, 45, 0, 3, 7};
    const std::uint8_t saved[7] = {8, 10, 0, 20, 0, 10, 0};
    std::copy(working, working + 7, panel->click[0]);
    std::copy(saved, saved + 7, panel->click[1]);
    const Json state = Ok("driver.state")["panels"][0];
    EXPECT_EQ(state["clickset"], Json::parse(R"({"down_cancel": 30, "up_cancel": 70, "double_click_time": 450,
                                                  "double_click_area": 30})"));
    EXPECT_EQ(state["clicksetsaved"], Json::parse(R"({"down_cancel": 100, "up_cancel": 0, "double_click_time": 200,
                                                       "double_click_area": 20})"));
}

// driver.log's filters let a wait count one program's polls since a step:
// each must narrow the list, and together they must agree with `count`.
TEST_F(DriverCommandsTest, LogFiltersByCodeInputAndSequence) {
    const std::uint8_t zero = 0, one = 1;
    std::uint8_t out[16];
    std::uint32_t returned = 0;
    for (const auto& [code, in] :
         {std::pair{0x222000u, &zero}, {0x222000u, &one}, {0x222004u, &zero}, {0x222000u, &zero}}) {
        model.Handle(code, in, 1, out, sizeof out, &returned);
    }
    const Json all = Ok("driver.log");
    ASSERT_EQ(all["count"], 4) << all;
    const auto first = all["requests"][0]["seq"].get<std::int64_t>();
    struct Row {
        Json args;
        int count;
    };
    const Row rows[] = {
        {{{"code", 0x222000}}, 3},
        {{{"code", 0x222000}, {"in", {0}}}, 2},
        {{{"code", 0x222000}, {"in", {0}}, {"after", first}}, 1},
        {{{"in", {1}}}, 1},
        {{{"after", first + 3}}, 0},
    };
    for (const Row& row : rows) {
        const Json log = Ok("driver.log", row.args);
        EXPECT_EQ(log["count"], row.count) << row.args;
        EXPECT_EQ(log["requests"].size(), static_cast<std::size_t>(row.count)) << row.args;
    }
    EXPECT_NE(Error("driver.log", {{"in", {256}}}).find("0-255"), std::string::npos);
}

TEST_F(DriverCommandsTest, BadArgumentsAndDriverErrorsAreErrorReplies) {
    struct Case {
        const char* cmd;
        Json args;
        const char* error;
    };
    const Case cases[] = {
        {"driver.attach", Json::object(), "missing argument 'id'"},
        {"driver.attach", {{"id", 256}}, "between 0 and 255"},
        {"driver.attach", {{"id", 1}, {"firmware", 0x10000}}, "between 0 and 65535"},
        {"driver.touch", {{"panel", 3}}, "driver.touch failed: the driver answered with error"},
        {"driver.pointdata", {{"panel", 0}}, "missing argument 'on'"},
        {"driver.reply", {{"code", 1}, {"bytes", {1, 2, 3, 4, 5, 6, 7, 8, 9}}}, "at most 8 bytes"},
        {"driver.reply", {{"code", 1}, {"bytes", {256}}}, "0-255"},
        {"driver.reply", {{"code", 1}, {"bytes", {"01"}}}, "0-255"},
        {"sim", {{"args", {1}}}, "must be strings"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(Error(c.cmd, c.args).find(c.error), std::string::npos) << c.cmd << " " << c.args;
    }
    EXPECT_EQ(model.PanelCount(), 0);
}

TEST_F(DriverCommandsTest, FaultsShowInTheLogAndTheConsoleLineStillWorks) {
    Ok("driver.attach", {{"id", 1}});
    Ok("driver.clear_log");
    const Json sim = Ok("sim", {{"args", {"-m", "attach", "0x22", "state"}}});
    EXPECT_EQ(sim["status"], 0);
    EXPECT_NE(sim["out"].get<std::string>().find("attached index=1 id=34"), std::string::npos);
    EXPECT_EQ(Ok("sim", {{"args", {"nosuch"}}})["status"], 2);
    Ok("driver.fail_next", {{"error", 31}});
    Ok("driver.reply", {{"code", 0x22E0E0}, {"bytes", {1, 2}}, {"always", true}});
    Ok("driver.clear_faults");
    EXPECT_TRUE(Ok("driver.log")["requests"].is_array());
}

}  // namespace
}  // namespace agent

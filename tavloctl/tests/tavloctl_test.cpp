// The service console against the in-process driver and the in-memory key
// store: what each command prints and changes, the panel references, the
// records and their notes, JSON output, refused options, recovery, the
// health check and the number of device cycles the big commands take.
#include "tavloctl.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "memory_key_store.h"
#include "row_name.h"
#include "tavlo.h"
#include "test_platform.h"

namespace {

using tavlosim::TheInProcessDriver;
using Json = nlohmann::json;

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";

brimol::MemoryKeyStore& Store() { return brimol::TheMemoryKeyStore(); }

void PutRecord(int id, const std::string& name, std::int32_t mode, std::int32_t irOp = 0) {
    const std::string key = kBase + "ID" + std::to_string(id);
    Store().PutText(key, "NAME", name);
    Store().PutDword(key, "TOUCH_OP", mode);
    Store().PutDword(key, "IR_OP", irOp);
}

std::int32_t Dword(const std::string& key, const std::string& value) {
    const brimol::StoredValue* stored = Store().Find(kBase + key, value);
    if (stored == nullptr || stored->bytes.size() != 4) return -999;
    return static_cast<std::int32_t>(stored->bytes[0] | stored->bytes[1] << 8 | stored->bytes[2] << 16 |
                                     static_cast<std::uint32_t>(stored->bytes[3]) << 24);
}

std::string Text(const std::string& key, const std::string& value) {
    const brimol::StoredValue* stored = Store().Find(kBase + key, value);
    if (stored == nullptr) return "(missing)";
    return std::string(stored->bytes.begin(), std::find(stored->bytes.begin(), stored->bytes.end(), 0));
}

class TavloCtlTest : public ::testing::Test {
public:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        Store().Clear();
        platform = tavloctl::TestPlatform();
        Model().AttachPanel(0x11, 0x0105);
        Model().AttachPanel(0x22, 0x0207);
        for (const char* file :
             {"TAVLO.DLL", "BRIMOL.DLL", "Nystra.exe", "Cordane.exe", "Velmic.exe", "Gorvat.exe", "Palvine.exe"}) {
            platform.files.insert(std::string("C:\\Orlinde\\Dravik\\") + file);
        }
    }
    static tavlosim::DeviceModel& Model() { return TheInProcessDriver().model; }
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return tavloctl::Run(args, out, err, platform);
    }
    Json RunJson(const std::vector<std::string>& args) {
        EXPECT_EQ(Run(args), 0) << err.str();
        return Json::parse(out.str());
    }
    tavloctl::TestPlatform platform;
    std::ostringstream out, err;
};

// One after another: each command sees what the earlier ones wrote.
TEST_F(TavloCtlTest, CommandsPrintWhatTheDriverHolds) {
    Model().SetTouched(1, true);
    Model().MutablePanel(0)->pointdata = 0;
    PutRecord(0x22, "Line B", 2);
    const struct {
        std::vector<std::string> args;
        std::string printed;
    } cases[] = {
        {{"list"},
         "2 panel(s)\n"
         "panel  identifier  firmware  point data  touched  mode        name\n"
         "    0          17    0x0105    disabled       no  (no record)  \n"
         "    1          34    0x0207     enabled      yes  supervisor  Line B\n"},
        {{"version"}, "driver version 0x0210\n"},
        {{"calibration", "1", "--saved", "9000", "-12", "11000", "34"},
         "panel 1 calibration (saved): x gain 9000, x offset -12, y gain 11000, y offset 34\n"},
        {{"calibration", "id:34", "31000", "0", "10000", "0"},
         "panel 1 calibration (working): x gain 31000, x offset 0, y gain 10000, y offset 0\n"},
        {{"reset-calibration", "1"},
         "panel 1 calibration (working): identity, x gain 10000, x offset 0, y gain 10000, y offset 0\n"},
        {{"calibration", "1", "--saved"},
         "panel 1 calibration (saved): x gain 9000, x offset -12, y gain 11000, y offset 34\n"},
        {{"click", "0", "55", "30", "430", "21"},
         "panel 0 click settings (working): down cancel 50, up cancel 30, double-click time 430 ms, "
         "double-click area 20\n"},
        {{"sound", "1", "off", "--saved"}, "panel 1 click sound (saved): off\n"},
        {{"pointdata", "id:0x22", "off"}, "panel 1 point data: disabled\n"},
        {{"led", "0", "0x7f"}, "panel 0 LED: 127\n"},
        {{"startup-mode", "0"}, "start-up mode: 0\n"},
        {{"click-mode", "right"}, "click mode: 2 (right)\n"},
        {{"once-mode", "1", "middle"}, "once mode: flag 1, button 4 (middle)\n"},
        {{"eeprom", "1", "0x12", "0x2A7"}, "panel 1 EEPROM 0x12: 0x02A7\n"},
        {{"eeprom", "1", "010", "0X2a7"}, "panel 1 EEPROM 0x0A: 0x02A7\n"},  // decimal despite the zero
        // The saved set (9000 -12 11000 34, sound off) back into the working set.
        {{"revert", "id:34"},
         "panel 1 working calibration: 10000 0 10000 0 -> 9000 -12 11000 34\n"
         "panel 1 working sound: on -> off\n"},
        {{"revert", "1"}, "panel 1: working set already equals the saved set\n"},
        {{"reset-calibration", "1", "--saved"},
         "panel 1 calibration (working): identity, x gain 10000, x offset 0, y gain 10000, y offset 0\n"
         "panel 1 calibration (saved): identity, x gain 10000, x offset 0, y gain 10000, y offset 0\n"},
        {{"--version"}, "tavloctl " + std::string(tavloctl::SuiteVersion()) + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        ASSERT_EQ(Run(c.args), 0) << err.str();
        EXPECT_EQ(out.str(), c.printed);
    }
    EXPECT_EQ(Model().Panel(1)->calibration[1][0], 10000);
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

struct RefusedCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string message;
};

class TavloCtlRefused : public TavloCtlTest, public ::testing::WithParamInterface<RefusedCase> {};

// Panels 1 and 2 share identifier 34; the failure or refusal is named on
// the error stream and nothing is printed.
TEST_P(TavloCtlRefused, IsNamed) {
    Model().AttachPanel(0x22);
    const RefusedCase& c = GetParam();
    EXPECT_EQ(Run(c.args), c.exitCode);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Usage, TavloCtlRefused,
    ::testing::Values(
        RefusedCase{.name = "BadPanelNumber", .args = {"led", "5"}, .exitCode = 1,
                    .message = "TavloGetPanelLed failed: TavloBadPanel (5): there is no panel with that number"},
        RefusedCase{.name = "NoPanelWithIdentifier", .args = {"led", "id:99"}, .exitCode = 1, .message = "no attached panel has identifier 99"},
        RefusedCase{.name = "IdentifierShared", .args = {"led", "id:34"}, .exitCode = 1,
                    .message = "2 attached panels have identifier 34; name the panel by its number"},
        RefusedCase{.name = "EmptyIdentifier", .args = {"led", "id:"}, .exitCode = 2, .message = "'id:' is no panel"},
        RefusedCase{.name = "IdentifierTooLarge", .args = {"led", "id:256"}, .exitCode = 2, .message = "'id:256' is no panel"},
        RefusedCase{.name = "NoCommand", .args = {}, .exitCode = 2, .message = "no command given"},
        RefusedCase{.name = "UnknownCommand", .args = {"frob"}, .exitCode = 2, .message = "unknown command 'frob'"},
        RefusedCase{.name = "CalibrationTooFewValues", .args = {"calibration", "0", "1", "2"}, .exitCode = 2, .message = "calibration needs PANEL"},
        RefusedCase{.name = "CalibrationValueTooLarge", .args = {"calibration", "0", "1", "2", "3", "40000"}, .exitCode = 2, .message = "-32768..32767"},
        RefusedCase{.name = "SoundNeitherOnNorOff", .args = {"sound", "0", "maybe"}, .exitCode = 2, .message = "sound takes on or off"},
        // Options that mean nothing to a command are refused, not ignored.
        RefusedCase{.name = "SavedForPointdata", .args = {"pointdata", "0", "on", "--saved"}, .exitCode = 2,
                    .message = "option --saved has no meaning for pointdata"},
        RefusedCase{.name = "SavedForList", .args = {"list", "--saved"}, .exitCode = 2, .message = "option --saved has no meaning for list"},
        RefusedCase{.name = "SavedJsonForCalibration", .args = {"calibration", "0", "--saved --json"}, .exitCode = 2,
                    .message = "option --saved --json has no meaning for calibration"},
        RefusedCase{.name = "JsonForExport", .args = {"export", "--json"}, .exitCode = 2, .message = "option --json has no meaning for export"},
        RefusedCase{.name = "DryRunForRecover", .args = {"recover", "--dry-run"}, .exitCode = 2, .message = "option --dry-run has no meaning for recover"},
        RefusedCase{.name = "CountWithoutValue", .args = {"watch", "--count"}, .exitCode = 2, .message = "option --count needs a value"},
        RefusedCase{.name = "CountZero", .args = {"watch", "--count", "0"}, .exitCode = 2, .message = "--count takes 1..1000000"},
        RefusedCase{.name = "NameTwice", .args = {"record", "17", "--name", "a", "--name", "b"}, .exitCode = 2, .message = "option --name given twice"},
        RefusedCase{.name = "EepromAddressTooLarge", .args = {"eeprom", "0", "256"}, .exitCode = 2, .message = "ADDRESS 0-255"},
        RefusedCase{.name = "HelpForUnknownCommand", .args = {"help", "frob"}, .exitCode = 2, .message = "'frob' is none"},
        RefusedCase{.name = "VersionWithArgument", .args = {"--version", "x"}, .exitCode = 2, .message = "--version takes nothing else"},
        RefusedCase{.name = "ToWithoutPanel", .args = {"import", "f.json", "--to", "1"}, .exitCode = 2, .message = "--to must follow a --panel ID"}),
    [](const ::testing::TestParamInfo<RefusedCase>& row) { return std::string(row.param.name); });
// clang-format on

TEST_F(TavloCtlTest, DriverFailuresAreNamed) {
    Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION, 87);
    EXPECT_EQ(Run({"calibration", "0"}), 1);
    EXPECT_NE(err.str().find("TavloBadParameter (7)"), std::string::npos);
    TheInProcessDriver().channel.deviceMissing = true;
    EXPECT_EQ(Run({"list"}), 1);
    EXPECT_NE(err.str().find("TavloNeedUpdate failed: TavloNoDevice (1)"), std::string::npos);
}

TEST_F(TavloCtlTest, HelpListsEveryCommandAndExitCodes) {
    ASSERT_EQ(Run({"help"}), 0);
    const std::string usage = out.str();
    for (const char* command : {"list", "records", "record", "system", "export", "import", "recover", "revert",
                                "doctor", "watch", "reset-calibration"}) {
        EXPECT_NE(usage.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    }
    EXPECT_NE(usage.find("doctor: 0 every check OK, 1 a warning, 2 a failure"), std::string::npos);
    ASSERT_EQ(Run({"help", "import"}), 0);
    EXPECT_EQ(out.str().rfind("usage: tavloctl import FILE", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("options: --panel --to --dry-run"), std::string::npos) << out.str();
}

TEST_F(TavloCtlTest, WatchPrintsTimeAndIdentifierOfTouchesAndReleases) {
    int polls = 0;
    // The fake pause plays a touch on panel 1, its release, then panel 0.
    platform.pause = [&](int ms) {
        EXPECT_EQ(ms, 50);
        switch (++polls) {
        case 2:
            Model().SetTouched(1, true);
            break;
        case 4:
            Model().SetTouched(1, false);
            break;
        case 5:
            Model().SetTouched(0, true);
            break;
        }
    };
    ASSERT_EQ(Run({"watch", "--count", "2", "--seconds", "5"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "watching touches until 2 seen, at most 5 s\n"
              "12:00:00.000 panel 1 (id 34) touched\n"
              "12:00:00.050 panel 1 (id 34) released\n"
              "12:00:00.100 panel 0 (id 17) touched\n");
    // A panel attached while watching is named by its identifier too.
    polls = 0;
    Model().SetTouched(0, false);
    platform.pause = [&](int) {
        if (++polls == 1) {
            Model().AttachPanel(0x40);
            Model().SetTouched(2, true);
        }
    };
    ASSERT_EQ(Run({"watch", "--count", "1", "--seconds", "5", "--json"}), 0) << err.str();
    EXPECT_EQ(out.str(), "{\"time\":\"12:00:00.150\",\"panel\":2,\"id\":64,\"touched\":true}\n");
}

TEST_F(TavloCtlTest, WatchGivesUpAtTheDeadline) {
    int polls = 0;
    platform.pause = [&](int) { ++polls; };
    EXPECT_EQ(Run({"watch", "--count", "1", "--seconds", "1"}), 1);
    EXPECT_EQ(polls, 19);  // 20 polls in one second
    EXPECT_NE(err.str().find("watch saw 0 of 1 touches"), std::string::npos);
}

// Records -------------------------------------------------------------------

TEST_F(TavloCtlTest, RecordsAreReadWithTheLibrarysRulesAndOddValuesNoted) {
    PutRecord(17, "Line A", 1, 7);
    PutRecord(3, "Sixteen chars ok", 3);
    Store().PutText(kBase + "ID200", "NAME", std::string(60, 'x'));
    Store().PutDword(kBase + "ID200", "TOUCH_OP", 0);
    Store().PutDword(kBase + "ID200", "IR_OP", 0);
    Store().PutValue(kBase + "ID9", "NAME", brimol::kRegDword, {1, 0, 0, 0});
    Store().PutText(kBase + "ID9", "TOUCH_OP", "2");
    Store().PutDword(kBase + "ALL", "TIMEOUT", 0);
    Store().PutDword(kBase + "ALL", "TIMEENABLE", 1);
    ASSERT_EQ(Run({"records"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "ID3: name \"Sixteen chars ok\", mode TOUCH_OP 3, IR_OP 0\n"
              "  note: TOUCH_OP 3 is no mode (0 disable, 1 interlock, 2 supervisor); Nystra treats it as interlock\n"
              "ID9: name \"\", mode interlock, IR_OP 0\n"
              "  note: NAME is not text (type 4); read as empty\n"
              "  note: TOUCH_OP is not a 32-bit number (type 1, 2 bytes); read as 1 (interlock)\n"
              "  note: IR_OP is missing; read as 0\n"
              "ID17: name \"Line A\", mode interlock, IR_OP 7\n"
              "ID200: name \"" +
                  std::string(49, 'x') +
                  "\", mode disable, IR_OP 0\n"
                  "  note: NAME holds 61 bytes; read as its first 49 characters\n"
                  "  note: the name has 49 characters; a panel name has at most 16\n"
                  "ALL: time-out 0 s, time release on\n"
                  "  note: TIMEOUT 0 is outside 1 to 1800 seconds\n");

    const Json json = RunJson({"records", "--json"});
    ASSERT_EQ(json["records"].size(), 4u);
    EXPECT_EQ(json["records"][0]["mode"], nullptr);
    EXPECT_EQ(json["records"][0]["touch_op"], 3);
    EXPECT_EQ(json["records"][2], Json::parse(R"({"id":17,"stored":true,"name":"Line A","mode":"interlock",
                                                   "touch_op":1,"ir_op":7,"notes":[]})"));
    EXPECT_EQ(json["system"]["timeout"], 0);
    EXPECT_EQ(json["system"]["time_release"], true);
}

TEST_F(TavloCtlTest, RecordAndSystemWriteWithTheDialogsRules) {
    PutRecord(17, "Old", 1, 7);
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string printed;  // stdout, or the message on stderr for a failure
    } cases[] = {
        {{"record", "17", "--name", "Line A"}, 0, "ID17: name \"Line A\", mode interlock, IR_OP 7\n"},
        {{"record", "id:17", "--mode", "supervisor"}, 0, "ID17: name \"Line A\", mode supervisor, IR_OP 7\n"},
        {{"record", "17", "--name", "Seventeen chars!!"}, 1, "the name has 17 characters; a panel name has at most 16"},
        {{"record", "17", "--mode", "active"}, 2, "--mode takes interlock, supervisor or disable"},
        {{"record", "256"}, 2, "'256' is no identifier 0..255"},
        // A new record starts from the defaults a missing record reads as.
        {{"record", "40", "--mode", "disable"}, 0, "ID40: name \"\", mode disable, IR_OP 0\n"},
        {{"record", "41"}, 0, "ID41: name \"\", mode interlock, IR_OP 0 (no record: defaults)\n"},
        {{"system"}, 0, "ALL: time-out 30 s, time release off (no record: defaults)\n"},
        {{"system", "--timeout", "1800", "--time-release", "on"}, 0, "ALL: time-out 1800 s, time release on\n"},
        {{"system", "--timeout", "1801"}, 1, "from 1 to 1800 seconds; nothing written"},
        {{"system", "--timeout", "0"}, 1, "from 1 to 1800 seconds; nothing written"},
        {{"system", "--timeout", "-5"}, 1, "from 1 to 1800 seconds; nothing written"},
        {{"system", "--time-release", "yes"}, 2, "--time-release takes on or off"},
        {{"system", "--timeout", "1"}, 0, "ALL: time-out 1 s, time release on\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        EXPECT_EQ(Run(c.args), c.exitCode) << err.str();
        if (c.exitCode == 0) {
            EXPECT_EQ(out.str(), c.printed);
        } else {
            EXPECT_NE(err.str().find(c.printed), std::string::npos) << err.str();
        }
    }
    EXPECT_EQ(Text("ID17", "NAME"), "Line A");
    EXPECT_EQ(Dword("ID17", "TOUCH_OP"), 2);
    EXPECT_EQ(Dword("ID17", "IR_OP"), 7);
    EXPECT_FALSE(Store().HasKey(kBase + "ID41"));
    EXPECT_EQ(Dword("ALL", "TIMEOUT"), 1);
    EXPECT_EQ(Dword("ALL", "TIMEENABLE"), 1);

    Store().RefuseCreate(brimol::kRegAccessDenied);
    EXPECT_EQ(Run({"record", "17", "--name", "X"}), 1);
    EXPECT_NE(err.str().find("could not be written (registry error 5)"), std::string::npos);
    EXPECT_EQ(Run({"system", "--timeout", "60"}), 1);
    EXPECT_NE(err.str().find("the system record ALL could not be written"), std::string::npos);
}

TEST_F(TavloCtlTest, JsonOutputIsOneDocumentOfTheDocumentedShape) {
    PutRecord(0x11, "Line A", 1);
    Json list = RunJson({"list", "--json"});
    EXPECT_EQ(list, Json::parse(R"({"panels":[
        {"panel":0,"id":17,"firmware":261,"point_data":true,"touched":false,
         "record":{"id":17,"stored":true,"name":"Line A","mode":"interlock","touch_op":1,"ir_op":0,"notes":[]}},
        {"panel":1,"id":34,"firmware":519,"point_data":true,"touched":false,
         "record":{"id":34,"stored":false,"name":"","mode":"interlock","touch_op":1,"ir_op":0,"notes":[]}}]})"));
    EXPECT_EQ(RunJson({"calibration", "1", "--json"}), Json::parse(R"({"panel":1,"set":"working",
                              "calibration":{"x_gain":10000,"x_offset":0,"y_gain":10000,"y_offset":0}})"));
    EXPECT_EQ(RunJson({"click", "0", "--saved", "--json"})["click"]["double_click_time"],
              Model().Panel(0)->click[1][3] * 10);
    EXPECT_EQ(RunJson({"sound", "0", "--json"}), Json::parse(R"({"panel":0,"set":"working","sound":true})"));
    const struct {
        std::vector<std::string> args;
        const char* document;
    } reads[] = {
        {{"once-mode", "--json"}, R"({"once_flag":0,"once_button":2,"button":"right"})"},
        {{"click-mode", "--json"}, R"({"click_mode":1,"button":"left"})"},
        {{"startup-mode", "--json"}, R"({"startup_mode":1})"},
        {{"pointdata", "id:17", "--json"}, R"({"panel":0,"point_data":true})"},
        {{"led", "1", "--json"}, R"({"panel":1,"led":0})"},
        {{"eeprom", "1", "3", "--json"}, R"({"panel":1,"address":3,"word":65535})"},  // erased EEPROM
        {{"system", "--json"}, R"({"stored":false,"timeout":30,"time_release":false,"time_enable":0,"notes":[]})"},
        {{"record", "17", "--json"},
         R"({"id":17,"stored":true,"name":"Line A","mode":"interlock","touch_op":1,"ir_op":0,"notes":[]})"},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.args[0]);
        EXPECT_EQ(RunJson(r.args), Json::parse(r.document));
    }
    EXPECT_EQ(RunJson({"version", "--json"})["driver_version"], 0x0210);
    const Json doctor = Json::parse((Run({"doctor", "--json"}), out.str()));
    EXPECT_EQ(doctor["result"], "WARN");  // panel 34 has no record
    for (const Json& check : doctor["checks"]) {
        EXPECT_TRUE(check["level"] == "OK" || check["level"] == "WARN") << check;
        EXPECT_TRUE(check["check"].is_string() && check["text"].is_string()) << check;
    }
}

// Recovery -------------------------------------------------------------------

// What a killed interlock and a killed calibration tool leave behind.
void LeaveABrokenMachine() {
    auto& Model = TavloCtlTest::Model;
    Model().MutablePanel(0)->pointdata = 0;
    Model().MutablePanel(1)->pointdata = 0;
    TavloSetStartupMode(0);
    TavloSetClickOnceMode(1, TavloButtonRight);
    std::uint16_t stamp = Model().Stamp();
    const std::int16_t trial[4] = {12000, -40, 9000, 25};
    TavloSetCalibrationData(&stamp, 1, trial, 0);
}

TEST_F(TavloCtlTest, RecoverPutsBackWhatNoRunningProgramLeaves) {
    LeaveABrokenMachine();
    ASSERT_EQ(Run({"recover"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "panel 0 point data: disabled -> enabled\n"
              "panel 1 point data: disabled -> enabled\n"
              "start-up mode: 0 -> 1\n"
              "once flag: 1 -> 0 (button 2 kept)\n");
    EXPECT_EQ(Model().Panel(1)->calibration[0][0], 12000);  // without --revert the trial stays
    ASSERT_EQ(Run({"recover", "--revert"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "panel 0: working set already equals the saved set\n"
              "panel 1 working calibration: 12000 -40 9000 25 -> 10000 0 10000 0\n"
              "point data, start-up mode and once flag were already as no running program leaves them\n");
    const auto& modes = Model().Modes();
    EXPECT_EQ(modes.startup, 1);
    EXPECT_EQ(modes.onceFlag, 0);
    EXPECT_EQ(modes.onceButton, TavloButtonRight);

    // Not while the interlock runs, whichever sign of it is seen.
    LeaveABrokenMachine();
    for (const tavloctl::NystraSigns signs :
         {tavloctl::NystraSigns{true, false, false}, tavloctl::NystraSigns{false, true, false},
          tavloctl::NystraSigns{false, false, true}}) {
        platform.nystra = signs;
        EXPECT_EQ(Run({"recover"}), 1);
        EXPECT_NE(err.str().find("Nystra is running"), std::string::npos);
    }
    EXPECT_EQ(Model().Modes().startup, 0);
    EXPECT_EQ(Run({"recover", "--force"}), 0);
    EXPECT_EQ(Model().Modes().startup, 1);
}

// Health check ---------------------------------------------------------------

TEST_F(TavloCtlTest, DoctorOnAHealthyMachineSaysOkOnEveryLine) {
    PutRecord(0x11, "Line A", 1);
    PutRecord(0x22, "Line B", 2);
    PutRecord(5, "Spare", 1);
    ASSERT_EQ(Run({"doctor"}), 0) << out.str() << err.str();
    EXPECT_EQ(out.str(),
              "OK    driver: the driver answers, version 0x0210\n"
              "OK    panels: 2 panel(s) attached\n"
              "OK    identifiers: every panel has its own identifier\n"
              "OK    records: every attached panel has a record with a valid mode\n"
              "OK    records: records of identifiers not attached (kept): 5\n"
              "OK    time-out: time-out 30 s, time release off (no record: defaults)\n"
              "OK    interlock: Nystra is not running\n"
              "OK    startup: start-up mode 1 fits\n"
              "OK    point data: 2 of 2 panel(s) have point data on\n"
              "OK    working set: every panel's working set equals its saved set\n"
              "OK    click mode: touches click button 1, one-shot off\n"
              "OK    files: the suite's libraries and programs are in C:\\Orlinde\\Dravik\\\n");
    EXPECT_EQ(err.str(), "");
}

struct DoctorFaultCase {
    const char* name;
    std::function<void(TavloCtlTest&)> make;
    int exitCode;
    std::string line;
};

class TavloCtlDoctorFault : public TavloCtlTest, public ::testing::WithParamInterface<DoctorFaultCase> {};

// Two panels with their records, one fault made: doctor names it with its
// level and ends with the exit code of the worst finding.
TEST_P(TavloCtlDoctorFault, IsNamedWithItsLevel) {
    const DoctorFaultCase& c = GetParam();
    PutRecord(0x11, "Line A", 1);
    PutRecord(0x22, "Line B", 1);
    c.make(*this);
    EXPECT_EQ(Run({"doctor"}), c.exitCode) << out.str();
    EXPECT_NE(("\n" + out.str()).find("\n" + c.line), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Faults, TavloCtlDoctorFault,
    ::testing::Values(
        DoctorFaultCase{.name = "no driver",
                        .make = [](TavloCtlTest&) {TheInProcessDriver().channel.deviceMissing = true;}, .exitCode = 2,
                        .line = "FAIL  driver: the driver does not answer: TavloGetVersion failed: TavloNoDevice (1)"},
        DoctorFaultCase{.name = "no panel",
                        .make = [](TavloCtlTest&) {TavloCtlTest::Model().RemovePanel(1); TavloCtlTest::Model().RemovePanel(0);},
                        .exitCode = 1, .line = "WARN  panels: no panel is attached"},
        DoctorFaultCase{.name = "shared identifier",
                        .make = [](TavloCtlTest&) {TavloCtlTest::Model().AttachPanel(0x11);}, .exitCode = 2,
                        .line = "FAIL  identifiers: panels 0, 2 both report identifier 17"},
        DoctorFaultCase{.name = "no record", .make = [](TavloCtlTest&) {Store().Clear();}, .exitCode = 1,
                        .line = "WARN  records: panel 1 (id 34) has no record"},
        DoctorFaultCase{.name = "mode out of range", .make = [](TavloCtlTest&) {PutRecord(0x22, "B", 7);},
                        .exitCode = 1, .line = "WARN  records: panel 1 (id 34): TOUCH_OP 7 is no mode"},
        DoctorFaultCase{.name = "two supervisors",
                        .make = [](TavloCtlTest&) {PutRecord(0x11, "A", 2); PutRecord(0x22, "B", 2);}, .exitCode = 1,
                        .line = "WARN  records: There are two Supervisor in this system"},
        DoctorFaultCase{.name = "time-out out of range",
                        .make = [](TavloCtlTest&) {Store().PutDword(kBase + "ALL", "TIMEOUT", 5000);}, .exitCode = 1,
                        .line = "WARN  time-out: ALL: TIMEOUT 5000 is outside 1 to 1800 seconds"},
        DoctorFaultCase{.name = "killed interlock", .make = [](TavloCtlTest&) {TavloSetStartupMode(0);},
                        .exitCode = 2, .line = "FAIL  startup: start-up mode is 0 with Nystra not running"},
        DoctorFaultCase{.name = "interlock started over a clean driver",
                        .make = [](TavloCtlTest& test) {test.platform.nystra.globalLock = true;}, .exitCode = 2,
                        .line = "FAIL  point data: 2 panels have point data on while Nystra runs; at most one may"},
        DoctorFaultCase{.name = "disabled panel",
                        .make = [](TavloCtlTest&) { TavloCtlTest::Model().MutablePanel(1)->pointdata = 0; },
                        .exitCode = 2,
                        .line = "FAIL  point data: 1 panel(s) have point data off with Nystra not running"},
        DoctorFaultCase{.name = "trial values",
                        .make = [](TavloCtlTest&) {std::uint16_t stamp = TavloCtlTest::Model().Stamp(); std::int16_t click[4] = {0, 0, 900, 40}; TavloSetClickData(&stamp, 1, click, 0);},
                        .exitCode = 1,
                        .line = "WARN  working set: panel 1 (id 34): working click settings differ from the saved set"},
        DoctorFaultCase{.name = "armed one-shot", .make = [](TavloCtlTest&) {TavloSetClickOnceMode(1, 2);},
                        .exitCode = 1, .line = "WARN  click mode: the one-shot is armed"},
        DoctorFaultCase{.name = "missing library",
                        .make = [](TavloCtlTest& test) {test.platform.files.erase("C:\\Orlinde\\Dravik\\BRIMOL.DLL");},
                        .exitCode = 2,
                        .line = "FAIL  files: C:\\Orlinde\\Dravik\\ lacks BRIMOL.DLL: reinstall the suite"},
        DoctorFaultCase{.name = "missing program",
                        .make = [](TavloCtlTest& test) {test.platform.files.erase("C:\\Orlinde\\Dravik\\Gorvat.exe");},
                        .exitCode = 1, .line = "WARN  files: C:\\Orlinde\\Dravik\\ lacks Gorvat.exe"}),
    suite_test::RowName);
// clang-format on

// With the interlock running, start-up mode 0 and one panel enabled are right.
TEST_F(TavloCtlTest, DoctorAcceptsTheInterlocksOwnState) {
    PutRecord(0x11, "Line A", 1);
    PutRecord(0x22, "Line B", 1);
    platform.nystra.window = true;
    TavloSetStartupMode(0);
    Model().MutablePanel(0)->pointdata = 0;
    EXPECT_EQ(Run({"doctor"}), 0) << out.str();
    EXPECT_NE(out.str().find("OK    interlock: Nystra is running (window)"), std::string::npos) << out.str();
}

// Four panels: the commands that read everything stay within 50 device
// cycles per panel (each Tavlo call opens and closes the device once).
TEST_F(TavloCtlTest, ExportAndDoctorStayWithinTheirDeviceCycles) {
    Model().AttachPanel(0x33);
    Model().AttachPanel(0x44);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", "all"}, std::vector<std::string>{"doctor"},
          std::vector<std::string>{"list"}}) {
        const int before = TheInProcessDriver().channel.Opened();
        Run(args);
        const int cycles = TheInProcessDriver().channel.Opened() - before;
        EXPECT_LT(cycles, 4 * 50) << args[0];
        EXPECT_GT(cycles, 4) << args[0];
        EXPECT_EQ(TheInProcessDriver().channel.OpenHandles(), 0);
    }
}

}  // namespace

// Backup and restore: a backup read back byte for byte after everything was
// changed, the identifier mapping, the refusal of bad files before any
// write, and a refused write in the middle of a panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "backup.h"
#include "inprocess_driver.h"
#include "memory_key_store.h"
#include "row_name.h"
#include "tavlo.h"
#include "tavloctl.h"
#include "test_platform.h"

namespace {

using tavlosim::TheInProcessDriver;
using Json = nlohmann::json;

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
brimol::MemoryKeyStore& Store() { return brimol::TheMemoryKeyStore(); }
tavlosim::DeviceModel& Model() { return TheInProcessDriver().model; }

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        Store().Clear();
        Model().AttachPanel(0x11);
        Model().AttachPanel(0x22);
        // A file per test; a parameterised test's name holds a '/'.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path = ::testing::TempDir() + "tavloctl_backup_" + name + ".json";
    }
    void TearDown() override { std::remove(path.c_str()); }

    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return tavloctl::Run(args, out, err, platform);
    }
    std::string Export() {
        EXPECT_EQ(Run({"export", "all", "-o", path}), 0) << err.str();
        std::ifstream stream(path, std::ios::binary);
        std::ostringstream content;
        content << stream.rdbuf();
        return content.str();
    }
    void WriteFile(const std::string& text) {
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream << text;
    }
    // Every setting of panel `index` changed, with values made from `offset`, so
    // that each call gives values of its own.
    static void ChangePanel(int index, int offset) {
        std::uint16_t stamp = Model().Stamp();
        for (std::uint32_t alt = 0; alt < 2; ++alt) {
            const std::int16_t cal[4] = {static_cast<std::int16_t>(9000 + offset), static_cast<std::int16_t>(-offset),
                                         static_cast<std::int16_t>(11000 + offset), static_cast<std::int16_t>(alt + 3)};
            std::int16_t click[4] = {static_cast<std::int16_t>(10 * (offset % 10)), 40,
                                     static_cast<std::int16_t>(300 + 10 * offset), 36};
            ASSERT_EQ(TavloSetCalibrationData(&stamp, index, cal, alt), 0);
            ASSERT_EQ(TavloSetClickData(&stamp, index, click, alt), 0);
            ASSERT_EQ(TavloSetClickSound(&stamp, index, (offset + alt) % 2, alt), 0);
        }
        ASSERT_EQ(TavloSetPanelLed(&stamp, index, 100 + offset), 0);
    }
    std::uint32_t Writes() const {
        std::uint32_t writes = 0;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
            const std::uint32_t code = Model().LogAt(i).code;
            if (code != IOCTL_TAVLO_GET_STATUS && (code & 0xC000) == 0x8000) ++writes;  // write-only access
        }
        return writes;
    }

    tavloctl::TestPlatform platform;
    std::ostringstream out, err;
    std::string path;
};

TEST_F(BackupTest, ImportAfterChangingEverythingGivesTheSameBackupByteForByte) {
    ChangePanel(0, 1);
    ChangePanel(1, 2);
    Store().PutText(kBase + "ID17", "NAME", "Pr\xE9sentation");  // Latin-1 in the record, UTF-8 in the file
    Store().PutDword(kBase + "ID17", "TOUCH_OP", 2);
    Store().PutDword(kBase + "ID17", "IR_OP", 9);
    Store().PutText(kBase + "ID34", "NAME", "Line B");
    Store().PutDword(kBase + "ID34", "TOUCH_OP", 0);
    Store().PutDword(kBase + "ID34", "IR_OP", 0);
    Store().PutDword(kBase + "ALL", "TIMEOUT", 45);
    Store().PutDword(kBase + "ALL", "TIMEENABLE", 1);
    TavloSetClickMode(TavloButtonRight);
    TavloSetClickOnceMode(0, TavloButtonMiddle);
    const std::string backup = Export();
    EXPECT_NE(backup.find("\"name\": \"Pr\xC3\xA9sentation\""), std::string::npos) << backup;
    EXPECT_EQ(backup.rfind("{\n  \"format\": \"tavloctl backup\",\n  \"version\": 1,\n", 0), 0u) << backup;

    ChangePanel(0, 6);
    ChangePanel(1, 9);
    ASSERT_EQ(Run({"record", "17", "--name", "X", "--mode", "interlock"}), 0);
    ASSERT_EQ(Run({"record", "34", "--name", "Y", "--mode", "supervisor"}), 0);
    ASSERT_EQ(Run({"system", "--timeout", "5", "--time-release", "off"}), 0);
    TavloSetClickMode(TavloButtonLeft);
    TavloSetClickOnceMode(1, TavloButtonRight);
    std::string changed;
    {
        std::ifstream stream(path, std::ios::binary);
        std::ostringstream content;
        content << stream.rdbuf();
        changed = content.str();
    }
    // A dry run shows the changes and writes nothing.
    Model().ClearLog();
    ASSERT_EQ(Run({"import", path, "--dry-run"}), 0) << err.str();
    EXPECT_EQ(Writes(), 0u);
    EXPECT_NE(out.str().find("would change panel 0 (id 17) working calibration: 9006 -6 11006 3 -> 9001 -1 11001 3\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(
                  "would change panel 1 (id 34) record ID34: \"Y\" supervisor IR_OP 0 -> \"Line B\" disable IR_OP 0\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("dry run: 19 change(s) would be made\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("would change panel 0 (id 17) record ID17: \"X\" interlock IR_OP 9 -> \"Pr\xE9sentation\" "
                             "supervisor IR_OP 9\n"),
              std::string::npos)
        << out.str();

    ASSERT_EQ(Run({"import", path}), 0) << err.str();
    EXPECT_NE(out.str().find("panel 0 (id 17) LED: 106 -> 101\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("system record ALL: time-out 5 s, time release off -> time-out 45 s, time release on\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("once mode: flag 1 button 2 -> flag 0 button 4\n"), std::string::npos);
    EXPECT_EQ(Export(), backup);
    // Nothing left to change: a second import writes nothing.
    Model().ClearLog();
    ASSERT_EQ(Run({"import", path}), 0);
    EXPECT_EQ(out.str(), "panel 0 (id 17): unchanged\npanel 1 (id 34): unchanged\n0 change(s) made\n");
    EXPECT_EQ(Writes(), 0u);
}

TEST_F(BackupTest, APanelIsRestoredOntoAnotherIdentifierOnlyWhenMapped) {
    ChangePanel(1, 3);
    ASSERT_EQ(Run({"record", "34", "--name", "Line B", "--mode", "supervisor"}), 0);
    ASSERT_EQ(Run({"export", "id:34", "-o", path}), 0) << err.str();
    const Json single = Json::parse(std::ifstream(path));
    EXPECT_FALSE(single.contains("system"));
    EXPECT_FALSE(single.contains("driver"));
    ASSERT_EQ(single["panels"].size(), 1u);

    // The panel is replaced by one with another identifier.
    Model().RemovePanel(1);
    Model().AttachPanel(0x30);
    EXPECT_EQ(Run({"import", path}), 1);
    EXPECT_NE(err.str().find("no attached panel has identifier 34; restore it onto another panel with --panel 34 "
                             "--to PANEL; nothing written"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"import", path, "--panel", "35"}), 1);
    EXPECT_NE(err.str().find("has no panel with identifier 35"), std::string::npos);
    ASSERT_EQ(Run({"import", path, "--panel", "34", "--to", "id:48"}), 0) << err.str();
    EXPECT_EQ(Model().Panel(1)->calibration[0][0], 9003);
    EXPECT_EQ(Model().Panel(1)->led, 103);
    EXPECT_EQ(Store().Find(kBase + "ID48", "TOUCH_OP")->bytes[0], 2);
    EXPECT_NE(out.str().find("panel 1 (id 48) record ID48: (none) -> \"Line B\" supervisor IR_OP 0\n"),
              std::string::npos)
        << out.str();
    // Two panels of the file onto one panel is refused.
    ASSERT_EQ(Run({"export", "all", "-o", path}), 0);
    EXPECT_EQ(Run({"import", path, "--panel", "17", "--to", "1", "--panel", "48", "--to", "1"}), 1);
    EXPECT_NE(err.str().find("identifiers 17 and 48 would both go to panel 1"), std::string::npos) << err.str();
}

struct BadFileCase {
    const char* name;
    // The file's text, made from the good export of the fixture's panels.
    std::function<std::string(const std::string& good)> text;
    std::string message;
};

// The good export with one change made to its document.
std::function<std::string(const std::string&)> Edited(std::function<void(Json&)> edit) {
    return [edit](const std::string& good) {
        Json json = Json::parse(good);
        edit(json);
        return json.dump(2);
    };
}

class BackupBadFile : public BackupTest, public ::testing::WithParamInterface<BadFileCase> {};

// A bad file is refused with its place named, and nothing is written.
TEST_P(BackupBadFile, IsRefusedBeforeAnyWrite) {
    WriteFile(GetParam().text(Export()));
    Model().ClearLog();
    Store().ResetCounts();
    EXPECT_EQ(Run({"import", path}), 1);
    EXPECT_NE(err.str().find(GetParam().message), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("; nothing written\n"), std::string::npos) << err.str();
    EXPECT_EQ(Writes(), 0u);
    EXPECT_EQ(Store().counts().writes, 0);
    EXPECT_EQ(out.str(), "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, BackupBadFile,
    ::testing::Values(
        BadFileCase{.name = "not JSON", .text = [](const std::string&) {return std::string("calibration 0 9000");},
                    .message = "not a valid JSON document: parse error at line 1, column"},
        BadFileCase{.name = "empty", .text = [](const std::string&) {return std::string("");}, .message = "not a valid JSON document"},
        BadFileCase{.name = "truncated",
                    .text = [](const std::string& good) { return good.substr(0, good.size() / 2); },
                    .message = "not a valid JSON document: parse error at line"},
        BadFileCase{.name = "a list", .text = [](const std::string&) {return std::string("[1, 2]");}, .message = "the document is not a JSON object"},
        BadFileCase{.name = "another format",
                    .text = [](const std::string&) {return std::string(R"({"format": "other", "version": 1, "panels": []})");},
                    .message = "not a tavloctl backup"},
        BadFileCase{.name = "another version", .text = Edited([](Json& j) {j["version"] = 2;}),
                    .message = "version: 2 is not a version this tavloctl reads (it reads 1)"},
        BadFileCase{.name = "version as text", .text = Edited([](Json& j) {j["version"] = "1";}), .message = "version: \"1\" is not a version"},
        BadFileCase{.name = "unknown field", .text = Edited([](Json& j) {j["panels"][1]["working"]["colour"] = 1;}),
                    .message = "panels[1].working.colour: unknown field"},
        BadFileCase{.name = "unknown top field", .text = Edited([](Json& j) {j["extra"] = true;}), .message = "extra: unknown field"},
        BadFileCase{.name = "missing field", .text = Edited([](Json& j) {j["panels"][0]["saved"].erase("sound");}),
                    .message = "panels[0].saved: missing field \"sound\""},
        BadFileCase{.name = "calibration out of range",
                    .text = Edited([](Json& j) { j["panels"][0]["saved"]["calibration"]["y_gain"] = 40000; }),
                    .message = "panels[0].saved.calibration.y_gain: 40000 is outside -32768..32767"},
        BadFileCase{.name = "click off its step",
                    .text = Edited([](Json& j) { j["panels"][1]["working"]["click"]["double_click_time"] = 455; }),
                    .message = "panels[1].working.click.double_click_time: 455 is not 200..900 in steps of 10"},
        BadFileCase{.name = "click out of range",
                    .text = Edited([](Json& j) { j["panels"][1]["working"]["click"]["down_cancel"] = 110; }),
                    .message = "panels[1].working.click.down_cancel: 110 is outside 0..100"},
        BadFileCase{.name = "LED too big", .text = Edited([](Json& j) {j["panels"][0]["led"] = 256;}), .message = "panels[0].led: 256 is outside 0..255"},
        BadFileCase{.name = "fraction", .text = Edited([](Json& j) {j["panels"][0]["led"] = 1.5;}),
                    .message = "panels[0].led: expected a whole number, found the number 1.5"},
        BadFileCase{.name = "text for a number", .text = Edited([](Json& j) {j["panels"][0]["id"] = "17";}),
                    .message = "panels[0].id: expected a whole number, found string"},
        BadFileCase{.name = "number for a flag",
                    .text = Edited([](Json& j) { j["panels"][0]["working"]["sound"] = 1; }),
                    .message = "panels[0].working.sound: expected true or false, found number"},
        BadFileCase{.name = "duplicate identifier", .text = Edited([](Json& j) {j["panels"][1]["id"] = 17;}),
                    .message = "panels[1].id: identifier 17 appears twice (also panels[0])"},
        BadFileCase{.name = "unknown mode",
                    .text = Edited([](Json& j) { j["panels"][0]["record"]["mode"] = "master"; }),
                    .message = "panels[0].record.mode: \"master\" is none of interlock, supervisor, disable"},
        BadFileCase{.name = "time-out out of range", .text = Edited([](Json& j) {j["system"]["timeout"] = 0;}),
                    .message = "system.timeout: 0 is outside 1 to 1800 seconds"},
        BadFileCase{.name = "once flag 2", .text = Edited([](Json& j) {j["driver"]["once_flag"] = 2;}), .message = "driver.once_flag: 2 is outside 0..1"},
        BadFileCase{.name = "panels not a list", .text = Edited([](Json& j) {j["panels"] = Json::object();}), .message = "panels: expected a list"},
        BadFileCase{.name = "name too long",
                    .text = Edited([](Json& j) { j["panels"][1]["record"]["name"] = "Seventeen chars!!"; }),
                    .message = "panels[1].record.name: the name has 17 characters; a panel name has at most 16"},
        BadFileCase{.name = "name the code page lacks",
                    .text = Edited([](Json& j) { j["panels"][1]["record"]["name"] = "Linie \xE2\x82\xAC"; }),
                    .message = "panels[1].record.name: the name has characters that this computer cannot store"},
        BadFileCase{.name = "deeply nested",
                    .text = [](const std::string&) {return std::string(std::string(100000, '[') + std::string(100000, ']'));},
                    .message = "the document is not a JSON object"},
        BadFileCase{.name = "invalid UTF-8",
                    .text = [](const std::string&) {return std::string( "{\"format\": \"tavloctl backup\", \"version\": 1, \"panels\": [\"\xFF\"]}");},
                    .message = "not a valid JSON document"}),
    suite_test::RowName);
// clang-format on

TEST_F(BackupTest, AMissingFileIsRefused) {
    EXPECT_EQ(Run({"import", ::testing::TempDir() + "no-such-backup.json"}), 1);
    EXPECT_NE(err.str().find("cannot be read; nothing written"), std::string::npos);
}

// A write refused half way through a panel: what was written of that panel
// goes back, the panels before it stay written, and the report says so.
TEST_F(BackupTest, ARefusedWriteLeavesNoPanelHalfWritten) {
    ChangePanel(0, 1);
    ChangePanel(1, 2);
    Export();
    ChangePanel(0, 5);
    ChangePanel(1, 6);
    const tavlosim::PanelState before = *Model().Panel(1);
    Model().FailCode(IOCTL_TAVLO_SET_CLICK_DATA_ALT, 5);  // the saved click settings are refused
    EXPECT_EQ(Run({"import", path}), 1);
    EXPECT_NE(err.str().find("import stopped at panel 0 (id 17) saved click settings; what had been written to "
                             "this panel was put back"),
              std::string::npos)
        << err.str();
    const tavlosim::PanelState& after = *Model().Panel(0);
    EXPECT_EQ(after.calibration[0][0], 9005);
    EXPECT_EQ(after.calibration[1][0], 9005);
    EXPECT_EQ(after.click[0][3], 35);  // working double-click time 350 ms: written, then put back
    // Panel 1 was never reached.
    EXPECT_EQ(std::memcmp(Model().Panel(1)->calibration, before.calibration, sizeof before.calibration), 0);
    EXPECT_EQ(std::memcmp(Model().Panel(1)->click, before.click, sizeof before.click), 0);
    EXPECT_EQ(Model().Panel(1)->led, before.led);
}

}  // namespace

namespace {

// What an import would refuse is exported as it is, with a warning; panels
// that share an identifier are neither exported together nor guessed at.
TEST_F(BackupTest, ValuesAnImportRefusesAreWarnedAboutAndSharedIdentifiersRefused) {
    Store().PutDword(kBase + "ALL", "TIMEOUT", 0);
    Store().PutDword(kBase + "ALL", "TIMEENABLE", 0);
    Store().PutText(kBase + "ID17", "NAME", "A name of twenty chars");
    Store().PutDword(kBase + "ID17", "TOUCH_OP", 5);
    Store().PutDword(kBase + "ID17", "IR_OP", 0);
    ASSERT_EQ(Run({"export", "all", "-o", path}), 0) << err.str();
    EXPECT_NE(err.str().find("warning: an import refuses this time-out"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("warning: an import refuses the name of ID17"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("warning: ID17: TOUCH_OP 5 is no mode"), std::string::npos) << err.str();
    const Json json = Json::parse(std::ifstream(path));
    EXPECT_EQ(json["panels"][0]["record"]["mode"], "interlock");
    EXPECT_EQ(json["system"]["timeout"], 0);

    Model().AttachPanel(0x11);  // panels 0 and 2 now share identifier 17
    EXPECT_EQ(Run({"export", "all"}), 1);
    EXPECT_NE(err.str().find("two attached panels have identifier 17"), std::string::npos) << err.str();
    ASSERT_EQ(Run({"export", "1", "-o", path}), 0) << err.str();  // one by one they can
    Model().RemovePanel(1);
    Model().AttachPanel(0x22);
    EXPECT_EQ(Run({"import", path}), 0) << err.str();  // 17, 17, 34: the one panel 34
    Model().AttachPanel(0x22);                         // 17, 17, 34, 34
    EXPECT_EQ(Run({"import", path}), 1);
    EXPECT_NE(err.str().find("several attached panels have identifier 34; choose one with --panel 34 --to PANEL"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"import", path, "--panel", "34", "--to", "3"}), 0) << err.str();
}

}  // namespace

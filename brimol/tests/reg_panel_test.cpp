// The panel and system records against the in-memory key store: layout of
// the keys, defaults, odd stored values and refused writes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "brimol.h"
#include "memory_key_store.h"
#include "row_name.h"

namespace {

using namespace brimol;  // value types, the in-memory store
using Bytes = std::vector<std::uint8_t>;
using Typed = std::pair<std::uint32_t, Bytes>;  // type and bytes of a value
using Names = std::vector<std::string>;

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
const std::string kSystemKey = kBase + "ALL";
std::string PanelKey(int id) { return kBase + "ID" + std::to_string(id); }

Bytes Raw(const std::string& text) { return {text.begin(), text.end()}; }
Bytes Sz(const std::string& text) { return Raw(text + '\0'); }
Bytes Dword(std::uint32_t v) { return Raw({char(v), char(v >> 8), char(v >> 16), char(v >> 24)}); }
using Values = std::vector<std::pair<std::string, StoredValue>>;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { store().Clear(); }
    // No operation leaves a key open.
    void TearDown() override { EXPECT_EQ(store().OpenKeys(), 0); }

    static MemoryKeyStore& store() { return TheMemoryKeyStore(); }
    // An empty registry, then `values` under `key` (the bare key too when `keyExists`).
    static void Fill(const std::string& key, bool keyExists, const Values& values) {
        store().Clear();
        if (keyExists) store().AddKey(key);
        for (const auto& v : values) store().PutValue(key, v.first, v.second.type, v.second.bytes);
    }
    // A stored value; type 0 when missing.
    static Typed Stored(const std::string& key, const char* name) {
        const StoredValue* v = store().Find(key, name);
        return v == nullptr ? Typed() : Typed(v->type, v->bytes);
    }
};

TEST_F(RegistryTest, ConstructionListsRecordedIdentifiersBelowSixteenOpeningKeysOnly) {
    for (int id : {7, 0, 15, 16, 200}) store().AddKey(PanelKey(id));
    store().AddKey(kSystemKey);
    CRegPanel panel;
    // Runs on every construction: one open per identifier, a close per key
    // found, and nothing read or created.
    const MemoryKeyStore::Counts& n = store().counts();
    EXPECT_EQ(std::vector<int>({n.opens, n.closes, n.reads, n.creates}), std::vector<int>({16, 3, 0, 0}));
    Bytes expected = {0, 7, 15};
    expected.resize(sizeof panel.regIdList, 0xFF);  // end mark, and the rest filled alike
    EXPECT_EQ(Bytes(panel.regIdList, panel.regIdList + sizeof panel.regIdList), expected);
    EXPECT_EQ(panel.GetAllRegID(), 3);
}

const std::string kName16 = "Press line 16 ch", kName49(49, 'n');
const Bytes kEightBytes = {5, 0, 0, 0, 0, 0, 0, 0};

struct PanelReadCase {
    const char* name;
    bool keyExists;
    Values values;
    std::string panelName;
    int touchOp, irOp;
};

class RegistryPanelRead : public RegistryTest, public ::testing::WithParamInterface<PanelReadCase> {};

TEST_P(RegistryPanelRead, StoredValuesAndDefaults) {
    const PanelReadCase& c = GetParam();
    Fill(PanelKey(4), c.keyExists, c.values);
    CRegPanel panel;
    std::memset(panel.name, 'x', sizeof panel.name);
    panel.touchOp = panel.irOp = 77;
    EXPECT_EQ(panel.GetPanelReg(4), 0);
    EXPECT_EQ(std::string(panel.name), c.panelName);
    EXPECT_EQ(panel.touchOp, c.touchOp);
    EXPECT_EQ(panel.irOp, c.irOp);
    // Nothing of the junk survives behind the name.
    for (std::size_t i = c.panelName.size(); i < sizeof panel.name; ++i) ASSERT_EQ(panel.name[i], '\0') << i;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Records, RegistryPanelRead,
    ::testing::Values(
        PanelReadCase{.name = "no key", .keyExists = false, .values = {}, .panelName = "", .touchOp = 1, .irOp = 0},
        PanelReadCase{.name = "full record, 16 characters whole", .keyExists = true,
                      .values = {{"NAME", {kRegSz, Sz(kName16)}}, {"TOUCH_OP", {kRegDword, Dword(2)}}, {"IR_OP", {kRegDword, Dword(5)}}},
                      .panelName = kName16, .touchOp = 2, .irOp = 5},
        PanelReadCase{.name = "49 characters readable", .keyExists = true,
                      .values = {{"NAME", {kRegSz, Sz(kName49)}}}, .panelName = kName49, .touchOp = 1, .irOp = 0},
        PanelReadCase{.name = "longer name cut to 49", .keyExists = true,
                      .values = {{"NAME", {kRegSz, Sz(kName49 + "0123456789abcdef")}}}, .panelName = kName49,
                      .touchOp = 1, .irOp = 0},
        PanelReadCase{.name = "name without terminating zero", .keyExists = true,
                      .values = {{"NAME", {kRegSz, Raw("Unterminated")}}}, .panelName = "Unterminated", .touchOp = 1,
                      .irOp = 0},
        PanelReadCase{.name = "TOUCH_OP outside 0..2 and negative IR_OP kept", .keyExists = true,
                      .values = {{"TOUCH_OP", {kRegDword, Dword(3)}}, {"IR_OP", {kRegDword, Dword(0xFFFFFFFF)}}},
                      .panelName = "", .touchOp = 3, .irOp = -1},
        PanelReadCase{.name = "wrong types read as defaults", .keyExists = true,
                      .values = {{"NAME", {kRegBinary, Raw("Bin")}}, {"TOUCH_OP", {kRegSz, Sz("2")}}, {"IR_OP", {kRegQword, kEightBytes}}},
                      .panelName = "", .touchOp = 1, .irOp = 0},
        PanelReadCase{.name = "wrong sizes read as defaults", .keyExists = true,
                      .values = {{"TOUCH_OP", {kRegDword, {2, 0}}}, {"IR_OP", {kRegDword, kEightBytes}}},
                      .panelName = "", .touchOp = 1, .irOp = 0}),
    suite_test::RowName);
// clang-format on

const long kDenied = kRegAccessDenied;
const Names kAll = {"NAME", "TOUCH_OP", "IR_OP"};

struct PanelWriteCase {
    const char* name;
    int id;
    std::string member;  // bytes put into `name`; all 64 of them leave no zero
    long createError;
    std::vector<std::pair<const char*, long>> refusedWrites;
    int result;
    Names stored;
};

class RegistryPanelWrite : public RegistryTest, public ::testing::WithParamInterface<PanelWriteCase> {};

TEST_P(RegistryPanelWrite, IsStoredAsTextAndTwoDwordsAndTheFirstRefusalReported) {
    const PanelWriteCase& c = GetParam();
    store().RefuseCreate(c.createError);
    for (const auto& refused : c.refusedWrites) store().RefuseWrite(refused.first, refused.second);
    CRegPanel panel;  // with an empty name
    std::memcpy(panel.name, c.member.data(), c.member.size());
    panel.touchOp = 2;
    panel.irOp = 5;
    EXPECT_EQ(panel.SetPanelReg(c.id), c.result);
    EXPECT_EQ(store().ValueNames(PanelKey(c.id)), c.stored);
    const std::map<std::string, Typed> written = {
        {"NAME", {kRegSz, Sz(c.member)}}, {"TOUCH_OP", {kRegDword, Dword(2)}}, {"IR_OP", {kRegDword, Dword(5)}}};
    for (const std::string& name : c.stored) EXPECT_EQ(Stored(PanelKey(c.id), name.c_str()), written.at(name));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, RegistryPanelWrite,
                         ::testing::Values(
        PanelWriteCase{.name = "plain name", .id = 7, .member = "Operator", .createError = 0, .refusedWrites = {}, .result = 0, .stored = kAll},
        PanelWriteCase{.name = "unterminated name member, identifier 255", .id = 255, .member = std::string(64, 'z'),
                       .createError = 0, .refusedWrites = {}, .result = 0, .stored = kAll},
        PanelWriteCase{.name = "create refused", .id = 5, .member = "Left", .createError = kDenied, .refusedWrites = {}, .result = kDenied, .stored = {}},
        PanelWriteCase{.name = "NAME and TOUCH_OP refused", .id = 5, .member = "Left", .createError = 0,
                       .refusedWrites = {{"NAME", kDenied}, {"TOUCH_OP", 1021}}, .result = kDenied,
                       .stored = {"IR_OP"}},
        PanelWriteCase{.name = "TOUCH_OP and IR_OP refused", .id = 5, .member = "Left", .createError = 0,
                       .refusedWrites = {{"TOUCH_OP", 1021}, {"IR_OP", kDenied}}, .result = 1021, .stored = {"NAME"}},
        PanelWriteCase{.name = "IR_OP refused", .id = 5, .member = "Left", .createError = 0,
                       .refusedWrites = {{"IR_OP", kDenied}}, .result = kDenied, .stored = {"NAME", "TOUCH_OP"}}),
                         suite_test::RowName);
// clang-format on

struct SystemReadCase {
    const char* name;
    bool keyExists;
    Values values;
    int timeOut, timeEnable;
};

class RegistrySystemRead : public RegistryTest, public ::testing::WithParamInterface<SystemReadCase> {};

TEST_P(RegistrySystemRead, StoredValuesAndDefaults) {
    const SystemReadCase& c = GetParam();
    Fill(kSystemKey, c.keyExists, c.values);
    CRegSystem system;
    system.timeOut = system.timeEnable = 77;
    system.GetSystemReg();
    EXPECT_EQ(system.timeOut, c.timeOut);
    EXPECT_EQ(system.timeEnable, c.timeEnable);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Records, RegistrySystemRead,
    ::testing::Values(
        SystemReadCase{.name = "no key", .keyExists = false, .values = {}, .timeOut = 30, .timeEnable = 0},
        SystemReadCase{.name = "key without values", .keyExists = true, .values = {}, .timeOut = 30, .timeEnable = 0},
        SystemReadCase{.name = "stored, TIMEOUT 0 kept", .keyExists = true,
                       .values = {{"TIMEOUT", {kRegDword, Dword(0)}}, {"TIMEENABLE", {kRegDword, Dword(1)}}},
                       .timeOut = 0, .timeEnable = 1},
        SystemReadCase{.name = "TIMEOUT of the wrong type, TIMEENABLE read still", .keyExists = true,
                       .values = {{"TIMEOUT", {kRegSz, Sz("60")}}, {"TIMEENABLE", {kRegDword, Dword(1)}}},
                       .timeOut = 30, .timeEnable = 1},
        SystemReadCase{.name = "TIMEENABLE of the wrong size", .keyExists = true,
                       .values = {{"TIMEENABLE", {kRegDword, {1}}}}, .timeOut = 30, .timeEnable = 0}),
    suite_test::RowName);
// clang-format on

TEST_F(RegistryTest, SystemRecordIsStoredAsTwoDwords) {
    store().Clear();
    CRegSystem system;
    system.timeOut = 1800;
    system.timeEnable = 1;
    system.SetSystemReg();
    EXPECT_EQ(store().ValueNames(kSystemKey), (Names{"TIMEOUT", "TIMEENABLE"}));
    EXPECT_EQ(Stored(kSystemKey, "TIMEOUT"), Typed(kRegDword, Dword(1800)));
    EXPECT_EQ(Stored(kSystemKey, "TIMEENABLE"), Typed(kRegDword, Dword(1)));
}

}  // namespace

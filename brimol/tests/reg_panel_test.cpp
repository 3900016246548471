// The panel and system records against the in-memory key store: layout of
// the keys, defaults, odd stored values and refused writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "brimol.h"
#include "memory_key_store.h"

namespace {

using brimol::MemoryKeyStore;
using brimol::StoredValue;

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
std::string PanelKey(int id) { return kBase + "ID" + std::to_string(id); }
const std::string kSystemKey = kBase + "ALL";

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { store().Clear(); }
    // No operation leaves a key open.
    void TearDown() override { EXPECT_EQ(store().OpenKeys(), 0); }

    static MemoryKeyStore& store() { return brimol::TheMemoryKeyStore(); }
    static void FillWithJunk(CRegPanel& panel) {
        std::memset(panel.name, 'x', sizeof panel.name);
        panel.touchOp = 77;
        panel.irOp = 77;
    }
};

// --- probe of ID0..ID15 -----------------------------------------------------

TEST_F(RegistryTest, ConstructionListsRecordedIdentifiersBelowSixteen) {
    struct Case {
        std::vector<int> keys;
        std::vector<std::uint8_t> listed;
    };
    const Case cases[] = {
        {{}, {}},
        {{7, 0, 15, 16, 200}, {0, 7, 15}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    };
    for (const Case& c : cases) {
        store().Clear();
        for (int id : c.keys) store().AddKey(PanelKey(id));
        store().AddKey(kSystemKey);
        CRegPanel panel;
        std::vector<std::uint8_t> expected = c.listed;
        expected.resize(sizeof panel.regIdList, 0xFF);  // end mark, and the rest filled alike
        EXPECT_EQ(std::vector<std::uint8_t>(panel.regIdList, panel.regIdList + sizeof panel.regIdList), expected);
        EXPECT_EQ(panel.GetAllRegID(), static_cast<int>(c.listed.size()));
    }
}

TEST_F(RegistryTest, ProbeOnlyOpensAndClosesTheSixteenKeys) {
    store().PutText(PanelKey(2), "NAME", "Left");
    store().PutText(PanelKey(9), "NAME", "Right");
    CRegSystem system;
    EXPECT_EQ(store().counts().opens, 16);
    EXPECT_EQ(store().counts().closes, 2);
    EXPECT_EQ(store().counts().reads, 0);
    EXPECT_EQ(store().counts().creates, 0);
    EXPECT_FALSE(store().HasKey(PanelKey(0)));  // probing creates nothing
}

// --- GetPanelReg --------------------------------------------------------------

TEST_F(RegistryTest, PanelRecordReadsStoredValuesAndDefaults) {
    struct Value {
        std::string name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    };
    const auto sz = [](const std::string& text) {
        std::vector<std::uint8_t> b = Bytes(text);
        b.push_back(0);
        return b;
    };
    const std::vector<std::uint8_t> three = {3, 0, 0, 0}, minusOne = {0xFF, 0xFF, 0xFF, 0xFF}, five = {5, 0, 0, 0};
    const std::string name16 = "Press line 16 ch";
    const std::string name49(49, 'n');
    struct Case {
        const char* what;
        bool keyExists;
        std::vector<Value> values;
        std::string name;
        int touchOp;
        int irOp;
    };
    const Case cases[] = {
        {"no key", false, {}, "", 1, 0},
        {"key without values", true, {}, "", 1, 0},
        {"full record", true,
         {{"NAME", brimol::kRegSz, sz("Press")}, {"TOUCH_OP", brimol::kRegDword, {2, 0, 0, 0}},
          {"IR_OP", brimol::kRegDword, five}},
         "Press", 2, 5},
        {"empty name", true, {{"NAME", brimol::kRegSz, sz("")}}, "", 1, 0},
        {"16 characters whole", true, {{"NAME", brimol::kRegSz, sz(name16)}}, name16, 1, 0},
        {"49 characters readable", true, {{"NAME", brimol::kRegSz, sz(name49)}}, name49, 1, 0},
        {"longer name cut to 49", true, {{"NAME", brimol::kRegSz, sz(name49 + "0123456789abcdef")}}, name49, 1, 0},
        {"name without terminating zero", true, {{"NAME", brimol::kRegSz, Bytes("Unterminated")}}, "Unterminated", 1, 0},
        {"name up to its first zero", true, {{"NAME", brimol::kRegSz, {'A', 'B', 0, 'C', 0}}}, "AB", 1, 0},
        {"TOUCH_OP outside 0..2 kept", true, {{"TOUCH_OP", brimol::kRegDword, three}}, "", 3, 0},
        {"negative values kept", true,
         {{"TOUCH_OP", brimol::kRegDword, minusOne}, {"IR_OP", brimol::kRegDword, minusOne}}, "", -1, -1},
        {"NAME of the wrong type", true, {{"NAME", brimol::kRegDword, five}}, "", 1, 0},
        {"NAME as binary", true, {{"NAME", brimol::kRegBinary, Bytes("Bin")}}, "", 1, 0},
        {"TOUCH_OP as text", true, {{"TOUCH_OP", brimol::kRegSz, sz("2")}}, "", 1, 0},
        {"TOUCH_OP too short", true, {{"TOUCH_OP", brimol::kRegDword, {2, 0}}}, "", 1, 0},
        {"IR_OP of eight bytes", true, {{"IR_OP", brimol::kRegQword, {5, 0, 0, 0, 0, 0, 0, 0}}}, "", 1, 0},
        {"IR_OP as DWORD of eight bytes", true, {{"IR_OP", brimol::kRegDword, {5, 0, 0, 0, 0, 0, 0, 0}}}, "", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store().Clear();
        if (c.keyExists) store().AddKey(PanelKey(4));
        for (const Value& v : c.values) store().PutValue(PanelKey(4), v.name, v.type, v.bytes);
        CRegPanel panel;
        FillWithJunk(panel);
        EXPECT_EQ(panel.GetPanelReg(4), 0);
        EXPECT_EQ(std::string(panel.name), c.name);
        EXPECT_EQ(panel.touchOp, c.touchOp);
        EXPECT_EQ(panel.irOp, c.irOp);
        // Nothing of the junk survives behind the name.
        for (std::size_t i = c.name.size(); i < sizeof panel.name; ++i) ASSERT_EQ(panel.name[i], '\0') << i;
    }
}

TEST_F(RegistryTest, RecordsAreKeyedByIdentifierIncludingSixteenAndAbove) {
    for (int id : {0, 15, 16, 255}) {
        CRegPanel writer;
        std::snprintf(writer.name, sizeof writer.name, "Panel %d", id);
        writer.touchOp = 2;
        writer.irOp = id;
        ASSERT_EQ(writer.SetPanelReg(id), 0);
        EXPECT_TRUE(store().HasKey(PanelKey(id)));
    }
    CRegPanel reader;
    for (int id : {0, 15, 16, 255}) {
        SCOPED_TRACE(id);
        reader.GetPanelReg(id);
        EXPECT_EQ(std::string(reader.name), "Panel " + std::to_string(id));
        EXPECT_EQ(reader.irOp, id);
    }
    EXPECT_EQ(reader.GetAllRegID(), 2);  // 16 and 255 are not listed
}

// --- SetPanelReg --------------------------------------------------------------

TEST_F(RegistryTest, PanelRecordIsStoredAsTextAndTwoDwords) {
    struct Case {
        const char* what;
        std::string member;  // bytes put into `name`, without any zero
        bool terminated;
        std::string stored;  // NAME without its terminating zero
        std::string readBack;
    };
    const Case cases[] = {
        {"plain name", "Operator", true, "Operator", "Operator"},
        {"empty name", "", true, "", ""},
        {"name member without terminator", std::string(64, 'z'), false, std::string(64, 'z'), std::string(49, 'z')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store().Clear();
        CRegPanel panel;
        std::memset(panel.name, c.terminated ? 0 : 'z', sizeof panel.name);
        std::memcpy(panel.name, c.member.data(), c.member.size());
        panel.touchOp = 1;
        panel.irOp = 0x01020304;
        ASSERT_EQ(panel.SetPanelReg(7), 0);

        EXPECT_EQ(store().ValueNames(PanelKey(7)), (std::vector<std::string>{"NAME", "TOUCH_OP", "IR_OP"}));
        const StoredValue* name = store().Find(PanelKey(7), "NAME");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->type, brimol::kRegSz);
        std::vector<std::uint8_t> stored = Bytes(c.stored);
        stored.push_back(0);  // terminating zero included
        EXPECT_EQ(name->bytes, stored);
        const StoredValue* touch = store().Find(PanelKey(7), "TOUCH_OP");
        ASSERT_NE(touch, nullptr);
        EXPECT_EQ(touch->type, brimol::kRegDword);
        EXPECT_EQ(touch->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
        const StoredValue* ir = store().Find(PanelKey(7), "IR_OP");
        ASSERT_NE(ir, nullptr);
        EXPECT_EQ(ir->type, brimol::kRegDword);
        EXPECT_EQ(ir->bytes, (std::vector<std::uint8_t>{4, 3, 2, 1}));

        std::strcpy(panel.name, "stale");
        panel.GetPanelReg(7);
        EXPECT_EQ(std::string(panel.name), c.readBack);
    }
}

TEST_F(RegistryTest, RefusedWritesAreReported) {
    struct Case {
        const char* what;
        long createError;
        const char* refusedValue;  // nullptr: none
        long writeError;
        int result;
        std::vector<std::string> stored;
    };
    const Case cases[] = {
        {"create refused", brimol::kRegAccessDenied, nullptr, 0, brimol::kRegAccessDenied, {}},
        {"every write refused", 0, "", brimol::kRegAccessDenied, brimol::kRegAccessDenied, {}},
        {"NAME refused", 0, "NAME", brimol::kRegAccessDenied, brimol::kRegAccessDenied, {"TOUCH_OP", "IR_OP"}},
        {"TOUCH_OP refused", 0, "TOUCH_OP", 1021, 1021, {"NAME", "IR_OP"}},
        {"IR_OP refused", 0, "IR_OP", brimol::kRegAccessDenied, brimol::kRegAccessDenied, {"NAME", "TOUCH_OP"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store().Clear();
        store().RefuseCreate(c.createError);
        if (c.refusedValue != nullptr) store().RefuseWrite(c.refusedValue, c.writeError);
        CRegPanel panel;
        std::strcpy(panel.name, "Left");
        panel.touchOp = 2;
        panel.irOp = 0;
        EXPECT_EQ(panel.SetPanelReg(5), c.result);
        EXPECT_EQ(store().ValueNames(PanelKey(5)), c.stored);
        EXPECT_EQ(panel.key, nullptr);
    }
}

// --- CRegSystem ---------------------------------------------------------------

TEST_F(RegistryTest, SystemRecordReadsStoredValuesAndDefaults) {
    struct Case {
        const char* what;
        bool keyExists;
        std::vector<std::pair<std::string, StoredValue>> values;
        int timeOut;
        int timeEnable;
    };
    const Case cases[] = {
        {"no key", false, {}, 30, 0},
        {"key without values", true, {}, 30, 0},
        {"stored", true,
         {{"TIMEOUT", {brimol::kRegDword, {0x08, 0x07, 0, 0}}}, {"TIMEENABLE", {brimol::kRegDword, {1, 0, 0, 0}}}},
         0x0708, 1},
        {"TIMEOUT 0 kept", true, {{"TIMEOUT", {brimol::kRegDword, {0, 0, 0, 0}}}}, 0, 0},
        {"TIMEOUT as text", true, {{"TIMEOUT", {brimol::kRegSz, {'6', '0', 0}}}}, 30, 0},
        {"TIMEENABLE of one byte", true, {{"TIMEENABLE", {brimol::kRegDword, {1}}}}, 30, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store().Clear();
        if (c.keyExists) store().AddKey(kSystemKey);
        for (const auto& v : c.values) store().PutValue(kSystemKey, v.first, v.second.type, v.second.bytes);
        CRegSystem system;
        system.timeOut = 77;
        system.timeEnable = 77;
        system.GetSystemReg();
        EXPECT_EQ(system.timeOut, c.timeOut);
        EXPECT_EQ(system.timeEnable, c.timeEnable);
    }
}

TEST_F(RegistryTest, SystemRecordRoundTripsAndRefusalChangesNothing) {
    CRegSystem system;
    system.timeOut = 1800;
    system.timeEnable = 1;
    system.SetSystemReg();
    EXPECT_EQ(store().ValueNames(kSystemKey), (std::vector<std::string>{"TIMEOUT", "TIMEENABLE"}));
    EXPECT_EQ(store().Find(kSystemKey, "TIMEOUT")->type, brimol::kRegDword);

    store().RefuseCreate(brimol::kRegAccessDenied);
    CRegSystem other;
    other.timeOut = 5;
    other.timeEnable = 0;
    other.SetSystemReg();
    other.GetSystemReg();
    EXPECT_EQ(other.timeOut, 1800);
    EXPECT_EQ(other.timeEnable, 1);
}

}  // namespace

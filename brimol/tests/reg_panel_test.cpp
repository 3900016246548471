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

// Exposes the protected key operations.
class PanelRecord : public CRegPanel {
public:
    using CRegPanel::RegClose;
    using CRegPanel::RegCreate;
    using CRegPanel::RegOpen;
};

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

TEST_F(RegistryTest, ConstructionSetsRootBasePathAndLeavesNoKey) {
    CRegSystem system;
    EXPECT_EQ(system.rootKey, brimol::MachineRootKey());
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(system.rootKey), static_cast<std::intptr_t>(INT32_C(-2147483646)));
    EXPECT_STREQ(system.basePath.c_str(), "SOFTWARE\\ZR_EX_CONTROL\\");
    EXPECT_EQ(system.key, nullptr);
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
    CRegPanel panel;
    std::strcpy(panel.name, "Operator");
    panel.touchOp = 1;
    panel.irOp = 0x01020304;
    ASSERT_EQ(panel.SetPanelReg(7), 0);

    EXPECT_EQ(store().ValueNames(PanelKey(7)), (std::vector<std::string>{"NAME", "TOUCH_OP", "IR_OP"}));
    const StoredValue* name = store().Find(PanelKey(7), "NAME");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->type, brimol::kRegSz);
    EXPECT_EQ(name->bytes, (std::vector<std::uint8_t>{'O', 'p', 'e', 'r', 'a', 't', 'o', 'r', 0}));
    const StoredValue* touch = store().Find(PanelKey(7), "TOUCH_OP");
    ASSERT_NE(touch, nullptr);
    EXPECT_EQ(touch->type, brimol::kRegDword);
    EXPECT_EQ(touch->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    const StoredValue* ir = store().Find(PanelKey(7), "IR_OP");
    ASSERT_NE(ir, nullptr);
    EXPECT_EQ(ir->bytes, (std::vector<std::uint8_t>{4, 3, 2, 1}));
}

TEST_F(RegistryTest, EmptyNameIsStoredAsEmptyTextAndReadsBackEmpty) {
    CRegPanel panel;
    panel.name[0] = '\0';
    ASSERT_EQ(panel.SetPanelReg(1), 0);
    EXPECT_EQ(store().Find(PanelKey(1), "NAME")->bytes, std::vector<std::uint8_t>{0});
    std::strcpy(panel.name, "stale");
    panel.GetPanelReg(1);
    EXPECT_STREQ(panel.name, "");
}

TEST_F(RegistryTest, NameMemberWithoutTerminatorIsStoredBounded) {
    CRegPanel panel;
    std::memset(panel.name, 'z', sizeof panel.name);  // no zero anywhere
    ASSERT_EQ(panel.SetPanelReg(3), 0);
    const StoredValue* name = store().Find(PanelKey(3), "NAME");
    ASSERT_NE(name, nullptr);
    std::vector<std::uint8_t> expected(64, 'z');
    expected.push_back(0);
    EXPECT_EQ(name->bytes, expected);
    panel.GetPanelReg(3);
    EXPECT_EQ(std::string(panel.name), std::string(49, 'z'));
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

// --- key access, copies ---------------------------------------------------------

TEST_F(RegistryTest, KeyOperationsWorkUnderTheBasePath) {
    PanelRecord record;
    EXPECT_EQ(record.RegOpen("ID3"), brimol::kRegNotFound);
    EXPECT_EQ(record.key, nullptr);
    record.RegClose();  // nothing open: nothing happens
    EXPECT_EQ(store().counts().closes, 0);
    ASSERT_EQ(record.RegCreate("ID3"), 0);
    EXPECT_NE(record.key, nullptr);
    record.RegClose();
    EXPECT_EQ(record.key, nullptr);
    EXPECT_TRUE(store().HasKey(PanelKey(3)));
    EXPECT_EQ(record.RegOpen("ID3"), 0);
    record.RegClose();
}

TEST_F(RegistryTest, CopiesCarryEveryMemberAndStayIndependent) {
    store().AddKey(PanelKey(2));
    CRegSystem original;
    std::strcpy(original.name, "Supervisor desk");
    original.touchOp = 2;
    original.irOp = 9;
    original.timeOut = 120;
    original.timeEnable = 1;

    CRegSystem copy(original);
    CRegSystem assigned;
    assigned = original;
    for (const CRegSystem* other : {&copy, &assigned}) {
        EXPECT_EQ(std::memcmp(other->name, original.name, sizeof original.name), 0);
        EXPECT_EQ(other->touchOp, 2);
        EXPECT_EQ(other->irOp, 9);
        EXPECT_EQ(std::memcmp(other->regIdList, original.regIdList, sizeof original.regIdList), 0);
        EXPECT_STREQ(other->basePath.c_str(), original.basePath.c_str());
        EXPECT_EQ(other->key, original.key);
        EXPECT_EQ(other->rootKey, original.rootKey);
        EXPECT_EQ(other->timeOut, 120);
        EXPECT_EQ(other->timeEnable, 1);
    }
    std::strcpy(original.name, "changed");
    original.basePath = "elsewhere";
    EXPECT_STREQ(copy.name, "Supervisor desk");
    EXPECT_STREQ(copy.basePath.c_str(), "SOFTWARE\\ZR_EX_CONTROL\\");
}

TEST_F(RegistryTest, ObjectsMadeWithNewAreFreedThroughTheLibrary) {
    CRegPanel* panel = new CRegSystem();
    ASSERT_NE(panel, nullptr);
    delete panel;  // virtual: the system record's destructor and the library's delete
    CRegSystem* several = new CRegSystem[3];
    ASSERT_NE(several, nullptr);
    delete[] several;
}

TEST(RegString, CutsLongTextAndAlwaysTerminates) {
    const std::string longText(100, 'q');
    CRegString text(longText.c_str());
    EXPECT_EQ(text.length(), static_cast<std::size_t>(CRegString::kCapacity - 1));
    EXPECT_EQ(text.text[CRegString::kCapacity - 1], '\0');
    text = nullptr;
    EXPECT_STREQ(text.c_str(), "");
    text = "ALL";
    text = text.c_str() + 1;  // overlapping source
    EXPECT_STREQ(text.c_str(), "LL");
}

}  // namespace

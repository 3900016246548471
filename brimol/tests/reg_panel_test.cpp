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

TEST_F(RegistryTest, PanelRecordReadsStoredValuesAndDefaults) {
    const std::string name16 = "Press line 16 ch", name49(49, 'n');
    const Bytes eightBytes = {5, 0, 0, 0, 0, 0, 0, 0};
    const struct {
        const char* what;
        bool keyExists;
        Values values;
        std::string name;
        int touchOp, irOp;
    } cases[] = {
        {"no key", false, {}, "", 1, 0},
        {"full record, 16 characters whole", true,
         {{"NAME", {kRegSz, Sz(name16)}}, {"TOUCH_OP", {kRegDword, Dword(2)}}, {"IR_OP", {kRegDword, Dword(5)}}},
         name16, 2, 5},
        {"49 characters readable", true, {{"NAME", {kRegSz, Sz(name49)}}}, name49, 1, 0},
        {"longer name cut to 49", true, {{"NAME", {kRegSz, Sz(name49 + "0123456789abcdef")}}}, name49, 1, 0},
        {"name without terminating zero", true, {{"NAME", {kRegSz, Raw("Unterminated")}}}, "Unterminated", 1, 0},
        {"TOUCH_OP outside 0..2 and negative IR_OP kept", true,
         {{"TOUCH_OP", {kRegDword, Dword(3)}}, {"IR_OP", {kRegDword, Dword(0xFFFFFFFF)}}}, "", 3, -1},
        {"wrong types read as defaults", true,
         {{"NAME", {kRegBinary, Raw("Bin")}}, {"TOUCH_OP", {kRegSz, Sz("2")}}, {"IR_OP", {kRegQword, eightBytes}}},
         "", 1, 0},
        {"wrong sizes read as defaults", true,
         {{"TOUCH_OP", {kRegDword, {2, 0}}}, {"IR_OP", {kRegDword, eightBytes}}}, "", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fill(PanelKey(4), c.keyExists, c.values);
        CRegPanel panel;
        std::memset(panel.name, 'x', sizeof panel.name);
        panel.touchOp = panel.irOp = 77;
        EXPECT_EQ(panel.GetPanelReg(4), 0);
        EXPECT_EQ(std::string(panel.name), c.name);
        EXPECT_EQ(panel.touchOp, c.touchOp);
        EXPECT_EQ(panel.irOp, c.irOp);
        // Nothing of the junk survives behind the name.
        for (std::size_t i = c.name.size(); i < sizeof panel.name; ++i) ASSERT_EQ(panel.name[i], '\0') << i;
    }
}

TEST_F(RegistryTest, PanelRecordIsStoredAsTextAndTwoDwordsAndTheFirstRefusalReported) {
    const long denied = kRegAccessDenied;
    const Names all = {"NAME", "TOUCH_OP", "IR_OP"};
    const struct {
        const char* what;
        int id;
        std::string member;  // bytes put into `name`; all 64 of them leave no zero
        long createError;
        std::vector<std::pair<const char*, long>> refusedWrites;
        int result;
        Names stored;
    } cases[] = {
        {"plain name", 7, "Operator", 0, {}, 0, all},
        {"unterminated name member, identifier 255", 255, std::string(64, 'z'), 0, {}, 0, all},
        {"create refused", 5, "Left", denied, {}, denied, {}},
        {"NAME and TOUCH_OP refused", 5, "Left", 0, {{"NAME", denied}, {"TOUCH_OP", 1021}}, denied, {"IR_OP"}},
        {"TOUCH_OP and IR_OP refused", 5, "Left", 0, {{"TOUCH_OP", 1021}, {"IR_OP", denied}}, 1021, {"NAME"}},
        {"IR_OP refused", 5, "Left", 0, {{"IR_OP", denied}}, denied, {"NAME", "TOUCH_OP"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store().Clear();
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
}

TEST_F(RegistryTest, SystemRecordReadsStoredValuesAndDefaultsAndIsStoredAsTwoDwords) {
    const struct {
        const char* what;
        bool keyExists;
        Values values;
        int timeOut, timeEnable;
    } cases[] = {
        {"no key", false, {}, 30, 0},
        {"key without values", true, {}, 30, 0},
        {"stored, TIMEOUT 0 kept", true,
         {{"TIMEOUT", {kRegDword, Dword(0)}}, {"TIMEENABLE", {kRegDword, Dword(1)}}}, 0, 1},
        {"TIMEOUT of the wrong type, TIMEENABLE read still", true,
         {{"TIMEOUT", {kRegSz, Sz("60")}}, {"TIMEENABLE", {kRegDword, Dword(1)}}}, 30, 1},
        {"TIMEENABLE of the wrong size", true, {{"TIMEENABLE", {kRegDword, {1}}}}, 30, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fill(kSystemKey, c.keyExists, c.values);
        CRegSystem system;
        system.timeOut = system.timeEnable = 77;
        system.GetSystemReg();
        EXPECT_EQ(system.timeOut, c.timeOut);
        EXPECT_EQ(system.timeEnable, c.timeEnable);
    }
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

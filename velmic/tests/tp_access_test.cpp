// The panel access module: the status rule for every call, the search for
// the active panel, the limits on the values, the two sets.
#include "tp_access.h"

#include <gtest/gtest.h>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

using velmic::kCritical;
using velmic::kNoActivePanel;
using velmic::kNoPanelDevice;
using velmic::kOk;

class TpAccessTest : public VelmicTest {};

// One module call that reaches the forced function.
struct CallCase {
    const char* tag;
    const char* function;
    std::function<std::int16_t(velmic::TpAccess&)> call;
};

std::vector<CallCase> Calls() {
    const auto active = [](velmic::TpAccess& a) {
        std::int16_t panelId = 0;
        return a.GetActivePanel(&panelId);
    };
    return {
        {"GetActivePanel(1):", "TavloNeedUpdate", active},
        {"GetActivePanel(2):", "TavloGetPointdataEnable", active},
        {"GetActivePanel(3):", "TavloGetPanelId", active},
        {"GetSettings(1):", "TavloGetClickData",
         [](velmic::TpAccess& a) {
             ClickSettings v;
             return a.GetSettings(&v, true);
         }},
        {"SetSettings(1):", "TavloGetClickData", [](velmic::TpAccess& a) { return a.SetSettings({}, false); }},
        {"SetSettings(2):", "TavloSetClickData", [](velmic::TpAccess& a) { return a.SetSettings({}, true); }},
        {"GetClickSound(1):", "TavloGetClickSound",
         [](velmic::TpAccess& a) {
             std::int16_t on = 0;
             return a.GetClickSound(&on, false);
         }},
        {"SetClickSound(1):", "TavloSetClickSound", [](velmic::TpAccess& a) { return a.SetClickSound(true, true); }},
        {"FindPanel(1):", "TavloNeedUpdate", [](velmic::TpAccess& a) { return a.FindPanel(0x31, 0); }},
        {"FindPanel(2):", "TavloGetPanelId", [](velmic::TpAccess& a) { return a.FindPanel(0x31, 0); }},
    };
}

TEST_F(TpAccessTest, EveryStatusOfEveryCallGivesItsResult) {
    for (const CallCase& c : Calls()) {
        for (TavloStatus status = 1; status <= 8; ++status) {
            SCOPED_TRACE(std::string(c.tag) + " status " + std::to_string(status));
            SetUp();
            Attach(0x31);
            debug.boxes.clear();
            Force(c.function, status);
            const std::int16_t result = c.call(access);
            if (status == TavloNoPanel || status == TavloBadPanel) {
                EXPECT_EQ(result, kNoPanelDevice);
                EXPECT_TRUE(debug.boxes.empty());
            } else {
                EXPECT_EQ(result, kCritical);
                EXPECT_EQ(debug.boxes, std::vector<std::string>{std::string(c.tag) + " " + std::to_string(status)});
            }
        }
    }
}

TEST_F(TpAccessTest, MutedDiagnosticsGiveTheResultWithoutABox) {
    Attach(0x31);
    Force("TavloGetClickSound", 7);
    std::int16_t on = 0;
    EXPECT_EQ(access.GetClickSound(&on, true), kCritical);
    access.MuteDiagnostics(true);
    EXPECT_EQ(access.GetClickSound(&on, true), kCritical);
    access.MuteDiagnostics(false);
    EXPECT_EQ(access.GetClickSound(&on, true), kCritical);
    EXPECT_EQ(debug.boxes, (std::vector<std::string>{"GetClickSound(1): 7", "GetClickSound(1): 7"}));
}

TEST_F(TpAccessTest, ActivePanelIsTheLowestEnabledOne) {
    struct Case {
        const char* name;
        std::vector<bool> enabled;  // one panel each, identifiers 0x11, 0x12, ...
        std::int16_t result;
        std::int16_t index;
        std::int16_t id;
        int enableQueries;
    };
    const Case cases[] = {
        {"no panel", {}, kNoPanelDevice, 0, -1, 0},
        {"one enabled", {true}, kOk, 0, 0x11, 1},
        {"only the third enabled", {false, false, true}, kOk, 2, 0x13, 3},
        {"two enabled", {false, true, true}, kOk, 1, 0x12, 2},
        {"none enabled", {false, false}, kNoActivePanel, 0, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (std::size_t i = 0; i < c.enabled.size(); ++i) Attach(static_cast<std::uint8_t>(0x11 + i), c.enabled[i]);
        access.ActivePanelIndex = 5;  // left by an earlier search
        Model().ClearLog();
        std::int16_t id = -1;
        EXPECT_EQ(access.GetActivePanel(&id), c.result);
        EXPECT_EQ(access.ActivePanelIndex, c.index);
        EXPECT_EQ(id, c.id);
        const auto requests = Requests();
        EXPECT_EQ(std::count(requests.begin(), requests.end(), IOCTL_TAVLO_GET_POINTDATA_ENABLE), c.enableQueries);
        EXPECT_TRUE(debug.boxes.empty());
    }
}

TEST_F(TpAccessTest, AFailedPanelCountMeansNoPanelWithoutABox) {
    Attach(0x31);
    Force("TavloGetDevices", TavloFailed);
    std::int16_t id = 0;
    EXPECT_EQ(access.GetActivePanel(&id), kNoPanelDevice);
    EXPECT_TRUE(debug.boxes.empty());
}

// A panel attached between two calls of one search is routine: the search
// starts over once within the same call. Only a second change inside the
// repeated search counts as a failure.
TEST_F(TpAccessTest, PanelListChangingDuringTheSearchIsSearchedAgain) {
    struct Case {
        const char* name;
        int changes;  // panels attached, one after each panel count read
        std::int16_t result;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"one change", 1, kOk, {}},
        {"a change in each search", 2, kCritical, {"GetActivePanel(2): 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Attach(0x31, false);
        Attach(0x32, true);
        debug.boxes.clear();
        std::uint16_t fresh = 0;
        std::int16_t id = 0;
        access.GetActivePanel(&id);  // a stamp that is up to date
        ASSERT_EQ(id, 0x32);
        fresh = access.ChangeStamp;
        int statusReads = 0, changes = c.changes;
        // NeedUpdate and GetDevices each read the driver status; a panel
        // arrives right after the count was read.
        Driver().channel.afterRequest = [&](std::uint32_t code) {
            if (code != IOCTL_TAVLO_GET_STATUS || ++statusReads % 3 != 2 || changes == 0) return;
            --changes;
            Model().AttachPanel(0x40);
        };
        id = 0;
        EXPECT_EQ(access.GetActivePanel(&id), c.result);
        Driver().channel.afterRequest = nullptr;
        EXPECT_EQ(debug.boxes, c.boxes);
        EXPECT_NE(access.ChangeStamp, fresh);
        if (c.result == kOk) {
            EXPECT_EQ(id, 0x32);
            EXPECT_EQ(access.ActivePanelIndex, 1);
        }
    }
}

TEST_F(TpAccessTest, SettingsCallsAddressTheChosenSetOfTheActivePanel) {
    Attach(0x31, false, {10, 20, 300, 24}, {40, 50, 600, 32});
    Attach(0x32, true, {50, 20, 450, 30}, {0, 0, 200, 20}, true, false);
    std::int16_t id = 0;
    ASSERT_EQ(access.GetActivePanel(&id), kOk);

    ClickSettings values;
    EXPECT_EQ(access.GetSettings(&values, true), kOk);
    EXPECT_EQ(values, (ClickSettings{50, 20, 450, 30}));
    EXPECT_EQ(access.GetSettings(&values, false), kOk);
    EXPECT_EQ(values, (ClickSettings{0, 0, 200, 20}));
    std::int16_t on = 0;
    EXPECT_EQ(access.GetClickSound(&on, false), kOk);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(access.GetClickSound(&on, true), kOk);
    EXPECT_EQ(on, 1);

    EXPECT_EQ(access.SetSettings({70, 80, 800, 36}, false), kOk);
    EXPECT_EQ(access.SetClickSound(true, false), kOk);
    EXPECT_EQ(Working(1), (ClickSettings{70, 80, 800, 36}));
    EXPECT_EQ(Saved(1), (ClickSettings{50, 20, 450, 30}));
    EXPECT_TRUE(SoundWorking(1));
    EXPECT_EQ(Working(0), (ClickSettings{40, 50, 600, 32}));  // the other panel untouched
    EXPECT_EQ(Saved(0), (ClickSettings{10, 20, 300, 24}));
}

TEST_F(TpAccessTest, WrittenValuesAreLimitedAndStoredInTheDeviceSteps) {
    struct Case {
        ClickSettings written;
        ClickSettings readBack;
    };
    const Case cases[] = {
        {{-5, 130, 150, 50}, {0, 100, 200, 40}},
        {{0, 0, 1000, 20}, {0, 0, 900, 20}},
        {{55, 100, 455, 21}, {50, 100, 450, 20}},
        {{-32768, 32767, -1, 32767}, {0, 100, 200, 40}},
    };
    for (const Case& c : cases) {
        SetUp();
        Attach(0x31);
        std::int16_t id = 0;
        ASSERT_EQ(access.GetActivePanel(&id), kOk);
        EXPECT_EQ(access.SetSettings(c.written, true), kOk);
        ClickSettings values;
        EXPECT_EQ(access.GetSettings(&values, true), kOk);
        EXPECT_EQ(values, c.readBack) << c.written.down << " " << c.written.up << " " << c.written.speed;
    }
}

TEST_F(TpAccessTest, AFailedReadLeavesTheCallersValues) {
    Attach(0x31);
    Force("TavloGetClickSound", TavloBadPanel);
    Force("TavloGetClickData", TavloFailed);
    std::int16_t on = 7;
    ClickSettings values{1, 2, 3, 4};
    EXPECT_EQ(access.GetClickSound(&on, true), kNoPanelDevice);
    EXPECT_EQ(access.GetSettings(&values, true), kCritical);
    EXPECT_EQ(on, 7);
    EXPECT_EQ(values, (ClickSettings{1, 2, 3, 4}));
}

TEST_F(TpAccessTest, FindPanelLocatesAPanelByItsIdentifier) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> ids;  // attached panels
        std::int16_t preferred;
        std::uint8_t sought;
        std::int16_t result;
        std::int16_t index;
        int idQueries;
    };
    const Case cases[] = {
        {"still at its number", {0x11, 0x22, 0x33}, 1, 0x22, kOk, 1, 1},
        {"moved down", {0x22, 0x33}, 1, 0x22, kOk, 0, 2},
        {"gone", {0x11, 0x33}, 1, 0x22, kNoPanelDevice, 9, 2},
        {"number beyond the list", {0x22}, 4, 0x22, kOk, 0, 1},
        {"no panel at all", {}, 0, 0x22, kNoPanelDevice, 9, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (std::uint8_t id : c.ids) Attach(id);
        access.ActivePanelIndex = 9;
        Model().ClearLog();
        EXPECT_EQ(access.FindPanel(c.sought, c.preferred), c.result);
        EXPECT_EQ(access.ActivePanelIndex, c.index);
        const auto requests = Requests();
        EXPECT_EQ(std::count(requests.begin(), requests.end(), IOCTL_TAVLO_GET_PANEL_ID), c.idQueries);
        EXPECT_TRUE(debug.boxes.empty());
    }
}

}  // namespace
}  // namespace velmic_test

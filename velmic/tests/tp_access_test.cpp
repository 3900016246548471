// The panel access module: the status rule for every call, the search for
// the active panel and for a panel by its identifier, the two sets.
#include "tp_access.h"

#include <gtest/gtest.h>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

using velmic::Result;
constexpr Result kOk = Result::kOk;
constexpr Result kNoActivePanel = Result::kNoActivePanel;
constexpr Result kNoPanelDevice = Result::kNoPanelDevice;
constexpr Result kCritical = Result::kCritical;

class TpAccessTest : public VelmicTest {};

// Statuses 2 and 5 mean no panel, silently; every other status shows one
// box naming the call, or none while muted.
TEST_F(TpAccessTest, EveryStatusOfEveryCallGivesItsResult) {
    using Access = velmic::TpAccess;
    const auto active = [](Access& a) { return a.GetActivePanel().result; };
    const auto find = [](Access& a) { return a.FindPanel(kId, 0); };
    const struct {
        const char* tag;
        std::uint32_t code;  // the request the tagged call makes
        std::function<Result(Access&)> call;
    } calls[] = {
        {"GetActivePanel(1):", IOCTL_TAVLO_GET_STATUS, active},
        {"GetActivePanel(2):", IOCTL_TAVLO_GET_POINTDATA_ENABLE, active},
        {"GetActivePanel(3):", IOCTL_TAVLO_GET_PANEL_ID, active},
        {"GetSettings(1):", IOCTL_TAVLO_GET_CLICK_DATA_ALT, [](Access& a) { return a.GetSettings(true).result; }},
        {"SetSettings(1):", IOCTL_TAVLO_GET_CLICK_DATA, [](Access& a) { return a.SetSettings({}, false); }},
        {"SetSettings(2):", IOCTL_TAVLO_SET_CLICK_DATA_ALT, [](Access& a) { return a.SetSettings({}, true); }},
        {"GetClickSound(1):", IOCTL_TAVLO_GET_CLICK_SOUND, [](Access& a) { return a.GetClickSound(false).result; }},
        {"SetClickSound(1):", IOCTL_TAVLO_SET_CLICK_SOUND_ALT, [](Access& a) { return a.SetClickSound(true, true); }},
        {"FindPanel(1):", IOCTL_TAVLO_GET_STATUS, find},
        {"FindPanel(2):", IOCTL_TAVLO_GET_PANEL_ID, find},
    };
    // A driver error, or (0) a status reply that counts no panel, and the
    // status the library makes of it.
    const std::pair<std::uint32_t, TavloStatus> faults[] = {{0, 2}, {2, 5}, {1, 6}, {87, 7}, {31, 8}};
    for (const auto& c : calls) {
        for (const auto& [error, status] : faults) {
            SCOPED_TRACE(std::string(c.tag) + " status " + std::to_string(status));
            Restart();
            Attach(kId);
            ASSERT_EQ(access.GetActivePanel().result, kOk);  // an up-to-date stamp
            const std::uint8_t noPanel[3] = {static_cast<std::uint8_t>(Model().Stamp()),
                                             static_cast<std::uint8_t>(Model().Stamp() >> 8), 0};
            if (error == 0) Model().OverrideReply(IOCTL_TAVLO_GET_STATUS, noPanel, 3, true);
            if (error != 0) Model().FailCode(c.code, error);
            const bool silent = status == TavloNoPanel || status == TavloBadPanel;
            EXPECT_EQ(c.call(access), silent ? kNoPanelDevice : kCritical);
            access.MuteDiagnostics(true);
            EXPECT_EQ(c.call(access), silent ? kNoPanelDevice : kCritical);
            access.MuteDiagnostics(false);
            const std::string box = std::string(c.tag) + " " + std::to_string(status);
            EXPECT_EQ(boxes, silent ? std::vector<std::string>{} : std::vector<std::string>{box});
        }
    }
}

// The lowest enabled panel. A panel attached between two calls of one
// search is routine: the search starts over once; only a second change
// inside the repeated search counts.
TEST_F(TpAccessTest, ActivePanelIsTheLowestEnabledOne) {
    const struct {
        const char* name;
        std::vector<bool> enabled;  // one panel each, identifiers 0x11, 0x12, ...
        int changes;                // panels attached during the search; -1: the count is unreadable
        Result result;
        std::int16_t index, id;  // id -1: none found
        std::vector<std::string> boxes;
    } cases[] = {
        {"no panel", {}, 0, kNoPanelDevice, 0, -1, {}},
        {"panel count unreadable", {true}, -1, kNoPanelDevice, 0, -1, {}},
        {"only the third enabled", {false, false, true}, 0, kOk, 2, 0x13, {}},
        {"two enabled", {false, true, true}, 0, kOk, 1, 0x12, {}},
        {"none enabled", {false, false}, 0, kNoActivePanel, 0, -1, {}},
        {"a panel attached during the search", {false, true}, 1, kOk, 1, 0x12, {}},
        {"a panel attached during each search", {false, true}, 2, kCritical, 0, -1, {"GetActivePanel(2): 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        for (std::size_t i = 0; i < c.enabled.size(); ++i) Attach(static_cast<std::uint8_t>(0x11 + i), c.enabled[i]);
        // Status reads: the stamp, the count, then one before each panel
        // call. A panel arrives right after the count was read, or the
        // count's read fails.
        int statusReads = 0, changes = c.changes;
        Driver().channel.afterRequest = [&](std::uint32_t code) {
            if (code != IOCTL_TAVLO_GET_STATUS) return;
            if (++statusReads == 1 && changes < 0) Model().FailCode(code, kErrorGenFailure);
            if (statusReads % 3 == 2 && changes-- > 0) Model().AttachPanel(0x40);
        };
        access.ActivePanelIndex = 5;  // left by an earlier search
        const velmic::Reading<std::uint8_t> found = access.GetActivePanel();
        EXPECT_EQ(found.result, c.result);
        Driver().channel.afterRequest = nullptr;
        EXPECT_EQ(access.ActivePanelIndex, c.index);
        EXPECT_EQ(found.Ok() ? found.value : -1, c.id);
        EXPECT_EQ(boxes, c.boxes);
    }
}

TEST_F(TpAccessTest, FindPanelLocatesAPanelByItsIdentifier) {
    const struct {
        const char* name;
        std::vector<std::uint8_t> ids;  // attached panels
        std::int16_t preferred;
        Result result;
        std::int16_t index;
        int idQueries;
    } cases[] = {
        {"still at its number", {0x11, 0x22, 0x33}, 1, kOk, 1, 1}, {"moved down", {0x22, 0x33}, 1, kOk, 0, 2},
        {"gone", {0x11, 0x33}, 1, kNoPanelDevice, 9, 2},           {"its number now the count", {0x22}, 1, kOk, 0, 1},
        {"no panel at all", {}, 0, kNoPanelDevice, 9, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        for (std::uint8_t id : c.ids) Attach(id);
        access.ActivePanelIndex = 9;
        Model().ClearLog();
        EXPECT_EQ(access.FindPanel(0x22, c.preferred), c.result);
        EXPECT_EQ(access.ActivePanelIndex, c.index);
        EXPECT_EQ(Count(IOCTL_TAVLO_GET_PANEL_ID), c.idQueries);
        EXPECT_TRUE(boxes.empty());
    }
}

}  // namespace
}  // namespace velmic_test

// The panel access module: the status rule for every call, the search for
// the active panel and for a panel by its identifier, the two sets.
#include "tp_access.h"

#include <gtest/gtest.h>

#include <tuple>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

using velmic::Result;
using velmic::TpAccess;
constexpr Result kOk = Result::kOk;
constexpr Result kNoActivePanel = Result::kNoActivePanel;
constexpr Result kNoPanelDevice = Result::kNoPanelDevice;
constexpr Result kCritical = Result::kCritical;

// One call of the module, by the tag its diagnostic box shows.
struct CallRow {
    const char* name;    // the tag
    std::uint32_t code;  // the request the tagged call makes
    std::function<Result(TpAccess&)> call;
};
void PrintTo(const CallRow& row, std::ostream* os) { *os << row.name; }
Result Active(TpAccess& a) { return a.GetActivePanel().result; }
Result Find(TpAccess& a) { return a.FindPanel(kId, 0); }
Result GetSaved(TpAccess& a) { return a.GetSettings(true).result; }
Result SetWorking(TpAccess& a) { return a.SetSettings({}, false); }
Result SetSaved(TpAccess& a) { return a.SetSettings({}, true); }
Result GetWorkingSound(TpAccess& a) { return a.GetClickSound(false).result; }
Result SetSavedSound(TpAccess& a) { return a.SetClickSound(true, true); }

// clang-format off
const CallRow kCalls[] = {
    {.name = "GetActivePanel(1):", .code = IOCTL_TAVLO_GET_STATUS,           .call = Active},
    {.name = "GetActivePanel(2):", .code = IOCTL_TAVLO_GET_POINTDATA_ENABLE, .call = Active},
    {.name = "GetActivePanel(3):", .code = IOCTL_TAVLO_GET_PANEL_ID,         .call = Active},
    {.name = "GetSettings(1):",    .code = IOCTL_TAVLO_GET_CLICK_DATA_ALT,   .call = GetSaved},
    {.name = "SetSettings(1):",    .code = IOCTL_TAVLO_GET_CLICK_DATA,       .call = SetWorking},
    {.name = "SetSettings(2):",    .code = IOCTL_TAVLO_SET_CLICK_DATA_ALT,   .call = SetSaved},
    {.name = "GetClickSound(1):",  .code = IOCTL_TAVLO_GET_CLICK_SOUND,      .call = GetWorkingSound},
    {.name = "SetClickSound(1):",  .code = IOCTL_TAVLO_SET_CLICK_SOUND_ALT,  .call = SetSavedSound},
    {.name = "FindPanel(1):",      .code = IOCTL_TAVLO_GET_STATUS,           .call = Find},
    {.name = "FindPanel(2):",      .code = IOCTL_TAVLO_GET_PANEL_ID,         .call = Find},
};
// clang-format on

// A driver error, or (0) a status reply that counts no panel, and the
// status the library makes of it.
struct FaultRow {
    std::uint32_t error;
    TavloStatus status;
};
void PrintTo(const FaultRow& row, std::ostream* os) { *os << "status " << row.status; }
const FaultRow kFaults[] = {
    {.error = 0, .status = 2},  {.error = 2, .status = 5},  {.error = 1, .status = 6},
    {.error = 87, .status = 7}, {.error = 31, .status = 8},
};

using StatusRow = std::tuple<CallRow, FaultRow>;
class StatusRuleTest : public VelmicTest, public ::testing::WithParamInterface<StatusRow> {};

// Statuses 2 and 5 mean no panel, silently; every other status shows one
// box naming the call, or none while muted.
TEST_P(StatusRuleTest, EveryStatusOfEveryCallGivesItsResult) {
    const auto& [c, fault] = GetParam();
    Attach(kId);
    ASSERT_EQ(access.GetActivePanel().result, kOk);  // an up-to-date stamp
    const std::uint8_t noPanel[3] = {static_cast<std::uint8_t>(Model().Stamp()),
                                     static_cast<std::uint8_t>(Model().Stamp() >> 8), 0};
    if (fault.error == 0) Model().OverrideReply(IOCTL_TAVLO_GET_STATUS, noPanel, 3, true);
    if (fault.error != 0) Model().FailCode(c.code, fault.error);
    const bool silent = fault.status == TavloNoPanel || fault.status == TavloBadPanel;
    EXPECT_EQ(c.call(access), silent ? kNoPanelDevice : kCritical);
    access.MuteDiagnostics(true);
    EXPECT_EQ(c.call(access), silent ? kNoPanelDevice : kCritical);
    access.MuteDiagnostics(false);
    const std::string box = std::string(c.name) + " " + std::to_string(fault.status);
    EXPECT_EQ(boxes, silent ? std::vector<std::string>{} : std::vector<std::string>{box});
}

std::string StatusRowName(const ::testing::TestParamInfo<StatusRow>& row) {
    const auto& [call, fault] = row.param;
    return suite_test::TestName(call.name) + "_status_" + std::to_string(fault.status);
}
INSTANTIATE_TEST_SUITE_P(Velmic, StatusRuleTest,
                         ::testing::Combine(::testing::ValuesIn(kCalls), ::testing::ValuesIn(kFaults)), StatusRowName);

// The lowest enabled panel. A panel attached between two calls of one
// search is routine: the search starts over once; only a second change
// inside the repeated search counts.
struct ActiveRow {
    const char* name;
    std::vector<bool> enabled;  // one panel each, identifiers 0x11, 0x12, ...
    int changes;                // panels attached during the search; -1: the count is unreadable
    Result result;
    std::int16_t index;
    int id;  // -1: none found
    std::vector<std::string> boxes;
};
void PrintTo(const ActiveRow& row, std::ostream* os) { *os << row.name; }
// clang-format off
const ActiveRow kActiveRows[] = {
    {.name = "no panel", .enabled = {}, .changes = 0, .result = kNoPanelDevice, .index = 0, .id = -1, .boxes = {}},
    {.name = "panel count unreadable", .enabled = {true}, .changes = -1, .result = kNoPanelDevice, .index = 0, .id = -1, .boxes = {}},
    {.name = "only the third enabled", .enabled = {false, false, true}, .changes = 0, .result = kOk, .index = 2, .id = 0x13, .boxes = {}},
    {.name = "two enabled", .enabled = {false, true, true}, .changes = 0, .result = kOk, .index = 1, .id = 0x12, .boxes = {}},
    {.name = "none enabled", .enabled = {false, false}, .changes = 0, .result = kNoActivePanel, .index = 0, .id = -1, .boxes = {}},
    {.name = "a panel attached during the search", .enabled = {false, true}, .changes = 1, .result = kOk, .index = 1, .id = 0x12, .boxes = {}},
    {.name = "a panel attached during each search", .enabled = {false, true}, .changes = 2,
     .result = kCritical, .index = 0, .id = -1, .boxes = {"GetActivePanel(2): 3"}},
};
// clang-format on

class ActivePanelTest : public VelmicTest, public ::testing::WithParamInterface<ActiveRow> {};

TEST_P(ActivePanelTest, IsTheLowestEnabledOne) {
    const ActiveRow& c = GetParam();
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
    Driver().channel.afterRequest = nullptr;
    EXPECT_EQ(found.result, c.result);
    EXPECT_EQ(access.ActivePanelIndex, c.index);
    EXPECT_EQ(found.Ok() ? found.value : -1, c.id);
    EXPECT_EQ(boxes, c.boxes);
}

INSTANTIATE_TEST_SUITE_P(Velmic, ActivePanelTest, ::testing::ValuesIn(kActiveRows), suite_test::RowName);

// The panel sought (0x22) and the number it had (1).
struct FindRow {
    const char* name;
    std::vector<std::uint8_t> ids;  // attached panels
    std::int16_t preferred;
    Result result;
    std::int16_t index;
    int idQueries;
};
void PrintTo(const FindRow& row, std::ostream* os) { *os << row.name; }
// clang-format off
const FindRow kFindRows[] = {
    {.name = "still at its number", .ids = {0x11, 0x22, 0x33}, .preferred = 1, .result = kOk, .index = 1, .idQueries = 1},
    {.name = "moved down", .ids = {0x22, 0x33}, .preferred = 1, .result = kOk, .index = 0, .idQueries = 2},
    {.name = "gone", .ids = {0x11, 0x33}, .preferred = 1, .result = kNoPanelDevice, .index = 9, .idQueries = 2},
    {.name = "its number now the count", .ids = {0x22}, .preferred = 1, .result = kOk, .index = 0, .idQueries = 1},
    {.name = "no panel at all", .ids = {}, .preferred = 0, .result = kNoPanelDevice, .index = 9, .idQueries = 0},
};
// clang-format on

class FindPanelTest : public VelmicTest, public ::testing::WithParamInterface<FindRow> {};

TEST_P(FindPanelTest, LocatesAPanelByItsIdentifier) {
    const FindRow& c = GetParam();
    for (std::uint8_t id : c.ids) Attach(id);
    access.ActivePanelIndex = 9;
    Model().ClearLog();
    EXPECT_EQ(access.FindPanel(0x22, c.preferred), c.result);
    EXPECT_EQ(access.ActivePanelIndex, c.index);
    EXPECT_EQ(Count(IOCTL_TAVLO_GET_PANEL_ID), c.idQueries);
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Velmic, FindPanelTest, ::testing::ValuesIn(kFindRows), suite_test::RowName);

}  // namespace
}  // namespace velmic_test

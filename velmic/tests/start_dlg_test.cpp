// The start-up check: loading, the poll's outcomes tick by tick, the
// settings dialog opened and closed by it and bound to its panel.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

class VelmicStartDlgTest : public VelmicTest {};

// Without the driver the program ends at once and without a word; without
// its library it ends after one message naming it.
struct LoadingRow {
    const char* name;
    bool libraryMissing;  // otherwise the driver is absent
};
void PrintTo(const LoadingRow& row, std::ostream* os) { *os << row.name; }
const LoadingRow kLoadings[] = {
    {.name = "driver absent", .libraryMissing = false},
    {.name = "library missing", .libraryMissing = true},
};

class LoadingTest : public VelmicTest, public ::testing::WithParamInterface<LoadingRow> {};

TEST_P(LoadingTest, EndsWithoutTheDriverOrItsLibrary) {
    const bool libraryMissing = GetParam().libraryMissing;
    loader.libraryMissing = libraryMissing;
    Driver().channel.deviceMissing = !libraryMissing;
    tavlo::TavloIoctl fresh{loader, [this](const std::string& m) { fatal.push_back(m); }};
    velmic::TpAccess freshAccess{fresh, *this};
    velmic::StartDlg program{fresh, freshAccess, *this};
    program.Form_Load();
    EXPECT_EQ(program.State(), Phase::Ended);
    EXPECT_EQ(win.closes, 1);
    EXPECT_EQ(win.timerMs, 0u);
    ASSERT_EQ(fatal.size(), libraryMissing ? 1u : 0u);
    if (libraryMissing) {
        EXPECT_NE(fatal[0].find("TAVLO.DLL"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Velmic, LoadingTest, ::testing::ValuesIn(kLoadings), suite_test::RowName);

// The poll tick by tick: what the driver shows before each tick, and where
// the window and the dialog are after it.
TEST_F(VelmicStartDlgTest, PollOutcomes) {
    const auto enable = [](bool on) { return [on] { Model().MutablePanel(0)->pointdata = on ? 1 : 0; }; };
    const char* const noActive = "No active panel found";
    const struct {
        const char* name;
        std::function<void()> driver;
        Phase phase;
        const char* message;
        int dialogsOpened;
    } ticks[] = {
        {"no panel", [] {}, Phase::Waiting, "No panel device found", 0},
        {"a panel, disabled", [] { Attach(kId, false, kFound); }, Phase::Waiting, noActive, 0},
        {"enabled", enable(true), Phase::Editing, noActive, 1},
        {"still enabled", [] {}, Phase::Editing, noActive, 1},
        {"disabled again", enable(false), Phase::Waiting, noActive, 1},
        {"saved set changed meanwhile, enabled",
         [enable] {
             Store(0, tavlosim::kSavedSet, {100, 100, 900, 40});
             enable(true)();
         },
         Phase::Editing, noActive, 2},
        {"removed", [] { Model().RemovePanel(0); }, Phase::Waiting, "No panel device found", 2},
    };
    start->Form_Load();
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.name);
        t.driver();
        Model().ClearLog();
        Tick();
        EXPECT_EQ(start->State(), t.phase);
        EXPECT_EQ(win.visible, t.phase != Phase::Editing);
        EXPECT_EQ(win.dialogOpen, t.phase == Phase::Editing);
        EXPECT_EQ(win.infoMsg, t.message);
        EXPECT_EQ(win.dialogsOpened, t.dialogsOpened);
        EXPECT_EQ(win.timerMs, 200u);
        if (std::string(t.name) == "still enabled") {  // an unchanged poll writes nothing
            EXPECT_EQ(Count(IOCTL_TAVLO_GET_CLICK_DATA) + Count(IOCTL_TAVLO_SET_CLICK_DATA), 0);
        }
    }
    // The second dialog read the saved set afresh.
    EXPECT_EQ(dlg.positions, (SliderPositions{10, 10, 9, 10}));
    EXPECT_TRUE(boxes.empty());
    start->CancelBtn_Click();
    ExpectEnded();
}

// The edited panel (number 1, panel 0 disabled) previewed at 900 ms, then
// another panel becomes the active one. The edited panel is restored, found
// by its identifier whatever number the poll left; the new active panel gets
// a new dialog, and OK saves into that one.
struct ChangeRow {
    const char* name;
    std::function<void()> change;
    int edited;    // its number after the change, -1 when gone
    int newPanel;  // number of the new active panel
    const char* caption;
};
void PrintTo(const ChangeRow& row, std::ostream* os) { *os << row.name; }
// clang-format off
const ChangeRow kChanges[] = {
    {.name = "a lower number enabled too", .change = [] {VelmicTest::Model().MutablePanel(0)->pointdata = 1;}, .edited = 1, .newPanel = 0, .caption = " 32"},
    {.name = "replaced at the same number",
     .change = [] {VelmicTest::Model().RemovePanel(1); VelmicTest::Model().RemovePanel(0); VelmicTest::Attach(0x20, false); VelmicTest::Attach(0x44, true, {{0, 0, 200, 20}, true, {0, 0, 200, 20}, true});},
     .edited = -1, .newPanel = 1, .caption = " 68"},
    // Panels whose identifiers were never set apart (all 0, say): the
    // panel set did not change, so the number that did names another
    // panel, however alike their identifiers.
    {.name = "the other panel, with the same identifier, takes over",
     .change = [] {VelmicTest::Model().MutablePanel(0)->id = kId; VelmicTest::Model().MutablePanel(0)->pointdata = 1; VelmicTest::Model().MutablePanel(1)->pointdata = 0;},
     .edited = 1, .newPanel = 0, .caption = " 49"},
};
// clang-format on

class ActivePanelChangeTest : public VelmicTest, public ::testing::WithParamInterface<ChangeRow> {};

TEST_P(ActivePanelChangeTest, RestoresTheEditedPanel) {
    const ChangeRow& c = GetParam();
    Open(2);
    Move(Slider::DblClickSpeed, 9);
    c.change();
    Tick();
    if (c.edited >= 0) {
        EXPECT_EQ(Sets(c.edited), (PanelSets{kSaved, false, kSaved, false}));
    }
    EXPECT_EQ(start->State(), Phase::Editing);
    EXPECT_EQ(win.dialogsOpened, 2);
    EXPECT_EQ(dlg.positions, (SliderPositions{0, 0, 2, 0}));
    EXPECT_EQ(doubleClickTime, 200u);
    EXPECT_EQ(dlg.caption, c.caption);
    Move(Slider::DblClickArea, 10);
    Logic().OkBtn_Click();
    ExpectEnded();
    EXPECT_EQ(Sets(c.newPanel).saved, (ClickSettings{0, 0, 200, 40}));
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Velmic, ActivePanelChangeTest, ::testing::ValuesIn(kChanges), suite_test::RowName);

// The edited panel (0x31) keeps its identifier but changes its number when
// a panel below it comes or goes: the dialog follows it, open, with the
// user's unsaved preview, and OK and the closing step reach it there.
struct RenumberRow {
    const char* name;
    std::function<void()> change;
    int number;  // of the edited panel after the change
};
void PrintTo(const RenumberRow& row, std::ostream* os) { *os << row.name; }
const RenumberRow kRenumberings[] = {
    {.name = "a disabled panel below it unplugged", .change = [] { VelmicTest::Model().RemovePanel(0); }, .number = 0},
    {.name = "a disabled panel attached below it",
     .change =
         [] {
             VelmicTest::Attach(0x19, false);  // listed last by the driver, then swapped below the edited panel
             std::swap(*VelmicTest::Model().MutablePanel(2), *VelmicTest::Model().MutablePanel(1));
         },
     .number = 2},
};

// How the dialog closes afterwards.
struct ClosingRow {
    const char* name;
    bool ok;  // otherwise Cancel
};
void PrintTo(const ClosingRow& row, std::ostream* os) { *os << row.name; }
const ClosingRow kClosings[] = {{.name = "OK", .ok = true}, {.name = "Cancel", .ok = false}};

using FollowRow = std::tuple<RenumberRow, ClosingRow>;
class FollowTest : public VelmicTest, public ::testing::WithParamInterface<FollowRow> {};

TEST_P(FollowTest, TheEditedPanelIsFollowedToItsNewNumber) {
    const auto& [c, closing] = GetParam();
    const bool ok = closing.ok;
    Open(2);
    Move(Slider::DblClickSpeed, 9);
    c.change();
    Tick();
    EXPECT_EQ(start->State(), Phase::Editing);
    EXPECT_EQ(win.dialogsOpened, 1);
    EXPECT_EQ(dlg.positions[Slider::DblClickSpeed], 9);
    EXPECT_EQ(doubleClickTime, 900u);
    EXPECT_EQ(Logic().Panel().index, c.number);
    ASSERT_EQ(Model().Panel(static_cast<std::uint8_t>(c.number))->id, kId);
    Move(Slider::DblClickArea, 10);
    ok ? Logic().OkBtn_Click() : Logic().CancelBtn_Click();
    ExpectEnded();
    const ClickSettings result = ok ? ClickSettings{50, 20, 900, 40} : kSaved;
    EXPECT_EQ(Sets(c.number), (PanelSets{result, false, result, false}));
    EXPECT_EQ(doubleClickTime, ok ? 900u : 450u);
    EXPECT_TRUE(boxes.empty());
}

std::string FollowName(const ::testing::TestParamInfo<FollowRow>& row) {
    const auto& [renumbering, closing] = row.param;
    return suite_test::TestName(renumbering.name) + "_" + closing.name;
}
INSTANTIATE_TEST_SUITE_P(Velmic, FollowTest,
                         ::testing::Combine(::testing::ValuesIn(kRenumberings), ::testing::ValuesIn(kClosings)),
                         FollowName);

}  // namespace
}  // namespace velmic_test

// The start-up check: loading, the poll's outcomes tick by tick, the
// settings dialog opened and closed by it and bound to its panel.
#include <gtest/gtest.h>

#include <utility>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

class StartDlgTest : public VelmicTest {};

// Without the driver the program ends at once and without a word; without
// its library it ends after one message naming it.
TEST_F(StartDlgTest, LoadingEndsWithoutTheDriverOrItsLibrary) {
    for (bool libraryMissing : {false, true}) {
        SCOPED_TRACE(libraryMissing ? "library missing" : "driver absent");
        Restart();
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
}

// The poll tick by tick: what the driver shows before each tick, and where
// the window and the dialog are after it.
TEST_F(StartDlgTest, PollOutcomes) {
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
TEST_F(StartDlgTest, ChangesOfTheActivePanelRestoreTheEditedOne) {
    const struct {
        const char* name;
        std::function<void()> change;
        int edited;    // its number after the change, -1 when gone
        int newPanel;  // number of the new active panel
        const char* caption;
    } cases[] = {
        {"a lower number enabled too", [] { Model().MutablePanel(0)->pointdata = 1; }, 1, 0, " 32"},
        {"replaced at the same number",
         [] {
             Model().RemovePanel(1);
             Model().RemovePanel(0);
             Attach(0x20, false);
             Attach(0x44, true, {{0, 0, 200, 20}, true, {0, 0, 200, 20}, true});
         },
         -1, 1, " 68"},
        // Panels whose identifiers were never set apart (all 0, say): the
        // panel set did not change, so the number that did names another
        // panel, however alike their identifiers.
        {"the other panel, with the same identifier, takes over",
         [] {
             Model().MutablePanel(0)->id = kId;
             Model().MutablePanel(0)->pointdata = 1;
             Model().MutablePanel(1)->pointdata = 0;
         },
         1, 0, " 49"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
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
}

// The edited panel (0x31) keeps its identifier but changes its number when
// a panel below it comes or goes: the dialog follows it, open, with the
// user's unsaved preview, and OK and the closing step reach it there.
TEST_F(StartDlgTest, TheEditedPanelIsFollowedToItsNewNumber) {
    const struct {
        const char* name;
        std::function<void()> change;
        int number;  // of the edited panel after the change
    } cases[] = {
        {"a disabled panel below it unplugged", [] { Model().RemovePanel(0); }, 0},
        {"a disabled panel attached below it",
         [] {
             Attach(0x19, false);  // listed last by the driver, then swapped below the edited panel
             std::swap(*Model().MutablePanel(2), *Model().MutablePanel(1));
         },
         2},
    };
    for (bool ok : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (ok ? ", OK" : ", Cancel"));
            Restart();
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
    }
}

}  // namespace
}  // namespace velmic_test

// The start-up check: loading, the poll's outcomes tick by tick, the
// settings dialog opened and closed by it, the dialog bound to its panel,
// and no handler running inside another.
#include <gtest/gtest.h>

#include "session_fixture.h"

namespace velmic_test {
namespace {

class StartDlgTest : public SessionTest {};

TEST_F(StartDlgTest, Loading) {
    struct Case {
        const char* name;
        std::function<void(StartDlgTest&)> prepare;
        bool ended;
        std::size_t fatalMessages;
    };
    const Case cases[] = {
        {"driver answers", [](StartDlgTest&) {}, false, 0},
        {"driver absent: silent end", [](StartDlgTest&) { Driver().channel.deviceMissing = true; }, true, 0},
        {"library missing: a message naming it",
         [](StartDlgTest& t) { t.loader.inner.libraryMissing = true; }, true, 1},
        {"function missing: a message naming it",
         [](StartDlgTest& t) { t.loader.inner.missingFunctions = {"TavloGetVersion"}; }, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        loader.inner.libraryMissing = false;
        loader.inner.missingFunctions.clear();
        fatal.clear();
        Attach(kId);
        c.prepare(*this);
        tavlo::TavloIoctl fresh{loader, [this](const std::string& m) { fatal.push_back(m); }};
        velmic::TpAccess freshAccess{fresh, debug};
        velmic::StartDlg dlg{fresh, freshAccess, *view};
        dlg.Form_Load();
        EXPECT_EQ(dlg.State() == Phase::Ended, c.ended);
        EXPECT_EQ(view->closes, c.ended ? 1 : 0);
        EXPECT_EQ(view->timerMs, c.ended ? 0u : velmic::kPollIntervalMs);
        EXPECT_EQ(view->infoMsg, "");
        EXPECT_TRUE(view->visible);
        ASSERT_EQ(fatal.size(), c.fatalMessages);
        if (!fatal.empty()) {
            EXPECT_NE(fatal[0].find(c.name[0] == 'l' ? "TAVLO.DLL" : "TavloGetVersion"), std::string::npos);
        }
        EXPECT_TRUE(debug.boxes.empty());
        EXPECT_TRUE(view->dialogs.empty());
    }
}

// The poll tick by tick: what the driver shows before each tick, and where
// the window and the dialog are after it.
TEST_F(StartDlgTest, PollOutcomes) {
    struct Tick {
        const char* name;
        std::function<void()> driver;
        Phase phase;
        const char* message;
        std::size_t dialogsOpened;
    };
    const auto enable = [](std::uint8_t index, bool on) {
        return [index, on] { Model().MutablePanel(index)->pointdata = on ? 1 : 0; };
    };
    const std::vector<Tick> ticks = {
        {"no panel", [] {}, Phase::Waiting, velmic::kNoPanelDeviceMessage, 0},
        {"a panel, disabled", [] { Attach(kId, false, kSaved, kWorking, false, true); }, Phase::Waiting,
         velmic::kNoActivePanelMessage, 0},
        {"enabled", enable(0, true), Phase::Editing, velmic::kNoActivePanelMessage, 1},
        {"still enabled", [] {}, Phase::Editing, velmic::kNoActivePanelMessage, 1},
        {"disabled again", enable(0, false), Phase::Waiting, velmic::kNoActivePanelMessage, 1},
        {"saved set changed meanwhile, enabled", [enable] {
             Store(0, tavlosim::kSavedSet, {100, 100, 900, 40});
             enable(0, true)();
         },
         Phase::Editing, velmic::kNoActivePanelMessage, 2},
        {"removed", [] { Model().RemovePanel(0); }, Phase::Waiting, velmic::kNoPanelDeviceMessage, 2},
    };
    start->Form_Load();
    for (const Tick& t : ticks) {
        SCOPED_TRACE(t.name);
        t.driver();
        Model().ClearLog();
        start->MainTimer_Timer();
        EXPECT_EQ(start->State(), t.phase);
        EXPECT_EQ(view->visible, t.phase != Phase::Editing);
        EXPECT_EQ(view->dialogOpen, t.phase == Phase::Editing);
        EXPECT_EQ(start->MainShown, t.phase == Phase::Editing);
        EXPECT_EQ(view->infoMsg, t.message);
        EXPECT_EQ(view->dialogs.size(), t.dialogsOpened);
        EXPECT_EQ(view->closes, 0);
        EXPECT_EQ(view->timerMs, velmic::kPollIntervalMs);
        if (std::string(t.name) == "still enabled") {  // an unchanged poll only searches
            EXPECT_EQ(Requests(),
                      (std::vector<std::uint32_t>{IOCTL_TAVLO_GET_POINTDATA_ENABLE, IOCTL_TAVLO_GET_PANEL_ID}));
        }
    }
    // The second dialog read the saved set afresh.
    EXPECT_EQ(view->dialogs[1]->positions, (SliderPositions{10, 10, 9, 10}));
    EXPECT_EQ(view->dialogs[1]->panelIdCaption, " 49");
    EXPECT_TRUE(debug.boxes.empty());
    start->CancelBtn_Click();
    ExpectEnded();
}

// The dialog restores the panel it edited when the poll loses it, not the
// panel the reset index names.
TEST_F(StartDlgTest, LostPanelIsRestoredByItsIdentifier) {
    Open(kSaved, false, true, 2);  // panel 0 disabled, the edited panel is number 1
    Store(0, tavlosim::kWorkingSet, {10, 10, 300, 22});
    Move(Slider::DblClickSpeed, 9);
    Expect({50, 20, 900, 30}, true, kSaved, false, 900, 1);

    Model().MutablePanel(1)->pointdata = 0;
    Tick();
    EXPECT_EQ(start->State(), Phase::Waiting);
    EXPECT_EQ(view->infoMsg, velmic::kNoActivePanelMessage);
    Expect(kSaved, false, kSaved, false, 450, 1);
    EXPECT_EQ(Working(0), (ClickSettings{10, 10, 300, 22}));  // the other panel untouched
    EXPECT_EQ(view->closes, 0);
}

// Unplugged: nothing to restore, but the preview's double-click time does
// not outlive the dialog.
TEST_F(StartDlgTest, UnpluggedPanelLeavesTheSavedSpeed) {
    Open();
    Move(Slider::DblClickSpeed, 9);
    EXPECT_EQ(desktop.doubleClickTime, 900u);
    Model().RemovePanel(0);
    Tick();
    EXPECT_EQ(start->State(), Phase::Waiting);
    EXPECT_EQ(view->infoMsg, velmic::kNoPanelDeviceMessage);
    EXPECT_EQ(desktop.doubleClickTime, 450u);
    EXPECT_TRUE(debug.boxes.empty());
}

// Another panel becoming the active one (a lower number, or another
// identifier at the same number) closes the dialog for the panel it edited
// and opens it afresh for the new one; OK then saves into the new one.
TEST_F(StartDlgTest, AnotherActivePanelReopensTheDialog) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::uint8_t newIndex;    // of the new active panel
        std::int16_t oldIndex;    // of the edited panel after the change, -1 when gone
    };
    const Case cases[] = {
        {"a lower number enabled too", [] { Model().MutablePanel(0)->pointdata = 1; }, 0, 1},
        {"replaced at the same number",
         [] {
             Model().RemovePanel(1);
             Model().RemovePanel(0);
             Attach(0x20, false);
             Attach(0x44, true, {0, 0, 200, 20}, {0, 0, 200, 20});
         },
         1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Open(kSaved, false, true, 2);
        Store(0, tavlosim::kSavedSet, {0, 0, 200, 20});
        Move(Slider::DblClickSpeed, 9);
        c.change();
        Tick();
        EXPECT_EQ(start->State(), Phase::Editing);
        ASSERT_EQ(view->dialogs.size(), 2u);
        EXPECT_TRUE(view->dialogOpen);
        EXPECT_FALSE(view->visible);
        if (c.oldIndex >= 0) {
            Expect(kSaved, false, kSaved, false, 200, static_cast<std::uint8_t>(c.oldIndex));
        }
        EXPECT_EQ(Dlg().positions, (SliderPositions{0, 0, 2, 0}));
        EXPECT_EQ(desktop.doubleClickTime, 200u);
        EXPECT_EQ(Dlg().panelIdCaption, " " + std::to_string(Model().Panel(c.newIndex)->id));

        Move(Slider::DblClickArea, 10);
        Logic().OkBtn_Click();
        ExpectEnded();
        EXPECT_EQ(Saved(c.newIndex), (ClickSettings{0, 0, 200, 40}));
        if (c.oldIndex >= 0) {
            EXPECT_EQ(Saved(static_cast<std::uint8_t>(c.oldIndex)), kSaved);
        }
        EXPECT_TRUE(debug.boxes.empty());
    }
}

// A critical poll: one diagnostic box, one error report, the closing step
// once (quietly), and the end. Ticks that fall due meanwhile are skipped.
TEST_F(StartDlgTest, CriticalPollEndsAfterOneBoxAndOneReport) {
    struct Case {
        const char* name;
        bool dialogOpen;
    };
    for (const Case& c : {Case{"waiting", false}, Case{"editing", true}}) {
        SCOPED_TRACE(c.name);
        Restart();
        if (c.dialogOpen) {
            Open();
            Move(Slider::DblClickSpeed, 9);
        } else {
            start->Form_Load();
        }
        Force("TavloNeedUpdate", TavloFailed);
        int requestsDuringBoxes = -1;
        const auto tickMeanwhile = [this, &requestsDuringBoxes] {
            const std::uint32_t before = Model().RequestsSeen();
            start->MainTimer_Timer();
            if (start->Settings()) start->Settings()->CancelBtn_Click();
            start->CancelBtn_Click();
            requestsDuringBoxes = static_cast<int>(Model().RequestsSeen() - before);
        };
        debug.whileShown = tickMeanwhile;
        view->whileErrorReport = tickMeanwhile;
        Tick();
        EXPECT_EQ(debug.boxes, std::vector<std::string>{"GetActivePanel(1): 8"});
        EXPECT_EQ(view->errorReports, 1);
        EXPECT_EQ(requestsDuringBoxes, 0);
        ExpectEnded();
        Tick();
        EXPECT_EQ(view->errorReports, 1);
        if (c.dialogOpen) {
            // The closing step could not reach the panel; the time still
            // goes back to the saved speed.
            EXPECT_EQ(desktop.doubleClickTime, 450u);
        }
    }
}

// While a handler's diagnostic box is open the poll is skipped, so the
// box is never stacked with the poll's own.
TEST_F(StartDlgTest, NoTickInsideAHandler) {
    Open();
    Force("TavloSetClickData", TavloBadParameter, 1);
    int ticksRun = 0;
    debug.whileShown = [this, &ticksRun] {
        const std::uint32_t before = Model().RequestsSeen();
        Tick();
        if (Model().RequestsSeen() != before) ++ticksRun;
    };
    Move(Slider::DblClickSpeed, 9);
    EXPECT_EQ(ticksRun, 0);
    EXPECT_EQ(debug.boxes, std::vector<std::string>{"SetSettings(2): 7"});
    ExpectEnded();
    Expect(kSaved, false, kSaved, false, 450);
}

TEST_F(StartDlgTest, PanelAttachedDuringAPollIsRoutine) {
    Open();
    int statusReads = 0;
    Driver().channel.afterRequest = [&statusReads](std::uint32_t code) {
        if (code == IOCTL_TAVLO_GET_STATUS && ++statusReads == 2) Model().AttachPanel(0x50);
    };
    Tick();
    Driver().channel.afterRequest = nullptr;
    EXPECT_EQ(start->State(), Phase::Editing);
    EXPECT_EQ(view->dialogs.size(), 1u);
    EXPECT_TRUE(debug.boxes.empty());
}

}  // namespace
}  // namespace velmic_test

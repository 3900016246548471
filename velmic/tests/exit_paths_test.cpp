// Every way Velmic can end, at every step of a session, read back from the
// driver afterwards: the working set holds the saved set (the one found, or
// the one OK or Apply confirmed), never an unconfirmed preview, and the
// double-click time is the saved speed. No ending shows a box it should not,
// and nothing runs after the end.
#include <gtest/gtest.h>

#include <optional>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

class ExitPathTest : public VelmicTest {};

enum class Outcome {
    Restored,      // the program ended; working set = saved set
    SoundKept,     // as Restored, but the driver refused the working sound
    Saved,         // the program ended; both sets = the dialog's values
    Waits,         // the dialog closed, working set = saved set, the program waits for a panel
    Unchanged,     // nothing happened: the dialog is still open
    NotReachable,  // the driver is gone for good: nothing can be written
};

// Where the session is when it ends. The panel is found with kFound; every
// step leaves the working sound on and the saved sound off.
struct Step {
    const char* name;
    bool dialog;  // false: waiting for an active panel, nothing written yet
    std::function<void(ExitPathTest&)> reach;
    ClickSettings working, saved;       // as the step leaves them
    std::optional<ClickSettings> onOk;  // what OK saves from here (the sound as the box shows); none: OK disabled
    bool soundOnOk;
};

struct Ending {
    const char* name;
    std::function<void(ExitPathTest&)> act;
    Outcome outcome;
    bool needsDialog, needsOk;
    std::size_t boxes;  // diagnostic boxes shown
    int reports;        // error reports shown
};

TEST_F(ExitPathTest, EveryEndingAtEveryStepLeavesTheSavedSetInEffect) {
    const ClickSettings fast = {50, 20, 900, 30}, applied = {70, 20, 400, 30}, fastApplied = {70, 20, 900, 30};
    const auto apply = [](ExitPathTest& t) {
        t.Move(Slider::DownCanceler, 7);
        t.Logic().ApplyBtn_Click();
    };
    const Step steps[] = {
        {"waiting for an active panel", false, [](ExitPathTest&) {}, kWorking, kSaved, std::nullopt, false},
        {"opened", true, [](ExitPathTest&) {}, kWorking, kSaved, std::nullopt, false},
        {"slider previewed", true, [](ExitPathTest& t) { t.Move(Slider::DblClickSpeed, 9); }, fast, kSaved, fast,
         false},
        {"sound tried", true, [](ExitPathTest& t) { t.Sound(true); }, kWorking, kSaved, ClickSettings{50, 20, 400, 30},
         true},
        {"applied", true, apply, applied, applied, applied, false},
        {"previewed after Apply", true,
         [apply](ExitPathTest& t) {
             apply(t);
             t.Move(Slider::DblClickSpeed, 9);
         },
         fastApplied, applied, fastApplied, false},
    };
    const Ending endings[] = {
        {"OK", [](ExitPathTest& t) { t.Logic().OkBtn_Click(); }, Outcome::Saved, true, false, 0, 0},
        // Esc, the close box and Alt+F4 reach the same handler as Cancel.
        {"Cancel",
         [](ExitPathTest& t) { t.start->Settings() ? t.Logic().CancelBtn_Click() : t.start->CancelBtn_Click(); },
         Outcome::Restored, false, false, 0, 0},
        {"session end", [](ExitPathTest& t) { t.start->SessionEnd(); }, Outcome::Restored, false, false, 0, 0},
        // No box may hold the session's end up: what the driver still
        // accepts is written.
        {"session end, the sound refused",
         [](ExitPathTest& t) {
             Refuse(IOCTL_TAVLO_SET_CLICK_SOUND);
             t.start->SessionEnd();
         },
         Outcome::SoundKept, false, false, 0, 0},
        {"session end while a box is open",
         [](ExitPathTest& t) {
             Refuse(IOCTL_TAVLO_SET_CLICK_DATA);
             t.whileShown = [&t] {
                 Model().ClearFaults();
                 t.start->SessionEnd();
             };
             t.Move(Slider::UpCanceler, 10);
         },
         Outcome::Restored, true, false, 1, 0},
        {"panel lost",
         [](ExitPathTest& t) {
             Model().MutablePanel(0)->pointdata = 0;
             t.Tick();
         },
         Outcome::Waits, false, false, 0, 0},
        {"driver gone, back while the report is open",
         [](ExitPathTest& t) {
             Driver().channel.deviceMissing = true;
             t.win.whileErrorReport = [] { Driver().channel.deviceMissing = false; };
             t.Tick();
         },
         Outcome::Restored, false, false, 1, 1},
        {"driver gone for good",
         [](ExitPathTest& t) {
             Driver().channel.deviceMissing = true;
             t.Tick();
             Driver().channel.deviceMissing = false;  // to read what it held
         },
         Outcome::NotReachable, false, false, 1, 1},
        {"preview refused",
         [](ExitPathTest& t) {
             Refuse(IOCTL_TAVLO_SET_CLICK_DATA);
             t.Move(Slider::UpCanceler, 10);
         },
         Outcome::Restored, true, false, 1, 0},
        {"save refused",
         [](ExitPathTest& t) {
             Refuse(IOCTL_TAVLO_SET_CLICK_DATA_ALT);
             t.Logic().OkBtn_Click();
         },
         Outcome::Restored, true, true, 1, 0},
    };
    for (const Step& step : steps) {
        for (const Ending& ending : endings) {
            if ((ending.needsDialog && !step.dialog) || (ending.needsOk && !step.onOk)) continue;
            SCOPED_TRACE(std::string(step.name) + " / " + ending.name);
            Restart();
            Load(step.dialog);
            step.reach(*this);
            ASSERT_EQ(start->State(), step.dialog ? Phase::Editing : Phase::Waiting);
            ASSERT_EQ(Sets(), (PanelSets{step.working, true, step.saved, false}));
            const unsigned timeBefore = doubleClickTime;
            whileShown = [] { Model().ClearFaults(); };  // a refused request is refused until its box
            ending.act(*this);
            Model().ClearFaults();

            Outcome outcome = ending.outcome;
            if (outcome == Outcome::Saved && !step.onOk) outcome = Outcome::Unchanged;
            // Without a dialog Velmic has written nothing: the working set
            // stays as it was found.
            PanelSets expected = {step.dialog ? step.saved : step.working, !step.dialog, step.saved, false};
            if (outcome == Outcome::Saved) expected = {*step.onOk, step.soundOnOk, *step.onOk, step.soundOnOk};
            if (outcome == Outcome::SoundKept) expected.soundWorking = true;
            if (outcome == Outcome::Unchanged || outcome == Outcome::NotReachable) {
                expected.working = step.working;
                expected.soundWorking = true;
            }
            EXPECT_EQ(Sets(), expected);
            EXPECT_EQ(boxes.size(), ending.boxes);
            EXPECT_EQ(win.errorReports, ending.reports);
            if (outcome == Outcome::Unchanged) {
                EXPECT_EQ(start->State(), Phase::Editing);
            } else if (outcome == Outcome::Waits) {
                EXPECT_EQ(start->State(), Phase::Waiting);
                EXPECT_FALSE(win.dialogOpen);
            } else {
                // Nothing runs after the end: no second closing step, no poll.
                const std::uint32_t seen = Model().RequestsSeen();
                start->SessionEnd();
                start->CancelBtn_Click();
                Tick();
                EXPECT_EQ(Model().RequestsSeen(), seen);
                ExpectEnded();
            }
            // The double-click time never outlives the dialog at a preview
            // value; before any dialog it was never touched.
            const unsigned savedSpeed = static_cast<unsigned>(expected.saved.speed);
            EXPECT_EQ(doubleClickTime, outcome == Outcome::Unchanged ? timeBefore : step.dialog ? savedSpeed : 500u);
        }
    }
}

}  // namespace
}  // namespace velmic_test

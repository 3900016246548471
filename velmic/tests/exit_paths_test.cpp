// Every way Velmic can end, at every step of a session, read back from the
// driver afterwards: the working set holds the saved set (the one found, or
// the one OK or Apply confirmed), never an unconfirmed preview, and the
// double-click time is the saved speed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session_fixture.h"

namespace velmic_test {
namespace {

constexpr std::uint32_t kErrorGenFailure = 31;

// Where the session is when it ends, and what the panel holds there.
struct Step {
    const char* name;
    std::function<void(SessionTest&)> reach;
    ClickSettings working;  // as the step leaves it
    ClickSettings saved;
    bool soundSaved;
    bool okEnabled;
    ClickSettings onOk;  // what OK saves from here
    bool soundOnOk;
};

enum class Outcome {
    Restored,      // the program ended; working set = saved set
    Saved,         // the program ended; both sets = the dialog's values
    Waits,         // the dialog closed, working set = saved set, the program waits for a panel
    Unchanged,     // nothing happened: the dialog is still open
    NotReachable,  // the driver is gone for good: nothing can be written
};

struct Ending {
    const char* name;
    std::function<void(SessionTest&)> act;
    bool needsDialog;  // only while the settings dialog is open
};

class ExitPathTest : public SessionTest {
public:
    // The driver fails a request with this code until a box is shown.
    void RefuseOnce(std::uint32_t code) {
        Model().FailCode(code, kErrorGenFailure);
        debug.whileShown = [] { Model().ClearFaults(); };
    }
};

const ClickSettings kApplied = {70, 20, 400, 30};  // kSaved with touch-down chatter cancel at 7

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"waiting for an active panel",
         [](SessionTest& t) {
             SessionTest::Attach(kId, false, kSaved, kWorking, false, true);
             t.start->Form_Load();
             t.Tick();
         },
         kWorking, kSaved, false, false, {}, false},
        {"opened", [](SessionTest& t) { t.Open(); }, kWorking, kSaved, false, false, {}, false},
        {"slider previewed",
         [](SessionTest& t) {
             t.Open();
             t.Move(Slider::DblClickSpeed, 9);
         },
         {50, 20, 900, 30}, kSaved, false, true, {50, 20, 900, 30}, false},
        {"sound tried",
         [](SessionTest& t) {
             t.Open();
             t.Sound(true);
         },
         kWorking, kSaved, false, true, {50, 20, 400, 30}, true},
        {"applied",
         [](SessionTest& t) {
             t.Open();
             t.Move(Slider::DownCanceler, 7);
             t.Logic().ApplyBtn_Click();
         },
         kApplied, kApplied, false, true, kApplied, false},
        {"previewed after Apply",
         [](SessionTest& t) {
             t.Open();
             t.Move(Slider::DownCanceler, 7);
             t.Logic().ApplyBtn_Click();
             t.Move(Slider::DblClickSpeed, 9);
         },
         {70, 20, 900, 30}, kApplied, false, true, {70, 20, 900, 30}, false},
    };
    return steps;
}

Outcome Expected(const Step& step, const std::string& ending) {
    if (ending == "OK") return step.okEnabled ? Outcome::Saved : Outcome::Unchanged;
    if (ending == "panel lost") return Outcome::Waits;
    if (ending == "driver gone for good") return Outcome::NotReachable;
    return Outcome::Restored;
}

TEST_F(ExitPathTest, EveryEndingAtEveryStepLeavesTheSavedSetInEffect) {
    const std::vector<Ending> endings = {
        {"OK", [](SessionTest& t) { t.Logic().OkBtn_Click(); }, true},
        // Esc, the close box and Alt+F4 reach the same handler as Cancel.
        {"Cancel",
         [](SessionTest& t) {
             if (t.start->Settings() != nullptr) {
                 t.Logic().CancelBtn_Click();
             } else {
                 t.start->CancelBtn_Click();
             }
         },
         false},
        {"session end", [](SessionTest& t) { t.start->SessionEnd(); }, false},
        {"session end while a box is open",
         [](SessionTest& t) {
             Model().FailCode(IOCTL_TAVLO_SET_CLICK_DATA, kErrorGenFailure);
             t.debug.whileShown = [&t] {
                 Model().ClearFaults();
                 t.start->SessionEnd();
             };
             t.Move(Slider::UpCanceler, 10);
         },
         true},
        {"panel lost",
         [](SessionTest& t) {
             Model().MutablePanel(0)->pointdata = 0;
             t.Tick();
         },
         false},
        {"driver gone, back while the report is open",
         [](SessionTest& t) {
             Driver().channel.deviceMissing = true;
             t.view->whileErrorReport = [] { Driver().channel.deviceMissing = false; };
             t.Tick();
         },
         false},
        {"driver gone for good",
         [](SessionTest& t) {
             Driver().channel.deviceMissing = true;
             t.Tick();
             Driver().channel.deviceMissing = false;  // to read what it held
         },
         false},
        {"preview refused",
         [](SessionTest& t) {
             static_cast<ExitPathTest&>(t).RefuseOnce(IOCTL_TAVLO_SET_CLICK_DATA);
             t.Move(Slider::UpCanceler, 10);
         },
         true},
        {"save refused",
         [](SessionTest& t) {
             static_cast<ExitPathTest&>(t).RefuseOnce(IOCTL_TAVLO_SET_CLICK_DATA_ALT);
             t.Logic().OkBtn_Click();
         },
         true},
    };
    for (const Step& step : Steps()) {
        for (const Ending& ending : endings) {
            const bool dialogStep = std::string(step.name) != "waiting for an active panel";
            if (ending.needsDialog && !dialogStep) continue;
            if (std::string(ending.name) == "save refused" && !step.okEnabled) continue;
            SCOPED_TRACE(std::string(step.name) + " / " + ending.name);
            Restart();
            debug.whileShown = nullptr;
            step.reach(*this);
            ASSERT_EQ(start->State(), dialogStep ? Phase::Editing : Phase::Waiting);
            ASSERT_EQ(Working(), step.working);
            ASSERT_EQ(Saved(), step.saved);
            const unsigned timeBefore = desktop.doubleClickTime;
            // Without a dialog Velmic has written nothing: the working set
            // stays as it was found.
            const ClickSettings restored = dialogStep ? step.saved : step.working;
            const bool soundRestored = dialogStep ? step.soundSaved : true;
            ending.act(*this);
            Model().ClearFaults();

            switch (Expected(step, ending.name)) {
                case Outcome::Restored:
                    ExpectEnded();
                    EXPECT_EQ(Working(), restored);
                    EXPECT_EQ(SoundWorking(), soundRestored);
                    break;
                case Outcome::Saved:
                    ExpectEnded();
                    EXPECT_EQ(Saved(), step.onOk);
                    EXPECT_EQ(SoundSaved(), step.soundOnOk);
                    EXPECT_EQ(Working(), step.onOk);
                    EXPECT_EQ(SoundWorking(), step.soundOnOk);
                    break;
                case Outcome::Waits:
                    EXPECT_EQ(start->State(), Phase::Waiting);
                    EXPECT_FALSE(view->dialogOpen);
                    EXPECT_EQ(Working(), restored);
                    EXPECT_EQ(SoundWorking(), soundRestored);
                    break;
                case Outcome::Unchanged:
                    EXPECT_EQ(start->State(), Phase::Editing);
                    EXPECT_EQ(Working(), step.working);
                    break;
                case Outcome::NotReachable:
                    ExpectEnded();
                    EXPECT_EQ(Working(), step.working);
                    break;
            }
            const Outcome outcome = Expected(step, ending.name);
            if (outcome != Outcome::Saved) {
                EXPECT_EQ(Saved(), step.saved);
                EXPECT_EQ(SoundSaved(), step.soundSaved);
            }
            // The double-click time never outlives the dialog at a preview
            // value; before any dialog it was never touched.
            const unsigned savedSpeed = static_cast<unsigned>((outcome == Outcome::Saved ? step.onOk : step.saved).speed);
            if (outcome == Outcome::Unchanged) {
                EXPECT_EQ(desktop.doubleClickTime, timeBefore);
            } else {
                EXPECT_EQ(desktop.doubleClickTime, dialogStep ? savedSpeed : 500u);
            }
        }
    }
}

// At the session's end no box may hold the process up: the closing step's
// failures stay silent, and what the driver still accepts is written.
TEST_F(ExitPathTest, SessionEndShowsNoBoxAndRunsTheClosingStepOnce) {
    Open();
    Move(Slider::DblClickSpeed, 9);
    Force("TavloSetClickSound", 8);
    Model().ClearLog();
    start->SessionEnd();
    start->SessionEnd();
    start->CancelBtn_Click();
    EXPECT_TRUE(debug.boxes.empty());
    EXPECT_EQ(view->errorReports, 0);
    ExpectEnded();
    EXPECT_EQ(Working(), kSaved);
    EXPECT_EQ(desktop.doubleClickTime, 450u);
    // One closing step: the four values read and written once.
    std::size_t writes = 0;
    for (std::uint32_t code : Requests()) writes += code == IOCTL_TAVLO_SET_CLICK_DATA;
    EXPECT_EQ(writes, 1u);
}

}  // namespace
}  // namespace velmic_test

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

using Action = std::function<void(VelmicTest&)>;

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
    Action reach;
    ClickSettings working, saved;       // as the step leaves them
    std::optional<ClickSettings> onOk;  // what OK saves from here (the sound as the box shows); none: OK disabled
    bool soundOnOk;
};

// What an ending needs of the step it happens at.
enum class Needs { Nothing, Dialog, EnabledOk };

struct Ending {
    const char* name;
    Action act;
    Outcome outcome;
    Needs needs;
    std::size_t boxes;  // diagnostic boxes shown
    int reports;        // error reports shown
};

constexpr ClickSettings kFast = {50, 20, 900, 30}, kApplied = {70, 20, 400, 30}, kFastApplied = {70, 20, 900, 30};

// The steps.
void Nothing(VelmicTest&) {}
void PreviewFast(VelmicTest& t) { t.Move(Slider::DblClickSpeed, 9); }
void TrySound(VelmicTest& t) { t.Sound(true); }
void Apply(VelmicTest& t) {
    t.Move(Slider::DownCanceler, 7);
    t.Logic().ApplyBtn_Click();
}
void PreviewAfterApply(VelmicTest& t) {
    Apply(t);
    PreviewFast(t);
}

// clang-format off
const Step kSteps[] = {
    {.name = "waiting for an active panel", .dialog = false, .reach = Nothing, .working = kWorking, .saved = kSaved, .onOk = std::nullopt, .soundOnOk = false},
    {.name = "opened", .dialog = true, .reach = Nothing, .working = kWorking, .saved = kSaved, .onOk = std::nullopt, .soundOnOk = false},
    {.name = "slider previewed", .dialog = true, .reach = PreviewFast, .working = kFast, .saved = kSaved, .onOk = kFast, .soundOnOk = false},
    {.name = "sound tried", .dialog = true, .reach = TrySound, .working = kWorking, .saved = kSaved, .onOk = ClickSettings{50, 20, 400, 30}, .soundOnOk = true},
    {.name = "applied", .dialog = true, .reach = Apply, .working = kApplied, .saved = kApplied, .onOk = kApplied, .soundOnOk = false},
    {.name = "previewed after Apply", .dialog = true, .reach = PreviewAfterApply,
     .working = kFastApplied, .saved = kApplied, .onOk = kFastApplied, .soundOnOk = false},
};
// clang-format on

// The endings.
void Ok(VelmicTest& t) { t.Logic().OkBtn_Click(); }
// Esc, the close box and Alt+F4 reach the same handler as Cancel.
void Cancel(VelmicTest& t) { t.start->Settings() ? t.Logic().CancelBtn_Click() : t.start->CancelBtn_Click(); }
void EndSession(VelmicTest& t) { t.start->SessionEnd(); }
// No box may hold the session's end up: what the driver still accepts is
// written.
void EndSessionSoundRefused(VelmicTest& t) {
    VelmicTest::Refuse(IOCTL_TAVLO_SET_CLICK_SOUND);
    t.start->SessionEnd();
}
void EndSessionInABox(VelmicTest& t) {
    VelmicTest::Refuse(IOCTL_TAVLO_SET_CLICK_DATA);
    t.whileShown = [&t] {
        VelmicTest::Model().ClearFaults();
        t.start->SessionEnd();
    };
    t.Move(Slider::UpCanceler, 10);
}
void LosePanel(VelmicTest& t) {
    VelmicTest::Model().MutablePanel(0)->pointdata = 0;
    t.Tick();
}
void LoseDriverForAReport(VelmicTest& t) {
    VelmicTest::Driver().channel.deviceMissing = true;
    t.win.whileErrorReport = [] { VelmicTest::Driver().channel.deviceMissing = false; };
    t.Tick();
}
void LoseDriver(VelmicTest& t) {
    VelmicTest::Driver().channel.deviceMissing = true;
    t.Tick();
    VelmicTest::Driver().channel.deviceMissing = false;  // to read what it held
}
void RefusePreview(VelmicTest& t) {
    VelmicTest::Refuse(IOCTL_TAVLO_SET_CLICK_DATA);
    t.Move(Slider::UpCanceler, 10);
}
void RefuseSave(VelmicTest& t) {
    VelmicTest::Refuse(IOCTL_TAVLO_SET_CLICK_DATA_ALT);
    t.Logic().OkBtn_Click();
}

// clang-format off
const Ending kEndings[] = {
    {.name = "OK", .act = Ok, .outcome = Outcome::Saved, .needs = Needs::Dialog, .boxes = 0, .reports = 0},
    {.name = "Cancel", .act = Cancel, .outcome = Outcome::Restored, .needs = Needs::Nothing, .boxes = 0, .reports = 0},
    {.name = "session end", .act = EndSession, .outcome = Outcome::Restored, .needs = Needs::Nothing, .boxes = 0, .reports = 0},
    {.name = "session end, the sound refused", .act = EndSessionSoundRefused, .outcome = Outcome::SoundKept, .needs = Needs::Nothing, .boxes = 0, .reports = 0},
    {.name = "session end while a box is open", .act = EndSessionInABox, .outcome = Outcome::Restored, .needs = Needs::Dialog, .boxes = 1, .reports = 0},
    {.name = "panel lost", .act = LosePanel, .outcome = Outcome::Waits, .needs = Needs::Nothing, .boxes = 0, .reports = 0},
    {.name = "driver gone, back while the report is open", .act = LoseDriverForAReport,
     .outcome = Outcome::Restored, .needs = Needs::Nothing, .boxes = 1, .reports = 1},
    {.name = "driver gone for good", .act = LoseDriver, .outcome = Outcome::NotReachable, .needs = Needs::Nothing, .boxes = 1, .reports = 1},
    {.name = "preview refused", .act = RefusePreview, .outcome = Outcome::Restored, .needs = Needs::Dialog, .boxes = 1, .reports = 0},
    {.name = "save refused", .act = RefuseSave, .outcome = Outcome::Restored, .needs = Needs::EnabledOk, .boxes = 1, .reports = 0},
};
// clang-format on

// Every ending that can happen at a step.
struct ExitRow {
    const Step* step;
    const Ending* ending;
};
void PrintTo(const ExitRow& row, std::ostream* os) { *os << row.step->name << " / " << row.ending->name; }
std::vector<ExitRow> ExitRows() {
    std::vector<ExitRow> rows;
    for (const Step& step : kSteps) {
        for (const Ending& ending : kEndings) {
            const bool possible = ending.needs == Needs::Nothing || (ending.needs == Needs::Dialog && step.dialog) ||
                                  (ending.needs == Needs::EnabledOk && step.onOk);
            if (!possible) continue;
            rows.push_back({.step = &step, .ending = &ending});
        }
    }
    return rows;
}

class ExitPathTest : public VelmicTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitPathTest, LeavesTheSavedSetInEffect) {
    const Step& step = *GetParam().step;
    const Ending& ending = *GetParam().ending;
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

std::string ExitRowName(const ::testing::TestParamInfo<ExitRow>& row) {
    return suite_test::TestName(row.param.step->name) + "_then_" + suite_test::TestName(row.param.ending->name);
}
INSTANTIATE_TEST_SUITE_P(Velmic, ExitPathTest, ::testing::ValuesIn(ExitRows()), ExitRowName);

}  // namespace
}  // namespace velmic_test

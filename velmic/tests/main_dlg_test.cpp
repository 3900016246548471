// The settings dialog's handlers, with both sets of the panel, the Windows
// double-click time and OK and Apply checked after each step.
#include <gtest/gtest.h>

#include <tuple>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

using Action = std::function<void(VelmicTest&)>;

class VelmicMainDlgTest : public VelmicTest {};

// Opening shows the dialog, captioned with the panel's identifier; the test
// areas flip their pictures, skip one that cannot be loaded, and write nothing.
TEST_F(VelmicMainDlgTest, OpeningAndTheTestAreasTouchNothing) {
    Open();
    EXPECT_EQ(dlg.caption, " 49");
    EXPECT_TRUE(win.dialogShown);
    dlg.missingFile = "double1.bmp";
    for (int i = 0; i < 3; ++i) Logic().ClickTestArea_Click();
    for (int i = 0; i < 3; ++i) Logic().DClickTestArea_DblClick();
    EXPECT_EQ(dlg.clicks, (std::vector<std::string>{"single2.bmp", "single1.bmp", "single2.bmp"}));
    EXPECT_EQ(dlg.dClicks, (std::vector<std::string>{"double2.bmp", "double2.bmp"}));
    EXPECT_EQ(dlg.beeps, 6);
    EXPECT_EQ(Sets(), kFound);
}

// One step of a session and what it leaves.
struct Step {
    const char* name;
    Action act;
    PanelSets sets;
    unsigned doubleClickTime;
    bool ok, apply, ended;  // the buttons are not looked at once the program ended
};

Action Drag(Slider slider, int position) {
    return [slider, position](VelmicTest& t) { t.Move(slider, position); };
}
void Unmoved(VelmicTest& t) { t.Logic().Slider_Change(Slider::DblClickArea); }
void ToggleSound(VelmicTest& t) { t.Sound(!t.dlg.checked); }
void Ok(VelmicTest& t) { t.Logic().OkBtn_Click(); }
void Apply(VelmicTest& t) { t.Logic().ApplyBtn_Click(); }
void Defaults(VelmicTest& t) { t.Logic().SetDefaultBtn_Click(); }

constexpr ClickSettings kDown7 = {70, 20, 400, 30}, kArea10 = {50, 20, 400, 40}, kAtDefaults = {70, 30, 400, 28};
constexpr PanelSets kCheckedAtDefaults = {kWorking, false, kDefaults, true};  // the box checked when opened

// A session: the dialog opened on a panel holding `found`, then the steps in turn.
struct SessionRow {
    const char* name;
    PanelSets found;
    std::vector<Step> steps;
};
void PrintTo(const SessionRow& row, std::ostream* os) { *os << row.name; }
// clang-format off
const SessionRow kSessions[] = {
    {.name = "apply then OK",
     .found = kFound,
     .steps = {{"Apply while unchanged is ignored", Apply, kFound, 450, false, false, false},
               // Enter on an unchanged dialog must not save the rounded sliders.
               {"OK while unchanged is ignored", Ok, kFound, 450, false, false, false},
               {"a slider released where it was", Unmoved, kFound, 450, false, false, false},
               {"down to 7", Drag(Slider::DownCanceler, 7), {kDown7, true, kSaved, false}, 400, true, true, false},
               {"Apply", Apply, {kDown7, true, kDown7, false}, 400, true, false, false},
               {"Apply again is ignored", Apply, {kDown7, true, kDown7, false}, 400, true, false, false},
               {"released where it was after Apply", Unmoved, {kDown7, true, kDown7, false}, 400, true, false, false},
               {"OK after Apply", Ok, {kDown7, false, kDown7, false}, 400, false, false, true}}},
    {.name = "sound then OK", .found = kFound,
     .steps = {{"sound on in the working set", ToggleSound, kFound, 450, true, true, false}, {"sound off", ToggleSound, {kWorking, false, kSaved, false}, 450, true, true, false}, {"sound on again", ToggleSound, kFound, 450, true, true, false}, {"area to 10", Drag(Slider::DblClickArea, 10), {kArea10, true, kSaved, false}, 400, true, true, false}, {"OK", Ok, {kArea10, true, kArea10, true}, 400, false, false, true}}},
    // The box unchecked: Set to default writes the sound.
    {.name = "defaults with the sound unchecked", .found = {kWorking, false, kSaved, false},
     .steps = {{"Set to default", Defaults, {kDefaults, true, kSaved, false}, 400, true, true, false}, {"OK", Ok, {kDefaults, true, kDefaults, true}, 400, false, false, true}}},
    {.name = "defaults with the sound checked",
     .found = kCheckedAtDefaults,
     .steps =
         {{"Set to default at the defaults changes nothing", Defaults, kCheckedAtDefaults, 400, false, false, false},
          {"down to 7", Drag(Slider::DownCanceler, 7), {kAtDefaults, false, kDefaults, true}, 400, true, true, false},
          // The box was checked already: the sound is not written.
          {"Set to default", Defaults, {kDefaults, false, kDefaults, true}, 400, true, true, false}}},
};
// clang-format on

class SessionTest : public VelmicTest, public ::testing::WithParamInterface<SessionRow> {};

TEST_P(SessionTest, StepsOfASession) {
    Open(1, GetParam().found);
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(step.name);
        step.act(*this);
        EXPECT_EQ(Sets(), step.sets);
        EXPECT_EQ(doubleClickTime, step.doubleClickTime);
        ASSERT_EQ(start->State() == Phase::Ended, step.ended);
        if (!step.ended) {
            EXPECT_EQ(dlg.ok, step.ok);
            EXPECT_EQ(dlg.apply, step.apply);
        }
    }
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Velmic, SessionTest, ::testing::ValuesIn(kSessions), suite_test::RowName);

// A failed call, in the dialog's opening or after a preview to 900 ms,
// closes the dialog and ends the program; the closing step still copies the
// saved set back when it can, the double-click time never stays at a
// preview value (nor changes when the dialog never opened), and nothing
// runs while a box is open: no tick, no click.
struct FailureRow {
    const char* name;
    std::uint32_t code, error;  // the request refused, 0: none
    Action act;                 // after the preview; none: the opening fails
    PanelSets sets;
    unsigned doubleClickTime;
    const char* box;
    int reports;
};
void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }

constexpr ClickSettings kFast = {50, 20, 900, 30};
constexpr PanelSets kRestored = {kSaved, false, kSaved, false}, kSoundKept = {kSaved, true, kSaved, false};
constexpr PanelSets kFastSaved = {kFast, false, kFast, false}, kPreviewKept = {kFast, true, kSaved, false};
void Preview(VelmicTest& t) { t.Move(Slider::UpCanceler, 10); }
void SoundOn(VelmicTest& t) { t.Sound(true); }
void Cancel(VelmicTest& t) { t.Logic().CancelBtn_Click(); }
void AttachThenPreview(VelmicTest& t) {
    VelmicTest::Model().AttachPanel(0x50);
    Preview(t);
}
void Poll(VelmicTest& t) { t.Tick(); }

// clang-format off
const FailureRow kFailures[] = {
    // The closing step got as far as the four values; the dialog never
    // showed, so the double-click time stays as it was.
    {.name = "opening: saved sound unreadable", .code = IOCTL_TAVLO_GET_CLICK_SOUND_ALT, .error = 1, .act = nullptr,
     .sets = kSoundKept, .doubleClickTime = 500, .box = "GetClickSound(1): 6", .reports = 0},
    // The closing step's own write fails too: the time goes back to the
    // saved speed it read.
    {.name = "preview write refused", .code = IOCTL_TAVLO_SET_CLICK_DATA, .error = 87, .act = Preview,
     .sets = kPreviewKept, .doubleClickTime = 450, .box = "SetSettings(2): 7", .reports = 0},
    {.name = "preview: panel gone", .code = IOCTL_TAVLO_GET_CLICK_DATA, .error = 2, .act = Preview,
     .sets = kPreviewKept, .doubleClickTime = 450, .box = nullptr, .reports = 0},
    {.name = "sound step refused", .code = IOCTL_TAVLO_SET_CLICK_SOUND, .error = 31, .act = SoundOn,
     .sets = kSoundKept, .doubleClickTime = 450, .box = "SetClickSound(1): 8", .reports = 0},
    // OK saved the four values before the sound flag failed: they stay.
    {.name = "OK: sound flag refused", .code = IOCTL_TAVLO_SET_CLICK_SOUND_ALT, .error = 31, .act = Ok,
     .sets = kFastSaved, .doubleClickTime = 900, .box = "SetClickSound(1): 8", .reports = 0},
    // The saved set cannot be read when closing: the preview's 900 ms
    // must not outlive the dialog.
    {.name = "Cancel: saved set unreadable", .code = IOCTL_TAVLO_GET_CLICK_DATA_ALT, .error = 31, .act = Cancel,
     .sets = kPreviewKept, .doubleClickTime = 450, .box = "GetSettings(1): 8", .reports = 0},
    // The panel list changed since the poll: status 3 on a settings call
    // is critical.
    {.name = "panel attached since the poll", .code = 0, .error = 0, .act = AttachThenPreview,
     .sets = kRestored, .doubleClickTime = 450, .box = "SetSettings(1): 3", .reports = 0},
    // A critical poll adds the error report; the closing step cannot
    // reach the panel, the time still goes back.
    {.name = "poll: status unreadable", .code = IOCTL_TAVLO_GET_STATUS, .error = 31, .act = Poll,
     .sets = kPreviewKept, .doubleClickTime = 450, .box = "GetActivePanel(1): 8", .reports = 1},
};
// clang-format on

class FailureTest : public VelmicTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailureTest, EndsTheProgram) {
    const FailureRow& c = GetParam();
    std::uint32_t requestsInBoxes = 0;
    const auto meanwhile = [this, &requestsInBoxes] {
        const std::uint32_t before = Model().RequestsSeen();
        Tick();
        if (start->Settings()) Logic().CancelBtn_Click();
        start->CancelBtn_Click();
        requestsInBoxes += Model().RequestsSeen() - before;
    };
    whileShown = win.whileErrorReport = meanwhile;
    if (!c.act) Refuse(c.code, c.error);
    Load();
    if (c.act) {
        Move(Slider::DblClickSpeed, 9);
        if (c.code != 0) Refuse(c.code, c.error);
        c.act(*this);
    }
    Tick();  // skipped: the program has ended
    Model().ClearFaults();
    ExpectEnded();
    EXPECT_FALSE(win.dialogShown);
    EXPECT_EQ(Sets(), c.sets);
    EXPECT_EQ(doubleClickTime, c.doubleClickTime);
    EXPECT_EQ(boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    EXPECT_EQ(requestsInBoxes, 0u);
    EXPECT_EQ(win.errorReports, c.reports);
}

INSTANTIATE_TEST_SUITE_P(Velmic, FailureTest, ::testing::ValuesIn(kFailures), suite_test::RowName);

// The dialog open, then every reply to one request odd (no bytes, more than
// the buffer, or bytes no driver sends) while the poll ticks and a slider
// moves: whatever the program decides, the saved set stays, the working set
// never holds zeros, and no handle stays open.
struct ReadRow {
    const char* name;
    std::uint32_t code;
};
void PrintTo(const ReadRow& row, std::ostream* os) { *os << row.name; }
const ReadRow kReads[] = {
    {.name = "GET_STATUS", .code = IOCTL_TAVLO_GET_STATUS},
    {.name = "GET_POINTDATA_ENABLE", .code = IOCTL_TAVLO_GET_POINTDATA_ENABLE},
    {.name = "GET_PANEL_ID", .code = IOCTL_TAVLO_GET_PANEL_ID},
    {.name = "GET_CLICK_DATA", .code = IOCTL_TAVLO_GET_CLICK_DATA},
    {.name = "GET_CLICK_DATA_ALT", .code = IOCTL_TAVLO_GET_CLICK_DATA_ALT},
    {.name = "GET_CLICK_SOUND", .code = IOCTL_TAVLO_GET_CLICK_SOUND},
    {.name = "GET_CLICK_SOUND_ALT", .code = IOCTL_TAVLO_GET_CLICK_SOUND_ALT},
};

// Seven odd bytes are cut to the request's own reply length.
struct ReplyRow {
    const char* name;
    std::vector<std::uint8_t> bytes;
};
void PrintTo(const ReplyRow& row, std::ostream* os) { *os << row.name; }
const ReplyRow kReplies[] = {
    {.name = "no bytes", .bytes = {}},
    {.name = "longer than the buffer", .bytes = std::vector<std::uint8_t>(12, 1)},
    {.name = "bytes A5", .bytes = std::vector<std::uint8_t>(7, 0xA5)},
    {.name = "bytes FF", .bytes = std::vector<std::uint8_t>(7, 0xFF)},
};

using OddReplyRow = std::tuple<ReadRow, ReplyRow>;
class OddReplyTest : public VelmicTest, public ::testing::WithParamInterface<OddReplyRow> {};

TEST_P(OddReplyTest, LeaveTheSavedSetAndNoZeros) {
    const auto& [read, reply] = GetParam();
    const std::uint32_t code = read.code;
    std::vector<std::uint8_t> bytes = reply.bytes;
    Open();
    // Odd bytes as long as the request's own reply.
    const bool clickData = code == IOCTL_TAVLO_GET_CLICK_DATA || code == IOCTL_TAVLO_GET_CLICK_DATA_ALT;
    if (bytes.size() == 7 && !clickData) bytes.resize(code == IOCTL_TAVLO_GET_STATUS ? 3 : 1);
    ASSERT_TRUE(Model().OverrideReply(code, bytes.data(), static_cast<std::uint32_t>(bytes.size()), true));
    Tick();
    if (start->State() == Phase::Editing) Move(Slider::DblClickSpeed, 9);
    Tick();
    Tick();
    Model().ClearFaults();
    const PanelSets sets = Sets();
    EXPECT_EQ(sets.saved, kSaved);
    EXPECT_FALSE(sets.soundSaved);
    EXPECT_NE(sets.working, (ClickSettings{0, 0, 0, 0}));
    EXPECT_EQ(Driver().channel.OpenHandles(), 0);
}

std::string OddReplyName(const ::testing::TestParamInfo<OddReplyRow>& row) {
    const auto& [read, reply] = row.param;
    return suite_test::TestName(read.name) + "_" + suite_test::TestName(reply.name);
}
INSTANTIATE_TEST_SUITE_P(Velmic, OddReplyTest,
                         ::testing::Combine(::testing::ValuesIn(kReads), ::testing::ValuesIn(kReplies)), OddReplyName);

}  // namespace
}  // namespace velmic_test

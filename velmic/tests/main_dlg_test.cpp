// The settings dialog's handlers, with both sets of the panel, the Windows
// double-click time and OK and Apply checked after each step.
#include <gtest/gtest.h>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

class MainDlgTest : public VelmicTest {};

// Opening shows the dialog, captioned with the panel's identifier; the test
// areas flip their pictures, skip one that cannot be loaded, and write nothing.
TEST_F(MainDlgTest, OpeningAndTheTestAreasTouchNothing) {
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

TEST_F(MainDlgTest, StepsOfASession) {
    struct Step {
        const char* name;
        std::function<void(MainDlgTest&)> act;
        PanelSets sets;
        unsigned doubleClickTime;
        bool ok, apply, ended;  // the buttons are not looked at once the program ended
    };
    const auto drag = [](Slider s, int p) { return [s, p](MainDlgTest& t) { t.Move(s, p); }; };
    const auto unmoved = [](MainDlgTest& t) { t.Logic().Slider_Change(Slider::DblClickArea); };
    const auto sound = [](MainDlgTest& t) { t.Sound(!t.dlg.checked); };
    const auto ok = [](MainDlgTest& t) { t.Logic().OkBtn_Click(); };
    const auto apply = [](MainDlgTest& t) { t.Logic().ApplyBtn_Click(); };
    const auto defaults = [](MainDlgTest& t) { t.Logic().SetDefaultBtn_Click(); };
    const ClickSettings down7 = {70, 20, 400, 30}, area10 = {50, 20, 400, 40}, atDefaults = {70, 30, 400, 28};
    const PanelSets checkedAtDefaults = {kWorking, false, kDefaults, true};  // the box checked when opened
    const std::vector<std::pair<PanelSets, std::vector<Step>>> sessions = {
        {kFound,
         {{"Apply while unchanged is ignored", apply, kFound, 450, false, false, false},
          // Enter on an unchanged dialog must not save the rounded sliders.
          {"OK while unchanged is ignored", ok, kFound, 450, false, false, false},
          {"a slider released where it was", unmoved, kFound, 450, false, false, false},
          {"down to 7", drag(Slider::DownCanceler, 7), {down7, true, kSaved, false}, 400, true, true, false},
          {"Apply", apply, {down7, true, down7, false}, 400, true, false, false},
          {"Apply again is ignored", apply, {down7, true, down7, false}, 400, true, false, false},
          {"released where it was after Apply", unmoved, {down7, true, down7, false}, 400, true, false, false},
          {"OK after Apply", ok, {down7, false, down7, false}, 400, false, false, true}}},
        {kFound,
         {{"sound on in the working set", sound, kFound, 450, true, true, false},
          {"sound off", sound, {kWorking, false, kSaved, false}, 450, true, true, false},
          {"sound on again", sound, kFound, 450, true, true, false},
          {"area to 10", drag(Slider::DblClickArea, 10), {area10, true, kSaved, false}, 400, true, true, false},
          {"OK", ok, {area10, true, area10, true}, 400, false, false, true}}},
        {{kWorking, false, kSaved, false},  // the box unchecked: Set to default writes the sound
         {{"Set to default", defaults, {kDefaults, true, kSaved, false}, 400, true, true, false},
          {"OK", ok, {kDefaults, true, kDefaults, true}, 400, false, false, true}}},
        {checkedAtDefaults,
         {{"Set to default at the defaults changes nothing", defaults, checkedAtDefaults, 400, false, false, false},
          {"down to 7", drag(Slider::DownCanceler, 7), {atDefaults, false, kDefaults, true}, 400, true, true, false},
          // The box was checked already: the sound is not written.
          {"Set to default", defaults, {kDefaults, false, kDefaults, true}, 400, true, true, false}}},
    };
    for (std::size_t s = 0; s < sessions.size(); ++s) {
        Restart();
        Open(1, sessions[s].first);
        for (const Step& step : sessions[s].second) {
            SCOPED_TRACE("session " + std::to_string(s) + ": " + step.name);
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
}

// A failed call, in the dialog's opening or after a preview to 900 ms,
// closes the dialog and ends the program; the closing step still copies the
// saved set back when it can, the double-click time never stays at a
// preview value (nor changes when the dialog never opened), and nothing
// runs while a box is open: no tick, no click.
TEST_F(MainDlgTest, FailuresEndTheProgram) {
    const ClickSettings fast = {50, 20, 900, 30};
    const auto preview = [](MainDlgTest& t) { t.Move(Slider::UpCanceler, 10); };
    const PanelSets restored = {kSaved, false, kSaved, false}, soundKept = {kSaved, true, kSaved, false};
    const PanelSets fastSaved = {fast, false, fast, false}, previewKept = {fast, true, kSaved, false};
    const struct {
        const char* name;
        std::uint32_t code, error;              // the request refused, 0: none
        std::function<void(MainDlgTest&)> act;  // after the preview; none: the opening fails
        PanelSets sets;
        unsigned doubleClickTime;
        const char* box;
        int reports;
    } cases[] = {
        // The closing step got as far as the four values; the dialog never
        // showed, so the double-click time stays as it was.
        {"opening: saved sound unreadable", IOCTL_TAVLO_GET_CLICK_SOUND_ALT, 1, nullptr, soundKept, 500,
         "GetClickSound(1): 6", 0},
        // The closing step's own write fails too: the time goes back to the
        // saved speed it read.
        {"preview write refused", IOCTL_TAVLO_SET_CLICK_DATA, 87, preview, previewKept, 450, "SetSettings(2): 7", 0},
        {"preview: panel gone", IOCTL_TAVLO_GET_CLICK_DATA, 2, preview, previewKept, 450, nullptr, 0},
        {"sound step refused", IOCTL_TAVLO_SET_CLICK_SOUND, 31, [](MainDlgTest& t) { t.Sound(true); }, soundKept, 450,
         "SetClickSound(1): 8", 0},
        // OK saved the four values before the sound flag failed: they stay.
        {"OK: sound flag refused", IOCTL_TAVLO_SET_CLICK_SOUND_ALT, 31, [](MainDlgTest& t) { t.Logic().OkBtn_Click(); },
         fastSaved, 900, "SetClickSound(1): 8", 0},
        // The saved set cannot be read when closing: the preview's 900 ms
        // must not outlive the dialog.
        {"Cancel: saved set unreadable", IOCTL_TAVLO_GET_CLICK_DATA_ALT, 31,
         [](MainDlgTest& t) { t.Logic().CancelBtn_Click(); }, previewKept, 450, "GetSettings(1): 8", 0},
        // The panel list changed since the poll: status 3 on a settings call
        // is critical.
        {"panel attached since the poll", 0, 0,
         [preview](MainDlgTest& t) {
             Model().AttachPanel(0x50);
             preview(t);
         },
         restored, 450, "SetSettings(1): 3", 0},
        // A critical poll adds the error report; the closing step cannot
        // reach the panel, the time still goes back.
        {"poll: status unreadable", IOCTL_TAVLO_GET_STATUS, 31, [](MainDlgTest& t) { t.Tick(); }, previewKept, 450,
         "GetActivePanel(1): 8", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
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
}

// The dialog open, then every reply to one request odd (no bytes, more than
// the buffer, or bytes no driver sends) while the poll ticks and a slider
// moves: whatever the program decides, the saved set stays, the working set
// never holds zeros, and no handle stays open.
TEST_F(MainDlgTest, OddRepliesToEveryRead) {
    const std::uint32_t codes[] = {IOCTL_TAVLO_GET_STATUS,         IOCTL_TAVLO_GET_POINTDATA_ENABLE,
                                   IOCTL_TAVLO_GET_PANEL_ID,       IOCTL_TAVLO_GET_CLICK_DATA,
                                   IOCTL_TAVLO_GET_CLICK_DATA_ALT, IOCTL_TAVLO_GET_CLICK_SOUND,
                                   IOCTL_TAVLO_GET_CLICK_SOUND_ALT};
    const std::vector<std::uint8_t> replies[] = {
        {}, std::vector<std::uint8_t>(12, 1), std::vector<std::uint8_t>(7, 0xA5), std::vector<std::uint8_t>(7, 0xFF)};
    for (std::uint32_t code : codes) {
        for (std::vector<std::uint8_t> bytes : replies) {
            SCOPED_TRACE(::testing::Message() << std::hex << code << std::dec << ", " << bytes.size() << " bytes");
            Restart();
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
    }
}

}  // namespace
}  // namespace velmic_test

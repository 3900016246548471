// The settings dialog's handlers, with both sets of the panel, the Windows
// double-click time and OK and Apply checked after each step.
#include <gtest/gtest.h>

#include "velmic_fixture.h"

namespace velmic_test {
namespace {

class MainDlgTest : public VelmicTest {};

TEST_F(MainDlgTest, OpeningShowsTheSavedSetAndTouchesNothing) {
    Open();
    EXPECT_EQ(Dlg().positions, (SliderPositions{5, 2, 4, 5}));
    EXPECT_FALSE(Dlg().checked);
    EXPECT_FALSE(Dlg().ok || Dlg().apply);
    EXPECT_EQ(Sets(), kFound);
    EXPECT_EQ(doubleClickTime, 450u);  // as read, not as the slider rounds it to 400
    EXPECT_TRUE(view->dialogShown);
    EXPECT_FALSE(view->visible);
    EXPECT_EQ(Dlg().caption, " 49");
    EXPECT_TRUE(boxes.empty());
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
    const auto sound = [](MainDlgTest& t) { t.Sound(!t.Dlg().checked); };
    const auto ok = [](MainDlgTest& t) { t.Logic().OkBtn_Click(); };
    const auto apply = [](MainDlgTest& t) { t.Logic().ApplyBtn_Click(); };
    const auto cancel = [](MainDlgTest& t) { t.Logic().CancelBtn_Click(); };
    const auto defaults = [](MainDlgTest& t) { t.Logic().SetDefaultBtn_Click(); };
    const ClickSettings fast = {50, 20, 900, 30}, down7 = {70, 20, 400, 30}, area10 = {50, 20, 400, 40};
    const ClickSettings up0 = {50, 0, 400, 30}, atDefaults = {70, 30, 400, 28};
    const PanelSets checkedAtDefaults = {kWorking, false, kDefaults, true};  // the box checked when opened
    const std::vector<std::pair<PanelSets, std::vector<Step>>> sessions = {
        {kFound,
         {{"a slider released where it was", unmoved, kFound, 450, false, false, false},
          {"speed to 9", drag(Slider::DblClickSpeed, 9), {fast, true, kSaved, false}, 900, true, true, false},
          {"Cancel", cancel, {kSaved, false, kSaved, false}, 450, false, false, true}}},
        {kFound,
         {{"down to 7", drag(Slider::DownCanceler, 7), {down7, true, kSaved, false}, 400, true, true, false},
          {"Apply", apply, {down7, true, down7, false}, 400, true, false, false},
          {"Apply again is ignored", apply, {down7, true, down7, false}, 400, true, false, false},
          {"released where it was after Apply", unmoved, {down7, true, down7, false}, 400, true, false, false},
          {"Cancel keeps what was applied", cancel, {down7, false, down7, false}, 400, false, false, true}}},
        {kFound,
         {{"sound on in the working set", sound, kFound, 450, true, true, false},
          {"sound off", sound, {kWorking, false, kSaved, false}, 450, true, true, false},
          {"sound on again", sound, kFound, 450, true, true, false},
          {"area to 10", drag(Slider::DblClickArea, 10), {area10, true, kSaved, false}, 400, true, true, false},
          {"OK", ok, {area10, true, area10, true}, 400, false, false, true}}},
        {kFound,
         {{"Set to default", defaults, {kDefaults, true, kSaved, false}, 400, true, true, false},
          {"OK", ok, {kDefaults, true, kDefaults, true}, 400, false, false, true}}},
        {kFound,
         {{"Apply while unchanged is ignored", apply, kFound, 450, false, false, false},
          // Enter on an unchanged dialog must not save the rounded sliders.
          {"OK while unchanged is ignored", ok, kFound, 450, false, false, false},
          {"up to 0", drag(Slider::UpCanceler, 0), {up0, true, kSaved, false}, 400, true, true, false},
          {"Apply", apply, {up0, true, up0, false}, 400, true, false, false},
          {"OK after Apply", ok, {up0, false, up0, false}, 400, false, false, true}}},
        {checkedAtDefaults,
         {{"Set to default at the defaults changes nothing", defaults, checkedAtDefaults, 400, false, false, false},
          {"down to 7", drag(Slider::DownCanceler, 7), {atDefaults, false, kDefaults, true}, 400, true, true, false},
          // The box was checked already: the sound is not written.
          {"Set to default", defaults, {kDefaults, false, kDefaults, true}, 400, true, true, false},
          {"Cancel", cancel, {kDefaults, true, kDefaults, true}, 400, false, false, true}}},
    };
    for (std::size_t s = 0; s < sessions.size(); ++s) {
        Restart();
        Open(1, sessions[s].first);
        for (const Step& step : sessions[s].second) {
            SCOPED_TRACE("session " + std::to_string(s) + ": " + step.name);
            step.act(*this);
            EXPECT_EQ(Sets(), step.sets);
            EXPECT_EQ(doubleClickTime, step.doubleClickTime);
            EXPECT_EQ(start->State() == Phase::Ended, step.ended);
            if (step.ended) {
                ExpectEnded();
            } else {
                EXPECT_EQ(Dlg().ok, step.ok);
                EXPECT_EQ(Dlg().apply, step.apply);
            }
        }
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(MainDlgTest, TestAreasBeepAndAlternateTheirPictures) {
    Open();
    Dlg().missingFile = "double1.bmp";
    for (int i = 0; i < 3; ++i) Logic().ClickTestArea_Click();
    for (int i = 0; i < 3; ++i) Logic().DClickTestArea_DblClick();  // double1.bmp cannot be loaded
    EXPECT_EQ(Dlg().clicks, (std::vector<std::string>{"single2.bmp", "single1.bmp", "single2.bmp"}));
    EXPECT_EQ(Dlg().dClicks, (std::vector<std::string>{"double2.bmp", "double2.bmp"}));
    EXPECT_EQ(Dlg().beeps, 6);
    EXPECT_EQ(Sets(), kFound);
    EXPECT_EQ(doubleClickTime, 450u);
    EXPECT_FALSE(Dlg().ok || Dlg().apply);
}

// A failed call inside a handler closes the dialog and ends the program;
// the closing step still copies the saved set back when it can, the
// double-click time never stays at a preview value, and the poll does not
// run while the box is open.
TEST_F(MainDlgTest, FailuresInsideTheDialog) {
    struct Case {
        const char* name;
        std::function<void(MainDlgTest&)> act;
        PanelSets sets;
        unsigned doubleClickTime;
        std::vector<std::string> boxes;
    };
    const ClickSettings fast = {50, 20, 900, 30};
    const auto speedTo9 = [](MainDlgTest& t) { t.Move(Slider::DblClickSpeed, 9); };
    const auto refused = [speedTo9](std::uint32_t code, std::uint32_t error, bool once) {
        return [=](MainDlgTest& t) {
            t.Refuse(code, error, once);
            speedTo9(t);
        };
    };
    const Case cases[] = {
        // The closing step's own write fails too: one box, and the time goes
        // back to the saved speed it read.
        {"preview write refused for good",
         refused(IOCTL_TAVLO_SET_CLICK_DATA, 87, false),
         kFound,
         450,
         {"SetSettings(2): 7"}},
        {"preview: panel gone", refused(IOCTL_TAVLO_GET_CLICK_DATA, 2, false), kFound, 450, {}},
        {"sound step refused",
         [](MainDlgTest& t) {
             t.Refuse(IOCTL_TAVLO_SET_CLICK_SOUND, kErrorGenFailure, true);
             t.Sound(true);
         },
         {kSaved, false, kSaved, false},
         450,
         {"SetClickSound(1): 8"}},
        // OK saved the four values before the sound flag failed: they stay.
        {"OK: sound flag refused",
         [speedTo9](MainDlgTest& t) {
             speedTo9(t);
             t.Refuse(IOCTL_TAVLO_SET_CLICK_SOUND_ALT, kErrorGenFailure, true);
             t.Logic().OkBtn_Click();
         },
         {fast, false, fast, false},
         900,
         {"SetClickSound(1): 8"}},
        // The saved set cannot be read when closing: the preview's 900 ms
        // must not outlive the dialog.
        {"Cancel: saved set unreadable",
         [speedTo9](MainDlgTest& t) {
             speedTo9(t);
             t.Refuse(IOCTL_TAVLO_GET_CLICK_DATA_ALT, kErrorGenFailure, false);
             t.Logic().CancelBtn_Click();
         },
         {fast, true, kSaved, false},
         450,
         {"GetSettings(1): 8"}},
        // The panel list changed since the poll: status 3 on a settings call
        // is critical.
        {"panel attached since the poll",
         [speedTo9](MainDlgTest& t) {
             Model().AttachPanel(0x50);
             speedTo9(t);
         },
         {kSaved, false, kSaved, false},
         450,
         {"SetSettings(1): 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Open();
        c.act(*this);
        Model().ClearFaults();
        ExpectEnded();
        EXPECT_EQ(Sets(), c.sets);
        EXPECT_EQ(doubleClickTime, c.doubleClickTime);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(view->errorReports, 0);
    }
}

// A handler's box holds the poll off: a tick then does nothing.
TEST_F(MainDlgTest, NoTickInsideAHandler) {
    Open();
    Refuse(IOCTL_TAVLO_SET_CLICK_DATA, 87, false);
    std::uint32_t requestsInBox = 1;
    whileShown = [this, &requestsInBox] {
        const std::uint32_t before = Model().RequestsSeen();
        Tick();
        requestsInBox = Model().RequestsSeen() - before;
    };
    Move(Slider::DblClickSpeed, 9);
    EXPECT_EQ(requestsInBox, 0u);
    EXPECT_EQ(boxes, std::vector<std::string>{"SetSettings(2): 7"});
}

TEST_F(MainDlgTest, OpeningFailureEndsWithoutShowingTheDialog) {
    Refuse(IOCTL_TAVLO_GET_CLICK_SOUND_ALT, 1, false);
    Load();
    EXPECT_FALSE(view->dialogShown);
    ExpectEnded();
    EXPECT_EQ(boxes, std::vector<std::string>{"GetClickSound(1): 6"});
    // The closing step got as far as the four values.
    Model().ClearFaults();
    EXPECT_EQ(Sets(), (PanelSets{kSaved, true, kSaved, false}));
    EXPECT_EQ(doubleClickTime, 450u);
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
            EXPECT_EQ(Sets().saved, kSaved);
            EXPECT_FALSE(Sets().soundSaved);
            EXPECT_NE(Sets().working, (ClickSettings{0, 0, 0, 0}));
            EXPECT_EQ(Driver().channel.OpenHandles(), 0);
        }
    }
}

}  // namespace
}  // namespace velmic_test

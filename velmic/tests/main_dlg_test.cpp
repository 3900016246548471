// Whole sessions of Velmic: the start-up check's poll tick by tick and the
// settings dialog's handlers, with both sets of the panel and the Windows
// double-click time checked after each step.
#include <gtest/gtest.h>

#include "session_fixture.h"

namespace velmic_test {
namespace {

TEST_F(SessionTest, OpeningShowsTheSavedSetAndTouchesNothing) {
    Open();
    EXPECT_EQ(Dlg().positions, (SliderPositions{5, 2, 4, 5}));
    EXPECT_FALSE(Dlg().checked);
    ExpectButtons(false, false);
    // The speed as read, not as the slider rounds it to 400.
    Expect(kWorking, true, kSaved, false, 450);
    EXPECT_TRUE(view->dialogShown);
    EXPECT_FALSE(view->visible);
    EXPECT_EQ(Dlg().panelIdCaption, " 49");
    EXPECT_TRUE(debug.boxes.empty());
}

// Each step of a session and what it leaves in the panel, the double-click
// time and the buttons. The sound is off in the saved set, on in the
// working set at the start->
TEST_F(SessionTest, StepsOfASession) {
    struct Step {
        const char* name;
        std::function<void(SessionTest&)> act;
        ClickSettings working;
        bool soundWorking;
        ClickSettings saved;
        bool soundSaved;
        unsigned doubleClickTime;
        bool ok, apply;  // ignored once the program ended
        bool ended;
    };
    const auto drag = [](Slider s, int p) { return [s, p](SessionTest& t) { t.Move(s, p); }; };
    const auto sound = [](SessionTest& t) { t.Sound(!t.Dlg().checked); };
    const auto ok = [](SessionTest& t) { t.Logic().OkBtn_Click(); };
    const auto apply = [](SessionTest& t) { t.Logic().ApplyBtn_Click(); };
    const auto cancel = [](SessionTest& t) { t.Logic().CancelBtn_Click(); };
    const auto defaults = [](SessionTest& t) { t.Logic().SetDefaultBtn_Click(); };
    const ClickSettings fast = {50, 20, 900, 30};  // kSaved at speed position 9, the rest as the sliders show it

    const std::vector<std::vector<Step>> sessions = {
        {{"speed to 9", drag(Slider::DblClickSpeed, 9), fast, true, kSaved, false, 900, true, true, false},
         {"Cancel", cancel, kSaved, false, kSaved, false, 450, false, false, true}},
        {{"down to 7", drag(Slider::DownCanceler, 7), {70, 20, 400, 30}, true, kSaved, false, 400, true, true, false},
         {"Apply", apply, {70, 20, 400, 30}, true, {70, 20, 400, 30}, false, 400, true, false, false},
         {"Apply again is ignored", apply, {70, 20, 400, 30}, true, {70, 20, 400, 30}, false, 400, true, false, false},
         {"Cancel keeps what was applied", cancel, {70, 20, 400, 30}, false, {70, 20, 400, 30}, false, 400, false,
          false, true}},
        {{"sound on in the working set", sound, kWorking, true, kSaved, false, 450, true, true, false},
         {"sound off", sound, kWorking, false, kSaved, false, 450, true, true, false},
         {"sound on again", sound, kWorking, true, kSaved, false, 450, true, true, false},
         {"area to 10", drag(Slider::DblClickArea, 10), {50, 20, 400, 40}, true, kSaved, false, 400, true, true, false},
         {"OK", ok, {50, 20, 400, 40}, true, {50, 20, 400, 40}, true, 400, false, false, true}},
        {{"Set to default", defaults, kDefaults, true, kSaved, false, 400, true, true, false},
         {"OK", ok, kDefaults, true, kDefaults, true, 400, false, false, true}},
        {{"Apply while unchanged is ignored", apply, kWorking, true, kSaved, false, 450, false, false, false},
         // Enter on an unchanged dialog must not save the rounded sliders.
         {"OK while unchanged is ignored", ok, kWorking, true, kSaved, false, 450, false, false, false},
         {"up to 0", drag(Slider::UpCanceler, 0), {50, 0, 400, 30}, true, kSaved, false, 400, true, true, false},
         {"Apply", apply, {50, 0, 400, 30}, true, {50, 0, 400, 30}, false, 400, true, false, false},
         {"OK after Apply", ok, {50, 0, 400, 30}, false, {50, 0, 400, 30}, false, 400, false, false, true}},
    };
    for (std::size_t s = 0; s < sessions.size(); ++s) {
        Restart();
        Open();
        for (const Step& step : sessions[s]) {
            SCOPED_TRACE("session " + std::to_string(s) + ": " + step.name);
            step.act(*this);
            Expect(step.working, step.soundWorking, step.saved, step.soundSaved, step.doubleClickTime);
            EXPECT_EQ(start->State() == Phase::Ended, step.ended);
            if (step.ended) {
                ExpectEnded();
            } else {
                ExpectButtons(step.ok, step.apply);
            }
        }
        EXPECT_TRUE(debug.boxes.empty());
    }
}

// Set to default puts into effect what the sliders then show; with the
// sliders and the box already at the defaults it changes nothing.
TEST_F(SessionTest, SetToDefaultAtTheDefaultsChangesNothing) {
    Open(kDefaults, true, true);
    Model().ClearLog();
    Logic().SetDefaultBtn_Click();
    EXPECT_TRUE(Requests().empty());
    ExpectButtons(false, false);
    Expect(kWorking, true, kDefaults, true, 400);
}

// A slider released where it was (a click on the thumb, a key at its end)
// puts nothing into effect.
TEST_F(SessionTest, ASliderReleasedUnmovedChangesNothing) {
    Open();
    Model().ClearLog();
    Logic().Slider_Change(Slider::DblClickArea);
    EXPECT_TRUE(Requests().empty());
    ExpectButtons(false, false);
    Move(Slider::DblClickArea, 6);
    Logic().ApplyBtn_Click();
    Model().ClearLog();
    Logic().Slider_Change(Slider::DblClickArea);
    EXPECT_TRUE(Requests().empty());
    ExpectButtons(true, false);
    Expect({50, 20, 400, 32}, true, {50, 20, 400, 32}, false, 400);
}

TEST_F(SessionTest, SetToDefaultWithTheBoxCheckedPreviewsTheSliders) {
    Open(kSaved, true, false);
    Logic().SetDefaultBtn_Click();
    EXPECT_EQ(Dlg().positions, (SliderPositions{3, 3, 4, 4}));
    ExpectButtons(true, true);
    Expect(kDefaults, false, kSaved, true, 400);  // the sound was not clicked
}

TEST_F(SessionTest, TestAreasBeepAndAlternateTheirPictures) {
    Open();
    Dlg().missingFiles = {"double1.bmp"};
    for (int i = 0; i < 3; ++i) Logic().ClickTestArea_Click();
    Logic().DClickTestArea_DblClick();
    Logic().DClickTestArea_DblClick();  // double1.bmp cannot be loaded: the picture stays
    Logic().DClickTestArea_DblClick();
    EXPECT_EQ(Dlg().clickPictures, (std::vector<std::string>{"single2.bmp", "single1.bmp", "single2.bmp"}));
    EXPECT_EQ(Dlg().dClickPictures, (std::vector<std::string>{"double2.bmp", "double2.bmp"}));
    EXPECT_EQ(Dlg().beeps, 6);
    EXPECT_TRUE(Logic().ClickPicState);
    EXPECT_TRUE(Logic().DClickPicState);
    Expect(kWorking, true, kSaved, false, 450);
    ExpectButtons(false, false);
}

// A failed call inside a handler closes the dialog and ends the program;
// the closing step still copies the saved set back when it can, and the
// double-click time never stays at a preview value.
TEST_F(SessionTest, FailuresInsideTheDialog) {
    struct Case {
        const char* name;
        const char* function;  // forced from the start, or null
        TavloStatus status;
        int calls;  // failing calls, -1 for all
        std::function<void(SessionTest&)> act;
        ClickSettings working;
        bool soundWorking;
        ClickSettings saved;
        unsigned doubleClickTime;
        std::vector<std::string> boxes;
    };
    const ClickSettings fast = {50, 20, 900, 30};
    const auto speedTo9 = [](SessionTest& t) { t.Move(Slider::DblClickSpeed, 9); };
    const Case cases[] = {
        {"preview write refused once", "TavloSetClickData", 7, 1, speedTo9, kSaved, false, kSaved, 450,
         {"SetSettings(2): 7"}},
        // The closing step's own write fails too: one box, and the time goes
        // back to the saved speed it read.
        {"preview write refused for good", "TavloSetClickData", 7, -1, speedTo9, kWorking, true, kSaved, 450,
         {"SetSettings(2): 7"}},
        {"preview: panel gone", "TavloGetClickData", TavloBadPanel, -1, speedTo9, kWorking, true, kSaved, 450, {}},
        {"sound step refused", "TavloSetClickSound", 8, 1,
         [](SessionTest& t) { t.Sound(true); },
         kSaved, false, kSaved, 450, {"SetClickSound(1): 8"}},
        // OK saved the four values before the sound flag failed: they stay.
        {"OK: sound flag refused", "TavloSetClickSound", 8, 1,
         [speedTo9](SessionTest& t) {
             speedTo9(t);
             t.Logic().OkBtn_Click();
         },
         fast, false, fast, 900, {"SetClickSound(1): 8"}},
        // The saved set cannot be read when closing: the preview's 900 ms
        // must not outlive the dialog.
        {"Cancel: saved set unreadable", nullptr, 0, 0,
         [speedTo9](SessionTest& t) {
             speedTo9(t);
             Force("TavloGetClickData", 8);
             t.Logic().CancelBtn_Click();
         },
         fast, true, kSaved, 450, {"GetSettings(1): 8"}},
        // The panel list changed since the poll: status 3 on a settings call
        // stays critical.
        {"stale stamp in a handler", "TavloSetClickData", TavloPanelsChanged, 1, speedTo9, kSaved, false, kSaved, 450,
         {"SetSettings(2): 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Open();
        if (c.function != nullptr) Force(c.function, c.status, c.calls);
        c.act(*this);
        ForcedStatuses().clear();
        ExpectEnded();
        EXPECT_EQ(Working(), c.working);
        EXPECT_EQ(SoundWorking(), c.soundWorking);
        EXPECT_EQ(Saved(), c.saved);
        EXPECT_EQ(desktop.doubleClickTime, c.doubleClickTime);
        EXPECT_EQ(debug.boxes, c.boxes);
        EXPECT_EQ(view->errorReports, 0);
    }
}

TEST_F(SessionTest, OpeningFailureEndsWithoutShowingTheDialog) {
    Force("TavloGetClickSound", 6);
    Load();
    EXPECT_FALSE(view->dialogShown);
    ExpectEnded();
    EXPECT_EQ(debug.boxes, std::vector<std::string>{"GetClickSound(1): 6"});
    // The closing step got as far as the four values.
    Expect(kSaved, true, kSaved, false, 450);
}

// The dialog open, then every reply to one request odd (no bytes, more than
// the buffer, or bytes no driver sends) while the poll ticks and a slider
// moves: whatever the program decides, the saved set stays as it was, the
// working set holds the earlier or a previewed set and never zeros, and no
// handle stays open.
TEST_F(SessionTest, OddRepliesToEveryRead) {
    const std::uint32_t codes[] = {IOCTL_TAVLO_GET_STATUS,        IOCTL_TAVLO_GET_POINTDATA_ENABLE,
                                   IOCTL_TAVLO_GET_PANEL_ID,      IOCTL_TAVLO_GET_CLICK_DATA,
                                   IOCTL_TAVLO_GET_CLICK_DATA_ALT, IOCTL_TAVLO_GET_CLICK_SOUND,
                                   IOCTL_TAVLO_GET_CLICK_SOUND_ALT};
    const std::vector<std::uint8_t> replies[] = {{}, std::vector<std::uint8_t>(12, 1),
                                                 std::vector<std::uint8_t>(7, 0xA5), std::vector<std::uint8_t>(7, 0xFF)};
    const ClickSettings zeros = {0, 0, 0, 0};
    for (std::uint32_t code : codes) {
        for (const std::vector<std::uint8_t>& reply : replies) {
            SCOPED_TRACE(::testing::Message() << std::hex << code << " reply of " << std::dec << reply.size()
                                              << " bytes");
            Restart();
            Open();
            // A reply as long as the request's own or the given length.
            std::vector<std::uint8_t> bytes = reply;
            if (bytes.size() == 7 && code != IOCTL_TAVLO_GET_CLICK_DATA && code != IOCTL_TAVLO_GET_CLICK_DATA_ALT) {
                bytes.resize(code == IOCTL_TAVLO_GET_STATUS ? 3 : 1);
            }
            ASSERT_TRUE(Model().OverrideReply(code, bytes.data(), static_cast<std::uint32_t>(bytes.size()), true));
            Tick();
            if (start->State() == Phase::Editing) Move(Slider::DblClickSpeed, 9);
            Tick();
            Tick();
            Model().ClearFaults();
            EXPECT_EQ(Saved(), kSaved);
            EXPECT_FALSE(SoundSaved());
            EXPECT_NE(Working(), zeros);
            EXPECT_EQ(Driver().channel.OpenHandles(), 0);
        }
    }
}

}  // namespace
}  // namespace velmic_test

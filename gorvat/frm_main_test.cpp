// Whole calibration runs against the simulated driver, through the same
// by-name binding the program uses, with the window played by a fake.
#include "frm_main.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"

namespace gorvat {
namespace {

using tavlosim::kSavedSet;
using tavlosim::kWorkingSet;

constexpr std::uint32_t kErrorGenFailure = 31;

class FakeCalView final : public CalView {
public:
    double ScreenWidth() override { return width; }
    double ScreenHeight() override { return height; }
    void SetText(Control c, const std::string& text) override { texts[c] = text; }
    void Move(Control c, double left, double top) override {
        // Like the window: positions land on whole pixels of 15 twips.
        lefts[c] = std::round(left / 15) * 15;
        tops[c] = std::round(top / 15) * 15;
        if (c == Control::picPoint) ++markMoves;
    }
    double Left(Control c) override { return lefts[c]; }
    double Top(Control c) override { return tops[c]; }
    void SetVisible(Control c, bool v) override { visible[c] = v; }
    void SetEnabled(Control c, bool e) override { enabled[c] = e; }
    void MakeTopmost() override { ++topmost; }
    void StartSearchTimer(unsigned ms) override { timerMs = ms; }
    void StopSearchTimer() override { timerMs = 0; }
    std::int16_t AskSure(std::int16_t boxType, std::int16_t defButton, const std::string& c1, const std::string& c2,
                         const std::string& c3, const std::string& title, const std::string& message) override {
        asked.push_back({std::to_string(boxType), std::to_string(defButton), c1, c2, c3, title, message});
        questionOpen = true;
        const std::int16_t result = answer ? answer() : 2;
        questionOpen = false;
        return closedQuestion ? 0 : result;
    }
    void CloseQuestion() override { closedQuestion = true; }
    void Close() override { ++closes; }

    double width = 15360, height = 11520;
    std::map<Control, std::string> texts;
    std::map<Control, double> lefts, tops;
    std::map<Control, bool> visible{{Control::picPoint, false}, {Control::areaMessage, true}};
    std::map<Control, bool> enabled{{Control::picPoint, false}};
    int markMoves = 0, topmost = 0, closes = 0;
    unsigned timerMs = 0;
    std::vector<std::vector<std::string>> asked;
    std::function<std::int16_t()> answer;
    bool questionOpen = false, closedQuestion = false;
};

using Cal = std::array<std::int16_t, 4>;
const Cal kOriginal = {10120, -35, 9950, 22};
const Cal kOther = {10500, 10, 10400, -10};
const Cal kExampleResult = {10343, -100, 10260, -81};

class FrmMainTest : public ::testing::Test {
public:
    void SetUp() override { Restart(); }

    // A fresh driver with one enabled panel, a fresh window and procedure.
    void Restart() {
        tavlosim::ResetInProcessDriver();
        AttachPanel(0x31);
        view = FakeCalView();
        formSlot = std::make_unique<frmMain>(ioctl, view);
        form = formSlot.get();
        form->Form_Load();
    }

    tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
    void AttachPanel(std::uint8_t id, bool enabled = true) {
        const int index = Model().AttachPanel(id);
        tavlosim::PanelState* panel = Model().MutablePanel(static_cast<std::uint8_t>(index));
        for (int set : {kWorkingSet, kSavedSet}) {
            for (int i = 0; i < 4; ++i) panel->calibration[set][i] = kOriginal[i];
        }
        panel->pointdata = enabled ? 1 : 0;
    }
    Cal Calibration(int set, std::uint8_t panel = 0) {
        Cal cal;
        for (int i = 0; i < 4; ++i) cal[i] = Model().Panel(panel)->calibration[set][i];
        return cal;
    }
    void SetSaved(const Cal& cal) {
        for (int i = 0; i < 4; ++i) Model().MutablePanel(0)->calibration[kSavedSet][i] = cal[i];
    }
    // Requests other than the panel check, in order.
    std::vector<std::uint32_t> Requests() {
        std::vector<std::uint32_t> codes;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
            const std::uint32_t code = Model().LogAt(i).code;
            if (code != IOCTL_TAVLO_GET_STATUS) codes.push_back(code);
        }
        return codes;
    }
    std::string Help() { return view.texts[Control::textMessage]; }
    void Press(double x, double y, int button = kLeftButton) { form->Form_MouseDown(button, 0, x, y); }
    void StartTouch() { Press(7000, 7000); }
    void FirstMark() { Press(2700, 2010); }
    void SecondMark() { Press(12600, 9495); }
    void RunToQuestion() {
        StartTouch();
        FirstMark();
        SecondMark();
    }

    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl ioctl{loader, [this](const std::string& m) { fatal.push_back(m); }};
    FakeCalView view;
    std::unique_ptr<frmMain> formSlot;
    frmMain* form = nullptr;
};

TEST_F(FrmMainTest, LoadLaysOutTheWindow) {
    EXPECT_EQ(form->CalState, 0);
    EXPECT_EQ(form->targets.TargetX1, 2560);
    EXPECT_EQ(form->targets.TargetY2, 9600);
    // Frame: left 7680 - 2166 = 5514, top 5760 - 1575.6 = 4184.4; Cancel:
    // left 7680 - 547.5 = 7132.5, top 5760 (as placed on whole pixels).
    EXPECT_EQ(view.lefts[Control::areaMessage], 5520);
    EXPECT_EQ(view.tops[Control::areaMessage], 4185);
    EXPECT_EQ(view.lefts[Control::QuitButton], 7140);
    EXPECT_EQ(view.tops[Control::QuitButton], 5760);
    EXPECT_EQ(Help(), "1. Touch anywhere on the screen to start the Calibration Setting Program.");
    EXPECT_EQ(view.topmost, 1);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FrmMainTest, YesSavesTheResultInBothSets) {
    view.answer = [] { return std::int16_t{1}; };
    RunToQuestion();
    EXPECT_EQ(form->CalState, 3);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kWorkingSet), kExampleResult);
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_EQ(view.asked[0], (std::vector<std::string>{"2", "3", "Yes", "No", "", "Calibration data save",
                                                       "Do you wish to save this calibration data?\r\n"
                                                       "(Automatic timeout after 15 sec. )"}));
    EXPECT_EQ(Requests(), (std::vector<std::uint32_t>{IOCTL_TAVLO_GET_POINTDATA_ENABLE, IOCTL_TAVLO_GET_CALIBRATION_ALT,
                                                      IOCTL_TAVLO_SET_CALIBRATION, IOCTL_TAVLO_SET_CALIBRATION,
                                                      IOCTL_TAVLO_SET_CALIBRATION_ALT}));
    EXPECT_EQ(view.texts[Control::dbgXa], "10343");
    EXPECT_EQ(view.texts[Control::dbgXb], "-100");
    EXPECT_EQ(view.texts[Control::dbgYa], "10260");
    EXPECT_EQ(view.texts[Control::dbgYb], "-81");
}

TEST_F(FrmMainTest, StepsShowTheMarkAndTheHelpLine) {
    StartTouch();
    EXPECT_EQ(form->CalState, 1);
    EXPECT_EQ(Help(), "2. Touch the yellow '+' mark.");
    EXPECT_EQ(view.texts[Control::DbgMessage], "( 0 )");
    EXPECT_TRUE(view.visible[Control::picPoint]);
    EXPECT_TRUE(view.enabled[Control::picPoint]);
    EXPECT_EQ(view.lefts[Control::picPoint], 2325);  // 2560 - 240 on whole pixels
    EXPECT_EQ(view.tops[Control::picPoint], 1680);
    EXPECT_EQ(Calibration(kWorkingSet), kIdentityCalibration);
    EXPECT_EQ(form->OrgCal, kOriginal);

    FirstMark();
    EXPECT_EQ(form->CalState, 2);
    EXPECT_EQ(Help(), "3. Touch the '+' mark again.");
    EXPECT_EQ(view.markMoves, 1 + 40 + 1);
    EXPECT_EQ(view.lefts[Control::picPoint], 12555);
    EXPECT_EQ(view.tops[Control::picPoint], 9360);
    EXPECT_TRUE(view.visible[Control::areaMessage]);

    view.answer = [&] {
        EXPECT_EQ(Help(),
                  "4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a beginning.");
        EXPECT_FALSE(view.visible[Control::picPoint]);
        EXPECT_EQ(Calibration(kWorkingSet), kExampleResult);  // tried while asking
        EXPECT_EQ(Calibration(kSavedSet), kOriginal);
        return std::int16_t{1};
    };
    SecondMark();
    EXPECT_EQ(view.topmost, 2);
}

// No, the time-out, and a box closed without an answer all undo the trial.
TEST_F(FrmMainTest, EveryOtherAnswerPutsTheSavedValuesBack) {
    for (int answerValue : {2, -1, 0}) {
        const auto answer = static_cast<std::int16_t>(answerValue);
        Restart();
        view.answer = [answer] { return answer; };
        RunToQuestion();
        EXPECT_EQ(form->CalState, 3) << answer;
        EXPECT_EQ(view.closes, 1) << answer;
        EXPECT_EQ(Calibration(kWorkingSet), kOriginal) << answer;
        EXPECT_EQ(Calibration(kSavedSet), kOriginal) << answer;
        EXPECT_EQ(Requests().back(), IOCTL_TAVLO_SET_CALIBRATION) << answer;
    }
}

// Cancel, and closing the window by other means, in every step.
TEST_F(FrmMainTest, CancelAndCloseInEveryStep) {
    const struct {
        const char* step;
        std::function<void(FrmMainTest&)> reach;
        bool writes;
    } cases[] = {
        {"before the start touch", [](FrmMainTest&) {}, false},
        {"waiting for a panel",
         [](FrmMainTest& t) {
             t.Model().MutablePanel(0)->pointdata = 0;
             t.StartTouch();
         },
         false},
        {"first mark", [](FrmMainTest& t) { t.StartTouch(); }, true},
        {"second mark",
         [](FrmMainTest& t) {
             t.StartTouch();
             t.FirstMark();
         },
         true},
        {"after a result out of limits",
         [](FrmMainTest& t) {
             t.StartTouch();
             t.FirstMark();
             t.Press(2700, 2010);
         },
         true},
        {"after a failed trial write",
         [](FrmMainTest& t) {
             t.StartTouch();
             t.FirstMark();
             t.Model().FailCode(IOCTL_TAVLO_SET_CALIBRATION, kErrorGenFailure);
             t.SecondMark();
             t.Model().ClearFaults();
         },
         true},
    };
    for (bool byClose : {false, true}) {
        for (const auto& c : cases) {
            const std::string what = std::string(c.step) + (byClose ? " (close)" : " (Cancel)");
            Restart();
            c.reach(*this);
            Model().ClearLog();
            if (byClose) {
                form->Form_QueryUnload();
            } else {
                form->QuitButton_Click();
            }
            EXPECT_EQ(view.closes, 1) << what;
            EXPECT_EQ(view.timerMs, 0u) << what;
            EXPECT_EQ(Calibration(kSavedSet), kOriginal) << what;
            EXPECT_EQ(Calibration(kWorkingSet), kOriginal) << what;
            const auto requests = Requests();
            if (c.writes) {
                EXPECT_EQ(requests, std::vector<std::uint32_t>{IOCTL_TAVLO_SET_CALIBRATION}) << what;
            } else {
                EXPECT_TRUE(requests.empty()) << what;
            }
            // Nothing happens after the window is gone.
            Press(100, 100);
            form->SearchTimer_Timer();
            EXPECT_EQ(view.closes, 1) << what;
        }
    }
}

TEST_F(FrmMainTest, FailedSaveAfterYesKeepsTheWindowForANewSecondTouch) {
    Model().FailCode(IOCTL_TAVLO_SET_CALIBRATION_ALT, kErrorGenFailure);
    view.answer = [] { return std::int16_t{1}; };
    RunToQuestion();
    EXPECT_EQ(Help(), "Can't send the IOCTL!8");
    EXPECT_EQ(form->CalState, 2);
    EXPECT_EQ(view.closes, 0);
    EXPECT_FALSE(view.visible[Control::picPoint]);
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);

    // The next press is a new second touch combined with the same first one.
    Model().ClearFaults();
    Press(12700, 9600);
    ASSERT_EQ(view.asked.size(), 2u);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kSavedSet), (Cal{10240, -88, 10118, -65}));
    EXPECT_EQ(Calibration(kWorkingSet), Calibration(kSavedSet));
}

TEST_F(FrmMainTest, ResultOutOfLimitsKeepsTheMarkAndTheFirstTouch) {
    StartTouch();
    FirstMark();
    Press(2800, 9495);  // x span of 100 twips: gain 102.4
    EXPECT_EQ(Help(), "   The calibration is limit over!  Try again.");
    EXPECT_EQ(form->CalState, 2);
    EXPECT_TRUE(view.visible[Control::picPoint]);
    EXPECT_EQ(view.lefts[Control::picPoint], 12555);
    EXPECT_TRUE(view.asked.empty());
    EXPECT_EQ(Calibration(kWorkingSet), kIdentityCalibration);

    view.answer = [] { return std::int16_t{1}; };
    SecondMark();
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
}

TEST_F(FrmMainTest, ChangedPanelSetFailsTheTrialWithStatus3ThenRecovers) {
    StartTouch();
    FirstMark();
    AttachPanel(0x32);  // the driver's stamp moves on
    SecondMark();
    EXPECT_EQ(Help(), "Can't send the IOCTL!3");
    EXPECT_EQ(form->CalState, 2);
    EXPECT_TRUE(view.asked.empty());
    view.answer = [] { return std::int16_t{1}; };
    SecondMark();  // the stamp was refreshed by the failed call
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
}

TEST_F(FrmMainTest, TwoPanelsOnlyTheSecondEnabled) {
    tavlosim::ResetInProcessDriver();
    AttachPanel(0x31, false);
    AttachPanel(0x32, true);
    view.answer = [] { return std::int16_t{1}; };
    RunToQuestion();
    EXPECT_EQ(form->PanelNo, 1);
    EXPECT_EQ(view.texts[Control::DbgMessage], "( 1 )");
    EXPECT_EQ(Calibration(kSavedSet, 1), kExampleResult);
    EXPECT_EQ(Calibration(kSavedSet, 0), kOriginal);
    EXPECT_EQ(Calibration(kWorkingSet, 0), kOriginal);
}

TEST_F(FrmMainTest, OnlyLeftPressesCount) {
    view.answer = [] { return std::int16_t{1}; };
    const std::function<void()> steps[] = {[&] { StartTouch(); }, [&] { FirstMark(); }, [&] { SecondMark(); }};
    for (const auto& step : steps) {
        const std::int16_t before = form->CalState;
        const std::uint32_t requests = Model().RequestsSeen();
        for (int button : {int{kRightButton}, int{kMiddleButton}, 0}) Press(2700, 2010, button);
        EXPECT_EQ(form->CalState, before);
        EXPECT_EQ(Model().RequestsSeen(), requests);
        step();
    }
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
}

TEST_F(FrmMainTest, PressOnTheMarkIsAPressAtTheSamePointOfTheWindow) {
    view.answer = [] { return std::int16_t{1}; };
    StartTouch();
    // The mark's left and top are 2325 and 1680: this lands on 2700, 2010.
    form->picPoint_MouseDown(kLeftButton, 0, 375, 330);
    EXPECT_FLOAT_EQ(form->touches.TouchX[0], 2700.0f);
    EXPECT_EQ(form->touches.TouchY[0], 2010);
    form->picPoint_MouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(form->CalState, 2);
    form->picPoint_MouseDown(kLeftButton, 0, 12600 - 12555, 9495 - 9360);
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
}

// The search for an enabled panel waits on a timer instead of spinning, and
// reads the count and a fresh stamp on every try.
TEST_F(FrmMainTest, PanelSearchWaitsOnATimerUntilAPanelIsEnabled) {
    Model().MutablePanel(0)->pointdata = 0;
    StartTouch();
    EXPECT_TRUE(form->Searching());
    EXPECT_EQ(view.timerMs, kPanelSearchIntervalMs);
    EXPECT_EQ(form->CalState, 0);
    const std::string stamp = std::to_string(static_cast<std::int16_t>(Model().Stamp()));
    EXPECT_EQ(Help(), "All panels(1) Disable. (Touch me!)0" + stamp);

    StartTouch();  // presses meanwhile start no second search
    form->SearchTimer_Timer();
    EXPECT_TRUE(form->Searching());
    EXPECT_EQ(Calibration(kWorkingSet), kOriginal);

    // A second panel is attached and enabled: new count, new stamp.
    AttachPanel(0x32, true);
    form->SearchTimer_Timer();
    EXPECT_FALSE(form->Searching());
    EXPECT_EQ(view.timerMs, 0u);
    EXPECT_EQ(form->CalState, 1);
    EXPECT_EQ(form->PanelNo, 1);
    EXPECT_EQ(Help(), "2. Touch the yellow '+' mark.");
    EXPECT_EQ(Calibration(kWorkingSet, 1), kIdentityCalibration);
}

TEST_F(FrmMainTest, PanelSearchWithoutDeviceOrPanelsKeepsWaiting) {
    tavlosim::TheInProcessDriver().channel.deviceMissing = true;
    StartTouch();
    EXPECT_EQ(Help(), "All panels(0) Disable. (Touch me!)1-1");
    tavlosim::TheInProcessDriver().channel.deviceMissing = false;
    tavlosim::ResetInProcessDriver();
    form->SearchTimer_Timer();
    EXPECT_EQ(Help().rfind("All panels(0) Disable. (Touch me!)0", 0), 0u);
    AttachPanel(0x40);
    form->SearchTimer_Timer();
    EXPECT_EQ(form->CalState, 1);
}

// OrgCal was not read at the start touch: only values read from the panel
// are ever written back.
TEST_F(FrmMainTest, UnreadStartValuesAreReadAgainBeforeTheyAreRestored) {
    Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION_ALT, kErrorGenFailure);
    StartTouch();
    EXPECT_EQ(Help(), "Can't send the IOCTL!8");
    EXPECT_EQ(form->CalState, 1);
    Model().ClearFaults();
    FirstMark();
    view.answer = [] { return std::int16_t{2}; };
    SecondMark();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kWorkingSet), kOriginal);
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);
}

// The saved set cannot be read again: nothing is written, and the window
// stays open to say that the calibration in use was left as it is.
TEST_F(FrmMainTest, UnreadableSavedSetWritesNothingAndTheWindowSaysSoAndStays) {
    Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION_ALT, kErrorGenFailure);
    StartTouch();
    Model().ClearFaults();
    FirstMark();
    view.answer = [&] {
        Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION_ALT, kErrorGenFailure);
        return std::int16_t{-1};
    };
    SecondMark();
    EXPECT_EQ(Help(), "Can't read the saved calibration!8  The calibration in use was not restored.");
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(form->CalState, 3);
    EXPECT_FALSE(view.visible[Control::picPoint]);
    EXPECT_EQ(Calibration(kWorkingSet), kExampleResult);  // never the zeros of an unread OrgCal
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);

    Model().ClearFaults();
    Model().ClearLog();
    Press(500, 500);  // ignored
    form->QuitButton_Click();
    EXPECT_EQ(view.closes, 1);
    EXPECT_TRUE(Requests().empty());
}

// The write of the start values is refused: the help line shows the
// failure with its status and the run ends all the same, so that a
// time-out with nobody at the screen still ends the program.
TEST_F(FrmMainTest, RefusedRestoreShowsTheFailureAndStillEndsTheRun) {
    const auto answering = [](std::int16_t answer) {
        return [answer](FrmMainTest& t) {
            t.view.answer = [&t, answer] {
                t.Model().FailCode(IOCTL_TAVLO_SET_CALIBRATION, kErrorGenFailure);
                return answer;
            };
            t.RunToQuestion();
        };
    };
    const auto cancelling = [](bool afterFirstMark, bool byClose) {
        return [afterFirstMark, byClose](FrmMainTest& t) {
            t.StartTouch();
            if (afterFirstMark) t.FirstMark();
            t.Model().FailCode(IOCTL_TAVLO_SET_CALIBRATION, kErrorGenFailure);
            if (byClose) {
                t.form->Form_QueryUnload();
            } else {
                t.form->QuitButton_Click();
            }
        };
    };
    const struct {
        const char* what;
        std::function<void(FrmMainTest&)> run;
        Cal working;  // the working set, left as it was
    } cases[] = {
        {"No", answering(2), kExampleResult},
        {"time-out", answering(-1), kExampleResult},
        {"box closed without an answer", answering(0), kExampleResult},
        {"Cancel at the second mark", cancelling(true, false), kIdentityCalibration},
        {"Cancel at the first mark", cancelling(false, false), kIdentityCalibration},
        {"window closed at the second mark", cancelling(true, true), kIdentityCalibration},
        {"No after the start values were read again",
         [](FrmMainTest& t) {
             t.Model().FailCode(IOCTL_TAVLO_GET_CALIBRATION_ALT, kErrorGenFailure);
             t.StartTouch();
             t.Model().ClearFaults();
             t.FirstMark();
             t.view.answer = [&t] {
                 t.Model().FailCode(IOCTL_TAVLO_SET_CALIBRATION, kErrorGenFailure);
                 return std::int16_t{2};
             };
             t.SecondMark();
         },
         kExampleResult},
    };
    for (const auto& c : cases) {
        Restart();
        c.run(*this);
        EXPECT_EQ(Help(), "Can't send the IOCTL!8") << c.what;
        EXPECT_EQ(form->CalState, 3) << c.what;
        EXPECT_EQ(view.closes, 1) << c.what;
        EXPECT_EQ(Requests().back(), IOCTL_TAVLO_SET_CALIBRATION) << c.what;
        EXPECT_EQ(Calibration(kWorkingSet), c.working) << c.what;
        EXPECT_EQ(Calibration(kSavedSet), kOriginal) << c.what;

        // The window is gone: nothing more reaches the panel.
        Model().ClearFaults();
        Model().ClearLog();
        Press(500, 500);
        form->QuitButton_Click();
        form->Form_QueryUnload();
        EXPECT_EQ(view.closes, 1) << c.what;
        EXPECT_TRUE(Requests().empty()) << c.what;
    }
}

TEST_F(FrmMainTest, ClosingWhileAskingEndsTheQuestionAndUndoes) {
    view.answer = [&] {
        form->Form_QueryUnload();
        EXPECT_EQ(view.closes, 0);  // not while the box is still open
        return std::int16_t{1};    // a Yes already on its way is overridden by the close
    };
    RunToQuestion();
    EXPECT_TRUE(view.closedQuestion);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kWorkingSet), kOriginal);
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);
}

TEST_F(FrmMainTest, SessionEndRestoresAtOnce) {
    StartTouch();
    FirstMark();
    form->Form_SessionEnd();
    EXPECT_EQ(Calibration(kWorkingSet), kOriginal);
    EXPECT_EQ(view.closes, 1);

    Restart();
    view.answer = [&] {
        form->Form_SessionEnd();
        EXPECT_EQ(Calibration(kWorkingSet), kOriginal);  // before the box has returned
        return std::int16_t{2};
    };
    RunToQuestion();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kWorkingSet), kOriginal);
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);
}

TEST_F(FrmMainTest, MissingLibraryIsReportedByName) {
    loader.libraryMissing = true;
    StartTouch();
    ASSERT_FALSE(fatal.empty());
    EXPECT_NE(fatal[0].find("TAVLO.DLL"), std::string::npos);
    EXPECT_EQ(Model().RequestsSeen(), 0u);
}

}  // namespace
}  // namespace gorvat

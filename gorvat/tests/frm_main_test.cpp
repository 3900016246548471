// Whole calibration runs against the simulated driver, through the same
// by-name binding the program uses, with the window played by a fake.
#include "frm_main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "row_name.h"

namespace gorvat {
namespace {

using tavlosim::kSavedSet;
using tavlosim::kWorkingSet;
using Cal = std::array<std::int16_t, 4>;
using Codes = std::vector<std::uint32_t>;
using Pos = std::pair<double, double>;

constexpr std::uint32_t kSet = IOCTL_TAVLO_SET_CALIBRATION;
constexpr std::uint32_t kGetSaved = IOCTL_TAVLO_GET_CALIBRATION_ALT;
const Cal kOriginal = {10120, -35, 9950, 22};
const Cal kExampleResult = {10343, -100, 10260, -81};
const std::string kNotRestored = "  The calibration in use was not restored.";

class FakeCalView final : public CalView {
public:
    double ScreenWidth() override { return 15360; }
    double ScreenHeight() override { return 11520; }
    void SetText(Control c, const std::string& text) override { texts[c] = text; }
    void Move(Control c, double left, double top) override {
        // Like the window: positions land on whole pixels of 15 twips.
        at[c] = {std::round(left / 15) * 15, std::round(top / 15) * 15};
    }
    double Left(Control c) override { return at[c].first; }
    double Top(Control c) override { return at[c].second; }
    void SetVisible(Control c, bool v) override { visible[c] = v; }
    void SetEnabled(Control c, bool e) override { enabled[c] = e; }
    void MakeTopmost() override { ++topmost; }
    void StartSearchTimer(unsigned ms) override { timerMs = ms; }
    void StopSearchTimer() override { timerMs = 0; }
    std::int16_t AskSure(std::int16_t boxType, std::int16_t defButton, const std::string& c1, const std::string& c2,
                         const std::string& c3, const std::string& title, const std::string& message) override {
        asked.push_back({std::to_string(boxType), std::to_string(defButton), c1, c2, c3, title, message});
        const std::int16_t result = answer ? answer() : 2;
        return closedQuestion ? 0 : result;
    }
    void CloseQuestion() override { closedQuestion = true; }
    void Close() override { ++closes; }

    std::map<Control, std::string> texts;
    std::map<Control, Pos> at;
    std::map<Control, bool> visible, enabled;
    int topmost = 0, closes = 0;
    unsigned timerMs = 0;
    std::vector<std::vector<std::string>> asked;
    std::function<std::int16_t()> answer;
    bool closedQuestion = false;
    Codes whileAsking;  // requests made before the answer, as Leave records them
};

// Where a run is left, and how: an answer to the question (the value the
// box returns) or an event of the window.
enum Step {
    kBeforeStart,
    kSearching,
    kAtFirstMark,
    kUnreadAtFirstMark,
    kAtSecondMark,
    kAfterLimitOver,
    kAfterRefusedTrial,
    kAsking
};
enum Exit : int { kYes = 1, kNo = 2, kTimeOut = -1, kBoxClosed = 0, kCancel = 100, kClose, kSessionEnd };

class FrmMainTest : public ::testing::Test {
public:
    void SetUp() override { Restart(); }

    // A fresh driver with these panels (identifier, enabled), a fresh window
    // and procedure.
    void Restart(std::initializer_list<std::pair<std::uint8_t, bool>> panels = {{0x31, true}}) {
        tavlosim::ResetInProcessDriver();
        for (const auto& [id, enabled] : panels) AttachPanel(id, enabled);
        view = FakeCalView();
        form = std::make_unique<frmMain>(ioctl, view);
        form->Form_Load();
    }
    tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
    void AttachPanel(std::uint8_t id, bool enabled = true) {
        tavlosim::PanelState* panel = Model().MutablePanel(static_cast<std::uint8_t>(Model().AttachPanel(id)));
        for (int set : {kWorkingSet, kSavedSet}) std::copy(kOriginal.begin(), kOriginal.end(), panel->calibration[set]);
        panel->pointdata = enabled ? 1 : 0;
    }
    // The driver lists the new panel before the last one: their numbers trade places.
    void AttachBeforeLast(std::uint8_t id) {
        AttachPanel(id);
        std::swap(*Model().MutablePanel(Model().PanelCount() - 1), *Model().MutablePanel(Model().PanelCount() - 2));
    }
    Cal Calibration(int set, std::uint8_t panel = 0) {
        Cal cal;
        std::copy_n(Model().Panel(panel)->calibration[set], 4, cal.begin());
        return cal;
    }
    // Requests other than the panel check, in order.
    Codes Requests() {
        Codes codes;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
            if (Model().LogAt(i).code != IOCTL_TAVLO_GET_STATUS) codes.push_back(Model().LogAt(i).code);
        }
        return codes;
    }
    void Refuse(std::uint32_t code) { Model().FailCode(code, 31); }  // ERROR_GEN_FAILURE
    std::string Help() { return view.texts[Control::textMessage]; }
    void Press(Pos at, int button = kLeftButton) { form->Form_MouseDown(button, 0, at.first, at.second); }
    // A press on the mark at the point `at` of the window.
    void PressOnMark(Pos at, int button = kLeftButton) {
        const Pos mark = view.at[Control::picPoint];
        form->picPoint_MouseDown(button, 0, at.first - mark.first, at.second - mark.second);
    }
    void StartTouch() { Press({7000, 7000}); }
    void FirstMark() { Press({2700, 2010}); }
    void SecondMark() { Press({12600, 9495}); }

    void Reach(Step step) {
        if (step == kSearching) Model().MutablePanel(0)->pointdata = 0;
        if (step == kUnreadAtFirstMark) Refuse(kGetSaved);  // the start values cannot be read
        if (step >= kSearching) StartTouch();
        Model().ClearFaults();
        if (step >= kAtSecondMark) FirstMark();
        if (step == kAfterLimitOver) FirstMark();  // the same point again: out of limits
        if (step == kAfterRefusedTrial) {
            Refuse(kSet);
            SecondMark();
            Model().ClearFaults();
        }
    }
    // Leaves the run with the log cleared, after `change`, and with the
    // request `refused` (if any) refused from then on. While asking, a window
    // event arrives with a Yes on its way, which it overrides.
    void Leave(Exit exit, bool asking, std::uint32_t refused, std::function<void()> change = {}) {
        const auto leave = [=, this] {
            Model().ClearLog();
            if (change) change();
            if (refused != 0) Refuse(refused);
            if (exit == kCancel) form->QuitButton_Click();
            if (exit == kClose) form->Form_QueryUnload();
            if (exit == kSessionEnd) form->Form_SessionEnd();
        };
        if (!asking) return leave();
        view.answer = [=, this] {
            leave();
            EXPECT_EQ(view.closes, 0);  // not while the box is still open
            view.whileAsking = Requests();
            return static_cast<std::int16_t>(exit < kCancel ? exit : kYes);
        };
        SecondMark();
    }
    // From now on no event reaches the panel, and the window closes once.
    void ExpectClosedForGood() {
        Model().ClearFaults();
        Model().ClearLog();
        Press({500, 500});
        form->SearchTimer_Timer();
        form->QuitButton_Click();
        form->Form_QueryUnload();
        form->Form_SessionEnd();
        EXPECT_EQ(view.closes, 1);
        EXPECT_TRUE(Requests().empty());
    }

    tavlosim::InProcessLoader loader;
    tavlo::TavloIoctl ioctl{loader, [](const std::string&) {}};
    FakeCalView view;
    std::unique_ptr<frmMain> form;
};

// The same fixture for tables of cases: one test per row.
template <typename Row>
class FrmMainCases : public FrmMainTest, public ::testing::WithParamInterface<Row> {};

std::string ExitName(Exit exit) {
    switch (exit) {
    case kYes:
        return "yes";
    case kNo:
        return "no";
    case kTimeOut:
        return "time-out";
    case kBoxClosed:
        return "box closed";
    case kCancel:
        return "cancel";
    case kClose:
        return "close";
    case kSessionEnd:
        return "session end";
    }
    return "exit " + std::to_string(exit);
}

// Each step's help line and mark; presses other than the left one change
// nothing, and a press on the mark is a press at the same point of the
// window. A second touch out of limits is simply made again. The result is
// in use while asking, and Yes saves it.
TEST_F(FrmMainTest, YesRunShowsEachStepAndSavesTheResultInBothSets) {
    EXPECT_EQ(view.at[Control::areaMessage], (Pos{5520, 4185}));  // 7680 - 2166, 5760 - 1575.6 on whole pixels
    EXPECT_EQ(view.at[Control::QuitButton], (Pos{7140, 5760}));   // 7680 - 547.5
    const struct {
        Pos touch;
        std::string help;
        Pos mark;
    } steps[] = {
        {{7000, 7000}, "1. Touch anywhere on the screen to start the Calibration Setting Program.", {0, 0}},
        {{2700, 2010}, "2. Touch the yellow '+' mark.", {2325, 1680}},  // 2560 - 240 on whole pixels
        {{2800, 9495}, "3. Touch the '+' mark again.", {12555, 9360}},  // x gain 102.4: out of limits
        {{12600, 9495}, "   The calibration is limit over!  Try again.", {12555, 9360}},
    };
    view.answer = [&] {
        EXPECT_EQ(Help(),
                  "4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a beginning.");
        EXPECT_FALSE(view.visible[Control::picPoint]);
        EXPECT_EQ(Calibration(kWorkingSet), kExampleResult);
        EXPECT_EQ(Calibration(kSavedSet), kOriginal);
        return std::int16_t{kYes};
    };
    for (const auto& s : steps) {
        const CalStep before = form->CalState;
        EXPECT_EQ(Help(), s.help);
        EXPECT_EQ(view.at[Control::picPoint], s.mark);
        EXPECT_EQ(view.visible[Control::picPoint] && view.enabled[Control::picPoint], before != CalStep::StartTouch);
        for (int button : {int{kRightButton}, int{kMiddleButton}, 0}) {
            Press(s.touch, button);
            PressOnMark(s.touch, button);
        }
        EXPECT_EQ(form->CalState, before);
        PressOnMark(s.touch);
    }
    EXPECT_EQ(view.topmost, 2);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kWorkingSet), kExampleResult);
    EXPECT_EQ(Calibration(kSavedSet), kExampleResult);
    EXPECT_EQ(view.asked, (std::vector<std::vector<std::string>>{
                              {"2", "3", "Yes", "No", "", "Calibration data save",
                               "Do you wish to save this calibration data?\r\n(Automatic timeout after 15 sec. )"}}));
    EXPECT_EQ(Requests(), (Codes{IOCTL_TAVLO_GET_POINTDATA_ENABLE, IOCTL_TAVLO_GET_PANEL_ID, kGetSaved, kSet, kSet,
                                 IOCTL_TAVLO_SET_CALIBRATION_ALT}));
}

// Wherever the run is left, the working set gets the saved values back (read
// again if unread at the start touch) and the program ends; only the session
// end writes before the question box has returned. A refused restore keeps
// the window open to say so (the session end cannot): the next Cancel tries
// once more and ends, whether the driver takes the write then or not.
enum Refusal { kTaken, kRefusedOnce, kRefusedForGood };
struct WayOut {
    std::string where = "";
    Step step = kBeforeStart;
    Cal working = {};  // the working set when the run is left
    Exit exit = kCancel;
    Refusal refusal = kTaken;
};

std::vector<WayOut> AllWaysOut() {
    const std::vector<Exit> events = {kCancel, kClose, kSessionEnd};
    // clang-format off
    const struct {
        const char* where = "";
        Step step = kBeforeStart;
        Cal working = {};
        std::vector<Exit> exits = {};
    } places[] = {
        {.where = "before the start touch", .step = kBeforeStart, .working = kOriginal, .exits = events},
        {.where = "waiting for a panel", .step = kSearching, .working = kOriginal, .exits = events},
        {.where = "first mark", .step = kAtFirstMark, .working = kIdentityCalibration, .exits = events},
        {.where = "first mark, start values unread", .step = kUnreadAtFirstMark, .working = kIdentityCalibration, .exits = events},
        {.where = "second mark", .step = kAtSecondMark, .working = kIdentityCalibration, .exits = events},
        {.where = "after a result out of limits", .step = kAfterLimitOver, .working = kIdentityCalibration, .exits = events},
        {.where = "after a refused trial write", .step = kAfterRefusedTrial, .working = kIdentityCalibration, .exits = events},
        {.where = "question", .step = kAsking, .working = kExampleResult, .exits = {kNo, kTimeOut, kBoxClosed, kClose, kSessionEnd}},
    };
    // clang-format on
    std::vector<WayOut> rows;
    for (const auto& place : places) {
        for (Exit exit : place.exits) {
            for (Refusal refusal : {kTaken, kRefusedOnce, kRefusedForGood}) {
                if (refusal != kTaken && place.working == kOriginal) continue;  // nothing to put back
                rows.push_back({place.where, place.step, place.working, exit, refusal});
            }
        }
    }
    return rows;
}

using FrmMainWayOutTest = FrmMainCases<WayOut>;

TEST_P(FrmMainWayOutTest, EveryWayOutPutsTheSavedValuesBackAndEnds) {
    const WayOut& c = GetParam();
    const bool unread = c.step == kUnreadAtFirstMark;
    const Codes restore = unread ? Codes{kGetSaved, kSet} : c.working != kOriginal ? Codes{kSet} : Codes{};
    Reach(c.step);
    Leave(c.exit, c.step == kAsking, c.refusal == kTaken ? 0 : restore.front());
    const bool staysOpen = c.refusal != kTaken && c.exit != kSessionEnd;
    EXPECT_EQ(view.closes, staysOpen ? 0 : 1);
    EXPECT_EQ(view.timerMs, 0u);
    EXPECT_EQ(view.closedQuestion, c.step == kAsking && c.exit >= kCancel);
    EXPECT_EQ(view.whileAsking, c.step == kAsking && c.exit == kSessionEnd ? Codes{kSet} : Codes{});
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);
    EXPECT_EQ(Calibration(kWorkingSet), c.refusal != kTaken ? c.working : kOriginal);
    const Codes requests = Requests();
    if (c.refusal != kTaken) {  // a write refused while asking is tried again when the box returns
        EXPECT_EQ(Help(), (unread ? "Can't read the saved calibration!8" : "Can't send the IOCTL!8") + kNotRestored);
        EXPECT_EQ(requests.empty() ? 0u : requests.back(), restore.front());
        EXPECT_TRUE(!staysOpen || !view.visible[Control::picPoint]);
    } else {
        EXPECT_EQ(requests, restore);
    }
    if (staysOpen) {
        if (c.refusal == kRefusedOnce) Model().ClearFaults();
        form->QuitButton_Click();
        EXPECT_EQ(view.closes, 1);
        EXPECT_EQ(Calibration(kWorkingSet), c.refusal == kRefusedOnce ? kOriginal : c.working);
    }
    ExpectClosedForGood();
}

std::string WayOutName(const ::testing::TestParamInfo<WayOut>& row) {
    const char* const refusals[] = {"", " restore refused once", " restore refused for good"};
    return suite_test::TestName(row.param.where + " " + ExitName(row.param.exit) + refusals[row.param.refusal]);
}

INSTANTIATE_TEST_SUITE_P(Gorvat, FrmMainWayOutTest, ::testing::ValuesIn(AllWaysOut()), WayOutName);

// A trial refused because the panel set changed (a panel attached after the
// first touch) is not repeated, and a refused save after Yes ends nothing:
// the window and the first touch stay, and the next press is a new second
// touch.
struct FailedSecondTouch {
    const char* what = "";
    const char* help = "";
    bool attach = false;
    std::uint32_t refused = 0;
    Cal working = {};
};

using FrmMainFailedSecondTouchTest = FrmMainCases<FailedSecondTouch>;

TEST_P(FrmMainFailedSecondTouchTest, FailedSecondTouchKeepsTheFirstForANewOne) {
    const FailedSecondTouch& c = GetParam();
    view.answer = [] { return std::int16_t{kYes}; };
    Reach(kAtSecondMark);
    if (c.attach) AttachPanel(0x32);
    if (c.refused != 0) Refuse(c.refused);
    SecondMark();
    EXPECT_EQ(Help(), c.help);
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(Calibration(kWorkingSet), c.working);
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);

    Model().ClearFaults();  // a failed call also refreshed the stamp
    Press({12700, 9600});
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(Calibration(kSavedSet), (Cal{10240, -88, 10118, -65}));
    EXPECT_EQ(Calibration(kWorkingSet), Calibration(kSavedSet));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gorvat, FrmMainFailedSecondTouchTest,
                         ::testing::Values(
        FailedSecondTouch{.what = "panel set changed", .help = "Can't send the IOCTL!3", .attach = true, .working = kIdentityCalibration},
        FailedSecondTouch{.what = "save refused", .help = "Can't send the IOCTL!8", .refused = IOCTL_TAVLO_SET_CALIBRATION_ALT, .working = kExampleResult}),
                         suite_test::RowName);
// clang-format on

// The search for an enabled panel waits on a timer instead of spinning, and
// reads the count and a fresh stamp on every try; the first enabled panel
// is the one calibrated.
TEST_F(FrmMainTest, PanelSearchWaitsOnATimerUntilAPanelIsEnabled) {
    Restart({{0x31, false}});
    StartTouch();
    const std::string waiting =
        "All panels(1) Disable. (Touch me!)0" + std::to_string(static_cast<std::int16_t>(Model().Stamp()));
    EXPECT_EQ(Help(), waiting);
    EXPECT_EQ(view.timerMs, kPanelSearchIntervalMs);
    AttachPanel(0x32, true);  // new count, new stamp
    StartTouch();             // presses meanwhile start no second search
    EXPECT_EQ(form->CalState, CalStep::StartTouch);
    form->SearchTimer_Timer();
    EXPECT_EQ(view.timerMs, 0u);
    EXPECT_EQ(Help(), waiting) << "the wait's text is not rewritten when it ends";
    EXPECT_EQ(form->CalState, CalStep::FirstMark);
    EXPECT_EQ(Calibration(kWorkingSet, 1), kIdentityCalibration);
    EXPECT_EQ(Calibration(kWorkingSet, 0), kOriginal);
}

// Panels attached or removed during the run shift the panel numbers and the
// driver's stamp. The calibrated panel (0x31, after the disabled 0x30) is
// found again by its identifier; no other panel is ever written. When it is
// gone, its working set went with it: Cancel or No ends as usual, while Yes
// cannot save and says so.
struct PanelChange {
    const char* what = "";
    int removed = -1;           // a panel removed first, -1 none
    std::uint8_t attached = 0;  // then a panel attached, 0 none
    bool before = false;        // and listed before the calibrated one
    bool gone = false;
};
// Where the run is when the panels change, and how it is left.
struct Way {
    Step step = kBeforeStart;
    Exit exit = kCancel;
};

using FrmMainPanelChangeTest = FrmMainCases<std::tuple<PanelChange, Way>>;

std::string PanelChangeName(const ::testing::TestParamInfo<std::tuple<PanelChange, Way>>& row) {
    return suite_test::TestName(std::string(std::get<0>(row.param).what) + " " + ExitName(std::get<1>(row.param).exit));
}

TEST_P(FrmMainPanelChangeTest, PanelSetChangedDuringTheRunIsFollowedByIdentifier) {
    const auto& [c, way] = GetParam();
    Restart({{0x30, false}, {0x31, true}});
    Reach(way.step);
    Leave(way.exit, way.step == kAsking, 0, [&] {
        if (c.removed >= 0) Model().RemovePanel(static_cast<std::uint8_t>(c.removed));
        if (c.attached != 0) c.before ? AttachBeforeLast(c.attached) : AttachPanel(c.attached);
    });
    const bool saved = way.exit == kYes && !c.gone;
    int calibrated = -1;
    for (std::uint8_t i = 0; i < Model().PanelCount(); ++i) {
        if (Model().Panel(i)->id == 0x31) calibrated = i;
        const Cal expected = i == calibrated && saved ? kExampleResult : kOriginal;
        EXPECT_EQ(Calibration(kWorkingSet, i), expected) << "panel " << int{i};
        EXPECT_EQ(Calibration(kSavedSet, i), expected) << "panel " << int{i};
    }
    EXPECT_EQ(Help().find("not restored"), std::string::npos);
    if (way.exit == kYes && c.gone) {
        // The result could not be saved: the window says so, with the
        // status the save got (3: the panel set changed), and stays.
        EXPECT_EQ(Help(), "Can't send the IOCTL!3");
        EXPECT_EQ(view.closes, 0);
        form->QuitButton_Click();
    }
    ExpectClosedForGood();
}

INSTANTIATE_TEST_SUITE_P(
    Gorvat, FrmMainPanelChangeTest,
    ::testing::Combine(
        ::testing::Values(
            PanelChange{.what = "panel attached after it", .attached = 0x32},
            PanelChange{.what = "panel attached before it", .attached = 0x32, .before = true},
            PanelChange{.what = "panel before it removed", .removed = 0},
            PanelChange{.what = "calibrated panel removed", .removed = 1, .gone = true},
            PanelChange{.what = "calibrated panel replaced by another", .removed = 1, .attached = 0x33, .gone = true}),
        ::testing::Values(Way{.step = kAtFirstMark, .exit = kCancel}, Way{.step = kAtSecondMark, .exit = kSessionEnd},
                          Way{.step = kAsking, .exit = kNo}, Way{.step = kAsking, .exit = kYes})),
    PanelChangeName);

// While the calibrated panel cannot be told apart from the others (their
// identifiers unreadable, or two panels reporting its identifier) nothing is
// written and the window stays open saying so; once it can, the next Cancel
// puts the start values back into it. Its own identifier unread at the start
// touch, it can never be told apart: no panel is taken for it.
struct NotToldApart {
    const char* what = "";
    std::uint8_t attached = 0;  // listed before the calibrated one
    std::uint32_t refused = 0;  // refused while the restore is made
    std::string status = "";
    bool idUnread = false;  // its identifier refused at the start touch
};

using FrmMainNotToldApartTest = FrmMainCases<NotToldApart>;

TEST_P(FrmMainNotToldApartTest, CalibratedPanelThatCannotBeToldApartIsNotWritten) {
    const NotToldApart& c = GetParam();
    Restart({{0x30, false}, {0x31, true}});
    if (c.idUnread) Refuse(IOCTL_TAVLO_GET_PANEL_ID);
    StartTouch();
    Model().ClearFaults();
    Leave(kCancel, false, c.refused, [&] { AttachBeforeLast(c.attached); });
    for (int cancel = 0; cancel < 2; ++cancel) {
        if (cancel == 1) form->QuitButton_Click();
        Model().ClearFaults();
        EXPECT_EQ(view.closes, cancel);
        EXPECT_EQ(Help(), "Can't send the IOCTL!" + c.status + kNotRestored);  // said by the first Cancel
        EXPECT_EQ(Calibration(kWorkingSet, 0), kOriginal);
        EXPECT_EQ(Calibration(kWorkingSet, 1), kOriginal);
        const bool toldApart = cancel == 1 && c.attached != 0x31 && !c.idUnread;
        EXPECT_EQ(Calibration(kWorkingSet, 2), toldApart ? kOriginal : kIdentityCalibration);
    }
    ExpectClosedForGood();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Gorvat, FrmMainNotToldApartTest,
    ::testing::Values(
        NotToldApart{.what = "identifiers unreadable", .attached = 0x32, .refused = IOCTL_TAVLO_GET_PANEL_ID, .status = "8"},
        NotToldApart{.what = "driver refusing requests", .attached = 0x32, .refused = IOCTL_TAVLO_GET_STATUS, .status = "8"},
        NotToldApart{.what = "two panels report its identifier", .attached = 0x31, .status = "3"},
        NotToldApart{.what = "its identifier unread, a panel 0 attached", .attached = 0x00, .status = "3", .idUnread = true}),
    suite_test::RowName);
// clang-format on

// Every reply to one request odd (no bytes, more than the buffer, or bytes
// no driver sends) from the start touch to the first mark, then Cancel once
// the driver answers properly: the saved set is untouched, and the working
// set holds start values, never zeros or the identity of the touches.
struct OddRequest {
    const char* what = "";
    std::uint32_t code = 0;
};
struct OddReply {
    const char* what = "";
    std::vector<std::uint8_t> bytes = {};  // 8 bytes: cut to the request's reply length
};

using FrmMainOddReplyTest = FrmMainCases<std::tuple<OddRequest, OddReply>>;

std::string OddReplyName(const ::testing::TestParamInfo<std::tuple<OddRequest, OddReply>>& row) {
    return suite_test::TestName(std::string(std::get<0>(row.param).what) + " " + std::get<1>(row.param).what);
}

TEST_P(FrmMainOddReplyTest, OddRepliesFromTheStartTouchToCancel) {
    const std::uint32_t code = std::get<0>(GetParam()).code;
    std::vector<std::uint8_t> bytes = std::get<1>(GetParam()).bytes;
    if (bytes.size() == 8 && code != kGetSaved) bytes.resize(code == IOCTL_TAVLO_GET_STATUS ? 3 : 1);
    ASSERT_TRUE(Model().OverrideReply(code, bytes.data(), static_cast<std::uint32_t>(bytes.size()), true));
    StartTouch();
    form->SearchTimer_Timer();
    FirstMark();
    Model().ClearFaults();
    form->QuitButton_Click();
    EXPECT_EQ(Calibration(kSavedSet), kOriginal);
    // A saved set of full length is taken as read and put back as read;
    // every other odd reply leaves the start values in place (a status
    // reply of full length moves the stamp back, which is handled as a
    // change of the panel set).
    const auto read = static_cast<std::int16_t>(bytes.size() == 8 ? bytes[0] * 0x101 : 0);
    const Cal asRead = {read, read, read, read};
    EXPECT_EQ(Calibration(kWorkingSet), bytes.size() == 8 ? asRead : kOriginal);
}

INSTANTIATE_TEST_SUITE_P(
    Gorvat, FrmMainOddReplyTest,
    ::testing::Combine(
        ::testing::Values(OddRequest{.what = "status", .code = IOCTL_TAVLO_GET_STATUS},
                          OddRequest{.what = "point data enable", .code = IOCTL_TAVLO_GET_POINTDATA_ENABLE},
                          OddRequest{.what = "saved calibration", .code = kGetSaved}),
        ::testing::Values(OddReply{.what = "empty", .bytes = {}},
                          OddReply{.what = "longer than asked", .bytes = std::vector<std::uint8_t>(12, 1)},
                          OddReply{.what = "A5 bytes", .bytes = std::vector<std::uint8_t>(8, 0xA5)},
                          OddReply{.what = "FF bytes", .bytes = std::vector<std::uint8_t>(8, 0xFF)})),
    OddReplyName);

}  // namespace
}  // namespace gorvat

// The interlock poll by poll, against the simulated driver behind the
// in-process Tavlo exports and the in-memory registry, with a recording
// view in place of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "inprocess_driver.h"
#include "memory_key_store.h"
#include "nystra_dlg.h"
#include "row_name.h"
#include "tavlo.h"

namespace nystra {
namespace {

const std::string kBase = "SOFTWARE\\ZR_EX_CONTROL\\";
const std::string kReleasedRows = "|" + std::string(kReleasedText) + "||";
enum { kNoRecord = -1 };  // touch modes: 0 Disable, 1 Interlock, 2 Supervisor
using Texts = std::vector<std::string>;

class RecordingView final : public NystraView {
public:
    void SetText(int control, const std::string& text) override { texts[control] = text; }
    void ShowIndicator(bool on) override { indicator = on; }
    void AddTrayIcon(int icon) override {
        trayIcon = icon, trayShown = true, ++trayAdds;
        if (auto during = std::exchange(duringTrayChange, nullptr)) during();
    }
    void SetTrayIcon(int icon) override {
        trayIcon = icon;
        // Runs once: a window message the system delivers while the icon
        // is added or changed (the notification area is asked synchronously).
        if (auto during = std::exchange(duringTrayChange, nullptr)) during();
    }
    void DeleteTrayIcon() override { trayShown = false; }
    void BroadcastUpdate() override { ++broadcasts; }
    void StartPollTimer(unsigned milliseconds) override { interval = milliseconds, ++timerStarts; }
    void StopPollTimer() override { interval = 0; }
    void ShowAndRestore() override { ++shown; }
    void BringToForeground() override { ++foreground; }
    void MinimizeAndHide() override {}
    void SetTopmost(bool on) override { topmost = on; }
    void ShowAbout() override { ++about; }
    bool Confirm(const std::string& question) override {
        questions.push_back(question);
        // Runs once: a nested question must not start it again.
        if (auto during = std::exchange(duringQuestion, nullptr)) during();
        return answer;
    }
    void EndDialog() override { ++ended; }

    std::map<int, std::string> texts;
    bool indicator = true, trayShown = false, topmost = false, answer = true;
    int trayIcon = 0, trayAdds = 0, broadcasts = 0, timerStarts = 0, shown = 0, foreground = 0, about = 0, ended = 0;
    unsigned interval = 0;  // 0 while the poll timer is stopped
    Texts questions;
    std::function<void()> duringQuestion;
    std::function<void()> duringTrayChange;
};

struct RecordingTrace final : TraceSink {
    void Write(const std::string& line) override { lines.push_back(line); }
    // The lines written since the last call.
    Texts Take() { return std::exchange(lines, Texts{}); }
    Texts lines;
};

class NystraTest : public ::testing::Test {
protected:
    // A fresh driver, registry, window and controller for each test and
    // each row of a table.
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        brimol::TheMemoryKeyStore().Clear();
        dlg.emplace(view, trace);
    }

    // Every test, and every row, closes the handles it opened.
    void TearDown() override { EXPECT_EQ(tavlosim::TheInProcessDriver().channel.OpenHandles(), 0); }

    static tavlosim::DeviceModel& model() { return tavlosim::TheInProcessDriver().model; }

    // One panel per mode, identifiers 0x11, 0x22, ...; a mode >= 0 gets a
    // record "Panel <i>".
    void Start(const std::vector<int>& modes) {
        auto& store = brimol::TheMemoryKeyStore();
        for (std::size_t i = 0; i < modes.size(); ++i) {
            const auto id = static_cast<std::uint8_t>(0x11 * (i + 1));
            model().AttachPanel(id);
            if (modes[i] == kNoRecord) continue;
            store.PutText(kBase + "ID" + std::to_string(id), "NAME", "Panel " + std::to_string(i));
            store.PutDword(kBase + "ID" + std::to_string(id), "TOUCH_OP", modes[i]);
        }
        dlg->OnInitDialog();
    }
    static void System(int timeOut, int timeEnable) {
        brimol::TheMemoryKeyStore().PutDword(kBase + "ALL", "TIMEOUT", timeOut);
        brimol::TheMemoryKeyStore().PutDword(kBase + "ALL", "TIMEENABLE", timeEnable);
    }
    static void Touch(const std::vector<int>& panels, bool on = true) {
        for (int p : panels) model().SetTouched(static_cast<std::uint8_t>(p), on);
    }

    // `count` timer events; each must leave the poll timer armed exactly once.
    unsigned Poll(int count = 1) {
        for (int i = 0; i < count; ++i) {
            const int starts = view.timerStarts;
            dlg->OnPollTimer();
            EXPECT_EQ(view.timerStarts, starts + 1);
        }
        return view.interval;
    }
    // A touch on `panel` seen by one poll.
    void TouchPoll(int panel) {
        Touch({panel});
        Poll();
        Touch({panel}, false);
    }

    // The panels' point data flags, "1" for enabled, in panel order.
    static std::string Pointdata() {
        std::string flags;
        for (std::uint8_t i = 0; i < model().PanelCount(); ++i) flags += model().Panel(i)->pointdata != 0 ? '1' : '0';
        return flags;
    }
    // The display rows: active id, active name, request id, request name.
    std::string Rows() {
        return view.texts[IDC_ACTIVE_ID] + "|" + view.texts[IDC_ACTIVE_NAME] + "|" + view.texts[IDC_REQUEST_ID] + "|" +
               view.texts[IDC_REQUEST_NAME];
    }
    // Most panels with point data at any moment of `action`, replayed from
    // the driver's log of point data writes.
    static int MostEnabledDuring(const std::function<void()>& action) {
        std::string flags = Pointdata();
        model().ClearLog();
        action();
        auto most = std::count(flags.begin(), flags.end(), '1');
        for (std::uint32_t i = 0; i < model().LogSize(); ++i) {
            const tavlosim::LogEntry& e = model().LogAt(i);
            if (e.code != IOCTL_TAVLO_SET_POINTDATA_ENABLE || e.error != 0 || e.in[0] >= flags.size()) continue;
            flags[e.in[0]] = e.in[1] != 0 ? '1' : '0';
            most = std::max(most, std::count(flags.begin(), flags.end(), '1'));
        }
        return static_cast<int>(most);
    }
    void ExpectReleased() {
        EXPECT_EQ(dlg->state, InterlockState::kReleased);
        EXPECT_EQ(dlg->usb.activeDevice, -1);
        EXPECT_EQ(Rows(), kReleasedRows);
        EXPECT_EQ(view.trayIcon, IDI_RELEASED);
        EXPECT_FALSE(view.indicator);
        EXPECT_EQ(Pointdata(), std::string(model().PanelCount(), '0'));
    }

    RecordingView view;
    RecordingTrace trace;
    std::optional<CNystraDlg> dlg;
};

// A table's fixture: the rows of `Row`, each a test of its own.
template <class Row>
class NystraRows : public NystraTest, public ::testing::WithParamInterface<Row> {};

// A touch while Released activates its panel unless the panel is Disable;
// while a panel is active, a touch on a Supervisor panel takes over, one on
// an Interlock panel is shown as a request (and the window with it), one on
// a Disable panel is ignored. Of two touches in one poll the lower panel
// number counts. Unplugging the active panel releases at the next poll,
// also when a new panel with point data on takes its place in the table;
// unplugging another keeps the active one, wherever it now sits in the
// table. Activation loads the time-out; changed rows are broadcast; a task
// bar created again gets the tray icon of the state. No moment of the poll
// has two panels with point data. Release disables every panel.
struct TouchCase {
    const char* what;
    std::vector<int> modes;    // 0 Disable, 1 Interlock, 2 Supervisor, kNoRecord
    std::vector<int> touched;  // panels touched before the poll
    int active = -1;           // made active before by the activate message; -1: Released
    int countdown = -1;        // after the poll; -1: not looked at
    std::string pointdata;     // after the poll, "1" for enabled
    std::string rows = kReleasedRows;
    bool request = false;   // a request shown
    int unplugged = -1;     // panel unplugged before the poll
    bool replaced = false;  // and a new one, enabled, attached in its place
};
using TouchesWhileReleasedAndWhileActive = NystraRows<TouchCase>;

TEST_P(TouchesWhileReleasedAndWhileActive, Poll) {
    const TouchCase& c = GetParam();
    System(5, 1);
    Start(c.modes);
    if (c.active >= 0) dlg->OnActivateRequest(static_cast<std::uintptr_t>(c.active));
    if (c.unplugged >= 0) model().RemovePanel(static_cast<std::uint8_t>(c.unplugged));
    if (c.replaced) model().MutablePanel(static_cast<std::uint8_t>(model().AttachPanel(0x44)))->pointdata = 1;
    Touch(c.touched);
    const std::string rows = Rows();
    const int broadcasts = view.broadcasts;
    const auto enabled = c.pointdata.find('1');
    const int active = enabled == std::string::npos ? -1 : static_cast<int>(enabled);
    unsigned interval = 0;
    EXPECT_LE(MostEnabledDuring([&] { interval = Poll(); }), 1);
    EXPECT_EQ(interval, active >= 0 ? kActivePollMs : kReleasedPollMs);
    EXPECT_EQ(Pointdata(), c.pointdata);
    EXPECT_EQ(dlg->usb.activeDevice, active);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(view.broadcasts, broadcasts + (c.rows != rows ? 1 : 0));
    EXPECT_EQ(view.indicator, c.request);
    dlg->OnTaskbarCreated();
    EXPECT_EQ(view.trayAdds, 2);
    EXPECT_EQ(view.trayIcon, c.request ? IDI_REQUEST : active >= 0 ? IDI_ACTIVE : IDI_RELEASED);
    const bool takenOver = c.unplugged < 0 && c.active >= 0 && active >= 0 && active != c.active;
    EXPECT_EQ(view.shown, c.request || takenOver ? 1 : 0);
    if (c.countdown >= 0) {
        EXPECT_EQ(dlg->countdown, c.countdown);
    }
    dlg->OnRelease();
    ExpectReleased();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Nystra, TouchesWhileReleasedAndWhileActive,
    ::testing::Values(
        TouchCase{.what = "first touch activates an Interlock panel", .modes = {1, 1, 1}, .touched = {1},
                  .countdown = 5, .pointdata = "010", .rows = "34|Panel 1||"},
        TouchCase{.what = "Supervisor panel", .modes = {2, 1}, .touched = {0}, .countdown = 5, .pointdata = "10", .rows = "17|Panel 0||"},
        TouchCase{.what = "two touches in one poll: lower number wins", .modes = {1, 2, 1}, .touched = {2, 1},
                  .countdown = 5, .pointdata = "010", .rows = "34|Panel 1||"},
        TouchCase{.what = "lower number is Disable: nothing this poll", .modes = {1, 0, 2}, .touched = {1, 2}, .pointdata = "000"},
                      TouchCase{.what = "Disable panel", .modes = {0, 1}, .touched = {0}, .pointdata = "00"},
        TouchCase{.what = "unknown mode 3 acts as Interlock", .modes = {3}, .touched = {0}, .countdown = 5, .pointdata = "1", .rows = "17|Panel 0||"},
        TouchCase{.what = "no record reads as Interlock", .modes = {kNoRecord, kNoRecord}, .touched = {1}, .countdown = 5, .pointdata = "01", .rows = "34|||"},
                      TouchCase{.what = "no touch", .modes = {1, 1}, .touched = {}, .pointdata = "00"},
        TouchCase{.what = "Supervisor takes over", .modes = {1, 2, 1}, .touched = {1}, .active = 2, .countdown = 5, .pointdata = "010", .rows = "34|Panel 1||"},
        TouchCase{.what = "Interlock: a request only", .modes = {1, 1}, .touched = {1}, .active = 0, .countdown = 4,
                  .pointdata = "10", .rows = "17|Panel 0|34|Panel 1", .request = true},
        TouchCase{.what = "Disable: ignored", .modes = {1, 0}, .touched = {1}, .active = 0, .countdown = 4, .pointdata = "10", .rows = "17|Panel 0||"},
        TouchCase{.what = "active panel first: countdown reloaded, other dropped", .modes = {1, 1}, .touched = {0, 1},
                  .active = 0, .countdown = 5, .pointdata = "10", .rows = "17|Panel 0||"},
        TouchCase{.what = "other panel first: a request, countdown runs", .modes = {1, 1}, .touched = {0, 1},
                  .active = 1, .countdown = 4, .pointdata = "01", .rows = "34|Panel 1|17|Panel 0", .request = true},
        TouchCase{.what = "active panel unplugged", .modes = {1, 1, 1}, .touched = {}, .active = 1, .pointdata = "00", .unplugged = 1},
        TouchCase{.what = "active panel replaced by an enabled one", .modes = {1, 1}, .touched = {}, .active = 1,
                  .pointdata = "00", .unplugged = 1, .replaced = true},
        TouchCase{.what = "panel before the active one unplugged", .modes = {1, 1, 1}, .touched = {}, .active = 1,
                  .countdown = 4, .pointdata = "10", .rows = "34|Panel 1||", .unplugged = 0},
        TouchCase{.what = "panel after the active one unplugged", .modes = {1, 1, 1}, .touched = {}, .active = 1,
                  .countdown = 4, .pointdata = "01", .rows = "34|Panel 1||", .unplugged = 2}),
    suite_test::RowName);
// clang-format on

// TIMEOUT is read at activation, TIMEENABLE at every poll: the poll at
// which the active panel is released (0: still active after 12 polls). A
// touch on the active panel restarts the time-out; with time release off,
// an odd TIMEOUT (0 or less) does not release.
struct TimeCase {
    const char* what;
    int timeOut, timeEnable;
    int touchedAtPoll = 0;  // the active panel is touched at that poll
    int enabledAtPoll = 0;  // TIMEENABLE 1 (and TIMEOUT 10) written before that poll
    int releasedAtPoll;
};
using TimeRelease = NystraRows<TimeCase>;

TEST_P(TimeRelease, ReleasesAtItsPoll) {
    const TimeCase& c = GetParam();
    System(c.timeOut, c.timeEnable);
    Start({1, 1});
    TouchPoll(1);
    int releasedAt = 0;
    for (int poll = 1; poll <= 12 && releasedAt == 0; ++poll) {
        Touch({1}, poll == c.touchedAtPoll);
        if (poll == c.enabledAtPoll) System(10, 1);
        if (Poll() == kReleasedPollMs) releasedAt = poll;
    }
    EXPECT_EQ(releasedAt, c.releasedAtPoll);
    if (releasedAt != 0) ExpectReleased();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Nystra, TimeRelease,
    ::testing::Values(
        TimeCase{.what = "TIMEOUT 3", .timeOut = 3, .timeEnable = 1, .releasedAtPoll = 3},
        TimeCase{.what = "time release off", .timeOut = 3, .timeEnable = 0, .releasedAtPoll = 0},
        TimeCase{.what = "TIMEOUT 0 releases at the first poll", .timeOut = 0, .timeEnable = 1, .releasedAtPoll = 1},
        TimeCase{.what = "TIMEOUT -5 with time release off", .timeOut = -5, .timeEnable = 0, .releasedAtPoll = 0},
        TimeCase{.what = "a touch restarts the time-out", .timeOut = 3, .timeEnable = 1, .touchedAtPoll = 2, .releasedAtPoll = 5},
        TimeCase{.what = "switched on later: the TIMEOUT of the activation counts", .timeOut = 2, .timeEnable = 0, .enabledAtPoll = 6, .releasedAtPoll = 7},
        TimeCase{.what = "TIMEOUT 0 with time release off", .timeOut = 0, .timeEnable = 0, .releasedAtPoll = 0}),
    suite_test::RowName);
// clang-format on

// A panel that arrives while "Release" disables the panels, with point
// data on, is released too, and the table holds it afterwards.
TEST_F(NystraTest, PanelArrivingDuringTheReleaseIsReleased) {
    Start({1, 1});
    dlg->OnActivateRequest(1);
    auto& channel = tavlosim::TheInProcessDriver().channel;
    channel.afterRequest = [&](std::uint32_t code) {
        if (code != IOCTL_TAVLO_SET_POINTDATA_ENABLE || model().PanelCount() == 3) return;
        model().MutablePanel(static_cast<std::uint8_t>(model().AttachPanel(0x33)))->pointdata = 1;
    };
    dlg->OnRelease();
    channel.afterRequest = nullptr;
    ExpectReleased();
    EXPECT_EQ(dlg->usb.deviceCount, 3);
}

// The number comes from another program: only a panel of the table counts
// (panel 0, a Disable panel, too), not the number of panels, one within
// the table's five entries, -1, nor a wide value whose low half is a panel.
struct ActivateCase {
    const char* what;
    std::uintptr_t wParam;
    std::string pointdata;  // "00": nothing reaches the driver
};
using ActivateMessage = NystraRows<ActivateCase>;

TEST_P(ActivateMessage, ActsOnPanelsOfTheTableOnly) {
    const ActivateCase& c = GetParam();
    Start({0, 1});
    model().ClearLog();
    dlg->OnActivateRequest(c.wParam);
    EXPECT_EQ(Pointdata(), c.pointdata);
    EXPECT_EQ(dlg->state, c.pointdata == "00" ? InterlockState::kReleased : InterlockState::kActive);
    EXPECT_EQ(model().LogSize() == 0, c.pointdata == "00");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Nystra, ActivateMessage,
    ::testing::Values(ActivateCase{.what = "panel 0 (Disable)", .wParam = 0, .pointdata = "10"},
                      ActivateCase{.what = "panel 1", .wParam = 1, .pointdata = "01"},
                      ActivateCase{.what = "the number of panels", .wParam = 2, .pointdata = "00"},
                      ActivateCase{.what = "within the table beyond the panels", .wParam = 4, .pointdata = "00"},
                      ActivateCase{.what = "minus one", .wParam = static_cast<std::uintptr_t>(-1), .pointdata = "00"},
        ActivateCase{.what = "wide value with panel 1 in its low half", .wParam = static_cast<std::uintptr_t>(0x100000001ull), .pointdata = "00"}),
    suite_test::RowName);
// clang-format on

// After a panel change the enable fails on the table's stale change stamp:
// no panel is shown as active, and the rebuilt table sees the next touch.
TEST_F(NystraTest, ActivateMessageAfterAPanelChange) {
    Start({1, 1});
    dlg->OnActivateRequest(1);
    model().AttachPanel(0x33);
    dlg->OnActivateRequest(0);
    ExpectReleased();
    TouchPoll(2);
    EXPECT_EQ(Pointdata(), "001");
    EXPECT_EQ(Rows(), "51|||");
}

// The tray icon's clicks and the close box: a left press brings the
// window forward; a right double-click or the close box shows the window
// and asks, and OK ends the program. Clicks that arrive while the question
// is open are dropped.
enum class Click { kTrayLeftPress, kTrayRightDoubleClick, kCloseBox };
struct ClickCase {
    const char* what;
    Click click;
    std::string question;  // "": none asked
    bool ok;               // the answer
};
using TrayIconAndCloseBox = NystraRows<ClickCase>;

TEST_P(TrayIconAndCloseBox, AskBeforeTheEnd) {
    const ClickCase& c = GetParam();
    view.answer = c.ok;
    if (c.click != Click::kCloseBox) {
        view.duringQuestion = [&] {
            dlg->OnTrayClick();
            dlg->OnTrayRightDoubleClick();
        };
    }
    switch (c.click) {
    case Click::kTrayLeftPress:
        dlg->OnTrayClick();
        break;
    case Click::kTrayRightDoubleClick:
        dlg->OnTrayRightDoubleClick();
        break;
    case Click::kCloseBox:
        dlg->OnClose();
        break;
    }
    const bool asked = !c.question.empty();
    EXPECT_EQ(view.foreground, c.click == Click::kTrayLeftPress ? 1 : 0);
    EXPECT_EQ(view.shown, asked ? 1 : 0);
    EXPECT_EQ(view.questions, asked ? Texts{c.question} : Texts{});
    EXPECT_EQ(view.ended, asked && c.ok ? 1 : 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Nystra, TrayIconAndCloseBox,
    ::testing::Values(
        ClickCase{.what = "tray left press, OK", .click = Click::kTrayLeftPress, .question = "", .ok = true},
        ClickCase{.what = "tray left press, Cancel", .click = Click::kTrayLeftPress, .question = "", .ok = false},
        ClickCase{.what = "tray right double-click, OK", .click = Click::kTrayRightDoubleClick, .question = kStopQuestion, .ok = true},
        ClickCase{.what = "tray right double-click, Cancel", .click = Click::kTrayRightDoubleClick, .question = kStopQuestion, .ok = false},
        ClickCase{.what = "close box, OK", .click = Click::kCloseBox, .question = kCloseQuestion, .ok = true},
        ClickCase{.what = "close box, Cancel", .click = Click::kCloseBox, .question = kCloseQuestion, .ok = false}),
    suite_test::RowName);
// clang-format on

// The about command shows the about box; "Always Top" switches the window
// between topmost and ordinary.
TEST_F(NystraTest, SystemMenu) {
    dlg->OnAboutCommand();
    EXPECT_EQ(view.about, 1);
    Start({1});
    for (bool topmost : {false, true}) {
        dlg->OnAlwaysTopCommand();
        EXPECT_EQ(view.topmost, topmost);
    }
}

// The start takes exclusive control with every panel disabled and the
// window on top; idle polls leave the registry alone. Whatever the table
// holds, releasing leaves no panel of the driver with point data: not one
// after a touch read that keeps failing, and not one beyond the four the
// table lists. On exit or at the end of the session, or on a stop request,
// every panel gets its point data back (after a rebuilt table when the
// panel set changed since the last poll) and the start-up mode is
// restored, without a question; nothing acts afterwards, a second stop
// request neither.
enum class End { kWindowDestroyed, kSessionEnds, kPanelSetChanged, kStopRequested };
struct EndCase {
    const char* what;
    int panels;
    int active = -1;  // made active by the activate message, -1 for none
    bool touchReadsFail = false;
    std::string afterPoll;
    End end;
};
using StartReleaseAndEndReachEveryPanelOfTheDriver = NystraRows<EndCase>;

TEST_P(StartReleaseAndEndReachEveryPanelOfTheDriver, Run) {
    const EndCase& c = GetParam();
    Start(std::vector<int>(static_cast<std::size_t>(c.panels), 1));  // attached while start-up mode 1: enabled
    ExpectReleased();
    EXPECT_EQ(model().Modes().startup, 0);
    EXPECT_TRUE(view.trayShown && view.topmost);
    EXPECT_EQ(view.interval, kReleasedPollMs);
    if (c.active >= 0) dlg->OnActivateRequest(static_cast<std::uintptr_t>(c.active));
    if (c.touchReadsFail) model().FailCode(IOCTL_TAVLO_CHECK_TOUCH, 31);
    brimol::TheMemoryKeyStore().ResetCounts();
    Poll(3);
    EXPECT_EQ(Pointdata(), c.afterPoll);
    if (c.active < 0) {
        EXPECT_EQ(brimol::TheMemoryKeyStore().counts().opens, 0);
    }
    if (c.touchReadsFail) ExpectReleased();
    model().ClearFaults();
    if (c.end == End::kPanelSetChanged) model().RemovePanel(0);
    if (c.end == End::kSessionEnds) {
        dlg->OnEndSession(false);  // the session goes on: nothing happens
        EXPECT_EQ(model().Modes().startup, 0);
        dlg->OnEndSession(true);
    } else if (c.end == End::kStopRequested) {
        dlg->OnStopRequest();
    } else {
        dlg->OnDestroy();
    }
    const int ended = c.end == End::kSessionEnds || c.end == End::kStopRequested ? 1 : 0;
    EXPECT_EQ(Pointdata(), std::string(model().PanelCount(), '1'));
    EXPECT_EQ(model().Modes().startup, 1);
    EXPECT_EQ(view.ended, ended);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_FALSE(view.trayShown);
    EXPECT_EQ(view.interval, 0u);
    model().ClearLog();
    dlg->OnDestroy();
    dlg->OnPollTimer();
    dlg->OnActivateRequest(0);
    dlg->OnRelease();
    dlg->OnTaskbarCreated();
    dlg->OnStopRequest();
    EXPECT_EQ(model().LogSize(), 0u);
    EXPECT_EQ(view.ended, ended);
    EXPECT_FALSE(view.trayShown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Nystra, StartReleaseAndEndReachEveryPanelOfTheDriver,
                         ::testing::Values(
        EndCase{.what = "touch reads fail for good while panel 1 is active", .panels = 3, .active = 1,
                .touchReadsFail = true, .afterPoll = "000", .end = End::kWindowDestroyed},
        EndCase{.what = "touch reads fail for good while panel 0 is active", .panels = 3, .active = 0,
                .touchReadsFail = true, .afterPoll = "000", .end = End::kSessionEnds},
        EndCase{.what = "stop request while panel 1 is active", .panels = 3, .active = 1, .afterPoll = "010", .end = End::kStopRequested},
        EndCase{.what = "six panels enabled at start", .panels = 6, .afterPoll = "000000", .end = End::kWindowDestroyed},
        EndCase{.what = "six panels, the fourth made active", .panels = 6, .active = 3, .afterPoll = "000100", .end = End::kPanelSetChanged},
        EndCase{.what = "six panels, touch reads failing", .panels = 6, .active = 2, .touchReadsFail = true, .afterPoll = "000000", .end = End::kSessionEnds}),
                         suite_test::RowName);
// clang-format on

// The end of the session, or a stop request sent rather than posted, can
// be delivered while the start adds the tray icon or a poll changes it (the
// notification area is asked synchronously, and the waiting thread answers
// sent messages). The end then is final: the rest of the start (its
// release), or of that poll (the time-out of the panel whose request
// display just ended, a Supervisor touch) neither disables nor activates a
// panel, nor traces a release after the end.
struct LateEndCase {
    const char* what;
    int timeOut;               // -1: the end comes during the start
    std::vector<int> touched;  // in the poll that ends the request display
    bool stopRequest;          // else the session ends
};
using AnEndDeliveredWhileTheTrayIconChangesIsFinal = NystraRows<LateEndCase>;

TEST_P(AnEndDeliveredWhileTheTrayIconChangesIsFinal, Run) {
    const LateEndCase& c = GetParam();
    const auto end = [&] { c.stopRequest ? dlg->OnStopRequest() : dlg->OnEndSession(true); };
    if (c.timeOut < 0) {
        view.duringTrayChange = end;
        Start({1, 1, 2});  // attached while start-up mode 1: enabled
        dlg->OnPollTimer();
        EXPECT_EQ(view.ended, 1);
        EXPECT_EQ(Pointdata(), "111");
        EXPECT_EQ(model().Modes().startup, 1);
        return;
    }
    System(c.timeOut, 1);
    Start({1, 1, 2});
    dlg->OnActivateRequest(0);
    TouchPoll(1);  // a request from panel 1, shown for ten polls
    Poll(kRequestPolls - 1);
    EXPECT_EQ(dlg->requestTicks, 1);
    view.duringTrayChange = end;
    Touch(c.touched);
    trace.Take();
    Poll();
    EXPECT_EQ(view.ended, 1);
    EXPECT_EQ(Pointdata(), "111");
    EXPECT_EQ(model().Modes().startup, 1);
    const Texts lines = trace.Take();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("Nystra: ended (", 0), 0u) << lines.back();
}

INSTANTIATE_TEST_SUITE_P(
    Nystra, AnEndDeliveredWhileTheTrayIconChangesIsFinal,
    ::testing::Values(
        LateEndCase{.what = "start, session end", .timeOut = -1, .touched = {}, .stopRequest = false},
        LateEndCase{.what = "start, stop request", .timeOut = -1, .touched = {}, .stopRequest = true},
        LateEndCase{.what = "time-out, session end", .timeOut = 11, .touched = {}, .stopRequest = false},
        LateEndCase{.what = "time-out, stop request", .timeOut = 11, .touched = {}, .stopRequest = true},
        LateEndCase{.what = "Supervisor touch, session end", .timeOut = 30, .touched = {2}, .stopRequest = false},
        LateEndCase{.what = "Supervisor touch, stop request", .timeOut = 30, .touched = {2}, .stopRequest = true}),
    suite_test::RowName);

// A driver whose every reply to one request is odd (no bytes, more than the
// buffer, or bytes no driver sends) while a panel is touched: each poll ends
// in a defined state with at most one panel enabled and the table within
// the driver's panels, and once the driver answers properly again the
// controller rebuilds its table and goes on.
struct OddRequest {
    const char* what;
    std::uint32_t code;
};
struct OddReply {
    const char* what;
    std::vector<std::uint8_t> bytes;
};
using OddRepliesLeaveADefinedStateAndPass = NystraRows<std::tuple<OddRequest, OddReply>>;

TEST_P(OddRepliesLeaveADefinedStateAndPass, Run) {
    const auto& [request, reply] = GetParam();
    Start({2, 1});
    Touch({1});
    ASSERT_TRUE(
        model().OverrideReply(request.code, reply.bytes.data(), static_cast<std::uint32_t>(reply.bytes.size()), true));
    for (int poll = 0; poll < 4; ++poll) {
        EXPECT_LE(MostEnabledDuring([&] { Poll(); }), 1);
        const int count = dlg->usb.deviceCount, active = dlg->usb.activeDevice;
        EXPECT_TRUE(count >= 0 && count <= 2) << count;
        EXPECT_TRUE(dlg->state == InterlockState::kActive ? active >= 0 && active < count : active == -1) << active;
    }
    model().ClearFaults();
    Touch({1}, false);
    Poll(2);
    EXPECT_EQ(dlg->usb.deviceCount, 2);
    TouchPoll(0);  // panel 0 is a Supervisor: it takes over whatever was active
    EXPECT_EQ(Pointdata(), "10");
}

INSTANTIATE_TEST_SUITE_P(
    Nystra, OddRepliesLeaveADefinedStateAndPass,
    ::testing::Combine(::testing::Values(OddRequest{.what = "status", .code = IOCTL_TAVLO_GET_STATUS},
                                         OddRequest{.what = "panel id", .code = IOCTL_TAVLO_GET_PANEL_ID},
                                         OddRequest{.what = "point data", .code = IOCTL_TAVLO_GET_POINTDATA_ENABLE},
                                         OddRequest{.what = "touch", .code = IOCTL_TAVLO_CHECK_TOUCH}),
                       ::testing::Values(OddReply{.what = "no bytes", .bytes = {}},
                                         OddReply{.what = "eleven bytes", .bytes = std::vector<std::uint8_t>(11, 0)},
                                         OddReply{.what = "A5", .bytes = {0xA5, 0xA5, 0xA5}},
                                         OddReply{.what = "FF", .bytes = {0xFF, 0xFF, 0xFF}})),
    [](const ::testing::TestParamInfo<std::tuple<OddRequest, OddReply>>& row) {
        return suite_test::TestName(std::string(std::get<0>(row.param).what) + " " + std::get<1>(row.param).what);
    });

// The trace tells each decision once, in order: a request while it stays
// shown is not told again, nor a lost driver every second, nor a Release
// press with no panel active.
TEST_F(NystraTest, TraceTellsEachDecisionOnce) {
    const std::string a = "panel 0 (id 17, \"Panel 0\")", b = "panel 1 (id 34, \"Panel 1\")",
                      c = "panel 2 (id 51, \"Panel 2\")";
    auto& channel = tavlosim::TheInProcessDriver().channel;
    System(2, 0);
    Start({1, 2, 1});
    const struct {
        const char* what;
        std::function<void()> action;
        Texts lines;
    } steps[] = {
        {"start", [] {}, {"Nystra: started: 3 panels, every panel disabled, start-up mode 0"}},
        {"touch while released", [&] { TouchPoll(0); }, {"Nystra: activated " + a}},
        {"Interlock touch held for three polls",
         [&] {
             Touch({2});
             Poll(3);
             Touch({2}, false);
         },
         {"Nystra: request from " + c + " while " + a + " is active"}},
        {"touched again once the request faded",
         [&] {
             Poll(kRequestPolls);
             TouchPoll(2);
         },
         {"Nystra: request from " + c + " while " + a + " is active"}},
        {"Supervisor touch", [&] { TouchPoll(1); }, {"Nystra: " + b + " took over from " + a}},
        {"Release pressed twice",
         [&] { dlg->OnRelease(), dlg->OnRelease(); },
         {"Nystra: released " + b + " by the user"}},
        {"activate message twice",
         [&] { dlg->OnActivateRequest(0), dlg->OnActivateRequest(0); },
         {"Nystra: activated " + a + " on ZRM450_NYSTRA_ACTIVE",
          "Nystra: activated " + a + " on ZRM450_NYSTRA_ACTIVE"}},
        {"activate message for another panel",
         [&] { dlg->OnActivateRequest(2); },
         {"Nystra: " + c + " took over from " + a + " on ZRM450_NYSTRA_ACTIVE"}},
        {"time release switched on",
         [&] {
             System(2, 1);
             Poll(3);
         },
         {"Nystra: released " + c + " by the time-out (2 s without a touch)"}},
        {"driver gone for three polls with a panel active",
         [&] {
             TouchPoll(1);
             channel.deviceMissing = true;
             Poll(3);
         },
         {"Nystra: activated " + b, "Nystra: driver lost (status 1: the driver cannot be opened)",
          "Nystra: released " + b + ": driver lost"}},
        {"driver back", [&] { channel.deviceMissing = false, Poll(3); }, {"Nystra: driver regained: 3 panels"}},
        {"every panel unplugged",
         [&] { model().RemovePanel(0), model().RemovePanel(0), model().RemovePanel(0), Poll(3); },
         {"Nystra: driver lost (status 2: no panel)"}},
        {"a panel back", [&] { model().AttachPanel(0x22), Poll(3); }, {"Nystra: driver regained: 1 panel"}},
        {"the active panel unplugged",
         [&] {
             TouchPoll(0);
             model().RemovePanel(0);
             model().AttachPanel(0x11);
             Poll();
         },
         {"Nystra: activated panel 0 (id 34, \"Panel 1\")",
          "Nystra: released panel 0 (id 34, \"Panel 1\"): it was unplugged"}},
        {"stop request",
         [&] { TouchPoll(0), dlg->OnStopRequest(), dlg->OnDestroy(); },
         {"Nystra: activated panel 0 (id 17, \"Panel 0\")",
          "Nystra: ended (stop request) while panel 0 (id 17, \"Panel 0\") was active: every panel enabled, "
          "start-up mode 1"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.action();
        EXPECT_EQ(trace.Take(), step.lines);
    }
}

// The end's line names what ended the interlock, and says when the panels
// could not be given back.
struct TraceEndCase {
    const char* what;
    void (*end)(CNystraDlg& dlg);
    std::string line;
};
using TraceOfTheEnd = NystraRows<TraceEndCase>;

TEST_P(TraceOfTheEnd, NamesTheCause) {
    Start({1, 1});
    trace.Take();
    GetParam().end(*dlg);
    EXPECT_EQ(trace.Take(), Texts{GetParam().line});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Nystra, TraceOfTheEnd,
    ::testing::Values(
        TraceEndCase{.what = "close question, OK", .end = [](CNystraDlg& d) {d.OnClose(), d.OnDestroy();},
                     .line = "Nystra: ended (closed by the user): every panel enabled, start-up mode 1"},
        TraceEndCase{.what = "tray question, OK",
                     .end = [](CNystraDlg& d) {d.OnTrayRightDoubleClick(), d.OnDestroy();},
                     .line = "Nystra: ended (stopped by the user from the notification area): every panel enabled, " "start-up mode 1"},
        TraceEndCase{.what = "session end", .end = [](CNystraDlg& d) {d.OnEndSession(true), d.OnDestroy();},
                     .line = "Nystra: ended (the Windows session ends): every panel enabled, start-up mode 1"},
        TraceEndCase{.what = "window destroyed", .end = [](CNystraDlg& d) {d.OnDestroy();},
                     .line = "Nystra: ended (window destroyed): every panel enabled, start-up mode 1"},
        TraceEndCase{.what = "driver gone",
                     .end = [](CNystraDlg& d) {tavlosim::TheInProcessDriver().channel.deviceMissing = true; d.OnDestroy();},
                     .line = "Nystra: ended (window destroyed): enabling the panels failed (status 1: the driver " "cannot be opened), start-up mode not set (status 1: the driver cannot be opened)"}),
    suite_test::RowName);
// clang-format on

// A record's name with line breaks, quotes, bytes outside ASCII or more
// than the trace shows keeps each line one bounded line of printable ASCII.
struct OddNameCase {
    const char* what;
    std::string name;
};
using TraceOfOddNamesStaysOneLine = NystraRows<OddNameCase>;

TEST_P(TraceOfOddNamesStaysOneLine, Run) {
    const std::string& name = GetParam().name;
    Start({1, 1});
    brimol::TheMemoryKeyStore().PutText(kBase + "ID17", "NAME", name);
    brimol::TheMemoryKeyStore().PutText(kBase + "ID34", "NAME", name);
    dlg->OnActivateRequest(0);
    TouchPoll(1);
    dlg->OnRelease();
    const Texts lines = trace.Take();
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), kTraceLineMax);
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char ch) { return ch >= 0x20 && ch < 0x7F; })) << line;
    }
    EXPECT_EQ(lines[2].substr(lines[2].size() - 10), " is active");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Nystra, TraceOfOddNamesStaysOneLine,
                         ::testing::Values(OddNameCase{.what = "line break", .name = "Line\r\nB"},
        OddNameCase{.what = "63 bytes outside ASCII", .name = std::string(63, '\xe4')},
                                           OddNameCase{.what = "quotes and a backslash", .name = "\"quoted\" \\ name"},
                                           OddNameCase{.what = "63 deletes", .name = std::string(63, '\x7f')}),
                         suite_test::RowName);
// clang-format on

}  // namespace
}  // namespace nystra

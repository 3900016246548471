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
    // A fresh driver, registry, window and controller; table-driven tests
    // call it again for each case.
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        brimol::TheMemoryKeyStore().Clear();
        dlg.reset();
        view = RecordingView();
        trace = RecordingTrace();
        dlg.emplace(view, trace);
    }

    // Every row of a table, and every test, closes the handles it opened.
    void TearDown() override { EXPECT_EQ(tavlosim::TheInProcessDriver().channel.OpenHandles(), 0); }
    void NextRow() { TearDown(), SetUp(); }

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
TEST_F(NystraTest, TouchesWhileReleasedAndWhileActive) {
    // modes: 0 Disable, 1 Interlock, 2 Supervisor; active -1: Released; the
    // countdown of 5 (-1: none); a request shown; a panel unplugged first,
    // and a new one, enabled, attached in its place.
    struct Case {
        const char* what;
        std::vector<int> modes, touched;
        int active, countdown;
        std::string pointdata, rows;
        bool request;
        int unplugged = -1;
        bool replaced = false;
    };
    const Case cases[] = {
        {"first touch activates an Interlock panel", {1, 1, 1}, {1}, -1, 5, "010", "34|Panel 1||", false},
        {"Supervisor panel", {2, 1}, {0}, -1, 5, "10", "17|Panel 0||", false},
        {"two touches in one poll: lower number wins", {1, 2, 1}, {2, 1}, -1, 5, "010", "34|Panel 1||", false},
        {"lower number is Disable: nothing this poll", {1, 0, 2}, {1, 2}, -1, -1, "000", kReleasedRows, false},
        {"Disable panel", {0, 1}, {0}, -1, -1, "00", kReleasedRows, false},
        {"unknown mode 3 acts as Interlock", {3}, {0}, -1, 5, "1", "17|Panel 0||", false},
        {"no record reads as Interlock", {kNoRecord, kNoRecord}, {1}, -1, 5, "01", "34|||", false},
        {"no touch", {1, 1}, {}, -1, -1, "00", kReleasedRows, false},
        {"Supervisor takes over", {1, 2, 1}, {1}, 2, 5, "010", "34|Panel 1||", false},
        {"Interlock: a request only", {1, 1}, {1}, 0, 4, "10", "17|Panel 0|34|Panel 1", true},
        {"Disable: ignored", {1, 0}, {1}, 0, 4, "10", "17|Panel 0||", false},
        {"active panel first: countdown reloaded, other dropped", {1, 1}, {0, 1}, 0, 5, "10", "17|Panel 0||", false},
        {"other panel first: a request, countdown runs", {1, 1}, {0, 1}, 1, 4, "01", "34|Panel 1|17|Panel 0", true},
        {"active panel unplugged", {1, 1, 1}, {}, 1, -1, "00", kReleasedRows, false, 1},
        {"active panel replaced by an enabled one", {1, 1}, {}, 1, -1, "00", kReleasedRows, false, 1, true},
        {"panel before the active one unplugged", {1, 1, 1}, {}, 1, 4, "10", "34|Panel 1||", false, 0},
        {"panel after the active one unplugged", {1, 1, 1}, {}, 1, 4, "01", "34|Panel 1||", false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
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
}

// TIMEOUT is read at activation, TIMEENABLE at every poll.
TEST_F(NystraTest, TimeRelease) {
    // A touch on the active panel at `touchedAtPoll` restarts the time-out;
    // TIMEENABLE 1 (and TIMEOUT 10) are written before poll `enabledAtPoll`;
    // releasedAtPoll 0: still active after 12 polls. With time release off,
    // an odd TIMEOUT (0 or less) does not release.
    struct Case {
        int timeOut, timeEnable, touchedAtPoll, enabledAtPoll, releasedAtPoll;
    };
    const Case cases[] = {{3, 1, 0, 0, 3}, {3, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {-5, 0, 0, 0, 0},
                          {3, 1, 2, 0, 5}, {2, 0, 0, 6, 7}, {0, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("TIMEOUT " + std::to_string(c.timeOut) + " TIMEENABLE " + std::to_string(c.timeEnable));
        NextRow();
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
}

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
TEST_F(NystraTest, ActivateMessage) {
    const auto wide = static_cast<std::uintptr_t>(0x100000001ull);
    const std::uintptr_t wParams[] = {0, 1, 2, 4, static_cast<std::uintptr_t>(-1), wide};
    for (std::uintptr_t wParam : wParams) {
        SCOPED_TRACE(wParam);
        const std::string pointdata = wParam == 0 ? "10" : wParam == 1 ? "01" : "00";
        NextRow();
        Start({0, 1});
        model().ClearLog();
        dlg->OnActivateRequest(wParam);
        EXPECT_EQ(Pointdata(), pointdata);
        EXPECT_EQ(dlg->state, pointdata == "00" ? InterlockState::kReleased : InterlockState::kActive);
        EXPECT_EQ(model().LogSize() == 0, pointdata == "00");
    }
    // After a panel change the enable fails on the table's stale change
    // stamp: no panel is shown as active, and the rebuilt table sees the
    // next touch.
    NextRow();
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
// is open are dropped. The about command shows the about box; "Always Top"
// switches the window between topmost and ordinary.
TEST_F(NystraTest, TrayIconCloseBoxAndSystemMenu) {
    enum Click { kTrayLeftPress, kTrayRightDoubleClick, kCloseBox };
    const std::pair<Click, std::string> cases[] = {
        {kTrayLeftPress, ""}, {kTrayRightDoubleClick, kStopQuestion}, {kCloseBox, kCloseQuestion}};
    for (const auto& [click, question] : cases) {
        for (bool ok : {true, false}) {
            SCOPED_TRACE(std::to_string(click) + (ok ? " OK" : " Cancel"));
            NextRow();
            view.answer = ok;
            if (click != kCloseBox) {
                view.duringQuestion = [&] {
                    dlg->OnTrayClick();
                    dlg->OnTrayRightDoubleClick();
                };
            }
            switch (click) {
            case kTrayLeftPress:
                dlg->OnTrayClick();
                break;
            case kTrayRightDoubleClick:
                dlg->OnTrayRightDoubleClick();
                break;
            case kCloseBox:
                dlg->OnClose();
                break;
            }
            const bool asked = !question.empty();
            EXPECT_EQ(view.foreground, click == kTrayLeftPress ? 1 : 0);
            EXPECT_EQ(view.shown, asked ? 1 : 0);
            EXPECT_EQ(view.questions, asked ? Texts{question} : Texts{});
            EXPECT_EQ(view.ended, asked && ok ? 1 : 0);
        }
    }
    NextRow();
    dlg->OnAboutCommand();
    EXPECT_EQ(view.about, 1);
    Start({1});
    for (bool topmost : {false, true}) {
        dlg->OnAlwaysTopCommand();
        EXPECT_EQ(view.topmost, topmost);
    }
}

// The start takes exclusive control with every panel disabled and the
// window on top; idle polls leave the registry alone. Whatever the table holds, releasing leaves no panel of the
// driver with point data: not one after a touch read that keeps failing,
// and not one beyond the four the table lists. On exit or at the end of
// the session, or on a stop request, every panel gets its point data back
// (after a rebuilt table when the panel set changed since the last poll)
// and the start-up mode is restored, without a question; nothing acts
// afterwards, a second stop request neither.
TEST_F(NystraTest, StartReleaseAndEndReachEveryPanelOfTheDriver) {
    enum End { kWindowDestroyed, kSessionEnds, kPanelSetChanged, kStopRequested };
    const struct {
        const char* what;
        int panels;
        int active;  // made active by the activate message, -1 for none
        bool touchReadsFail;
        std::string afterPoll;
        End end;
    } cases[] = {
        {"touch reads fail for good while panel 1 is active", 3, 1, true, "000", kWindowDestroyed},
        {"touch reads fail for good while panel 0 is active", 3, 0, true, "000", kSessionEnds},
        {"stop request while panel 1 is active", 3, 1, false, "010", kStopRequested},
        {"six panels enabled at start", 6, -1, false, "000000", kWindowDestroyed},
        {"six panels, the fourth made active", 6, 3, false, "000100", kPanelSetChanged},
        {"six panels, touch reads failing", 6, 2, true, "000000", kSessionEnds},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
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
        if (c.end == kPanelSetChanged) model().RemovePanel(0);
        if (c.end == kSessionEnds) {
            dlg->OnEndSession(false);  // the session goes on: nothing happens
            EXPECT_EQ(model().Modes().startup, 0);
            dlg->OnEndSession(true);
        } else if (c.end == kStopRequested) {
            dlg->OnStopRequest();
        } else {
            dlg->OnDestroy();
        }
        EXPECT_EQ(Pointdata(), std::string(model().PanelCount(), '1'));
        EXPECT_EQ(model().Modes().startup, 1);
        EXPECT_EQ(view.ended, c.end == kSessionEnds || c.end == kStopRequested ? 1 : 0);
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
        EXPECT_EQ(view.ended, c.end == kSessionEnds || c.end == kStopRequested ? 1 : 0);
        EXPECT_FALSE(view.trayShown);
    }
}

// The end of the session, or a stop request sent rather than posted, can
// be delivered while the start adds the tray icon or a poll changes it (the
// notification area is asked synchronously, and the waiting thread answers
// sent messages). The end then is final: the rest of the start (its
// release), or of that poll (the time-out of the panel whose request
// display just ended, a Supervisor touch) neither disables nor activates a
// panel, nor traces a release after the end.
TEST_F(NystraTest, AnEndDeliveredWhileTheTrayIconChangesIsFinal) {
    const struct {
        const char* what;
        int timeOut;               // -1: the end comes during the start
        std::vector<int> touched;  // in the poll that ends the request display
        bool stopRequest;          // else the session ends
    } cases[] = {
        {"start, session end", -1, {}, false},
        {"start, stop request", -1, {}, true},
        {"time-out, session end", 11, {}, false},
        {"time-out, stop request", 11, {}, true},
        {"Supervisor touch, session end", 30, {2}, false},
        {"Supervisor touch, stop request", 30, {2}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
        const auto end = [&] { c.stopRequest ? dlg->OnStopRequest() : dlg->OnEndSession(true); };
        if (c.timeOut < 0) {
            view.duringTrayChange = end;
            Start({1, 1, 2});  // attached while start-up mode 1: enabled
            dlg->OnPollTimer();
            EXPECT_EQ(view.ended, 1);
            EXPECT_EQ(Pointdata(), "111");
            EXPECT_EQ(model().Modes().startup, 1);
            continue;
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
}

// A driver whose every reply to one request is odd (no bytes, more than the
// buffer, or bytes no driver sends) while a panel is touched: each poll ends
// in a defined state with at most one panel enabled and the table within
// the driver's panels, and once the driver answers properly again the
// controller rebuilds its table and goes on.
TEST_F(NystraTest, OddRepliesLeaveADefinedStateAndPass) {
    const std::uint32_t codes[] = {IOCTL_TAVLO_GET_STATUS, IOCTL_TAVLO_GET_PANEL_ID, IOCTL_TAVLO_GET_POINTDATA_ENABLE,
                                   IOCTL_TAVLO_CHECK_TOUCH};
    const std::vector<std::uint8_t> replies[] = {
        {}, std::vector<std::uint8_t>(11, 0), {0xA5, 0xA5, 0xA5}, {0xFF, 0xFF, 0xFF}};
    for (std::uint32_t code : codes) {
        for (const std::vector<std::uint8_t>& reply : replies) {
            SCOPED_TRACE(::testing::Message() << std::hex << code << " reply of " << reply.size() << " bytes "
                                              << (reply.empty() ? 0 : reply[0]));
            NextRow();
            Start({2, 1});
            Touch({1});
            ASSERT_TRUE(model().OverrideReply(code, reply.data(), static_cast<std::uint32_t>(reply.size()), true));
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
    }
}

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
        {"Release pressed twice", [&] { dlg->OnRelease(), dlg->OnRelease(); },
         {"Nystra: released " + b + " by the user"}},
        {"activate message twice", [&] { dlg->OnActivateRequest(0), dlg->OnActivateRequest(0); },
         {"Nystra: activated " + a + " on ZRM450_NYSTRA_ACTIVE", "Nystra: activated " + a + " on ZRM450_NYSTRA_ACTIVE"}},
        {"activate message for another panel", [&] { dlg->OnActivateRequest(2); },
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
        {"every panel unplugged", [&] { model().RemovePanel(0), model().RemovePanel(0), model().RemovePanel(0), Poll(3); },
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
        {"stop request", [&] { TouchPoll(0), dlg->OnStopRequest(), dlg->OnDestroy(); },
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
TEST_F(NystraTest, TraceOfTheEnd) {
    const struct {
        const char* what;
        std::function<void()> end;
        std::string line;
    } cases[] = {
        {"close question, OK", [&] { dlg->OnClose(), dlg->OnDestroy(); },
         "Nystra: ended (closed by the user): every panel enabled, start-up mode 1"},
        {"tray question, OK", [&] { dlg->OnTrayRightDoubleClick(), dlg->OnDestroy(); },
         "Nystra: ended (stopped by the user from the notification area): every panel enabled, start-up mode 1"},
        {"session end", [&] { dlg->OnEndSession(true), dlg->OnDestroy(); },
         "Nystra: ended (the Windows session ends): every panel enabled, start-up mode 1"},
        {"window destroyed", [&] { dlg->OnDestroy(); },
         "Nystra: ended (window destroyed): every panel enabled, start-up mode 1"},
        {"driver gone", [&] { tavlosim::TheInProcessDriver().channel.deviceMissing = true, dlg->OnDestroy(); },
         "Nystra: ended (window destroyed): enabling the panels failed (status 1: the driver cannot be opened), "
         "start-up mode not set (status 1: the driver cannot be opened)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
        Start({1, 1});
        trace.Take();
        c.end();
        EXPECT_EQ(trace.Take(), Texts{c.line});
        tavlosim::TheInProcessDriver().channel.deviceMissing = false;
    }
}

// A record's name with line breaks, quotes, bytes outside ASCII or more
// than the trace shows keeps each line one bounded line of printable ASCII.
TEST_F(NystraTest, TraceOfOddNamesStaysOneLine) {
    const std::string names[] = {"Line\r\nB", std::string(63, '\xe4'), "\"quoted\" \\ name",
                                 std::string(63, '\x7f')};
    for (const std::string& name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        NextRow();
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
            EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char ch) { return ch >= 0x20 && ch < 0x7F; }))
                << line;
        }
        EXPECT_EQ(lines[2].substr(lines[2].size() - 10), " is active");
    }
}

}  // namespace
}  // namespace nystra

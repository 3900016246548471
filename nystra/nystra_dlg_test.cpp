// The interlock poll by poll, against the simulated driver behind the
// in-process Tavlo exports and the in-memory registry, with a recording
// view in place of the window.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
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
enum { kNoRecord = -1 };

class RecordingView final : public NystraView {
public:
    void SetText(int control, const std::string& text) override { texts[control] = text; }
    void ShowIndicator(bool on) override { indicator = on; }
    void AddTrayIcon(int icon) override { trayIcon = icon, trayShown = true, ++trayAdds; }
    void SetTrayIcon(int icon) override { trayIcon = icon; }
    void DeleteTrayIcon() override { trayShown = false; }
    void BroadcastUpdate() override { ++broadcasts; }
    void StartPollTimer(unsigned milliseconds) override { interval = milliseconds, ++timerStarts; }
    void StopPollTimer() override { interval = 0; }
    void ShowAndRestore() override { ++shown; }
    void BringToForeground() override { ++foreground; }
    void MinimizeAndHide() override { ++minimized; }
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
    int trayIcon = 0, trayAdds = 0, broadcasts = 0, timerStarts = 0, shown = 0, foreground = 0, minimized = 0,
        about = 0, ended = 0;
    unsigned interval = 0;  // 0 while the poll timer is stopped
    std::vector<std::string> questions;
    std::function<void()> duringQuestion;
};

class NystraTest : public ::testing::Test {
protected:
    // A fresh driver, registry, window and controller; table-driven tests
    // call it again for each case.
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        brimol::TheMemoryKeyStore().Clear();
        dlg_.reset();
        view_ = std::make_unique<RecordingView>();
        dlg_ = std::make_unique<CNystraDlg>(*view_);
    }

    static tavlosim::DeviceModel& model() { return tavlosim::TheInProcessDriver().model; }

    // Panels with these identifiers; modes[i] >= 0 gets a record "Panel <i>".
    void Start(const std::vector<std::uint8_t>& ids, const std::vector<int>& modes = {}) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            model().AttachPanel(ids[i]);
            if (i < modes.size() && modes[i] != kNoRecord) Record(ids[i], "Panel " + std::to_string(i), modes[i]);
        }
        dlg().OnInitDialog();
    }
    static void Record(int id, const std::string& name, int mode) {
        auto& store = brimol::TheMemoryKeyStore();
        store.PutText(kBase + "ID" + std::to_string(id), "NAME", name);
        store.PutDword(kBase + "ID" + std::to_string(id), "TOUCH_OP", mode);
        store.PutDword(kBase + "ID" + std::to_string(id), "IR_OP", 0);
    }
    static void System(int timeOut, int timeEnable) {
        brimol::TheMemoryKeyStore().PutDword(kBase + "ALL", "TIMEOUT", timeOut);
        brimol::TheMemoryKeyStore().PutDword(kBase + "ALL", "TIMEENABLE", timeEnable);
    }
    static void Touch(std::initializer_list<int> panels, bool on = true) {
        for (int p : panels) model().SetTouched(static_cast<std::uint8_t>(p), on);
    }

    // One timer event; it must leave the poll timer armed exactly once.
    unsigned Poll() {
        const int starts = view().timerStarts;
        dlg().OnTimer(ID_POLL_TIMER);
        EXPECT_EQ(view().timerStarts, starts + 1);
        return view().interval;
    }
    void Polls(int count) {
        for (int i = 0; i < count; ++i) Poll();
    }

    static std::vector<int> Pointdata() {
        std::vector<int> flags;
        for (std::uint8_t i = 0; i < model().PanelCount(); ++i) flags.push_back(model().Panel(i)->pointdata);
        return flags;
    }
    std::vector<std::string> Rows() {
        return {view().texts[IDC_ACTIVE_ID], view().texts[IDC_ACTIVE_NAME], view().texts[IDC_REQUEST_ID],
                view().texts[IDC_REQUEST_NAME]};
    }
    void ExpectReleased() {
        EXPECT_EQ(dlg().state, kReleased);
        EXPECT_EQ(dlg().usb.activeDevice, -1);
        EXPECT_EQ(Rows(), (std::vector<std::string>{"", kReleasedText, "", ""}));
        EXPECT_EQ(view().trayIcon, IDI_RELEASED);
        EXPECT_FALSE(view().indicator);
        for (int flag : Pointdata()) EXPECT_EQ(flag, 0);
    }

    RecordingView& view() { return *view_; }
    CNystraDlg& dlg() { return *dlg_; }

private:
    std::unique_ptr<RecordingView> view_;
    std::unique_ptr<CNystraDlg> dlg_;
};

TEST_F(NystraTest, StartTakesExclusiveControlWithEveryPanelDisabled) {
    Start({0x11, 0x22});
    ExpectReleased();
    EXPECT_EQ(model().Modes().startup, 0);
    EXPECT_TRUE(view().trayShown);
    EXPECT_TRUE(view().topmost);
    EXPECT_EQ(view().interval, kReleasedPollMs);
    EXPECT_EQ(view().broadcasts, 1);
    EXPECT_EQ(dlg().countdown, 30);
    EXPECT_EQ(dlg().reloadValue, 30);
}

TEST_F(NystraTest, TouchWhileReleased) {
    struct Case {
        const char* what;
        std::vector<int> modes;
        std::vector<int> touched;
        int active;  // -1: stays Released
    };
    const Case cases[] = {
        {"first touch activates an Interlock panel", {1, 1, 1}, {1}, 1},
        {"Supervisor panel", {2, 1}, {0}, 0},
        {"two touches in one poll: lower number wins", {1, 2, 1}, {2, 1}, 1},
        {"lower number is Disable: nothing this poll", {1, 0, 2}, {1, 2}, -1},
        {"Disable panel", {0, 1}, {0}, -1},
        {"unknown mode 3 acts as Interlock", {3}, {0}, 0},
        {"no record reads as Interlock", {kNoRecord, kNoRecord}, {1}, 1},
        {"no touch", {1, 1}, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Start({0x11, 0x22, 0x33}, c.modes);
        for (int p : c.touched) Touch({p});
        const unsigned next = Poll();
        if (c.active < 0) {
            ExpectReleased();
            EXPECT_EQ(next, kReleasedPollMs);
            continue;
        }
        EXPECT_EQ(dlg().state, kActive);
        EXPECT_EQ(dlg().usb.activeDevice, c.active);
        std::vector<int> expected(3, 0);
        expected[static_cast<std::size_t>(c.active)] = 1;
        EXPECT_EQ(Pointdata(), expected);
        EXPECT_EQ(view().trayIcon, IDI_ACTIVE);
        EXPECT_EQ(next, kActivePollMs);
    }
}

TEST_F(NystraTest, RecordsAreReadWhenNeededAndIdlePollsLeaveTheRegistryAlone) {
    Start({0x11, 0x22}, {0, 1});
    auto& store = brimol::TheMemoryKeyStore();
    store.ResetCounts();
    Polls(3);
    EXPECT_EQ(store.counts().opens, 0);
    Touch({0});
    Poll();  // Disable: stays Released
    EXPECT_EQ(dlg().state, kReleased);
    Record(0x11, "Line A", 1);  // changed while the interlock runs
    Poll();
    EXPECT_EQ(dlg().state, kActive);
    EXPECT_EQ(view().texts[IDC_ACTIVE_NAME], "Line A");
    EXPECT_EQ(store.OpenKeys(), 0);
}

TEST_F(NystraTest, ActivationShowsThePanelAndLoadsTheTimeOut) {
    System(45, 1);
    Start({0x11, 0x22}, {1, 1});
    Record(0x22, "Line B", 1);
    const int broadcasts = view().broadcasts;
    Touch({1});
    Poll();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"34", "Line B", "", ""}));
    EXPECT_EQ(view().broadcasts, broadcasts + 1);
    EXPECT_EQ(dlg().reloadValue, 45);
    EXPECT_EQ(dlg().countdown, 45);
}

TEST_F(NystraTest, SupervisorTakesOverAndShowsTheWindow) {
    Start({0x11, 0x22}, {1, 2});
    Touch({0});
    Poll();
    Touch({0}, false);
    Touch({1});
    EXPECT_EQ(Poll(), kActivePollMs);
    EXPECT_EQ(dlg().usb.activeDevice, 1);
    EXPECT_EQ(Pointdata(), (std::vector<int>{0, 1}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"34", "Panel 1", "", ""}));
    EXPECT_EQ(view().shown, 1);
}

TEST_F(NystraTest, InterlockRequestIsShownForTenPollsAfterTheLastTouch) {
    Start({0x11, 0x22, 0x33}, {1, 1, 0});
    Touch({0});
    Poll();
    Touch({0}, false);

    Touch({1});
    Poll();
    Touch({1}, false);
    const std::vector<std::string> request{"17", "Panel 0", "34", "Panel 1"};
    EXPECT_EQ(Rows(), request);
    EXPECT_TRUE(view().indicator);
    EXPECT_EQ(view().trayIcon, IDI_REQUEST);
    EXPECT_EQ(view().shown, 1);
    EXPECT_EQ(Pointdata(), (std::vector<int>{1, 0, 0}));  // the request changes nothing

    Polls(4);
    Touch({1});  // a second touch starts the ten polls again
    Poll();
    Touch({1}, false);
    Polls(9);
    EXPECT_EQ(Rows(), request);
    EXPECT_TRUE(view().indicator);
    Poll();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"17", "Panel 0", "", ""}));
    EXPECT_FALSE(view().indicator);
    EXPECT_EQ(view().trayIcon, IDI_ACTIVE);
    EXPECT_EQ(dlg().requestTicks, 0);

    Touch({2});  // Disable panel while Active: ignored
    Polls(3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"17", "Panel 0", "", ""}));
    EXPECT_EQ(dlg().usb.activeDevice, 0);
}

TEST_F(NystraTest, ActivePanelTouchedTogetherWithAnother) {
    System(5, 1);
    struct Case {
        const char* what;
        int active;
        bool requestShown;
        int countdown;
    };
    const Case cases[] = {
        {"active panel has the lower number: countdown reloaded, other dropped", 0, false, 5},
        {"other panel has the lower number: request shown, countdown runs", 1, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        System(5, 1);
        Start({0x11, 0x22}, {1, 1});
        dlg().OnActivateRequest(static_cast<std::uintptr_t>(c.active));
        Touch({0, 1});
        Poll();
        EXPECT_EQ(view().indicator, c.requestShown);
        EXPECT_EQ(dlg().countdown, c.countdown);
        EXPECT_EQ(dlg().usb.activeDevice, c.active);
    }
}

TEST_F(NystraTest, TimeRelease) {
    struct Case {
        int timeOut;
        int timeEnable;
        int releasedAtPoll;  // 0: still active after 12 polls
    };
    const Case cases[] = {
        {1, 1, 1}, {3, 1, 3}, {3, 0, 0}, {0, 1, 1}, {-5, 1, 1},
        {0, 0, 0},  // time release off: an odd TIMEOUT does not release
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("TIMEOUT " + std::to_string(c.timeOut) + " TIMEENABLE " + std::to_string(c.timeEnable));
        SetUp();
        System(c.timeOut, c.timeEnable);
        Start({0x11, 0x22}, {1, 1});
        Touch({1});
        Poll();
        Touch({1}, false);
        int releasedAt = 0;
        for (int poll = 1; poll <= 12 && releasedAt == 0; ++poll) {
            if (Poll() == kReleasedPollMs) releasedAt = poll;
        }
        EXPECT_EQ(releasedAt, c.releasedAtPoll);
        if (releasedAt != 0) ExpectReleased();
    }
}

TEST_F(NystraTest, TouchOnTheActivePanelRestartsTheTimeOut) {
    System(3, 1);
    Start({0x11}, {1});
    Touch({0});
    Poll();
    Touch({0}, false);
    Poll();
    EXPECT_EQ(dlg().countdown, 2);
    Touch({0});
    Poll();
    EXPECT_EQ(dlg().countdown, 3);
    Touch({0}, false);
    Polls(2);
    EXPECT_EQ(dlg().state, kActive);
    EXPECT_EQ(Poll(), kReleasedPollMs);
}

TEST_F(NystraTest, TimeOutChangesAtActivationAndEnableChangesAtTheNextPoll) {
    System(2, 0);
    Start({0x11, 0x22}, {1, 1});
    dlg().OnActivateRequest(0);
    System(2, 0);
    Polls(5);
    EXPECT_EQ(dlg().state, kActive);
    System(10, 1);  // enable takes effect now; the time at the next activation
    Polls(1);
    EXPECT_EQ(dlg().state, kActive);
    EXPECT_EQ(Poll(), kReleasedPollMs);
    dlg().OnActivateRequest(1);
    EXPECT_EQ(dlg().countdown, 10);
}

TEST_F(NystraTest, FailedPollRebuildsTheTableAndReleases) {
    Start({0x11, 0x22}, {1, 1});
    dlg().OnActivateRequest(1);
    model().FailNext(31);
    EXPECT_EQ(Poll(), kFailedPollMs);
    ExpectReleased();

    // The device disappears and comes back with a third panel.
    tavlosim::TheInProcessDriver().channel.deviceMissing = true;
    EXPECT_EQ(Poll(), kFailedPollMs);
    EXPECT_EQ(dlg().usb.deviceCount, 0);
    tavlosim::TheInProcessDriver().channel.deviceMissing = false;
    model().AttachPanel(0x33);
    EXPECT_EQ(Poll(), kFailedPollMs);
    EXPECT_EQ(dlg().usb.deviceCount, 3);
    ExpectReleased();
    EXPECT_EQ(Poll(), kReleasedPollMs);
}

TEST_F(NystraTest, NoPanelsStayReleasedAndBroadcastEverySecond) {
    Start({});
    for (int i = 0; i < 3; ++i) {
        const int broadcasts = view().broadcasts;
        EXPECT_EQ(Poll(), kFailedPollMs);
        EXPECT_EQ(view().broadcasts, broadcasts + 1);
        ExpectReleased();
    }
    dlg().OnActivateRequest(0);
    EXPECT_EQ(dlg().state, kReleased);
}

TEST_F(NystraTest, ActivateMessage) {
    struct Case {
        const char* what;
        std::uintptr_t wParam;
        int active;  // -1: ignored
    };
    const Case cases[] = {
        {"panel 1", 1, 1},
        {"a Disable panel too", 0, 0},
        {"number of panels", 2, -1},
        {"within the table's five entries", 4, -1},
        {"-1", static_cast<std::uintptr_t>(-1), -1},
        {"wide value whose low half is a panel", static_cast<std::uintptr_t>(0x100000001ull), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Start({0x11, 0x22}, {0, 1});
        model().ClearLog();
        dlg().OnActivateRequest(c.wParam);
        if (c.active < 0) {
            ExpectReleased();
            EXPECT_EQ(model().LogSize(), 0u);
            continue;
        }
        EXPECT_EQ(dlg().state, kActive);
        EXPECT_EQ(dlg().usb.activeDevice, c.active);
        EXPECT_EQ(Pointdata()[static_cast<std::size_t>(c.active)], 1);
    }
}

TEST_F(NystraTest, ReleaseButtonDisablesEveryPanel) {
    Start({0x11, 0x22}, {1, 1});
    dlg().OnActivateRequest(1);
    Touch({0});
    Poll();  // a request is shown
    dlg().OnRelease();
    ExpectReleased();
    EXPECT_EQ(dlg().requestTicks, 0);
}

TEST_F(NystraTest, TrayIconCallbacks) {
    struct Case {
        std::uintptr_t mouse;
        bool answer;
        int foreground, shown, questions, ended;
    };
    const Case cases[] = {
        {kTrayLeftButtonDown, true, 1, 0, 0, 0}, {kTrayRightButtonDoubleClick, true, 0, 1, 1, 1},
        {kTrayRightButtonDoubleClick, false, 0, 1, 1, 0}, {0x0200, true, 0, 0, 0, 0},  // move
        {0x0203, true, 0, 0, 0, 0}, {0x0205, true, 0, 0, 0, 0},  // left double-click, right up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mouse);
        RecordingView v;
        CNystraDlg d(v);
        v.answer = c.answer;
        d.OnTrayNotify(c.mouse);
        EXPECT_EQ(v.foreground, c.foreground);
        EXPECT_EQ(v.shown, c.shown);
        EXPECT_EQ(static_cast<int>(v.questions.size()), c.questions);
        EXPECT_EQ(v.ended, c.ended);
        if (c.questions != 0) {
            EXPECT_EQ(v.questions[0], kStopQuestion);
        }
    }
    // Callbacks while the question is open are dropped.
    view().duringQuestion = [&] {
        dlg().OnTrayNotify(kTrayLeftButtonDown);
        dlg().OnTrayNotify(kTrayRightButtonDoubleClick);
    };
    dlg().OnTrayNotify(kTrayRightButtonDoubleClick);
    EXPECT_EQ(view().questions.size(), 1u);
    EXPECT_EQ(view().foreground, 0);
    view().duringQuestion = nullptr;
    dlg().OnTrayNotify(kTrayLeftButtonDown);
    EXPECT_EQ(view().foreground, 1);
}

TEST_F(NystraTest, SystemMenuAndClose) {
    struct Case {
        std::uintptr_t command;
        bool handled;
        int about;
    };
    const Case cases[] = {{IDM_ABOUTBOX, true, 1}, {0x1F, true, 1}, {0x20, false, 0}, {0xF060, false, 0},
                          {104, false, 0}};
    for (const Case& c : cases) {
        RecordingView v;
        CNystraDlg d(v);
        EXPECT_EQ(d.OnSysCommand(c.command), c.handled) << c.command;
        EXPECT_EQ(v.about, c.about) << c.command;
    }
    Start({0x11});
    EXPECT_TRUE(dlg().OnSysCommand(IDM_ALWAYS_TOP));
    EXPECT_FALSE(view().topmost);
    EXPECT_TRUE(dlg().OnSysCommand(IDM_ALWAYS_TOP));
    EXPECT_TRUE(view().topmost);

    view().answer = false;
    dlg().OnClose();
    EXPECT_EQ(view().questions, std::vector<std::string>{kCloseQuestion});
    EXPECT_EQ(view().shown, 1);
    EXPECT_EQ(view().ended, 0);
    view().answer = true;
    dlg().OnClose();
    EXPECT_EQ(view().ended, 1);
}

TEST_F(NystraTest, EndEnablesEveryPanelAndRestoresStartupMode) {
    struct Case {
        const char* what;
        bool sessionEnd;
        bool panelRemoved;  // the panel set changed since the last poll
    };
    const Case cases[] = {
        {"window destroyed", false, false},
        {"session ends", true, false},
        {"panel set changed since the last poll", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Start({0x11, 0x22, 0x33}, {1, 1, 1});
        dlg().OnActivateRequest(2);
        if (c.panelRemoved) model().RemovePanel(0);
        if (c.sessionEnd) {
            dlg().OnEndSession(false);  // the session goes on: nothing happens
            EXPECT_EQ(model().Modes().startup, 0);
            dlg().OnEndSession(true);
            EXPECT_EQ(view().ended, 1);
        }
        if (!c.sessionEnd) dlg().OnDestroy();
        for (int flag : Pointdata()) EXPECT_EQ(flag, 1);
        EXPECT_EQ(model().Modes().startup, 1);
        EXPECT_FALSE(view().trayShown);
        EXPECT_EQ(view().interval, 0u);

        // Destruction after the session end, and stray events, change nothing.
        model().ClearLog();
        dlg().OnDestroy();
        dlg().OnTimer(ID_POLL_TIMER);
        dlg().OnActivateRequest(0);
        EXPECT_EQ(model().LogSize(), 0u);
    }
}

TEST_F(NystraTest, TaskbarCreatedAddsTheTrayIconOfTheCurrentState) {
    Start({0x11, 0x22}, {1, 1});
    dlg().OnActivateRequest(0);
    Touch({1});
    Poll();
    dlg().OnTaskbarCreated();
    EXPECT_EQ(view().trayAdds, 2);
    EXPECT_EQ(view().trayIcon, IDI_REQUEST);
}

TEST_F(NystraTest, OtherTimersAreIgnored) {
    Start({0x11}, {1});
    Touch({0});
    model().ClearLog();
    dlg().OnTimer(ID_POLL_TIMER + 1);
    EXPECT_EQ(model().LogSize(), 0u);
    EXPECT_EQ(view().interval, kReleasedPollMs);
    EXPECT_EQ(dlg().state, kReleased);
}

}  // namespace
}  // namespace nystra

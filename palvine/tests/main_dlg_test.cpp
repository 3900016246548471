// MainDlg against the in-process simulated driver: start-up and its failing
// steps, the poll, the click rule, the exit steps and the error report.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_window.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "tavlo.h"

namespace palvine {
namespace {

using tavlosim::DriverModes;

// The window, its system menu and the dialog logic, made afresh per case.
struct Rig {
    explicit Rig(tavlo::TavloIoctl& device) : dlg{device, window, sys} { window.dlg = &dlg; }
    FakeWindow window;
    SysControl sys{window};
    MainDlg dlg;
};

class PalvineMainDlgTest : public ::testing::Test {
protected:
    void SetUp() override { Restart(); }
    // A fresh driver holding click mode 2, once button 4, once flag 1.
    Rig& Restart(tavlo::TavloIoctl* with = nullptr) {
        tavlosim::ResetInProcessDriver();
        SetModes(1, 2, 0, 4);
        rig.reset();
        rig = std::make_unique<Rig>(with ? *with : device);
        return *rig;
    }
    tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
    void SetModes(std::uint8_t onceFlag, std::uint8_t clickButton, std::uint8_t startup, std::uint8_t onceButton) {
        Model().MutableModes() = {startup, clickButton, onceFlag, onceButton};
    }
    // click mode / once button / once flag as the driver holds them
    std::string Modes() {
        const DriverModes& m = Model().Modes();
        return std::to_string(m.clickButton) + "/" + std::to_string(m.onceButton) + "/" + std::to_string(m.onceFlag);
    }
    // Requests that change the driver's modes, seen so far.
    int Writes() {
        int writes = 0;
        for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
            const std::uint32_t code = Model().LogAt(i).code;
            writes += code == IOCTL_TAVLO_SET_CLICK_MODE || code == IOCTL_TAVLO_SET_CLICK_ONCE_MODE;
        }
        return writes;
    }

    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl device{loader, [this](const std::string& m) { fatal.push_back(m); }};
    std::unique_ptr<Rig> rig;
    FakeWindow& window() { return rig->window; }
    MainDlg& dlg() { return rig->dlg; }
};

// The modes found at start are saved, Palvine's own set while it runs, and
// the saved ones put back (flag cleared) when the window goes.
TEST_F(PalvineMainDlgTest, OptionsReachTheDriverAndTheWindow) {
    struct Case {
        const char* arguments;
        const char* running;  // driver modes after start-up
        bool topmost;
        double width;
        int checkedSize;  // command of the checked size item
    };
    const Case cases[] = {
        {"", "1/2/0", true, 585, 102},  // defaults: topmost, small
        {"/NOTOP /NMLSIZE", "1/2/0", false, 1170, 103},        {"/notop /top /largesize", "1/2/0", true, 1755, 104},
        {"/NORMALRIGHT /ONCEMIDDLE", "2/4/0", true, 585, 102}, {"/normalmiddle /onceleft", "4/1/0", true, 585, 102},
        {"/NORMALRIGHT /ONCERIGHT", "2/2/0", true, 585, 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        FakeWindow& w = Restart().window;
        dlg().Form_Load(c.arguments);
        EXPECT_TRUE(dlg().Running());
        EXPECT_EQ(Modes(), c.running);
        EXPECT_EQ(w.timerInterval, 200u);
        EXPECT_EQ(w.pictures, std::vector<std::string>{"left.ico"});
        EXPECT_EQ(w.procReplaced, 1);
        EXPECT_EQ(w.topmost, c.topmost);
        EXPECT_EQ(w.checked[101], c.topmost);
        EXPECT_EQ(w.width, c.width);
        for (int id = 102; id <= 104; ++id) EXPECT_EQ(w.checked[id], id == c.checkedSize) << id;
        w.Close();
        EXPECT_EQ(Modes(), "2/4/0");
        EXPECT_FALSE(w.timerOn);
        EXPECT_EQ(w.errorReports, 0);
    }
}

// Each failing step ends the start-up: no later step runs, and the driver
// is written at exit only when step 8 read the modes.
TEST_F(PalvineMainDlgTest, EachFailingStartUpStepEndsTheStart) {
    struct Case {
        const char* name;
        std::function<void(FakeWindow&)> fault;
        bool later;  // got past the menu: error report, menu and picture
        const char* after;  // driver modes once the window is gone
    };
    const auto fail = [this](std::uint32_t code) { return [this, code](FakeWindow&) { Model().FailCode(code, 31); }; };
    const Case cases[] = {
        {"second instance", [](FakeWindow& w) { w.anotherInstance = true; }, false, "2/4/1"},
        {"no driver", [](FakeWindow&) { tavlosim::TheInProcessDriver().channel.deviceMissing = true; }, false, "2/4/1"},
        {"topmost fails", [](FakeWindow& w) { w.zOrderFails = true; }, false, "2/4/1"},
        {"menu fails", [](FakeWindow& w) { w.failMenuCallAt = 3; }, false, "2/4/1"},
        {"read fails", fail(IOCTL_TAVLO_GET_CLICK_MODE), true, "2/4/1"},
        {"once read fails", fail(IOCTL_TAVLO_GET_CLICK_ONCE_MODE), true, "2/4/1"},
        {"write fails", fail(IOCTL_TAVLO_SET_CLICK_MODE), true, "2/4/0"},  // the restore at exit still works
        {"once write fails", fail(IOCTL_TAVLO_SET_CLICK_ONCE_MODE), true, "2/4/0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow& w = Restart().window;
        c.fault(w);
        // The driver answers again while the report is open, so the restore
        // at exit goes through.
        w.whileBoxOpen = [this] { Model().ClearFaults(); };
        dlg().Form_Load("");
        EXPECT_FALSE(dlg().Running());
        EXPECT_FALSE(w.timerOn);
        EXPECT_EQ(w.closes, 1);
        EXPECT_EQ(w.errorReports, c.later ? 1 : 0);
        EXPECT_EQ(Modes(), c.after);
        EXPECT_EQ(w.procReplaced, c.later ? 1 : 0);
        EXPECT_EQ(w.pictures.empty(), !c.later);
        EXPECT_EQ(dlg().SavedModesRead(), std::string(c.after) == "2/4/0");
        if (!c.later) {
            EXPECT_EQ(Writes(), 0);
        }
        if (c.name[0] == 's') {
            EXPECT_EQ(Model().RequestsSeen(), 0u);
        }
        EXPECT_TRUE(fatal.empty());
    }
}

// A library without one of the five functions is found out before the
// first request: the message names it and the driver is left as it was.
TEST_F(PalvineMainDlgTest, MissingFunctionEndsTheStartBeforeAnythingIsWritten) {
    for (const char* missing : {"TavloGetVersion", "TavloGetClickMode", "TavloSetClickMode", "TavloGetClickOnceMode",
                                "TavloSetClickOnceMode", "TAVLO.DLL"}) {
        SCOPED_TRACE(missing);
        tavlosim::InProcessLoader l;
        l.missingFunctions = {missing};
        l.libraryMissing = std::string(missing) == "TAVLO.DLL";
        std::vector<std::string> messages;
        tavlo::TavloIoctl dev{l, [&](const std::string& m) { messages.push_back(m); }};
        FakeWindow& w = Restart(&dev).window;
        dlg().Form_Load("");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(missing), std::string::npos) << messages[0];
        EXPECT_EQ(Model().RequestsSeen(), 0u);
        EXPECT_EQ(Modes(), "2/4/1");
        EXPECT_EQ(w.errorReports, 0);
        EXPECT_EQ(w.closes, 1);
    }
}

TEST_F(PalvineMainDlgTest, PollShowsThePictureOnlyWhenTheFlagChanges) {
    dlg().Form_Load("");
    const std::uint8_t driverFlags[] = {0, 0, 1, 1, 1, 0, 1, 0, 0};
    for (std::uint8_t flag : driverFlags) {
        Model().MutableModes().onceFlag = flag;
        dlg().ClickChkTimer_Timer();
        EXPECT_EQ(dlg().ShownOnceFlag, flag);
    }
    const std::vector<std::string> expected = {"left.ico", "right.ico", "left.ico", "right.ico", "left.ico"};
    EXPECT_EQ(window().pictures, expected);
    // The click mode and once button read by the poll are not used.
    Model().MutableModes().clickButton = 4;
    Model().MutableModes().onceButton = 1;
    dlg().ClickChkTimer_Timer();
    EXPECT_EQ(window().pictures, expected);
    EXPECT_EQ(Writes(), 2);  // only start-up's
}

// Releases over the window and over the picture take turns: both follow
// the same rule.
TEST_F(PalvineMainDlgTest, ClickRule) {
    struct Case {
        const char* arguments;
        std::uint8_t driverOnceButton;  // once button in the driver at the click
        std::uint8_t flagBefore;
        int released;
        std::uint8_t flagAfter;
    };
    const Case cases[] = {
        // Defaults: normal left, once right.
        {"", 2, 0, kLeftButton, 1},
        {"", 2, 1, kMiddleButton, 0},
        {"", 2, 1, kRightButton, 1},  // the driver's flag written back unchanged
        {"", 2, 0, kRightButton, 0},
        {"", 2, 1, kLeftButton, 0},
        {"", 2, 0, kMiddleButton, 1},
        // "/NORMALRIGHT" with the once button right.
        {"/NORMALRIGHT", 2, 1, kRightButton, 1},
        {"/NORMALRIGHT", 2, 0, kRightButton, 0},
        {"/NORMALRIGHT", 2, 0, kLeftButton, 1},
        {"/NORMALRIGHT", 2, 1, kLeftButton, 0},
        // The once button the driver reports counts, not Palvine's own.
        {"", 1, 0, kLeftButton, 0},
        {"", 4, 1, kRightButton, 0},
        {"/ONCEMIDDLE", 4, 1, kMiddleButton, 1},
        // Bits beyond the three buttons are no common bit.
        {"", 8, 0, 8, 1},
        {"", 2, 0, 3, 0},
    };
    bool overPicture = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " released " + std::to_string(c.released));
        MainDlg& d = Restart().dlg;
        d.Form_Load(c.arguments);
        ASSERT_TRUE(d.Running());
        Model().MutableModes() = {0, 4, c.flagBefore, c.driverOnceButton};  // click mode changed meanwhile
        overPicture = !overPicture;
        overPicture ? d.ClickStatus_MouseUp(c.released) : d.Form_MouseUp(c.released);
        EXPECT_EQ(Model().Modes().onceFlag, c.flagAfter);
        // Every click writes Palvine's own buttons again.
        EXPECT_EQ(Model().Modes().clickButton, d.NormalButton);
        EXPECT_EQ(Model().Modes().onceButton, d.OnceButton);
        // The picture waits for the poll.
        EXPECT_EQ(window().pictures.size(), 1u);
    }
}

// A lost driver shows one error report: the timer is stopped before the
// box, and ticks or clicks that the box's message loop delivers do nothing.
TEST_F(PalvineMainDlgTest, OneErrorReportWhenTheDriverIsLost) {
    for (const bool tick : {true, false}) {
        SCOPED_TRACE(tick ? "poll" : "click");
        Rig& r = Restart();
        r.dlg.Form_Load("");
        ASSERT_TRUE(r.dlg.Running());
        Model().FailCode(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 31);
        Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);  // the restore at exit fails as well
        int ticks = 0;
        r.window.whileBoxOpen = [&] {
            // What the box's message loop delivers while it is open.
            if (r.window.timerOn) {
                ++ticks;
                r.dlg.ClickChkTimer_Timer();
            }
            r.dlg.Form_MouseUp(kLeftButton);
            r.dlg.ClickStatus_MouseUp(kRightButton);
        };
        tick ? r.dlg.ClickChkTimer_Timer() : r.dlg.Form_MouseUp(kLeftButton);
        EXPECT_EQ(ticks, 0);
        // One for the lost driver, one for the restore at exit.
        EXPECT_EQ(r.window.errorReports, 2);
        EXPECT_EQ(r.window.closes, 1);
        EXPECT_FALSE(r.dlg.Running());
    }
}

// Every way the window can end, at every step of a run, read back from the
// driver: the click mode and once button found at start (2 and 4 here),
// the once flag clear. Only a driver that is gone or refuses every write
// for good keeps what it held, since nothing can be written to it.
TEST_F(PalvineMainDlgTest, EveryEndingAtEveryStepLeavesTheModesFound) {
    struct Step {
        const char* name;
        std::function<void(Rig&)> reach;
        const char* held;  // the driver's modes at the step
    };
    struct Ending {
        const char* name;
        std::function<void(Rig&)> act;
        bool restores;  // false: nothing reaches the driver at exit
        int reports;
    };
    const auto refuse = [this](std::uint32_t code, bool once) {
        return [this, code, once](Rig& r) {
            Model().FailCode(code, 31);
            if (once) r.window.whileBoxOpen = [this] { Model().ClearFaults(); };
            r.dlg.Form_MouseUp(kLeftButton);
        };
    };
    const Step steps[] = {
        {"running, flag clear", [](Rig&) {}, "1/2/0"},
        {"running, one-shot armed", [](Rig& r) { r.dlg.Form_MouseUp(kLeftButton); }, "1/2/1"},
        {"modes changed by another program", [this](Rig&) { SetModes(1, 4, 0, 1); }, "4/1/1"},
    };
    const Ending endings[] = {
        // The close box, Alt+F4 and the system menu's Close all arrive as
        // WM_CLOSE.
        {"close", [](Rig& r) { r.window.Close(); }, true, 0},
        {"session end", [](Rig& r) { r.dlg.Form_SessionEnd(); }, true, 0},
        // No report may hold the session's end up, even when the driver
        // refuses the modes.
        {"session end, restore refused",
         [this](Rig& r) {
             Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);
             r.dlg.Form_SessionEnd();
         },
         false, 0},
        {"session end with the report open",
         [this](Rig& r) {
             Model().FailCode(IOCTL_TAVLO_GET_CLICK_MODE, 31);
             r.window.whileBoxOpen = [this, &r] {
                 Model().ClearFaults();
                 r.dlg.Form_SessionEnd();
             };
             r.dlg.ClickChkTimer_Timer();
         },
         true, 1},
        {"driver gone, back while the report is open",
         [](Rig& r) {
             tavlosim::TheInProcessDriver().channel.deviceMissing = true;
             r.window.whileBoxOpen = [] { tavlosim::TheInProcessDriver().channel.deviceMissing = false; };
             r.dlg.ClickChkTimer_Timer();
         },
         true, 1},
        {"driver gone for good",
         [](Rig& r) {
             tavlosim::TheInProcessDriver().channel.deviceMissing = true;
             r.dlg.ClickChkTimer_Timer();
             tavlosim::TheInProcessDriver().channel.deviceMissing = false;  // to read what it held
         },
         false, 2},
        {"click write refused once", refuse(IOCTL_TAVLO_SET_CLICK_MODE, true), true, 1},
        {"click write refused for good", refuse(IOCTL_TAVLO_SET_CLICK_MODE, false), false, 2},
    };
    for (const Step& step : steps) {
        for (const Ending& ending : endings) {
            SCOPED_TRACE(std::string(step.name) + " / " + ending.name);
            Rig& r = Restart();
            r.dlg.Form_Load("");
            ASSERT_TRUE(r.dlg.Running());
            step.reach(r);
            ASSERT_EQ(Modes(), step.held);
            ending.act(r);
            Model().ClearFaults();
            EXPECT_EQ(r.window.closes, ending.name == std::string("close") || ending.reports > 0 ? 1 : 0);
            EXPECT_FALSE(r.dlg.Running());
            EXPECT_FALSE(r.window.timerOn);
            EXPECT_EQ(r.window.errorReports, ending.reports);
            EXPECT_EQ(Modes(), ending.restores ? "2/4/0" : step.held);
            // Nothing runs after the end: a second end, a click or a tick
            // writes nothing.
            const int writes = Writes();
            SetModes(1, 1, 0, 1);
            r.dlg.Form_Unload();
            r.dlg.Form_SessionEnd();
            r.dlg.Form_MouseUp(kLeftButton);
            r.dlg.ClickChkTimer_Timer();
            EXPECT_EQ(Writes(), writes);
            EXPECT_EQ(Modes(), "1/1/1");
        }
    }
}

// A library whose four mode functions all give one status, to try every
// status on the device routines (the driver-wide commands never give 2, 3
// or 5, so the simulated driver cannot).
TavloStatus g_stubStatus = TavloOk;
TavloStatus TAVLO_CALL StubGetByte(std::uint8_t*) { return g_stubStatus; }
TavloStatus TAVLO_CALL StubGetTwoBytes(std::uint8_t*, std::uint8_t*) { return g_stubStatus; }
TavloStatus TAVLO_CALL StubSetValue(std::uint32_t) { return g_stubStatus; }
TavloStatus TAVLO_CALL StubSetTwoValues(std::uint32_t, std::uint32_t) { return g_stubStatus; }

class StubLoader final : public tavlo::LibraryLoader {
public:
    bool Load(const char*) override { return true; }
    void* Find(const char* name) override {
        const std::string n(name);
        if (n == "TavloGetClickMode") return reinterpret_cast<void*>(&StubGetByte);
        if (n == "TavloGetClickOnceMode") return reinterpret_cast<void*>(&StubGetTwoBytes);
        if (n == "TavloSetClickMode") return reinterpret_cast<void*>(&StubSetValue);
        if (n == "TavloSetClickOnceMode") return reinterpret_cast<void*>(&StubSetTwoValues);
        return nullptr;
    }
    std::string LastErrorText() override { return ""; }
};

TEST_F(PalvineMainDlgTest, StatusesZeroTwoAndThreeSucceed) {
    StubLoader stubs;
    tavlo::TavloIoctl stubDevice{stubs, [](const std::string&) {}};
    MainDlg& d = Restart(&stubDevice).dlg;
    for (TavloStatus status = -1; status <= 9; ++status) {
        g_stubStatus = status;
        const std::int16_t expected = (status == 0 || status == 2 || status == 3) ? 0 : -1;
        std::int16_t result = 5;
        std::uint8_t mode = 0, button = 0, flag = 0;
        d.GetButtonState(&result, &mode, &button, &flag);
        EXPECT_EQ(result, expected) << status;
        result = 5;
        d.SetButtonState(&result, 1, 2, 0);
        EXPECT_EQ(result, expected) << status;
    }
}

// One odd reply to a read of the modes, at start or at a poll: a reply of
// the wrong length, or a once flag other than 0 or 1, ends the program with
// the error report; modes of any value are taken as found and put back.
// Nothing is written at exit unless the modes found were read.
TEST_F(PalvineMainDlgTest, OddRepliesToTheModeReads) {
    struct Case {
        const char* name;
        bool atPoll;  // else at start
        std::uint32_t code;
        std::vector<std::uint8_t> reply;
        bool running;        // after the odd reply
        const char* afterClose;  // click mode / once button / once flag
    };
    const std::uint32_t mode = IOCTL_TAVLO_GET_CLICK_MODE, once = IOCTL_TAVLO_GET_CLICK_ONCE_MODE;
    const Case cases[] = {
        {"start, no mode", false, mode, {}, false, "2/4/1"},
        {"start, long mode", false, mode, {2, 0, 0}, false, "2/4/1"},
        {"start, odd mode", false, mode, {0xA5}, true, "165/4/0"},
        {"start, no once", false, once, {}, false, "2/4/1"},
        {"start, short once", false, once, {0}, false, "2/4/1"},
        {"start, long once", false, once, {0, 4, 9}, false, "2/4/1"},
        {"start, odd flag", false, once, {0xA5, 0xA5}, false, "2/4/1"},
        {"start, odd button", false, once, {0, 0xA5}, true, "2/165/0"},
        {"poll, no mode", true, mode, {}, false, "2/4/0"},
        {"poll, odd flag", true, once, {0xFF, 0xFF}, false, "2/4/0"},
        {"poll, odd button", true, once, {1, 0xA5}, true, "2/4/0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow& w = Restart().window;
        if (c.atPoll) {
            dlg().Form_Load("");
            ASSERT_TRUE(dlg().Running());
        }
        ASSERT_TRUE(Model().OverrideReply(c.code, c.reply.data(), static_cast<std::uint32_t>(c.reply.size()), false));
        if (c.atPoll) {
            dlg().ClickChkTimer_Timer();
        } else {
            dlg().Form_Load("");
        }
        EXPECT_EQ(dlg().Running(), c.running);
        EXPECT_EQ(w.errorReports, c.running ? 0 : 1);
        EXPECT_EQ(w.closes, c.running ? 0 : 1);
        if (c.running) w.Close();
        EXPECT_EQ(Modes(), c.afterClose);
        EXPECT_EQ(tavlosim::TheInProcessDriver().channel.OpenHandles(), 0);
    }
}

}  // namespace
}  // namespace palvine

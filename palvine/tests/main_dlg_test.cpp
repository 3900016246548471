// MainDlg against the in-process simulated driver: start-up and its failing
// steps, the poll, the click rule, the exit steps and the error report.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_window.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "tavlo.h"

namespace palvine {
namespace {

tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
tavlosim::ModelChannel& Channel() { return tavlosim::TheInProcessDriver().channel; }

// Click mode / once button / once flag as the driver holds them.
std::string Modes() {
    const tavlosim::DriverModes& m = Model().Modes();
    return std::to_string(m.clickButton) + "/" + std::to_string(m.onceButton) + "/" + std::to_string(m.onceFlag);
}

// Requests that changed the driver's modes so far.
int Writes() {
    int writes = 0;
    for (std::uint32_t i = 0; i < Model().LogSize(); ++i) {
        const std::uint32_t code = Model().LogAt(i).code;
        writes += code == IOCTL_TAVLO_SET_CLICK_MODE || code == IOCTL_TAVLO_SET_CLICK_ONCE_MODE;
    }
    return writes;
}

// A fresh driver holding click mode 2, once button 4 and once flag 1, and
// Palvine's window over it.
struct Rig {
    Rig() {
        tavlosim::ResetInProcessDriver();
        Model().MutableModes() = {0, 2, 1, 4};
        window.dlg = &dlg;
    }
    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl device{loader, [this](const std::string& m) { fatal.push_back(m); }};
    FakeWindow window;
    SysControl sys{window};
    MainDlg dlg{device, window, sys};
};

// Each failing step ends the start-up: no later step runs, and the driver
// is written at exit only when the modes found were read.
TEST(PalvineMainDlg, EachFailingStartUpStepEndsTheStart) {
    struct Case {
        std::string name;
        std::function<void(Rig&)> fault;
        bool reported;      // got past the menu: error report, menu and picture
        const char* after;  // driver modes once the window is gone
        bool fatal;         // the library's message names what is missing
    };
    const auto fail = [](std::uint32_t code) { return [code](Rig&) { Model().FailCode(code, 31); }; };
    const auto reply = [](std::uint32_t code, std::vector<std::uint8_t> bytes) {
        return [code, bytes](Rig&) {
            Model().OverrideReply(code, bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        };
    };
    const std::uint32_t readMode = IOCTL_TAVLO_GET_CLICK_MODE, readOnce = IOCTL_TAVLO_GET_CLICK_ONCE_MODE;
    std::vector<Case> cases = {
        {"second instance", [](Rig& r) { r.window.anotherInstance = true; }, false, "2/4/1", false},
        {"no driver", [](Rig&) { Channel().deviceMissing = true; }, false, "2/4/1", false},
        {"topmost fails", [](Rig& r) { r.window.zOrderFails = true; }, false, "2/4/1", false},
        {"menu fails", [](Rig& r) { r.window.failMenuCallAt = 3; }, false, "2/4/1", false},
        {"read fails", fail(readMode), true, "2/4/1", false},
        {"once read fails", fail(readOnce), true, "2/4/1", false},
        {"no reply to the read", reply(readMode, {}), true, "2/4/1", false},
        {"long reply to the once read", reply(readOnce, {0, 4, 9}), true, "2/4/1", false},
        {"odd once flag", reply(readOnce, {0xA5, 0xA5}), true, "2/4/1", false},
        // The driver answers again while the report is open: the restore goes through.
        {"write fails", fail(IOCTL_TAVLO_SET_CLICK_MODE), true, "2/4/0", false},
        {"once write fails", fail(IOCTL_TAVLO_SET_CLICK_ONCE_MODE), true, "2/4/0", false},
    };
    // Every function Palvine uses is looked up before the first request.
    for (const char* missing : {"TavloGetVersion", "TavloGetClickMode", "TavloSetClickMode", "TavloGetClickOnceMode",
                                "TavloSetClickOnceMode", "TAVLO.DLL"}) {
        const auto fault = [missing](Rig& r) {
            r.loader.missingFunctions = {missing};
            r.loader.libraryMissing = std::string(missing) == "TAVLO.DLL";
        };
        cases.push_back({missing, fault, false, "2/4/1", true});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        c.fault(r);
        r.window.whileBoxOpen = [] { Model().ClearFaults(); };
        r.dlg.Form_Load("");
        EXPECT_FALSE(r.dlg.Running());
        EXPECT_EQ(r.window.closes, 1);
        EXPECT_EQ(r.window.errorReports, c.reported ? 1 : 0);
        EXPECT_EQ(r.window.procReplaced, c.reported ? 1 : 0);
        EXPECT_EQ(r.window.pictures.empty(), !c.reported);
        EXPECT_EQ(Modes(), c.after);
        EXPECT_TRUE(c.reported || Writes() == 0);
        ASSERT_EQ(r.fatal.size(), c.fatal ? 1u : 0u);
        EXPECT_TRUE(!c.fatal || r.fatal[0].find(c.name) != std::string::npos) << r.fatal[0];
    }
}

// A run from start to close: the window's options take effect, the picture
// starts left and the poll, every 200 ms, shows it again only when the flag
// changes; modes of any value are taken as found and put back.
TEST(PalvineMainDlg, StartPollAndClose) {
    Rig r;
    Model().MutableModes() = {0, 0xA5, 0, 0xA5};
    r.dlg.Form_Load("/NOTOP /LARGESIZE");
    EXPECT_FALSE(r.window.topmost);
    EXPECT_FALSE(r.window.checked[101]);
    EXPECT_EQ(r.window.width, 1755);
    EXPECT_EQ(r.window.timerInterval, 200u);
    Model().MutableModes().onceButton = 0xA5;  // not used by the poll
    const std::uint8_t driverFlags[] = {0, 0, 1, 1, 0, 1, 0};
    for (std::uint8_t flag : driverFlags) {
        Model().MutableModes().onceFlag = flag;
        r.dlg.ClickChkTimer_Timer();
    }
    const std::vector<std::string> expected = {"left.ico", "right.ico", "left.ico", "right.ico", "left.ico"};
    EXPECT_EQ(r.window.pictures, expected);
    EXPECT_EQ(Writes(), 2);  // start-up's only
    r.window.Close();
    EXPECT_EQ(Modes(), "165/165/0");
}

// Releases over the window and over the picture take turns: both follow
// the same rule. Every click writes Palvine's own buttons again; the
// picture waits for the poll.
TEST(PalvineMainDlg, ClickRule) {
    struct Case {
        const char* arguments;
        std::uint8_t driverOnceButton;  // once button in the driver at the click
        std::uint8_t flagBefore;
        int released;
        const char* after;  // driver modes after the click
    };
    const Case cases[] = {
        {"", 2, 0, kLeftButton, "1/2/1"},
        {"", 2, 1, kLeftButton, "1/2/0"},
        {"", 2, 0, kMiddleButton, "1/2/1"},
        {"", 2, 1, kRightButton, "1/2/1"},  // the driver's flag written back unchanged
        {"", 2, 0, kRightButton, "1/2/0"},
        {"/NORMALRIGHT", 2, 1, kRightButton, "2/2/1"},
        {"/NORMALRIGHT", 2, 0, kLeftButton, "2/2/1"},
        // The once button the driver reports counts, not Palvine's own.
        {"", 1, 0, kLeftButton, "1/2/0"},
        {"", 4, 1, kRightButton, "1/2/0"},
        {"/ONCEMIDDLE", 4, 1, kMiddleButton, "1/4/1"},
        // Bits beyond the three buttons are no common bit.
        {"", 8, 0, 8, "1/2/1"},
        {"", 2, 0, 3, "1/2/0"},
    };
    bool overPicture = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " released " + std::to_string(c.released));
        Rig r;
        r.dlg.Form_Load(c.arguments);
        Model().MutableModes() = {0, 4, c.flagBefore, c.driverOnceButton};  // click mode changed meanwhile
        overPicture = !overPicture;
        overPicture ? r.dlg.ClickStatus_MouseUp(c.released) : r.dlg.Form_MouseUp(c.released);
        EXPECT_EQ(Modes(), c.after);
        EXPECT_EQ(r.window.pictures.size(), 1u);
    }
}

// Every way the window can end, at every step of a run, read back from the
// driver: the click mode and once button found at start (2 and 4), the once
// flag clear. Only a driver that is gone or refuses every write for good
// keeps what it held, since nothing can be written to it.
TEST(PalvineMainDlg, EveryEndingAtEveryStepLeavesTheModesFound) {
    struct Step {
        const char* name;
        bool armed;             // a click armed the one-shot and a poll showed it
        bool changedElsewhere;  // another program set modes of its own
        const char* held;       // the driver's modes at the step
    };
    const Step steps[] = {
        {"running, flag clear", false, false, "1/2/0"},
        {"one-shot armed and shown", true, false, "1/2/1"},
        {"modes changed by another program", false, true, "4/1/1"},
    };
    enum Fault { kNone, kReadRefused, kWriteRefused, kDriverGone, kOddFlagReply };
    // The close box, Alt+F4 and the system menu's Close all arrive as WM_CLOSE.
    enum Act { kClose, kSessionEnd, kTick, kClick, kTickThenSessionEndInTheBox };
    struct Ending {
        const char* name;
        Fault fault;
        bool untilTheBox;  // the driver answers again once the error report is open
        Act act;
        bool restores;  // false: nothing can reach the driver at exit
        int reports, closes;
    };
    const Ending endings[] = {
        {"close", kNone, false, kClose, true, 0, 1},
        // No report may hold the session's end up, even when the driver refuses the modes.
        {"session end", kNone, false, kSessionEnd, true, 0, 0},
        {"session end, restore refused", kWriteRefused, false, kSessionEnd, false, 0, 0},
        {"session end with the report open", kReadRefused, true, kTickThenSessionEndInTheBox, true, 1, 1},
        {"driver gone, back while the report is open", kDriverGone, true, kTick, true, 1, 1},
        {"driver gone for good", kDriverGone, false, kTick, false, 2, 1},
        {"odd once flag in a poll's reply", kOddFlagReply, false, kTick, true, 1, 1},
        {"click read refused once", kReadRefused, true, kClick, true, 1, 1},
        {"click write refused once", kWriteRefused, true, kClick, true, 1, 1},
        {"click write refused for good", kWriteRefused, false, kClick, false, 2, 1},
    };
    const std::uint8_t oddFlag[] = {0xFF, 0xFF};
    for (const Step& step : steps) {
        for (const Ending& ending : endings) {
            SCOPED_TRACE(std::string(step.name) + " / " + ending.name);
            Rig r;
            r.dlg.Form_Load("");
            if (step.armed) {
                r.dlg.Form_MouseUp(kLeftButton);
                r.dlg.ClickChkTimer_Timer();
            }
            if (step.changedElsewhere) Model().MutableModes() = {0, 4, 1, 1};
            ASSERT_EQ(Modes(), step.held);
            if (ending.fault == kReadRefused) Model().FailCode(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 31);
            if (ending.fault == kWriteRefused) Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);
            if (ending.fault == kOddFlagReply)
                Model().OverrideReply(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, oddFlag, 2, false);
            Channel().deviceMissing = ending.fault == kDriverGone;
            r.window.whileBoxOpen = [&] {
                if (!ending.untilTheBox) {
                    // A tick and a click that reach a still failing driver
                    // while the report is open show no second report.
                    r.dlg.ClickChkTimer_Timer();
                    r.dlg.Form_MouseUp(kLeftButton);
                    return;
                }
                Model().ClearFaults();
                Channel().deviceMissing = false;
                if (ending.act == kTickThenSessionEndInTheBox) r.dlg.Form_SessionEnd();
            };
            if (ending.act == kClose) r.window.Close();
            if (ending.act == kSessionEnd) r.dlg.Form_SessionEnd();
            if (ending.act == kTick || ending.act == kTickThenSessionEndInTheBox) r.dlg.ClickChkTimer_Timer();
            if (ending.act == kClick) r.dlg.Form_MouseUp(kLeftButton);
            Model().ClearFaults();
            Channel().deviceMissing = false;  // to read what it held
            EXPECT_FALSE(r.dlg.Running());
            EXPECT_FALSE(r.window.timerOn);
            EXPECT_EQ(r.window.errorReports, ending.reports);
            EXPECT_EQ(r.window.closes, ending.closes);
            EXPECT_EQ(Modes(), ending.restores ? "2/4/0" : step.held);
            // Nothing runs after the end: a second end, a click or a tick writes nothing.
            const int writes = Writes();
            Model().MutableModes() = {0, 1, 1, 1};
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
// status on the device routines (the simulated driver never gives 2 or 3
// to the driver-wide commands).
TavloStatus g_status = TavloOk;
template <typename... Parameters>
TavloStatus TAVLO_CALL Stub(Parameters...) {
    return g_status;
}

struct StubLoader final : tavlo::LibraryLoader {
    bool Load(const char*) override { return true; }
    void* Find(const char* name) override {
        const std::string n(name);
        if (n == "TavloGetClickMode") return reinterpret_cast<void*>(&Stub<std::uint8_t*>);
        if (n == "TavloGetClickOnceMode") return reinterpret_cast<void*>(&Stub<std::uint8_t*, std::uint8_t*>);
        if (n == "TavloSetClickMode") return reinterpret_cast<void*>(&Stub<std::uint32_t>);
        return n == "TavloSetClickOnceMode" ? reinterpret_cast<void*>(&Stub<std::uint32_t, std::uint32_t>) : nullptr;
    }
    std::string LastErrorText() override { return ""; }
};

TEST(PalvineMainDlg, StatusesZeroTwoAndThreeSucceed) {
    StubLoader stubs;
    tavlo::TavloIoctl device{stubs, [](const std::string&) {}};
    FakeWindow window;
    SysControl sys{window};
    MainDlg dlg{device, window, sys};
    for (TavloStatus status = -1; status <= 9; ++status) {
        g_status = status;
        const std::int16_t expected = (status == 0 || status == 2 || status == 3) ? 0 : -1;
        std::int16_t read = 5, written = 5;
        std::uint8_t mode = 0, button = 0, flag = 0;
        dlg.GetButtonState(&read, &mode, &button, &flag);
        dlg.SetButtonState(&written, 1, 2, 0);
        EXPECT_EQ(read, expected) << status;
        EXPECT_EQ(written, expected) << status;
    }
}

}  // namespace
}  // namespace palvine

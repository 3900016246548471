// MainDlg against the in-process simulated driver: start-up and its failing
// steps, the poll, the click rule, the exit steps and the error report.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "fake_window.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "row_name.h"
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
struct StartFault {
    std::string name;
    std::function<void(Rig&)> fault;
    bool reported;      // got past the menu: error report, menu and picture
    const char* after;  // driver modes once the window is gone
    bool fatal;         // the library's message names what is missing
};

std::vector<StartFault> StartFaults() {
    const auto fail = [](std::uint32_t code) { return [code](Rig&) { Model().FailCode(code, 31); }; };
    const auto reply = [](std::uint32_t code, std::vector<std::uint8_t> bytes) {
        return [code, bytes](Rig&) {
            Model().OverrideReply(code, bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        };
    };
    const std::uint32_t readMode = IOCTL_TAVLO_GET_CLICK_MODE, readOnce = IOCTL_TAVLO_GET_CLICK_ONCE_MODE;
    // clang-format off
    std::vector<StartFault> rows = {
        {.name = "second instance", .fault = [](Rig& r) {r.window.anotherInstance = true;}, .reported = false, .after = "2/4/1", .fatal = false},
        {.name = "no driver", .fault = [](Rig&) {Channel().deviceMissing = true;}, .reported = false, .after = "2/4/1", .fatal = false},
        {.name = "topmost fails", .fault = [](Rig& r) {r.window.zOrderFails = true;}, .reported = false, .after = "2/4/1", .fatal = false},
        {.name = "menu fails", .fault = [](Rig& r) {r.window.failMenuCallAt = 3;}, .reported = false, .after = "2/4/1", .fatal = false},
        {.name = "read fails", .fault = fail(readMode), .reported = true, .after = "2/4/1", .fatal = false},
        {.name = "once read fails", .fault = fail(readOnce), .reported = true, .after = "2/4/1", .fatal = false},
        {.name = "no reply to the read", .fault = reply(readMode, {}), .reported = true, .after = "2/4/1", .fatal = false},
        {.name = "long reply to the once read", .fault = reply(readOnce, {0, 4, 9}), .reported = true, .after = "2/4/1", .fatal = false},
        {.name = "odd once flag", .fault = reply(readOnce, {0xA5, 0xA5}), .reported = true, .after = "2/4/1", .fatal = false},
        // The driver answers again while the report is open: the restore goes through.
        {.name = "write fails", .fault = fail(IOCTL_TAVLO_SET_CLICK_MODE), .reported = true, .after = "2/4/0", .fatal = false},
        {.name = "once write fails", .fault = fail(IOCTL_TAVLO_SET_CLICK_ONCE_MODE), .reported = true, .after = "2/4/0", .fatal = false},
    };
    // clang-format on
    // Every function Palvine uses is looked up before the first request.
    for (const char* missing : {"TavloGetVersion", "TavloGetClickMode", "TavloSetClickMode", "TavloGetClickOnceMode",
                                "TavloSetClickOnceMode", "TAVLO.DLL"}) {
        const auto fault = [missing](Rig& r) {
            r.loader.missingFunctions = {missing};
            r.loader.libraryMissing = std::string(missing) == "TAVLO.DLL";
        };
        rows.push_back({.name = missing, .fault = fault, .reported = false, .after = "2/4/1", .fatal = true});
    }
    return rows;
}

class FailingStartUp : public testing::TestWithParam<StartFault> {};

TEST_P(FailingStartUp, EndsTheStart) {
    const StartFault& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(PalvineMainDlg, FailingStartUp, testing::ValuesIn(StartFaults()), suite_test::RowName);

// A run from start to close: the window's options take effect, the picture
// starts left and the poll, every 200 ms, shows it again only when the flag
// changes; modes of any value are taken as found and put back.
TEST(PalvineMainDlg, StartPollAndClose) {
    Rig r;
    Model().MutableModes() = {0, 0xA5, 0, 0xA5};
    r.dlg.Form_Load("/NOTOP /LARGESIZE");
    EXPECT_EQ(r.sys.SizeCode, WindowSize::kLarge);
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

// Releases over the window and over the picture follow the same rule.
// Every click writes Palvine's own buttons again; the picture waits for
// the poll.
struct ClickRow {
    const char* name;
    const char* arguments;
    std::uint8_t driverOnceButton;  // once button in the driver at the click
    std::uint8_t flagBefore;
    int released;
    bool overPicture;   // over ClickStatus, else over the window
    const char* after;  // driver modes after the click
};

class ClickRule : public testing::TestWithParam<ClickRow> {};

TEST_P(ClickRule, WritesTheOnceFlag) {
    const ClickRow& c = GetParam();
    Rig r;
    r.dlg.Form_Load(c.arguments);
    Model().MutableModes() = {0, 4, c.flagBefore, c.driverOnceButton};  // click mode changed meanwhile
    c.overPicture ? r.dlg.ClickStatus_MouseUp(c.released) : r.dlg.Form_MouseUp(c.released);
    EXPECT_EQ(Modes(), c.after);
    EXPECT_EQ(r.window.pictures.size(), 1u);
}

// clang-format off
const ClickRow kClickRows[] = {
    {.name = "left arms", .arguments = "", .driverOnceButton = 2, .flagBefore = 0, .released = kLeftButton, .overPicture = true, .after = "1/2/1"},
    {.name = "left disarms", .arguments = "", .driverOnceButton = 2, .flagBefore = 1, .released = kLeftButton, .overPicture = false, .after = "1/2/0"},
    {.name = "middle arms", .arguments = "", .driverOnceButton = 2, .flagBefore = 0, .released = kMiddleButton, .overPicture = true, .after = "1/2/1"},
    // The driver's flag written back unchanged.
    {.name = "once button keeps a set flag", .arguments = "", .driverOnceButton = 2, .flagBefore = 1,
     .released = kRightButton, .overPicture = false, .after = "1/2/1"},
    {.name = "once button keeps a clear flag", .arguments = "", .driverOnceButton = 2, .flagBefore = 0,
     .released = kRightButton, .overPicture = true, .after = "1/2/0"},
    {.name = "normal right, right keeps", .arguments = "/NORMALRIGHT", .driverOnceButton = 2, .flagBefore = 1,
     .released = kRightButton, .overPicture = false, .after = "2/2/1"},
    {.name = "normal right, left arms", .arguments = "/NORMALRIGHT", .driverOnceButton = 2, .flagBefore = 0,
     .released = kLeftButton, .overPicture = true, .after = "2/2/1"},
    // The once button the driver reports counts, not Palvine's own.
    {.name = "driver once left, left keeps", .arguments = "", .driverOnceButton = 1, .flagBefore = 0,
     .released = kLeftButton, .overPicture = false, .after = "1/2/0"},
    {.name = "driver once middle, right disarms", .arguments = "", .driverOnceButton = 4, .flagBefore = 1,
     .released = kRightButton, .overPicture = true, .after = "1/2/0"},
    {.name = "once middle, middle keeps", .arguments = "/ONCEMIDDLE", .driverOnceButton = 4, .flagBefore = 1,
     .released = kMiddleButton, .overPicture = false, .after = "1/4/1"},
    // Bits beyond the three buttons are no common bit.
    {.name = "bit 8 is no button", .arguments = "", .driverOnceButton = 8, .flagBefore = 0, .released = 8, .overPicture = true, .after = "1/2/1"},
    {.name = "left and right together keep", .arguments = "", .driverOnceButton = 2, .flagBefore = 0, .released = 3, .overPicture = false, .after = "1/2/0"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PalvineMainDlg, ClickRule, testing::ValuesIn(kClickRows), suite_test::RowName);

// Every way the window can end, at every step of a run, read back from the
// driver: the click mode and once button found at start (2 and 4), the once
// flag clear. Only a driver that is gone or refuses every write for good
// keeps what it held, since nothing can be written to it.
struct RunStep {
    const char* name;
    bool armed;             // a click armed the one-shot and a poll showed it
    bool changedElsewhere;  // another program set modes of its own
    const char* held;       // the driver's modes at the step
};
// clang-format off
const RunStep kRunSteps[] = {
    {.name = "running, flag clear", .armed = false, .changedElsewhere = false, .held = "1/2/0"},
    {.name = "one-shot armed and shown", .armed = true, .changedElsewhere = false, .held = "1/2/1"},
    {.name = "modes changed by another program", .armed = false, .changedElsewhere = true, .held = "4/1/1"},
};
// clang-format on

enum class Fault { kNone, kReadRefused, kWriteRefused, kDriverGone, kOddFlagReply };
// The close box, Alt+F4 and the system menu's Close all arrive as WM_CLOSE.
enum class Act { kClose, kSessionEnd, kTick, kClick, kTickThenSessionEndInTheBox };
struct Ending {
    const char* name;
    Fault fault;
    bool untilTheBox;  // the driver answers again once the error report is open
    Act act;
    bool restores;  // false: nothing can reach the driver at exit
    int reports, closes;
};
// clang-format off
const Ending kEndings[] = {
    {.name = "close", .fault = Fault::kNone, .untilTheBox = false, .act = Act::kClose, .restores = true, .reports = 0, .closes = 1},
    // No report may hold the session's end up, even when the driver refuses the modes.
    {.name = "session end", .fault = Fault::kNone, .untilTheBox = false, .act = Act::kSessionEnd, .restores = true, .reports = 0, .closes = 0},
    {.name = "session end, restore refused", .fault = Fault::kWriteRefused, .untilTheBox = false,
     .act = Act::kSessionEnd, .restores = false, .reports = 0, .closes = 0},
    {.name = "session end with the report open", .fault = Fault::kReadRefused, .untilTheBox = true,
     .act = Act::kTickThenSessionEndInTheBox, .restores = true, .reports = 1, .closes = 1},
    {.name = "driver gone, back while the report is open", .fault = Fault::kDriverGone, .untilTheBox = true,
     .act = Act::kTick, .restores = true, .reports = 1, .closes = 1},
    {.name = "driver gone for good", .fault = Fault::kDriverGone, .untilTheBox = false, .act = Act::kTick, .restores = false, .reports = 2, .closes = 1},
    {.name = "odd once flag in a poll's reply", .fault = Fault::kOddFlagReply, .untilTheBox = false,
     .act = Act::kTick, .restores = true, .reports = 1, .closes = 1},
    {.name = "click read refused once", .fault = Fault::kReadRefused, .untilTheBox = true, .act = Act::kClick, .restores = true, .reports = 1, .closes = 1},
    {.name = "click write refused once", .fault = Fault::kWriteRefused, .untilTheBox = true, .act = Act::kClick, .restores = true, .reports = 1, .closes = 1},
    {.name = "click write refused for good", .fault = Fault::kWriteRefused, .untilTheBox = false, .act = Act::kClick,
     .restores = false, .reports = 2, .closes = 1},
};
// clang-format on

class EveryEnding : public testing::TestWithParam<std::tuple<RunStep, Ending>> {};

TEST_P(EveryEnding, LeavesTheModesFound) {
    const RunStep& step = std::get<0>(GetParam());
    const Ending& ending = std::get<1>(GetParam());
    const std::uint8_t oddFlag[] = {0xFF, 0xFF};
    Rig r;
    r.dlg.Form_Load("");
    if (step.armed) {
        r.dlg.Form_MouseUp(kLeftButton);
        r.dlg.ClickChkTimer_Timer();
    }
    if (step.changedElsewhere) Model().MutableModes() = {0, 4, 1, 1};
    ASSERT_EQ(Modes(), step.held);
    if (ending.fault == Fault::kReadRefused) Model().FailCode(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 31);
    if (ending.fault == Fault::kWriteRefused) Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);
    if (ending.fault == Fault::kOddFlagReply) Model().OverrideReply(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, oddFlag, 2, false);
    Channel().deviceMissing = ending.fault == Fault::kDriverGone;
    r.window.whileBoxOpen = [&] {
        if (!ending.untilTheBox) {
            // A tick and a click that reach a still failing driver while
            // the report is open show no second report.
            r.dlg.ClickChkTimer_Timer();
            r.dlg.Form_MouseUp(kLeftButton);
            return;
        }
        Model().ClearFaults();
        Channel().deviceMissing = false;
        if (ending.act == Act::kTickThenSessionEndInTheBox) r.dlg.Form_SessionEnd();
    };
    if (ending.act == Act::kClose) r.window.Close();
    if (ending.act == Act::kSessionEnd) r.dlg.Form_SessionEnd();
    if (ending.act == Act::kTick || ending.act == Act::kTickThenSessionEndInTheBox) r.dlg.ClickChkTimer_Timer();
    if (ending.act == Act::kClick) r.dlg.Form_MouseUp(kLeftButton);
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

INSTANTIATE_TEST_SUITE_P(PalvineMainDlg, EveryEnding,
                         testing::Combine(testing::ValuesIn(kRunSteps), testing::ValuesIn(kEndings)),
                         [](const testing::TestParamInfo<std::tuple<RunStep, Ending>>& p) {
                             return suite_test::TestName(std::string(std::get<0>(p.param).name) + " then " +
                                                         std::get<1>(p.param).name);
                         });

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

class DeviceRoutineStatus : public testing::TestWithParam<TavloStatus> {};

TEST_P(DeviceRoutineStatus, OnlyZeroTwoAndThreeSucceed) {
    StubLoader stubs;
    tavlo::TavloIoctl device{stubs, [](const std::string&) {}};
    FakeWindow window;
    SysControl sys{window};
    MainDlg dlg{device, window, sys};
    const TavloStatus status = GetParam();
    g_status = status;
    const Result expected = (status == 0 || status == 2 || status == 3) ? Result::kSuccess : Result::kFailure;
    EXPECT_EQ(dlg.GetButtonState().result, expected);
    EXPECT_EQ(dlg.SetButtonState(1, 2, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(PalvineMainDlg, DeviceRoutineStatus, testing::Range<TavloStatus>(-1, 10),
                         [](const testing::TestParamInfo<TavloStatus>& p) {
                             return p.param < 0 ? "StatusMinus" + std::to_string(-p.param)
                                                : "Status" + std::to_string(p.param);
                         });

}  // namespace
}  // namespace palvine

// MainDlg against the in-process simulated driver: start-up and its failing
// steps, the poll, the click rule, the exit steps and the error report.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "inprocess_driver.h"
#include "inprocess_loader.h"
#include "tavlo.h"

namespace palvine {
namespace {

using tavlosim::DriverModes;

class PalvineMainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        tavlosim::ResetInProcessDriver();
        window.dlg = &dlg;
        SetModes(1, 2, 0, 4);  // found at start: click mode 2, once button 4, once flag 1
    }

    tavlosim::DeviceModel& Model() { return tavlosim::TheInProcessDriver().model; }
    tavlosim::ModelChannel& Channel() { return tavlosim::TheInProcessDriver().channel; }
    void SetModes(std::uint8_t onceFlag, std::uint8_t clickButton, std::uint8_t startup, std::uint8_t onceButton) {
        DriverModes& m = Model().MutableModes();
        m.onceFlag = onceFlag;
        m.clickButton = clickButton;
        m.startup = startup;
        m.onceButton = onceButton;
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
            if (code == IOCTL_TAVLO_SET_CLICK_MODE || code == IOCTL_TAVLO_SET_CLICK_ONCE_MODE) ++writes;
        }
        return writes;
    }
    void Start(const std::string& arguments = "") { dlg.Form_Load(arguments); }

    tavlosim::InProcessLoader loader;
    std::vector<std::string> fatal;
    tavlo::TavloIoctl device{loader, [this](const std::string& m) { fatal.push_back(m); }};
    FakeWindow window;
    SysControl sys{window};
    MainDlg dlg{device, window, sys};
};

TEST_F(PalvineMainDlgTest, FoundModesAreSavedSetAndPutBack) {
    EXPECT_EQ(Modes(), "2/4/1");
    Start();
    EXPECT_TRUE(dlg.Running());
    EXPECT_EQ(Modes(), "1/2/0");
    EXPECT_EQ(dlg.SavedClickMode, 2);
    EXPECT_EQ(dlg.SavedOnceButton, 4);
    EXPECT_TRUE(window.timerOn);
    EXPECT_EQ(window.timerInterval, 200u);
    EXPECT_EQ(window.pictures, std::vector<std::string>{"left.ico"});
    EXPECT_EQ(dlg.ShownOnceFlag, 0);
    // Defaults: topmost, small, both check marks, 585 twips wide.
    EXPECT_TRUE(window.topmost);
    EXPECT_TRUE(window.checked[101]);
    EXPECT_TRUE(window.checked[102]);
    EXPECT_EQ(window.width, 585);
    EXPECT_EQ(window.procReplaced, 1);

    window.Close();
    EXPECT_EQ(Modes(), "2/4/0");
    EXPECT_FALSE(window.timerOn);
    EXPECT_EQ(window.errorReports, 0);
}

TEST_F(PalvineMainDlgTest, OptionsReachTheDriverAndTheWindow) {
    struct Case {
        const char* arguments;
        const char* running;  // driver modes after start-up
        bool topmost;
        double width;
        int checkedSize;  // command of the checked size item
    };
    const Case cases[] = {
        {"/NOTOP /NMLSIZE", "1/2/0", false, 1170, 103},        {"/notop /top /largesize", "1/2/0", true, 1755, 104},
        {"/NORMALRIGHT /ONCEMIDDLE", "2/4/0", true, 585, 102}, {"/normalmiddle /onceleft", "4/1/0", true, 585, 102},
        {"/NORMALRIGHT /ONCERIGHT", "2/2/0", true, 585, 102},
    };
    for (const Case& c : cases) {
        tavlosim::ResetInProcessDriver();
        SetModes(1, 2, 0, 4);
        FakeWindow w;
        SysControl s{w};
        MainDlg d{device, w, s};
        w.dlg = &d;
        d.Form_Load(c.arguments);
        EXPECT_EQ(Modes(), c.running) << c.arguments;
        EXPECT_EQ(w.topmost, c.topmost) << c.arguments;
        EXPECT_EQ(w.checked[101], c.topmost) << c.arguments;
        EXPECT_EQ(w.width, c.width) << c.arguments;
        for (int id = 102; id <= 104; ++id) EXPECT_EQ(w.checked[id], id == c.checkedSize) << c.arguments << id;
        w.Close();
        EXPECT_EQ(Modes(), "2/4/0") << c.arguments;
    }
}

// Each failing step ends the start-up: no later step runs, and the driver
// is written at exit only when step 8 read the modes.
TEST_F(PalvineMainDlgTest, EachFailingStartUpStepEndsTheStart) {
    enum Fault {
        kSecondInstance,
        kNoDriver,
        kTopmostFails,
        kMenuFails,
        kReadFails,
        kOnceReadFails,
        kWriteFails,
        kOnceWriteFails
    };
    struct Case {
        Fault fault;
        bool errorReport;
        const char* after;  // driver modes once the window is gone
        bool menuBuilt;
        bool pictureShown;
    };
    const Case cases[] = {
        {kSecondInstance, false, "2/4/1", false, false}, {kNoDriver, false, "2/4/1", false, false},
        {kTopmostFails, false, "2/4/1", false, false},   {kMenuFails, false, "2/4/1", false, false},
        {kReadFails, true, "2/4/1", true, true},         {kOnceReadFails, true, "2/4/1", true, true},
        {kWriteFails, true, "2/4/0", true, true},  // the restore at exit still works
        {kOnceWriteFails, true, "2/4/0", true, true},
    };
    for (const Case& c : cases) {
        tavlosim::ResetInProcessDriver();
        SetModes(1, 2, 0, 4);
        FakeWindow w;
        SysControl s{w};
        MainDlg d{device, w, s};
        w.dlg = &d;
        switch (c.fault) {
        case kSecondInstance:
            w.anotherInstance = true;
            break;
        case kNoDriver:
            tavlosim::TheInProcessDriver().channel.deviceMissing = true;
            break;
        case kTopmostFails:
            w.zOrderFails = true;
            break;
        case kMenuFails:
            w.failMenuCallAt = 3;
            break;
        case kReadFails:
            Model().FailCode(IOCTL_TAVLO_GET_CLICK_MODE, 31);
            break;
        case kOnceReadFails:
            Model().FailCode(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 31);
            break;
        case kWriteFails:
            Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);
            break;
        case kOnceWriteFails:
            Model().FailCode(IOCTL_TAVLO_SET_CLICK_ONCE_MODE, 31);
            break;
        }
        // The driver answers again while the report is open, so the restore
        // at exit goes through.
        w.whileBoxOpen = [this] { Model().ClearFaults(); };
        d.Form_Load("");
        EXPECT_FALSE(d.Running()) << c.fault;
        EXPECT_FALSE(w.timerOn) << c.fault;
        EXPECT_EQ(w.closes, 1) << c.fault;
        EXPECT_EQ(w.errorReports, c.errorReport ? 1 : 0) << c.fault;
        EXPECT_EQ(Modes(), c.after) << c.fault;
        EXPECT_EQ(w.procReplaced, c.menuBuilt ? 1 : 0) << c.fault;
        EXPECT_EQ(w.pictures.empty(), !c.pictureShown) << c.fault;
        EXPECT_EQ(d.SavedModesRead(), c.fault == kWriteFails || c.fault == kOnceWriteFails) << c.fault;
        if (c.fault == kSecondInstance) {
            EXPECT_EQ(Model().RequestsSeen(), 0u);
        }
        if (c.fault == kNoDriver || c.fault == kTopmostFails || c.fault == kMenuFails) {
            EXPECT_EQ(Writes(), 0) << c.fault;
        }
        EXPECT_TRUE(fatal.empty());
    }
}

// A library without one of the five functions is found out before the
// first request: the message names it and the driver is left as it was.
TEST_F(PalvineMainDlgTest, MissingFunctionEndsTheStartBeforeAnythingIsWritten) {
    const char* const functions[] = {"TavloGetVersion", "TavloGetClickMode", "TavloSetClickMode",
                                     "TavloGetClickOnceMode", "TavloSetClickOnceMode"};
    for (const char* missing : functions) {
        tavlosim::ResetInProcessDriver();
        SetModes(1, 2, 0, 4);
        tavlosim::InProcessLoader l;
        l.missingFunctions = {missing};
        std::vector<std::string> messages;
        tavlo::TavloIoctl dev{l, [&](const std::string& m) { messages.push_back(m); }};
        FakeWindow w;
        SysControl s{w};
        MainDlg d{dev, w, s};
        w.dlg = &d;
        d.Form_Load("");
        ASSERT_EQ(messages.size(), 1u) << missing;
        EXPECT_NE(messages[0].find(missing), std::string::npos) << messages[0];
        EXPECT_EQ(Model().RequestsSeen(), 0u) << missing;
        EXPECT_EQ(Modes(), "2/4/1") << missing;
        EXPECT_EQ(w.errorReports, 0);
        EXPECT_EQ(w.closes, 1);
    }
    tavlosim::ResetInProcessDriver();
    SetModes(1, 2, 0, 4);
    loader.libraryMissing = true;
    Start();
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_NE(fatal[0].find("TAVLO.DLL"), std::string::npos);
    EXPECT_EQ(Model().RequestsSeen(), 0u);
}

TEST_F(PalvineMainDlgTest, PollShowsThePictureOnlyWhenTheFlagChanges) {
    Start();
    const std::uint8_t driverFlags[] = {0, 0, 1, 1, 1, 0, 1, 0, 0};
    const std::vector<std::string> expected = {"left.ico", "right.ico", "left.ico", "right.ico", "left.ico"};
    for (std::uint8_t flag : driverFlags) {
        Model().MutableModes().onceFlag = flag;
        dlg.ClickChkTimer_Timer();
        EXPECT_EQ(dlg.ShownOnceFlag, flag);
    }
    EXPECT_EQ(window.pictures, expected);
    // The click mode and once button read by the poll are not used.
    Model().MutableModes().clickButton = 4;
    Model().MutableModes().onceButton = 1;
    dlg.ClickChkTimer_Timer();
    EXPECT_EQ(window.pictures.size(), expected.size());
    EXPECT_EQ(Writes(), 2);  // only start-up's
}

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
    for (const Case& c : cases) {
        tavlosim::ResetInProcessDriver();
        FakeWindow w;
        SysControl s{w};
        MainDlg d{device, w, s};
        w.dlg = &d;
        d.Form_Load(c.arguments);
        ASSERT_TRUE(d.Running());
        Model().MutableModes().onceButton = c.driverOnceButton;
        Model().MutableModes().onceFlag = c.flagBefore;
        Model().MutableModes().clickButton = 4;  // changed by someone else meanwhile
        d.ClickStatus_MouseUp(c.released);
        EXPECT_EQ(Model().Modes().onceFlag, c.flagAfter) << c.arguments << " released " << c.released;
        // Every click writes Palvine's own buttons again.
        EXPECT_EQ(Model().Modes().clickButton, d.NormalButton);
        EXPECT_EQ(Model().Modes().onceButton, d.OnceButton);
        // The picture waits for the poll.
        EXPECT_EQ(w.pictures.size(), 1u);
    }
}

TEST_F(PalvineMainDlgTest, ReleaseOverTheWindowAndOverThePictureAreTheSame) {
    Start();
    dlg.Form_MouseUp(kLeftButton);
    EXPECT_EQ(Modes(), "1/2/1");
    dlg.ClickChkTimer_Timer();
    EXPECT_EQ(window.pictures.back(), "right.ico");
    dlg.ClickStatus_MouseUp(kMiddleButton);
    EXPECT_EQ(Modes(), "1/2/0");
    dlg.ClickChkTimer_Timer();
    EXPECT_EQ(window.pictures.back(), "left.ico");
}

// A lost driver shows one error report: the timer is stopped before the
// box, and ticks or clicks that the box's message loop delivers do nothing.
TEST_F(PalvineMainDlgTest, OneErrorReportWhenTheDriverIsLost) {
    struct Case {
        const char* what;
        void (MainDlg::*event)(int);
        bool tick;
    };
    const Case cases[] = {{"poll", nullptr, true}, {"click", &MainDlg::Form_MouseUp, false}};
    for (const Case& c : cases) {
        tavlosim::ResetInProcessDriver();
        SetModes(1, 2, 0, 4);
        FakeWindow w;
        SysControl s{w};
        MainDlg d{device, w, s};
        w.dlg = &d;
        d.Form_Load("");
        ASSERT_TRUE(d.Running());
        Model().FailCode(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 31);
        Model().FailCode(IOCTL_TAVLO_SET_CLICK_MODE, 31);  // the restore at exit fails as well
        int ticks = 0;
        w.whileBoxOpen = [&] {
            // What the box's message loop delivers while it is open.
            if (w.timerOn) {
                ++ticks;
                d.ClickChkTimer_Timer();
            }
            d.Form_MouseUp(kLeftButton);
            d.ClickStatus_MouseUp(kRightButton);
        };
        if (c.tick) {
            d.ClickChkTimer_Timer();
        } else {
            (d.*c.event)(kLeftButton);
        }
        EXPECT_EQ(ticks, 0) << c.what;
        // One for the lost driver, one for the restore at exit.
        EXPECT_EQ(w.errorReports, 2) << c.what;
        EXPECT_EQ(w.closes, 1) << c.what;
        EXPECT_FALSE(d.Running());
    }
}

TEST_F(PalvineMainDlgTest, AnErrorClosesAndTheExitStepsStillRestore) {
    Start();
    Model().FailCode(IOCTL_TAVLO_GET_CLICK_MODE, 31);
    dlg.ClickChkTimer_Timer();
    EXPECT_EQ(window.errorReports, 1);
    EXPECT_EQ(window.closes, 1);
    EXPECT_EQ(Modes(), "2/4/0");
}

// Whatever ends the window (close box, Alt+F4, system menu, the end of the
// session, an error) the exit steps run once: a second end writes nothing.
TEST_F(PalvineMainDlgTest, ExitStepsRunOnce) {
    Start();
    dlg.Form_MouseUp(kLeftButton);
    dlg.Form_Unload();
    EXPECT_EQ(Modes(), "2/4/0");
    const int writes = Writes();
    SetModes(1, 1, 0, 1);
    dlg.Form_Unload();
    window.Close();
    EXPECT_EQ(Writes(), writes);
    EXPECT_EQ(Modes(), "1/1/1");
    // Nothing runs after the end.
    dlg.ClickChkTimer_Timer();
    dlg.Form_MouseUp(kLeftButton);
    EXPECT_EQ(Writes(), writes);
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
    MainDlg d{stubDevice, window, sys};
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

TEST_F(PalvineMainDlgTest, OddOnceFlagReplyIsAFailure) {
    // The library refuses a once flag other than 0 or 1 (status 8).
    const std::uint8_t odd[] = {2, 4};
    Model().OverrideReply(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, odd, 2, false);
    std::int16_t result = 0;
    std::uint8_t mode = 0, button = 0, flag = 0;
    dlg.GetButtonState(&result, &mode, &button, &flag);
    EXPECT_EQ(result, -1);
    dlg.SetButtonState(&result, 4, 1, 7);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Modes(), "4/1/1");  // the flag goes out as 0 or 1
}

}  // namespace
}  // namespace palvine

// CUSBInterface against the simulated driver behind the in-process Tavlo
// exports: the panel table, enabling and disabling, the touch poll and the
// rebuild of the table when the driver's panel set changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "brimol.h"
#include "inprocess_driver.h"
#include "tavlo.h"

namespace {

using PanelRequest = std::pair<std::uint32_t, int>;  // request code, panel number
const std::uint32_t kSetPointdata = IOCTL_TAVLO_SET_POINTDATA_ENABLE;
const std::uint32_t kCheckTouch = IOCTL_TAVLO_CHECK_TOUCH;
const std::uint32_t kGetPanelId = IOCTL_TAVLO_GET_PANEL_ID;

class UsbInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { tavlosim::ResetInProcessDriver(); }
    void TearDown() override { EXPECT_EQ(driver().channel.OpenHandles(), 0); }

    static tavlosim::InProcessDriver& driver() { return tavlosim::TheInProcessDriver(); }
    static tavlosim::DeviceModel& model() { return driver().model; }

    // Attaches panels with these identifiers, point data as given, and
    // builds the object's table; the request log then starts empty.
    void Attach(const std::vector<std::uint8_t>& ids, const std::vector<int>& enabled = {}) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const int index = model().AttachPanel(ids[i]);
            model().MutablePanel(static_cast<std::uint8_t>(index))->pointdata =
                i < enabled.size() ? static_cast<std::uint8_t>(enabled[i]) : 1;
        }
        usb.UpdateDevices();
        model().ClearLog();
    }

    // Panel requests of the given codes, in the order sent.
    static std::vector<PanelRequest> Sent(std::vector<std::uint32_t> codes) {
        std::vector<PanelRequest> sent;
        for (std::uint32_t i = 0; i < model().LogSize(); ++i) {
            const tavlosim::LogEntry& e = model().LogAt(i);
            for (std::uint32_t code : codes) {
                if (e.code == code) sent.emplace_back(code, e.in[0]);
            }
        }
        return sent;
    }
    static int CountSent(std::uint32_t code) { return static_cast<int>(Sent({code}).size()); }
    static std::vector<int> Pointdata() {
        std::vector<int> flags;
        for (std::uint8_t i = 0; i < model().PanelCount(); ++i) flags.push_back(model().Panel(i)->pointdata);
        return flags;
    }
    std::vector<int> Ids() const { return std::vector<int>(usb.panelIds, usb.panelIds + 5); }

    CUSBInterface usb;
};

// --- UpdateDevices ------------------------------------------------------------

TEST_F(UsbInterfaceTest, UpdateDevicesBuildsTheTable) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> ids;
        std::vector<int> enabled;
        int result;
        int count;
        std::vector<int> panelIds;
        int active;
    };
    const Case cases[] = {
        {"no panels", {}, {}, TavloNoPanel, 0, {-1, -1, -1, -1, -1}, -1},
        {"two, none enabled", {0x11, 0x22}, {0, 0}, TavloOk, 2, {0x11, 0x22, -1, -1, -1}, -1},
        {"first enabled panel is active", {3, 4, 5}, {0, 1, 1}, TavloOk, 3, {3, 4, 5, -1, -1}, 1},
        {"six panels cut to four", {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 1, 1}, TavloOk, 4, {1, 2, 3, 4, -1}, -1},
        {"identifiers as 0..255", {0xFF, 0x80}, {0, 0}, TavloOk, 2, {255, 128, -1, -1, -1}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tavlosim::ResetInProcessDriver();
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            model().AttachPanel(c.ids[i]);
            model().MutablePanel(static_cast<std::uint8_t>(i))->pointdata = static_cast<std::uint8_t>(c.enabled[i]);
        }
        CUSBInterface table;
        for (std::int32_t& id : table.panelIds) id = 0x5A;  // whatever was there before
        table.activeDevice = 3;
        EXPECT_EQ(table.UpdateDevices(), c.result);
        EXPECT_EQ(table.deviceCount, c.count);
        EXPECT_EQ(std::vector<int>(table.panelIds, table.panelIds + 5), c.panelIds);
        EXPECT_EQ(table.activeDevice, c.active);
        EXPECT_EQ(table.stamp, model().Stamp());
    }
}

TEST_F(UsbInterfaceTest, UnreadableIdentifierEndsTheTable) {
    // The driver claims three panels but answers for two: the third
    // identifier read fails with "bad panel" and the table ends before it.
    model().AttachPanel(0x11);
    model().AttachPanel(0x22);
    const std::uint16_t s = model().Stamp();
    const std::uint8_t status[3] = {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8), 3};
    ASSERT_TRUE(model().OverrideReply(IOCTL_TAVLO_GET_STATUS, status, 3, true));
    EXPECT_EQ(usb.UpdateDevices(), TavloOk);  // the point-data read of panel 0 came last
    EXPECT_EQ(usb.deviceCount, 2);
    EXPECT_EQ(Ids(), (std::vector<int>{0x11, 0x22, -1, -1, -1}));
    EXPECT_EQ(usb.activeDevice, 0);
}

TEST_F(UsbInterfaceTest, UpdateDevicesWithoutDeviceGivesEmptyTable) {
    model().AttachPanel(0x11);
    driver().channel.deviceMissing = true;
    EXPECT_EQ(usb.UpdateDevices(), TavloNoDevice);
    EXPECT_EQ(usb.deviceCount, 0);
    EXPECT_EQ(usb.activeDevice, -1);
    EXPECT_EQ(usb.stamp, 0xFFFF);
}

// --- SetActiveDevice ------------------------------------------------------------

TEST_F(UsbInterfaceTest, SetActiveDeviceEnablesOnePanelAndDisablesTheOthers) {
    struct Case {
        const char* what;
        bool panels;
        int index;
        int result;
        int active;
        std::vector<PanelRequest> sent;
        std::vector<int> pointdata;
    };
    const Case cases[] = {
        {"second panel", true, 1, TavloOk, 1, {{kSetPointdata, 0}, {kSetPointdata, 1}}, {0, 1}},
        {"first panel", true, 0, TavloOk, 0, {{kSetPointdata, 0}, {kSetPointdata, 1}}, {1, 0}},
        {"negative refused", true, -1, TavloOk, 0, {}, {1, 1}},
        {"above 255 refused", true, 256, TavloOk, 0, {}, {1, 1}},
        {"beyond the table: all off, still recorded", true, 3, TavloOk, 3,
         {{kSetPointdata, 0}, {kSetPointdata, 1}}, {0, 0}},
        {"255: all off, recorded", true, 255, TavloOk, 255, {{kSetPointdata, 0}, {kSetPointdata, 1}}, {0, 0}},
        {"empty table records the index", false, 2, TavloNoPanel, 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tavlosim::ResetInProcessDriver();
        usb = CUSBInterface();
        if (c.panels) Attach({0x11, 0x22});  // both enabled: panel 0 is active
        EXPECT_EQ(usb.SetActiveDevice(c.index), c.result);
        EXPECT_EQ(usb.activeDevice, c.active);
        EXPECT_EQ(Sent({kSetPointdata}), c.sent);
        EXPECT_EQ(Pointdata(), c.pointdata);
    }
}

TEST_F(UsbInterfaceTest, SetActiveDeviceStopsAtTheFirstFailure) {
    Attach({0x11, 0x22}, {0, 0});
    usb.activeDevice = 0;
    model().RemovePanel(1);       // the table still lists two panels
    usb.stamp = model().Stamp();  // ...with a stamp the driver accepts
    model().MutablePanel(0)->pointdata = 1;
    EXPECT_EQ(usb.SetActiveDevice(1), TavloBadPanel);
    EXPECT_EQ(Pointdata(), std::vector<int>{0});  // panel 0 keeps its new setting
    EXPECT_EQ(usb.activeDevice, 0);
}

// --- SetAllPanelDisable / SetAllPanelEnable -------------------------------------

TEST_F(UsbInterfaceTest, SetAllPanelDisableDisablesAndReadsEachTouchFlag) {
    Attach({0x11, 0x22});
    model().SetTouched(1, true);
    EXPECT_EQ(usb.SetAllPanelDisable(), TavloOk);
    EXPECT_EQ(usb.activeDevice, -1);
    EXPECT_EQ(Pointdata(), (std::vector<int>{0, 0}));
    EXPECT_EQ(Sent({kSetPointdata, kCheckTouch}),
              (std::vector<PanelRequest>{{kSetPointdata, 0}, {kCheckTouch, 0}, {kSetPointdata, 1}, {kCheckTouch, 1}}));
}

TEST_F(UsbInterfaceTest, EnableAndDisableWithEmptyTableReportNoPanel) {
    for (auto call : {&CUSBInterface::SetAllPanelDisable, &CUSBInterface::SetAllPanelEnable}) {
        usb.activeDevice = 2;
        EXPECT_EQ((usb.*call)(), TavloNoPanel);
        EXPECT_EQ(usb.activeDevice, -1);
    }
    EXPECT_EQ(model().LogSize(), 0u);
}

TEST_F(UsbInterfaceTest, SetAllPanelDisableReturnsTouchReadFailureAtOnce) {
    Attach({0x11, 0x22});
    ASSERT_TRUE(model().FailCode(kCheckTouch, tavlosim::kErrorInvalidFunction));
    EXPECT_EQ(usb.SetAllPanelDisable(), TavloNotSupported);
    EXPECT_EQ(usb.activeDevice, 0);
    EXPECT_EQ(Pointdata(), (std::vector<int>{0, 1}));
}

TEST_F(UsbInterfaceTest, SetAllPanelDisableRebuildsTheTableWhenPanelsChanged) {
    Attach({0x11, 0x22});
    model().AttachPanel(0x33);
    EXPECT_EQ(usb.SetAllPanelDisable(), TavloOk);
    EXPECT_EQ(usb.deviceCount, 3);
    EXPECT_EQ(Ids(), (std::vector<int>{0x11, 0x22, 0x33, -1, -1}));
    EXPECT_EQ(Pointdata(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(usb.activeDevice, -1);
}

TEST_F(UsbInterfaceTest, PersistentDisableFailureEndsAfterBoundedRebuilds) {
    Attach({0x11, 0x22});
    ASSERT_TRUE(model().FailCode(kSetPointdata, 31));  // any other error: status 8
    EXPECT_EQ(usb.SetAllPanelDisable(), TavloFailed);
    // The first pass and three more after rebuilding the table, each
    // failing at panel 0.
    EXPECT_EQ(CountSent(kSetPointdata), 4);
    EXPECT_EQ(CountSent(kGetPanelId), 3 * 2);
    EXPECT_EQ(usb.deviceCount, 2);
}

TEST_F(UsbInterfaceTest, PresentTouchStateGivesUpAfterBoundedRebuildsWhenPanelsKeepChanging) {
    Attach({0x11, 0x22});
    // Every touch answer is followed by a panel coming and going, so the
    // next touch read always finds the caller's stamp out of date.
    tavlosim::TheInProcessDriver().channel.afterRequest = [](std::uint32_t code) {
        if (code != kCheckTouch) return;
        tavlosim::DeviceModel& m = tavlosim::TheInProcessDriver().model;
        m.AttachPanel(0x77);
        m.RemovePanel(static_cast<std::uint8_t>(m.PanelCount() - 1));
    };
    EXPECT_EQ(usb.PresentTouchState(), TavloPanelsChanged);
    tavlosim::TheInProcessDriver().channel.afterRequest = nullptr;
    // The first pass and three more after rebuilding the table; each pass
    // reads panel 0 and stops at panel 1's stale stamp.
    EXPECT_EQ(CountSent(kCheckTouch), 4);
    EXPECT_EQ(CountSent(kGetPanelId), 3 * 2);
}

TEST_F(UsbInterfaceTest, SetAllPanelEnableEnablesEveryPanelAndMakesPanelZeroActive) {
    Attach({0x11, 0x22, 0x33}, {0, 0, 0});
    EXPECT_EQ(usb.SetAllPanelEnable(), TavloOk);
    EXPECT_EQ(usb.activeDevice, 0);
    EXPECT_EQ(Pointdata(), (std::vector<int>{1, 1, 1}));

    usb.activeDevice = 2;
    ASSERT_TRUE(model().FailCode(kSetPointdata, tavlosim::kErrorInvalidParameter));
    EXPECT_EQ(usb.SetAllPanelEnable(), TavloBadParameter);
    EXPECT_EQ(usb.activeDevice, 2);
    EXPECT_EQ(CountSent(kSetPointdata), 3 + 1);
}

// --- PresentTouchState ------------------------------------------------------------

TEST_F(UsbInterfaceTest, PresentTouchStateFindsTheFirstTouchedOtherPanel) {
    struct Case {
        const char* what;
        std::vector<int> touched;
        int active;
        int touchedDevice;
        int activeTouched;
        std::vector<int> read;
    };
    const Case cases[] = {
        {"no touches", {}, -1, -1, 0, {0, 1, 2}},
        {"only the active panel touched", {1}, 1, -1, 1, {0, 1, 2}},
        {"stops at the first touched other panel", {1, 2}, -1, 1, 0, {0, 1}},
        {"earlier other panel hides the active one", {0, 1}, 1, 0, 0, {0}},
        {"active seen before the other panel", {0, 2}, 0, 2, 1, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tavlosim::ResetInProcessDriver();
        Attach({0x11, 0x22, 0x33});
        for (int panel : c.touched) model().SetTouched(static_cast<std::uint8_t>(panel), true);
        usb.activeDevice = c.active;
        usb.touchedDevice = 7;
        usb.activeTouched = 7;
        EXPECT_EQ(usb.PresentTouchState(), TavloOk);
        EXPECT_EQ(usb.touchedDevice, c.touchedDevice);
        EXPECT_EQ(usb.activeTouched, c.activeTouched);
        std::vector<PanelRequest> read;
        for (int panel : c.read) read.emplace_back(kCheckTouch, panel);
        EXPECT_EQ(Sent({kCheckTouch}), read);
    }
}

TEST_F(UsbInterfaceTest, PresentTouchStateReportsEmptyTableAndFailures) {
    usb.touchedDevice = 1;
    usb.activeTouched = 1;
    EXPECT_EQ(usb.PresentTouchState(), TavloNoPanel);
    EXPECT_EQ(usb.touchedDevice, -1);
    EXPECT_EQ(usb.activeTouched, 0);

    Attach({0x11, 0x22});
    ASSERT_TRUE(model().FailCode(kCheckTouch, tavlosim::kErrorFileNotFound));
    EXPECT_EQ(usb.PresentTouchState(), TavloBadPanel);
    EXPECT_EQ(CountSent(kCheckTouch), 1);  // no retry
    EXPECT_EQ(usb.deviceCount, 2);
}

TEST_F(UsbInterfaceTest, ChangedPanelSetIsAnsweredFromTheRebuiltTable) {
    Attach({0x11, 0x22});
    model().RemovePanel(0);      // 0x22 moves to panel 0
    model().AttachPanel(0x33);   // and 0x33 comes in as panel 1
    model().SetTouched(1, true);
    EXPECT_EQ(usb.PresentTouchState(), TavloOk);
    EXPECT_EQ(Ids(), (std::vector<int>{0x22, 0x33, -1, -1, -1}));
    EXPECT_EQ(usb.activeDevice, 0);
    EXPECT_EQ(usb.touchedDevice, 1);
    EXPECT_EQ(usb.stamp, model().Stamp());
}

TEST_F(UsbInterfaceTest, PanelsRemovedDuringPollLeaveAnEmptyTable) {
    Attach({0x11});
    model().RemovePanel(0);
    EXPECT_EQ(usb.PresentTouchState(), TavloNoPanel);
    EXPECT_EQ(usb.deviceCount, 0);
}

// --- start-up mode ----------------------------------------------------------------------

TEST_F(UsbInterfaceTest, ExclusiveModeSetsTheDriverStartupMode) {
    EXPECT_EQ(usb.InitExclusiveUSB(), TavloOk);
    EXPECT_EQ(model().Modes().startup, 0);
    EXPECT_EQ(usb.RemoveExclusiveUSB(), TavloOk);
    EXPECT_EQ(model().Modes().startup, 1);
    driver().channel.deviceMissing = true;
    EXPECT_EQ(usb.InitExclusiveUSB(), TavloNoDevice);
    EXPECT_EQ(usb.RemoveExclusiveUSB(), TavloNoDevice);
}

}  // namespace

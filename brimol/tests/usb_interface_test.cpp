// CUSBInterface against the simulated driver behind the in-process Tavlo
// exports: the panel table, switching point data, the touch poll and the
// rebuild of the table when the driver's panel set changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "brimol.h"
#include "inprocess_driver.h"
#include "tavlo.h"

namespace {

using Ints = std::vector<int>;
const std::uint32_t kSetPointdata = IOCTL_TAVLO_SET_POINTDATA_ENABLE;
const std::uint32_t kCheckTouch = IOCTL_TAVLO_CHECK_TOUCH;

class UsbInterfaceTest : public ::testing::Test {
protected:
    void TearDown() override { NextRow(); }
    // A driver without panels and a fresh object, once the test or table
    // row before has closed every handle (a fresh driver would hide it).
    void NextRow() {
        EXPECT_EQ(driver().channel.OpenHandles(), 0) << "a handle was left open";
        tavlosim::ResetInProcessDriver();
        usb = CUSBInterface();
    }

    static tavlosim::InProcessDriver& driver() { return tavlosim::TheInProcessDriver(); }
    static tavlosim::DeviceModel& model() { return driver().model; }
    // Attaches a panel per character of `pointdata` ('0' or '1'), with
    // identifiers 0x11, 0x22... unless given.
    static void AttachPanels(const std::string& pointdata, std::vector<std::uint8_t> ids = {}) {
        for (std::size_t i = 0; i < pointdata.size(); ++i) {
            if (ids.size() <= i) ids.push_back(static_cast<std::uint8_t>(0x11 * (i + 1)));
            const auto index = static_cast<std::uint8_t>(model().AttachPanel(ids[i]));
            model().MutablePanel(index)->pointdata = static_cast<std::uint8_t>(pointdata[i] - '0');
        }
    }
    // ...then builds the object's table and empties the request log.
    void Attach(const std::string& pointdata) {
        AttachPanels(pointdata);
        usb.UpdateDevices();
        model().ClearLog();
    }
    // Panel requests since the log was emptied, each a letter and the panel
    // number: E enables and D disables point data, T reads the touch flag,
    // I reads the identifier.
    static std::string Log() {
        std::string log;
        for (std::uint32_t i = 0; i < model().LogSize(); ++i) {
            const tavlosim::LogEntry& e = model().LogAt(i);
            std::string letter = e.code == kCheckTouch ? "T" : e.code == IOCTL_TAVLO_GET_PANEL_ID ? "I" : "";
            if (e.code == kSetPointdata) letter = e.in[1] != 0 ? "E" : "D";
            if (!letter.empty()) log += (log.empty() ? "" : " ") + letter + std::to_string(e.in[0]);
        }
        return log;
    }

    CUSBInterface usb;
};

TEST_F(UsbInterfaceTest, UpdateDevicesBuildsTheTable) {
    enum Driver { kPlain, kMissing, kClaimsThree };  // kClaimsThree: the third never answers
    const struct {
        const char* what;
        std::vector<std::uint8_t> ids;
        std::string pointdata;
        Driver driver;
        int result, count, active;
        Ints panelIds;
    } cases[] = {
        {"no panels", {}, "", kPlain, TavloNoPanel, 0, -1, {-1, -1, -1, -1, -1}},
        {"no device", {0x11}, "1", kMissing, TavloNoDevice, 0, -1, {-1, -1, -1, -1, -1}},
        {"first enabled panel is active", {3, 4, 5}, "011", kPlain, TavloOk, 3, 1, {3, 4, 5, -1, -1}},
        {"six panels cut to four", {1, 2, 3, 4, 5, 6}, "000011", kPlain, TavloOk, 4, -1, {1, 2, 3, 4, -1}},
        {"identifiers as 0..255, none enabled", {0xFF, 0x80}, "00", kPlain, TavloOk, 2, -1, {255, 128, -1, -1, -1}},
        // The point-data read of panel 0 came last, so the result is that one's.
        {"unreadable identifier ends the table", {1, 2}, "10", kClaimsThree, TavloOk, 2, 0, {1, 2, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
        driver().channel.deviceMissing = c.driver == kMissing;
        AttachPanels(c.pointdata, c.ids);
        const std::uint16_t s = model().Stamp();
        const std::uint8_t status[3] = {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8), 3};
        ASSERT_TRUE(c.driver != kClaimsThree || model().OverrideReply(IOCTL_TAVLO_GET_STATUS, status, 3, true));
        for (std::int32_t& id : usb.panelIds) id = 0x5A;  // whatever was there before
        usb.activeDevice = 3;
        EXPECT_EQ(usb.UpdateDevices(), c.result);
        EXPECT_EQ(usb.deviceCount, c.count);
        EXPECT_EQ(Ints(usb.panelIds, usb.panelIds + 5), c.panelIds);
        EXPECT_EQ(usb.activeDevice, c.active);
    }
}

TEST_F(UsbInterfaceTest, SwitchingPointDataAndFollowingThePanelSet) {
    using Call = std::function<int(CUSBInterface&)>;
    const Call disable = &CUSBInterface::SetAllPanelDisable, enable = &CUSBInterface::SetAllPanelEnable,
               poll = &CUSBInterface::PresentTouchState;
    const auto activate = [](int i) { return Call([i](CUSBInterface& u) { return u.SetActiveDevice(i); }); };
    // What happens to the attached panels after the table was built.
    enum Change { kNone, kPanelCame, kSecondGone, kFirstReplaced, kAllGone, kComesOnDisable, kKeepsChanging };
    const struct {
        const char* what;
        Call call;
        std::string attached;  // point data of the attached panels
        Change change;
        std::uint32_t failing;  // every request of this code fails (status 8)
        int result, active;     // the object's active panel was 2
        std::string log;
    } cases[] = {
        // The others go off first: never two panels with point data at once.
        {"activate the first panel", activate(0), "11", kNone, 0, TavloOk, 0, "D1 E0"},
        {"activate the second of four", activate(1), "1011", kNone, 0, TavloOk, 1, "D0 D2 D3 E1"},
        {"activate -1: refused", activate(-1), "11", kNone, 0, TavloOk, 2, ""},
        {"activate 256: refused", activate(256), "11", kNone, 0, TavloOk, 2, ""},
        {"activate 255, beyond the table: all off, recorded", activate(255), "11", kNone, 0, TavloOk, 255, "D0 D1"},
        {"activate with an empty table: recorded", activate(1), "", kNone, 0, TavloNoPanel, 1, ""},
        {"activate: panel 0 keeps its new setting when panel 1 fails", activate(1), "11", kSecondGone, 0,
         TavloBadPanel, 2, "D0"},
        {"disable: table rebuilt first", disable, "11", kPanelCame, 0, TavloOk, -1, "I0 I1 I2 D0 T0 D1 T1 D2 T2"},
        {"disable: a failed touch read returned, every panel still off", disable, "111", kNone, kCheckTouch,
         TavloFailed, -1, "D0 T0 D1 T1 D2 T2"},
        {"disable: panels beyond the table too", disable, "111111", kNone, 0, TavloOk, -1,
         "D0 T0 D1 T1 D2 T2 D3 T3 D4 T4 D5 T5"},
        // The first pass and three more after rebuilding the table.
        {"disable: a lasting failure ends after three rebuilds", disable, "11", kNone, kSetPointdata, TavloFailed, 0,
         "D0 I0 I1 D0 I0 I1 D0 I0 I1 D0"},
        // The touch read after the first disable finds the stamp changed and is not sent.
        {"disable: a panel arriving during the release is released too", disable, "11", kComesOnDisable, 0, TavloOk,
         -1, "D0 I0 I1 I2 D0 T0 D1 T1 D2 T2"},
        {"disable with an empty table", disable, "", kNone, 0, TavloNoPanel, -1, ""},
        {"enable: panels beyond the table too, panel 0 active", enable, "000000", kNone, 0, TavloOk, 0,
         "E0 E1 E2 E3 E4 E5"},
        {"enable: a failure returned", enable, "000", kNone, kSetPointdata, TavloFailed, 2, "E0"},
        {"enable with an empty table", enable, "", kNone, 0, TavloNoPanel, -1, ""},
        // Panel 1 is touched in the rebuilt table: the poll stops there.
        {"poll after the panel set changed: the rebuilt table answers", poll, "111", kFirstReplaced, 0, TavloOk, 0,
         "I0 I1 I2 T0 T1"},
        {"poll after every panel is gone: empty table", poll, "11", kAllGone, 0, TavloNoPanel, -1, ""},
        // Each pass reads panel 0 and stops at panel 1's stale stamp.
        {"poll gives up after three rebuilds when panels keep changing", poll, "11", kKeepsChanging, 0,
         TavloPanelsChanged, 0, "T0 I0 I1 T0 I0 I1 T0 I0 I1 T0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
        Attach(c.attached);
        if (c.change == kPanelCame) model().AttachPanel(0x33);
        if (c.change == kSecondGone) {
            model().RemovePanel(1);       // the table still lists two panels
            usb.stamp = model().Stamp();  // ...with a stamp the driver accepts
        }
        if (c.change == kFirstReplaced) {  // the others move down, a new one comes last
            model().RemovePanel(0);
            model().AttachPanel(0x44);
            model().SetTouched(1, true);
        }
        for (int i = 0; c.change == kAllGone && i < 2; ++i) model().RemovePanel(0);
        driver().channel.afterRequest = [&c](std::uint32_t code) {
            // Enabled, as start-up mode 1 leaves a panel that comes up.
            if (c.change == kComesOnDisable && code == kSetPointdata && model().PanelCount() == 2) {
                model().AttachPanel(0x33);
            }
            if (c.change == kKeepsChanging && code == kCheckTouch) {  // the stamp is always out of date
                model().AttachPanel(0x77);
                model().RemovePanel(static_cast<std::uint8_t>(model().PanelCount() - 1));
            }
        };
        ASSERT_TRUE(c.failing == 0 || model().FailCode(c.failing, 31));  // an error without a status of its own
        usb.activeDevice = 2;
        EXPECT_EQ(c.call(usb), c.result);
        EXPECT_EQ(usb.activeDevice, c.active);
        EXPECT_EQ(Log(), c.log);
    }
}

// Three panels in the table.
TEST_F(UsbInterfaceTest, PresentTouchStateFindsTheFirstTouchedOtherPanel) {
    const struct {
        const char* what;
        Ints touched;
        std::uint32_t error;  // every touch read fails with it
        int active, result, touchedDevice, activeTouched;
        std::string log;
    } cases[] = {
        {"only the active panel touched", {1}, 0, 1, TavloOk, -1, 1, "T0 T1 T2"},
        {"stops at the first touched other panel", {1, 2}, 0, -1, TavloOk, 1, 0, "T0 T1"},
        {"earlier other panel hides the active one", {0, 1}, 0, 1, TavloOk, 0, 0, "T0"},
        {"active seen before the other panel", {0, 2}, 0, 0, TavloOk, 2, 1, "T0 T1 T2"},
        {"a failed read returned, no retry", {}, tavlosim::kErrorFileNotFound, 0, TavloBadPanel, -1, 0, "T0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NextRow();
        Attach("111");
        for (int panel : c.touched) model().SetTouched(static_cast<std::uint8_t>(panel), true);
        model().FailCode(kCheckTouch, c.error);
        usb.activeDevice = c.active;
        usb.touchedDevice = usb.activeTouched = 7;
        EXPECT_EQ(usb.PresentTouchState(), c.result);
        EXPECT_EQ(usb.touchedDevice, c.touchedDevice);
        EXPECT_EQ(usb.activeTouched, c.activeTouched);
        EXPECT_EQ(Log(), c.log);
    }
}

}  // namespace

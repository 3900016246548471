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
#include "row_name.h"
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

enum class Driver { kPlain, kMissing, kClaimsThree };  // kClaimsThree: the third never answers
using enum Driver;

struct UpdateCase {
    const char* name;
    std::vector<std::uint8_t> ids;
    std::string pointdata;
    Driver driver;
    int result, count, active;
    Ints panelIds;
};

class UsbInterfaceUpdate : public UsbInterfaceTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UsbInterfaceUpdate, BuildsTheTable) {
    const UpdateCase& c = GetParam();
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, UsbInterfaceUpdate,
                         ::testing::Values(
        UpdateCase{.name = "no panels", .ids = {}, .pointdata = "", .driver = kPlain, .result = TavloNoPanel,
                   .count = 0, .active = -1, .panelIds = {-1, -1, -1, -1, -1}},
        UpdateCase{.name = "no device", .ids = {0x11}, .pointdata = "1", .driver = kMissing, .result = TavloNoDevice,
                   .count = 0, .active = -1, .panelIds = {-1, -1, -1, -1, -1}},
        UpdateCase{.name = "first enabled panel is active", .ids = {3, 4, 5}, .pointdata = "011", .driver = kPlain,
                   .result = TavloOk, .count = 3, .active = 1, .panelIds = {3, 4, 5, -1, -1}},
        UpdateCase{.name = "six panels cut to four", .ids = {1, 2, 3, 4, 5, 6}, .pointdata = "000011",
                   .driver = kPlain, .result = TavloOk, .count = 4, .active = -1, .panelIds = {1, 2, 3, 4, -1}},
        UpdateCase{.name = "identifiers as 0..255, none enabled", .ids = {0xFF, 0x80}, .pointdata = "00",
                   .driver = kPlain, .result = TavloOk, .count = 2, .active = -1, .panelIds = {255, 128, -1, -1, -1}},
                                           // The point-data read of panel 0 came last, so the result is that one's.
        UpdateCase{.name = "unreadable identifier ends the table", .ids = {1, 2}, .pointdata = "10",
                   .driver = kClaimsThree, .result = TavloOk, .count = 2, .active = 0, .panelIds = {1, 2, -1, -1, -1}}),
                         suite_test::RowName);
// clang-format on

using Call = std::function<int(CUSBInterface&)>;
const Call kDisable = &CUSBInterface::SetAllPanelDisable, kEnable = &CUSBInterface::SetAllPanelEnable,
           kPoll = &CUSBInterface::PresentTouchState;
Call Activate(int i) {
    return [i](CUSBInterface& u) { return u.SetActiveDevice(i); };
}
// What happens to the attached panels after the table was built.
enum class Change { kNone, kPanelCame, kSecondGone, kFirstReplaced, kAllGone, kComesOnDisable, kKeepsChanging };
using enum Change;

struct SwitchCase {
    const char* name;
    Call call;
    std::string attached;  // point data of the attached panels
    Change change;
    std::uint32_t failing;  // every request of this code fails (status 8)
    int result, active;     // the object's active panel was 2
    std::string log;
};

class UsbInterfaceSwitch : public UsbInterfaceTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(UsbInterfaceSwitch, PointDataFollowsThePanelSet) {
    const SwitchCase& c = GetParam();
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(Calls, UsbInterfaceSwitch,
                         ::testing::Values(
                             // The others go off first: never two panels with point data at once.
        SwitchCase{.name = "activate the first panel", .call = Activate(0), .attached = "11", .change = kNone,
                   .failing = 0, .result = TavloOk, .active = 0, .log = "D1 E0"},
        SwitchCase{.name = "activate the second of four", .call = Activate(1), .attached = "1011", .change = kNone,
                   .failing = 0, .result = TavloOk, .active = 1, .log = "D0 D2 D3 E1"},
        SwitchCase{.name = "activate -1: refused", .call = Activate(-1), .attached = "11", .change = kNone,
                   .failing = 0, .result = TavloOk, .active = 2, .log = ""},
        SwitchCase{.name = "activate 256: refused", .call = Activate(256), .attached = "11", .change = kNone,
                   .failing = 0, .result = TavloOk, .active = 2, .log = ""},
        SwitchCase{.name = "activate 255, beyond the table: all off, recorded", .call = Activate(255),
                   .attached = "11", .change = kNone, .failing = 0, .result = TavloOk, .active = 255, .log = "D0 D1"},
        SwitchCase{.name = "activate with an empty table: recorded", .call = Activate(1), .attached = "",
                   .change = kNone, .failing = 0, .result = TavloNoPanel, .active = 1, .log = ""},
        SwitchCase{.name = "activate: panel 0 keeps its new setting when panel 1 fails", .call = Activate(1),
                   .attached = "11", .change = kSecondGone, .failing = 0, .result = TavloBadPanel, .active = 2,
                   .log = "D0"},
        SwitchCase{.name = "disable: table rebuilt first", .call = kDisable, .attached = "11", .change = kPanelCame,
                   .failing = 0, .result = TavloOk, .active = -1, .log = "I0 I1 I2 D0 T0 D1 T1 D2 T2"},
        SwitchCase{.name = "disable: a failed touch read returned, every panel still off", .call = kDisable,
                   .attached = "111", .change = kNone, .failing = kCheckTouch, .result = TavloFailed, .active = -1,
                   .log = "D0 T0 D1 T1 D2 T2"},
        SwitchCase{.name = "disable: panels beyond the table too", .call = kDisable, .attached = "111111",
                   .change = kNone, .failing = 0, .result = TavloOk, .active = -1,
                   .log = "D0 T0 D1 T1 D2 T2 D3 T3 D4 T4 D5 T5"},
                             // The first pass and three more after rebuilding the table.
        SwitchCase{.name = "disable: a lasting failure ends after three rebuilds", .call = kDisable, .attached = "11",
                   .change = kNone, .failing = kSetPointdata, .result = TavloFailed, .active = 0,
                   .log = "D0 I0 I1 D0 I0 I1 D0 I0 I1 D0"},
                             // The touch read after the first disable finds the stamp changed and is not sent.
        SwitchCase{.name = "disable: a panel arriving during the release is released too", .call = kDisable,
                   .attached = "11", .change = kComesOnDisable, .failing = 0, .result = TavloOk, .active = -1,
                   .log = "D0 I0 I1 I2 D0 T0 D1 T1 D2 T2"},
        SwitchCase{.name = "disable with an empty table", .call = kDisable, .attached = "", .change = kNone,
                   .failing = 0, .result = TavloNoPanel, .active = -1, .log = ""},
        SwitchCase{.name = "enable: panels beyond the table too, panel 0 active", .call = kEnable,
                   .attached = "000000", .change = kNone, .failing = 0, .result = TavloOk, .active = 0,
                   .log = "E0 E1 E2 E3 E4 E5"},
        SwitchCase{.name = "enable: a failure returned", .call = kEnable, .attached = "000", .change = kNone,
                   .failing = kSetPointdata, .result = TavloFailed, .active = 2, .log = "E0"},
        SwitchCase{.name = "enable with an empty table", .call = kEnable, .attached = "", .change = kNone,
                   .failing = 0, .result = TavloNoPanel, .active = -1, .log = ""},
                             // Panel 1 is touched in the rebuilt table: the poll stops there.
        SwitchCase{.name = "poll after the panel set changed: the rebuilt table answers", .call = kPoll,
                   .attached = "111", .change = kFirstReplaced, .failing = 0, .result = TavloOk, .active = 0,
                   .log = "I0 I1 I2 T0 T1"},
        SwitchCase{.name = "poll after every panel is gone: empty table", .call = kPoll, .attached = "11",
                   .change = kAllGone, .failing = 0, .result = TavloNoPanel, .active = -1, .log = ""},
                             // Each pass reads panel 0 and stops at panel 1's stale stamp.
        SwitchCase{.name = "poll gives up after three rebuilds when panels keep changing", .call = kPoll,
                   .attached = "11", .change = kKeepsChanging, .failing = 0, .result = TavloPanelsChanged,
                   .active = 0, .log = "T0 I0 I1 T0 I0 I1 T0 I0 I1 T0"}),
                         suite_test::RowName);
// clang-format on

struct TouchCase {
    const char* name;
    Ints touched;
    std::uint32_t error;  // every touch read fails with it
    int active, result, touchedDevice, activeTouched;
    std::string log;
};

class UsbInterfaceTouch : public UsbInterfaceTest, public ::testing::WithParamInterface<TouchCase> {};

// Three panels in the table.
TEST_P(UsbInterfaceTouch, PresentTouchStateFindsTheFirstTouchedOtherPanel) {
    const TouchCase& c = GetParam();
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(Touches, UsbInterfaceTouch,
                         ::testing::Values(
        TouchCase{.name = "only the active panel touched", .touched = {1}, .error = 0, .active = 1, .result = TavloOk,
                  .touchedDevice = -1, .activeTouched = 1, .log = "T0 T1 T2"},
        TouchCase{.name = "stops at the first touched other panel", .touched = {1, 2}, .error = 0, .active = -1,
                  .result = TavloOk, .touchedDevice = 1, .activeTouched = 0, .log = "T0 T1"},
        TouchCase{.name = "earlier other panel hides the active one", .touched = {0, 1}, .error = 0, .active = 1,
                  .result = TavloOk, .touchedDevice = 0, .activeTouched = 0, .log = "T0"},
        TouchCase{.name = "active seen before the other panel", .touched = {0, 2}, .error = 0, .active = 0,
                  .result = TavloOk, .touchedDevice = 2, .activeTouched = 1, .log = "T0 T1 T2"},
        TouchCase{.name = "a failed read returned, no retry", .touched = {}, .error = tavlosim::kErrorFileNotFound,
                  .active = 0, .result = TavloBadPanel, .touchedDevice = -1, .activeTouched = 0, .log = "T0"}),
                         suite_test::RowName);
// clang-format on

}  // namespace

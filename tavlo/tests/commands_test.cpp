// The commands against the simulated driver: the bytes each one sends, the
// panel check, the error mapping, null buffers, presets, the values that
// come back and the click-block conversions. What every export does with
// odd replies, driver failures and a failed close is swept in
// export_table_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device_model.h"
#include "model_channel.h"
#include "row_name.h"
#include "tavlo_commands.h"

namespace tavlo_test {
namespace {

using namespace tavlo;

// A request as the driver saw it: its code and input bytes.
using SentRequest = std::pair<std::uint32_t, std::vector<std::uint8_t>>;
using Requests = std::vector<SentRequest>;

// A simulated driver with two panels, an in-process channel to it, and a
// caller stamp that is up to date.
class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        model.AttachPanel(0x11, 0x0105);
        model.AttachPanel(0x22, 0x0207);
        stamp = model.Stamp();
        model.ClearLog();
    }
    // Every opened handle must be closed again, on every path.
    void TearDown() override { EXPECT_EQ(channel.OpenHandles(), 0); }

    // The requests since the log was emptied, but the status requests.
    Requests Sent() const {
        Requests sent;
        for (std::uint32_t i = 0; i < model.LogSize(); ++i) {
            const tavlosim::LogEntry& e = model.LogAt(i);
            if (e.code == IOCTL_TAVLO_GET_STATUS) continue;
            sent.push_back({e.code, std::vector<std::uint8_t>(e.in, e.in + e.inSize)});
        }
        return sent;
    }

    tavlosim::DeviceModel model;
    tavlosim::ModelChannel channel{model};
    std::uint16_t stamp = 0;
};

// Panel 0x101 is panel 1, alt 0x100 the working set and 0x301 the saved
// one, flag 0x7F00 off: only the low byte of a 32-bit argument counts.
// Values come back as set, per panel and per set.
TEST_F(Commands, SendLowBytesAndRepliesReachTheCaller) {
    std::uint16_t version = 0, fresh = 0, firm = 0, word = 0;
    std::uint8_t count = 0, id = 0, touched = 9;
    model.SetTouched(1, true);
    EXPECT_EQ(GetVersion(channel, &version), TavloOk);
    EXPECT_EQ(NeedUpdate(channel, &fresh), TavloOk);
    EXPECT_EQ(GetDevices(channel, &count), TavloOk);
    EXPECT_EQ(GetFirmVer(channel, &stamp, 0x101, &firm), TavloOk);
    EXPECT_EQ(GetPanelId(channel, &stamp, 1, &id), TavloOk);
    EXPECT_EQ(CheckTouch(channel, &stamp, 1, &touched), TavloOk);
    EXPECT_EQ(std::vector<int>({version, fresh, count, firm, id, touched}),
              std::vector<int>({tavlosim::kDriverVersion, model.Stamp(), 2, 0x0207, 0x22, 1}));
    EXPECT_EQ(CheckTouch(channel, &stamp, 0, &touched), TavloOk);
    EXPECT_EQ(touched, 0);

    using Four = std::array<std::int16_t, 4>;
    const Four working{-32768, -1, 32767, -200}, saved{9000, 12, 11000, -34};
    const std::uint16_t written = 0x02A7;
    model.ClearLog();
    EXPECT_EQ(SetCalibrationData(channel, &stamp, 0x101, working.data(), 0x100), TavloOk);
    EXPECT_EQ(SetCalibrationData(channel, &stamp, 1, saved.data(), 0x301), TavloOk);
    EXPECT_EQ(WriteEeprom(channel, &stamp, 1, 0x312, &written), TavloOk);
    EXPECT_EQ(SetPointdataEnable(channel, &stamp, 1, 0x100), TavloOk);
    EXPECT_EQ(SetPanelLed(channel, &stamp, 1, 0x1FE), TavloOk);
    EXPECT_EQ(SetClickSound(channel, &stamp, 1, 0x7F00, 0), TavloOk);
    EXPECT_EQ(SetClickSound(channel, &stamp, 1, 0x42, 0x80), TavloOk);
    EXPECT_EQ(SetStartupMode(channel, 0x100), TavloOk);
    EXPECT_EQ(SetStartupMode(channel, 2), TavloOk);
    // Driver-wide modes: values other than the flags go through unchecked.
    EXPECT_EQ(SetClickMode(channel, 0x199), TavloOk);
    EXPECT_EQ(SetClickOnceMode(channel, 0x300, 0x1C3), TavloOk);
    EXPECT_EQ(SetClickOnceMode(channel, 0x20, 4), TavloOk);
    const Requests expected = {
        {IOCTL_TAVLO_SET_CALIBRATION, {1, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0x38, 0xFF}},
        {IOCTL_TAVLO_SET_CALIBRATION_ALT, {1, 0x28, 0x23, 0x0C, 0x00, 0xF8, 0x2A, 0xDE, 0xFF}},
        {IOCTL_TAVLO_WRITE_EEPROM, {1, 0x12, 0xA7, 0x02}},
        {IOCTL_TAVLO_SET_POINTDATA_ENABLE, {1, 0}},
        {IOCTL_TAVLO_SET_PANEL_LED, {1, 0xFE}},
        {IOCTL_TAVLO_SET_CLICK_SOUND, {1, 0}},
        {IOCTL_TAVLO_SET_CLICK_SOUND_ALT, {1, 1}},
        {IOCTL_TAVLO_SET_STARTUP_MODE, {0}},
        {IOCTL_TAVLO_SET_STARTUP_MODE, {1}},
        {IOCTL_TAVLO_SET_CLICK_MODE, {0x99}},
        {IOCTL_TAVLO_SET_CLICK_ONCE_MODE, {0, 0xC3}},
        {IOCTL_TAVLO_SET_CLICK_ONCE_MODE, {1, 4}},
    };
    EXPECT_EQ(Sent(), expected);

    Four cal{};
    EXPECT_EQ(GetCalibrationData(channel, &stamp, 0x101, cal.data(), 0x100), TavloOk);
    EXPECT_EQ(cal, working);
    EXPECT_EQ(GetCalibrationData(channel, &stamp, 1, cal.data(), 0x301), TavloOk);
    EXPECT_EQ(cal, saved);
    EXPECT_EQ(ReadEeprom(channel, &stamp, 0x101, 0x412, &word), TavloOk);
    EXPECT_EQ(word, 0x02A7);
    std::uint8_t on = 9, led = 9, sound = 9, startup = 9, button = 9, onceFlag = 9, onceButton = 9;
    EXPECT_EQ(GetPointdataEnable(channel, &stamp, 0x101, &on), TavloOk);
    EXPECT_EQ(GetPanelLed(channel, &stamp, 0x101, &led), TavloOk);
    EXPECT_EQ(GetClickSound(channel, &stamp, 0x101, &sound, 0x301), TavloOk);
    EXPECT_EQ(GetStartupMode(channel, &startup), TavloOk);
    EXPECT_EQ(GetClickMode(channel, &button), TavloOk);
    EXPECT_EQ(GetClickOnceMode(channel, &onceFlag, &onceButton), TavloOk);
    EXPECT_EQ(std::vector<int>({on, led, sound, startup, button, onceFlag, onceButton}),
              std::vector<int>({0, 0xFE, 1, 1, 0x99, 1, 4}));
}

// Stale stamp (refreshed) before zero panels before panel out of range; a
// refused panel sends nothing but the check.
TEST_F(Commands, PanelCheckOrderIsStampThenCountThenRange) {
    std::uint8_t id = 0;
    EXPECT_EQ(GetPanelId(channel, &stamp, 2, &id), TavloBadPanel);
    EXPECT_TRUE(Sent().empty());
    stamp = static_cast<std::uint16_t>(model.Stamp() + 7);
    EXPECT_EQ(GetPanelId(channel, &stamp, 1, &id), TavloPanelsChanged);
    EXPECT_EQ(stamp, model.Stamp());
    EXPECT_EQ(GetPanelId(channel, &stamp, 1, &id), TavloOk);
    model.RemovePanel(1);
    model.RemovePanel(0);
    EXPECT_EQ(GetPanelId(channel, &stamp, 5, &id), TavloPanelsChanged);
    EXPECT_EQ(GetPanelId(channel, &stamp, 5, &id), TavloNoPanel);
}

struct DriverErrorCase {
    const char* name;
    std::uint32_t error;
    TavloStatus status;
};

class CommandsDriverError : public Commands, public ::testing::WithParamInterface<DriverErrorCase> {};

TEST_P(CommandsDriverError, IsMapped) {
    model.FailNext(GetParam().error);
    std::uint8_t count = 0;
    EXPECT_EQ(GetDevices(channel, &count), GetParam().status) << "error " << GetParam().error;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandsDriverError,
    ::testing::Values(DriverErrorCase{.name = "InvalidFunction", .error = 1, .status = TavloNotSupported},
                      DriverErrorCase{.name = "FileNotFound", .error = 2, .status = TavloBadPanel},
                      DriverErrorCase{.name = "InvalidParameter", .error = 87, .status = TavloBadParameter},
                      DriverErrorCase{.name = "GeneralFailure", .error = 31, .status = TavloFailed}),
    suite_test::RowName);

TEST_F(Commands, NullBuffersAreRejectedBeforeOpening) {
    std::uint16_t word = 0;
    std::uint8_t byte = 0;
    std::int16_t four[4] = {};
    const TavloStatus results[] = {
        GetVersion(channel, nullptr),
        NeedUpdate(channel, nullptr),
        GetDevices(channel, nullptr),
        GetFirmVer(channel, &stamp, 0, nullptr),
        GetFirmVer(channel, nullptr, 0, &word),
        GetPanelId(channel, &stamp, 0, nullptr),
        GetCalibrationData(channel, &stamp, 0, nullptr, 0),
        SetCalibrationData(channel, &stamp, 0, nullptr, 0),
        SetCalibrationData(channel, nullptr, 0, four, 0),
        GetPointdataEnable(channel, &stamp, 0, nullptr),
        SetPointdataEnable(channel, nullptr, 0, 1),
        CheckTouch(channel, &stamp, 0, nullptr),
        GetClickData(channel, &stamp, 0, nullptr, 0),
        SetClickData(channel, &stamp, 0, nullptr, 0),
        GetClickSound(channel, &stamp, 0, nullptr, 0),
        SetClickSound(channel, nullptr, 0, 1, 0),
        GetPanelLed(channel, &stamp, 0, nullptr),
        SetPanelLed(channel, nullptr, 0, 1),
        GetStartupMode(channel, nullptr),
        GetClickMode(channel, nullptr),
        GetClickOnceMode(channel, &byte, nullptr),
        GetClickOnceMode(channel, nullptr, &byte),
        ReadEeprom(channel, &stamp, 0, 0, nullptr),
        WriteEeprom(channel, &stamp, 0, 0, nullptr),
    };
    for (TavloStatus status : results) EXPECT_EQ(status, TavloBadParameter);
    EXPECT_EQ(channel.Opened(), 0);
}

// Some outputs are preset before the device is opened, so that a failed
// call leaves a defined value; the version and firmware are not. A failed
// request after the open stores nothing more (export_table_test.cpp).
TEST_F(Commands, FailedCallsLeaveThePresets) {
    channel.deviceMissing = true;
    std::uint16_t fresh = 0x77, word = 0x77, version = 0x77, firm = 0x77;
    std::uint8_t count = 0x77, id = 0x77, led = 0x77;
    NeedUpdate(channel, &fresh);
    GetDevices(channel, &count);
    GetPanelId(channel, &stamp, 0, &id);
    GetPanelLed(channel, &stamp, 0, &led);
    ReadEeprom(channel, &stamp, 0, 0, &word);
    GetVersion(channel, &version);
    GetFirmVer(channel, &stamp, 0, &firm);
    EXPECT_EQ(std::vector<int>({fresh, count, id, led, word, version, firm}),
              std::vector<int>({0xFFFF, 0, 0, 0, 0, 0x77, 0x77}));
}

using Click = std::array<std::int16_t, 4>;
using Block = std::array<std::uint8_t, 7>;

struct GetClickCase {
    const char* name;
    Block block;
    Click data;
};

class CommandsGetClickData : public Commands, public ::testing::WithParamInterface<GetClickCase> {};

// The panel's click block as the caller reads it: each byte bounded into
// its device range, then scaled.
TEST_P(CommandsGetClickData, BoundsAndScalesTheBlock) {
    const GetClickCase& c = GetParam();
    std::copy(c.block.begin(), c.block.end(), model.MutablePanel(1)->click[tavlosim::kSavedSet]);
    Click read{};
    EXPECT_EQ(GetClickData(channel, &stamp, 1, read.data(), 1), TavloOk);
    EXPECT_EQ(read, c.data) << "block starting " << static_cast<int>(c.block[0]);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Blocks, CommandsGetClickData,
    ::testing::Values(
        GetClickCase{.name = "BelowTheRanges", .block = {0x05, 0, 0, 0x03, 0, 0x0F, 0x0B}, .data = {100, 100, 200, 20}},
        GetClickCase{.name = "NewPanel", .block = {12, 15, 0x21, 40, 0x06, 3, 3}, .data = {30, 30, 400, 28}},
        GetClickCase{.name = "Lowest", .block = {8, 0, 0, 20, 0, 0, 0}, .data = {0, 0, 200, 20}},
        GetClickCase{.name = "AllBitsSet", .block = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, .data = {100, 100, 900, 40}}),
    suite_test::RowName);
// clang-format on

struct SetClickCase {
    const char* name;
    Click given, bounded;
    Block sent;
};

class CommandsSetClickData : public Commands, public ::testing::WithParamInterface<SetClickCase> {};

// What the caller gives is bounded in place, cut to device steps and
// written with bytes 2 and 4 as the panel holds them.
TEST_P(CommandsSetClickData, BoundsInPlaceAndWritesBackBytesTwoAndFour) {
    const SetClickCase& c = GetParam();
    std::uint8_t* saved = model.MutablePanel(1)->click[tavlosim::kSavedSet];
    saved[2] = 0xAB;
    saved[4] = 0xCD;
    Click data = c.given;
    EXPECT_EQ(SetClickData(channel, &stamp, 1, data.data(), 1), TavloOk);
    EXPECT_EQ(data, c.bounded);
    std::vector<std::uint8_t> in{1};
    in.insert(in.end(), c.sent.begin(), c.sent.end());
    EXPECT_EQ(Sent(), (Requests{{IOCTL_TAVLO_GET_CLICK_DATA_ALT, {1}}, {IOCTL_TAVLO_SET_CLICK_DATA_ALT, in}}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, CommandsSetClickData,
                         ::testing::Values(
        SetClickCase{.name = "OutOfRange", .given = {-5, 150, 1000, 41}, .bounded = {0, 100, 900, 40}, .sent = {18, 23, 0xAB, 90, 0xCD, 0, 10}},
        SetClickCase{.name = "Extremes", .given = {-32768, 32767, -1, -32768}, .bounded = {0, 100, 200, 20}, .sent = {8, 10, 0xAB, 20, 0xCD, 0, 10}},
        SetClickCase{.name = "CutToDeviceSteps", .given = {99, 19, 899, 39}, .bounded = {99, 19, 899, 39}, .sent = {17, 22, 0xAB, 89, 0xCD, 9, 1}}),
                         suite_test::RowName);
// clang-format on

}  // namespace
}  // namespace tavlo_test

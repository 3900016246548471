// The driver-level queries, the error mapping, short replies, close
// failures and null buffers.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tavlo_fixture.h"

namespace tavlo_test {
namespace {

using Queries = TavloCommandTest;

TEST_F(Queries, ReportVersionStampAndCount) {
    std::uint16_t version = 0, fresh = 0;
    std::uint8_t count = 9;
    EXPECT_EQ(tavlo::GetVersion(channel, &version), TavloOk);
    EXPECT_EQ(version, tavlosim::kDriverVersion);
    EXPECT_EQ(tavlo::NeedUpdate(channel, &fresh), TavloOk);
    EXPECT_EQ(fresh, model.Stamp());
    EXPECT_EQ(tavlo::GetDevices(channel, &count), TavloOk);
    EXPECT_EQ(count, 2);
    // Sizes are checked by the driver model, which refuses a wrong one.
    EXPECT_EQ(SentCodes(), (std::vector<std::uint32_t>{0x226000, 0x226004, 0x226004}));
}

TEST_F(Queries, MissingDeviceKeepsPresetsAndSendsNothing) {
    channel.deviceMissing = true;
    std::uint16_t version = 0x1234, fresh = 0x55;
    std::uint8_t count = 9;
    EXPECT_EQ(tavlo::GetVersion(channel, &version), TavloNoDevice);
    EXPECT_EQ(version, 0x1234);  // not preset
    EXPECT_EQ(tavlo::NeedUpdate(channel, &fresh), TavloNoDevice);
    EXPECT_EQ(fresh, 0xFFFF);
    EXPECT_EQ(tavlo::GetDevices(channel, &count), TavloNoDevice);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(model.RequestsSeen(), 0u);
}

struct ErrorCase {
    std::uint32_t win32Error;
    TavloStatus status;
};

class ErrorMapping : public TavloCommandTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorMapping, DriverFailureMapsAndKeepsPresets) {
    const ErrorCase c = GetParam();
    std::uint16_t fresh = 0x55;
    model.FailNext(c.win32Error);
    EXPECT_EQ(tavlo::NeedUpdate(channel, &fresh), c.status);
    EXPECT_EQ(fresh, 0xFFFF);
    std::uint8_t count = 9;
    model.FailCode(IOCTL_TAVLO_GET_STATUS, c.win32Error);
    EXPECT_EQ(tavlo::GetDevices(channel, &count), c.status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(tavlo::MapLastError(c.win32Error), c.status);
}

INSTANTIATE_TEST_SUITE_P(Win32Errors, ErrorMapping,
                         ::testing::Values(ErrorCase{1, TavloNotSupported}, ErrorCase{2, TavloBadPanel},
                                           ErrorCase{87, TavloBadParameter}, ErrorCase{5, TavloFailed},
                                           ErrorCase{31, TavloFailed}, ErrorCase{1167, TavloFailed},
                                           ErrorCase{0xFFFFFFFFu, TavloFailed}),
                         [](const ::testing::TestParamInfo<ErrorCase>& row) {
                             return "Win32Error" + std::to_string(row.param.win32Error);
                         });

TEST_F(Queries, NullBuffersAreRejectedBeforeOpening) {
    std::uint16_t word = 0;
    std::uint8_t byte = 0;
    std::int16_t four[4] = {};
    const TavloStatus results[] = {
        tavlo::GetVersion(channel, nullptr),
        tavlo::NeedUpdate(channel, nullptr),
        tavlo::GetDevices(channel, nullptr),
        tavlo::GetFirmVer(channel, &stamp, 0, nullptr),
        tavlo::GetFirmVer(channel, nullptr, 0, &word),
        tavlo::GetPanelId(channel, &stamp, 0, nullptr),
        tavlo::GetCalibrationData(channel, &stamp, 0, nullptr, 0),
        tavlo::SetCalibrationData(channel, &stamp, 0, nullptr, 0),
        tavlo::SetCalibrationData(channel, nullptr, 0, four, 0),
        tavlo::GetPointdataEnable(channel, &stamp, 0, nullptr),
        tavlo::SetPointdataEnable(channel, nullptr, 0, 1),
        tavlo::CheckTouch(channel, &stamp, 0, nullptr),
        tavlo::GetClickData(channel, &stamp, 0, nullptr, 0),
        tavlo::SetClickData(channel, &stamp, 0, nullptr, 0),
        tavlo::GetClickSound(channel, &stamp, 0, nullptr, 0),
        tavlo::SetClickSound(channel, nullptr, 0, 1, 0),
        tavlo::GetPanelLed(channel, &stamp, 0, nullptr),
        tavlo::SetPanelLed(channel, nullptr, 0, 1),
        tavlo::GetStartupMode(channel, nullptr),
        tavlo::GetClickMode(channel, nullptr),
        tavlo::GetClickOnceMode(channel, &byte, nullptr),
        tavlo::GetClickOnceMode(channel, nullptr, &byte),
        tavlo::ReadEeprom(channel, &stamp, 0, 0, nullptr),
        tavlo::WriteEeprom(channel, &stamp, 0, 0, nullptr),
    };
    for (TavloStatus status : results) EXPECT_EQ(status, TavloBadParameter);
    EXPECT_EQ(channel.Opened(), 0);
}

// The driver-wide mode commands share the skeleton without a panel check.
struct ModeCall {
    std::string name;
    std::function<TavloStatus(tavlo::DeviceChannel&, std::uint8_t*)> call;
    std::uint32_t code;
    std::uint8_t delivered;  // what a successful call stores (0xEE: nothing)
};

std::vector<ModeCall> ModeCalls() {
    using namespace tavlo;
    return {
        {"GetStartupMode", [](DeviceChannel& c, std::uint8_t* o) { return GetStartupMode(c, o); }, 0x22E1C0, 1},
        {"SetStartupMode", [](DeviceChannel& c, std::uint8_t*) { return SetStartupMode(c, 0); }, 0x22A1C4, 0xEE},
        {"GetClickMode", [](DeviceChannel& c, std::uint8_t* o) { return GetClickMode(c, o); }, 0x22E1E0, 1},
        {"SetClickMode", [](DeviceChannel& c, std::uint8_t*) { return SetClickMode(c, 2); }, 0x22A1E4, 0xEE},
        {"GetClickOnceMode", [](DeviceChannel& c, std::uint8_t* o) { std::uint8_t b; return GetClickOnceMode(c, o, &b); },
         0x22E1E8, 0},
        {"SetClickOnceMode", [](DeviceChannel& c, std::uint8_t*) { return SetClickOnceMode(c, 1, 2); }, 0x22A1EC, 0xEE},
    };
}

class EachModeCommand : public TavloCommandTest, public ::testing::WithParamInterface<ModeCall> {};

TEST_P(EachModeCommand, FailurePathsAndCloseFailure) {
    const ModeCall& c = GetParam();
    std::uint8_t out = 0xEE;
    channel.deviceMissing = true;
    EXPECT_EQ(c.call(channel, &out), TavloNoDevice);
    EXPECT_EQ(model.RequestsSeen(), 0u);
    channel.deviceMissing = false;
    for (const auto& [error, status] : {std::pair<std::uint32_t, TavloStatus>{1, TavloNotSupported},
                                        {2, TavloBadPanel}, {87, TavloBadParameter}, {1117, TavloFailed}}) {
        model.FailNext(error);
        EXPECT_EQ(c.call(channel, &out), status);
        EXPECT_EQ(out, 0xEE);
    }
    EXPECT_EQ(SentCodes(), std::vector<std::uint32_t>(4, c.code));  // no status request first
    channel.closeFails = true;
    EXPECT_EQ(c.call(channel, &out), TavloCloseFailed);
    EXPECT_EQ(out, c.delivered);
}

INSTANTIATE_TEST_SUITE_P(Modes, EachModeCommand, ::testing::ValuesIn(ModeCalls()),
                         [](const auto& param) { return param.param.name; });

// A close failure after a successful read still delivers the reply.
TEST_F(Queries, CloseFailureDeliversEveryReply) {
    model.MutablePanel(1)->led = 0x5A;
    model.MutablePanel(1)->eeprom[3] = 0x1234;
    model.SetTouched(1, true);
    channel.closeFails = true;
    std::uint8_t id = 0, enable = 9, touched = 0, sound = 9, led = 0, count = 0;
    std::uint16_t firm = 0, word = 0, fresh = 0, version = 0;
    std::int16_t cal[4] = {};
    EXPECT_EQ(tavlo::NeedUpdate(channel, &fresh), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetDevices(channel, &count), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetVersion(channel, &version), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetCalibrationData(channel, &stamp, 1, cal, 0), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetPanelId(channel, &stamp, 1, &id), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetFirmVer(channel, &stamp, 1, &firm), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetPointdataEnable(channel, &stamp, 1, &enable), TavloCloseFailed);
    EXPECT_EQ(tavlo::CheckTouch(channel, &stamp, 1, &touched), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetClickSound(channel, &stamp, 1, &sound, 1), TavloCloseFailed);
    EXPECT_EQ(tavlo::GetPanelLed(channel, &stamp, 1, &led), TavloCloseFailed);
    EXPECT_EQ(tavlo::ReadEeprom(channel, &stamp, 1, 3, &word), TavloCloseFailed);
    EXPECT_EQ(id, 0x22);
    EXPECT_EQ(firm, 0x0207);
    EXPECT_EQ(enable, 1);
    EXPECT_EQ(touched, 1);
    EXPECT_EQ(sound, 1);
    EXPECT_EQ(led, 0x5A);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(fresh, model.Stamp());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(version, tavlosim::kDriverVersion);
    EXPECT_EQ(cal[0], 10000);
}

}  // namespace
}  // namespace tavlo_test

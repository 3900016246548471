// Every panel-addressed export: the request it sends, the panel check that
// precedes it, driver failures, and the reply rules of the identity,
// calibration, point-data, sound, LED and EEPROM commands.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tavlo_fixture.h"

namespace tavlo_test {
namespace {

using Call = std::function<TavloStatus(tavlo::DeviceChannel&, std::uint16_t*, std::uint32_t panel)>;

struct PanelExport {
    std::string name;
    Call call;
    std::uint32_t code;             // the export's own (last) request
    std::vector<std::uint8_t> in;   // its input bytes when addressed to panel 1
    std::uint32_t outSize;
};

const std::int16_t kCal[4] = {10000, -3, 9000, 0x1234};
const std::uint16_t kWord = 0x02A7;

std::vector<PanelExport> PanelExports() {
    using namespace tavlo;
    return {
        {"GetFirmVer", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint16_t v; return GetFirmVer(c, s, p, &v); },
         0x22E040, {1}, 2},
        {"GetPanelId", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return GetPanelId(c, s, p, &v); },
         0x22E044, {1}, 1},
        {"GetCalibration", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4]; return GetCalibrationData(c, s, p, v, 0); },
         0x22E080, {1}, 8},
        {"GetCalibrationAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4]; return GetCalibrationData(c, s, p, v, 0x301); },
         0x22E088, {1}, 8},
        {"SetCalibration", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetCalibrationData(c, s, p, kCal, 0x100); },
         0x22A084, {1, 0x10, 0x27, 0xFD, 0xFF, 0x28, 0x23, 0x34, 0x12}, 0},
        {"SetCalibrationAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetCalibrationData(c, s, p, kCal, 2); },
         0x22A08C, {1, 0x10, 0x27, 0xFD, 0xFF, 0x28, 0x23, 0x34, 0x12}, 0},
        {"GetPointdataEnable", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return GetPointdataEnable(c, s, p, &v); },
         0x22E0C0, {1}, 1},
        {"SetPointdataEnable", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetPointdataEnable(c, s, p, 0x80); },
         0x22A0C4, {1, 1}, 0},
        {"SetPointdataEnable256", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetPointdataEnable(c, s, p, 0x100); },
         0x22A0C4, {1, 0}, 0},
        {"CheckTouch", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return CheckTouch(c, s, p, &v); },
         0x22E0E0, {1}, 1},
        {"GetClickData", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4]; return GetClickData(c, s, p, v, 0); },
         0x22E140, {1}, 7},
        {"GetClickDataAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4]; return GetClickData(c, s, p, v, 1); },
         0x22E148, {1}, 7},
        {"SetClickData", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4] = {30, 40, 500, 30}; return SetClickData(c, s, p, v, 0); },
         0x22A144, {1, 13, 16, 0x21, 50, 0x06, 3, 4}, 0},
        {"SetClickDataAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::int16_t v[4] = {30, 40, 500, 30}; return SetClickData(c, s, p, v, 9); },
         0x22A14C, {1, 13, 16, 0x21, 50, 0x06, 3, 4}, 0},
        {"GetClickSound", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return GetClickSound(c, s, p, &v, 0); },
         0x22E180, {1}, 1},
        {"GetClickSoundAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return GetClickSound(c, s, p, &v, 1); },
         0x22E188, {1}, 1},
        {"SetClickSound", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetClickSound(c, s, p, 0x7F00, 0); },
         0x22A184, {1, 0}, 0},
        {"SetClickSoundAlt", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetClickSound(c, s, p, 0x42, 0x80); },
         0x22A18C, {1, 1}, 0},
        {"GetPanelLed", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint8_t v; return GetPanelLed(c, s, p, &v); },
         0x22E100, {1}, 1},
        {"SetPanelLed", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return SetPanelLed(c, s, p, 0x1FE); },
         0x22A104, {1, 0xFE}, 0},
        {"ReadEeprom", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { std::uint16_t v; return ReadEeprom(c, s, p, 0x312, &v); },
         0x22E200, {1, 0x12}, 2},
        {"WriteEeprom", [](DeviceChannel& c, std::uint16_t* s, std::uint32_t p) { return WriteEeprom(c, s, p, 0x12, &kWord); },
         0x22A204, {1, 0x12, 0xA7, 0x02}, 0},
    };
}

class EachPanelExport : public TavloCommandTest, public ::testing::WithParamInterface<PanelExport> {};

TEST_P(EachPanelExport, SendsItsRequestAfterThePanelCheck) {
    const PanelExport& e = GetParam();
    // 0x101: only the low byte names the panel.
    EXPECT_EQ(e.call(channel, &stamp, 0x101), TavloOk);
    const std::vector<SentRequest> sent = Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.front().code, static_cast<std::uint32_t>(IOCTL_TAVLO_GET_STATUS));
    EXPECT_EQ(sent.front().outSize, 3u);
    EXPECT_EQ(sent.back().code, e.code);
    EXPECT_EQ(sent.back().in, e.in);
    EXPECT_EQ(sent.back().outSize, e.outSize);
}

TEST_P(EachPanelExport, StaleStampIsRefreshedAndARepeatProceeds) {
    const PanelExport& e = GetParam();
    MakeStampStale();
    EXPECT_EQ(e.call(channel, &stamp, 1), TavloPanelsChanged);
    EXPECT_EQ(stamp, model.Stamp());
    EXPECT_EQ(SentCodes(), std::vector<std::uint32_t>{IOCTL_TAVLO_GET_STATUS});
    EXPECT_EQ(e.call(channel, &stamp, 1), TavloOk);
}

TEST_P(EachPanelExport, PanelCheckOrderIsStampThenCountThenRange) {
    const PanelExport& e = GetParam();
    EXPECT_EQ(e.call(channel, &stamp, 2), TavloBadPanel);
    EXPECT_EQ(e.call(channel, &stamp, 0x1FF), TavloBadPanel);
    model.RemovePanel(1);
    model.RemovePanel(0);
    EXPECT_EQ(e.call(channel, &stamp, 5), TavloPanelsChanged);  // stale wins over zero panels
    EXPECT_EQ(e.call(channel, &stamp, 5), TavloNoPanel);        // zero panels wins over range
    EXPECT_EQ(e.call(channel, &stamp, 0), TavloNoPanel);
    for (std::uint32_t code : SentCodes()) EXPECT_EQ(code, static_cast<std::uint32_t>(IOCTL_TAVLO_GET_STATUS));
}

TEST_P(EachPanelExport, DriverFailuresOfTheRequestAreMapped) {
    const PanelExport& e = GetParam();
    const std::pair<std::uint32_t, TavloStatus> cases[] = {
        {1, TavloNotSupported}, {2, TavloBadPanel}, {87, TavloBadParameter}, {21, TavloFailed}};
    for (const auto& [error, status] : cases) {
        model.FailCode(e.code, error);
        EXPECT_EQ(e.call(channel, &stamp, 1), status) << "error " << error;
    }
    model.ClearFaults();
    model.FailCode(IOCTL_TAVLO_GET_STATUS, 87);  // the panel check's own request
    EXPECT_EQ(e.call(channel, &stamp, 1), TavloBadParameter);
}

TEST_P(EachPanelExport, MissingDeviceSendsNothing) {
    channel.deviceMissing = true;
    EXPECT_EQ(GetParam().call(channel, &stamp, 0), TavloNoDevice);
    EXPECT_EQ(model.RequestsSeen(), 0u);
}

TEST_P(EachPanelExport, CloseFailureAfterSuccessIsReported) {
    channel.closeFails = true;
    EXPECT_EQ(GetParam().call(channel, &stamp, 1), TavloCloseFailed);
}

INSTANTIATE_TEST_SUITE_P(Exports, EachPanelExport, ::testing::ValuesIn(PanelExports()),
                         [](const auto& param) { return param.param.name; });

using PanelReplies = TavloCommandTest;

TEST_F(PanelReplies, CalibrationRoundTripsPerSet) {
    const std::int16_t working[4] = {-32768, -1, 32767, -200};
    const std::int16_t saved[4] = {9000, 12, 11000, -34};
    EXPECT_EQ(tavlo::SetCalibrationData(channel, &stamp, 0, working, 0), TavloOk);
    EXPECT_EQ(tavlo::SetCalibrationData(channel, &stamp, 0, saved, 1), TavloOk);
    std::int16_t read[4] = {};
    EXPECT_EQ(tavlo::GetCalibrationData(channel, &stamp, 0, read, 0), TavloOk);
    EXPECT_EQ(std::vector<std::int16_t>(read, read + 4), std::vector<std::int16_t>(working, working + 4));
    EXPECT_EQ(tavlo::GetCalibrationData(channel, &stamp, 0, read, 0x10), TavloOk);
    EXPECT_EQ(std::vector<std::int16_t>(read, read + 4), std::vector<std::int16_t>(saved, saved + 4));
    // Panel 1 still holds the identity calibration.
    EXPECT_EQ(tavlo::GetCalibrationData(channel, &stamp, 1, read, 0), TavloOk);
    EXPECT_EQ(std::vector<std::int16_t>(read, read + 4), (std::vector<std::int16_t>{10000, 0, 10000, 0}));
}

TEST_F(PanelReplies, PresetsHoldOnFailurePaths) {
    std::uint8_t id = 0x77, led = 0x77;
    std::uint16_t word = 0x7777, firm = 0x7777;
    channel.deviceMissing = true;
    EXPECT_EQ(tavlo::GetPanelId(channel, &stamp, 0, &id), TavloNoDevice);
    EXPECT_EQ(tavlo::GetPanelLed(channel, &stamp, 0, &led), TavloNoDevice);
    EXPECT_EQ(tavlo::ReadEeprom(channel, &stamp, 0, 0, &word), TavloNoDevice);
    EXPECT_EQ(tavlo::GetFirmVer(channel, &stamp, 0, &firm), TavloNoDevice);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(led, 0);
    EXPECT_EQ(word, 0);
    EXPECT_EQ(firm, 0x7777);  // no preset
    channel.deviceMissing = false;
    id = led = 0x77;
    word = 0x7777;
    model.FailCode(IOCTL_TAVLO_GET_STATUS, 31);
    EXPECT_EQ(tavlo::GetPanelId(channel, &stamp, 0, &id), TavloFailed);
    EXPECT_EQ(tavlo::GetPanelLed(channel, &stamp, 0, &led), TavloFailed);
    EXPECT_EQ(tavlo::ReadEeprom(channel, &stamp, 0, 0, &word), TavloFailed);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(led, 0);
    EXPECT_EQ(word, 0);
}

struct FlagReplyCase {
    std::string name;
    std::uint32_t code;
    std::function<TavloStatus(tavlo::DeviceChannel&, std::uint16_t*, std::uint8_t*)> call;
    std::uint8_t reply;
    TavloStatus status;
    std::uint8_t stored;  // 0xEE: the caller's byte is left as it was
};

class FlagReplies : public TavloCommandTest, public ::testing::WithParamInterface<FlagReplyCase> {};

TEST_P(FlagReplies, OnlyAcceptedValuesAreStored) {
    const FlagReplyCase& c = GetParam();
    model.OverrideReply(c.code, &c.reply, 1, false);
    std::uint8_t out = 0xEE;
    EXPECT_EQ(c.call(channel, &stamp, &out), c.status);
    EXPECT_EQ(out, c.stored);
}

std::vector<FlagReplyCase> FlagReplyCases() {
    using namespace tavlo;
    auto pointdata = [](DeviceChannel& c, std::uint16_t* s, std::uint8_t* o) { return GetPointdataEnable(c, s, 0, o); };
    auto touch = [](DeviceChannel& c, std::uint16_t* s, std::uint8_t* o) { return CheckTouch(c, s, 0, o); };
    auto sound = [](DeviceChannel& c, std::uint16_t* s, std::uint8_t* o) { return GetClickSound(c, s, 0, o, 0); };
    auto startup = [](DeviceChannel& c, std::uint16_t*, std::uint8_t* o) { return GetStartupMode(c, o); };
    auto clickMode = [](DeviceChannel& c, std::uint16_t*, std::uint8_t* o) { return GetClickMode(c, o); };
    auto led = [](DeviceChannel& c, std::uint16_t* s, std::uint8_t* o) { return GetPanelLed(c, s, 0, o); };
    return {
        {"PointdataZero", 0x22E0C0, pointdata, 0, TavloOk, 0},
        {"PointdataOne", 0x22E0C0, pointdata, 1, TavloOk, 1},
        {"PointdataTwo", 0x22E0C0, pointdata, 2, TavloFailed, 0xEE},
        {"TouchClear", 0x22E0E0, touch, 0x00, TavloOk, 0},
        {"TouchSet", 0x22E0E0, touch, 0xFF, TavloOk, 1},
        {"TouchOne", 0x22E0E0, touch, 0x01, TavloFailed, 0xEE},
        {"TouchFE", 0x22E0E0, touch, 0xFE, TavloFailed, 0xEE},
        {"SoundOne", 0x22E180, sound, 1, TavloOk, 1},
        {"SoundFF", 0x22E180, sound, 0xFF, TavloFailed, 0xEE},
        {"StartupZero", 0x22E1C0, startup, 0, TavloOk, 0},
        {"StartupTwo", 0x22E1C0, startup, 2, TavloFailed, 0xEE},
        {"ClickModeUnchecked", 0x22E1E0, clickMode, 0x99, TavloOk, 0x99},
        {"LedUnchecked", 0x22E100, led, 0xC3, TavloOk, 0xC3},
    };
}

INSTANTIATE_TEST_SUITE_P(Replies, FlagReplies, ::testing::ValuesIn(FlagReplyCases()),
                         [](const auto& param) { return param.param.name; });

TEST_F(PanelReplies, TouchAndPointdataFollowTheDriver) {
    std::uint8_t touched = 9, enable = 9;
    model.SetTouched(1, true);
    EXPECT_EQ(tavlo::CheckTouch(channel, &stamp, 1, &touched), TavloOk);
    EXPECT_EQ(touched, 1);
    EXPECT_EQ(tavlo::CheckTouch(channel, &stamp, 0, &touched), TavloOk);
    EXPECT_EQ(touched, 0);
    EXPECT_EQ(tavlo::SetPointdataEnable(channel, &stamp, 1, 0), TavloOk);
    EXPECT_EQ(tavlo::GetPointdataEnable(channel, &stamp, 1, &enable), TavloOk);
    EXPECT_EQ(enable, 0);
    EXPECT_EQ(model.Panel(1)->pointdata, 0);
    EXPECT_EQ(model.Panel(0)->pointdata, 1);
}

TEST_F(PanelReplies, DriverWideCommandsSendNormalisedBytesWithoutPanelCheck) {
    EXPECT_EQ(tavlo::SetStartupMode(channel, 0x100), TavloOk);
    EXPECT_EQ(tavlo::SetClickMode(channel, 0x104), TavloOk);
    EXPECT_EQ(tavlo::SetClickOnceMode(channel, 0x300, 0x102), TavloOk);
    EXPECT_EQ(tavlo::SetClickOnceMode(channel, 0x20, 4), TavloOk);
    const std::vector<SentRequest> sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].code, 0x22A1C4u);
    EXPECT_EQ(sent[0].in, std::vector<std::uint8_t>{0});
    EXPECT_EQ(sent[1].code, 0x22A1E4u);
    EXPECT_EQ(sent[1].in, std::vector<std::uint8_t>{4});
    EXPECT_EQ(sent[2].code, 0x22A1ECu);
    EXPECT_EQ(sent[2].in, (std::vector<std::uint8_t>{0, 2}));
    EXPECT_EQ(sent[3].in, (std::vector<std::uint8_t>{1, 4}));
    std::uint8_t mode = 9, button = 9, flag = 9;
    EXPECT_EQ(tavlo::GetStartupMode(channel, &mode), TavloOk);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(tavlo::GetClickMode(channel, &button), TavloOk);
    EXPECT_EQ(button, 4);
    EXPECT_EQ(tavlo::GetClickOnceMode(channel, &flag, &button), TavloOk);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(button, 4);
}

TEST_F(PanelReplies, OnceModeReplyIsCheckedOnTheFlagOnly) {
    std::uint8_t flag = 0xEE, button = 0xEE;
    const std::uint8_t bad[] = {2, 4}, good[] = {1, 0x99};
    model.OverrideReply(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, bad, 2, false);
    EXPECT_EQ(tavlo::GetClickOnceMode(channel, &flag, &button), TavloFailed);
    EXPECT_EQ(flag, 0xEE);
    EXPECT_EQ(button, 0xEE);
    model.OverrideReply(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, good, 2, false);
    EXPECT_EQ(tavlo::GetClickOnceMode(channel, &flag, &button), TavloOk);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(button, 0x99);
}

TEST_F(PanelReplies, EepromWordsRoundTripPerPanel) {
    const std::uint16_t word = 0xBEEF;
    EXPECT_EQ(tavlo::WriteEeprom(channel, &stamp, 1, 0xFF, &word), TavloOk);
    std::uint16_t read = 0;
    EXPECT_EQ(tavlo::ReadEeprom(channel, &stamp, 1, 0x1FF, &read), TavloOk);
    EXPECT_EQ(read, 0xBEEF);
    EXPECT_EQ(tavlo::ReadEeprom(channel, &stamp, 0, 0xFF, &read), TavloOk);
    EXPECT_NE(read, 0xBEEF);
}

}  // namespace
}  // namespace tavlo_test

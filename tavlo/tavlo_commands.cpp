#include "tavlo_commands.h"

#include "byte_order.h"
#include "click_block.h"
#include "device_session.h"

namespace tavlo {
namespace {

std::uint8_t LowByte(std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t Flag(std::uint32_t value) { return LowByte(value) != 0 ? 1 : 0; }

struct Target {
    std::uint16_t* stamp;  // null for driver-wide requests (no panel check)
    std::uint32_t panel;
};
constexpr Target kDriverWide{nullptr, 0};

// One open-check-request-close cycle. `deliver` runs after a full reply; it
// checks the reply and stores it, or returns false to report TavloFailed
// with nothing stored. Every failure path closes the handle and ignores the
// close result; the success path reports it.
template <typename Deliver>
TavloStatus RunRequest(DeviceChannel& ch, Target target, std::uint32_t code, const void* in, std::uint32_t inSize,
                       void* reply, std::uint32_t replySize, Deliver deliver) {
    DeviceSession session(ch);
    if (!session.IsOpen()) return TavloNoDevice;
    if (target.stamp != nullptr) {
        const TavloStatus check = session.CheckPanel(target.stamp, target.panel);
        if (check != TavloOk) return check;
    }
    const TavloStatus status = session.Request(code, in, inSize, reply, replySize);
    if (status != TavloOk) return status;
    if (!deliver()) return TavloFailed;
    return session.Finish();
}

// A request that carries data to the driver and expects no reply.
TavloStatus RunWrite(DeviceChannel& ch, Target target, std::uint32_t code, const void* in, std::uint32_t inSize) {
    return RunRequest(ch, target, code, in, inSize, nullptr, 0, [] { return true; });
}

// A panel request whose input is the panel byte alone, with a reply of
// `Size` bytes delivered by `deliver`.
template <std::uint32_t Size, typename Deliver>
TavloStatus RunPanelRead(DeviceChannel& ch, Target target, std::uint32_t code, std::uint8_t (&reply)[Size],
                         Deliver deliver) {
    const std::uint8_t in = LowByte(target.panel);
    return RunRequest(ch, target, code, &in, 1, reply, Size, deliver);
}

// Reply bytes that must be 0 or 1 (sound, point data, start-up mode).
bool StoreFlagReply(std::uint8_t reply, std::uint8_t* out) {
    if (reply > 1) return false;
    *out = reply;
    return true;
}

std::uint32_t Pick(std::uint32_t alt, std::uint32_t working, std::uint32_t saved) {
    return LowByte(alt) != 0 ? saved : working;
}

// The start both click-data exports share: open, check the panel, read the
// panel's click block of the chosen set. The session stays open for what
// the caller does next.
TavloStatus ReadClickBlock(DeviceSession& session, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t alt,
                           std::uint8_t (&block)[kClickBlockSize]) {
    if (!session.IsOpen()) return TavloNoDevice;
    const TavloStatus check = session.CheckPanel(stamp, panel);
    if (check != TavloOk) return check;
    const std::uint8_t in = LowByte(panel);
    return session.Request(Pick(alt, IOCTL_TAVLO_GET_CLICK_DATA, IOCTL_TAVLO_GET_CLICK_DATA_ALT), &in, 1, block,
                           kClickBlockSize);
}

}  // namespace

// Driver queries ------------------------------------------------------------

TavloStatus GetVersion(DeviceChannel& ch, std::uint16_t* version) {
    if (version == nullptr) return TavloBadParameter;
    std::uint8_t reply[2];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_VERSION, nullptr, 0, reply, 2, [&] {
        *version = GetLe16(reply);
        return true;
    });
}

TavloStatus NeedUpdate(DeviceChannel& ch, std::uint16_t* stamp) {
    if (stamp == nullptr) return TavloBadParameter;
    *stamp = 0xFFFF;
    std::uint8_t reply[3];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_STATUS, nullptr, 0, reply, 3, [&] {
        *stamp = GetLe16(reply);
        return true;
    });
}

TavloStatus GetDevices(DeviceChannel& ch, std::uint8_t* count) {
    if (count == nullptr) return TavloBadParameter;
    *count = 0;
    std::uint8_t reply[3];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_STATUS, nullptr, 0, reply, 3, [&] {
        *count = reply[2];
        return true;
    });
}

// Panel identity, calibration, point data, touch ----------------------------

TavloStatus GetFirmVer(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint16_t* firmVer) {
    if (stamp == nullptr || firmVer == nullptr) return TavloBadParameter;
    std::uint8_t reply[2];
    return RunPanelRead(ch, {stamp, panel}, IOCTL_TAVLO_GET_FIRM_VER, reply, [&] {
        *firmVer = GetLe16(reply);
        return true;
    });
}

TavloStatus GetPanelId(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* panelId) {
    if (stamp == nullptr || panelId == nullptr) return TavloBadParameter;
    *panelId = 0;
    std::uint8_t reply[1];
    return RunPanelRead(ch, {stamp, panel}, IOCTL_TAVLO_GET_PANEL_ID, reply, [&] {
        *panelId = reply[0];
        return true;
    });
}

TavloStatus GetCalibrationData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* cal,
                               std::uint32_t alt) {
    if (stamp == nullptr || cal == nullptr) return TavloBadParameter;
    std::uint8_t reply[8];
    const std::uint32_t code = Pick(alt, IOCTL_TAVLO_GET_CALIBRATION, IOCTL_TAVLO_GET_CALIBRATION_ALT);
    return RunPanelRead(ch, {stamp, panel}, code, reply, [&] {
        for (int i = 0; i < 4; ++i) cal[i] = static_cast<std::int16_t>(GetLe16(reply + 2 * i));
        return true;
    });
}

TavloStatus SetCalibrationData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, const std::int16_t* cal,
                               std::uint32_t alt) {
    if (stamp == nullptr || cal == nullptr) return TavloBadParameter;
    std::uint8_t in[9];
    in[0] = LowByte(panel);
    for (int i = 0; i < 4; ++i) PutLe16(in + 1 + 2 * i, static_cast<std::uint16_t>(cal[i]));
    const std::uint32_t code = Pick(alt, IOCTL_TAVLO_SET_CALIBRATION, IOCTL_TAVLO_SET_CALIBRATION_ALT);
    return RunWrite(ch, {stamp, panel}, code, in, sizeof in);
}

TavloStatus GetPointdataEnable(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* enable) {
    if (stamp == nullptr || enable == nullptr) return TavloBadParameter;
    std::uint8_t reply[1];
    return RunPanelRead(ch, {stamp, panel}, IOCTL_TAVLO_GET_POINTDATA_ENABLE, reply,
                        [&] { return StoreFlagReply(reply[0], enable); });
}

TavloStatus SetPointdataEnable(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t enable) {
    if (stamp == nullptr) return TavloBadParameter;
    const std::uint8_t in[2] = {LowByte(panel), Flag(enable)};
    return RunWrite(ch, {stamp, panel}, IOCTL_TAVLO_SET_POINTDATA_ENABLE, in, sizeof in);
}

TavloStatus CheckTouch(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* touched) {
    if (stamp == nullptr || touched == nullptr) return TavloBadParameter;
    std::uint8_t reply[1];
    return RunPanelRead(ch, {stamp, panel}, IOCTL_TAVLO_CHECK_TOUCH, reply, [&] {
        // The touch flag arrives as 0x00 / 0xFF and is delivered as 0 / 1.
        if (reply[0] != 0x00 && reply[0] != 0xFF) return false;
        *touched = reply[0] == 0xFF ? 1 : 0;
        return true;
    });
}

// Click behaviour, sound, LED -------------------------------------------------

TavloStatus GetClickData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                         std::uint32_t alt) {
    if (stamp == nullptr || click == nullptr) return TavloBadParameter;
    DeviceSession session(ch);
    std::uint8_t block[kClickBlockSize];
    TavloStatus status = ReadClickBlock(session, stamp, panel, alt, block);
    if (status != TavloOk) return status;
    // Unlike every other export, a close failure here delivers nothing.
    status = session.Finish();
    if (status != TavloOk) return status;
    ClickBlockToData(block, click);
    return TavloOk;
}

TavloStatus SetClickData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                         std::uint32_t alt) {
    if (stamp == nullptr || click == nullptr) return TavloBadParameter;
    DeviceSession session(ch);
    // Read the current block first: bytes 2 and 4 are written back as read.
    std::uint8_t current[kClickBlockSize];
    TavloStatus status = ReadClickBlock(session, stamp, panel, alt, current);
    if (status != TavloOk) return status;
    ClampClickData(click);
    std::uint8_t in[1 + kClickBlockSize];
    in[0] = LowByte(panel);
    ClickDataToBlock(click, current, in + 1);
    status = session.Request(Pick(alt, IOCTL_TAVLO_SET_CLICK_DATA, IOCTL_TAVLO_SET_CLICK_DATA_ALT), in, sizeof in,
                             nullptr, 0);
    if (status != TavloOk) return status;
    return session.Finish();
}

TavloStatus GetClickSound(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* on,
                          std::uint32_t alt) {
    if (stamp == nullptr || on == nullptr) return TavloBadParameter;
    std::uint8_t reply[1];
    const std::uint32_t code = Pick(alt, IOCTL_TAVLO_GET_CLICK_SOUND, IOCTL_TAVLO_GET_CLICK_SOUND_ALT);
    return RunPanelRead(ch, {stamp, panel}, code, reply, [&] { return StoreFlagReply(reply[0], on); });
}

TavloStatus SetClickSound(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t on,
                          std::uint32_t alt) {
    if (stamp == nullptr) return TavloBadParameter;
    const std::uint8_t in[2] = {LowByte(panel), Flag(on)};
    const std::uint32_t code = Pick(alt, IOCTL_TAVLO_SET_CLICK_SOUND, IOCTL_TAVLO_SET_CLICK_SOUND_ALT);
    return RunWrite(ch, {stamp, panel}, code, in, sizeof in);
}

TavloStatus GetPanelLed(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* led) {
    if (stamp == nullptr || led == nullptr) return TavloBadParameter;
    *led = 0;
    std::uint8_t reply[1];
    return RunPanelRead(ch, {stamp, panel}, IOCTL_TAVLO_GET_PANEL_LED, reply, [&] {
        *led = reply[0];
        return true;
    });
}

TavloStatus SetPanelLed(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t led) {
    if (stamp == nullptr) return TavloBadParameter;
    const std::uint8_t in[2] = {LowByte(panel), LowByte(led)};
    return RunWrite(ch, {stamp, panel}, IOCTL_TAVLO_SET_PANEL_LED, in, sizeof in);
}

// Driver-wide modes -----------------------------------------------------------

TavloStatus GetStartupMode(DeviceChannel& ch, std::uint8_t* mode) {
    if (mode == nullptr) return TavloBadParameter;
    std::uint8_t reply[1];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_STARTUP_MODE, nullptr, 0, reply, 1,
                      [&] { return StoreFlagReply(reply[0], mode); });
}

TavloStatus SetStartupMode(DeviceChannel& ch, std::uint32_t mode) {
    const std::uint8_t in = Flag(mode);
    return RunWrite(ch, kDriverWide, IOCTL_TAVLO_SET_STARTUP_MODE, &in, 1);
}

TavloStatus GetClickMode(DeviceChannel& ch, std::uint8_t* button) {
    if (button == nullptr) return TavloBadParameter;
    std::uint8_t reply[1];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_CLICK_MODE, nullptr, 0, reply, 1, [&] {
        *button = reply[0];
        return true;
    });
}

TavloStatus SetClickMode(DeviceChannel& ch, std::uint32_t button) {
    const std::uint8_t in = LowByte(button);
    return RunWrite(ch, kDriverWide, IOCTL_TAVLO_SET_CLICK_MODE, &in, 1);
}

TavloStatus GetClickOnceMode(DeviceChannel& ch, std::uint8_t* onceFlag, std::uint8_t* onceButton) {
    if (onceFlag == nullptr || onceButton == nullptr) return TavloBadParameter;
    std::uint8_t reply[2];
    return RunRequest(ch, kDriverWide, IOCTL_TAVLO_GET_CLICK_ONCE_MODE, nullptr, 0, reply, 2, [&] {
        if (!StoreFlagReply(reply[0], onceFlag)) return false;
        *onceButton = reply[1];
        return true;
    });
}

TavloStatus SetClickOnceMode(DeviceChannel& ch, std::uint32_t onceFlag, std::uint32_t onceButton) {
    const std::uint8_t in[2] = {Flag(onceFlag), LowByte(onceButton)};
    return RunWrite(ch, kDriverWide, IOCTL_TAVLO_SET_CLICK_ONCE_MODE, in, sizeof in);
}

// EEPROM ----------------------------------------------------------------------

TavloStatus ReadEeprom(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                       std::uint16_t* word) {
    if (stamp == nullptr || word == nullptr) return TavloBadParameter;
    *word = 0;
    const std::uint8_t in[2] = {LowByte(panel), LowByte(address)};
    std::uint8_t reply[2];
    return RunRequest(ch, {stamp, panel}, IOCTL_TAVLO_READ_EEPROM, in, sizeof in, reply, 2, [&] {
        *word = GetLe16(reply);
        return true;
    });
}

TavloStatus WriteEeprom(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                        const std::uint16_t* word) {
    if (stamp == nullptr || word == nullptr) return TavloBadParameter;
    std::uint8_t in[4] = {LowByte(panel), LowByte(address), 0, 0};
    PutLe16(in + 2, *word);
    return RunWrite(ch, {stamp, panel}, IOCTL_TAVLO_WRITE_EEPROM, in, sizeof in);
}

}  // namespace tavlo

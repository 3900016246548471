// The simulated driver's control side as private control requests, so
// tests and the simulator console reach it through the same device as the
// library (function codes 0x900 and up, outside the request table).
// Freestanding like the model: the kernel-mode driver decodes these with
// HandleControl.
#pragma once

#include <stdint.h>

#include "device_model.h"

namespace tavlosim {

constexpr uint32_t ControlCode(uint32_t function) { return (0x22u << 16) | (3u << 14) | (function << 2); }

enum ControlRequest : uint32_t {
    kCtlReset = ControlCode(0x900),         // in: none
    kCtlAttach = ControlCode(0x901),        // in: id, firmware (LE16); out: panel number
    kCtlRemove = ControlCode(0x902),        // in: panel
    kCtlSetTouched = ControlCode(0x903),    // in: panel, flag
    kCtlSetPointdata = ControlCode(0x904),  // in: panel, flag
    kCtlFailNext = ControlCode(0x905),      // in: error (LE32)
    kCtlFailCode = ControlCode(0x906),      // in: code (LE32), error (LE32); error 0 clears
    kCtlOverride = ControlCode(0x907),      // in: code (LE32), persistent, length, up to 16 reply bytes
    kCtlClearFaults = ControlCode(0x908),   // in: none
    kCtlGetState = ControlCode(0x909),      // out: StateReply
    kCtlGetPanel = ControlCode(0x90A),      // in: panel; out: PanelReply
    kCtlGetLog = ControlCode(0x90B),        // in: index (LE32); out: LogReply
    kCtlClearLog = ControlCode(0x90C),      // in: none
    kCtlUnplug = ControlCode(0x90D),        // in: none; the device name disappears
    kCtlReplug = ControlCode(0x90E),        // in: none; the device name is back
};

// Replies are fixed byte layouts, identical for 32- and 64-bit callers.
constexpr uint32_t kStateReplySize = 16;
// 0 stamp LE16 | 2 panel count | 3 startup | 4 click button | 5 once flag |
// 6 once button | 7 plugged | 8 requests seen LE32 | 12 log size LE32

constexpr uint32_t kPanelReplySize = 48;
// 0 id | 1 pointdata | 2 touched | 3 led | 4 firmware LE16 |
// 6 working calibration 4xLE16 | 14 saved calibration 4xLE16 |
// 22 working click block (7) | 29 saved click block (7) |
// 36 working sound | 37 saved sound | 38..47 zero

constexpr uint32_t kLogReplySize = 32;
// 0 sequence LE32 | 4 code LE32 | 8 input size LE32 | 12 output size LE32 |
// 16 error LE32 | 20 first 12 input bytes

// Plug state lives with the host (the kernel driver owns the device name);
// the control handler reports what the host must do.
enum class PlugAction { kNone, kUnplug, kReplug };

// Decodes one control request. Returns 0 or a Win32 error like Handle();
// *action tells the host to remove or restore the device name.
uint32_t HandleControl(DeviceModel& model, bool plugged, uint32_t code, const uint8_t* in, uint32_t inSize,
                       uint8_t* out, uint32_t outSize, uint32_t* returned, PlugAction* action);

bool IsControlCode(uint32_t code);

}  // namespace tavlosim

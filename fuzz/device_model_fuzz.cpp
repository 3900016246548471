// The simulated driver's request handling with any request: codes of the
// request table, of the control side and any other 32-bit value, input and
// output buffers of any size (or none), interleaved with panel changes and
// injected faults. Buffers are exactly as large as their size says, so a
// read or write past them is caught by AddressSanitizer.
#include <cstdint>
#include <vector>

#include "control_protocol.h"
#include "device_model.h"
#include "fuzz_input.h"
#include "tavlo.h"

namespace {

using tavlosim::DeviceModel;

const std::uint32_t kKnownCodes[] = {
    IOCTL_TAVLO_GET_VERSION,
    IOCTL_TAVLO_GET_STATUS,
    IOCTL_TAVLO_GET_FIRM_VER,
    IOCTL_TAVLO_GET_PANEL_ID,
    IOCTL_TAVLO_GET_CALIBRATION,
    IOCTL_TAVLO_SET_CALIBRATION,
    IOCTL_TAVLO_GET_CALIBRATION_ALT,
    IOCTL_TAVLO_SET_CALIBRATION_ALT,
    IOCTL_TAVLO_GET_POINTDATA_ENABLE,
    IOCTL_TAVLO_SET_POINTDATA_ENABLE,
    IOCTL_TAVLO_CHECK_TOUCH,
    IOCTL_TAVLO_GET_PANEL_LED,
    IOCTL_TAVLO_SET_PANEL_LED,
    IOCTL_TAVLO_GET_CLICK_DATA,
    IOCTL_TAVLO_SET_CLICK_DATA,
    IOCTL_TAVLO_GET_CLICK_DATA_ALT,
    IOCTL_TAVLO_SET_CLICK_DATA_ALT,
    IOCTL_TAVLO_GET_CLICK_SOUND,
    IOCTL_TAVLO_SET_CLICK_SOUND,
    IOCTL_TAVLO_GET_CLICK_SOUND_ALT,
    IOCTL_TAVLO_SET_CLICK_SOUND_ALT,
    IOCTL_TAVLO_GET_STARTUP_MODE,
    IOCTL_TAVLO_SET_STARTUP_MODE,
    IOCTL_TAVLO_GET_CLICK_MODE,
    IOCTL_TAVLO_SET_CLICK_MODE,
    IOCTL_TAVLO_GET_CLICK_ONCE_MODE,
    IOCTL_TAVLO_SET_CLICK_ONCE_MODE,
    IOCTL_TAVLO_READ_EEPROM,
    IOCTL_TAVLO_WRITE_EEPROM,
    tavlosim::kCtlReset,
    tavlosim::kCtlAttach,
    tavlosim::kCtlRemove,
    tavlosim::kCtlSetTouched,
    tavlosim::kCtlSetPointdata,
    tavlosim::kCtlFailNext,
    tavlosim::kCtlFailCode,
    tavlosim::kCtlOverride,
    tavlosim::kCtlClearFaults,
    tavlosim::kCtlGetState,
    tavlosim::kCtlGetPanel,
    tavlosim::kCtlGetLog,
    tavlosim::kCtlClearLog,
    tavlosim::kCtlUnplug,
    tavlosim::kCtlReplug,
};
constexpr std::size_t kKnownCount = sizeof kKnownCodes / sizeof kKnownCodes[0];

std::uint32_t Code(fuzz::FuzzInput& input) {
    const std::uint8_t pick = input.Byte();
    if (pick < 0xF0) return kKnownCodes[pick % kKnownCount];
    return input.Le32();  // any other value
}

// Sizes mostly near the table's (0..15), sometimes anything up to 1023.
std::uint32_t Size(fuzz::FuzzInput& input) {
    const std::uint8_t pick = input.Byte();
    if (pick < 0xC0) return pick & 0x0F;
    return input.Le16() & 0x3FF;
}

// What the model must keep true whatever it was asked.
void CheckModel(const DeviceModel& model) {
    FUZZ_CHECK(model.PanelCount() <= tavlosim::kMaxPanels);
    FUZZ_CHECK(model.LogSize() <= static_cast<std::uint32_t>(tavlosim::kLogCapacity));
    FUZZ_CHECK(model.Stamp() != 0xFFFF);
    const tavlosim::DriverModes& modes = model.Modes();
    FUZZ_CHECK(modes.startup <= 1 && modes.onceFlag <= 1);
    for (std::uint8_t i = 0; i < model.PanelCount(); ++i) {
        const tavlosim::PanelState* panel = model.Panel(i);
        FUZZ_CHECK(panel != nullptr);
        FUZZ_CHECK(panel->pointdata <= 1 && panel->touched <= 1);
        FUZZ_CHECK(panel->sound[0] <= 1 && panel->sound[1] <= 1);
    }
    FUZZ_CHECK(model.Panel(model.PanelCount()) == nullptr);
}

void OneRequest(DeviceModel& model, bool& plugged, fuzz::FuzzInput& input) {
    const std::uint8_t how = input.Byte();
    const std::uint32_t code = Code(input);
    const std::uint32_t inSize = Size(input);
    const std::uint32_t outSize = Size(input);
    const bool noIn = (how & 2) != 0, noOut = (how & 4) != 0;
    std::vector<std::uint8_t> in = input.Bytes(inSize);
    std::vector<std::uint8_t> out(outSize, 0xA5);
    std::uint8_t* outPtr = noOut || outSize == 0 ? nullptr : out.data();
    const std::uint8_t* inPtr = noIn || inSize == 0 ? nullptr : in.data();

    std::uint32_t returned = 0xDEADBEEF;
    std::uint32_t error;
    if ((how & 1) == 0) {
        const std::uint16_t stampBefore = model.Stamp();
        const std::uint8_t panelsBefore = model.PanelCount();
        error = model.Handle(code, inPtr, inSize, outPtr, outSize, &returned);
        // The request table never attaches or removes panels.
        FUZZ_CHECK(model.Stamp() == stampBefore && model.PanelCount() == panelsBefore);
    } else {
        tavlosim::PlugAction action = tavlosim::PlugAction::kNone;
        error = tavlosim::HandleControl(model, plugged, code, inPtr, inSize, outPtr, outSize, &returned, &action);
        if (action == tavlosim::PlugAction::kUnplug) plugged = false;
        if (action == tavlosim::PlugAction::kReplug) plugged = true;
        FUZZ_CHECK(error == 0 || action == tavlosim::PlugAction::kNone);
    }
    // A reply claims more than the caller's buffer only when a long reply
    // was injected, and a failed request returns nothing.
    FUZZ_CHECK(returned <= outSize || returned <= static_cast<std::uint32_t>(tavlosim::kMaxReplyBytes));
    FUZZ_CHECK(error == 0 || returned == 0);
    FUZZ_CHECK(outPtr != nullptr || returned == 0 || outSize == 0);
}

// The control side called directly, as the in-process tests do.
void OneControl(DeviceModel& model, fuzz::FuzzInput& input) {
    switch (input.Byte() % 7) {
    case 0:
        model.AttachPanel(input.Byte(), input.Le16());
        break;
    case 1:
        model.RemovePanel(input.Byte());
        break;
    case 2:
        model.SetTouched(input.Byte(), input.Bit());
        break;
    case 3:
        model.FailNext(input.Le32());
        break;
    case 4: {
        const std::uint32_t code = Code(input);
        model.FailCode(code, input.Byte() % 4 == 0 ? 0 : input.Le32());
        break;
    }
    case 5: {
        const std::uint32_t code = Code(input);
        const std::uint32_t length = input.Byte() % 12;  // above 8 is refused
        const std::vector<std::uint8_t> bytes = input.Bytes(length);
        const bool persistent = input.Bit();
        const bool taken = model.OverrideReply(code, bytes.data(), length, persistent);
        FUZZ_CHECK(!taken || length <= static_cast<std::uint32_t>(tavlosim::kMaxReplyBytes));
        break;
    }
    default:
        if (input.Byte() % 8 == 0) model.ClearFaults();
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    DeviceModel model;
    bool plugged = true;
    for (int steps = 0; !input.Empty() && steps < 64; ++steps) {
        if (input.Byte() < 0x30) {
            OneControl(model, input);
        } else {
            OneRequest(model, plugged, input);
        }
        CheckModel(model);
    }
    return 0;
}

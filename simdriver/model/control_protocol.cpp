#include "control_protocol.h"

#include "byte_order.h"

namespace tavlosim {
namespace {

using tavlo::GetLe16;
using tavlo::GetLe32;
using tavlo::PutLe16;
using tavlo::PutLe32;

struct Shape {
    uint32_t code;
    uint32_t inSize;  // 0xFF: 6 to 14 bytes (reply override)
    uint32_t outSize;
};

constexpr Shape kShapes[] = {
    {kCtlReset, 0, 0},
    {kCtlAttach, 3, 1},
    {kCtlRemove, 1, 0},
    {kCtlSetTouched, 2, 0},
    {kCtlSetPointdata, 2, 0},
    {kCtlFailNext, 4, 0},
    {kCtlFailCode, 8, 0},
    {kCtlOverride, 0xFF, 0},
    {kCtlClearFaults, 0, 0},
    {kCtlGetState, 0, kStateReplySize},
    {kCtlGetPanel, 1, kPanelReplySize},
    {kCtlGetLog, 4, kLogReplySize},
    {kCtlClearLog, 0, 0},
    {kCtlUnplug, 0, 0},
    {kCtlReplug, 0, 0},
};

const Shape* FindShape(uint32_t code) {
    for (const Shape& shape : kShapes) {
        if (shape.code == code) return &shape;
    }
    return nullptr;
}

void Zero(uint8_t* out, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i) out[i] = 0;
}

void EncodePanel(const PanelState& panel, uint8_t* out) {
    Zero(out, kPanelReplySize);
    out[0] = panel.id;
    out[1] = panel.pointdata;
    out[2] = panel.touched;
    out[3] = panel.led;
    PutLe16(out + 4, panel.firmware);
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < 4; ++i) {
            PutLe16(out + 6 + 8 * set + 2 * i, static_cast<uint16_t>(panel.calibration[set][i]));
        }
        for (int i = 0; i < kClickBlockSize; ++i) out[22 + 7 * set + i] = panel.click[set][i];
        out[36 + set] = panel.sound[set];
    }
}

}  // namespace

bool IsControlCode(uint32_t code) { return FindShape(code) != nullptr; }

uint32_t HandleControl(DeviceModel& model, bool plugged, uint32_t code, const uint8_t* in, uint32_t inSize,
                       uint8_t* out, uint32_t outSize, uint32_t* returned, PlugAction* action) {
    *returned = 0;
    *action = PlugAction::kNone;
    const Shape* shape = FindShape(code);
    if (shape == nullptr) return kErrorInvalidFunction;
    const bool inOk = shape->inSize == 0xFF ? (inSize >= 6 && inSize <= 6 + kMaxReplyBytes) : inSize == shape->inSize;
    if (!inOk || outSize != shape->outSize) return kErrorInvalidParameter;
    if ((inSize > 0 && in == nullptr) || (outSize > 0 && out == nullptr)) return kErrorInvalidParameter;

    switch (code) {
    case kCtlReset:
        model.Reset();
        if (!plugged) *action = PlugAction::kReplug;
        break;
    case kCtlAttach: {
        const int index = model.AttachPanel(in[0], GetLe16(in + 1));
        if (index < 0) return kErrorInvalidParameter;
        out[0] = static_cast<uint8_t>(index);
        break;
    }
    case kCtlRemove:
        if (!model.RemovePanel(in[0])) return kErrorFileNotFound;
        break;
    case kCtlSetTouched:
        if (!model.SetTouched(in[0], in[1] != 0)) return kErrorFileNotFound;
        break;
    case kCtlSetPointdata: {
        PanelState* panel = model.MutablePanel(in[0]);
        if (panel == nullptr) return kErrorFileNotFound;
        panel->pointdata = in[1] != 0 ? 1 : 0;
        break;
    }
    case kCtlFailNext:
        model.FailNext(GetLe32(in));
        break;
    case kCtlFailCode:
        if (!model.FailCode(GetLe32(in), GetLe32(in + 4))) return kErrorInvalidParameter;
        break;
    case kCtlOverride: {
        const uint32_t length = in[5];
        if (6 + length != inSize) return kErrorInvalidParameter;
        if (!model.OverrideReply(GetLe32(in), in + 6, length, in[4] != 0)) return kErrorInvalidParameter;
        break;
    }
    case kCtlClearFaults:
        model.ClearFaults();
        break;
    case kCtlGetState: {
        Zero(out, kStateReplySize);
        const DriverModes& modes = model.Modes();
        PutLe16(out, model.Stamp());
        out[2] = model.PanelCount();
        out[3] = modes.startup;
        out[4] = modes.clickButton;
        out[5] = modes.onceFlag;
        out[6] = modes.onceButton;
        out[7] = plugged ? 1 : 0;
        PutLe32(out + 8, model.RequestsSeen());
        PutLe32(out + 12, model.LogSize());
        break;
    }
    case kCtlGetPanel: {
        const PanelState* panel = model.Panel(in[0]);
        if (panel == nullptr) return kErrorFileNotFound;
        EncodePanel(*panel, out);
        break;
    }
    case kCtlGetLog: {
        const uint32_t index = GetLe32(in);
        if (index >= model.LogSize()) return kErrorFileNotFound;
        const LogEntry& entry = model.LogAt(index);
        Zero(out, kLogReplySize);
        PutLe32(out, entry.sequence);
        PutLe32(out + 4, entry.code);
        PutLe32(out + 8, entry.inSize);
        PutLe32(out + 12, entry.outSize);
        PutLe32(out + 16, entry.error);
        for (int i = 0; i < kLoggedInputBytes; ++i) out[20 + i] = entry.in[i];
        break;
    }
    case kCtlClearLog:
        model.ClearLog();
        break;
    case kCtlUnplug:
        if (plugged) *action = PlugAction::kUnplug;
        break;
    case kCtlReplug:
        if (!plugged) *action = PlugAction::kReplug;
        break;
    default:
        return kErrorInvalidFunction;
    }
    *returned = shape->outSize;
    return kErrorNone;
}

}  // namespace tavlosim

// The control transport in native tests: control requests decoded by the
// same HandleControl the kernel driver uses, against an in-process model.
#pragma once

#include "control_protocol.h"
#include "device_model.h"
#include "sim_control.h"

namespace tavlosim {

class InProcessControl final : public ControlTransport {
public:
    explicit InProcessControl(DeviceModel& model) : model_(model) {}

    std::uint32_t Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize,
                       std::uint32_t* returned) override {
        PlugAction action = PlugAction::kNone;
        const std::uint32_t error = HandleControl(model_, plugged, code, static_cast<const std::uint8_t*>(in), inSize,
                                                  static_cast<std::uint8_t*>(out), outSize, returned, &action);
        if (action == PlugAction::kUnplug) plugged = false;
        if (action == PlugAction::kReplug) plugged = true;
        return error;
    }

    bool plugged = true;

private:
    DeviceModel& model_;
};

}  // namespace tavlosim

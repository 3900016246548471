// The control transport under Windows: the simulated driver's control name
// \\.\TavloSimControl, which stays while \\.\Tavlo is unplugged.
#pragma once

#include "sim_control.h"

namespace tavlosim {

class Win32ControlTransport final : public ControlTransport {
public:
    Win32ControlTransport();
    ~Win32ControlTransport();
    Win32ControlTransport(const Win32ControlTransport&) = delete;
    Win32ControlTransport& operator=(const Win32ControlTransport&) = delete;

    bool IsOpen() const;
    std::uint32_t OpenError() const { return openError_; }
    std::uint32_t Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize,
                       std::uint32_t* returned) override;

private:
    void* handle_;
    std::uint32_t openError_ = 0;
};

}  // namespace tavlosim

// The Windows device channel: \\.\Tavlo through CreateFileA and a
// synchronous DeviceIoControl. It holds no state: each export builds one on
// its stack.
#pragma once

#include "device_channel.h"

namespace tavlo {

class Win32DeviceChannel final : public DeviceChannel {
public:
    DeviceHandle Open() override;
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t* bytesReturned) override;
    std::uint32_t LastError() override;
    bool Close(DeviceHandle handle) override;
};

}  // namespace tavlo

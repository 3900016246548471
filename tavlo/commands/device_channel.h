// The device channel: the four Win32 calls every export is made of
// (CreateFileA, DeviceIoControl, GetLastError, CloseHandle), behind an
// interface so the same export code runs against the Windows device in
// TAVLO.DLL and against the simulated device in native tests.
#pragma once

#include <cstdint>

namespace tavlo {

using DeviceHandle = std::uintptr_t;
constexpr DeviceHandle kInvalidDeviceHandle = ~DeviceHandle{0};

class DeviceChannel {
public:
    // Opens \\.\Tavlo for reading and writing, shared, existing only.
    // Returns kInvalidDeviceHandle when the device cannot be opened.
    virtual DeviceHandle Open() = 0;

    // One synchronous control request. Returns false when the driver failed
    // it; LastError() then tells why. *bytesReturned is the reply length.
    virtual bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                         std::uint32_t outSize, std::uint32_t* bytesReturned) = 0;

    // The calling thread's last Win32 error, read right after a failed Control.
    virtual std::uint32_t LastError() = 0;

    // Returns false when closing failed.
    virtual bool Close(DeviceHandle handle) = 0;

protected:
    ~DeviceChannel() = default;
};

}  // namespace tavlo

#include "device_channel_win32.h"

#include <windows.h>

namespace tavlo {

DeviceHandle Win32DeviceChannel::Open() {
    HANDLE handle = CreateFileA("\\\\.\\Tavlo", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? kInvalidDeviceHandle : reinterpret_cast<DeviceHandle>(handle);
}

bool Win32DeviceChannel::Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                                 void* out, std::uint32_t outSize, std::uint32_t* bytesReturned) {
    DWORD returned = 0;  // set before every request, as the driver may not write it on failure
    const BOOL ok = DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, const_cast<void*>(in), inSize, out, outSize,
                                    &returned, nullptr);
    *bytesReturned = returned;
    return ok != FALSE;
}

std::uint32_t Win32DeviceChannel::LastError() { return GetLastError(); }

bool Win32DeviceChannel::Close(DeviceHandle handle) { return CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE; }

}  // namespace tavlo

#include "control_transport_win32.h"

#include <windows.h>

namespace tavlosim {

Win32ControlTransport::Win32ControlTransport()
    : handle_(CreateFileA("\\\\.\\TavloSimControl", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, 0, nullptr)) {
    if (!IsOpen()) openError_ = GetLastError();
}

Win32ControlTransport::~Win32ControlTransport() {
    if (IsOpen()) CloseHandle(handle_);
}

bool Win32ControlTransport::IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

std::uint32_t Win32ControlTransport::Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                                          std::uint32_t outSize, std::uint32_t* returned) {
    DWORD count = 0;
    *returned = 0;
    if (!IsOpen()) return ERROR_FILE_NOT_FOUND;
    if (!DeviceIoControl(handle_, code, const_cast<void*>(in), inSize, out, outSize, &count, nullptr)) {
        return GetLastError();
    }
    *returned = count;
    return 0;
}

}  // namespace tavlosim

#include "device_session.h"

#include "byte_order.h"
#include "tavlo_commands.h"

namespace tavlo {

TavloStatus MapLastError(std::uint32_t error) {
    switch (error) {
    case 1:  // ERROR_INVALID_FUNCTION
        return TavloNotSupported;
    case 2:  // ERROR_FILE_NOT_FOUND: the driver's "no such panel"
        return TavloBadPanel;
    case 87:  // ERROR_INVALID_PARAMETER
        return TavloBadParameter;
    default:
        return TavloFailed;
    }
}

TavloStatus DeviceSession::Request(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                                   std::uint32_t outSize) {
    std::uint32_t returned = 0;
    if (!channel_.Control(handle_, code, in, inSize, out, outSize, &returned)) {
        return MapLastError(channel_.LastError());
    }
    return outSize == 0 || returned == outSize ? TavloOk : TavloFailed;
}

TavloStatus DeviceSession::CheckPanel(std::uint16_t* stamp, std::uint32_t panel) {
    std::uint8_t reply[3] = {};
    const TavloStatus status = Request(IOCTL_TAVLO_GET_STATUS, nullptr, 0, reply, sizeof reply);
    if (status != TavloOk) return status;
    const std::uint16_t driverStamp = GetLe16(reply);
    if (driverStamp != *stamp) {
        *stamp = driverStamp;
        return TavloPanelsChanged;
    }
    const std::uint8_t count = reply[2];
    if (count == 0) return TavloNoPanel;
    return static_cast<std::uint8_t>(panel) < count ? TavloOk : TavloBadPanel;
}

TavloStatus DeviceSession::Finish() {
    const DeviceHandle handle = handle_;
    handle_ = kInvalidDeviceHandle;
    return channel_.Close(handle) ? TavloOk : TavloCloseFailed;
}

}  // namespace tavlo

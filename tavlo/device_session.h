// One open-request-close cycle on the device channel. The session closes the
// handle on every path: Finish() reports the close result (0 or
// TavloCloseFailed) on the success path; an unfinished session closes in its
// destructor and ignores a close failure, as every failure path does.
#pragma once

#include <cstdint>

#include "device_channel.h"
#include "tavlo.h"

namespace tavlo {

class DeviceSession {
public:
    explicit DeviceSession(DeviceChannel& channel) : channel_(channel), handle_(channel.Open()) {}
    ~DeviceSession() {
        if (IsOpen()) channel_.Close(handle_);
    }
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    bool IsOpen() const { return handle_ != kInvalidDeviceHandle; }

    // Sends one request. A driver failure maps GetLastError (read before the
    // handle is closed); a reply shorter than outSize is TavloFailed, since
    // the buffer would hold bytes the driver never sent, and so is one that
    // claims more than outSize: driver and library then disagree on the
    // reply's layout. The count of a request without a reply is not read.
    TavloStatus Request(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize);

    // The panel check that precedes every request addressed to one panel:
    // stale stamp (refreshed) before zero panels before panel out of range.
    TavloStatus CheckPanel(std::uint16_t* stamp, std::uint32_t panel);

    // Closes the handle: TavloOk, or TavloCloseFailed when closing failed.
    TavloStatus Finish();

private:
    DeviceChannel& channel_;
    DeviceHandle handle_;
};

}  // namespace tavlo

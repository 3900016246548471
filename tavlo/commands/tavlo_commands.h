// The 24 device commands as portable functions over a DeviceChannel.
// TAVLO.DLL's exports are one-line forwards to these with the Windows
// channel; native tests call them with a channel to the simulated device.
#pragma once

#include <cstdint>

#include "device_channel.h"
#include "tavlo.h"

namespace tavlo {

// GetLastError value of a failed request -> status code.
TavloStatus MapLastError(std::uint32_t error);

// One command per export, named as the export without its prefix, taking
// the channel and then the export's own parameters (see tavlo_exports.inc).
#define TAVLO_EXPORT(name, command, parameters, arguments, requests) \
    TavloStatus command(DeviceChannel& ch, TAVLO_UNWRAP parameters);
#define TAVLO_UNWRAP(...) __VA_ARGS__
#include "tavlo_exports.inc"
#undef TAVLO_UNWRAP
#undef TAVLO_EXPORT

}  // namespace tavlo

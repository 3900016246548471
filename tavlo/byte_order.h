// Little-endian packing into byte buffers with no alignment: the driver's
// request buffers put 16-bit fields at odd offsets.
#pragma once

#include <cstdint>

namespace tavlo {

inline void PutLe16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline std::uint16_t GetLe16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

}  // namespace tavlo

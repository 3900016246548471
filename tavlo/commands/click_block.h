// Conversion between the caller's click settings (four signed 16-bit values
// in milliseconds and area units) and the device's 7-byte click block.
#pragma once

#include <cstdint>

namespace tavlo {

constexpr int kClickBlockSize = 7;

// Block byte positions.
enum ClickBlockByte : int {
    kBlockAreaFirst = 0,   // double-click area, first value (8..18)
    kBlockAreaSecond = 1,  // double-click area, second value (derived)
    kBlockReserved2 = 2,   // driver's own, preserved on write
    kBlockDblTime = 3,     // double-click time in 10 ms units (20..90)
    kBlockReserved4 = 4,   // driver's own, preserved on write
    kBlockDownCancel = 5,  // touch-down chatter cancel (0..10)
    kBlockUpCancel = 6,    // touch-up chatter cancel (0..10)
};

// Block -> ClickData, clamping each byte into its device range.
void ClickBlockToData(const std::uint8_t block[kClickBlockSize], std::int16_t data[4]);

// Clamps ClickData in place into the ranges the device can hold.
void ClampClickData(std::int16_t data[4]);

// Clamped ClickData -> block. Bytes 2 and 4 are taken from `current`, the
// block the panel holds now, because the library never changes them.
void ClickDataToBlock(const std::int16_t data[4], const std::uint8_t current[kClickBlockSize],
                      std::uint8_t block[kClickBlockSize]);

}  // namespace tavlo

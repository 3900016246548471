#include "click_block.h"

#include "tavlo.h"

namespace tavlo {
namespace {

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

}  // namespace

void ClickBlockToData(const std::uint8_t block[kClickBlockSize], std::int16_t data[4]) {
    data[TavloDownCancel] = static_cast<std::int16_t>(Clamp(block[kBlockDownCancel], 0, 10) * 10);
    data[TavloUpCancel] = static_cast<std::int16_t>(Clamp(block[kBlockUpCancel], 0, 10) * 10);
    data[TavloDblClickTime] = static_cast<std::int16_t>(Clamp(block[kBlockDblTime], 20, 90) * 10);
    data[TavloDblClickArea] = static_cast<std::int16_t>(Clamp(block[kBlockAreaFirst], 8, 18) * 2 + 4);
}

void ClampClickData(std::int16_t data[4]) {
    data[TavloDownCancel] = static_cast<std::int16_t>(Clamp(data[TavloDownCancel], 0, 100));
    data[TavloUpCancel] = static_cast<std::int16_t>(Clamp(data[TavloUpCancel], 0, 100));
    data[TavloDblClickTime] = static_cast<std::int16_t>(Clamp(data[TavloDblClickTime], 200, 900));
    data[TavloDblClickArea] = static_cast<std::int16_t>(Clamp(data[TavloDblClickArea], 20, 40));
}

void ClickDataToBlock(const std::int16_t data[4], const std::uint8_t current[kClickBlockSize],
                      std::uint8_t block[kClickBlockSize]) {
    const int areaFirst = (data[TavloDblClickArea] - 4) / 2;
    block[kBlockAreaFirst] = static_cast<std::uint8_t>(areaFirst);
    block[kBlockAreaSecond] = static_cast<std::uint8_t>(areaFirst * 13 / 10);
    block[kBlockReserved2] = current[kBlockReserved2];
    block[kBlockDblTime] = static_cast<std::uint8_t>(data[TavloDblClickTime] / 10);
    block[kBlockReserved4] = current[kBlockReserved4];
    block[kBlockDownCancel] = static_cast<std::uint8_t>(data[TavloDownCancel] / 10);
    block[kBlockUpCancel] = static_cast<std::uint8_t>(data[TavloUpCancel] / 10);
}

}  // namespace tavlo

// Palvine's command line: four independent groups of options, each looked
// for as a substring anywhere in the argument string, in any letter case.
// Within a group the options are tried in a fixed order and the last one
// found wins; anything else on the command line has no effect.
#pragma once

#include <cstdint>
#include <string_view>

namespace palvine {

// Button codes, as the driver and the mouse-button events use them.
enum : std::uint8_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// Window size codes.
enum : std::int16_t { kSmallSize = 1, kNormalSize = 2, kLargeSize = 3 };

struct Options {
    bool TopMost = true;
    std::int16_t SizeCode = kSmallSize;
    std::uint8_t NormalButton = kLeftButton;
    std::uint8_t OnceButton = kRightButton;
};

Options ReadOptions(std::string_view arguments);

}  // namespace palvine

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

// Window size codes: the index of the size item that carries the check
// mark.
enum class WindowSize : std::int16_t { kSmall = 1, kNormal = 2, kLarge = 3 };

struct Options {
    bool TopMost = true;
    WindowSize SizeCode = WindowSize::kSmall;
    std::uint8_t NormalButton = kLeftButton;
    std::uint8_t OnceButton = kRightButton;
};

Options ReadOptions(std::string_view arguments);

}  // namespace palvine

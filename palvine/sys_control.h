// SysControl: the four commands Palvine adds to its window's system menu
// ("Always top window" and three sizes), their check marks, the topmost
// setting and the window's size. Start-up hands it the values chosen by
// the options; afterwards it keeps them.
#pragma once

#include <cstdint>

#include "sys_window.h"

namespace palvine {

// Command identifiers of the added items.
enum : std::uint32_t { kCmdAlwaysTop = 101, kCmdSmallSize = 102, kCmdNormalSize = 103, kCmdLargeSize = 104 };

inline constexpr const char* kTextAlwaysTop = "Always top window";
inline constexpr const char* kTextSmallSize = "Small size";
inline constexpr const char* kTextNormalSize = "Normal size";
inline constexpr const char* kTextLargeSize = "Large size";

// Outer window widths in twips: 39, 78 and 117 pixels at 96 dots per inch.
inline constexpr double kSmallWidth = 585;
inline constexpr double kNormalWidth = 1170;
inline constexpr double kLargeWidth = 1755;

class SysControl {
public:
    explicit SysControl(SysWindow& window) : window_(window) {}

    // Each returns 0 on success and -1 on failure (SetWindowSize always 0).
    std::int16_t InstallSysMenu(bool topMost, std::int16_t sizeCode);
    std::int16_t UpdateSysMenu(bool topMost, std::int16_t sizeCode);
    std::int16_t SetTopMost(bool flag);
    std::int16_t SetWindowSize(std::int16_t sizeCode);

    // What the replaced window procedure does with a message after
    // SysMenuWndProc has seen it.
    enum class Route {
        Consumed,  // the result is 0 and the message goes no further
        PassOn,    // the message goes on to the previous window procedure
    };
    Route SysMenuWndProc(std::uint32_t message, std::uintptr_t wParam);

    bool TopMost = true;
    std::int16_t SizeCode = 1;

private:
    SysWindow& window_;
};

}  // namespace palvine

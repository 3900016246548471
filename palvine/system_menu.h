// The system-menu module: the four commands Palvine adds to its window's
// system menu ("Always top window" and three sizes), their check marks,
// the topmost setting and the window's size. Start-up hands SysControl the
// values chosen by the options; afterwards it keeps them. The window is
// reached through SysWindow; the Win32 edge decodes the chosen commands
// (ReadMenuCommand) and calls OnAlwaysTopCommand or OnSizeCommand.
#pragma once

#include <cstdint>

#include "options.h"
#include "palvine_ids.h"
#include "result.h"

namespace palvine {

// Command identifiers of the added items (palvine_ids.h).
inline constexpr std::uint32_t kCmdAlwaysTop = IDM_ALWAYS_TOP;
inline constexpr std::uint32_t kCmdSmallSize = IDM_SMALL_SIZE;
inline constexpr std::uint32_t kCmdNormalSize = IDM_NORMAL_SIZE;
inline constexpr std::uint32_t kCmdLargeSize = IDM_LARGE_SIZE;

inline constexpr const char* kTextAlwaysTop = "Always top window";
inline constexpr const char* kTextSmallSize = "Small size";
inline constexpr const char* kTextNormalSize = "Normal size";
inline constexpr const char* kTextLargeSize = "Large size";

// Outer window widths in twips: 39, 78 and 117 pixels at 96 dots per inch.
inline constexpr double kSmallWidth = 585;
inline constexpr double kNormalWidth = 1170;
inline constexpr double kLargeWidth = 1755;

// A system command as Palvine reads it: one of its own items, or a command
// that is none of its business.
struct MenuCommand {
    enum class Item { kOther, kAlwaysTop, kSize };
    Item item = Item::kOther;
    WindowSize size = WindowSize::kSmall;  // for kSize
};
// The whole value is compared: the platform's own commands use the low
// four bits, and 101 | 0x0F is not 101.
MenuCommand ReadMenuCommand(std::uintptr_t command);

// The window as SysControl sees it: its own system menu, its place in the
// z-order, its outer size and the picture control inside it. Sizes and
// positions are in twips; the window may round them to whole pixels, so
// what is read back can differ from what was set.
class SysWindow {
public:
    // Items appended to the window's own system menu, and an item rewritten
    // by its command (text and check mark); false when the call fails (or
    // the window has no system menu).
    virtual bool AppendMenuSeparator() = 0;
    virtual bool AppendMenuItem(std::uint32_t id, const char* text) = 0;
    virtual bool SetMenuItem(std::uint32_t id, const char* text, bool checked) = 0;
    // Above all other windows, or back among them, without moving or
    // sizing the window, and shown; false when it fails.
    virtual bool SetTopmost(bool topmost) = 0;
    // From now on every system command chosen reaches SysControl first.
    virtual void ReplaceWindowProc() = 0;

    // Outer size of the window; setting one keeps its position.
    virtual double Width() = 0;
    virtual double Height() = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetHeight(double twips) = 0;

    // ClickStatus. Its place is measured like the outer size, from the
    // frame's outer edge below the caption strip, so that a place computed
    // from the outer size lands the same in the square below the strip.
    virtual double PictureWidth() = 0;
    virtual double PictureHeight() = 0;
    virtual void SetPictureTop(double twips) = 0;
    virtual void SetPictureLeft(double twips) = 0;

protected:
    ~SysWindow() = default;
};

class SysControl {
public:
    explicit SysControl(SysWindow& window) : window_(window) {}

    Result InstallSysMenu(bool topMost, WindowSize sizeCode);
    Result UpdateSysMenu(bool topMost, WindowSize sizeCode);
    Result SetTopMost(bool flag);
    // Always succeeds.
    void SetWindowSize(WindowSize sizeCode);

    // "Always top window" chosen: the flag flips, the window and the check
    // mark follow (failures ignored). The command goes no further.
    void OnAlwaysTopCommand();
    // A size chosen: the window takes it and the check mark moves. The
    // command goes on to the previous window procedure as well.
    void OnSizeCommand(WindowSize sizeCode);

    bool TopMost = true;
    WindowSize SizeCode = WindowSize::kSmall;

private:
    SysWindow& window_;
};

}  // namespace palvine

// The window as SysControl sees it: its own system menu, its place in the
// z-order, its outer size and the picture control inside it. Sizes and
// positions are in twips; the window may round them to whole pixels, so
// what is read back can differ from what was set.
#pragma once

#include <cstdint>

namespace palvine {

// Values as the platform defines them, so that the calls can be checked
// without the platform's headers.
inline constexpr std::uint32_t kMfString = 0x0;
inline constexpr std::uint32_t kMfByCommand = 0x0;
inline constexpr std::uint32_t kMfChecked = 0x8;
inline constexpr std::uint32_t kMfSeparator = 0x800;
inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr std::intptr_t kHwndNoTopmost = -2;
inline constexpr std::uint32_t kSwpNoSize = 0x1;
inline constexpr std::uint32_t kSwpNoMove = 0x2;
inline constexpr std::uint32_t kSwpShowWindow = 0x40;
inline constexpr std::uint32_t kWmSysCommand = 0x112;

class SysWindow {
public:
    // AppendMenuA / ModifyMenuA on the window's own system menu; false when
    // the call fails (or the window has no system menu).
    virtual bool AppendSysMenuItem(std::uint32_t flags, std::uint32_t id, const char* text) = 0;
    virtual bool ModifySysMenuItem(std::uint32_t item, std::uint32_t flags, std::uint32_t id, const char* text) = 0;
    // SetWindowPos with this insert-after value, position and size 0 and
    // these flags; false when it fails.
    virtual bool SetZOrder(std::intptr_t insertAfter, std::uint32_t flags) = 0;
    // Replaces the window procedure, so that every message reaches
    // SysControl::SysMenuWndProc first.
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

}  // namespace palvine

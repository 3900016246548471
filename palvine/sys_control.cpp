#include "sys_control.h"

#include <cmath>

namespace palvine {
namespace {

struct SizeItem {
    std::uint32_t id;
    const char* text;
};
// Index 1 to 3 is the size code the item stands for.
constexpr SizeItem kSizeItems[] = {
    {kCmdSmallSize, kTextSmallSize}, {kCmdNormalSize, kTextNormalSize}, {kCmdLargeSize, kTextLargeSize}};

double WidthFor(std::int16_t sizeCode) {
    if (sizeCode == 1) return kSmallWidth;
    if (sizeCode == 3) return kLargeWidth;
    return kNormalWidth;
}

}  // namespace

std::int16_t SysControl::InstallSysMenu(bool topMost, std::int16_t sizeCode) {
    TopMost = topMost;
    SizeCode = sizeCode;
    if (!window_.AppendSysMenuItem(kMfSeparator, 0, nullptr)) return -1;
    if (!window_.AppendSysMenuItem(kMfString, kCmdAlwaysTop, kTextAlwaysTop)) return -1;
    if (!window_.AppendSysMenuItem(kMfSeparator, 0, nullptr)) return -1;
    for (const SizeItem& item : kSizeItems) {
        if (!window_.AppendSysMenuItem(kMfString, item.id, item.text)) return -1;
    }
    if (UpdateSysMenu(TopMost, SizeCode) < 0) return -1;
    // Only now: a menu that could not be built gets no commands handled.
    window_.ReplaceWindowProc();
    return 0;
}

std::int16_t SysControl::UpdateSysMenu(bool topMost, std::int16_t sizeCode) {
    const std::uint32_t flags = kMfByCommand | kMfString;
    if (!window_.ModifySysMenuItem(kCmdAlwaysTop, flags | (topMost ? kMfChecked : 0), kCmdAlwaysTop, kTextAlwaysTop)) {
        return -1;
    }
    for (int index = 1; index <= 3; ++index) {
        const SizeItem& item = kSizeItems[index - 1];
        if (!window_.ModifySysMenuItem(item.id, flags | (sizeCode == index ? kMfChecked : 0), item.id, item.text)) {
            return -1;
        }
    }
    return 0;
}

std::int16_t SysControl::SetTopMost(bool flag) {
    return window_.SetZOrder(flag ? kHwndTopmost : kHwndNoTopmost, kSwpNoSize | kSwpNoMove | kSwpShowWindow) ? 0 : -1;
}

std::int16_t SysControl::SetWindowSize(std::int16_t sizeCode) {
    // Height minus width as it is now; the new size keeps it.
    const double d = std::round(window_.Height() - window_.Width());
    window_.SetWidth(WidthFor(sizeCode));
    // The window may have rounded the width to whole pixels: go on from
    // what it really is.
    const double width = window_.Width();
    const double height = width + d;
    window_.SetHeight(height);
    window_.SetPictureTop((height - d) / 2 - window_.PictureHeight() / 2 + 1);
    window_.SetPictureLeft(width / 2 - window_.PictureWidth() / 2 + 1);
    return 0;
}

SysControl::Route SysControl::SysMenuWndProc(std::uint32_t message, std::uintptr_t wParam) {
    if (message != kWmSysCommand) return Route::PassOn;
    // The whole wParam: the platform's own commands use the low four bits,
    // and 0x6F is not 101.
    if (wParam == kCmdAlwaysTop) {
        TopMost = !TopMost;
        SetTopMost(TopMost);
        UpdateSysMenu(TopMost, SizeCode);
        return Route::Consumed;
    }
    if (wParam == kCmdSmallSize || wParam == kCmdNormalSize || wParam == kCmdLargeSize) {
        SizeCode = static_cast<std::int16_t>(wParam - kCmdAlwaysTop);
        SetWindowSize(SizeCode);
        UpdateSysMenu(TopMost, SizeCode);
    }
    return Route::PassOn;
}

}  // namespace palvine

#include "system_menu.h"

#include <cmath>

namespace palvine {
namespace {

struct SizeItem {
    WindowSize size;
    std::uint32_t id;
    const char* text;
};
constexpr SizeItem kSizeItems[] = {{WindowSize::kSmall, kCmdSmallSize, kTextSmallSize},
                                   {WindowSize::kNormal, kCmdNormalSize, kTextNormalSize},
                                   {WindowSize::kLarge, kCmdLargeSize, kTextLargeSize}};

double WidthFor(WindowSize sizeCode) {
    if (sizeCode == WindowSize::kSmall) return kSmallWidth;
    if (sizeCode == WindowSize::kLarge) return kLargeWidth;
    return kNormalWidth;
}

}  // namespace

MenuCommand ReadMenuCommand(std::uintptr_t command) {
    if (command == kCmdAlwaysTop) return {MenuCommand::Item::kAlwaysTop, WindowSize::kSmall};
    for (const SizeItem& item : kSizeItems) {
        if (command == item.id) return {MenuCommand::Item::kSize, item.size};
    }
    return {};
}

Result SysControl::InstallSysMenu(bool topMost, WindowSize sizeCode) {
    TopMost = topMost;
    SizeCode = sizeCode;
    if (!window_.AppendMenuSeparator()) return Result::kFailure;
    if (!window_.AppendMenuItem(kCmdAlwaysTop, kTextAlwaysTop)) return Result::kFailure;
    if (!window_.AppendMenuSeparator()) return Result::kFailure;
    for (const SizeItem& item : kSizeItems) {
        if (!window_.AppendMenuItem(item.id, item.text)) return Result::kFailure;
    }
    if (UpdateSysMenu(TopMost, SizeCode) != Result::kSuccess) return Result::kFailure;
    // Only now: a menu that could not be built gets no commands handled.
    window_.ReplaceWindowProc();
    return Result::kSuccess;
}

Result SysControl::UpdateSysMenu(bool topMost, WindowSize sizeCode) {
    if (!window_.SetMenuItem(kCmdAlwaysTop, kTextAlwaysTop, topMost)) return Result::kFailure;
    for (const SizeItem& item : kSizeItems) {
        if (!window_.SetMenuItem(item.id, item.text, sizeCode == item.size)) return Result::kFailure;
    }
    return Result::kSuccess;
}

Result SysControl::SetTopMost(bool flag) { return window_.SetTopmost(flag) ? Result::kSuccess : Result::kFailure; }

void SysControl::SetWindowSize(WindowSize sizeCode) {
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
}

void SysControl::OnAlwaysTopCommand() {
    TopMost = !TopMost;
    SetTopMost(TopMost);
    UpdateSysMenu(TopMost, SizeCode);
}

void SysControl::OnSizeCommand(WindowSize sizeCode) {
    SizeCode = sizeCode;
    SetWindowSize(SizeCode);
    UpdateSysMenu(TopMost, SizeCode);
}

}  // namespace palvine

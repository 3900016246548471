#include "controls_win32.h"

namespace winui {

TwipScale ScreenTwipScale() {
    WindowDc screen(nullptr);
    return TwipScale(GetDeviceCaps(screen.Get(), LOGPIXELSX), GetDeviceCaps(screen.Get(), LOGPIXELSY));
}

Font MessageFont() {
    Font font;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    }
    if (!font) font.Reset(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    return font;
}

HWND CreateChild(HWND parent, const TwipScale& scale, HFONT font, const ChildSpec& child) {
    const PixelRect at = ToPixels(scale, child.rect);
    auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    HWND control = CreateWindowExA(child.exStyle, child.className, child.text, WS_CHILD | child.style, at.left, at.top,
                                   at.width, at.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                                   instance, child.createParam);
    if (control != nullptr && font != nullptr) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return control;
}

}  // namespace winui

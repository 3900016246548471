// Twips (1440 per inch) and pixels. Form windows keep every position in
// twips, as their procedures do. A pixel is always a whole number of twips
// (15 at 96 dots per inch, 12 at 120, 10 at 144), so every pointer position
// and screen size in twips is a whole number and the procedure's roundings
// of targets and touches work on whole twips at any resolution.
#pragma once

#include <cmath>

namespace winui {

class TwipScale {
public:
    TwipScale() = default;
    // Dots per inch across and down; a nonsensical value counts as 96.
    TwipScale(int dpiX, int dpiY) : perPixelX_(PerPixel(dpiX)), perPixelY_(PerPixel(dpiY)) {}

    int PerPixelX() const { return perPixelX_; }
    int PerPixelY() const { return perPixelY_; }
    double XToTwips(double pixels) const { return pixels * perPixelX_; }
    double YToTwips(double pixels) const { return pixels * perPixelY_; }
    int XToPixels(double twips) const { return ToPixels(twips / perPixelX_); }
    int YToPixels(double twips) const { return ToPixels(twips / perPixelY_); }

    // Twips per pixel at a resolution: 1440 / dpi in whole twips, at least 1.
    static int PerPixel(int dpi) {
        if (dpi <= 0) return 15;
        const int perPixel = 1440 / dpi;
        return perPixel > 1 ? perPixel : 1;
    }

private:
    static int ToPixels(double pixels) {
        if (!std::isfinite(pixels)) return 0;
        if (pixels > 1e6) return 1000000;
        if (pixels < -1e6) return -1000000;
        return static_cast<int>(std::lround(pixels));
    }

    int perPixelX_ = 15;
    int perPixelY_ = 15;
};

// A control's place on its form in twips, as the form's design gives it.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The rectangle in pixels (left, top, width, height).
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline PixelRect ToPixels(const TwipScale& scale, const TwipRect& rect) {
    return PixelRect{scale.XToPixels(rect.left), scale.YToPixels(rect.top), scale.XToPixels(rect.width),
                     scale.YToPixels(rect.height)};
}

}  // namespace winui

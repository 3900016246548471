// Twips (1440 per inch) and pixels. The window keeps every position in
// twips, as the procedure does; at 96 dots per inch a pixel is 15 twips.
#pragma once

#include <cmath>

namespace gorvat {

class TwipScale {
public:
    TwipScale() = default;
    // Dots per inch across and down; a nonsensical value counts as 96.
    TwipScale(int dpiX, int dpiY) : perPixelX_(PerPixel(dpiX)), perPixelY_(PerPixel(dpiY)) {}

    double PerPixelX() const { return perPixelX_; }
    double PerPixelY() const { return perPixelY_; }
    double XToTwips(double pixels) const { return pixels * perPixelX_; }
    double YToTwips(double pixels) const { return pixels * perPixelY_; }
    int XToPixels(double twips) const { return ToPixels(twips / perPixelX_); }
    int YToPixels(double twips) const { return ToPixels(twips / perPixelY_); }

private:
    static double PerPixel(int dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }
    static int ToPixels(double pixels) {
        if (!std::isfinite(pixels)) return 0;
        if (pixels > 1e6) return 1000000;
        if (pixels < -1e6) return -1000000;
        return static_cast<int>(std::lround(pixels));
    }

    double perPixelX_ = 15.0;
    double perPixelY_ = 15.0;
};

}  // namespace gorvat

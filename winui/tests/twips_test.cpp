#include "twips.h"

#include <gtest/gtest.h>

namespace winui {
namespace {

TEST(TwipsTest, APixelIsAWholeNumberOfTwips) {
    const struct {
        int dpi;
        int perPixel;
    } cases[] = {
        {96, 15}, {120, 12}, {144, 10}, {72, 20},  {192, 7},  // 7.5 is cut to 7
        {168, 8}, {1440, 1}, {2000, 1},                       // never below 1
        {0, 15},  {-96, 15},                                  // nonsense counts as 96 dpi
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TwipScale::PerPixel(c.dpi), c.perPixel) << c.dpi;
        // Every pixel position converts to whole twips and back to itself,
        // each axis at its own scale (Y stays at 96 dpi).
        const TwipScale scale(c.dpi, 96);
        for (int pixels : {0, 1, 17, 333, 767, 1023, 1919, -5}) {
            const double twips = scale.XToTwips(pixels);
            EXPECT_EQ(twips, static_cast<double>(pixels) * c.perPixel) << c.dpi << " " << pixels;
            EXPECT_EQ(scale.XToPixels(twips), pixels) << c.dpi << " " << pixels;
            EXPECT_EQ(scale.YToTwips(pixels), static_cast<double>(pixels) * 15) << c.dpi << " " << pixels;
            EXPECT_EQ(scale.YToPixels(scale.YToTwips(pixels)), pixels) << c.dpi << " " << pixels;
        }
    }
    // A scale made before the screen was asked is the 96 dpi one.
    EXPECT_EQ(TwipScale().PerPixelX(), 15);
    EXPECT_EQ(TwipScale().PerPixelY(), 15);
}

TEST(TwipsTest, DesignRectanglesConvertPerAxis) {
    const struct {
        int dpiX, dpiY;
        TwipRect twips;
        PixelRect pixels;
    } cases[] = {
        {96, 96, {150, 240, 4275, 195}, {10, 16, 285, 13}},     // 4275 / 15 = 285
        {120, 144, {840, 720, 1215, 612}, {70, 72, 101, 61}},   // 101.25 and 61.2 round down
        {96, 96, {-30, 0, 0, 22.5}, {-2, 0, 0, 2}},             // 1.5 rounds away from zero
        {96, 96, {1e12, -1e12, 0, 0}, {1000000, -1000000, 0, 0}},  // absurd designs saturate
    };
    for (const auto& c : cases) {
        const PixelRect p = ToPixels(TwipScale(c.dpiX, c.dpiY), c.twips);
        EXPECT_EQ(p.left, c.pixels.left) << c.twips.left;
        EXPECT_EQ(p.top, c.pixels.top) << c.twips.top;
        EXPECT_EQ(p.width, c.pixels.width) << c.twips.width;
        EXPECT_EQ(p.height, c.pixels.height) << c.twips.height;
    }
}

}  // namespace
}  // namespace winui

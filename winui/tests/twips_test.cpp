#include "twips.h"

#include <gtest/gtest.h>

namespace winui {
namespace {

struct PerPixelCase {
    const char* name;
    int dpi;
    int perPixel;
};

class TwipsPerPixel : public ::testing::TestWithParam<PerPixelCase> {};

TEST_P(TwipsPerPixel, APixelIsAWholeNumberOfTwips) {
    const PerPixelCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Dpi, TwipsPerPixel,
                         ::testing::Values(PerPixelCase{.name = "Dpi96", .dpi = 96, .perPixel = 15},
                                           PerPixelCase{.name = "Dpi120", .dpi = 120, .perPixel = 12},
                                           PerPixelCase{.name = "Dpi144", .dpi = 144, .perPixel = 10},
                                           PerPixelCase{.name = "Dpi72", .dpi = 72, .perPixel = 20},
                                           // 7.5 is cut to 7
                                           PerPixelCase{.name = "Dpi192CutDown", .dpi = 192, .perPixel = 7},
                                           PerPixelCase{.name = "Dpi168", .dpi = 168, .perPixel = 8},
                                           // never below 1
                                           PerPixelCase{.name = "Dpi1440", .dpi = 1440, .perPixel = 1},
                                           PerPixelCase{.name = "Dpi2000NeverBelowOne", .dpi = 2000, .perPixel = 1},
                                           // nonsense counts as 96 dpi
                                           PerPixelCase{.name = "ZeroIs96", .dpi = 0, .perPixel = 15},
                                           PerPixelCase{.name = "NegativeIs96", .dpi = -96, .perPixel = 15}),
                         [](const ::testing::TestParamInfo<PerPixelCase>& row) { return row.param.name; });

TEST(TwipsTest, AScaleMadeBeforeTheScreenWasAskedIs96Dpi) {
    EXPECT_EQ(TwipScale().PerPixelX(), 15);
    EXPECT_EQ(TwipScale().PerPixelY(), 15);
}

struct RectCase {
    const char* name;
    int dpiX, dpiY;
    TwipRect twips;
    PixelRect pixels;
};

class TwipsDesignRectangle : public ::testing::TestWithParam<RectCase> {};

TEST_P(TwipsDesignRectangle, ConvertsPerAxis) {
    const RectCase& c = GetParam();
    const PixelRect p = ToPixels(TwipScale(c.dpiX, c.dpiY), c.twips);
    EXPECT_EQ(p.left, c.pixels.left) << c.twips.left;
    EXPECT_EQ(p.top, c.pixels.top) << c.twips.top;
    EXPECT_EQ(p.width, c.pixels.width) << c.twips.width;
    EXPECT_EQ(p.height, c.pixels.height) << c.twips.height;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rectangles, TwipsDesignRectangle,
    ::testing::Values(
        // 4275 / 15 = 285
        RectCase{.name = "At96Dpi", .dpiX = 96, .dpiY = 96, .twips = {150, 240, 4275, 195}, .pixels = {10, 16, 285, 13}},
        // 101.25 and 61.2 round down
        RectCase{.name = "AxesOfTheirOwn", .dpiX = 120, .dpiY = 144, .twips = {840, 720, 1215, 612}, .pixels = {70, 72, 101, 61}},
        // 1.5 rounds away from zero
        RectCase{.name = "HalfRoundsAwayFromZero", .dpiX = 96, .dpiY = 96, .twips = {-30, 0, 0, 22.5}, .pixels = {-2, 0, 0, 2}},
        // absurd designs saturate
        RectCase{.name = "AbsurdSaturates", .dpiX = 96, .dpiY = 96, .twips = {1e12, -1e12, 0, 0}, .pixels = {1000000, -1000000, 0, 0}}),
    [](const ::testing::TestParamInfo<RectCase>& row) { return row.param.name; });
// clang-format on

}  // namespace
}  // namespace winui

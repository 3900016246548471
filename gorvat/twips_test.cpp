#include "twips.h"

#include <gtest/gtest.h>

namespace gorvat {
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
        const TwipScale scale(c.dpi, c.dpi);
        EXPECT_EQ(scale.PerPixelX(), c.perPixel) << c.dpi;
        EXPECT_EQ(scale.PerPixelY(), c.perPixel) << c.dpi;
        // Every pixel position converts to whole twips and back to itself.
        for (int pixels : {0, 1, 17, 333, 767, 1023, 1919, -5}) {
            const double twips = scale.XToTwips(pixels);
            EXPECT_EQ(twips, static_cast<double>(pixels) * c.perPixel) << c.dpi << " " << pixels;
            EXPECT_EQ(scale.XToPixels(twips), pixels) << c.dpi << " " << pixels;
            EXPECT_EQ(scale.YToPixels(scale.YToTwips(pixels)), pixels) << c.dpi << " " << pixels;
        }
    }
}

TEST(TwipsTest, AxesAreScaledApart) {
    const TwipScale scale(120, 144);
    EXPECT_EQ(scale.XToTwips(1024), 12288);
    EXPECT_EQ(scale.YToTwips(768), 7680);
    EXPECT_EQ(scale.XToPixels(480), 40);  // the mark's picture
    EXPECT_EQ(scale.YToPixels(480), 48);

    const TwipScale unset;
    EXPECT_EQ(unset.PerPixelX(), 15);
    EXPECT_EQ(unset.PerPixelY(), 15);
}

}  // namespace
}  // namespace gorvat

// The caption strip: its height from the system metric, which points are
// strip, where a context menu opens, its grip, and the picture placed in
// the square below it at every size and resolution.
#include "caption_strip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "fake_window.h"
#include "sys_control.h"

namespace palvine {
namespace {

TEST(PalvineCaptionStrip, HeightIsTheSmallCaptionsWithAFloor) {
    // A metric that could not be read (0) or a nonsense one still gives a
    // strip a finger can hold.
    const struct { int metric, height; } cases[] = {{-5, 8}, {0, 8}, {7, 8}, {8, 8}, {15, 15}, {23, 23}, {45, 45}};
    for (const auto& c : cases) EXPECT_EQ(CaptionStrip(c.metric).Height(), c.height) << c.metric;
}

// Points in client pixels of a client area 37 pixels wide under a strip of
// 23: only the strip turns into caption, and only where the platform says
// client (a border stays a border, a point off the window stays off it).
TEST(PalvineCaptionStrip, OnlyTheStripIsCaption) {
    constexpr std::intptr_t kHtNowhere = 0, kHtBorder = 18, kHtTransparent = -1;
    const struct {
        std::intptr_t platform;
        int x, y;
        std::intptr_t answer;
    } cases[] = {
        {kHtClient, 0, 0, kHtCaption},          {kHtClient, 36, 0, kHtCaption},  {kHtClient, 0, 22, kHtCaption},
        {kHtClient, 36, 22, kHtCaption},        {kHtClient, 18, 11, kHtCaption}, {kHtClient, 0, 23, kHtClient},
        {kHtClient, 18, 40, kHtClient},         {kHtClient, 37, 5, kHtClient},   {kHtClient, -1, 5, kHtClient},
        {kHtClient, 5, -1, kHtClient},          {kHtBorder, 5, 5, kHtBorder},    {kHtNowhere, 5, 5, kHtNowhere},
        {kHtTransparent, 5, 5, kHtTransparent},
    };
    const CaptionStrip strip(23);
    for (const auto& c : cases) {
        EXPECT_EQ(strip.HitTest(c.platform, c.x, c.y, 37), c.answer) << c.platform << " at " << c.x << "," << c.y;
    }
}

// A right click or press and hold on the strip opens the menu where it
// was; on the picture's square it does not (those clicks are Palvine's);
// from the keyboard it opens under the strip's left end.
TEST(PalvineCaptionStrip, ContextMenuOpensFromTheStripOnly) {
    const struct {
        bool keyboard;
        int x, y;
        MenuPlace place;
    } cases[] = {
        {false, 10, 5, {true, 10, 5}},  {false, 0, 14, {true, 0, 14}},  {false, 76, 14, {true, 76, 14}},
        {false, 10, 15, {false, 0, 0}}, {false, 40, 60, {false, 0, 0}}, {false, 77, 5, {false, 0, 0}},
        {false, -3, 5, {false, 0, 0}},  {true, 0, 0, {true, 0, 15}},    {true, 40, 60, {true, 0, 15}},
    };
    const CaptionStrip strip(15);
    for (const auto& c : cases) {
        EXPECT_EQ(strip.ContextMenu(c.keyboard, c.x, c.y, 77), c.place) << c.keyboard << " " << c.x << "," << c.y;
    }
}

// The grip lies wholly on the strip, a dot clear of its ends, centred to a
// pixel, in two rows of the same dots; a strip too narrow for two dots a
// row gets none.
TEST(PalvineCaptionStrip, GripFitsTheStrip) {
    const struct {
        int height, clientWidth;
        std::size_t dots;  // both rows
    } cases[] = {{8, 37, 12}, {23, 37, 12}, {23, 115, 12}, {45, 65, 12}, {45, 64, 10},
                 {45, 25, 4}, {45, 24, 0},  {23, 3, 0},    {23, 0, 0},   {8, -4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " x " << c.clientWidth);
        const CaptionStrip strip(c.height);
        const std::vector<StripRect> grip = strip.Grip(c.clientWidth);
        ASSERT_EQ(grip.size(), c.dots);
        if (grip.empty()) continue;
        const int dot = grip.front().width;
        int left = grip.front().left, right = left, top = grip.front().top, bottom = top;
        for (const StripRect& r : grip) {
            EXPECT_EQ(r.width, dot);
            EXPECT_EQ(r.height, dot);
            left = std::min(left, r.left);
            right = std::max(right, r.left + r.width);
            top = std::min(top, r.top);
            bottom = std::max(bottom, r.top + r.height);
        }
        EXPECT_GE(left, dot);
        EXPECT_LE(right, c.clientWidth - dot);
        EXPECT_LE(std::abs(left - (c.clientWidth - right)), 1);
        EXPECT_GE(top, 0);
        EXPECT_LE(bottom, c.height);
        EXPECT_LE(std::abs(top - (c.height - bottom)), 1);
    }
}

// The window as built: a frame of a pixel a side, a square of 915 twips
// under the strip, the icon at the system's size for the resolution. Each
// size keeps height minus width at the strip's height and puts the whole
// picture in the square below the strip, centred to a pixel or two.
TEST(PalvineCaptionStrip, PictureFitsTheSquareBelowTheStripAtEverySize) {
    constexpr int kFrame = 1;
    const struct { int dpi, icon; } screens[] = {{96, 32}, {120, 40}, {144, 48}};
    for (const auto& screen : screens) {
        for (int stripHeight : {8, 15, 23, 45}) {
            const CaptionStrip strip(stripHeight);
            FakeWindow window;
            const int perPixel = 1440 / screen.dpi;
            const int square = static_cast<int>(std::lround(915.0 / perPixel));
            window.twipsPerPixel = perPixel;
            window.width = (square + 2 * kFrame) * perPixel;
            window.height = (strip.DesignClientHeight(square) + 2 * kFrame) * perPixel;
            window.picture = screen.icon * perPixel;
            SysControl sys{window};
            for (int code : {1, 3, 2, 1}) {
                SCOPED_TRACE(testing::Message() << screen.dpi << " dpi, strip " << stripHeight << ", size " << code);
                sys.SetWindowSize(static_cast<std::int16_t>(code));
                const int outerWidth = static_cast<int>(std::lround(window.width / perPixel));
                const int outerHeight = static_cast<int>(std::lround(window.height / perPixel));
                if (screen.dpi == 96) {
                    EXPECT_EQ(outerWidth, 39 * code);
                }
                EXPECT_EQ(outerHeight - outerWidth, stripHeight);
                const int clientWidth = outerWidth - 2 * kFrame, clientHeight = outerHeight - 2 * kFrame;
                const int left =
                    strip.PictureLeft(static_cast<int>(std::lround(window.pictureLeft / perPixel)), kFrame);
                const int top = strip.PictureTop(static_cast<int>(std::lround(window.pictureTop / perPixel)), kFrame);
                const int right = clientWidth - (left + screen.icon), bottom = clientHeight - (top + screen.icon);
                EXPECT_GE(left, 0);
                EXPECT_GE(right, 0);
                EXPECT_GE(top, stripHeight) << "under the strip";
                EXPECT_GE(bottom, 0);
                EXPECT_LE(std::abs(left - right), 2);
                EXPECT_LE(std::abs((top - stripHeight) - bottom), 2);
            }
        }
    }
}

}  // namespace
}  // namespace palvine

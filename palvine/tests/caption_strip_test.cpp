// The caption strip: its height from the system metric, which points are
// strip, where a context menu opens, its grip, and the picture placed in
// the square below it at every size and resolution.
#include "caption_strip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "fake_window.h"
#include "row_name.h"
#include "system_menu.h"

namespace palvine {
namespace {

// A metric that could not be read (0) or a nonsense one still gives a
// strip a finger can hold.
struct HeightRow {
    int metric, height;
};

class StripHeight : public testing::TestWithParam<HeightRow> {};

TEST_P(StripHeight, IsTheSmallCaptionsWithAFloor) {
    EXPECT_EQ(CaptionStrip(GetParam().metric).Height(), GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(PalvineCaptionStrip, StripHeight,
                         testing::Values(HeightRow{.metric = -5, .height = 8}, HeightRow{.metric = 0, .height = 8},
                                         HeightRow{.metric = 7, .height = 8}, HeightRow{.metric = 8, .height = 8},
                                         HeightRow{.metric = 15, .height = 15}, HeightRow{.metric = 23, .height = 23},
                                         HeightRow{.metric = 45, .height = 45}),
                         [](const testing::TestParamInfo<HeightRow>& p) {
                             return suite_test::TestName("metric " + std::to_string(p.param.metric));
                         });

// Points in client pixels of a client area 37 pixels wide under a strip of
// 23: only the strip turns into caption, and only where the platform says
// client (a border stays a border, a point off the window stays off it).
constexpr std::intptr_t kHtNowhere = 0, kHtBorder = 18, kHtTransparent = -1;
struct HitRow {
    const char* name;
    std::intptr_t platform;
    int x, y;
    std::intptr_t answer;
};

class StripHitTest : public testing::TestWithParam<HitRow> {};

TEST_P(StripHitTest, OnlyTheStripIsCaption) {
    const HitRow& c = GetParam();
    EXPECT_EQ(CaptionStrip(23).HitTest(c.platform, c.x, c.y, 37), c.answer);
}

// clang-format off
const HitRow kHitRows[] = {
    {.name = "top left", .platform = kHtClient, .x = 0, .y = 0, .answer = kHtCaption},
    {.name = "top right", .platform = kHtClient, .x = 36, .y = 0, .answer = kHtCaption},
    {.name = "strip bottom left", .platform = kHtClient, .x = 0, .y = 22, .answer = kHtCaption},
    {.name = "strip bottom right", .platform = kHtClient, .x = 36, .y = 22, .answer = kHtCaption},
    {.name = "strip middle", .platform = kHtClient, .x = 18, .y = 11, .answer = kHtCaption},
    {.name = "just below the strip", .platform = kHtClient, .x = 0, .y = 23, .answer = kHtClient},
    {.name = "square", .platform = kHtClient, .x = 18, .y = 40, .answer = kHtClient},
    {.name = "right of the client area", .platform = kHtClient, .x = 37, .y = 5, .answer = kHtClient},
    {.name = "left of the client area", .platform = kHtClient, .x = -1, .y = 5, .answer = kHtClient},
    {.name = "above the client area", .platform = kHtClient, .x = 5, .y = -1, .answer = kHtClient},
    {.name = "border stays", .platform = kHtBorder, .x = 5, .y = 5, .answer = kHtBorder},
    {.name = "nowhere stays", .platform = kHtNowhere, .x = 5, .y = 5, .answer = kHtNowhere},
    {.name = "transparent stays", .platform = kHtTransparent, .x = 5, .y = 5, .answer = kHtTransparent},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PalvineCaptionStrip, StripHitTest, testing::ValuesIn(kHitRows), suite_test::RowName);

// A right click or press and hold on the strip opens the menu where it
// was; on the picture's square it does not (those clicks are Palvine's);
// from the keyboard it opens under the strip's left end. A client area 77
// pixels wide under a strip of 15.
struct ContextMenuRow {
    const char* name;
    bool keyboard;
    int x, y;
    MenuPlace place;
};

class StripContextMenu : public testing::TestWithParam<ContextMenuRow> {};

TEST_P(StripContextMenu, OpensFromTheStripOnly) {
    const ContextMenuRow& c = GetParam();
    EXPECT_EQ(CaptionStrip(15).ContextMenu(c.keyboard, c.x, c.y, 77), c.place);
}

// clang-format off
const ContextMenuRow kContextMenuRows[] = {
    {.name = "on the strip", .keyboard = false, .x = 10, .y = 5, .place = {true, 10, 5}},
    {.name = "strip left end", .keyboard = false, .x = 0, .y = 14, .place = {true, 0, 14}},
    {.name = "strip right end", .keyboard = false, .x = 76, .y = 14, .place = {true, 76, 14}},
    {.name = "just below the strip", .keyboard = false, .x = 10, .y = 15, .place = {false, 0, 0}},
    {.name = "on the square", .keyboard = false, .x = 40, .y = 60, .place = {false, 0, 0}},
    {.name = "right of the client area", .keyboard = false, .x = 77, .y = 5, .place = {false, 0, 0}},
    {.name = "left of the client area", .keyboard = false, .x = -3, .y = 5, .place = {false, 0, 0}},
    {.name = "keyboard", .keyboard = true, .x = 0, .y = 0, .place = {true, 0, 15}},
    {.name = "keyboard, point ignored", .keyboard = true, .x = 40, .y = 60, .place = {true, 0, 15}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PalvineCaptionStrip, StripContextMenu, testing::ValuesIn(kContextMenuRows),
                         suite_test::RowName);

// The grip lies wholly on the strip, a dot clear of its ends, centred to a
// pixel, in two rows of the same dots; a strip too narrow for two dots a
// row gets none.
struct GripRow {
    int height, clientWidth;
    std::size_t dots;  // both rows
};

class StripGrip : public testing::TestWithParam<GripRow> {};

TEST_P(StripGrip, FitsTheStrip) {
    const GripRow& c = GetParam();
    const CaptionStrip strip(c.height);
    const std::vector<StripRect> grip = strip.Grip(c.clientWidth);
    ASSERT_EQ(grip.size(), c.dots);
    if (grip.empty()) return;
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

// clang-format off
const GripRow kGripRows[] = {
    {.height = 8, .clientWidth = 37, .dots = 12},   {.height = 23, .clientWidth = 37, .dots = 12},
    {.height = 23, .clientWidth = 115, .dots = 12}, {.height = 45, .clientWidth = 65, .dots = 12},
    {.height = 45, .clientWidth = 64, .dots = 10},  {.height = 45, .clientWidth = 25, .dots = 4},
    {.height = 45, .clientWidth = 24, .dots = 0},   {.height = 23, .clientWidth = 3, .dots = 0},
    {.height = 23, .clientWidth = 0, .dots = 0},    {.height = 8, .clientWidth = -4, .dots = 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PalvineCaptionStrip, StripGrip, testing::ValuesIn(kGripRows),
                         [](const testing::TestParamInfo<GripRow>& p) {
                             return suite_test::TestName("strip " + std::to_string(p.param.height) + " client " +
                                                         std::to_string(p.param.clientWidth));
                         });

// The window as built: a frame of a pixel a side, a square of 915 twips
// under the strip, the icon at the system's size for the resolution. Each
// size keeps height minus width at the strip's height and puts the whole
// picture in the square below the strip, centred to a pixel or two.
struct Screen {
    int dpi, icon;
};

class PictureInTheSquare : public testing::TestWithParam<std::tuple<Screen, int>> {};

TEST_P(PictureInTheSquare, FitsAtEverySize) {
    constexpr int kFrame = 1;
    const Screen screen = std::get<0>(GetParam());
    const int stripHeight = std::get<1>(GetParam());
    const CaptionStrip strip(stripHeight);
    FakeWindow window;
    const int perPixel = 1440 / screen.dpi;
    const int square = static_cast<int>(std::lround(915.0 / perPixel));
    window.twipsPerPixel = perPixel;
    window.width = (square + 2 * kFrame) * perPixel;
    window.height = (strip.DesignClientHeight(square) + 2 * kFrame) * perPixel;
    window.picture = screen.icon * perPixel;
    SysControl sys{window};
    // One after another on the same window, as the menu's commands come.
    for (const WindowSize size : {WindowSize::kSmall, WindowSize::kLarge, WindowSize::kNormal, WindowSize::kSmall}) {
        const int code = static_cast<int>(size);
        SCOPED_TRACE(testing::Message() << "size " << code);
        sys.SetWindowSize(size);
        const int outerWidth = static_cast<int>(std::lround(window.width / perPixel));
        const int outerHeight = static_cast<int>(std::lround(window.height / perPixel));
        if (screen.dpi == 96) {
            EXPECT_EQ(outerWidth, 39 * code);
        }
        EXPECT_EQ(outerHeight - outerWidth, stripHeight);
        const int clientWidth = outerWidth - 2 * kFrame, clientHeight = outerHeight - 2 * kFrame;
        const int left = strip.PictureLeft(static_cast<int>(std::lround(window.pictureLeft / perPixel)), kFrame);
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

INSTANTIATE_TEST_SUITE_P(PalvineCaptionStrip, PictureInTheSquare,
                         testing::Combine(testing::Values(Screen{.dpi = 96, .icon = 32}, Screen{.dpi = 120, .icon = 40},
                                                          Screen{.dpi = 144, .icon = 48}),
                                          testing::Values(8, 15, 23, 45)),
                         [](const testing::TestParamInfo<std::tuple<Screen, int>>& p) {
                             return std::to_string(std::get<0>(p.param).dpi) + "dpi_strip" +
                                    std::to_string(std::get<1>(p.param));
                         });

}  // namespace
}  // namespace palvine

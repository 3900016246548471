// The system-menu module: the menu it builds, the check marks, the size
// arithmetic in twips and which system commands are its own.
#include "system_menu.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "fake_window.h"
#include "row_name.h"

namespace palvine {
namespace {

constexpr auto kSeparator = MenuCall::kAppendSeparator;
constexpr auto kAppend = MenuCall::kAppendItem;
constexpr auto kSet = MenuCall::kSetItem;

// The items first, then their check marks, and only then the commands.
TEST(PalvineSysControl, InstallBuildsTheMenuBeforeTakingItsCommands) {
    FakeWindow window;
    SysControl sys{window};
    ASSERT_EQ(sys.InstallSysMenu(true, WindowSize::kSmall), Result::kSuccess);
    const std::vector<MenuCall> expected = {
        {kSeparator},
        {kAppend, 101, "Always top window"},
        {kSeparator},
        {kAppend, 102, "Small size"},
        {kAppend, 103, "Normal size"},
        {kAppend, 104, "Large size"},
        {kSet, 101, "Always top window", true},
        {kSet, 102, "Small size", true},
        {kSet, 103, "Normal size", false},
        {kSet, 104, "Large size", false},
    };
    EXPECT_EQ(window.menuCalls, expected);
    EXPECT_EQ(window.procReplaced, 1);
}

// Any failing menu call (each of the ten in turn) fails the install at
// once, before the procedure is replaced.
class InstallWhenAMenuCallFails : public testing::TestWithParam<int> {};

TEST_P(InstallWhenAMenuCallFails, StopsWithoutTakingCommands) {
    FakeWindow window;
    SysControl sys{window};
    window.failMenuCallAt = GetParam();
    EXPECT_EQ(sys.InstallSysMenu(false, WindowSize::kNormal), Result::kFailure);
    EXPECT_EQ(static_cast<int>(window.menuCalls.size()), GetParam() + 1) << "stops at the first failure";
    EXPECT_EQ(window.procReplaced, 0);
}

INSTANTIATE_TEST_SUITE_P(PalvineSysControl, InstallWhenAMenuCallFails, testing::Range(0, 10),
                         [](const testing::TestParamInfo<int>& p) { return "Call" + std::to_string(p.param); });

// Which system commands are Palvine's: the whole value counts.
struct CommandRow {
    const char* name;
    std::uintptr_t command;
    MenuCommand::Item item;
    WindowSize size;  // for a size
};

class MenuCommands : public testing::TestWithParam<CommandRow> {};

TEST_P(MenuCommands, ReadByTheirWholeValue) {
    const CommandRow& row = GetParam();
    const MenuCommand read = ReadMenuCommand(row.command);
    EXPECT_EQ(read.item, row.item);
    if (row.item == MenuCommand::Item::kSize) {
        EXPECT_EQ(read.size, row.size);
    }
}

constexpr auto kOther = MenuCommand::Item::kOther;
constexpr auto kAlwaysTop = MenuCommand::Item::kAlwaysTop;
constexpr auto kSize = MenuCommand::Item::kSize;
// clang-format off
const CommandRow kCommandRows[] = {
    {.name = "always_top", .command = 101, .item = kAlwaysTop, .size = WindowSize::kSmall},
    {.name = "small", .command = 102, .item = kSize, .size = WindowSize::kSmall},
    {.name = "normal", .command = 103, .item = kSize, .size = WindowSize::kNormal},
    {.name = "large", .command = 104, .item = kSize, .size = WindowSize::kLarge},
    {.name = "101_with_the_low_four_bits_set", .command = 0x6F, .item = kOther, .size = WindowSize::kSmall},
    {.name = "105", .command = 105, .item = kOther, .size = WindowSize::kSmall},
    {.name = "100", .command = 100, .item = kOther, .size = WindowSize::kSmall},
    {.name = "close", .command = 0xF060, .item = kOther, .size = WindowSize::kSmall},
    {.name = "101_in_the_low_word_only", .command = 0x10065, .item = kOther, .size = WindowSize::kSmall},
    {.name = "102_in_the_low_word_only", .command = 0x10066, .item = kOther, .size = WindowSize::kSmall},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PalvineSysControl, MenuCommands, testing::ValuesIn(kCommandRows), suite_test::RowName);

// Commands applied one after another, from topmost and small, at 120 dots
// per inch (12 twips a pixel: no width is met exactly) on a window 15
// pixels wider than tall. A size goes on from the width the window really
// took, keeps height minus width and centres the picture as in a square
// window. Each row replays the ones before it and checks where it ends.
struct CommandStep {
    const char* name;
    bool alwaysTop;   // "Always top window", else a size
    WindowSize size;  // the size chosen
    bool topMostAfter;
    WindowSize sizeAfter;
    double widthAfter, pictureAt;  // the picture's top and left
};

// clang-format off
const CommandStep kCommandSteps[] = {
    {.name = "always_top_off", .alwaysTop = true, .size = {}, .topMostAfter = false, .sizeAfter = WindowSize::kSmall, .widthAfter = 588, .pictureAt = 103},
    {.name = "always_top_on_again", .alwaysTop = true, .size = {}, .topMostAfter = true, .sizeAfter = WindowSize::kSmall, .widthAfter = 588, .pictureAt = 103},
    {.name = "large", .alwaysTop = false, .size = WindowSize::kLarge, .topMostAfter = true,
     .sizeAfter = WindowSize::kLarge, .widthAfter = 1752, .pictureAt = 685},
    {.name = "normal", .alwaysTop = false, .size = WindowSize::kNormal, .topMostAfter = true,
     .sizeAfter = WindowSize::kNormal, .widthAfter = 1176, .pictureAt = 397},
    {.name = "normal_again", .alwaysTop = false, .size = WindowSize::kNormal, .topMostAfter = true,
     .sizeAfter = WindowSize::kNormal, .widthAfter = 1176, .pictureAt = 397},
    {.name = "small", .alwaysTop = false, .size = WindowSize::kSmall, .topMostAfter = true,
     .sizeAfter = WindowSize::kSmall, .widthAfter = 588, .pictureAt = 103},
};
// clang-format on

class CommandSequence : public testing::TestWithParam<int> {};

TEST_P(CommandSequence, EndsWhereTheRowSays) {
    FakeWindow window;
    SysControl sys{window};
    ASSERT_EQ(sys.SetTopMost(true), Result::kSuccess);
    ASSERT_EQ(sys.InstallSysMenu(true, WindowSize::kSmall), Result::kSuccess);
    window.twipsPerPixel = 12;
    window.picture = 384;
    window.width = 960;
    window.height = 780;
    sys.SetWindowSize(WindowSize::kSmall);
    for (int i = 0; i <= GetParam(); ++i) {
        const CommandStep& step = kCommandSteps[i];
        step.alwaysTop ? sys.OnAlwaysTopCommand() : sys.OnSizeCommand(step.size);
    }
    const CommandStep& c = kCommandSteps[GetParam()];
    EXPECT_EQ(sys.TopMost, c.topMostAfter);
    EXPECT_EQ(sys.SizeCode, c.sizeAfter);
    EXPECT_EQ(window.width, c.widthAfter);
    EXPECT_EQ(window.height, c.widthAfter - 180);
    EXPECT_EQ(window.pictureTop, c.pictureAt);
    EXPECT_EQ(window.pictureLeft, c.pictureAt);
    EXPECT_EQ(window.topmost, c.topMostAfter);
    EXPECT_EQ(window.checked[101], c.topMostAfter);
    for (int id = 102; id <= 104; ++id) {
        EXPECT_EQ(window.checked[id], id == 101 + static_cast<int>(c.sizeAfter)) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(PalvineSysControl, CommandSequence,
                         testing::Range(0, static_cast<int>(std::size(kCommandSteps))),
                         [](const testing::TestParamInfo<int>& p) {
                             return suite_test::TestName(std::to_string(p.param) + "_" + kCommandSteps[p.param].name);
                         });

// A z-order the window refuses changes nothing else: the flag and its
// check mark still follow the command.
TEST(PalvineSysControl, RefusedZOrderStillMovesTheCheckMark) {
    FakeWindow window;
    SysControl sys{window};
    ASSERT_EQ(sys.InstallSysMenu(true, WindowSize::kSmall), Result::kSuccess);
    window.zOrderFails = true;
    EXPECT_EQ(sys.SetTopMost(false), Result::kFailure);
    sys.OnAlwaysTopCommand();
    EXPECT_FALSE(sys.TopMost);
    EXPECT_FALSE(window.checked[101]);
}

}  // namespace
}  // namespace palvine

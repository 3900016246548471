// The command line: substrings anywhere, any case, last found wins within
// a group, groups independent.
#include "options.h"

#include <gtest/gtest.h>

#include <string>

#include "row_name.h"

namespace palvine {
namespace {

struct OptionsRow {
    const char* name;
    std::string arguments;
    bool topMost;
    WindowSize sizeCode;
    std::uint8_t normalButton, onceButton;
};

class PalvineOptions : public testing::TestWithParam<OptionsRow> {};

TEST_P(PalvineOptions, Read) {
    const OptionsRow& row = GetParam();
    const Options o = ReadOptions(row.arguments);
    EXPECT_EQ(o.TopMost, row.topMost);
    EXPECT_EQ(o.SizeCode, row.sizeCode);
    EXPECT_EQ(o.NormalButton, row.normalButton);
    EXPECT_EQ(o.OnceButton, row.onceButton);
}

constexpr auto kSmall = WindowSize::kSmall, kNormal = WindowSize::kNormal, kLarge = WindowSize::kLarge;

// clang-format off
const OptionsRow kRows[] = {
    {.name = "none", .arguments = "", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "notop", .arguments = "/notop", .topMost = false, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    // "/TOP" is tried last whatever the order.
    {.name = "top_wins_over_notop", .arguments = "/TOP /NOTOP", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "normal_size_wins_over_large", .arguments = "/LARGESIZE /NMLSIZE", .topMost = true, .sizeCode = kNormal, .normalButton = 1, .onceButton = 2},
    {.name = "large_size_wins_over_small", .arguments = "/largesize /smallsize", .topMost = true, .sizeCode = kLarge, .normalButton = 1, .onceButton = 2},
    {.name = "normal_left_wins_over_right", .arguments = "/NORMALLEFT /NORMALRIGHT", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "normal_right_wins_over_middle", .arguments = "/NORMALRIGHT /NORMALMIDDLE", .topMost = true,
     .sizeCode = kSmall, .normalButton = 2, .onceButton = 2},
    {.name = "once_right_wins_over_left", .arguments = "/ONCERIGHT /ONCELEFT", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "once_left_wins_over_middle", .arguments = "/ONCELEFT /ONCEMIDDLE", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 1},
    {.name = "inside_other_words", .arguments = "x/nmlsizey/notopz/ONCEmiddle", .topMost = false, .sizeCode = kNormal, .normalButton = 1, .onceButton = 4},
    // Without the slash nothing counts.
    {.name = "without_the_slash", .arguments = "NOTOP TOP NMLSIZE ONCELEFT / NOTOP", .topMost = true, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "topmost_counts_as_notop", .arguments = "/NoTopMost /nmlsize /NORMALMIDDLE /ONCELEFT", .topMost = false,
     .sizeCode = kNormal, .normalButton = 4, .onceButton = 1},
    // Other code-page bytes pass untouched.
    {.name = "other_code_page_bytes", .arguments = "\xc4/notop\xe4\xff", .topMost = false, .sizeCode = kSmall, .normalButton = 1, .onceButton = 2},
    {.name = "long_with_a_nul",
     .arguments = std::string(100000, 'x') + "/ONCEMIDDLE" + std::string(1, '\0') + "/NOTOP", .topMost = false,
     .sizeCode = kSmall, .normalButton = 1, .onceButton = 4},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, PalvineOptions, testing::ValuesIn(kRows), suite_test::RowName);

}  // namespace
}  // namespace palvine

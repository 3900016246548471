#include "debug_text.h"

#include <gtest/gtest.h>

namespace winui {
namespace {

struct DebugTextCase {
    const char* name;
    const char* tag;
    long status;
    const char* text;
};

class DebugText : public ::testing::TestWithParam<DebugTextCase> {};

TEST_P(DebugText, TagSpaceAndDecimalStatus) {
    EXPECT_EQ(DebugBoxText(GetParam().tag, GetParam().status), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DebugText,
    ::testing::Values(
        DebugTextCase{.name = "Settings", .tag = "GetSettings(1):", .status = 8, .text = "GetSettings(1): 8"},
        DebugTextCase{.name = "Zero", .tag = "SetSound:", .status = 0, .text = "SetSound: 0"},
        // no tag still gives the one space
        DebugTextCase{.name = "NoTag", .tag = "", .status = 12, .text = " 12"},
        // a negative status keeps its sign
        DebugTextCase{.name = "Negative", .tag = "Status:", .status = -1, .text = "Status: -1"},
        DebugTextCase{.name = "Largest", .tag = "Big:", .status = 2147483647L, .text = "Big: 2147483647"}),
    [](const ::testing::TestParamInfo<DebugTextCase>& row) { return row.param.name; });

}  // namespace
}  // namespace winui

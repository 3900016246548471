#include "debug_text.h"

#include <gtest/gtest.h>

namespace winui {
namespace {

TEST(DebugTextTest, TagSpaceAndDecimalStatus) {
    const struct {
        const char* tag;
        long status;
        const char* text;
    } cases[] = {
        {"GetSettings(1):", 8, "GetSettings(1): 8"},
        {"SetSound:", 0, "SetSound: 0"},
        {"", 12, " 12"},             // no tag still gives the one space
        {"Status:", -1, "Status: -1"},  // a negative status keeps its sign
        {"Big:", 2147483647L, "Big: 2147483647"},
    };
    for (const auto& c : cases) EXPECT_EQ(DebugBoxText(c.tag, c.status), c.text);
}

}  // namespace
}  // namespace winui

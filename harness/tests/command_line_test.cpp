// Arguments survive the trip through a Windows command line.
#include "command_line.h"

#include <gtest/gtest.h>

namespace agent {
namespace {

TEST(CommandLineTest, QuotesOnlyWhatTheParserWouldSplitOrEat) {
    struct Case {
        const char* argument;
        const char* quoted;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"", "\"\""},
        {"two words", "\"two words\""},
        {"C:\\path\\", "C:\\path\\"},
        {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"tab\there", "\"tab\there\""},
    };
    for (const Case& c : cases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << c.argument;
    EXPECT_EQ(CommandLine({"tavloctl.exe", "click", "0", "--saved"}), "tavloctl.exe click 0 --saved");
}

}  // namespace
}  // namespace agent

// The command line: substrings anywhere, any case, last found wins within
// a group, groups independent.
#include "options.h"

#include <gtest/gtest.h>

namespace palvine {
namespace {

struct OptionCase {
    const char* arguments;
    bool topMost;
    std::int16_t sizeCode;
    std::uint8_t normalButton;
    std::uint8_t onceButton;
};

const OptionCase kCases[] = {
    {"", true, 1, 1, 2},
    {"/notop", false, 1, 1, 2},
    {"/notop /top", true, 1, 1, 2},
    {"/TOP /NOTOP", true, 1, 1, 2},  // "/TOP" is tried last whatever the order
    {"/TopMost", true, 1, 1, 2},
    {"/NoTopMost", false, 1, 1, 2},
    {"/LARGESIZE /NMLSIZE", true, 2, 1, 2},
    {"/SMALLSIZE /LARGESIZE", true, 3, 1, 2},
    {"/largesize /smallsize", true, 3, 1, 2},
    {"/nmlsize", true, 2, 1, 2},
    {"/smallsize", true, 1, 1, 2},
    {"/NORMALMIDDLE", true, 1, 4, 2},
    {"/NORMALRIGHT", true, 1, 2, 2},
    {"/NORMALLEFT /NORMALRIGHT", true, 1, 1, 2},
    {"/NORMALRIGHT /NORMALMIDDLE", true, 1, 2, 2},
    {"/ONCEMIDDLE", true, 1, 1, 4},
    {"/ONCELEFTX", true, 1, 1, 1},
    {"/ONCERIGHT /ONCELEFT", true, 1, 1, 2},
    {"/ONCELEFT /ONCEMIDDLE", true, 1, 1, 1},
    {"/normalright /onceright", true, 1, 2, 2},  // the two buttons may be the same
    {"x/nmlsizey/notopz/ONCEmiddle", false, 2, 1, 4},
    {"NOTOP TOP NMLSIZE ONCELEFT", true, 1, 1, 2},  // without the slash nothing counts
    {"/ NOTOP", true, 1, 1, 2},
    {"/NOTOP /NMLSIZE /NORMALMIDDLE /ONCELEFT", false, 2, 4, 1},
    {"\xc4/notop\xe4\xff", false, 1, 1, 2},  // other code-page bytes pass untouched
};

TEST(PalvineOptions, EachCase) {
    for (const OptionCase& c : kCases) {
        const Options o = ReadOptions(c.arguments);
        EXPECT_EQ(o.TopMost, c.topMost) << c.arguments;
        EXPECT_EQ(o.SizeCode, c.sizeCode) << c.arguments;
        EXPECT_EQ(o.NormalButton, c.normalButton) << c.arguments;
        EXPECT_EQ(o.OnceButton, c.onceButton) << c.arguments;
    }
}

TEST(PalvineOptions, LongAndOddArgumentStrings) {
    std::string arguments(100000, 'x');
    arguments += "/ONCEMIDDLE";
    arguments.push_back('\0');
    arguments += "/NOTOP";
    const Options o = ReadOptions(arguments);
    EXPECT_EQ(o.OnceButton, 4);
    EXPECT_FALSE(o.TopMost);
}

}  // namespace
}  // namespace palvine

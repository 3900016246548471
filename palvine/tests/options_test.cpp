// The command line: substrings anywhere, any case, last found wins within
// a group, groups independent.
#include "options.h"

#include <gtest/gtest.h>

#include <string>

namespace palvine {
namespace {

TEST(PalvineOptions, EachCase) {
    struct Case {
        std::string arguments;
        bool topMost;
        std::int16_t sizeCode;
        std::uint8_t normalButton, onceButton;
    };
    const Case cases[] = {
        {"", true, 1, 1, 2},
        {"/notop", false, 1, 1, 2},
        {"/TOP /NOTOP", true, 1, 1, 2},  // "/TOP" is tried last whatever the order
        {"/LARGESIZE /NMLSIZE", true, 2, 1, 2},
        {"/largesize /smallsize", true, 3, 1, 2},
        {"/NORMALLEFT /NORMALRIGHT", true, 1, 1, 2},
        {"/NORMALRIGHT /NORMALMIDDLE", true, 1, 2, 2},
        {"/ONCERIGHT /ONCELEFT", true, 1, 1, 2},
        {"/ONCELEFT /ONCEMIDDLE", true, 1, 1, 1},
        {"x/nmlsizey/notopz/ONCEmiddle", false, 2, 1, 4},
        {"NOTOP TOP NMLSIZE ONCELEFT / NOTOP", true, 1, 1, 2},  // without the slash nothing counts
        {"/NoTopMost /nmlsize /NORMALMIDDLE /ONCELEFT", false, 2, 4, 1},
        {"\xc4/notop\xe4\xff", false, 1, 1, 2},  // other code-page bytes pass untouched
        {std::string(100000, 'x') + "/ONCEMIDDLE" + std::string(1, '\0') + "/NOTOP", false, 1, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.substr(0, 50));
        const Options o = ReadOptions(c.arguments);
        EXPECT_EQ(o.TopMost, c.topMost);
        EXPECT_EQ(o.SizeCode, c.sizeCode);
        EXPECT_EQ(o.NormalButton, c.normalButton);
        EXPECT_EQ(o.OnceButton, c.onceButton);
    }
}

}  // namespace
}  // namespace palvine

// The release time-out as typed. The mode list against TOUCH_OP is covered
// through the dialog (cordane_dlg_test.cpp).
#include <gtest/gtest.h>

#include <utility>

#include "panel_fields.h"

namespace cordane {
namespace {

TEST(PanelFields, TimeOutAsTyped) {
    const std::pair<const char*, std::uint32_t> accepted[] = {
        {"1", 1}, {"1800", 1800}, {" 60 ", 60}, {"\t45", 45}, {"0060", 60}};
    for (const auto& [text, seconds] : accepted) EXPECT_EQ(ParseTimeOut(text), seconds) << '"' << text << '"';
    // Out of range, signs, fractions, other characters, nothing at all, and
    // numbers that would overflow.
    for (const char* text :
         {"0", "1801", "", "   ", "-5", "+5", "12abc", "1.5", "1 2", "4294967297", "99999999999999999999"}) {
        EXPECT_EQ(ParseTimeOut(text), std::nullopt) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace cordane

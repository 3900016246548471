// The release time-out as typed. The mode list against TOUCH_OP is covered
// through the dialog (cordane_dlg_test.cpp).
#include <gtest/gtest.h>

#include <optional>

#include "panel_fields.h"
#include "row_name.h"

namespace cordane {
namespace {

struct TimeOutCase {
    const char* name;
    const char* text;
    std::optional<std::uint32_t> seconds;  // nothing: refused
};

class CordaneTimeOut : public ::testing::TestWithParam<TimeOutCase> {};

TEST_P(CordaneTimeOut, AsTyped) {
    EXPECT_EQ(ParseTimeOut(GetParam().text), GetParam().seconds) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Accepted, CordaneTimeOut,
                         ::testing::Values(TimeOutCase{.name = "Lowest", .text = "1", .seconds = 1},
                                           TimeOutCase{.name = "Highest", .text = "1800", .seconds = 1800},
                                           TimeOutCase{.name = "BlanksAround", .text = " 60 ", .seconds = 60},
                                           TimeOutCase{.name = "TabBefore", .text = "\t45", .seconds = 45},
                                           TimeOutCase{.name = "LeadingZeros", .text = "0060", .seconds = 60}),
                         suite_test::RowName);

// Out of range, signs, fractions, other characters, nothing at all, and
// numbers that would overflow.
INSTANTIATE_TEST_SUITE_P(
    Refused, CordaneTimeOut,
    ::testing::Values(TimeOutCase{.name = "Zero", .text = "0", .seconds = std::nullopt},
                      TimeOutCase{.name = "AboveHighest", .text = "1801", .seconds = std::nullopt},
                      TimeOutCase{.name = "Empty", .text = "", .seconds = std::nullopt},
                      TimeOutCase{.name = "BlanksOnly", .text = "   ", .seconds = std::nullopt},
                      TimeOutCase{.name = "MinusSign", .text = "-5", .seconds = std::nullopt},
                      TimeOutCase{.name = "PlusSign", .text = "+5", .seconds = std::nullopt},
                      TimeOutCase{.name = "LettersAfter", .text = "12abc", .seconds = std::nullopt},
                      TimeOutCase{.name = "Fraction", .text = "1.5", .seconds = std::nullopt},
                      TimeOutCase{.name = "TwoNumbers", .text = "1 2", .seconds = std::nullopt},
                      TimeOutCase{.name = "WrapsToOneIn32Bits", .text = "4294967297", .seconds = std::nullopt},
                      TimeOutCase{.name = "TwentyDigits", .text = "99999999999999999999", .seconds = std::nullopt}),
    suite_test::RowName);

}  // namespace
}  // namespace cordane

// Names against the narrow code pages Cordane meets most: Western (1252),
// Japanese (932) and UTF-8 (65001, Windows' "Use Unicode UTF-8 for worldwide
// language support"). Shared by the native test, which runs them against a
// model of the platform's conversions, and the Windows test, which runs
// them against the platform's own.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace cordane {

struct CodePageCase {
    unsigned codePage;
    const char* name;  // what the name has, as a test name
    std::u16string text;
    // Nothing: refused. A character after a byte escape is an escape too
    // ('5' as \x35, 'd' as \x64), so that it does not extend the one before.
    std::optional<std::string> stored;
};

// clang-format off
inline const CodePageCase kCodePageCases[] = {
    {.codePage = 1252, .name = "Plain", .text = u"Line A", .stored = "Line A"},
    {.codePage = 1252, .name = "Accented", .text = u"Caf\u00E9", .stored = "Caf\xE9"},
    {.codePage = 1252, .name = "EuroSign", .text = u"\u20AC5", .stored = "\x80\x35"},
    // Best-fit substitutes: U+0141 would be stored as 'L'.
    {.codePage = 1252, .name = "BestFitSubstitutes", .text = u"\u0141\u00F3d\u017A", .stored = std::nullopt},
    {.codePage = 1252, .name = "NotInTheCodePage", .text = u"\u65E5\u672C", .stored = std::nullopt},
    {.codePage = 932, .name = "Plain", .text = u"Line A", .stored = "Line A"},
    {.codePage = 932, .name = "Kanji", .text = u"\u65E5\u672C", .stored = "\x93\xFA\x96\x7B"},
    {.codePage = 932, .name = "HalfWidthKatakana", .text = u"\uFF71", .stored = "\xB1"},
    {.codePage = 932, .name = "NotInTheCodePage", .text = u"Caf\u00E9", .stored = std::nullopt},
    {.codePage = 932, .name = "BestFitSubstitutes", .text = u"\u0141\u00F3d\u017A", .stored = std::nullopt},
    {.codePage = 65001, .name = "Plain", .text = u"Line A", .stored = "Line A"},
    {.codePage = 65001, .name = "Polish", .text = u"\u0141\u00F3d\u017A", .stored = "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
    {.codePage = 65001, .name = "Kanji", .text = u"\u65E5\u672C", .stored = "\xE6\x97\xA5\xE6\x9C\xAC"},
    {.codePage = 65001, .name = "OutsideTheBasicPlane", .text = u"\U0001F600", .stored = "\xF0\x9F\x98\x80"},
    {.codePage = 65001, .name = "HalfASurrogatePair", .text = std::u16string(u"a") + char16_t(0xD800), .stored = std::nullopt},
    {.codePage = 65001, .name = "Empty", .text = u"", .stored = ""},
};
// clang-format on

// "CodePage1252_Accented" and the like.
inline std::string CodePageCaseName(const ::testing::TestParamInfo<CodePageCase>& info) {
    return "CodePage" + std::to_string(info.param.codePage) + "_" + info.param.name;
}

}  // namespace cordane

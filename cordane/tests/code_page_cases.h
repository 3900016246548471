// Names against the narrow code pages Cordane meets most: Western (1252),
// Japanese (932) and UTF-8 (65001, Windows' "Use Unicode UTF-8 for worldwide
// language support"). Shared by the native test, which runs them against a
// model of the platform's conversions, and the Windows test, which runs
// them against the platform's own.
#pragma once

#include <optional>
#include <string>

namespace cordane {

struct CodePageCase {
    unsigned codePage;
    const char* what;
    std::u16string name;
    std::optional<std::string> stored;  // nothing: refused
};

inline const CodePageCase kCodePageCases[] = {
    {1252, "plain", u"Line A", "Line A"},
    {1252, "accented", u"Caf\u00E9", "Caf\xE9"},
    {1252, "euro sign", u"\u20AC5", "\x80" "5"},
    {1252, "best-fit substitutes (\u0141 as L)", u"\u0141\u00F3d\u017A", std::nullopt},
    {1252, "not in the code page", u"\u65E5\u672C", std::nullopt},
    {932, "plain", u"Line A", "Line A"},
    {932, "kanji", u"\u65E5\u672C", "\x93\xFA\x96\x7B"},
    {932, "half-width katakana", u"\uFF71", "\xB1"},
    {932, "not in the code page", u"Caf\u00E9", std::nullopt},
    {932, "best-fit substitutes", u"\u0141\u00F3d\u017A", std::nullopt},
    {65001, "plain", u"Line A", "Line A"},
    {65001, "Polish", u"\u0141\u00F3d\u017A", "\xC5\x81\xC3\xB3" "d\xC5\xBA"},
    {65001, "kanji", u"\u65E5\u672C", "\xE6\x97\xA5\xE6\x9C\xAC"},
    {65001, "outside the basic plane", u"\U0001F600", "\xF0\x9F\x98\x80"},
    {65001, "half a surrogate pair", std::u16string(u"a") + char16_t(0xD800), std::nullopt},
    {65001, "empty", u"", ""},
};

}  // namespace cordane

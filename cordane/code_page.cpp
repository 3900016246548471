#include "code_page.h"

namespace cordane {
namespace {

// Code pages whose conversions take no flags (WideCharToMultiByte's and
// MultiByteToWideChar's documented list; UTF-8 is handled apart).
bool TakesNoFlags(unsigned codePage) {
    return codePage == 42 || codePage == kCodePageUtf7 || codePage == 54936 || codePage == 52936 ||
           (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
}

}  // namespace

std::uint32_t NarrowFlags(unsigned codePage) {
    if (codePage == kCodePageUtf8) return kWcErrInvalidChars;
    return TakesNoFlags(codePage) ? 0 : kWcNoBestFitChars;
}

std::uint32_t WideFlags(unsigned codePage) { return TakesNoFlags(codePage) ? 0 : kMbErrInvalidChars; }

std::optional<std::string> NarrowExactly(CodePageCalls& calls, unsigned codePage, const std::u16string& text) {
    if (text.empty()) return std::string();
    auto narrow = calls.ToNarrow(codePage, NarrowFlags(codePage), text);
    if (!narrow || narrow->empty()) return std::nullopt;
    // Whatever the code page put in place of a character it lacks (a
    // substitute, its default character, a replacement character for a
    // broken surrogate pair), the text no longer reads back the same.
    const auto back = calls.ToWide(codePage, WideFlags(codePage), *narrow);
    if (!back || *back != text) return std::nullopt;
    return narrow;
}

}  // namespace cordane

#include "code_page_win32.h"

#include <windows.h>

namespace cordane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is the platform's wide text");
static_assert(kCodePageUtf8 == CP_UTF8 && kCodePageUtf7 == CP_UTF7, "code pages as the platform numbers them");
static_assert(kWcNoBestFitChars == WC_NO_BEST_FIT_CHARS && kWcErrInvalidChars == WC_ERR_INVALID_CHARS &&
                  kMbErrInvalidChars == MB_ERR_INVALID_CHARS,
              "conversion flags as the platform defines them");

// No default character and no question whether one was used: UTF-8 and
// several other code pages refuse the call with either.
std::optional<std::string> PlatformCodePage::ToNarrow(unsigned codePage, std::uint32_t flags,
                                                      const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, wide, length, &narrow[0], size, nullptr, nullptr) != size) {
        return std::nullopt;
    }
    return narrow;
}

std::optional<std::u16string> PlatformCodePage::ToWide(unsigned codePage, std::uint32_t flags,
                                                       const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::u16string wide(static_cast<std::size_t>(size), u'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), length, reinterpret_cast<wchar_t*>(&wide[0]), size) != size) {
        return std::nullopt;
    }
    return wide;
}

}  // namespace cordane

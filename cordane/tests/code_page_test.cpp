// Names into the narrow code page, against a model of the platform's two
// conversions for code pages 1252, 932 and 65001: the flags each code page
// takes (UTF-8 refuses the call with any flag but the error flag), best-fit
// substitutes unless they are refused, the default character '?', and
// UTF-8's replacement character for half a surrogate pair.
#include "code_page.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "code_page_cases.h"

namespace cordane {
namespace {

class PlatformModel final : public CodePageCalls {
public:
    std::optional<std::string> ToNarrow(unsigned codePage, std::uint32_t flags, const std::u16string& text) override {
        if (codePage == kCodePageUtf8) {
            if ((flags & ~kWcErrInvalidChars) != 0) return std::nullopt;  // ERROR_INVALID_FLAGS
            return Utf8(text, (flags & kWcErrInvalidChars) != 0);
        }
        if ((flags & ~kWcNoBestFitChars) != 0) return std::nullopt;
        std::string out;
        for (char16_t c : text) {
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (const auto* exact = Find(Table(codePage), c)) {
                out += exact;
            } else if (const auto* substitute = Find(BestFit(codePage), c)) {
                out += (flags & kWcNoBestFitChars) != 0 ? "?" : substitute;
            } else {
                out += '?';
            }
        }
        return out;
    }
    std::optional<std::u16string> ToWide(unsigned codePage, std::uint32_t flags, const std::string& text) override {
        if (codePage == kCodePageUtf8) return FromUtf8(text, (flags & kMbErrInvalidChars) != 0);
        std::u16string out;
        for (std::size_t i = 0; i < text.size();) {
            if (static_cast<unsigned char>(text[i]) < 0x80) {
                out += static_cast<char16_t>(text[i++]);
                continue;
            }
            bool found = false;
            for (const auto& [c, bytes] : Table(codePage)) {
                if (text.compare(i, bytes.size(), bytes) == 0) {
                    out += c;
                    i += bytes.size();
                    found = true;
                    break;
                }
            }
            if (!found) return std::nullopt;  // with or without the flag: the cases never need the fallback
        }
        return out;
    }

private:
    using Map = std::map<char16_t, std::string>;
    static const Map& Table(unsigned codePage) {
        static const Map western = {{0x20AC, "\x80"}, {0xE9, "\xE9"}, {0xF3, "\xF3"}};
        static const Map japanese = {{0x65E5, "\x93\xFA"}, {0x672C, "\x96\x7B"}, {0xFF71, "\xB1"}};
        return codePage == 932 ? japanese : western;
    }
    static const Map& BestFit(unsigned codePage) {
        static const Map western = {{0x141, "L"}, {0x17A, "z"}};
        static const Map japanese = {{0x141, "L"}, {0x17A, "z"}, {0xE9, "e"}, {0xF3, "o"}};
        return codePage == 932 ? japanese : western;
    }
    static const char* Find(const Map& map, char16_t c) {
        const auto it = map.find(c);
        return it != map.end() ? it->second.c_str() : nullptr;
    }
    static std::optional<std::string> Utf8(const std::u16string& text, bool refuseInvalid) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                if (refuseInvalid) return std::nullopt;  // ERROR_NO_UNICODE_TRANSLATION
                c = 0xFFFD;
            }
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
            } else if (c < 0x10000) {
                out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (c & 0x3F))};
            } else {
                out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                        static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
            }
        }
        return out;
    }
    static std::optional<std::u16string> FromUtf8(const std::string& text, bool refuseInvalid) {
        std::u16string out;
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
            if (length == 0 || i + length > text.size()) {
                if (refuseInvalid) return std::nullopt;
                out += char16_t(0xFFFD);
                ++i;
                continue;
            }
            char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
            for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            i += length;
            if (c >= 0x10000) {
                out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                out += static_cast<char16_t>(c);
            }
        }
        return out;
    }
};

// A name the code page holds is stored as its bytes; one it cannot hold
// exactly (a best-fit substitute, the default character, half a surrogate
// pair) is refused, in every one of the three code pages.
class CordaneCodePage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CordaneCodePage, NameStoredOnlyWhenTheCodePageHoldsItExactly) {
    PlatformModel platform;
    EXPECT_EQ(NarrowExactly(platform, GetParam().codePage, GetParam().text), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Model, CordaneCodePage, ::testing::ValuesIn(kCodePageCases), CodePageCaseName);

}  // namespace
}  // namespace cordane

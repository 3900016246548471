// A panel name goes from the dialog's UTF-16 text into the narrow code page
// the records keep. The name is stored only when that code page holds every
// character of it exactly: a character the code page lacks would otherwise
// be saved as another one (a best-fit substitute such as 'L' for 'Ł', or
// the default character '?'), and the panel would carry a name nobody gave
// it.
//
// The conversion itself is the platform's; it reaches this logic through
// CodePageCalls, with the flags the platform defines for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cordane {

// Code pages the rules below name.
inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageUtf7 = 65000;

// Flags as the platform defines them.
inline constexpr std::uint32_t kWcNoBestFitChars = 0x400;  // WC_NO_BEST_FIT_CHARS
inline constexpr std::uint32_t kWcErrInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS
inline constexpr std::uint32_t kMbErrInvalidChars = 0x8;   // MB_ERR_INVALID_CHARS

class CodePageCalls {
public:
    // WideCharToMultiByte / MultiByteToWideChar for a whole text, without a
    // default character and without asking whether one was used; nothing
    // when the platform refuses the call (its flags, or with an error flag
    // a text it cannot convert).
    virtual std::optional<std::string> ToNarrow(unsigned codePage, std::uint32_t flags, const std::u16string& text) = 0;
    virtual std::optional<std::u16string> ToWide(unsigned codePage, std::uint32_t flags, const std::string& text) = 0;

protected:
    ~CodePageCalls() = default;
};

// Flags each direction may take for `codePage`. UTF-8 takes only the error
// flag, and a few code pages (UTF-7, the ISO-2022 and ISCII families, GB
// 18030 and the symbol code page) take no flag at all: the platform refuses
// the call with any other. Every other code page is asked for no best-fit
// substitutes.
std::uint32_t NarrowFlags(unsigned codePage);
std::uint32_t WideFlags(unsigned codePage);

// `text` in `codePage`, or nothing when the code page cannot hold it
// exactly: the narrow text must read back as the very same characters.
std::optional<std::string> NarrowExactly(CodePageCalls& calls, unsigned codePage, const std::u16string& text);

}  // namespace cordane

// The platform's conversions between UTF-16 and a narrow code page.
#pragma once

#include "code_page.h"

namespace cordane {

class PlatformCodePage final : public CodePageCalls {
public:
    std::optional<std::string> ToNarrow(unsigned codePage, std::uint32_t flags, const std::u16string& text) override;
    std::optional<std::u16string> ToWide(unsigned codePage, std::uint32_t flags, const std::string& text) override;
};

}  // namespace cordane

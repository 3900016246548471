// Text between a narrow code page and UTF-16, whole texts at a time.
#pragma once

#include <string>
#include <string_view>

namespace winui {

// Characters the code page cannot map become the system's default
// characters; an empty result for an empty text or a refused conversion.
std::wstring Widen(std::string_view text, unsigned codePage);
std::string Narrow(std::wstring_view text, unsigned codePage);

}  // namespace winui

// Names for the rows of parameterised tests: the row's own description,
// with every character a test name cannot hold turned into '_', so that
// each row is its own CTest entry, readable and filterable with -R.
#pragma once

#include <string>
#include <string_view>

namespace palvine {

inline std::string CaseName(std::string_view text) {
    std::string name;
    for (const char c : text) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name += letterOrDigit ? c : '_';
    }
    return name.empty() ? "_" : name;
}

}  // namespace palvine

// Test names of parameterised cases, made from the cases' descriptions.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace gorvat {

// Letters and digits are kept; every other run of characters becomes one
// underscore ("x gain 3.2" -> "x_gain_3_2").
inline std::string CaseName(const std::string& what) {
    std::string name;
    for (char c : what) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

// The name generator for rows with a description in `what`.
template <typename Row>
std::string NameOf(const ::testing::TestParamInfo<Row>& row) {
    return CaseName(row.param.what);
}

}  // namespace gorvat

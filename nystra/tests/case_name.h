// Names of parameterised cases, as CTest and --gtest_filter show them: the
// row's description with each run of characters other than letters and
// digits turned into one underscore ("lock refused (another user)" becomes
// "lock_refused_another_user").
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace nystra::cases {

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
    return name.empty() ? "empty" : name;
}

// For rows with a `what` field.
struct ByWhat {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return CaseName(info.param.what);
    }
};

}  // namespace nystra::cases

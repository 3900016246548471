// Test names for the rows of the tests' tables of cases
// (INSTANTIATE_TEST_SUITE_P(..., suite_test::RowName)): a row's description
// in plain words, "missing library", becomes the name CTest and
// --gtest_filter see, MissingLibrary: each word capitalised, all but letters
// and digits left out. A row describes itself in `what`, or in `name` when
// it has no `what` (where `name` is a value under test). Every test program
// has this folder on its include path.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace suite_test {

inline std::string TestName(std::string_view words) {
    std::string name;
    bool start = true;
    for (const char c : words) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u)) {
            start = true;
            continue;
        }
        name += start ? static_cast<char>(std::toupper(u)) : c;
        start = false;
    }
    return name.empty() ? "Unnamed" : name;
}

struct RowNamer {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        if constexpr (requires { row.param.what; }) {
            return TestName(row.param.what);
        } else {
            return TestName(row.param.name);
        }
    }
};
inline constexpr RowNamer RowName{};

}  // namespace suite_test

// Test names for the rows of the unit tests' tables of cases
// (INSTANTIATE_TEST_SUITE_P(..., suite_test::RowName<Row>)): a row's `name`
// in plain words, "missing library", becomes the name CTest and
// --gtest_filter see, MissingLibrary: each word capitalised, all but letters
// and digits left out. Every unit test has this folder on its include path.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace suite_test {

inline std::string TestName(const std::string& words) {
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
    return name;
}

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& row) {
    return TestName(row.param.name);
}

}  // namespace suite_test

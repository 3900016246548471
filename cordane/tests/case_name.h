// The name of a parameterised case: its row's `name`, which must be made of
// letters, digits and underscores only (GoogleTest's rule for test names).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace cordane {

struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

}  // namespace cordane

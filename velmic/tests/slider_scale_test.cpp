// Slider positions from the click parameters and back.
#include "slider_scale.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace velmic {
namespace {

struct ScaleRow {
    const char* name;
    ClickSettings values;
    SliderPositions positions;
};

void PrintTo(const ScaleRow& row, std::ostream* os) { *os << row.name; }

class PositionsFromValuesTest : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(PositionsFromValuesTest, RoundHalvesToEvenAndStopAtTheEnds) {
    EXPECT_EQ(PositionsFromValues(GetParam().values), GetParam().positions);
}

const ScaleRow kScaleRows[] = {
    {.name = "OnSteps_SpeedHalfDown", .values = {50, 20, 450, 30}, .positions = {5, 2, 4, 5}},
    // 2.5, 3.5, 2.5, 0.5
    {.name = "HalvesToEven", .values = {25, 35, 250, 21}, .positions = {2, 4, 2, 0}},
    // 3.5 -> 4, 1.5 -> 2
    {.name = "LowEnds_HalvesUp", .values = {0, 100, 350, 23}, .positions = {0, 10, 4, 2}},
    {.name = "HighEnds_SpeedHalfUp", .values = {100, 0, 550, 40}, .positions = {10, 0, 6, 10}},
    // 1000 ms lands on the slow end
    {.name = "SlowestSpeed", .values = {0, 0, 1000, 20}, .positions = {0, 0, 9, 0}},
    {.name = "OutOfRange", .values = {-10, 120, 100, 10}, .positions = {0, 10, 2, 0}},
};
INSTANTIATE_TEST_SUITE_P(Velmic, PositionsFromValuesTest, ::testing::ValuesIn(kScaleRows),
                         [](const ::testing::TestParamInfo<ScaleRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velmic

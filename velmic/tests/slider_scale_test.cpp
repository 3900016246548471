// Slider positions from the click parameters and back.
#include "slider_scale.h"

#include <gtest/gtest.h>

namespace velmic {
namespace {

TEST(SliderScaleTest, PositionsFromValuesRoundHalvesToEvenAndStopAtTheEnds) {
    const struct {
        ClickSettings values;
        SliderPositions positions;
    } cases[] = {
        {{50, 20, 450, 30}, {5, 2, 4, 5}},    {{25, 35, 250, 21}, {2, 4, 2, 0}},  // 2.5, 3.5, 2.5, 0.5
        {{0, 100, 350, 23}, {0, 10, 4, 2}},                                       // 3.5 -> 4, 1.5 -> 2
        {{100, 0, 550, 40}, {10, 0, 6, 10}},  {{0, 0, 1000, 20}, {0, 0, 9, 0}},   // 1000 ms lands on the slow end
        {{-10, 120, 100, 10}, {0, 10, 2, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PositionsFromValues(c.values), c.positions)
            << c.values.down << " " << c.values.up << " " << c.values.speed << " " << c.values.area;
    }
}

}  // namespace
}  // namespace velmic

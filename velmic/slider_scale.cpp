#include "slider_scale.h"

#include <algorithm>
#include <cmath>

namespace velmic {

SliderScale ScaleOf(Slider slider) {
    switch (slider) {
    case Slider::DownCanceler:
    case Slider::UpCanceler:
        return {0, 10, 10, 0};
    case Slider::DblClickSpeed:
        return {2, 9, 100, 0};
    case Slider::DblClickArea:
        return {0, 10, 2, 20};
    }
    return {0, 0, 1, 0};
}

int& SliderPositions::operator[](Slider slider) {
    switch (slider) {
    case Slider::DownCanceler:
        return down;
    case Slider::UpCanceler:
        return up;
    case Slider::DblClickSpeed:
        return speed;
    case Slider::DblClickArea:
        break;
    }
    return area;
}

int SliderPositions::operator[](Slider slider) const { return const_cast<SliderPositions&>(*this)[slider]; }

int RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1;
    return static_cast<int>(rounded);
}

namespace {

int PositionOf(Slider slider, int value) {
    const SliderScale scale = ScaleOf(slider);
    const int position = RoundHalfEven(static_cast<double>(value - scale.base) / scale.step);
    return std::clamp(position, scale.minPosition, scale.maxPosition);
}

std::int16_t ValueOf(Slider slider, int position) {
    const SliderScale scale = ScaleOf(slider);
    return static_cast<std::int16_t>(scale.step * position + scale.base);
}

}  // namespace

SliderPositions PositionsFromValues(const ClickSettings& values) {
    return {PositionOf(Slider::DownCanceler, values.down), PositionOf(Slider::UpCanceler, values.up),
            PositionOf(Slider::DblClickSpeed, values.speed), PositionOf(Slider::DblClickArea, values.area)};
}

ClickSettings ValuesFromPositions(const SliderPositions& positions) {
    return {ValueOf(Slider::DownCanceler, positions.down), ValueOf(Slider::UpCanceler, positions.up),
            ValueOf(Slider::DblClickSpeed, positions.speed), ValueOf(Slider::DblClickArea, positions.area)};
}

}  // namespace velmic

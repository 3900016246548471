// The four sliders of the settings dialog and how their positions map to
// the click parameters: value = step * position + base, and a position is
// the value scaled back and rounded to the nearest whole number, an exact
// half going to the even neighbour (450 ms is position 4, 550 ms is 6).
#pragma once

#include "tp_access.h"

namespace velmic {

enum class Slider { DownCanceler, UpCanceler, DblClickSpeed, DblClickArea };
inline constexpr Slider kSliders[] = {Slider::DownCanceler, Slider::UpCanceler, Slider::DblClickSpeed,
                                      Slider::DblClickArea};

struct SliderScale {
    int minPosition;
    int maxPosition;
    int step;
    int base;
};
SliderScale ScaleOf(Slider slider);

struct SliderPositions {
    int down = 0, up = 0, speed = 0, area = 0;
    int& operator[](Slider slider);
    int operator[](Slider slider) const;
    bool operator==(const SliderPositions& other) const {
        return down == other.down && up == other.up && speed == other.speed && area == other.area;
    }
    bool operator!=(const SliderPositions& other) const { return !(*this == other); }
};

// The positions of "Set to default": chatter cancel 30 and 30, 400 ms, area 28.
inline constexpr SliderPositions kDefaultPositions = {3, 3, 4, 4};

// Nearest whole number, ties to even.
int RoundHalfEven(double value);

// Positions outside a slider's range land on its nearest end, as the
// slider itself would put them.
SliderPositions PositionsFromValues(const ClickSettings& values);
ClickSettings ValuesFromPositions(const SliderPositions& positions);

}  // namespace velmic

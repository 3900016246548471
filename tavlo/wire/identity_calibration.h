// The calibration that leaves a panel's readings as they are: gain 1
// (10000 in units of 1/10000) and offset 0 on both axes, in the order
// xGain, xOffset, yGain, yOffset. A new panel holds it in both sets.
#pragma once

#include <stdint.h>

namespace tavlo {

inline constexpr int16_t kIdentityCalibration[4] = {10000, 0, 10000, 0};

}  // namespace tavlo

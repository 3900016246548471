// Two-point calibration arithmetic: where the two targets lie, how the two
// touches are stored, and how gain and offset per axis are computed, checked
// and encoded into the four 16-bit values the panel takes. Positions are
// client coordinates of the full-screen calibration window in twips.
#pragma once

#include <array>
#include <cstdint>

#include "identity_calibration.h"

namespace gorvat {

// xGain, xOffset, yGain, yOffset (indices TavloXGain .. TavloYOffset).
// Gains are in units of 1/10000; offsets in units of 10/65536 of the screen.
using CalibrationData = std::array<std::int16_t, 4>;

inline constexpr CalibrationData kIdentityCalibration = {tavlo::kIdentityCalibration[0], tavlo::kIdentityCalibration[1],
                                                         tavlo::kIdentityCalibration[2],
                                                         tavlo::kIdentityCalibration[3]};

// Nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4). Values
// outside the 32-bit range (and NaN) saturate, so no caller meets undefined
// behaviour on a nonsensical input.
std::int32_t RoundHalfEven(double value);
// The same, saturated to the 16-bit range.
std::int16_t RoundHalfEven16(double value);

struct Targets {
    std::int32_t TargetX1 = 0;
    std::int32_t TargetY1 = 0;
    std::int32_t TargetX2 = 0;
    std::int32_t TargetY2 = 0;
};

// One sixth in from the top-left and from the bottom-right corner.
Targets PlaceTargets(double screenWidth, double screenHeight);

// The two accepted touches: x as reported (single precision), y rounded.
struct Touches {
    float TouchX[2] = {0.0f, 0.0f};
    std::int32_t TouchY[2] = {0, 0};
};

// Stores touch k (0 for the first target, 1 for the second).
void StoreTouch(Touches& touches, int k, double x, double y);

struct CalibrationResult {
    bool withinLimits = false;
    CalibrationData record = {0, 0, 0, 0};  // valid only when withinLimits
    // The intermediate values, for diagnostics and tests.
    std::int32_t dX = 0;
    std::int32_t dY = 0;
    double gx = 0.0;
    double ox = 0.0;
    double gy = 0.0;
    std::int32_t oy = 0;
};

// Fits a line per axis through the two targets and touches. The screen
// size is the one current at the time of the computation; the targets keep
// the size they were placed with. A gain above 3.2 or an offset quotient
// above 32000 in magnitude (and any non-finite value, as from a zero screen
// size) is out of limits and yields no record.
CalibrationResult ComputeCalibration(const Targets& targets, const Touches& touches, double screenWidth,
                                     double screenHeight);

}  // namespace gorvat

#include "cal_math.h"

#include <cmath>
#include <limits>

#include "tavlo.h"

namespace gorvat {
namespace {

constexpr double kGainLimit = 3.2;
constexpr double kOffsetLimit = 32000.0;

// Strict limit test that also refuses NaN and infinities.
bool WithinLimit(double value, double limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

}  // namespace

std::int32_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // Worked out by hand rather than with nearbyint, whose result depends on
    // the floating-point rounding mode in force.
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    double rounded;
    if (fraction > 0.5) {
        rounded = floorValue + 1.0;
    } else if (fraction < 0.5) {
        rounded = floorValue;
    } else {
        rounded = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
    }
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (rounded <= kMin) return std::numeric_limits<std::int32_t>::min();
    if (rounded >= kMax) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int16_t RoundHalfEven16(double value) {
    const std::int32_t rounded = RoundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
    if (rounded > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(rounded);
}

Targets PlaceTargets(double screenWidth, double screenHeight) {
    Targets targets;
    targets.TargetX1 = RoundHalfEven(screenWidth / 6);
    targets.TargetY1 = RoundHalfEven(screenHeight / 6);
    targets.TargetX2 = RoundHalfEven((screenWidth / 6) * 5);
    targets.TargetY2 = RoundHalfEven((screenHeight / 6) * 5);
    return targets;
}

void StoreTouch(Touches& touches, int k, double x, double y) {
    if (k != 0 && k != 1) return;
    touches.TouchX[k] = static_cast<float>(x);
    touches.TouchY[k] = RoundHalfEven(y);
}

CalibrationResult ComputeCalibration(const Targets& targets, const Touches& touches, double screenWidth,
                                     double screenHeight) {
    CalibrationResult result;

    // x: the touches are kept unrounded; only their difference is rounded.
    const float spanX = touches.TouchX[1] - touches.TouchX[0];
    result.dX = RoundHalfEven(spanX);
    if (result.dX == 0) result.dX = 1;
    result.gx = static_cast<double>(targets.TargetX2 - targets.TargetX1) / result.dX;
    result.ox = (targets.TargetX1 - result.gx * static_cast<double>(touches.TouchX[0])) / screenWidth * 65536;

    // y: the touches were rounded when stored; the offset is rounded too.
    // Widened so that even saturated touches cannot overflow the span.
    const double spanY = static_cast<double>(touches.TouchY[1]) - touches.TouchY[0];
    result.dY = spanY == 0 ? 1 : RoundHalfEven(spanY);
    result.gy = static_cast<double>(targets.TargetY2 - targets.TargetY1) / result.dY;
    const double rawOy = (targets.TargetY1 - result.gy * touches.TouchY[0]) / screenHeight * 65536;
    result.oy = RoundHalfEven(rawOy);

    result.withinLimits = WithinLimit(result.gx, kGainLimit) && WithinLimit(result.gy, kGainLimit) &&
                          WithinLimit(result.ox / 10, kOffsetLimit) && std::isfinite(rawOy) &&
                          WithinLimit(result.oy / 10.0, kOffsetLimit);
    if (!result.withinLimits) return result;

    result.record[TavloXGain] = static_cast<std::int16_t>(std::floor(10000 * result.gx));
    result.record[TavloXOffset] = static_cast<std::int16_t>(std::floor(result.ox / 10));
    result.record[TavloYGain] = static_cast<std::int16_t>(std::floor(10000 * result.gy));
    result.record[TavloYOffset] = static_cast<std::int16_t>(std::floor(result.oy / 10.0));
    return result;
}

}  // namespace gorvat

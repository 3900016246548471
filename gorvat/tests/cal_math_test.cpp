// The calibration arithmetic: roundings, targets, the record with its
// floors, and the strict limits.
#include "cal_math.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "tavlo.h"

namespace gorvat {
namespace {

// 1024 x 768 pixels at 15 twips per pixel.
constexpr double kW = 15360;
constexpr double kH = 11520;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Touches MakeTouches(double x0, double y0, double x1, double y1) {
    Touches touches;
    StoreTouch(touches, 0, x0, y0);
    StoreTouch(touches, 1, x1, y1);
    StoreTouch(touches, 2, 1, 1);  // no third touch: ignored
    return touches;
}

TEST(CalMathTest, RoundingTiesGoToTheEvenNeighbourAndSaturate) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {{2.5, 2},        {3.5, 4},    {-2.5, -2},  {-3.5, -4},         {0.5, 0},
                 {2.51, 3},       {-0.4, 0},   {-809.9, -810}, {1e12, 2147483647}, {-1e12, -2147483647 - 1},
                 {kNaN, 0}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    EXPECT_EQ(RoundHalfEven16(32767.5), 32767);
    EXPECT_EQ(RoundHalfEven16(40000), 32767);
    EXPECT_EQ(RoundHalfEven16(-40000), -32768);
}

TEST(CalMathTest, TargetsLieOneSixthInFromEachCorner) {
    // Ties go to the even neighbour, up in x (12021 / 6 = 2003.5, 5 * 2003.5 =
    // 10017.5) and down in y (9003 / 6 = 1500.5, 5 * 1500.5 = 7502.5).
    const Targets t = PlaceTargets(12021, 9003);
    EXPECT_EQ((std::array<std::int32_t, 4>{t.TargetX1, t.TargetY1, t.TargetX2, t.TargetY2}),
              (std::array<std::int32_t, 4>{2004, 1500, 10018, 7502}));
}

// Targets placed on kW x kH (x distance 10240, y distance 7680) unless the
// case says otherwise; the record is computed on the screen size given.
TEST(CalMathTest, RecordsOfWholeRuns) {
    const struct {
        const char* what;
        double placedW;
        Touches touches;
        double w, h;
        std::int32_t dX, dY, oy;
        CalibrationData record;
    } cases[] = {
        {"worked example", kW, MakeTouches(2700, 2010, 12600, 9495), kW, kH, 9900, 7485, -810,
         {10343, -100, 10260, -81}},
        {"touches on the targets", kW, MakeTouches(2560, 1920, 12800, 9600), kW, kH, 10240, 7680, 0,
         kIdentityCalibration},
        // gx = -1, ox = 65536: the offset floors to 6553.
        {"reversed x", kW, MakeTouches(12800, 1920, 2560, 9600), kW, kH, -10240, 7680, 0, {-10000, 6553, 10000, 0}},
        // Targets 5000 and 24999: gx = 19999 / -20000 = -0.99995 floors to -10000.
        {"negative gain", 29998.5, MakeTouches(24999, 1920, 4999, 9600), 29998.5, kH, -20000, 7680, 0,
         {-10000, 6553, 10000, 0}},
        // Only the x span is rounded (9900.5 to the even 9900); y touches are
        // rounded when stored (2010.5 -> 2010, 9495.5 -> 9496).
        {"halves", kW, MakeTouches(2700.25, 2010.5, 12600.75, 9495.5), kW, kH, 9900, 7486, -808,
         {10343, -100, 10259, -81}},
        // The offsets use the screen size of the computation, not of the targets.
        {"screen doubled", kW, MakeTouches(2700, 2010, 12600, 9495), 2 * kW, 2 * kH, 9900, 7485, -405,
         {10343, -50, 10260, -41}},
    };
    for (const auto& c : cases) {
        const CalibrationResult r = ComputeCalibration(PlaceTargets(c.placedW, kH), c.touches, c.w, c.h);
        ASSERT_TRUE(r.withinLimits) << c.what;
        EXPECT_EQ(r.dX, c.dX) << c.what;
        EXPECT_EQ(r.dY, c.dY) << c.what;
        EXPECT_EQ(r.oy, c.oy) << c.what;
        EXPECT_EQ(r.record, c.record) << c.what;
    }
}

// Touches chosen to land exactly on a limit, or just past it.
TEST(CalMathTest, LimitsAreStrict) {
    const Targets t = PlaceTargets(kW, kH);
    const struct {
        const char* what;
        Touches touches;
        double w, h;
        int field;  // -1: out of limits
        std::int16_t value;
    } cases[] = {
        // gx = 10240 / 3200 = 3.2 exactly, ox = 0; gy likewise with 7680 / 2400.
        {"x gain 3.2", MakeTouches(800, 1920, 4000, 9600), kW, kH, TavloXGain, 32000},
        {"x gain above 3.2", MakeTouches(800, 1920, 3999, 9600), kW, kH, -1, 0},
        {"x gain -3.2", MakeTouches(4000, 1920, 800, 9600), kW, kH, TavloXGain, -32000},
        {"y gain 3.2", MakeTouches(2560, 600, 12800, 3000), kW, kH, TavloYGain, 32000},
        {"y gain above 3.2", MakeTouches(2560, 600, 12800, 2999), kW, kH, -1, 0},
        // gx = 1, ox = (2560 + 72440) / 15360 * 65536 = 320000 exactly.
        {"x offset 32000", MakeTouches(-72440, 1920, -62200, 9600), kW, kH, TavloXOffset, 32000},
        {"x offset above 32000", MakeTouches(-72441, 1920, -62201, 9600), kW, kH, -1, 0},
        // gy = 1, oy = (1920 + 54330) / 11520 * 65536 = 320000.
        {"y offset 32000", MakeTouches(2560, -54330, 12800, -46650), kW, kH, TavloYOffset, 32000},
        {"y offset above 32000", MakeTouches(2560, -54332, 12800, -46652), kW, kH, -1, 0},
        // Equal x (after rounding the span) or equal y: the span counts as 1.
        {"same x", MakeTouches(5000, 1920, 5000.4f, 9600), kW, kH, -1, 0},
        {"same y", MakeTouches(2560, 5000, 12800, 5000.4), kW, kH, -1, 0},
        // y touches saturated at both ends: their span must not overflow.
        {"y at the range ends", MakeTouches(2560, 1e12, 12800, -1e12), kW, kH, TavloYGain, -1},
        {"zero width", MakeTouches(2560, 1920, 12800, 9600), 0, kH, -1, 0},
        {"zero height", MakeTouches(2560, 1920, 12800, 9600), kW, 0, -1, 0},
    };
    for (const auto& c : cases) {
        const CalibrationResult r = ComputeCalibration(t, c.touches, c.w, c.h);
        EXPECT_EQ(r.withinLimits, c.field >= 0) << c.what;
        if (c.field >= 0) {
            EXPECT_EQ(r.record[c.field], c.value) << c.what;
        }
    }
}

}  // namespace
}  // namespace gorvat

// The calibration arithmetic: roundings, targets, the record with its
// floors, and the strict limits.
#include "cal_math.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "row_name.h"
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

struct Rounding {
    const char* what = "";
    double in = 0;
    std::int32_t out = 0;
};

class CalMathRoundingTest : public ::testing::TestWithParam<Rounding> {};

TEST_P(CalMathRoundingTest, RoundingTiesGoToTheEvenNeighbourAndSaturate) {
    EXPECT_EQ(RoundHalfEven(GetParam().in), GetParam().out);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gorvat, CalMathRoundingTest,
                         ::testing::Values(Rounding{.what = "2.5 down", .in = 2.5, .out = 2},
                                           Rounding{.what = "3.5 up", .in = 3.5, .out = 4},
                                           Rounding{.what = "minus 2.5 up", .in = -2.5, .out = -2},
                                           Rounding{.what = "minus 3.5 down", .in = -3.5, .out = -4},
                                           Rounding{.what = "0.5 down", .in = 0.5, .out = 0},
                                           Rounding{.what = "2.51 up", .in = 2.51, .out = 3},
                                           Rounding{.what = "minus 0.4 to 0", .in = -0.4, .out = 0},
                                           Rounding{.what = "minus 809.9 down", .in = -809.9, .out = -810},
                                           Rounding{.what = "1e12 saturates", .in = 1e12, .out = 2147483647},
        Rounding{.what = "minus 1e12 saturates", .in = -1e12, .out = -2147483647 - 1},
                                           Rounding{.what = "NaN", .in = kNaN, .out = 0}),
                         suite_test::RowName);
// clang-format on

TEST(CalMathTest, SixteenBitRoundingSaturates) {
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
struct WholeRun {
    const char* what = "";
    double placedW = kW;
    Touches touches = {};
    double w = kW, h = kH;
    std::int32_t dX = 0, dY = 0, oy = 0;
    CalibrationData record = {};
};

class CalMathRecordTest : public ::testing::TestWithParam<WholeRun> {};

TEST_P(CalMathRecordTest, RecordsOfWholeRuns) {
    const WholeRun& c = GetParam();
    const CalibrationResult r = ComputeCalibration(PlaceTargets(c.placedW, kH), c.touches, c.w, c.h);
    ASSERT_TRUE(r.withinLimits);
    EXPECT_EQ(r.dX, c.dX);
    EXPECT_EQ(r.dY, c.dY);
    EXPECT_EQ(r.oy, c.oy);
    EXPECT_EQ(r.record, c.record);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gorvat, CalMathRecordTest,
                         ::testing::Values(
        WholeRun{.what = "worked example", .placedW = kW, .touches = MakeTouches(2700, 2010, 12600, 9495), .w = kW,
                 .h = kH, .dX = 9900, .dY = 7485, .oy = -810, .record = {10343, -100, 10260, -81}},
        WholeRun{.what = "touches on the targets", .placedW = kW, .touches = MakeTouches(2560, 1920, 12800, 9600),
                 .w = kW, .h = kH, .dX = 10240, .dY = 7680, .oy = 0, .record = kIdentityCalibration},
                                           // gx = -1, ox = 65536: the offset floors to 6553.
        WholeRun{.what = "reversed x", .placedW = kW, .touches = MakeTouches(12800, 1920, 2560, 9600), .w = kW,
                 .h = kH, .dX = -10240, .dY = 7680, .oy = 0, .record = {-10000, 6553, 10000, 0}},
                                           // Targets 5000 and 24999: gx = 19999 / -20000 = -0.99995 floors to -10000.
        WholeRun{.what = "negative gain", .placedW = 29998.5, .touches = MakeTouches(24999, 1920, 4999, 9600),
                 .w = 29998.5, .h = kH, .dX = -20000, .dY = 7680, .oy = 0, .record = {-10000, 6553, 10000, 0}},
                                           // Only the x span is rounded (9900.5 to the even 9900); y touches are
                                           // rounded when stored (2010.5 -> 2010, 9495.5 -> 9496).
        WholeRun{.what = "halves", .placedW = kW, .touches = MakeTouches(2700.25, 2010.5, 12600.75, 9495.5), .w = kW,
                 .h = kH, .dX = 9900, .dY = 7486, .oy = -808, .record = {10343, -100, 10259, -81}},
                                           // The offsets use the screen size of the computation, not of the targets.
        WholeRun{.what = "screen doubled", .placedW = kW, .touches = MakeTouches(2700, 2010, 12600, 9495),
                 .w = 2 * kW, .h = 2 * kH, .dX = 9900, .dY = 7485, .oy = -405, .record = {10343, -50, 10260, -41}}),
                         suite_test::RowName);
// clang-format on

// Touches chosen to land exactly on a limit, or just past it.
struct Limit {
    const char* what = "";
    Touches touches = {};
    double w = kW, h = kH;
    int field = -1;  // -1: out of limits
    std::int16_t value = 0;
};

class CalMathLimitTest : public ::testing::TestWithParam<Limit> {};

TEST_P(CalMathLimitTest, LimitsAreStrict) {
    const Limit& c = GetParam();
    const CalibrationResult r = ComputeCalibration(PlaceTargets(kW, kH), c.touches, c.w, c.h);
    EXPECT_EQ(r.withinLimits, c.field >= 0);
    if (c.field >= 0) {
        EXPECT_EQ(r.record[c.field], c.value);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Gorvat, CalMathLimitTest,
    ::testing::Values(
        // gx = 10240 / 3200 = 3.2 exactly, ox = 0; gy likewise with 7680 / 2400.
        Limit{.what = "x gain 3.2", .touches = MakeTouches(800, 1920, 4000, 9600), .field = TavloXGain, .value = 32000},
        Limit{.what = "x gain above 3.2", .touches = MakeTouches(800, 1920, 3999, 9600)},
        Limit{.what = "x gain minus 3.2", .touches = MakeTouches(4000, 1920, 800, 9600), .field = TavloXGain, .value = -32000},
        Limit{.what = "y gain 3.2", .touches = MakeTouches(2560, 600, 12800, 3000), .field = TavloYGain, .value = 32000},
        Limit{.what = "y gain above 3.2", .touches = MakeTouches(2560, 600, 12800, 2999)},
        // gx = 1, ox = (2560 + 72440) / 15360 * 65536 = 320000 exactly.
        Limit{.what = "x offset 32000", .touches = MakeTouches(-72440, 1920, -62200, 9600), .field = TavloXOffset, .value = 32000},
        Limit{.what = "x offset above 32000", .touches = MakeTouches(-72441, 1920, -62201, 9600)},
        // gy = 1, oy = (1920 + 54330) / 11520 * 65536 = 320000.
        Limit{.what = "y offset 32000", .touches = MakeTouches(2560, -54330, 12800, -46650), .field = TavloYOffset, .value = 32000},
        Limit{.what = "y offset above 32000", .touches = MakeTouches(2560, -54332, 12800, -46652)},
        // Equal x (after rounding the span) or equal y: the span counts as 1.
        Limit{.what = "same x", .touches = MakeTouches(5000, 1920, 5000.4f, 9600)},
        Limit{.what = "same y", .touches = MakeTouches(2560, 5000, 12800, 5000.4)},
        // y touches saturated at both ends: their span must not overflow.
        Limit{.what = "y at the range ends", .touches = MakeTouches(2560, 1e12, 12800, -1e12), .field = TavloYGain, .value = -1},
        Limit{.what = "zero width", .touches = MakeTouches(2560, 1920, 12800, 9600), .w = 0},
        Limit{.what = "zero height", .touches = MakeTouches(2560, 1920, 12800, 9600), .h = 0}),
    suite_test::RowName);
// clang-format on

}  // namespace
}  // namespace gorvat

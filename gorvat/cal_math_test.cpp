// The calibration arithmetic: roundings, targets, the record with its
// floors, and the strict limits.
#include "cal_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tavlo.h"

namespace gorvat {
namespace {

// 1024 x 768 pixels at 15 twips per pixel.
constexpr double kW = 15360;
constexpr double kH = 11520;

Touches MakeTouches(double x0, double y0, double x1, double y1) {
    Touches touches;
    StoreTouch(touches, 0, x0, y0);
    StoreTouch(touches, 1, x1, y1);
    return touches;
}

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {{2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4}, {0.5, 0},      {1.5, 2},
                 {2.49, 2},  {2.51, 3},  {-0.4, 0},  {-99.3, -99}, {-809.9, -810}, {1e12, 2147483647},
                 {-1e12, -2147483647 - 1}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    EXPECT_EQ(RoundHalfEven16(32767.5), 32767);
    EXPECT_EQ(RoundHalfEven16(5760.5), 5760);
    EXPECT_EQ(RoundHalfEven16(-40000), -32768);
}

TEST(PlaceTargetsTest, OneSixthInFromEachCorner) {
    const struct {
        double w, h;
        Targets expected;
    } cases[] = {
        {kW, kH, {2560, 1920, 12800, 9600}},
        // 800 x 600: 12000 / 6 = 2000, 9000 / 6 = 1500.
        {12000, 9000, {2000, 1500, 10000, 7500}},
        // W/6 = 2002.5 rounds to 2002 and (W/6)*5 = 10012.5 to 10012: ties to even.
        {12015, 9003, {2002, 1500, 10012, 7502}},
    };
    for (const auto& c : cases) {
        const Targets t = PlaceTargets(c.w, c.h);
        EXPECT_EQ(t.TargetX1, c.expected.TargetX1) << c.w;
        EXPECT_EQ(t.TargetY1, c.expected.TargetY1) << c.h;
        EXPECT_EQ(t.TargetX2, c.expected.TargetX2) << c.w;
        EXPECT_EQ(t.TargetY2, c.expected.TargetY2) << c.h;
    }
}

TEST(StoreTouchTest, XIsKeptAsReportedYIsRounded) {
    Touches touches;
    StoreTouch(touches, 0, 2700.5, 2010.5);
    StoreTouch(touches, 1, 12600.25, 2011.5);
    EXPECT_FLOAT_EQ(touches.TouchX[0], 2700.5f);
    EXPECT_FLOAT_EQ(touches.TouchX[1], 12600.25f);
    EXPECT_EQ(touches.TouchY[0], 2010);
    EXPECT_EQ(touches.TouchY[1], 2012);
    StoreTouch(touches, 2, 1, 1);  // no third touch: ignored
    EXPECT_EQ(touches.TouchY[1], 2012);
}

TEST(ComputeCalibrationTest, WorkedExample) {
    const CalibrationResult r =
        ComputeCalibration(PlaceTargets(kW, kH), MakeTouches(2700, 2010, 12600, 9495), kW, kH);
    ASSERT_TRUE(r.withinLimits);
    EXPECT_EQ(r.dX, 9900);
    EXPECT_NEAR(r.gx, 1.0343434, 1e-7);
    EXPECT_NEAR(r.ox, -992.97, 0.01);
    EXPECT_EQ(r.dY, 7485);
    EXPECT_NEAR(r.gy, 1.0260521, 1e-7);
    EXPECT_EQ(r.oy, -810);
    EXPECT_EQ(r.record, (CalibrationData{10343, -100, 10260, -81}));
}

TEST(ComputeCalibrationTest, TouchesOnTheTargetsGiveTheIdentity) {
    const CalibrationResult r =
        ComputeCalibration(PlaceTargets(kW, kH), MakeTouches(2560, 1920, 12800, 9600), kW, kH);
    ASSERT_TRUE(r.withinLimits);
    EXPECT_EQ(r.ox, 0.0);
    EXPECT_EQ(r.record, kIdentityCalibration);
}

// Touches chosen to land exactly on a limit, or just past it.
TEST(ComputeCalibrationTest, LimitsAreStrict) {
    const Targets t = PlaceTargets(kW, kH);  // x distance 10240, y distance 7680
    const struct {
        const char* what;
        Touches touches;
        bool within;
        int field;
        std::int16_t value;
    } cases[] = {
        // gx = 10240 / 3200 = 3.2 exactly, ox = 0.
        {"x gain 3.2", MakeTouches(800, 1920, 4000, 9600), true, TavloXGain, 32000},
        {"x gain above 3.2", MakeTouches(800, 1920, 3999, 9600), false, 0, 0},
        {"x gain -3.2", MakeTouches(4000, 1920, 800, 9600), true, TavloXGain, -32000},
        // gy = 7680 / 2400 = 3.2 exactly, oy = 0.
        {"y gain 3.2", MakeTouches(2560, 600, 12800, 3000), true, TavloYGain, 32000},
        {"y gain above 3.2", MakeTouches(2560, 600, 12800, 2999), false, 0, 0},
        // gx = 1, ox = (2560 + 72440) / 15360 * 65536 = 320000 exactly: |ox / 10| = 32000.
        {"x offset 32000", MakeTouches(-72440, 1920, -62200, 9600), true, TavloXOffset, 32000},
        {"x offset above 32000", MakeTouches(-72441, 1920, -62201, 9600), false, 0, 0},
        // gy = 1, oy = (1920 + 54330) / 11520 * 65536 = 320000.
        {"y offset 32000", MakeTouches(2560, -54330, 12800, -46650), true, TavloYOffset, 32000},
        {"y offset above 32000", MakeTouches(2560, -54332, 12800, -46652), false, 0, 0},
        // Equal x (after rounding the difference) or equal y: the span counts as
        // 1 and the gain becomes the whole target distance.
        {"same x", MakeTouches(5000, 1920, 5000.4f, 9600), false, 0, 0},
        {"same y", MakeTouches(2560, 5000, 12800, 5000.4), false, 0, 0},
    };
    for (const auto& c : cases) {
        const CalibrationResult r = ComputeCalibration(t, c.touches, kW, kH);
        EXPECT_EQ(r.withinLimits, c.within) << c.what;
        if (c.within) {
            EXPECT_EQ(r.record[c.field], c.value) << c.what;
        }
    }
    const CalibrationResult sameX = ComputeCalibration(t, MakeTouches(5000, 1920, 5000.4f, 9600), kW, kH);
    EXPECT_EQ(sameX.dX, 1);
    EXPECT_EQ(sameX.gx, 10240.0);
}

TEST(ComputeCalibrationTest, OffsetsAreFlooredNotTruncated) {
    // Reversed x: gx = -1, ox = (2560 + 12800) / 15360 * 65536 = 65536 -> 6553.
    CalibrationResult r = ComputeCalibration(PlaceTargets(kW, kH), MakeTouches(12800, 1920, 2560, 9600), kW, kH);
    ASSERT_TRUE(r.withinLimits);
    EXPECT_EQ(r.record[TavloXGain], -10000);
    EXPECT_EQ(r.record[TavloXOffset], 6553);
    // The worked example's x offset -992.97 floors to -100, not -99.
    r = ComputeCalibration(PlaceTargets(kW, kH), MakeTouches(2700, 2010, 12600, 9495), kW, kH);
    EXPECT_EQ(r.record[TavloXOffset], -100);
}

TEST(ComputeCalibrationTest, NegativeGainIsFloored) {
    // W = 29998.5: targets 5000 and 24999, so the x distance is 19999 and a
    // span of -20000 gives gx = -0.99995, encoded as floor(-9999.5) = -10000.
    const Targets t = PlaceTargets(29998.5, kH);
    ASSERT_EQ(t.TargetX2 - t.TargetX1, 19999);
    const CalibrationResult r = ComputeCalibration(t, MakeTouches(24999, 1920, 4999, 9600), 29998.5, kH);
    ASSERT_TRUE(r.withinLimits);
    EXPECT_DOUBLE_EQ(r.gx, -0.99995);
    EXPECT_EQ(r.record[TavloXGain], -10000);
}

TEST(ComputeCalibrationTest, OnlyTheXSpanIsRoundedWhileYTouchesAreRoundedWhenStored) {
    // x: 12600.5 - 2700 = 9900.5 rounds to the even 9900; the offset uses the
    // unrounded 2700.25.
    const Targets t = PlaceTargets(kW, kH);
    const CalibrationResult r = ComputeCalibration(t, MakeTouches(2700.25, 2010.5, 12600.75, 9495.5), kW, kH);
    EXPECT_EQ(r.dX, 9900);
    EXPECT_DOUBLE_EQ(r.ox, (2560 - r.gx * 2700.25) / kW * 65536);
    // y: 2010.5 -> 2010 and 9495.5 -> 9496.
    EXPECT_EQ(r.dY, 7486);
}

TEST(ComputeCalibrationTest, OffsetsUseTheScreenSizeOfTheComputation) {
    const Targets t = PlaceTargets(kW, kH);
    const Touches touches = MakeTouches(2700, 2010, 12600, 9495);
    const CalibrationResult before = ComputeCalibration(t, touches, kW, kH);
    const CalibrationResult after = ComputeCalibration(t, touches, kW * 2, kH * 2);
    ASSERT_TRUE(after.withinLimits);
    EXPECT_EQ(after.record[TavloXGain], before.record[TavloXGain]);
    EXPECT_EQ(after.record[TavloYGain], before.record[TavloYGain]);
    EXPECT_DOUBLE_EQ(after.ox, before.ox / 2);
    EXPECT_EQ(after.record[TavloXOffset], -50);  // floor(-49.6)
    EXPECT_EQ(after.record[TavloYOffset], -41);  // oy = round(-404.97) = -405 -> floor(-40.5)
}

TEST(ComputeCalibrationTest, DegenerateScreenSizeIsOutOfLimits) {
    const Targets t = PlaceTargets(kW, kH);
    const Touches touches = MakeTouches(2560, 1920, 12800, 9600);
    EXPECT_FALSE(ComputeCalibration(t, touches, 0, kH).withinLimits);
    EXPECT_FALSE(ComputeCalibration(t, touches, kW, 0).withinLimits);
    EXPECT_FALSE(ComputeCalibration(PlaceTargets(0, 0), MakeTouches(0, 0, 0, 0), 0, 0).withinLimits);
    EXPECT_FALSE(ComputeCalibration(t, touches, std::numeric_limits<double>::quiet_NaN(), kH).withinLimits);
}

}  // namespace
}  // namespace gorvat

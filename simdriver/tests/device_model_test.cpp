// The simulated driver's own rules: request shapes, panel addressing, the
// change stamp, fault injection and the request log.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device_model.h"

namespace {

using tavlosim::DeviceModel;

constexpr std::uint32_t kGetStatus = 0x226004, kGetCalibration = 0x22E080, kSetPointdata = 0x22A0C4;

struct RequestShapeCase {
    std::uint32_t code, inSize, outSize, error;
};

class DeviceModelRequestShape : public ::testing::TestWithParam<RequestShapeCase> {};

TEST_P(DeviceModelRequestShape, SizesAndCodesAreChecked) {
    const RequestShapeCase& c = GetParam();
    DeviceModel model;
    model.AttachPanel(1);
    std::uint8_t in[16] = {}, out[16] = {};
    std::uint32_t returned = 99;
    EXPECT_EQ(model.Handle(c.code, in, c.inSize, out, c.outSize, &returned), c.error);
    EXPECT_EQ(returned, c.error == 0 ? c.outSize : 0u);
}

// Each row is named by its request: code_in_out, e.g. 22E080_In1_Out8.
std::string RequestShapeName(const ::testing::TestParamInfo<RequestShapeCase>& row) {
    char name[48];
    std::snprintf(name, sizeof name, "%06X_In%u_Out%u", static_cast<unsigned>(row.param.code),
                  static_cast<unsigned>(row.param.inSize), static_cast<unsigned>(row.param.outSize));
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DeviceModelRequestShape,
    ::testing::Values(RequestShapeCase{.code = kGetStatus, .inSize = 0, .outSize = 3, .error = 0},
                      RequestShapeCase{.code = kGetStatus, .inSize = 0, .outSize = 4, .error = 87},
                      RequestShapeCase{.code = kGetStatus, .inSize = 1, .outSize = 3, .error = 87},
                      RequestShapeCase{.code = kGetCalibration, .inSize = 1, .outSize = 8, .error = 0},
                      RequestShapeCase{.code = kGetCalibration, .inSize = 1, .outSize = 7, .error = 87},
                      RequestShapeCase{.code = kGetCalibration, .inSize = 2, .outSize = 8, .error = 87},
                      RequestShapeCase{.code = 0x22A084, .inSize = 9, .outSize = 0, .error = 0},
                      RequestShapeCase{.code = 0x22A084, .inSize = 8, .outSize = 0, .error = 87},
                      RequestShapeCase{.code = 0x22E040, .inSize = 1, .outSize = 2, .error = 0},
                      // an unknown code
                      RequestShapeCase{.code = 0x226008, .inSize = 0, .outSize = 0, .error = 1},
                      RequestShapeCase{.code = 0x22E1E8, .inSize = 0, .outSize = 2, .error = 0},
                      RequestShapeCase{.code = 0x22A204, .inSize = 4, .outSize = 0, .error = 0},
                      RequestShapeCase{.code = 0x22A204, .inSize = 3, .outSize = 0, .error = 87}),
    RequestShapeName);

// Panels sit in attach order up to the model's limit and close up when one
// is removed; every attach and remove, and no touch, moves the stamp on.
TEST(DeviceModel, PanelsAreAddressedByPositionAndEveryChangeMovesTheStamp) {
    DeviceModel model;
    std::uint16_t stamp = model.Stamp();
    for (std::uint8_t id = 1; id <= tavlosim::kMaxPanels; ++id) {
        ASSERT_GE(model.AttachPanel(id), 0);
        EXPECT_NE(model.Stamp(), stamp);
        stamp = model.Stamp();
    }
    EXPECT_EQ(model.AttachPanel(99), -1);
    model.SetTouched(0, true);
    EXPECT_EQ(model.Stamp(), stamp);
    ASSERT_TRUE(model.RemovePanel(2));
    EXPECT_NE(model.Stamp(), stamp);
    EXPECT_EQ(model.PanelCount(), tavlosim::kMaxPanels - 1);
    EXPECT_EQ(model.Panel(2)->id, 4);
    EXPECT_FALSE(model.RemovePanel(tavlosim::kMaxPanels - 1));
    std::uint8_t in = tavlosim::kMaxPanels - 1, out = 0;
    std::uint32_t returned = 0;
    EXPECT_EQ(model.Handle(0x22E044, &in, 1, &out, 1, &returned), tavlosim::kErrorFileNotFound);
    in = 6;
    EXPECT_EQ(model.Handle(0x22E044, &in, 1, &out, 1, &returned), 0u);
    EXPECT_EQ(out, 8);
    // The stamp never takes the value a failed stamp read leaves behind.
    for (int i = 0; i < 0x20000; ++i) {
        model.AttachPanel(1);
        ASSERT_NE(model.Stamp(), 0xFFFF);
        model.RemovePanel(0);
        ASSERT_NE(model.Stamp(), 0xFFFF);
    }
}

// Start-up mode 0 brings new panels up with point data off; flags travel as
// exactly 0 or 1.
TEST(DeviceModel, StartupModeAndFlagValues) {
    DeviceModel model;
    model.AttachPanel(1);
    model.MutableModes().startup = 0;
    model.AttachPanel(2);
    EXPECT_EQ(model.Panel(0)->pointdata, 1);
    EXPECT_EQ(model.Panel(1)->pointdata, 0);
    std::uint32_t returned = 0;
    const std::uint8_t two[] = {0, 2}, one[] = {0, 1};
    EXPECT_EQ(model.Handle(kSetPointdata, two, 2, nullptr, 0, &returned), tavlosim::kErrorInvalidParameter);
    EXPECT_EQ(model.Handle(kSetPointdata, one, 2, nullptr, 0, &returned), 0u);
}

TEST(DeviceModel, FaultsOverridesLogAndReset) {
    DeviceModel model;
    model.AttachPanel(1);
    std::uint8_t out[8] = {};
    std::uint32_t returned = 0;
    model.FailNext(1167);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 1167u);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);  // only the next one

    model.FailCode(kGetStatus, 31);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 31u);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 31u);
    model.FailCode(kGetStatus, 0);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);

    // Short and long overrides report their own length.
    const std::uint8_t reply[] = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
    for (std::uint32_t length : {2u, 5u}) {
        model.OverrideReply(kGetStatus, reply, length, false);
        EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);
        EXPECT_EQ(returned, length);
        EXPECT_EQ(out[1], 0xBB);
    }
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);
    EXPECT_EQ(returned, 3u);

    ASSERT_EQ(model.LogSize(), 8u);
    EXPECT_EQ(model.LogAt(0).error, 1167u);
    EXPECT_EQ(model.LogAt(7).outSize, 3u);
    for (int i = 0; i < 300; ++i) model.Handle(kGetStatus, nullptr, 0, out, 3, &returned);
    EXPECT_EQ(model.LogSize(), static_cast<std::uint32_t>(tavlosim::kLogCapacity));
    EXPECT_EQ(model.LogAt(tavlosim::kLogCapacity - 1).sequence, model.RequestsSeen());

    // A reset leaves no panel, no fault, and moves the stamp on.
    model.FailCode(kGetStatus, 31);
    const std::uint16_t before = model.Stamp();
    model.Reset();
    EXPECT_EQ(model.PanelCount(), 0);
    EXPECT_NE(model.Stamp(), before);
    EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);
}

TEST(DeviceModel, ANewReplyOverrideReplacesTheOldOneForItsCode) {
    DeviceModel model;
    model.AttachPanel(1);
    constexpr std::uint32_t kCheckTouch = 0x22E0E0, kGetLed = 0x22E100;
    const std::uint8_t aa = 0xAA, bb = 0xBB, cc = 0xCC, one = 0x11;
    ASSERT_TRUE(model.OverrideReply(kGetLed, &cc, 1, true));  // occupies the first slot
    ASSERT_TRUE(model.OverrideReply(kCheckTouch, &aa, 1, true));
    ASSERT_TRUE(model.FailCode(kGetLed, 0));
    ASSERT_TRUE(model.OverrideReply(kCheckTouch, &bb, 1, true));    // replaces AA
    ASSERT_TRUE(model.OverrideReply(kCheckTouch, &one, 1, false));  // replaces BB, once
    std::uint8_t in = 0, out = 0;
    std::uint32_t returned = 0;
    std::vector<int> seen;
    for (int i = 0; i < 2; ++i) {
        model.Handle(kCheckTouch, &in, 1, &out, 1, &returned);
        seen.push_back(out);
    }
    EXPECT_EQ(seen, (std::vector<int>{0x11, 0x00}));  // then the model's own answer
}

// A request with a reply size but no reply buffer fails the same way
// whether or not an override is waiting for its code, and claims no reply
// bytes; the override stays for the next request that has a buffer.
TEST(DeviceModel, AnOverrideNeedsAReplyBuffer) {
    const std::uint8_t reply[] = {0xAA, 0xBB, 0xCC};
    for (bool overridden : {false, true}) {
        SCOPED_TRACE(overridden ? "override waiting" : "no override");
        DeviceModel model;
        model.AttachPanel(1);
        if (overridden) {
            ASSERT_TRUE(model.OverrideReply(kGetStatus, reply, 3, false));
        }
        std::uint32_t returned = 99;
        EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, nullptr, 3, &returned), tavlosim::kErrorInvalidParameter);
        EXPECT_EQ(returned, 0u);
        std::uint8_t out[3] = {};
        EXPECT_EQ(model.Handle(kGetStatus, nullptr, 0, out, 3, &returned), 0u);
        EXPECT_EQ(out[0] == 0xAA, overridden);
    }
}

}  // namespace

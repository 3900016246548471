// TavloGetClickData and TavloSetClickData against the simulated driver:
// read-modify-write, preserved bytes, set selection and their failure rules.
#include <array>
#include <cstdint>
#include <vector>

#include "tavlo_fixture.h"

namespace tavlo_test {
namespace {

using ClickCommands = TavloCommandTest;
using Data = std::array<std::int16_t, 4>;

TEST_F(ClickCommands, SetClampsInPlaceAndWritesBackBytesTwoAndFour) {
    std::uint8_t* block = model.MutablePanel(1)->click[tavlosim::kSavedSet];
    block[2] = 0x5C;
    block[4] = 0xE1;
    Data data{-5, 150, 1000, 41};
    EXPECT_EQ(tavlo::SetClickData(channel, &stamp, 1, data.data(), 1), TavloOk);
    EXPECT_EQ(data, (Data{0, 100, 900, 40}));
    const std::vector<SentRequest> sent = Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].code, static_cast<std::uint32_t>(IOCTL_TAVLO_GET_CLICK_DATA_ALT));
    EXPECT_EQ(sent[2].code, static_cast<std::uint32_t>(IOCTL_TAVLO_SET_CLICK_DATA_ALT));
    EXPECT_EQ(sent[2].in, (std::vector<std::uint8_t>{1, 18, 23, 0x5C, 90, 0xE1, 0, 10}));
    // The working set was not touched.
    EXPECT_EQ(model.Panel(1)->click[tavlosim::kWorkingSet][0], 12);
}

TEST_F(ClickCommands, ReadBackShowsTheDeviceSteps) {
    Data data{55, 30, 430, 21};
    EXPECT_EQ(tavlo::SetClickData(channel, &stamp, 0, data.data(), 0), TavloOk);
    Data read{};
    EXPECT_EQ(tavlo::GetClickData(channel, &stamp, 0, read.data(), 0), TavloOk);
    EXPECT_EQ(read, (Data{50, 30, 430, 20}));
    EXPECT_EQ(tavlo::GetClickData(channel, &stamp, 0, read.data(), 1), TavloOk);
    EXPECT_EQ(read, (Data{30, 30, 400, 28}));  // saved set keeps the defaults
}

TEST_F(ClickCommands, GetWithCloseFailureDeliversNothing) {
    channel.closeFails = true;
    Data read{1, 2, 3, 4};
    EXPECT_EQ(tavlo::GetClickData(channel, &stamp, 0, read.data(), 0), TavloCloseFailed);
    EXPECT_EQ(read, (Data{1, 2, 3, 4}));
}

TEST_F(ClickCommands, SetWithCloseFailureHasWritten) {
    channel.closeFails = true;
    Data data{100, 100, 900, 40};
    EXPECT_EQ(tavlo::SetClickData(channel, &stamp, 0, data.data(), 0), TavloCloseFailed);
    EXPECT_EQ(model.Panel(0)->click[tavlosim::kWorkingSet][3], 90);
}

TEST_F(ClickCommands, FailedReadStopsBeforeClampingAndWriting) {
    model.FailCode(IOCTL_TAVLO_GET_CLICK_DATA, 87);
    Data data{-5, 150, 1000, 41};
    EXPECT_EQ(tavlo::SetClickData(channel, &stamp, 0, data.data(), 0), TavloBadParameter);
    EXPECT_EQ(data, (Data{-5, 150, 1000, 41}));
    EXPECT_EQ(SentCodes().back(), static_cast<std::uint32_t>(IOCTL_TAVLO_GET_CLICK_DATA));
}

TEST_F(ClickCommands, FailedWriteKeepsTheClampedValues) {
    model.FailCode(IOCTL_TAVLO_SET_CLICK_DATA, 31);
    Data data{-5, 150, 1000, 41};
    EXPECT_EQ(tavlo::SetClickData(channel, &stamp, 0, data.data(), 0), TavloFailed);
    EXPECT_EQ(data, (Data{0, 100, 900, 40}));
}

}  // namespace
}  // namespace tavlo_test

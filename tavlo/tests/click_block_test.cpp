// Click block <-> ClickData conversions, without a device.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "click_block.h"

namespace {

using Block = std::array<std::uint8_t, 7>;
using Data = std::array<std::int16_t, 4>;

struct ToDataCase {
    Block block;
    Data data;
};

class BlockToData : public ::testing::TestWithParam<ToDataCase> {};

TEST_P(BlockToData, ClampsEachByteIntoItsRange) {
    Data out{};
    tavlo::ClickBlockToData(GetParam().block.data(), out.data());
    EXPECT_EQ(out, GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockToData,
    ::testing::Values(ToDataCase{{0x05, 0, 0, 0x03, 0, 0x0F, 0x0B}, {100, 100, 200, 20}},
                      ToDataCase{{12, 15, 0x21, 40, 0x06, 3, 3}, {30, 30, 400, 28}},
                      ToDataCase{{8, 0, 0, 20, 0, 0, 0}, {0, 0, 200, 20}},
                      ToDataCase{{18, 0, 0, 90, 0, 10, 10}, {100, 100, 900, 40}},
                      ToDataCase{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {100, 100, 900, 40}}),
    [](const ::testing::TestParamInfo<ToDataCase>& row) { return "Row" + std::to_string(row.index); });

struct ToBlockCase {
    Data given;
    Data clamped;
    Block block;  // bytes 2 and 4 from the current block {.., 0xAB, .., 0xCD, ..}
};

class DataToBlock : public ::testing::TestWithParam<ToBlockCase> {};

TEST_P(DataToBlock, ClampsThenTruncatesToDeviceSteps) {
    Data data = GetParam().given;
    tavlo::ClampClickData(data.data());
    EXPECT_EQ(data, GetParam().clamped);
    const Block current{1, 2, 0xAB, 4, 0xCD, 6, 7};
    Block out{};
    tavlo::ClickDataToBlock(data.data(), current.data(), out.data());
    EXPECT_EQ(out, GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(
    Data, DataToBlock,
    ::testing::Values(ToBlockCase{{-5, 150, 1000, 41}, {0, 100, 900, 40}, {18, 23, 0xAB, 90, 0xCD, 0, 10}},
                      ToBlockCase{{55, 0, 200, 21}, {55, 0, 200, 21}, {8, 10, 0xAB, 20, 0xCD, 5, 0}},
                      ToBlockCase{{-32768, 32767, -1, -32768}, {0, 100, 200, 20}, {8, 10, 0xAB, 20, 0xCD, 0, 10}},
                      ToBlockCase{{99, 19, 899, 39}, {99, 19, 899, 39}, {17, 22, 0xAB, 89, 0xCD, 9, 1}}),
    [](const ::testing::TestParamInfo<ToBlockCase>& row) { return "Row" + std::to_string(row.index); });

}  // namespace

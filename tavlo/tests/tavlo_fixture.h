// Fixture for the command tests: a simulated driver with two panels, an
// in-process channel to it, and a caller stamp that is up to date.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device_model.h"
#include "model_channel.h"
#include "tavlo_commands.h"

namespace tavlo_test {

struct SentRequest {
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::uint32_t outSize;
};

class TavloCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.AttachPanel(0x11, 0x0105);
        model.AttachPanel(0x22, 0x0207);
        stamp = model.Stamp();
        model.ClearLog();
    }
    // Every opened handle must be closed again, on every path.
    void TearDown() override { EXPECT_EQ(channel.OpenHandles(), 0); }

    std::vector<SentRequest> Sent() const {
        std::vector<SentRequest> sent;
        for (std::uint32_t i = 0; i < model.LogSize(); ++i) {
            const tavlosim::LogEntry& e = model.LogAt(i);
            sent.push_back({e.code, std::vector<std::uint8_t>(e.in, e.in + e.inSize), e.outSize});
        }
        return sent;
    }
    std::vector<std::uint32_t> SentCodes() const {
        std::vector<std::uint32_t> codes;
        for (const SentRequest& r : Sent()) codes.push_back(r.code);
        return codes;
    }
    // Makes the driver's stamp differ from the caller's.
    void MakeStampStale() { stamp = static_cast<std::uint16_t>(model.Stamp() + 7); }

    tavlosim::DeviceModel model;
    tavlosim::ModelChannel channel{model};
    std::uint16_t stamp = 0;
};

}  // namespace tavlo_test

// A DeviceChannel that reaches the simulated device model in-process, for
// native tests of everything above the device channel. It can also play a
// missing device and a failing CloseHandle, and it counts handles so tests
// can prove that every opened handle is closed again.
#pragma once

#include <cstdint>
#include <functional>

#include "device_channel.h"
#include "device_model.h"

namespace tavlosim {

class ModelChannel final : public tavlo::DeviceChannel {
public:
    explicit ModelChannel(DeviceModel& model) : model_(model) {}

    tavlo::DeviceHandle Open() override {
        if (deviceMissing) return tavlo::kInvalidDeviceHandle;
        ++opened_;
        return static_cast<tavlo::DeviceHandle>(0x40 + opened_);
    }

    bool Control(tavlo::DeviceHandle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t* bytesReturned) override {
        // Like DeviceIoControl on a METHOD_BUFFERED request: the driver works
        // on a copy, and nothing reaches the caller's buffer on failure.
        std::uint8_t reply[64] = {};
        std::uint32_t returned = 0;
        lastError_ = outSize > sizeof reply ? kErrorInvalidParameter
                                            : model_.Handle(code, static_cast<const std::uint8_t*>(in), inSize,
                                                            outSize ? reply : nullptr, outSize, &returned);
        if (afterRequest) afterRequest(code);
        if (lastError_ != 0) return false;
        // A driver may overstate its reply's length: at most the buffer's
        // size reaches the caller, and the count goes on as the driver gave
        // it, so that the library sees the overstatement.
        const std::uint32_t copied = returned < outSize ? returned : outSize;
        for (std::uint32_t i = 0; i < copied; ++i) static_cast<std::uint8_t*>(out)[i] = reply[i];
        *bytesReturned = returned;
        return true;
    }

    std::uint32_t LastError() override { return lastError_; }

    bool Close(tavlo::DeviceHandle) override {
        ++closed_;
        return !closeFails;
    }

    int OpenHandles() const { return opened_ - closed_; }
    int Opened() const { return opened_; }

    bool deviceMissing = false;
    bool closeFails = false;
    // Runs after the driver answered each request: lets a test change the
    // driver between two requests of one call sequence.
    std::function<void(std::uint32_t code)> afterRequest;

private:
    DeviceModel& model_;
    std::uint32_t lastError_ = 0;
    int opened_ = 0;
    int closed_ = 0;
};

}  // namespace tavlosim

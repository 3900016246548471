// Client of the simulated driver's control side: typed calls over a
// transport that carries the private control requests (DeviceIoControl on
// \\.\TavloSimControl under Windows, the model itself in native tests).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavlosim {

class ControlTransport {
public:
    // Sends one control request; returns 0 or the Win32 error.
    virtual std::uint32_t Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                               std::uint32_t outSize, std::uint32_t* returned) = 0;

protected:
    ~ControlTransport() = default;
};

struct DriverInfo {
    std::uint16_t stamp = 0;
    int panels = 0;
    int startup = 0;
    int clickButton = 0;
    int onceFlag = 0;
    int onceButton = 0;
    bool plugged = false;
    std::uint32_t requests = 0;
    std::uint32_t logSize = 0;
};

struct PanelInfo {
    int index = 0;
    int id = 0;
    int firmware = 0;
    int pointdata = 0;
    int touched = 0;
    int led = 0;
    std::array<std::int16_t, 4> calibration[2] = {};
    std::array<std::uint8_t, 7> click[2] = {};
    int sound[2] = {};
};

struct RequestInfo {
    std::uint32_t sequence = 0;
    std::uint32_t code = 0;
    std::vector<std::uint8_t> in;
    std::uint32_t outSize = 0;
    std::uint32_t error = 0;
};

class SimControl {
public:
    explicit SimControl(ControlTransport& transport) : transport_(transport) {}

    // Each returns 0 or the Win32 error of the control request.
    std::uint32_t Reset();
    std::uint32_t Attach(std::uint8_t id, std::uint16_t firmware, int* index);
    std::uint32_t Remove(std::uint8_t panel);
    std::uint32_t SetTouched(std::uint8_t panel, bool touched);
    std::uint32_t SetPointdata(std::uint8_t panel, bool enabled);
    std::uint32_t FailNext(std::uint32_t error);
    std::uint32_t FailCode(std::uint32_t code, std::uint32_t error);
    std::uint32_t OverrideReply(std::uint32_t code, const std::vector<std::uint8_t>& bytes, bool persistent);
    std::uint32_t ClearFaults();
    std::uint32_t ClearLog();
    std::uint32_t Unplug();
    std::uint32_t Replug();
    std::uint32_t GetDriver(DriverInfo* info);
    std::uint32_t GetPanel(std::uint8_t panel, PanelInfo* info);
    std::uint32_t GetLog(std::vector<RequestInfo>* log);

private:
    std::uint32_t Simple(std::uint32_t code, const std::vector<std::uint8_t>& in = {});
    ControlTransport& transport_;
};

// Human-readable and one-line-per-item renderings of the state and log.
std::string DescribeDriver(const DriverInfo& info, bool machine);
std::string DescribePanel(const PanelInfo& info, bool machine);
std::string DescribeRequest(const RequestInfo& info, bool machine);

}  // namespace tavlosim

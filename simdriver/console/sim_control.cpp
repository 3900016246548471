#include "sim_control.h"

#include <cstdarg>
#include <cstdio>

#include "byte_order.h"
#include "control_protocol.h"

namespace tavlosim {
namespace {

using tavlo::GetLe16;
using tavlo::GetLe32;

void AppendLe32(std::vector<std::uint8_t>& to, std::uint32_t value) {
    std::uint8_t bytes[4];
    tavlo::PutLe32(bytes, value);
    to.insert(to.end(), bytes, bytes + 4);
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

template <typename Array>
std::string Join(const Array& values, const char* separator) {
    std::string text;
    for (const auto& value : values) {
        if (!text.empty()) text += separator;
        text += std::to_string(static_cast<int>(value));
    }
    return text;
}

}  // namespace

std::uint32_t SimControl::Simple(std::uint32_t code, const std::vector<std::uint8_t>& in) {
    std::uint32_t returned = 0;
    return transport_.Send(code, in.empty() ? nullptr : in.data(), static_cast<std::uint32_t>(in.size()), nullptr, 0,
                           &returned);
}

std::uint32_t SimControl::Reset() { return Simple(kCtlReset); }

std::uint32_t SimControl::Attach(std::uint8_t id, std::uint16_t firmware, int* index) {
    const std::uint8_t in[3] = {id, static_cast<std::uint8_t>(firmware & 0xFF),
                                static_cast<std::uint8_t>(firmware >> 8)};
    std::uint8_t out = 0;
    std::uint32_t returned = 0;
    const std::uint32_t error = transport_.Send(kCtlAttach, in, 3, &out, 1, &returned);
    if (error == 0 && index != nullptr) *index = out;
    return error;
}

std::uint32_t SimControl::Remove(std::uint8_t panel) { return Simple(kCtlRemove, {panel}); }
std::uint32_t SimControl::SetTouched(std::uint8_t panel, bool touched) {
    return Simple(kCtlSetTouched, {panel, static_cast<std::uint8_t>(touched ? 1 : 0)});
}
std::uint32_t SimControl::SetPointdata(std::uint8_t panel, bool enabled) {
    return Simple(kCtlSetPointdata, {panel, static_cast<std::uint8_t>(enabled ? 1 : 0)});
}
std::uint32_t SimControl::FailNext(std::uint32_t error) {
    std::vector<std::uint8_t> in;
    AppendLe32(in, error);
    return Simple(kCtlFailNext, in);
}
std::uint32_t SimControl::FailCode(std::uint32_t code, std::uint32_t error) {
    std::vector<std::uint8_t> in;
    AppendLe32(in, code);
    AppendLe32(in, error);
    return Simple(kCtlFailCode, in);
}
std::uint32_t SimControl::OverrideReply(std::uint32_t code, const std::vector<std::uint8_t>& bytes, bool persistent) {
    if (bytes.size() > static_cast<std::size_t>(kMaxReplyBytes)) return kErrorInvalidParameter;
    std::vector<std::uint8_t> in;
    AppendLe32(in, code);
    in.push_back(persistent ? 1 : 0);
    in.push_back(static_cast<std::uint8_t>(bytes.size()));
    in.insert(in.end(), bytes.begin(), bytes.end());
    return Simple(kCtlOverride, in);
}
std::uint32_t SimControl::ClearFaults() { return Simple(kCtlClearFaults); }
std::uint32_t SimControl::ClearLog() { return Simple(kCtlClearLog); }
std::uint32_t SimControl::Unplug() { return Simple(kCtlUnplug); }
std::uint32_t SimControl::Replug() { return Simple(kCtlReplug); }

std::uint32_t SimControl::GetDriver(DriverInfo* info) {
    std::uint8_t out[kStateReplySize];
    std::uint32_t returned = 0;
    const std::uint32_t error = transport_.Send(kCtlGetState, nullptr, 0, out, kStateReplySize, &returned);
    if (error != 0) return error;
    if (returned != kStateReplySize) return kErrorInvalidParameter;
    info->stamp = GetLe16(out);
    info->panels = out[2];
    info->startup = out[3];
    info->clickButton = out[4];
    info->onceFlag = out[5];
    info->onceButton = out[6];
    info->plugged = out[7] != 0;
    info->requests = GetLe32(out + 8);
    info->logSize = GetLe32(out + 12);
    return 0;
}

std::uint32_t SimControl::GetPanel(std::uint8_t panel, PanelInfo* info) {
    std::uint8_t out[kPanelReplySize];
    std::uint32_t returned = 0;
    const std::uint32_t error = transport_.Send(kCtlGetPanel, &panel, 1, out, kPanelReplySize, &returned);
    if (error != 0) return error;
    if (returned != kPanelReplySize) return kErrorInvalidParameter;
    info->index = panel;
    info->id = out[0];
    info->pointdata = out[1];
    info->touched = out[2];
    info->led = out[3];
    info->firmware = GetLe16(out + 4);
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < 4; ++i)
            info->calibration[set][i] = static_cast<std::int16_t>(GetLe16(out + 6 + 8 * set + 2 * i));
        for (int i = 0; i < 7; ++i) info->click[set][i] = out[22 + 7 * set + i];
        info->sound[set] = out[36 + set];
    }
    return 0;
}

std::uint32_t SimControl::GetLog(std::vector<RequestInfo>* log) {
    DriverInfo driver;
    std::uint32_t error = GetDriver(&driver);
    if (error != 0) return error;
    log->clear();
    for (std::uint32_t index = 0; index < driver.logSize; ++index) {
        std::uint8_t in[4] = {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
                              static_cast<std::uint8_t>(index >> 16), static_cast<std::uint8_t>(index >> 24)};
        std::uint8_t out[kLogReplySize];
        std::uint32_t returned = 0;
        error = transport_.Send(kCtlGetLog, in, 4, out, kLogReplySize, &returned);
        if (error != 0) return error;
        RequestInfo item;
        item.sequence = GetLe32(out);
        item.code = GetLe32(out + 4);
        const std::uint32_t inSize = GetLe32(out + 8);
        item.outSize = GetLe32(out + 12);
        item.error = GetLe32(out + 16);
        const std::uint32_t kept = inSize < static_cast<std::uint32_t>(kLoggedInputBytes) ? inSize : kLoggedInputBytes;
        item.in.assign(out + 20, out + 20 + kept);
        log->push_back(item);
    }
    return 0;
}

std::string DescribeDriver(const DriverInfo& d, bool machine) {
    if (machine) {
        return Format(
            "driver stamp=%u panels=%d plugged=%d startup=%d clickbutton=%d onceflag=%d oncebutton=%d "
            "requests=%u logsize=%u",
            d.stamp, d.panels, d.plugged ? 1 : 0, d.startup, d.clickButton, d.onceFlag, d.onceButton, d.requests,
            d.logSize);
    }
    return Format(
        "driver: %s, stamp 0x%04X, %d panel(s); start-up mode %d, click button %d, once flag %d, "
        "once button %d; %u requests answered",
        d.plugged ? "plugged in" : "UNPLUGGED (\\\\.\\Tavlo missing)", d.stamp, d.panels, d.startup, d.clickButton,
        d.onceFlag, d.onceButton, d.requests);
}

std::string DescribePanel(const PanelInfo& p, bool machine) {
    if (machine) {
        return Format(
            "panel index=%d id=%d firmware=%d pointdata=%d touched=%d led=%d cal=%s calsaved=%s click=%s "
            "clicksaved=%s sound=%d soundsaved=%d",
            p.index, p.id, p.firmware, p.pointdata, p.touched, p.led, Join(p.calibration[0], ",").c_str(),
            Join(p.calibration[1], ",").c_str(), Join(p.click[0], ",").c_str(), Join(p.click[1], ",").c_str(),
            p.sound[0], p.sound[1]);
    }
    return Format(
        "panel %d: id %d (0x%02X), firmware 0x%04X, point data %s, %s, LED %d\n"
        "  calibration  working %s   saved %s\n"
        "  click block  working %s   saved %s\n"
        "  click sound  working %s   saved %s",
        p.index, p.id, p.id, p.firmware, p.pointdata ? "enabled" : "disabled", p.touched ? "TOUCHED" : "not touched",
        p.led, Join(p.calibration[0], " ").c_str(), Join(p.calibration[1], " ").c_str(), Join(p.click[0], " ").c_str(),
        Join(p.click[1], " ").c_str(), p.sound[0] ? "on" : "off", p.sound[1] ? "on" : "off");
}

std::string DescribeRequest(const RequestInfo& r, bool machine) {
    std::string bytes;
    for (std::uint8_t b : r.in) bytes += Format(bytes.empty() ? "%02x" : machine ? ",%02x" : " %02x", b);
    if (machine) {
        return Format("request seq=%u code=0x%06X in=%s out=%u error=%u", r.sequence, r.code, bytes.c_str(), r.outSize,
                      r.error);
    }
    return Format("#%-5u 0x%06X  in [%s]  out %u bytes  %s", r.sequence, r.code, bytes.c_str(), r.outSize,
                  r.error == 0 ? "ok" : Format("failed with error %u", r.error).c_str());
}

}  // namespace tavlosim

#include "panel_fields.h"

#include "brimol.h"

namespace cordane {

int ModePosition(std::int32_t mode) {
    if (mode <= TouchDisable) return kDisablePosition;
    if (mode == TouchInterlock) return kInterlockPosition;
    if (mode == TouchSupervisor) return kSupervisorPosition;
    return kNoMode;
}

std::int32_t ModeOfPosition(int position) {
    switch (position) {
    case kInterlockPosition:
        return TouchInterlock;
    case kSupervisorPosition:
        return TouchSupervisor;
    default:
        return TouchDisable;
    }
}

std::optional<std::uint32_t> ParseTimeOut(const std::string& text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    if (begin == end) return std::nullopt;

    // Digits only; the value is capped while it is read, so a long run of
    // digits cannot overflow.
    std::uint32_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
        if (value > kMaxTimeOut) return std::nullopt;
    }
    if (value < kMinTimeOut) return std::nullopt;
    return value;
}

std::string TimeOutText(std::uint32_t seconds) { return std::to_string(seconds); }

}  // namespace cordane

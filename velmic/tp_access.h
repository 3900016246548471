// TpAccess: Velmic's only path to the touch panels. It finds the active
// panel (the lowest-numbered panel whose point data output is enabled),
// reads and writes that panel's four click parameters and its touch-down
// sound flag through TavloIoctl, and turns the library's statuses into
// the Result the windows act on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tavlo_ioctl.h"

namespace velmic {

// What every call of TpAccess returns, with the module's own numbers.
enum class Result : std::int16_t {
    kOk = 0,
    // Panels are attached, none is enabled (GetActivePanel only).
    kNoActivePanel = -1,
    // No panel: none attached, the index is out of range, or the driver
    // reports the panel missing (status 2 or 5); no message.
    kNoPanelDevice = -2,
    // Any other status; the "Debug" box naming the call has been shown.
    kCritical = -3,
};

// A read's result and the value read; the value counts only with kOk.
template <typename T>
struct Reading {
    Result result = Result::kOk;
    T value{};
    bool Ok() const { return result == Result::kOk; }
};

// The four click parameters in the order of the library's ClickData.
struct ClickSettings {
    std::int16_t down = 0;   // touch-down chatter cancel, 0-100
    std::int16_t up = 0;     // touch-up chatter cancel, 0-100
    std::int16_t speed = 0;  // double-click time in ms, 200-1000
    std::int16_t area = 0;   // double-click area, 20-40
    bool operator==(const ClickSettings& other) const {
        return down == other.down && up == other.up && speed == other.speed && area == other.area;
    }
    bool operator!=(const ClickSettings& other) const { return !(*this == other); }
};

// Limits each value to the range the module accepts.
ClickSettings LimitSettings(ClickSettings values);

// Where the diagnostic box appears: a modal box titled "Debug" with the
// call's tag, one space and the status, OK only, no icon.
class DebugView {
public:
    virtual void ShowDebug(const std::string& tag, TavloStatus status) = 0;

protected:
    ~DebugView() = default;
};

class TpAccess {
public:
    TpAccess(tavlo::TavloIoctl& library, DebugView& view) : library_(library), view_(view) {}

    // Finds the active panel and makes it the one the settings calls
    // address. A panel attached or removed between two calls of one search
    // (status 3) makes it search once more before the status counts. The
    // value is the active panel's identifier.
    Reading<std::uint8_t> GetActivePanel();
    // Makes the panel with this identifier the one the settings calls
    // address, trying `preferredIndex` first: kNoPanelDevice when no
    // attached panel has the identifier.
    Result FindPanel(std::uint8_t panelId, std::int16_t preferredIndex);

    // `alt`: the saved set; otherwise the working set.
    Reading<ClickSettings> GetSettings(bool alt);
    Result SetSettings(ClickSettings values, bool alt);
    Reading<bool> GetClickSound(bool alt);
    Result SetClickSound(bool on, bool alt);

    // While muted, statuses that would show the diagnostic box give
    // kCritical silently: once a failure has been reported and the program
    // is on its way out, the calls that tidy up do not pile further boxes
    // on it.
    void MuteDiagnostics(bool muted) { muted_ = muted; }

    std::uint16_t ChangeStamp = 0;
    std::int16_t ActivePanelIndex = 0;

private:
    // None when the panel list changed during the search (not on the last try).
    std::optional<Reading<std::uint8_t>> SearchActivePanel(bool lastTry);
    Result Check(TavloStatus status, const char* tag);
    std::uint32_t Panel() const { return static_cast<std::uint8_t>(ActivePanelIndex); }

    tavlo::TavloIoctl& library_;
    DebugView& view_;
    bool muted_ = false;
};

}  // namespace velmic

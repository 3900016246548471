// The console's access to the driver: every call goes through the Tavlo
// exports with one change stamp, a call that meets a changed panel set is
// repeated once with the refreshed stamp, and a failure is reported on
// `err` with the status's name and meaning.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tavlo.h"

namespace tavloctl {

// The two sets a panel keeps of its calibration, click settings and sound.
enum PanelSet { kWorking = 0, kSaved = 1 };

struct SetValues {
    std::int16_t calibration[4] = {};
    std::int16_t click[4] = {};  // down cancel, up cancel, double-click time, area
    std::uint8_t sound = 0;
};

// What a backup keeps of one panel.
struct PanelSettings {
    SetValues sets[2];  // [kWorking], [kSaved]
    std::uint8_t led = 0;
};

struct DriverModes {
    std::uint8_t clickMode = 0;
    std::uint8_t onceFlag = 0;
    std::uint8_t onceButton = 0;
};

class Device {
public:
    explicit Device(std::ostream& err) : err_(err) {}

    // Reports a failed call; true when `status` is success.
    bool Check(const char* call, TavloStatus status);

    // Runs a panel command; after a changed panel set (the library has
    // refreshed the stamp) it is repeated once.
    template <typename Call>
    bool PanelCall(const char* name, Call call) {
        if (!stampTaken_) {
            if (!Check("TavloNeedUpdate", TavloNeedUpdate(&stamp_))) return false;
            stampTaken_ = true;
        }
        TavloStatus status = call();
        if (status == TavloPanelsChanged) status = call();
        return Check(name, status);
    }

    std::uint16_t* stamp() { return &stamp_; }

    // The panel count and each panel's identifier, in panel order.
    bool Identifiers(std::vector<std::uint8_t>* ids);

    // Turns a panel argument into a panel number: a number (decimal or
    // 0x-hex) or "id:N", the one attached panel whose identifier is N.
    // Returns 0 with *panel set, 2 for text that is neither (nothing said),
    // 1 after a reported failure (no or several panels with the identifier,
    // or a failed call).
    int Resolve(const std::string& text, std::uint32_t* panel);

    bool ReadSet(std::uint32_t panel, PanelSet set, SetValues* values);
    bool ReadSettings(std::uint32_t panel, PanelSettings* settings);
    bool WriteCalibration(std::uint32_t panel, PanelSet set, const std::int16_t values[4]);
    bool WriteClick(std::uint32_t panel, PanelSet set, const std::int16_t values[4]);
    bool WriteSound(std::uint32_t panel, PanelSet set, std::uint8_t on);
    bool WriteLed(std::uint32_t panel, std::uint8_t led);
    bool ReadModes(DriverModes* modes);

    std::ostream& err() { return err_; }

private:
    std::ostream& err_;
    std::uint16_t stamp_ = 0;
    bool stampTaken_ = false;
};

// Whether two arrays of calibration or click values are equal.
bool SameValues(const std::int16_t a[4], const std::int16_t b[4]);

// Parses a decimal or 0x-prefixed number within [low, high]; a leading
// zero does not make it octal.
bool ParseNumber(const std::string& text, long long low, long long high, long long* value);

}  // namespace tavloctl

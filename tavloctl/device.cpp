#include "device.h"

#include <algorithm>
#include <cstdlib>

#include "status_text.h"

namespace tavloctl {

bool ParseNumber(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty() || text[0] == ' ' || text[0] == '+') return false;
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (end == nullptr || *end != '\0' || end == text.c_str() || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool SameValues(const std::int16_t a[4], const std::int16_t b[4]) { return std::equal(a, a + 4, b); }

bool Device::Check(const char* call, TavloStatus status) {
    if (status == TavloOk) return true;
    err_ << "tavloctl: " << call << " failed: " << tavlo::StatusName(status) << " (" << status
         << "): " << tavlo::StatusMeaning(status) << "\n";
    return false;
}

bool Device::Identifiers(std::vector<std::uint8_t>* ids) {
    ids->clear();
    std::uint8_t count = 0;
    if (!Check("TavloNeedUpdate", TavloNeedUpdate(&stamp_))) return false;
    stampTaken_ = true;
    if (!Check("TavloGetDevices", TavloGetDevices(&count))) return false;
    for (std::uint32_t panel = 0; panel < count; ++panel) {
        std::uint8_t id = 0;
        if (!PanelCall("TavloGetPanelId", [&] { return TavloGetPanelId(&stamp_, panel, &id); })) return false;
        ids->push_back(id);
    }
    return true;
}

int Device::Resolve(const std::string& text, std::uint32_t* panel) {
    long long value = 0;
    if (text.compare(0, 3, "id:") != 0) {
        if (!ParseNumber(text, 0, 255, &value)) return 2;
        *panel = static_cast<std::uint32_t>(value);
        return 0;
    }
    if (!ParseNumber(text.substr(3), 0, 255, &value)) return 2;
    std::vector<std::uint8_t> ids;
    if (!Identifiers(&ids)) return 1;
    int found = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != value) continue;
        *panel = static_cast<std::uint32_t>(i);
        ++found;
    }
    if (found == 1) return 0;
    if (found == 0) {
        err_ << "tavloctl: no attached panel has identifier " << value << "\n";
    } else {
        err_ << "tavloctl: " << found << " attached panels have identifier " << value
             << "; name the panel by its number\n";
    }
    return 1;
}

bool Device::ReadSet(std::uint32_t panel, PanelSet set, SetValues* v) {
    const std::uint32_t alt = set;
    return PanelCall("TavloGetCalibrationData",
                     [&] { return TavloGetCalibrationData(&stamp_, panel, v->calibration, alt); }) &&
           PanelCall("TavloGetClickData", [&] { return TavloGetClickData(&stamp_, panel, v->click, alt); }) &&
           PanelCall("TavloGetClickSound", [&] { return TavloGetClickSound(&stamp_, panel, &v->sound, alt); });
}

bool Device::ReadSettings(std::uint32_t panel, PanelSettings* s) {
    return ReadSet(panel, kWorking, &s->sets[kWorking]) && ReadSet(panel, kSaved, &s->sets[kSaved]) &&
           PanelCall("TavloGetPanelLed", [&] { return TavloGetPanelLed(&stamp_, panel, &s->led); });
}

bool Device::WriteCalibration(std::uint32_t panel, PanelSet set, const std::int16_t values[4]) {
    return PanelCall("TavloSetCalibrationData",
                     [&] { return TavloSetCalibrationData(&stamp_, panel, values, static_cast<std::uint32_t>(set)); });
}

bool Device::WriteClick(std::uint32_t panel, PanelSet set, const std::int16_t values[4]) {
    // The library clamps the caller's array in place: it gets a copy.
    std::int16_t copy[4] = {values[0], values[1], values[2], values[3]};
    return PanelCall("TavloSetClickData",
                     [&] { return TavloSetClickData(&stamp_, panel, copy, static_cast<std::uint32_t>(set)); });
}

bool Device::WriteSound(std::uint32_t panel, PanelSet set, std::uint8_t on) {
    return PanelCall("TavloSetClickSound",
                     [&] { return TavloSetClickSound(&stamp_, panel, on, static_cast<std::uint32_t>(set)); });
}

bool Device::WriteLed(std::uint32_t panel, std::uint8_t led) {
    return PanelCall("TavloSetPanelLed", [&] { return TavloSetPanelLed(&stamp_, panel, led); });
}

bool Device::ReadModes(DriverModes* m) {
    return Check("TavloGetClickMode", TavloGetClickMode(&m->clickMode)) &&
           Check("TavloGetClickOnceMode", TavloGetClickOnceMode(&m->onceFlag, &m->onceButton));
}

}  // namespace tavloctl

#include "tp_access.h"

#include <algorithm>

namespace velmic {
namespace {

// The alt argument: a byte with all bits set for the saved set, 0 for the
// working set.
std::uint32_t AltArgument(bool alt) { return alt ? 0xFFu : 0u; }

std::int16_t Limit(std::int16_t value, std::int16_t low, std::int16_t high) { return std::clamp(value, low, high); }

}  // namespace

ClickSettings LimitSettings(ClickSettings values) {
    return {Limit(values.down, 0, 100), Limit(values.up, 0, 100), Limit(values.speed, 200, 1000),
            Limit(values.area, 20, 40)};
}

// The status rule: 0 goes on, 2 and 5 mean no panel, anything else is
// reported in the diagnostic box.
std::int16_t TpAccess::Check(TavloStatus status, const char* tag) {
    if (status == TavloOk) return kOk;
    if (status == TavloNoPanel || status == TavloBadPanel) return kNoPanelDevice;
    if (!muted_) view_.ShowDebug(tag, status);
    return kCritical;
}

std::int16_t TpAccess::GetActivePanel(std::int16_t* panelId) {
    Search outcome = Search::kDone;
    const std::int16_t result = SearchActivePanel(panelId, false, &outcome);
    if (outcome == Search::kDone) return result;
    // The library has refreshed the stamp; the panel list is read afresh.
    return SearchActivePanel(panelId, true, &outcome);
}

std::int16_t TpAccess::SearchActivePanel(std::int16_t* panelId, bool lastTry, Search* outcome) {
    *outcome = Search::kDone;
    ActivePanelIndex = 0;
    std::int16_t result = Check(library_.NeedUpdate(&ChangeStamp), "GetActivePanel(1):");
    if (result != kOk) return result;

    // Only the count matters: a failed call leaves 0, which means no panel.
    std::uint8_t count = 0;
    library_.GetDevices(&count);
    if (count == 0) return kNoPanelDevice;

    // A stale stamp on the first try means the panel list changed between
    // two calls of this search: routine, so the search starts over.
    const auto changed = [&](TavloStatus status) {
        if (status != TavloPanelsChanged || lastTry) return false;
        *outcome = Search::kPanelsChanged;
        return true;
    };
    std::uint8_t index = 0;
    for (;; ++index) {
        if (index == count) return kNoActivePanel;
        std::uint8_t enabled = 0;
        const TavloStatus status = library_.GetPointdataEnable(&ChangeStamp, index, &enabled);
        if (changed(status)) return kCritical;
        result = Check(status, "GetActivePanel(2):");
        if (result != kOk) return result;
        if (enabled != 0) break;
    }

    ActivePanelIndex = index;
    std::uint8_t id = 0;
    const TavloStatus status = library_.GetPanelId(&ChangeStamp, index, &id);
    if (changed(status)) return kCritical;
    result = Check(status, "GetActivePanel(3):");
    if (result != kOk) return result;
    *panelId = id;
    return kOk;
}

std::int16_t TpAccess::FindPanel(std::uint8_t panelId, std::int16_t preferredIndex) {
    std::int16_t result = Check(library_.NeedUpdate(&ChangeStamp), "FindPanel(1):");
    if (result != kOk) return result;
    std::uint8_t count = 0;
    library_.GetDevices(&count);

    // Asks one panel for its identifier; true when it is the one sought.
    bool found = false;
    const auto ask = [&](int index) {
        std::uint8_t id = 0;
        result = Check(library_.GetPanelId(&ChangeStamp, static_cast<std::uint32_t>(index), &id), "FindPanel(2):");
        found = result == kOk && id == panelId;
        if (found) ActivePanelIndex = static_cast<std::int16_t>(index);
        return result != kOk || found;
    };
    // The number it had is the likely one; otherwise every number in turn.
    const bool preferredValid = preferredIndex >= 0 && preferredIndex < count;
    if (preferredValid && ask(preferredIndex)) return result;
    for (int index = 0; index < count; ++index) {
        if (preferredValid && index == preferredIndex) continue;
        if (ask(index)) return result;
    }
    return kNoPanelDevice;
}

std::int16_t TpAccess::GetSettings(ClickSettings* values, bool alt) {
    std::int16_t data[4] = {};
    const std::int16_t result = Check(library_.GetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)),
                                      "GetSettings(1):");
    if (result != kOk) return result;
    *values = LimitSettings({data[TavloDownCancel], data[TavloUpCancel], data[TavloDblClickTime],
                             data[TavloDblClickArea]});
    return kOk;
}

std::int16_t TpAccess::SetSettings(ClickSettings values, bool alt) {
    // The read first, as the driver expects of a write; its values are not
    // used.
    std::int16_t data[4] = {};
    std::int16_t result =
        Check(library_.GetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)), "SetSettings(1):");
    if (result != kOk) return result;
    const ClickSettings limited = LimitSettings(values);
    data[TavloDownCancel] = limited.down;
    data[TavloUpCancel] = limited.up;
    data[TavloDblClickTime] = limited.speed;
    data[TavloDblClickArea] = limited.area;
    result = Check(library_.SetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)), "SetSettings(2):");
    return result;
}

std::int16_t TpAccess::GetClickSound(std::int16_t* on, bool alt) {
    std::uint8_t flag = 0;
    const std::int16_t result =
        Check(library_.GetClickSound(&ChangeStamp, Panel(), &flag, AltArgument(alt)), "GetClickSound(1):");
    if (result == kOk) *on = flag;
    return result;
}

std::int16_t TpAccess::SetClickSound(bool on, bool alt) {
    return Check(library_.SetClickSound(&ChangeStamp, Panel(), on ? 1u : 0u, AltArgument(alt)), "SetClickSound(1):");
}

}  // namespace velmic

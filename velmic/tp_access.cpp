#include "tp_access.h"

#include <algorithm>
#include <cstddef>

namespace velmic {
namespace {

// The alt argument: a byte with all bits set for the saved set, 0 for the
// working set.
std::uint32_t AltArgument(bool alt) { return alt ? 0xFFu : 0u; }

// The library's ClickData: four values, indexed by TavloDownCancel ...
// TavloDblClickArea.
constexpr std::size_t kClickDataValues = 4;
using ClickData = std::int16_t[kClickDataValues];

std::int16_t Limit(std::int16_t value, std::int16_t low, std::int16_t high) { return std::clamp(value, low, high); }

}  // namespace

ClickSettings LimitSettings(ClickSettings values) {
    return {Limit(values.down, 0, 100), Limit(values.up, 0, 100), Limit(values.speed, 200, 1000),
            Limit(values.area, 20, 40)};
}

// The status rule: 0 goes on, 2 and 5 mean no panel, anything else is
// reported in the diagnostic box.
Result TpAccess::Check(TavloStatus status, const char* tag) {
    if (status == TavloOk) return Result::kOk;
    if (status == TavloNoPanel || status == TavloBadPanel) return Result::kNoPanelDevice;
    if (!muted_) view_.ShowDebug(tag, status);
    return Result::kCritical;
}

Reading<std::uint8_t> TpAccess::GetActivePanel() {
    if (auto found = SearchActivePanel(false)) return *found;
    // The library has refreshed the stamp; the panel list is read afresh.
    return *SearchActivePanel(true);
}

std::optional<Reading<std::uint8_t>> TpAccess::SearchActivePanel(bool lastTry) {
    ActivePanelIndex = 0;
    Result result = Check(library_.NeedUpdate(&ChangeStamp), "GetActivePanel(1):");
    if (result != Result::kOk) return Reading<std::uint8_t>{result};

    // Only the count matters: a failed call leaves 0, which means no panel.
    std::uint8_t count = 0;
    library_.GetDevices(&count);
    if (count == 0) return Reading<std::uint8_t>{Result::kNoPanelDevice};

    // A stale stamp on the first try means the panel list changed between
    // two calls of this search: routine, so the search starts over.
    const auto changed = [lastTry](TavloStatus status) { return status == TavloPanelsChanged && !lastTry; };
    std::uint8_t index = 0;
    for (;; ++index) {
        if (index == count) return Reading<std::uint8_t>{Result::kNoActivePanel};
        std::uint8_t enabled = 0;
        const TavloStatus status = library_.GetPointdataEnable(&ChangeStamp, index, &enabled);
        if (changed(status)) return std::nullopt;
        result = Check(status, "GetActivePanel(2):");
        if (result != Result::kOk) return Reading<std::uint8_t>{result};
        if (enabled != 0) break;
    }

    ActivePanelIndex = index;
    std::uint8_t id = 0;
    const TavloStatus status = library_.GetPanelId(&ChangeStamp, index, &id);
    if (changed(status)) return std::nullopt;
    result = Check(status, "GetActivePanel(3):");
    if (result != Result::kOk) return Reading<std::uint8_t>{result};
    return Reading<std::uint8_t>{Result::kOk, id};
}

Result TpAccess::FindPanel(std::uint8_t panelId, std::int16_t preferredIndex) {
    Result result = Check(library_.NeedUpdate(&ChangeStamp), "FindPanel(1):");
    if (result != Result::kOk) return result;
    std::uint8_t count = 0;
    library_.GetDevices(&count);

    // Asks one panel for its identifier; true when it is the one sought.
    bool found = false;
    const auto ask = [&](int index) {
        std::uint8_t id = 0;
        result = Check(library_.GetPanelId(&ChangeStamp, static_cast<std::uint32_t>(index), &id), "FindPanel(2):");
        found = result == Result::kOk && id == panelId;
        if (found) ActivePanelIndex = static_cast<std::int16_t>(index);
        return result != Result::kOk || found;
    };
    // The number it had is the likely one; otherwise every number in turn.
    const bool preferredValid = preferredIndex >= 0 && preferredIndex < count;
    if (preferredValid && ask(preferredIndex)) return result;
    for (int index = 0; index < count; ++index) {
        if (preferredValid && index == preferredIndex) continue;
        if (ask(index)) return result;
    }
    return Result::kNoPanelDevice;
}

Reading<ClickSettings> TpAccess::GetSettings(bool alt) {
    ClickData data = {};
    const Result result =
        Check(library_.GetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)), "GetSettings(1):");
    if (result != Result::kOk) return {result};
    return {Result::kOk, LimitSettings({data[TavloDownCancel], data[TavloUpCancel], data[TavloDblClickTime],
                                        data[TavloDblClickArea]})};
}

Result TpAccess::SetSettings(ClickSettings values, bool alt) {
    // The read first, as the driver expects of a write; its values are not
    // used.
    ClickData data = {};
    const Result result =
        Check(library_.GetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)), "SetSettings(1):");
    if (result != Result::kOk) return result;
    const ClickSettings limited = LimitSettings(values);
    data[TavloDownCancel] = limited.down;
    data[TavloUpCancel] = limited.up;
    data[TavloDblClickTime] = limited.speed;
    data[TavloDblClickArea] = limited.area;
    return Check(library_.SetClickData(&ChangeStamp, Panel(), data, AltArgument(alt)), "SetSettings(2):");
}

Reading<bool> TpAccess::GetClickSound(bool alt) {
    std::uint8_t flag = 0;
    const Result result =
        Check(library_.GetClickSound(&ChangeStamp, Panel(), &flag, AltArgument(alt)), "GetClickSound(1):");
    if (result != Result::kOk) return {result};
    return {Result::kOk, flag != 0};
}

Result TpAccess::SetClickSound(bool on, bool alt) {
    return Check(library_.SetClickSound(&ChangeStamp, Panel(), on ? 1u : 0u, AltArgument(alt)), "SetClickSound(1):");
}

}  // namespace velmic

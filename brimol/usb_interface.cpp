// CUSBInterface: the table of attached panels, the active panel and the
// touch poll, built on the exports of TAVLO.DLL only.
#include <cstdlib>

#include "brimol.h"
#include "tavlo.h"

namespace {

// After a changed panel set (or a failed disable) SetAllPanelDisable and
// PresentTouchState rebuild the table and start over. Panels that come up
// one after another (a hub with several panels) can change the stamp more
// than once during one call, so a few rebuilds are allowed; a failure that
// is still there after the third rebuild ends the call with its status.
const int kMaxTableRebuilds = 3;

const std::int32_t kNone = -1;

std::uint32_t PanelArg(int panel) { return static_cast<std::uint32_t>(panel); }

void* Allocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

// Panels the driver reports, whether or not the table lists them: the
// table ends at four panels (and at a panel whose identifier could not be
// read), but every panel's point data counts for the interlock.
int DriverPanelCount(std::int32_t tableCount) {
    std::uint8_t count = 0;  // 0 when the driver cannot be asked
    TavloGetDevices(&count);
    return count > tableCount ? count : tableCount;
}

}  // namespace

CUSBInterface::CUSBInterface()
    : activeDevice(kNone),
      touchedDevice(kNone),
      deviceCount(0),
      panelIds{kNone, kNone, kNone, kNone, kNone},
      stamp(0),
      activeTouched(0) {}

CUSBInterface::CUSBInterface(const CUSBInterface& other) = default;
CUSBInterface& CUSBInterface::operator=(const CUSBInterface& other) = default;
CUSBInterface::~CUSBInterface() = default;

void* CUSBInterface::operator new(std::size_t size) noexcept { return Allocate(size); }
void CUSBInterface::operator delete(void* block) noexcept { std::free(block); }
void* CUSBInterface::operator new[](std::size_t size) noexcept { return Allocate(size); }
void CUSBInterface::operator delete[](void* block) noexcept { std::free(block); }

int CUSBInterface::UpdateDevices() {
    std::uint8_t count = 0;  // TavloGetDevices leaves 0 when it fails
    const int countStatus = TavloGetDevices(&count);
    const int stampStatus = TavloNeedUpdate(&stamp);

    activeDevice = kNone;
    deviceCount = count > kMaxDevices ? static_cast<std::int32_t>(kMaxDevices) : count;
    for (std::int32_t& id : panelIds) id = kNone;

    int status = 0;
    bool asked = false;
    // A panel whose identifier cannot be read ends the table there.
    for (int i = 0; i < deviceCount; ++i) {
        std::uint8_t id = 0;
        status = TavloGetPanelId(&stamp, PanelArg(i), &id);
        asked = true;
        if (status != TavloOk) {
            deviceCount = i;
            break;
        }
        panelIds[i] = id;
    }
    // The first panel whose point data is enabled is the active one.
    for (int j = 0; j < deviceCount; ++j) {
        std::uint8_t enabled = 0;
        status = TavloGetPointdataEnable(&stamp, PanelArg(j), &enabled);
        if (status != TavloOk) break;
        if (enabled != 0) {
            activeDevice = j;
            break;
        }
    }
    if (asked) return status;
    // No panel was asked: say why the table is empty.
    if (countStatus != TavloOk) return countStatus;
    if (stampStatus != TavloOk) return stampStatus;
    return TavloNoPanel;
}

int CUSBInterface::SetActiveDevice(int index) {
    if (index < 0 || index > 255) return TavloOk;  // refused, nothing changes
    if (deviceCount <= 0) {
        activeDevice = index;
        return TavloNoPanel;
    }
    // Every other panel is disabled before `index` is enabled, so that no
    // moment has two panels with point data. An index at or above
    // deviceCount disables every panel and is still recorded as active.
    for (int i = 0; i < deviceCount; ++i) {
        if (i == index) continue;
        const int status = TavloSetPointdataEnable(&stamp, PanelArg(i), 0u);
        if (status != TavloOk) return status;  // panels before i keep their new setting
    }
    if (index < deviceCount) {
        const int status = TavloSetPointdataEnable(&stamp, PanelArg(index), 1u);
        if (status != TavloOk) return status;
    }
    activeDevice = index;
    return TavloOk;
}

int CUSBInterface::SetAllPanelDisable() {
    for (int rebuilds = 0;; ++rebuilds) {
        const int panels = DriverPanelCount(deviceCount);
        int failed = TavloOk;
        int touchStatus = TavloOk;
        for (int i = 0; i < panels; ++i) {
            failed = TavloSetPointdataEnable(&stamp, PanelArg(i), 0u);
            if (failed != TavloOk) break;
            // Read the panel's touch flag once and discard it, so that a
            // touch made while the panel was enabled is not reported by
            // the next poll. A failed read is reported, but the panels
            // after this one are still disabled. A changed panel set is
            // met as a failed disable is: the read has taken the driver's
            // new stamp, so the table is rebuilt now or never.
            std::uint8_t touched = 0;
            const int status = TavloCheckTouch(&stamp, PanelArg(i), &touched);
            if (status == TavloPanelsChanged) {
                failed = status;
                break;
            }
            if (touchStatus == TavloOk) touchStatus = status;
        }
        if (failed == TavloOk) {
            activeDevice = kNone;
            if (deviceCount <= 0) return TavloNoPanel;
            return touchStatus;
        }
        if (rebuilds == kMaxTableRebuilds) return failed;
        UpdateDevices();
    }
}

int CUSBInterface::SetAllPanelEnable() {
    const int panels = DriverPanelCount(deviceCount);
    if (deviceCount <= 0 && panels <= 0) {
        activeDevice = kNone;
        return TavloNoPanel;
    }
    for (int i = 0; i < panels; ++i) {
        const int status = TavloSetPointdataEnable(&stamp, PanelArg(i), 1u);
        if (status != TavloOk) return status;
    }
    if (deviceCount <= 0) {
        activeDevice = kNone;
        return TavloNoPanel;
    }
    activeDevice = 0;
    return TavloOk;
}

int CUSBInterface::PresentTouchState() {
    for (int rebuilds = 0;; ++rebuilds) {
        activeTouched = 0;
        touchedDevice = kNone;
        if (deviceCount <= 0) return TavloNoPanel;

        int status = TavloOk;
        for (int i = 0; i < deviceCount; ++i) {
            std::uint8_t touched = 0;
            status = TavloCheckTouch(&stamp, PanelArg(i), &touched);
            if (status != TavloOk) break;
            if (i == activeDevice) {
                if (touched != 0) activeTouched = 1;
            } else if (touched != 0) {
                // Stop at the first touched other panel: every read costs a
                // device open and close, five times a second.
                touchedDevice = i;
                return TavloOk;
            }
        }
        if (status != TavloPanelsChanged || rebuilds == kMaxTableRebuilds) return status;
        UpdateDevices();
    }
}

int CUSBInterface::InitExclusiveUSB() { return TavloSetStartupMode(0u); }

int CUSBInterface::RemoveExclusiveUSB() { return TavloSetStartupMode(1u); }

#include <new>

#include "inprocess_driver.h"
#include "tavlo.h"
#include "tavlo_commands.h"

namespace tavlosim {

namespace {
InProcessDriver* g_driver = nullptr;
}

InProcessDriver& TheInProcessDriver() {
    if (g_driver == nullptr) g_driver = new InProcessDriver();
    return *g_driver;
}

void ResetInProcessDriver() {
    delete g_driver;
    g_driver = new InProcessDriver();
}

}  // namespace tavlosim

namespace {
tavlo::DeviceChannel& Channel() { return tavlosim::TheInProcessDriver().channel; }
}  // namespace

extern "C" {

TavloStatus TavloGetVersion(uint16_t* version) { return tavlo::GetVersion(Channel(), version); }
TavloStatus TavloNeedUpdate(uint16_t* stamp) { return tavlo::NeedUpdate(Channel(), stamp); }
TavloStatus TavloGetDevices(uint8_t* count) { return tavlo::GetDevices(Channel(), count); }
TavloStatus TavloGetFirmVer(uint16_t* stamp, uint32_t panel, uint16_t* firmVer) {
    return tavlo::GetFirmVer(Channel(), stamp, panel, firmVer);
}
TavloStatus TavloGetPanelId(uint16_t* stamp, uint32_t panel, uint8_t* panelId) {
    return tavlo::GetPanelId(Channel(), stamp, panel, panelId);
}
TavloStatus TavloGetCalibrationData(uint16_t* stamp, uint32_t panel, int16_t* cal, uint32_t alt) {
    return tavlo::GetCalibrationData(Channel(), stamp, panel, cal, alt);
}
TavloStatus TavloSetCalibrationData(uint16_t* stamp, uint32_t panel, const int16_t* cal, uint32_t alt) {
    return tavlo::SetCalibrationData(Channel(), stamp, panel, cal, alt);
}
TavloStatus TavloGetPointdataEnable(uint16_t* stamp, uint32_t panel, uint8_t* enable) {
    return tavlo::GetPointdataEnable(Channel(), stamp, panel, enable);
}
TavloStatus TavloSetPointdataEnable(uint16_t* stamp, uint32_t panel, uint32_t enable) {
    return tavlo::SetPointdataEnable(Channel(), stamp, panel, enable);
}
TavloStatus TavloCheckTouch(uint16_t* stamp, uint32_t panel, uint8_t* touched) {
    return tavlo::CheckTouch(Channel(), stamp, panel, touched);
}
TavloStatus TavloGetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt) {
    return tavlo::GetClickData(Channel(), stamp, panel, click, alt);
}
TavloStatus TavloSetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt) {
    return tavlo::SetClickData(Channel(), stamp, panel, click, alt);
}
TavloStatus TavloGetClickSound(uint16_t* stamp, uint32_t panel, uint8_t* on, uint32_t alt) {
    return tavlo::GetClickSound(Channel(), stamp, panel, on, alt);
}
TavloStatus TavloSetClickSound(uint16_t* stamp, uint32_t panel, uint32_t on, uint32_t alt) {
    return tavlo::SetClickSound(Channel(), stamp, panel, on, alt);
}
TavloStatus TavloGetPanelLed(uint16_t* stamp, uint32_t panel, uint8_t* led) {
    return tavlo::GetPanelLed(Channel(), stamp, panel, led);
}
TavloStatus TavloSetPanelLed(uint16_t* stamp, uint32_t panel, uint32_t led) {
    return tavlo::SetPanelLed(Channel(), stamp, panel, led);
}
TavloStatus TavloGetStartupMode(uint8_t* mode) { return tavlo::GetStartupMode(Channel(), mode); }
TavloStatus TavloSetStartupMode(uint32_t mode) { return tavlo::SetStartupMode(Channel(), mode); }
TavloStatus TavloGetClickMode(uint8_t* button) { return tavlo::GetClickMode(Channel(), button); }
TavloStatus TavloSetClickMode(uint32_t button) { return tavlo::SetClickMode(Channel(), button); }
TavloStatus TavloGetClickOnceMode(uint8_t* onceFlag, uint8_t* onceButton) {
    return tavlo::GetClickOnceMode(Channel(), onceFlag, onceButton);
}
TavloStatus TavloSetClickOnceMode(uint32_t onceFlag, uint32_t onceButton) {
    return tavlo::SetClickOnceMode(Channel(), onceFlag, onceButton);
}
TavloStatus TavloReadEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, uint16_t* word) {
    return tavlo::ReadEeprom(Channel(), stamp, panel, address, word);
}
TavloStatus TavloWriteEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, const uint16_t* word) {
    return tavlo::WriteEeprom(Channel(), stamp, panel, address, word);
}

}  // extern "C"

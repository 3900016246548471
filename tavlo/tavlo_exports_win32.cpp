// TAVLO.DLL's exports: each builds a stateless Windows device channel and
// runs the portable command. Names are exported undecorated through the
// generated .def file.
#include "device_channel_win32.h"
#include "tavlo.h"
#include "tavlo_commands.h"

using tavlo::Win32DeviceChannel;

extern "C" {

TavloStatus TAVLO_CALL TavloGetVersion(uint16_t* version) {
    Win32DeviceChannel ch;
    return tavlo::GetVersion(ch, version);
}
TavloStatus TAVLO_CALL TavloNeedUpdate(uint16_t* stamp) {
    Win32DeviceChannel ch;
    return tavlo::NeedUpdate(ch, stamp);
}
TavloStatus TAVLO_CALL TavloGetDevices(uint8_t* count) {
    Win32DeviceChannel ch;
    return tavlo::GetDevices(ch, count);
}
TavloStatus TAVLO_CALL TavloGetFirmVer(uint16_t* stamp, uint32_t panel, uint16_t* firmVer) {
    Win32DeviceChannel ch;
    return tavlo::GetFirmVer(ch, stamp, panel, firmVer);
}
TavloStatus TAVLO_CALL TavloGetPanelId(uint16_t* stamp, uint32_t panel, uint8_t* panelId) {
    Win32DeviceChannel ch;
    return tavlo::GetPanelId(ch, stamp, panel, panelId);
}
TavloStatus TAVLO_CALL TavloGetCalibrationData(uint16_t* stamp, uint32_t panel, int16_t* cal, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::GetCalibrationData(ch, stamp, panel, cal, alt);
}
TavloStatus TAVLO_CALL TavloSetCalibrationData(uint16_t* stamp, uint32_t panel, const int16_t* cal, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::SetCalibrationData(ch, stamp, panel, cal, alt);
}
TavloStatus TAVLO_CALL TavloGetPointdataEnable(uint16_t* stamp, uint32_t panel, uint8_t* enable) {
    Win32DeviceChannel ch;
    return tavlo::GetPointdataEnable(ch, stamp, panel, enable);
}
TavloStatus TAVLO_CALL TavloSetPointdataEnable(uint16_t* stamp, uint32_t panel, uint32_t enable) {
    Win32DeviceChannel ch;
    return tavlo::SetPointdataEnable(ch, stamp, panel, enable);
}
TavloStatus TAVLO_CALL TavloCheckTouch(uint16_t* stamp, uint32_t panel, uint8_t* touched) {
    Win32DeviceChannel ch;
    return tavlo::CheckTouch(ch, stamp, panel, touched);
}
TavloStatus TAVLO_CALL TavloGetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::GetClickData(ch, stamp, panel, click, alt);
}
TavloStatus TAVLO_CALL TavloSetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::SetClickData(ch, stamp, panel, click, alt);
}
TavloStatus TAVLO_CALL TavloGetClickSound(uint16_t* stamp, uint32_t panel, uint8_t* on, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::GetClickSound(ch, stamp, panel, on, alt);
}
TavloStatus TAVLO_CALL TavloSetClickSound(uint16_t* stamp, uint32_t panel, uint32_t on, uint32_t alt) {
    Win32DeviceChannel ch;
    return tavlo::SetClickSound(ch, stamp, panel, on, alt);
}
TavloStatus TAVLO_CALL TavloGetPanelLed(uint16_t* stamp, uint32_t panel, uint8_t* led) {
    Win32DeviceChannel ch;
    return tavlo::GetPanelLed(ch, stamp, panel, led);
}
TavloStatus TAVLO_CALL TavloSetPanelLed(uint16_t* stamp, uint32_t panel, uint32_t led) {
    Win32DeviceChannel ch;
    return tavlo::SetPanelLed(ch, stamp, panel, led);
}
TavloStatus TAVLO_CALL TavloGetStartupMode(uint8_t* mode) {
    Win32DeviceChannel ch;
    return tavlo::GetStartupMode(ch, mode);
}
TavloStatus TAVLO_CALL TavloSetStartupMode(uint32_t mode) {
    Win32DeviceChannel ch;
    return tavlo::SetStartupMode(ch, mode);
}
TavloStatus TAVLO_CALL TavloGetClickMode(uint8_t* button) {
    Win32DeviceChannel ch;
    return tavlo::GetClickMode(ch, button);
}
TavloStatus TAVLO_CALL TavloSetClickMode(uint32_t button) {
    Win32DeviceChannel ch;
    return tavlo::SetClickMode(ch, button);
}
TavloStatus TAVLO_CALL TavloGetClickOnceMode(uint8_t* onceFlag, uint8_t* onceButton) {
    Win32DeviceChannel ch;
    return tavlo::GetClickOnceMode(ch, onceFlag, onceButton);
}
TavloStatus TAVLO_CALL TavloSetClickOnceMode(uint32_t onceFlag, uint32_t onceButton) {
    Win32DeviceChannel ch;
    return tavlo::SetClickOnceMode(ch, onceFlag, onceButton);
}
TavloStatus TAVLO_CALL TavloReadEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, uint16_t* word) {
    Win32DeviceChannel ch;
    return tavlo::ReadEeprom(ch, stamp, panel, address, word);
}
TavloStatus TAVLO_CALL TavloWriteEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, const uint16_t* word) {
    Win32DeviceChannel ch;
    return tavlo::WriteEeprom(ch, stamp, panel, address, word);
}

}  // extern "C"

#include "tavlo_ioctl.h"

#include <utility>

namespace tavlo {
namespace {

const char* const kFunctionNames[] = {
    "TavloGetVersion", "TavloNeedUpdate", "TavloGetDevices", "TavloGetFirmVer", "TavloGetPanelId",
    "TavloGetCalibrationData", "TavloSetCalibrationData", "TavloGetPointdataEnable", "TavloSetPointdataEnable",
    "TavloCheckTouch", "TavloGetClickData", "TavloSetClickData", "TavloGetClickSound", "TavloSetClickSound",
    "TavloGetPanelLed", "TavloSetPanelLed", "TavloGetStartupMode", "TavloSetStartupMode", "TavloGetClickMode",
    "TavloSetClickMode", "TavloGetClickOnceMode", "TavloSetClickOnceMode", "TavloReadEeprom", "TavloWriteEeprom",
};

// Export signatures, with the library's calling convention.
using VersionFn = TavloStatus TAVLO_CALL(std::uint16_t*);
using ByteOutFn = TavloStatus TAVLO_CALL(std::uint8_t*);
using ValueFn = TavloStatus TAVLO_CALL(std::uint32_t);
using PanelWordFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint16_t*);
using PanelByteFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint8_t*);
using PanelValueFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint32_t);
using PanelArrayFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::int16_t*, std::uint32_t);
using PanelConstArrayFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, const std::int16_t*, std::uint32_t);
using PanelByteAltFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint8_t*, std::uint32_t);
using PanelValueAltFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint32_t, std::uint32_t);
using TwoBytesOutFn = TavloStatus TAVLO_CALL(std::uint8_t*, std::uint8_t*);
using TwoValuesFn = TavloStatus TAVLO_CALL(std::uint32_t, std::uint32_t);
using EepromReadFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint32_t, std::uint16_t*);
using EepromWriteFn = TavloStatus TAVLO_CALL(std::uint16_t*, std::uint32_t, std::uint32_t, const std::uint16_t*);

}  // namespace

TavloIoctl::TavloIoctl(LibraryLoader& loader, FatalHandler onFatal, const char* libraryName)
    : loader_(loader), onFatal_(std::move(onFatal)), libraryName_(libraryName) {}

void* TavloIoctl::Resolve(Function function) {
    if (functions_[function] != nullptr) return functions_[function];
    if (!loaded_) {
        if (!loader_.Load(libraryName_.c_str())) {
            onFatal_("Can't load the library " + libraryName_ + ": " + loader_.LastErrorText());
            return nullptr;
        }
        loaded_ = true;
    }
    void* address = loader_.Find(kFunctionNames[function]);
    if (address == nullptr) {
        onFatal_("Can't find the function " + std::string(kFunctionNames[function]) + " in " + libraryName_ + ": " +
                 loader_.LastErrorText());
        return nullptr;
    }
    functions_[function] = address;
    return address;
}

bool TavloIoctl::BindNow(std::initializer_list<Function> functions) {
    for (Function function : functions) {
        if (Resolve(function) == nullptr) return false;
    }
    return true;
}

#define TAVLO_FORWARD(function, type, ...)          \
    auto* fn = Bind<type>(function);                \
    return fn != nullptr ? fn(__VA_ARGS__) : static_cast<TavloStatus>(TavloNoDevice)

TavloStatus TavloIoctl::GetVersion(std::uint16_t* version) { TAVLO_FORWARD(kGetVersion, VersionFn, version); }
TavloStatus TavloIoctl::NeedUpdate(std::uint16_t* stamp) { TAVLO_FORWARD(kNeedUpdate, VersionFn, stamp); }
TavloStatus TavloIoctl::GetDevices(std::uint8_t* count) { TAVLO_FORWARD(kGetDevices, ByteOutFn, count); }
TavloStatus TavloIoctl::GetFirmVer(std::uint16_t* stamp, std::uint32_t panel, std::uint16_t* firmVer) {
    TAVLO_FORWARD(kGetFirmVer, PanelWordFn, stamp, panel, firmVer);
}
TavloStatus TavloIoctl::GetPanelId(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* panelId) {
    TAVLO_FORWARD(kGetPanelId, PanelByteFn, stamp, panel, panelId);
}
TavloStatus TavloIoctl::GetCalibrationData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* cal,
                                           std::uint32_t alt) {
    TAVLO_FORWARD(kGetCalibrationData, PanelArrayFn, stamp, panel, cal, alt);
}
TavloStatus TavloIoctl::SetCalibrationData(std::uint16_t* stamp, std::uint32_t panel, const std::int16_t* cal,
                                           std::uint32_t alt) {
    TAVLO_FORWARD(kSetCalibrationData, PanelConstArrayFn, stamp, panel, cal, alt);
}
TavloStatus TavloIoctl::GetPointdataEnable(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* enable) {
    TAVLO_FORWARD(kGetPointdataEnable, PanelByteFn, stamp, panel, enable);
}
TavloStatus TavloIoctl::SetPointdataEnable(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t enable) {
    TAVLO_FORWARD(kSetPointdataEnable, PanelValueFn, stamp, panel, enable);
}
TavloStatus TavloIoctl::CheckTouch(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* touched) {
    TAVLO_FORWARD(kCheckTouch, PanelByteFn, stamp, panel, touched);
}
TavloStatus TavloIoctl::GetClickData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                                     std::uint32_t alt) {
    TAVLO_FORWARD(kGetClickData, PanelArrayFn, stamp, panel, click, alt);
}
TavloStatus TavloIoctl::SetClickData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                                     std::uint32_t alt) {
    TAVLO_FORWARD(kSetClickData, PanelArrayFn, stamp, panel, click, alt);
}
TavloStatus TavloIoctl::GetClickSound(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* on, std::uint32_t alt) {
    TAVLO_FORWARD(kGetClickSound, PanelByteAltFn, stamp, panel, on, alt);
}
TavloStatus TavloIoctl::SetClickSound(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t on, std::uint32_t alt) {
    TAVLO_FORWARD(kSetClickSound, PanelValueAltFn, stamp, panel, on, alt);
}
TavloStatus TavloIoctl::GetPanelLed(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* led) {
    TAVLO_FORWARD(kGetPanelLed, PanelByteFn, stamp, panel, led);
}
TavloStatus TavloIoctl::SetPanelLed(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t led) {
    TAVLO_FORWARD(kSetPanelLed, PanelValueFn, stamp, panel, led);
}
TavloStatus TavloIoctl::GetStartupMode(std::uint8_t* mode) { TAVLO_FORWARD(kGetStartupMode, ByteOutFn, mode); }
TavloStatus TavloIoctl::SetStartupMode(std::uint32_t mode) { TAVLO_FORWARD(kSetStartupMode, ValueFn, mode); }
TavloStatus TavloIoctl::GetClickMode(std::uint8_t* button) { TAVLO_FORWARD(kGetClickMode, ByteOutFn, button); }
TavloStatus TavloIoctl::SetClickMode(std::uint32_t button) { TAVLO_FORWARD(kSetClickMode, ValueFn, button); }
TavloStatus TavloIoctl::GetClickOnceMode(std::uint8_t* onceFlag, std::uint8_t* onceButton) {
    TAVLO_FORWARD(kGetClickOnceMode, TwoBytesOutFn, onceFlag, onceButton);
}
TavloStatus TavloIoctl::SetClickOnceMode(std::uint32_t onceFlag, std::uint32_t onceButton) {
    TAVLO_FORWARD(kSetClickOnceMode, TwoValuesFn, onceFlag, onceButton);
}
TavloStatus TavloIoctl::ReadEeprom(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                                   std::uint16_t* word) {
    TAVLO_FORWARD(kReadEeprom, EepromReadFn, stamp, panel, address, word);
}
TavloStatus TavloIoctl::WriteEeprom(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                                    const std::uint16_t* word) {
    TAVLO_FORWARD(kWriteEeprom, EepromWriteFn, stamp, panel, address, word);
}

#undef TAVLO_FORWARD

}  // namespace tavlo

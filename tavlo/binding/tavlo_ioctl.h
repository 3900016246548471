// TavloIoctl: how the form tools (calibration, click settings, click status)
// reach TAVLO.DLL. The library is loaded by name at the first call and each
// function is looked up by name at its own first use. When the library or a
// function is missing, `onFatal` receives a message naming it; the programs
// show it and stop. Should `onFatal` return, the call reports TavloNoDevice.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "library_loader.h"
#include "tavlo.h"

namespace tavlo {

class TavloIoctl {
public:
    using FatalHandler = std::function<void(const std::string& message)>;

    TavloIoctl(LibraryLoader& loader, FatalHandler onFatal, const char* libraryName = "TAVLO.DLL");

    TavloStatus GetVersion(std::uint16_t* version);
    TavloStatus NeedUpdate(std::uint16_t* stamp);
    TavloStatus GetDevices(std::uint8_t* count);
    TavloStatus GetFirmVer(std::uint16_t* stamp, std::uint32_t panel, std::uint16_t* firmVer);
    TavloStatus GetPanelId(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* panelId);
    TavloStatus GetCalibrationData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* cal, std::uint32_t alt);
    TavloStatus SetCalibrationData(std::uint16_t* stamp, std::uint32_t panel, const std::int16_t* cal,
                                   std::uint32_t alt);
    TavloStatus GetPointdataEnable(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* enable);
    TavloStatus SetPointdataEnable(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t enable);
    TavloStatus CheckTouch(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* touched);
    TavloStatus GetClickData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click, std::uint32_t alt);
    TavloStatus SetClickData(std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click, std::uint32_t alt);
    TavloStatus GetClickSound(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* on, std::uint32_t alt);
    TavloStatus SetClickSound(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t on, std::uint32_t alt);
    TavloStatus GetPanelLed(std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* led);
    TavloStatus SetPanelLed(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t led);
    TavloStatus GetStartupMode(std::uint8_t* mode);
    TavloStatus SetStartupMode(std::uint32_t mode);
    TavloStatus GetClickMode(std::uint8_t* button);
    TavloStatus SetClickMode(std::uint32_t button);
    TavloStatus GetClickOnceMode(std::uint8_t* onceFlag, std::uint8_t* onceButton);
    TavloStatus SetClickOnceMode(std::uint32_t onceFlag, std::uint32_t onceButton);
    TavloStatus ReadEeprom(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address, std::uint16_t* word);
    TavloStatus WriteEeprom(std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                            const std::uint16_t* word);

    enum Function : int {
        kGetVersion, kNeedUpdate, kGetDevices, kGetFirmVer, kGetPanelId, kGetCalibrationData,
        kSetCalibrationData, kGetPointdataEnable, kSetPointdataEnable, kCheckTouch, kGetClickData,
        kSetClickData, kGetClickSound, kSetClickSound, kGetPanelLed, kSetPanelLed, kGetStartupMode,
        kSetStartupMode, kGetClickMode, kSetClickMode, kGetClickOnceMode, kSetClickOnceMode, kReadEeprom,
        kWriteEeprom, kFunctionCount
    };

    // Loads the library and looks up all these functions now, so that a
    // program can tell before it changes anything in the driver that it will
    // be able to put it back. False (after onFatal for the first one
    // missing) when the library or any of them is missing.
    bool BindNow(std::initializer_list<Function> functions);

private:

    // Loads the library if needed and looks the function up at its first
    // use; null (after onFatal) when either is missing.
    void* Resolve(Function function);
    template <typename Fn>
    Fn* Bind(Function function) {
        return reinterpret_cast<Fn*>(Resolve(function));
    }

    LibraryLoader& loader_;
    FatalHandler onFatal_;
    std::string libraryName_;
    bool loaded_ = false;
    void* functions_[kFunctionCount] = {};
};

}  // namespace tavlo

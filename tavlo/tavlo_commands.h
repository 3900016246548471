// The 24 device commands as portable functions over a DeviceChannel.
// TAVLO.DLL's exports are one-line forwards to these with the Windows
// channel; native tests call them with a channel to the simulated device.
#pragma once

#include <cstdint>

#include "device_channel.h"
#include "tavlo.h"

namespace tavlo {

// GetLastError value of a failed request -> status code.
TavloStatus MapLastError(std::uint32_t error);

TavloStatus GetVersion(DeviceChannel& ch, std::uint16_t* version);
TavloStatus NeedUpdate(DeviceChannel& ch, std::uint16_t* stamp);
TavloStatus GetDevices(DeviceChannel& ch, std::uint8_t* count);

TavloStatus GetFirmVer(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint16_t* firmVer);
TavloStatus GetPanelId(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* panelId);
TavloStatus GetCalibrationData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* cal,
                               std::uint32_t alt);
TavloStatus SetCalibrationData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, const std::int16_t* cal,
                               std::uint32_t alt);
TavloStatus GetPointdataEnable(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* enable);
TavloStatus SetPointdataEnable(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t enable);
TavloStatus CheckTouch(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* touched);

TavloStatus GetClickData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                         std::uint32_t alt);
TavloStatus SetClickData(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::int16_t* click,
                         std::uint32_t alt);
TavloStatus GetClickSound(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* on,
                          std::uint32_t alt);
TavloStatus SetClickSound(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t on,
                          std::uint32_t alt);
TavloStatus GetPanelLed(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint8_t* led);
TavloStatus SetPanelLed(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t led);
TavloStatus GetStartupMode(DeviceChannel& ch, std::uint8_t* mode);
TavloStatus SetStartupMode(DeviceChannel& ch, std::uint32_t mode);
TavloStatus GetClickMode(DeviceChannel& ch, std::uint8_t* button);
TavloStatus SetClickMode(DeviceChannel& ch, std::uint32_t button);
TavloStatus GetClickOnceMode(DeviceChannel& ch, std::uint8_t* onceFlag, std::uint8_t* onceButton);
TavloStatus SetClickOnceMode(DeviceChannel& ch, std::uint32_t onceFlag, std::uint32_t onceButton);
TavloStatus ReadEeprom(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                       std::uint16_t* word);
TavloStatus WriteEeprom(DeviceChannel& ch, std::uint16_t* stamp, std::uint32_t panel, std::uint32_t address,
                        const std::uint16_t* word);

}  // namespace tavlo

/*
 * TAVLO.DLL: the only path from the suite's programs to the touch-panel
 * driver. Every export opens \\.\Tavlo, sends one or two control requests,
 * closes the device again and returns a 16-bit status code. The library
 * keeps no state between calls; the only state that outlives a call is the
 * caller's change stamp.
 *
 * Calling convention: stdcall on i686, exported under undecorated names.
 * Every argument is a 32-bit value (byte arguments use their low 8 bits) or
 * a pointer to caller-owned memory of the stated width.
 */
#ifndef TAVLO_H
#define TAVLO_H

/* A public header: its tables stay aligned by hand for the reader. */
/* clang-format off */

#include <stdint.h>

#if defined(_WIN32)
#define TAVLO_CALL __stdcall
#else
#define TAVLO_CALL
#endif

#if defined(TAVLO_BUILDING_DLL)
#define TAVLO_API
#elif defined(_WIN32) && !defined(TAVLO_NO_DECLSPEC)
#define TAVLO_API __declspec(dllimport)
#else
#define TAVLO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes returned by every export. */
typedef int16_t TavloStatus;
enum {
    TavloOk = 0,            /* request carried out, reply delivered */
    TavloNoDevice = 1,      /* \\.\Tavlo cannot be opened; nothing was sent */
    TavloNoPanel = 2,       /* the driver reports zero panels */
    TavloPanelsChanged = 3, /* caller's stamp was stale; refreshed, nothing sent */
    TavloCloseFailed = 4,   /* request succeeded but closing the device failed */
    TavloBadPanel = 5,      /* panel number not below the count, or ERROR_FILE_NOT_FOUND */
    TavloNotSupported = 6,  /* driver failed with ERROR_INVALID_FUNCTION */
    TavloBadParameter = 7,  /* driver failed with ERROR_INVALID_PARAMETER, or a null buffer */
    TavloFailed = 8         /* any other driver error, or a reply the export does not accept */
};

/* CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, access). */
#define TAVLO_CTL_CODE(function, access) ((0x22u << 16) | ((uint32_t)(access) << 14) | ((uint32_t)(function) << 2))
#define TAVLO_ACCESS_READ 1u
#define TAVLO_ACCESS_WRITE 2u
#define TAVLO_ACCESS_RW 3u

#define IOCTL_TAVLO_GET_VERSION            TAVLO_CTL_CODE(0x800, TAVLO_ACCESS_READ)  /* 0x226000 */
#define IOCTL_TAVLO_GET_STATUS             TAVLO_CTL_CODE(0x801, TAVLO_ACCESS_READ)  /* 0x226004 */
#define IOCTL_TAVLO_GET_FIRM_VER           TAVLO_CTL_CODE(0x810, TAVLO_ACCESS_RW)    /* 0x22E040 */
#define IOCTL_TAVLO_GET_PANEL_ID           TAVLO_CTL_CODE(0x811, TAVLO_ACCESS_RW)    /* 0x22E044 */
#define IOCTL_TAVLO_GET_CALIBRATION        TAVLO_CTL_CODE(0x820, TAVLO_ACCESS_RW)    /* 0x22E080 */
#define IOCTL_TAVLO_SET_CALIBRATION        TAVLO_CTL_CODE(0x821, TAVLO_ACCESS_WRITE) /* 0x22A084 */
#define IOCTL_TAVLO_GET_CALIBRATION_ALT    TAVLO_CTL_CODE(0x822, TAVLO_ACCESS_RW)    /* 0x22E088 */
#define IOCTL_TAVLO_SET_CALIBRATION_ALT    TAVLO_CTL_CODE(0x823, TAVLO_ACCESS_WRITE) /* 0x22A08C */
#define IOCTL_TAVLO_GET_POINTDATA_ENABLE   TAVLO_CTL_CODE(0x830, TAVLO_ACCESS_RW)    /* 0x22E0C0 */
#define IOCTL_TAVLO_SET_POINTDATA_ENABLE   TAVLO_CTL_CODE(0x831, TAVLO_ACCESS_WRITE) /* 0x22A0C4 */
#define IOCTL_TAVLO_CHECK_TOUCH            TAVLO_CTL_CODE(0x838, TAVLO_ACCESS_RW)    /* 0x22E0E0 */
#define IOCTL_TAVLO_GET_PANEL_LED          TAVLO_CTL_CODE(0x840, TAVLO_ACCESS_RW)    /* 0x22E100 */
#define IOCTL_TAVLO_SET_PANEL_LED          TAVLO_CTL_CODE(0x841, TAVLO_ACCESS_WRITE) /* 0x22A104 */
#define IOCTL_TAVLO_GET_CLICK_DATA         TAVLO_CTL_CODE(0x850, TAVLO_ACCESS_RW)    /* 0x22E140 */
#define IOCTL_TAVLO_SET_CLICK_DATA         TAVLO_CTL_CODE(0x851, TAVLO_ACCESS_WRITE) /* 0x22A144 */
#define IOCTL_TAVLO_GET_CLICK_DATA_ALT     TAVLO_CTL_CODE(0x852, TAVLO_ACCESS_RW)    /* 0x22E148 */
#define IOCTL_TAVLO_SET_CLICK_DATA_ALT     TAVLO_CTL_CODE(0x853, TAVLO_ACCESS_WRITE) /* 0x22A14C */
#define IOCTL_TAVLO_GET_CLICK_SOUND        TAVLO_CTL_CODE(0x860, TAVLO_ACCESS_RW)    /* 0x22E180 */
#define IOCTL_TAVLO_SET_CLICK_SOUND        TAVLO_CTL_CODE(0x861, TAVLO_ACCESS_WRITE) /* 0x22A184 */
#define IOCTL_TAVLO_GET_CLICK_SOUND_ALT    TAVLO_CTL_CODE(0x862, TAVLO_ACCESS_RW)    /* 0x22E188 */
#define IOCTL_TAVLO_SET_CLICK_SOUND_ALT    TAVLO_CTL_CODE(0x863, TAVLO_ACCESS_WRITE) /* 0x22A18C */
#define IOCTL_TAVLO_GET_STARTUP_MODE       TAVLO_CTL_CODE(0x870, TAVLO_ACCESS_RW)    /* 0x22E1C0 */
#define IOCTL_TAVLO_SET_STARTUP_MODE       TAVLO_CTL_CODE(0x871, TAVLO_ACCESS_WRITE) /* 0x22A1C4 */
#define IOCTL_TAVLO_GET_CLICK_MODE         TAVLO_CTL_CODE(0x878, TAVLO_ACCESS_RW)    /* 0x22E1E0 */
#define IOCTL_TAVLO_SET_CLICK_MODE         TAVLO_CTL_CODE(0x879, TAVLO_ACCESS_WRITE) /* 0x22A1E4 */
#define IOCTL_TAVLO_GET_CLICK_ONCE_MODE    TAVLO_CTL_CODE(0x87A, TAVLO_ACCESS_RW)    /* 0x22E1E8 */
#define IOCTL_TAVLO_SET_CLICK_ONCE_MODE    TAVLO_CTL_CODE(0x87B, TAVLO_ACCESS_WRITE) /* 0x22A1EC */
#define IOCTL_TAVLO_READ_EEPROM            TAVLO_CTL_CODE(0x880, TAVLO_ACCESS_RW)    /* 0x22E200 */
#define IOCTL_TAVLO_WRITE_EEPROM           TAVLO_CTL_CODE(0x881, TAVLO_ACCESS_WRITE) /* 0x22A204 */

/* Index names of the four-value arrays. */
enum { TavloXGain = 0, TavloXOffset = 1, TavloYGain = 2, TavloYOffset = 3 };
enum { TavloDownCancel = 0, TavloUpCancel = 1, TavloDblClickTime = 2, TavloDblClickArea = 3 };

/* Button codes of the click and once modes. */
enum { TavloButtonLeft = 1, TavloButtonRight = 2, TavloButtonMiddle = 4 };

/*
 * The exports, written out so that this header reads and compiles as plain C
 * on its own. The library's build expands its list of exports from one table
 * (tavlo_exports.inc, not installed) and checks these declarations against
 * it: the same names, and the same parameter types.
 */

/* Driver queries. */
TAVLO_API TavloStatus TAVLO_CALL TavloGetVersion(uint16_t* version);
TAVLO_API TavloStatus TAVLO_CALL TavloNeedUpdate(uint16_t* stamp);
TAVLO_API TavloStatus TAVLO_CALL TavloGetDevices(uint8_t* count);

/* Panel identity, calibration, point data, touch. */
TAVLO_API TavloStatus TAVLO_CALL TavloGetFirmVer(uint16_t* stamp, uint32_t panel, uint16_t* firmVer);
TAVLO_API TavloStatus TAVLO_CALL TavloGetPanelId(uint16_t* stamp, uint32_t panel, uint8_t* panelId);
TAVLO_API TavloStatus TAVLO_CALL TavloGetCalibrationData(uint16_t* stamp, uint32_t panel, int16_t* cal, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloSetCalibrationData(uint16_t* stamp, uint32_t panel, const int16_t* cal, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloGetPointdataEnable(uint16_t* stamp, uint32_t panel, uint8_t* enable);
TAVLO_API TavloStatus TAVLO_CALL TavloSetPointdataEnable(uint16_t* stamp, uint32_t panel, uint32_t enable);
TAVLO_API TavloStatus TAVLO_CALL TavloCheckTouch(uint16_t* stamp, uint32_t panel, uint8_t* touched);

/* Click behaviour, sound, LED, modes, EEPROM. */
TAVLO_API TavloStatus TAVLO_CALL TavloGetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloSetClickData(uint16_t* stamp, uint32_t panel, int16_t* click, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloGetClickSound(uint16_t* stamp, uint32_t panel, uint8_t* on, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloSetClickSound(uint16_t* stamp, uint32_t panel, uint32_t on, uint32_t alt);
TAVLO_API TavloStatus TAVLO_CALL TavloGetPanelLed(uint16_t* stamp, uint32_t panel, uint8_t* led);
TAVLO_API TavloStatus TAVLO_CALL TavloSetPanelLed(uint16_t* stamp, uint32_t panel, uint32_t led);
TAVLO_API TavloStatus TAVLO_CALL TavloGetStartupMode(uint8_t* mode);
TAVLO_API TavloStatus TAVLO_CALL TavloSetStartupMode(uint32_t mode);
TAVLO_API TavloStatus TAVLO_CALL TavloGetClickMode(uint8_t* button);
TAVLO_API TavloStatus TAVLO_CALL TavloSetClickMode(uint32_t button);
TAVLO_API TavloStatus TAVLO_CALL TavloGetClickOnceMode(uint8_t* onceFlag, uint8_t* onceButton);
TAVLO_API TavloStatus TAVLO_CALL TavloSetClickOnceMode(uint32_t onceFlag, uint32_t onceButton);
TAVLO_API TavloStatus TAVLO_CALL TavloReadEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, uint16_t* word);
TAVLO_API TavloStatus TAVLO_CALL TavloWriteEeprom(uint16_t* stamp, uint32_t panel, uint32_t address, const uint16_t* word);

#ifdef __cplusplus
}
#endif

/* clang-format on */
#endif /* TAVLO_H */

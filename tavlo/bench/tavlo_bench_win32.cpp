// Times each TAVLO.DLL export against the bare CreateFileA +
// DeviceIoControl(s) + CloseHandle sequence it performs, on the simulated
// driver. Prints microseconds per call and the ratio; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing_win32.h"
#include "control_transport_win32.h"
#include "sim_control.h"
#include "tavlo.h"
#include "tavlo_by_name_win32.h"

using tavlo_bench::RawSequence;
using tavlo_bench::Step;
using tavlo_bench::TimePair;

int main(int argc, char** argv) {
    const int perRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int rounds = 7;
    tavlosim::Win32ControlTransport transport;
    tavlosim::SimControl control(transport);
    if (TavloModule() == nullptr || !transport.IsOpen() || control.Reset() != 0 ||
        control.Attach(0x11, 0x105, nullptr) != 0 || control.Attach(0x22, 0x207, nullptr) != 0) {
        std::fprintf(stderr, "tavlo_bench: TAVLO.DLL or the simulated driver is not available\n");
        return 1;
    }
    std::uint16_t stamp = 0;
    TAVLO(TavloNeedUpdate)(&stamp);

    const DWORD st = IOCTL_TAVLO_GET_STATUS;
    const Step status{st, {}, 3};
    std::int16_t cal[4] = {10000, 0, 10000, 0}, click[4] = {30, 30, 400, 28};
    std::uint16_t word = 0x1234, w16 = 0;
    std::uint8_t b1 = 0, b2 = 0;
    struct Case {
        const char* name;
        std::function<void()> exported;
        std::vector<Step> raw;
    };
    // One export a line, beside the raw requests it makes.
    // clang-format off
    const std::vector<Case> cases = {
        {"TavloGetVersion", [&] { TAVLO(TavloGetVersion)(&w16); }, {{0x226000, {}, 2}}},
        {"TavloNeedUpdate", [&] { std::uint16_t s; TAVLO(TavloNeedUpdate)(&s); }, {status}},
        {"TavloGetDevices", [&] { TAVLO(TavloGetDevices)(&b1); }, {status}},
        {"TavloGetFirmVer", [&] { TAVLO(TavloGetFirmVer)(&stamp, 1, &w16); }, {status, {0x22E040, {1}, 2}}},
        {"TavloGetPanelId", [&] { TAVLO(TavloGetPanelId)(&stamp, 1, &b1); }, {status, {0x22E044, {1}, 1}}},
        {"TavloGetCalibrationData", [&] { TAVLO(TavloGetCalibrationData)(&stamp, 1, cal, 0); }, {status, {0x22E080, {1}, 8}}},
        {"TavloSetCalibrationData", [&] { TAVLO(TavloSetCalibrationData)(&stamp, 1, cal, 0); },
         {status, {0x22A084, {1, 0x10, 0x27, 0, 0, 0x10, 0x27, 0, 0}, 0}}},
        {"TavloGetPointdataEnable", [&] { TAVLO(TavloGetPointdataEnable)(&stamp, 1, &b1); }, {status, {0x22E0C0, {1}, 1}}},
        {"TavloSetPointdataEnable", [&] { TAVLO(TavloSetPointdataEnable)(&stamp, 1, 1); }, {status, {0x22A0C4, {1, 1}, 0}}},
        {"TavloCheckTouch", [&] { TAVLO(TavloCheckTouch)(&stamp, 1, &b1); }, {status, {0x22E0E0, {1}, 1}}},
        {"TavloGetClickData", [&] { TAVLO(TavloGetClickData)(&stamp, 1, click, 0); }, {status, {0x22E140, {1}, 7}}},
        {"TavloSetClickData", [&] { TAVLO(TavloSetClickData)(&stamp, 1, click, 0); },
         {status, {0x22E140, {1}, 7}, {0x22A144, {1, 12, 15, 0x21, 40, 6, 3, 3}, 0}}},
        {"TavloGetClickSound", [&] { TAVLO(TavloGetClickSound)(&stamp, 1, &b1, 0); }, {status, {0x22E180, {1}, 1}}},
        {"TavloSetClickSound", [&] { TAVLO(TavloSetClickSound)(&stamp, 1, 1, 0); }, {status, {0x22A184, {1, 1}, 0}}},
        {"TavloGetPanelLed", [&] { TAVLO(TavloGetPanelLed)(&stamp, 1, &b1); }, {status, {0x22E100, {1}, 1}}},
        {"TavloSetPanelLed", [&] { TAVLO(TavloSetPanelLed)(&stamp, 1, 3); }, {status, {0x22A104, {1, 3}, 0}}},
        {"TavloGetStartupMode", [&] { TAVLO(TavloGetStartupMode)(&b1); }, {{0x22E1C0, {}, 1}}},
        {"TavloSetStartupMode", [&] { TAVLO(TavloSetStartupMode)(1); }, {{0x22A1C4, {1}, 0}}},
        {"TavloGetClickMode", [&] { TAVLO(TavloGetClickMode)(&b1); }, {{0x22E1E0, {}, 1}}},
        {"TavloSetClickMode", [&] { TAVLO(TavloSetClickMode)(1); }, {{0x22A1E4, {1}, 0}}},
        {"TavloGetClickOnceMode", [&] { TAVLO(TavloGetClickOnceMode)(&b1, &b2); }, {{0x22E1E8, {}, 2}}},
        {"TavloSetClickOnceMode", [&] { TAVLO(TavloSetClickOnceMode)(0, 2); }, {{0x22A1EC, {0, 2}, 0}}},
        {"TavloReadEeprom", [&] { TAVLO(TavloReadEeprom)(&stamp, 1, 7, &w16); }, {status, {0x22E200, {1, 7}, 2}}},
        {"TavloWriteEeprom", [&] { TAVLO(TavloWriteEeprom)(&stamp, 1, 7, &word); },
         {status, {0x22A204, {1, 7, 0x34, 0x12}, 0}}},
    };
    // clang-format on

    std::printf(
        "TAVLO.DLL exports against their raw request sequence (%s, simulated driver, %d calls x %d rounds, "
        "median)\n",
        sizeof(void*) == 8 ? "x86_64" : "i686", perRound, rounds);
    std::printf("%-26s %12s %12s %8s\n", "export", "export us", "raw us", "ratio");
    double worst = 0;
    for (const Case& c : cases) {
        double exported = 0, raw = 0;
        TimePair(
            c.exported, [&] { RawSequence(c.raw); }, rounds, perRound, &exported, &raw);
        const double ratio = exported / raw;
        worst = std::max(worst, ratio);
        std::printf("%-26s %12.1f %12.1f %8.3f\n", c.name, exported, raw, ratio);
    }
    std::printf("worst ratio %.3f (goal: at most 1.05)\n", worst);
    control.Reset();
    return 0;
}

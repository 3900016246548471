// Times one tick of Velmic's poll (GetActivePanel through TAVLO.DLL bound
// by name, as the program does) against the bare open-request-close cycles
// the tick must make, on the simulated driver with one enabled panel.
// Prints microseconds per tick and the ratio; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "control_transport_win32.h"
#include "library_loader_win32.h"
#include "sim_control.h"
#include "tavlo.h"
#include "tavlo_ioctl.h"
#include "tp_access.h"

namespace {

class NoBox final : public velmic::DebugView {
public:
    void ShowDebug(const std::string&, TavloStatus) override { ++shown; }
    int shown = 0;
};

struct Request {
    DWORD code;
    std::vector<BYTE> in;
    DWORD outSize;
};

// One cycle: open the device, send the requests, close it.
void Cycle(const std::vector<Request>& requests) {
    HANDLE device = CreateFileA("\\\\.\\Tavlo", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return;
    BYTE out[16];
    for (const Request& r : requests) {
        DWORD returned = 0;
        DeviceIoControl(device, r.code, r.in.empty() ? nullptr : const_cast<BYTE*>(r.in.data()),
                        static_cast<DWORD>(r.in.size()), r.outSize ? out : nullptr, r.outSize, &returned, nullptr);
    }
    CloseHandle(device);
}

double Seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int perRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int rounds = 9;
    tavlosim::Win32ControlTransport transport;
    tavlosim::SimControl control(transport);
    if (!transport.IsOpen() || control.Reset() != 0 || control.Attach(0x31, 0x105, nullptr) != 0) {
        std::fprintf(stderr, "velmic_poll_bench: the simulated driver is not available\n");
        return 1;
    }
    tavlo::Win32LibraryLoader loader;
    tavlo::TavloIoctl library(loader, [](const std::string& message) {
        std::fprintf(stderr, "velmic_poll_bench: %s\n", message.c_str());
        std::exit(1);
    });
    NoBox box;
    velmic::TpAccess access(library, box);
    std::int16_t id = 0;
    if (access.GetActivePanel(&id) != velmic::kOk) {
        std::fprintf(stderr, "velmic_poll_bench: no active panel\n");
        return 1;
    }

    // What a tick with panel 0 active must send: NeedUpdate and GetDevices
    // read the driver status; GetPointdataEnable and GetPanelId check the
    // panel and ask it.
    const Request status{IOCTL_TAVLO_GET_STATUS, {}, 3};
    const std::vector<std::vector<Request>> cycles = {
        {status},
        {status},
        {status, {IOCTL_TAVLO_GET_POINTDATA_ENABLE, {0}, 1}},
        {status, {IOCTL_TAVLO_GET_PANEL_ID, {0}, 1}},
    };

    // Tick and raw cycles in alternation, so load elsewhere falls on both.
    std::vector<double> tickSamples, rawSamples;
    for (int r = 0; r < rounds; ++r) {
        double tick = 0, raw = 0;
        for (int i = 0; i < perRound; ++i) {
            const double t0 = Seconds();
            access.GetActivePanel(&id);
            const double t1 = Seconds();
            for (const auto& cycle : cycles) Cycle(cycle);
            raw += Seconds() - t1;
            tick += t1 - t0;
        }
        tickSamples.push_back(tick * 1e6 / perRound);
        rawSamples.push_back(raw * 1e6 / perRound);
    }
    std::sort(tickSamples.begin(), tickSamples.end());
    std::sort(rawSamples.begin(), rawSamples.end());
    const double tickUs = tickSamples[tickSamples.size() / 2];
    const double rawUs = rawSamples[rawSamples.size() / 2];
    std::printf("Velmic poll tick (%s, simulated driver, one enabled panel, %d ticks x %d rounds, median)\n",
                sizeof(void*) == 8 ? "x86_64" : "i686", perRound, rounds);
    std::printf("tick %.1f us, raw cycles %.1f us, ratio %.3f (goal: at most 1.1); %.2f %% of the 200 ms interval\n",
                tickUs, rawUs, tickUs / rawUs, tickUs / 2000.0);
    control.Reset();
    return box.shown == 0 ? 0 : 1;
}

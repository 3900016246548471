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

#include "bench_timing_win32.h"
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
    if (!access.GetActivePanel().Ok()) {
        std::fprintf(stderr, "velmic_poll_bench: no active panel\n");
        return 1;
    }

    // What a tick with panel 0 active must send: NeedUpdate and GetDevices
    // read the driver status; GetPointdataEnable and GetPanelId check the
    // panel and ask it.
    using tavlo_bench::Step;
    const Step status{IOCTL_TAVLO_GET_STATUS, {}, 3};
    const std::vector<std::vector<Step>> cycles = {
        {status},
        {status},
        {status, {IOCTL_TAVLO_GET_POINTDATA_ENABLE, {0}, 1}},
        {status, {IOCTL_TAVLO_GET_PANEL_ID, {0}, 1}},
    };
    double tickUs = 0, rawUs = 0;
    tavlo_bench::TimePair([&] { access.GetActivePanel(); },
                          [&] {
                              for (const auto& cycle : cycles) tavlo_bench::RawSequence(cycle);
                          },
                          rounds, perRound, &tickUs, &rawUs);
    std::printf("Velmic poll tick (%s, simulated driver, one enabled panel, %d ticks x %d rounds, median)\n",
                sizeof(void*) == 8 ? "x86_64" : "i686", perRound, rounds);
    std::printf("tick %.1f us, raw cycles %.1f us, ratio %.3f (goal: at most 1.1); %.2f %% of the 200 ms interval\n",
                tickUs, rawUs, tickUs / rawUs, tickUs / 2000.0);
    control.Reset();
    return box.shown == 0 ? 0 : 1;
}

// The console's biggest readers with four panels on the simulated driver:
// `export all`, `doctor` and `list`. Prints for each the device cycles it
// makes (open, request(s), close: counted from the driver's request log)
// per panel, and its time against that of the bare open-status-close
// cycle. Asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench_timing_win32.h"
#include "control_transport_win32.h"
#include "platform_win32.h"
#include "sim_control.h"
#include "tavlo.h"
#include "tavloctl.h"

namespace {

const int kPanels = 4;

// Cycles in the driver's log: every cycle of a panel command begins with a
// status request; the driver-wide ones (version, start-up, click and once
// modes) are one request each.
int Cycles(const std::vector<tavlosim::RequestInfo>& log) {
    int cycles = 0;
    for (const tavlosim::RequestInfo& request : log) {
        const std::uint32_t code = request.code;
        const std::uint32_t function = (code >> 2) & 0xFFF;  // 0x870..0x87B: start-up, click and once modes
        if (code == IOCTL_TAVLO_GET_STATUS || code == IOCTL_TAVLO_GET_VERSION ||
            (function >= 0x870 && function <= 0x87B)) {
            ++cycles;
        }
    }
    return cycles;
}

}  // namespace

int main(int argc, char** argv) {
    const int perRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int rounds = 5;
    tavlosim::Win32ControlTransport transport;
    tavlosim::SimControl control(transport);
    if (!transport.IsOpen() || control.Reset() != 0) {
        std::fprintf(stderr, "tavloctl_bench: the simulated driver is not available\n");
        return 1;
    }
    for (int i = 0; i < kPanels; ++i) control.Attach(static_cast<std::uint8_t>(0x11 * (i + 1)), 0x105, nullptr);

    tavloctl::WindowsPlatform platform;
    std::printf("tavloctl with %d panels (%s, simulated driver, %d runs x %d rounds, median)\n", kPanels,
                sizeof(void*) == 8 ? "x86_64" : "i686", perRound, rounds);
    std::printf("%-12s %8s %10s %10s %12s %12s\n", "command", "cycles", "per panel", "ms", "raw cycle us",
                "in raw cycles");
    const tavlo_bench::Step status{IOCTL_TAVLO_GET_STATUS, {}, 3};
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", "all"}, std::vector<std::string>{"doctor"},
          std::vector<std::string>{"list"}}) {
        std::ostringstream out, err;
        control.ClearLog();
        tavloctl::Run(args, out, err, platform);
        std::vector<tavlosim::RequestInfo> log;
        control.GetLog(&log);
        const int cycles = Cycles(log);
        const bool full = log.size() >= 128;  // the driver keeps the last 128 requests

        double command = 0, raw = 0;
        tavlo_bench::TimePair(
            [&] {
                std::ostringstream o, e;
                tavloctl::Run(args, o, e, platform);
            },
            [&] { tavlo_bench::RawSequence({status}); }, rounds, perRound, &command, &raw);
        std::printf("%-12s %7d%s %10.1f %10.2f %12.1f %12.0f\n", args[0].c_str(), cycles, full ? "+" : " ",
                    static_cast<double>(cycles) / kPanels, command / 1000.0, raw, command / raw);
    }
    std::printf("goal: under 50 cycles per panel; \"+\": the driver's log was full, at least that many\n");
    control.Reset();
    return 0;
}

// The long soak of the interlock: interlock_soak [POLLS [SEED]] prints its
// figures and exits 1 at the first difference from the interlock's rules.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "interlock_soak.h"

int main(int argc, char** argv) {
    const long polls = argc > 1 ? std::atol(argv[1]) : 1000000;
    const auto schedule = static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 20240607u);
    const auto start = std::chrono::steady_clock::now();
    const nystra_soak::SoakFigures f = nystra_soak::RunInterlockSoak(schedule, polls);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("schedule %u: %ld polls in %.1f s\n", schedule, f.polls, seconds);
    std::printf("activations %ld, time releases %ld, requests shown %ld, failed polls %ld\n", f.activations,
                f.timeReleases, f.requests, f.failedPolls);
    std::printf("attaches %ld, removals %ld (at most %d panels), touches %ld, record edits %ld\n", f.attaches,
                f.removals, f.mostPanels, f.touches, f.recordEdits);
    std::printf("driver faults %ld, device absences %ld, activate messages %ld, Release presses %ld\n", f.driverFaults,
                f.deviceAbsences, f.messages, f.releasePresses);
    if (!f.failure.empty()) {
        std::printf("FAILED %s\n", f.failure.c_str());
        return 1;
    }
    std::printf("trace lines of activations, requests and releases checked in order: %ld\n", f.traced);
    std::printf(
        "every poll: at most one panel enabled, rows match the records, state matches the rules,\n"
        "every activation and release told in the trace in order\n");
    return 0;
}

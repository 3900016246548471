// nystra_bench: times the interlock's poll while no panel is active, as
// Nystra.exe runs it five times a second (the touch reads of every panel
// through BRIMOL.DLL), and for comparison the probe of the sixteen panel
// record keys that constructing a record object costs. Run by bench.sh with
// the simulated driver holding the panels.
//   nystra_bench [POLLS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "nystra_dlg.h"

namespace {

// The interlock without a window: nothing to show, no timer to arm.
class NoWindow final : public nystra::NystraView {
public:
    void SetText(int, const std::string&) override {}
    void ShowIndicator(bool) override {}
    void AddTrayIcon(int) override {}
    void SetTrayIcon(int) override {}
    void DeleteTrayIcon() override {}
    void BroadcastUpdate() override {}
    void StartPollTimer(unsigned) override {}
    void StopPollTimer() override {}
    void ShowAndRestore() override {}
    void BringToForeground() override {}
    void MinimizeAndHide() override {}
    void SetTopmost(bool) override {}
    void ShowAbout() override {}
    bool Confirm(const std::string&) override { return false; }
    void EndDialog() override {}
};

}  // namespace

int main(int argc, char** argv) {
    const int polls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    NoWindow view;
    nystra::CNystraDlg dlg(view);
    dlg.OnInitDialog();
    if (dlg.usb.deviceCount == 0) {
        std::fprintf(stderr, "nystra_bench: no panels on the driver\n");
        return 1;
    }
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 10; ++i) dlg.OnPollTimer();  // warm-up
    auto elapsedMs = [&] {
        return 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    std::vector<double> ms;
    double touchMs = 0, probeMs = 0;
    for (int i = 0; i < polls; ++i) {
        QueryPerformanceCounter(&start);
        dlg.OnPollTimer();
        QueryPerformanceCounter(&stop);
        ms.push_back(elapsedMs());
        // The two parts of the poll on their own.
        CUSBInterface usb = dlg.usb;
        QueryPerformanceCounter(&start);
        usb.PresentTouchState();
        QueryPerformanceCounter(&stop);
        touchMs += elapsedMs();
        QueryPerformanceCounter(&start);
        { CRegSystem records; }
        QueryPerformanceCounter(&stop);
        probeMs += elapsedMs();
    }
    const bool released = dlg.state == nystra::InterlockState::kReleased;
    dlg.OnDestroy();
    if (!released) {
        std::fprintf(stderr, "nystra_bench: a panel became active during the run\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    const double mean = sum / static_cast<double>(ms.size());
    std::printf("poll while Released, %d panels, %d polls: mean %.3f ms, median %.3f ms, 95th %.3f ms, max %.3f ms\n",
                dlg.usb.deviceCount, polls, mean, ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
    std::printf("of which touch reads %.3f ms; a record object's key probe would add %.3f ms (means)\n",
                touchMs / polls, probeMs / polls);
    std::printf("poll time as a share of the %u ms interval: %.2f %% (goal <= 1 %%)\n", nystra::kReleasedPollMs,
                100.0 * mean / nystra::kReleasedPollMs);
    return 0;
}

// Palvine's numbers under Wine, against the simulated driver; nothing is
// asserted.
//   1. One poll tick (MainDlg's ClickChkTimer_Timer over TAVLO.DLL) against
//      the two bare CreateFileA + DeviceIoControl + CloseHandle cycles it
//      makes, as microseconds and their ratio.
//   2. The GDI and USER object counts of the process around 10,000 ticks of
//      the real window's timer with the once flag toggling at every tick,
//      so that every tick loads and replaces a picture. Wine does not count
//      them (GetGuiResources gives 0), so the committed memory of the process
//      is printed as well: 10,000 icons left alive would show there.
// Run from the folder with TAVLO.DLL, left.ico and right.ico.
#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing_win32.h"
#include "form_tool_win32.h"
#include "main_dlg.h"
#include "main_dlg_win32.h"
#include "palvine_ids.h"
#include "tavlo.h"

namespace {

// The window as the poll needs it: nothing on the screen.
class NullWindow final : public palvine::SysWindow, public palvine::MainDlgView {
public:
    bool AppendMenuSeparator() override { return true; }
    bool AppendMenuItem(std::uint32_t, const char*) override { return true; }
    bool SetMenuItem(std::uint32_t, const char*, bool) override { return true; }
    bool SetTopmost(bool) override { return true; }
    void ReplaceWindowProc() override {}
    double Width() override { return 945; }
    double Height() override { return 945; }
    void SetWidth(double) override {}
    void SetHeight(double) override {}
    double PictureWidth() override { return 480; }
    double PictureHeight() override { return 480; }
    void SetPictureTop(double) override {}
    void SetPictureLeft(double) override {}
    bool AnotherInstanceRunning() override { return false; }
    void ShowPicture(const std::string&) override {}
    void StartTimer(unsigned) override {}
    void StopTimer() override {}
    void ShowErrorReport() override { std::puts("error report"); }
    void Close() override {}
};

HANDLE OpenDevice() {
    return CreateFileA("\\\\.\\Tavlo", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// One open-request-close cycle, written out by hand.
void RawCycle(DWORD code, DWORD outSize) {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    BYTE out[8];
    DWORD returned = 0;
    DeviceIoControl(device, code, nullptr, 0, out, outSize, &returned, nullptr);
    CloseHandle(device);
}

void SetOnceFlag(BYTE flag) {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    BYTE in[2] = {flag, 2};
    DWORD returned = 0;
    DeviceIoControl(device, IOCTL_TAVLO_SET_CLICK_ONCE_MODE, in, sizeof in, nullptr, 0, &returned, nullptr);
    CloseHandle(device);
}

using tavlo_bench::Median;
using tavlo_bench::Seconds;

void PollAgainstRawCycles(tavlo::TavloIoctl& device, int rounds, int perRound) {
    NullWindow window;
    palvine::SysControl sys(window);
    palvine::MainDlg dlg(device, window, sys);
    dlg.Form_Load("");
    if (!dlg.Running()) {
        std::puts("the poll could not start (no driver?)");
        return;
    }
    std::vector<double> pollSamples, rawSamples;
    for (int r = 0; r < rounds; ++r) {
        double poll = 0, raw = 0;
        for (int i = 0; i < perRound; ++i) {
            // Alternating call by call, so that load elsewhere falls on both.
            const double t0 = Seconds();
            dlg.ClickChkTimer_Timer();
            const double t1 = Seconds();
            RawCycle(IOCTL_TAVLO_GET_CLICK_MODE, 1);
            RawCycle(IOCTL_TAVLO_GET_CLICK_ONCE_MODE, 2);
            raw += Seconds() - t1;
            poll += t1 - t0;
        }
        pollSamples.push_back(poll * 1e6 / perRound);
        rawSamples.push_back(raw * 1e6 / perRound);
    }
    const double p = Median(pollSamples), q = Median(rawSamples);
    std::printf("poll tick: %.1f us, two raw cycles: %.1f us, ratio %.3f (target <= 1.1)\n", p, q, p / q);
    dlg.Form_Unload();
}

void ObjectCountsOverTicks(HINSTANCE instance, tavlo::TavloIoctl& device, int ticks) {
    palvine::MainDlgWindow window(instance, device);
    if (!window.Create("")) {
        std::puts("the window could not start");
        return;
    }
    HWND handle = window.Handle();
    // The timer's own ticks are not wanted here: each tick is sent.
    window.StopTimer();
    struct Counts {
        DWORD gdi, user;
        SIZE_T privateBytes;
    };
    auto counts = [] {
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                sizeof memory);
        return Counts{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                      GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), memory.PagefileUsage};
    };
    // A first round of changes, so that what is created once is counted.
    for (int i = 0; i < 4; ++i) {
        SetOnceFlag(static_cast<BYTE>((i + 1) % 2));
        SendMessageA(handle, WM_TIMER, ID_CLICK_CHK_TIMER, 0);
    }
    const auto before = counts();
    const double t0 = Seconds();
    for (int i = 0; i < ticks; ++i) {
        SetOnceFlag(static_cast<BYTE>((i + 1) % 2));
        SendMessageA(handle, WM_TIMER, ID_CLICK_CHK_TIMER, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    const double seconds = Seconds() - t0;
    const auto after = counts();
    std::printf(
        "%d ticks with the flag toggling (%.1f s): GDI objects %lu -> %lu, USER objects %lu -> %lu, "
        "committed memory %lu -> %lu KiB\n",
        ticks, seconds, before.gdi, after.gdi, before.user, after.user,
        static_cast<unsigned long>(before.privateBytes / 1024), static_cast<unsigned long>(after.privateBytes / 1024));
    SendMessageA(handle, WM_CLOSE, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 10000;
    winui::FormToolDevice device("Palvine", [] { return static_cast<HWND>(nullptr); });
    std::puts("== Palvine: one poll tick against its two raw open-request-close cycles");
    PollAgainstRawCycles(device.Device(), rounds, 200);
    std::puts("== Palvine: GDI and USER objects over the picture changes");
    ObjectCountsOverTicks(GetModuleHandleA(nullptr), device.Device(), ticks);
    return 0;
}

// Timing helpers of the benchmarks under Wine: the bare open-request-close
// cycle an export makes, written out by hand, and paired timing of two
// calls in alternation.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace tavlo_bench {

struct Step {
    DWORD code;
    std::vector<BYTE> in;
    DWORD outSize;
};

// The raw sequence: what an export does, written out by hand.
inline void RawSequence(const std::vector<Step>& steps) {
    HANDLE device = CreateFileA("\\\\.\\Tavlo", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return;
    BYTE out[16];
    for (const Step& step : steps) {
        DWORD returned = 0;
        DeviceIoControl(device, step.code, step.in.empty() ? nullptr : const_cast<BYTE*>(step.in.data()),
                        static_cast<DWORD>(step.in.size()), step.outSize ? out : nullptr, step.outSize, &returned,
                        nullptr);
    }
    CloseHandle(device);
}

inline double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Times `a` and `b` call by call in alternation, so that load elsewhere on
// the machine falls on both alike. Returns the medians over rounds of the
// mean microseconds per call.
inline void TimePair(const std::function<void()>& a, const std::function<void()>& b, int rounds, int perRound,
                     double* aMicros, double* bMicros) {
    std::vector<double> aSamples, bSamples;
    for (int r = 0; r < rounds; ++r) {
        double aTotal = 0, bTotal = 0;
        for (int i = 0; i < perRound; ++i) {
            const double t0 = Seconds();
            a();
            const double t1 = Seconds();
            b();
            bTotal += Seconds() - t1;
            aTotal += t1 - t0;
        }
        aSamples.push_back(aTotal * 1e6 / perRound);
        bSamples.push_back(bTotal * 1e6 / perRound);
    }
    *aMicros = Median(aSamples);
    *bMicros = Median(bSamples);
}

}  // namespace tavlo_bench

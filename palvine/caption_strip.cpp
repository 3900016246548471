#include "caption_strip.h"

namespace palvine {

std::vector<StripRect> CaptionStrip::Grip(int clientWidth) const {
    constexpr int kMostDots = 6;
    const int dot = height_ / 8 > 1 ? height_ / 8 : 1;
    const int pitch = 2 * dot;  // a dot and a gap of the same size
    // n dots take n * pitch - dot, with a margin of a dot at each end.
    int dots = (clientWidth - dot) / pitch;
    if (dots > kMostDots) dots = kMostDots;
    std::vector<StripRect> grip;
    if (dots < 2) return grip;
    const int width = dots * pitch - dot;
    const int height = 2 * pitch - dot;
    const int left = (clientWidth - width) / 2;
    const int top = (height_ - height) / 2;
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < dots; ++i) grip.push_back({left + i * pitch, top + row * pitch, dot, dot});
    }
    return grip;
}

}  // namespace palvine

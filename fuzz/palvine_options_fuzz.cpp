// Palvine's command line as any bytes: any length, any case, bytes of any
// code page, option names cut off, doubled or run into each other. Each
// group's result must be one of its values and equal what a second, plain
// reading gives: the last option of the group's order that occurs anywhere,
// letters compared without case in ASCII only.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "options.h"

namespace {

struct Option {
    const char* text;
    int value;
};

// The groups in the order their options are tried; the last found wins.
const Option kTopMost[] = {{"/notop", 0}, {"/top", 1}};
const Option kSize[] = {{"/smallsize", 1}, {"/largesize", 3}, {"/nmlsize", 2}};
const Option kNormal[] = {{"/normalmiddle", 4}, {"/normalright", 2}, {"/normalleft", 1}};
const Option kOnce[] = {{"/oncemiddle", 4}, {"/onceleft", 1}, {"/onceright", 2}};

bool SameLetter(char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

template <std::size_t N>
int Expected(std::string_view line, const Option (&group)[N], int otherwise) {
    int value = otherwise;
    for (const Option& option : group) {
        const std::string_view text(option.text);
        if (std::search(line.begin(), line.end(), text.begin(), text.end(), SameLetter) != line.end()) {
            value = option.value;
        }
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bytes as they are, so that a read past the input is caught.
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const palvine::Options options = palvine::ReadOptions(line);
    FUZZ_CHECK((options.TopMost ? 1 : 0) == Expected(line, kTopMost, 1));
    FUZZ_CHECK(static_cast<int>(options.SizeCode) == Expected(line, kSize, 1));
    FUZZ_CHECK(options.NormalButton == Expected(line, kNormal, 1));
    FUZZ_CHECK(options.OnceButton == Expected(line, kOnce, 2));
    return 0;
}

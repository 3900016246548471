// Reads a fuzzer's byte string as a stream of small decisions. Past the end
// every read yields zeros, so any input, however short, is a complete run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool Bit() { return (Byte() & 1) != 0; }
    std::uint16_t Le16() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::uint32_t Le32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return value;
    }
    // A number below `count` (count > 0).
    std::size_t Below(std::size_t count) { return Byte() % count; }
    // `count` bytes, zeros past the end of the input.
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        for (std::uint8_t& b : bytes) b = Byte();
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A broken promise of the code under test: say which, and crash so that
// libFuzzer keeps the input and the corpus replay fails.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::fuzz::Fail(#condition, __FILE__, __LINE__))

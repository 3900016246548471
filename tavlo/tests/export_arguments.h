// Arguments for calling any export of tavlo_exports.inc by its table line:
// members named as the table's `arguments` column names them (panel 0, the
// working set, a stamp the caller keeps fresh). A new argument name in the
// table needs a member here. Out-parameters are heap blocks of their exact
// width, preset to a pattern no export stores, so that AddressSanitizer sees
// any stray byte and a test can tell what an export stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tavlo.h"

namespace tavlo_test {

template <typename T, std::size_t Count = 1>
struct Out {
    std::unique_ptr<T[]> items{new T[Count]};
    Out() {
        for (std::size_t i = 0; i < Count; ++i) items[i] = static_cast<T>(0x5C5C);
    }
    operator T*() { return items.get(); }
    void AppendTo(std::vector<std::uint8_t>& bytes) const {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(items.get());
        bytes.insert(bytes.end(), raw, raw + sizeof(T) * Count);
    }
};

// An argument that is an input (0) in one export and an output byte in
// another (`enable`, `on`, `led`, ...).
struct ByteSlot : Out<std::uint8_t> {
    operator std::uint32_t() const { return 0; }
};

struct ExportArguments {
    Out<std::uint16_t> stamp, version, firmVer, word;
    std::uint32_t panel = 0, alt = 0, address = 0x12;
    Out<std::uint8_t> count, panelId, touched;
    Out<std::int16_t, 4> cal, click;
    ByteSlot enable, on, led, mode, button, onceFlag, onceButton;

    // Every out-parameter but the stamp, byte by byte.
    std::vector<std::uint8_t> Outputs() const {
        std::vector<std::uint8_t> bytes;
        for (const auto* out : {&version, &firmVer, &word}) out->AppendTo(bytes);
        for (const auto* out : {&count, &panelId, &touched}) out->AppendTo(bytes);
        cal.AppendTo(bytes);
        click.AppendTo(bytes);
        for (const ByteSlot* out : {&enable, &on, &led, &mode, &button, &onceFlag, &onceButton}) out->AppendTo(bytes);
        return bytes;
    }
};

// What a call left behind: its status, the stamp and every other out-parameter.
struct CallResult {
    TavloStatus status;
    std::uint16_t stamp;
    std::vector<std::uint8_t> outputs;
};

// One line of the export table: `call` calls the export with fresh
// arguments and the given stamp; `via` is how the includer reaches it.
struct ExportLine {
    std::string name;
    std::function<CallResult(std::uint16_t stamp, void* via)> call;
    std::vector<std::uint32_t> requests;
};

inline void PrintTo(const ExportLine& line, std::ostream* os) { *os << line.name; }

// ExportLine{...}, for TAVLO_EXPORT over tavlo_exports.inc. The includer
// defines TAVLO_REACH(name, command, arguments, via), the call itself: made
// directly, through a binding passed as `via`, or by name.
#define TAVLO_UNWRAP(...) __VA_ARGS__
#define TAVLO_EXPORT_LINE(name, command, arguments, requests)                 \
    ExportLine{#name,                                                         \
               [](std::uint16_t fresh, void* reach) {                         \
                   struct : ExportArguments {                                 \
                       TavloStatus Run(void* via) {                           \
                           static_cast<void>(via);                            \
                           return TAVLO_REACH(name, command, arguments, via); \
                       }                                                      \
                   } call;                                                    \
                   call.stamp[0] = fresh;                                     \
                   const TavloStatus status = call.Run(reach);                \
                   return CallResult{status, call.stamp[0], call.Outputs()};  \
               },                                                             \
               {TAVLO_UNWRAP requests}},

}  // namespace tavlo_test

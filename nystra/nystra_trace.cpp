#include "nystra_trace.h"

namespace nystra {
namespace {

class DroppedTrace final : public TraceSink {
public:
    void Write(const std::string&) override {}
};

const char kHex[] = "0123456789abcdef";

// Appends one byte as the trace shows it; quotes and backslashes are
// escaped only inside a name, where they would end or bend the quoting.
void AppendByte(std::string& out, unsigned char byte, bool inName) {
    if (inName && (byte == '"' || byte == '\\')) {
        out += '\\';
        out += static_cast<char>(byte);
    } else if (byte < 0x20 || byte >= 0x7F) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    } else {
        out += static_cast<char>(byte);
    }
}

// The longest start of `line` of at most `limit` characters that ends
// between two escapes, reading the line as a reader does, left to right:
// "\xNN" is one escape of four characters, a backslash and any other
// character one of two (an escaped backslash followed by an x stays apart).
std::size_t CutAtEscapeBoundary(const std::string& line, std::size_t limit) {
    std::size_t kept = 0;
    while (kept < line.size()) {
        std::size_t length = 1;
        if (line[kept] == '\\') length = kept + 1 < line.size() && line[kept + 1] == 'x' ? 4 : 2;
        if (kept + length > limit) break;
        kept += length;
    }
    return kept;
}

}  // namespace

TraceSink& NoTrace() {
    static DroppedTrace dropped;
    return dropped;
}

std::string TraceName(const std::string& name) {
    std::string out = "\"";
    const std::size_t shown = name.size() < kTraceNameMax ? name.size() : kTraceNameMax;
    for (std::size_t i = 0; i < shown; ++i) AppendByte(out, static_cast<unsigned char>(name[i]), true);
    out += '"';
    if (name.size() > kTraceNameMax) out += "...";
    return out;
}

std::string TracePanel(int number, int id, const std::string& name) {
    return "panel " + std::to_string(number) + " (id " + std::to_string(id) + ", " + TraceName(name) + ")";
}

std::string TraceStatus(long status) {
    switch (status) {
    case 1:
        return "status 1: the driver cannot be opened";
    case 2:
        return "status 2: no panel";
    case 3:
        return "status 3: the panel set keeps changing";
    case 5:
        return "status 5: panel number out of range";
    default:
        return "status " + std::to_string(status) + ": driver failure";
    }
}

void Trace(TraceSink& sink, const std::string& text) {
    std::string line = kTracePrefix;
    std::size_t used = 0;
    for (; used < text.size() && line.size() <= kTraceLineMax; ++used) {
        AppendByte(line, static_cast<unsigned char>(text[used]), false);
    }
    if (used < text.size() || line.size() > kTraceLineMax) {
        // Cut, and said to be cut. An escape cut short would read as
        // another character, so the cut falls between two escapes.
        line.resize(CutAtEscapeBoundary(line, kTraceLineMax - 3));
        line += "...";
    }
    sink.Write(line);
}

}  // namespace nystra

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
        // another character: the cut falls before a backslash among the
        // last three characters kept.
        line.resize(kTraceLineMax - 3);
        const std::size_t backslash = line.find('\\', line.size() - 3);
        if (backslash != std::string::npos) line.resize(backslash);
        line += "...";
    }
    sink.Write(line);
}

}  // namespace nystra

// The interlock's trace: one line per decision (start and end, activation,
// take-over, request, release and its cause, driver lost and regained), for
// service and audit without a log file. Each line goes out on its own
// through the system's debug output, where the usual debug-output viewers
// show it with the process id.
//
// A line is plain printable ASCII and never longer than kTraceLineMax, what
// ever a panel record holds: a name is cut to kTraceNameMax bytes, and a
// control character, a quote, a backslash or a byte outside ASCII appears
// as an escape (\" \\ \xNN).
#pragma once

#include <cstddef>
#include <string>

namespace nystra {

class TraceSink {
public:
    // One line, without its end-of-line.
    virtual void Write(const std::string& line) = 0;

protected:
    ~TraceSink() = default;
};

// A sink that drops every line.
TraceSink& NoTrace();

inline constexpr const char* kTracePrefix = "Nystra: ";
inline constexpr std::size_t kTraceNameMax = 32;
inline constexpr std::size_t kTraceLineMax = 400;

// A panel name as the trace shows it: quoted, escaped, cut with "..."
// after kTraceNameMax bytes.
std::string TraceName(const std::string& name);

// `panel 1 (id 34, "Line B")`.
std::string TracePanel(int number, int id, const std::string& name);

// What a non-zero status of the panel poll means, in a few words.
std::string TraceStatus(long status);

// Writes kTracePrefix + text as one line: any character that would break it
// is escaped and the line cut to kTraceLineMax.
void Trace(TraceSink& sink, const std::string& text);

}  // namespace nystra

// The trace's lines: whatever a panel record holds, each is one line of
// printable ASCII within kTraceLineMax, and a name reads back unchanged
// when it is plain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nystra_trace.h"

namespace nystra {
namespace {

struct Lines final : TraceSink {
    void Write(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

bool PrintableAscii(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

TEST(Trace, PanelNames) {
    const struct {
        const char* what;
        std::string name;
        std::string shown;
    } cases[] = {
        {"plain", "Line B", "\"Line B\""},
        {"empty", "", "\"\""},
        {"quote and backslash", "A \"B\" C\\D", "\"A \\\"B\\\" C\\\\D\""},
        {"line breaks and tab", "A\r\nB\tC", "\"A\\x0d\\x0aB\\x09C\""},
        {"escape and delete", "\x1b[2J\x7f", "\"\\x1b[2J\\x7f\""},
        {"outside ASCII (Latin-1 and UTF-8)", "S\xfc" "d \xc3\xa9", "\"S\\xfcd \\xc3\\xa9\""},
        {"exactly the most bytes shown", std::string(kTraceNameMax, 'x'), "\"" + std::string(kTraceNameMax, 'x') + "\""},
        {"one byte more: cut", std::string(kTraceNameMax + 1, 'x'),
         "\"" + std::string(kTraceNameMax, 'x') + "\"..."},
        {"63 bytes of the record", std::string(63, 'y'), "\"" + std::string(kTraceNameMax, 'y') + "\"..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TraceName(c.name), c.shown);
    }
    EXPECT_EQ(TracePanel(1, 34, "Line B"), "panel 1 (id 34, \"Line B\")");
}

// The worst names a record can hold, in the longest line the controller
// writes (a request names two panels): still one bounded line, and whole.
TEST(Trace, OddNamesKeepOneBoundedLine) {
    const std::string names[] = {
        std::string(63, '\n'), std::string(63, '\xff'), std::string(63, '"'), std::string(63, '\\'),
        std::string("Line\0B", 6), "\xe7\xba\xbf\xe8\xb7\xaf B",  // a NUL inside; UTF-8 Chinese
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        Lines trace;
        Trace(trace, "request from " + TracePanel(3, 255, name) + " while " + TracePanel(0, -1, name) + " is active");
        ASSERT_EQ(trace.lines.size(), 1u);
        const std::string& line = trace.lines[0];
        EXPECT_LE(line.size(), kTraceLineMax);
        EXPECT_TRUE(PrintableAscii(line)) << line;
        EXPECT_EQ(line.rfind("Nystra: request from panel 3 (id 255, \"", 0), 0u) << line;
        // Long enough for both panels: nothing of the line is cut.
        EXPECT_EQ(line.substr(line.size() - 10), " is active") << line;
    }
}

// A text longer than a line is cut, says so, and never ends inside an
// escape (which would read as another byte).
TEST(Trace, LongTextIsCut) {
    const std::string prefix = kTracePrefix;
    const std::size_t room = kTraceLineMax - prefix.size();
    const struct {
        const char* what;
        std::string text;
        std::string expected;
    } cases[] = {
        {"fits exactly", std::string(room, 'a'), prefix + std::string(room, 'a')},
        {"one more", std::string(room + 1, 'a'), prefix + std::string(room - 3, 'a') + "..."},
        {"escapes across the cut", std::string(room, '\x01'),
         [&] {
             std::string kept;
             while (kept.size() + 4 <= room - 3) kept += "\\x01";
             return prefix + kept + "...";
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lines trace;
        Trace(trace, c.text);
        ASSERT_EQ(trace.lines.size(), 1u);
        EXPECT_EQ(trace.lines[0], c.expected);
        EXPECT_LE(trace.lines[0].size(), kTraceLineMax);
    }
    // An escaped backslash followed by an x, cut after its first backslash:
    // a lone backslash before "..." would read as an escaped dot.
    for (std::size_t lead = 0; lead < 6; ++lead) {
        Lines trace;
        Trace(trace, std::string(room - 9 + lead, 'a') + "\\\\x" + std::string(8, 'b'));
        const std::string& line = trace.lines[0];
        EXPECT_LE(line.size(), kTraceLineMax) << lead;
        const std::string kept = line.substr(0, line.size() - 3);
        std::size_t backslashes = 0;
        while (backslashes < kept.size() && kept[kept.size() - 1 - backslashes] == '\\') ++backslashes;
        EXPECT_EQ(backslashes % 2, 0u) << line;
    }
    // Every position of the cut inside an escape.
    for (std::size_t lead = 0; lead < 4; ++lead) {
        Lines trace;
        Trace(trace, std::string(room - 4 + lead, 'a') + std::string(8, '\n'));
        const std::string& line = trace.lines[0];
        EXPECT_LE(line.size(), kTraceLineMax) << lead;
        const std::size_t escape = line.rfind("\\x");
        if (escape != std::string::npos) {
            EXPECT_EQ(line.substr(escape + 4), "...") << line;
        }
    }
}

TEST(Trace, Statuses) {
    EXPECT_EQ(TraceStatus(1), "status 1: the driver cannot be opened");
    EXPECT_EQ(TraceStatus(2), "status 2: no panel");
    EXPECT_EQ(TraceStatus(7), "status 7: driver failure");
    EXPECT_EQ(TraceStatus(-1), "status -1: driver failure");
}

}  // namespace
}  // namespace nystra

// The trace's lines: whatever a panel record holds, each is one line of
// printable ASCII within kTraceLineMax, and a name reads back unchanged
// when it is plain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nystra_trace.h"
#include "row_name.h"

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

// A panel name as the trace shows it: quoted, escaped, cut after
// kTraceNameMax bytes.
struct NameCase {
    const char* what;
    std::string name;
    std::string shown;
};

class TracePanelName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TracePanelName, IsQuotedEscapedAndCut) { EXPECT_EQ(TraceName(GetParam().name), GetParam().shown); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Trace, TracePanelName,
    ::testing::Values(NameCase{.what = "plain", .name = "Line B", .shown = "\"Line B\""},
                      NameCase{.what = "empty", .name = "", .shown = "\"\""},
        NameCase{.what = "quote and backslash", .name = "A \"B\" C\\D", .shown = "\"A \\\"B\\\" C\\\\D\""},
                      NameCase{.what = "line breaks and tab", .name = "A\r\nB\tC", .shown = "\"A\\x0d\\x0aB\\x09C\""},
                      NameCase{.what = "escape and delete", .name = "\x1b[2J\x7f", .shown = "\"\\x1b[2J\\x7f\""},
        NameCase{.what = "outside ASCII (Latin-1 and UTF-8)", .name = "S\xfc" "d \xc3\xa9", .shown = "\"S\\xfcd \\xc3\\xa9\""},
        NameCase{.what = "exactly the most bytes shown", .name = std::string(kTraceNameMax, 'x'), .shown = "\"" + std::string(kTraceNameMax, 'x') + "\""},
        NameCase{.what = "one byte more: cut", .name = std::string(kTraceNameMax + 1, 'x'), .shown = "\"" + std::string(kTraceNameMax, 'x') + "\"..."},
        NameCase{.what = "63 bytes of the record", .name = std::string(63, 'y'), .shown = "\"" + std::string(kTraceNameMax, 'y') + "\"..."}),
    suite_test::RowName);
// clang-format on

TEST(Trace, PanelWords) { EXPECT_EQ(TracePanel(1, 34, "Line B"), "panel 1 (id 34, \"Line B\")"); }

// The worst names a record can hold, in the longest line the controller
// writes (a request names two panels): still one bounded line, and whole.
struct OddNameCase {
    const char* what;
    std::string name;
};

class TraceOfOddNames : public ::testing::TestWithParam<OddNameCase> {};

TEST_P(TraceOfOddNames, KeepOneBoundedLine) {
    const std::string& name = GetParam().name;
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

INSTANTIATE_TEST_SUITE_P(Trace, TraceOfOddNames,
                         ::testing::Values(OddNameCase{.what = "line feeds", .name = std::string(63, '\n')},
                                           OddNameCase{.what = "bytes 0xff", .name = std::string(63, '\xff')},
                                           OddNameCase{.what = "quotes", .name = std::string(63, '"')},
                                           OddNameCase{.what = "backslashes", .name = std::string(63, '\\')},
                                           OddNameCase{.what = "a NUL inside", .name = std::string("Line\0B", 6)},
                                           OddNameCase{.what = "UTF-8 Chinese", .name = "\xe7\xba\xbf\xe8\xb7\xaf B"}),
                         suite_test::RowName);

// A text longer than a line is cut, says so, and never ends inside an
// escape (which would read as another byte).
const std::string kPrefix = kTracePrefix;
const std::size_t kRoom = kTraceLineMax - kPrefix.size();

struct CutCase {
    const char* what;
    std::string text;
    std::string expected;
};

class LongTrace : public ::testing::TestWithParam<CutCase> {};

TEST_P(LongTrace, IsCut) {
    Lines trace;
    Trace(trace, GetParam().text);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], GetParam().expected);
    EXPECT_LE(trace.lines[0].size(), kTraceLineMax);
}

std::string EscapesCutBeforeTheEnd() {
    std::string kept;
    while (kept.size() + 4 <= kRoom - 3) kept += "\\x01";
    return kPrefix + kept + "...";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Trace, LongTrace,
                         ::testing::Values(
        CutCase{.what = "fits exactly", .text = std::string(kRoom, 'a'), .expected = kPrefix + std::string(kRoom, 'a')},
        CutCase{.what = "one more", .text = std::string(kRoom + 1, 'a'), .expected = kPrefix + std::string(kRoom - 3, 'a') + "..."},
        CutCase{.what = "escapes across the cut", .text = std::string(kRoom, '\x01'), .expected = EscapesCutBeforeTheEnd()}),
                         suite_test::RowName);
// clang-format on

// An escaped backslash followed by an x, cut after its first backslash:
// a lone backslash before "..." would read as an escaped dot.
TEST(Trace, CutKeepsAnEscapedBackslashWhole) {
    for (std::size_t lead = 0; lead < 6; ++lead) {
        Lines trace;
        Trace(trace, std::string(kRoom - 9 + lead, 'a') + "\\\\x" + std::string(8, 'b'));
        const std::string& line = trace.lines[0];
        EXPECT_LE(line.size(), kTraceLineMax) << lead;
        const std::string kept = line.substr(0, line.size() - 3);
        std::size_t backslashes = 0;
        while (backslashes < kept.size() && kept[kept.size() - 1 - backslashes] == '\\') ++backslashes;
        EXPECT_EQ(backslashes % 2, 0u) << line;
    }
}

// Every position of the cut inside an escape.
TEST(Trace, CutKeepsEveryEscapeWhole) {
    for (std::size_t lead = 0; lead < 4; ++lead) {
        Lines trace;
        Trace(trace, std::string(kRoom - 4 + lead, 'a') + std::string(8, '\n'));
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

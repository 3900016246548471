// The agent's protocol: every line gets exactly one reply, bad lines an
// error reply instead of a crash, and the waits run on the agent's clock.
#include "agent_protocol.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace agent {
namespace {

class FakeClock final : public Clock {
public:
    std::uint64_t NowMs() override { return now; }
    void SleepMs(unsigned ms) override {
        now += ms;
        ++sleeps;
    }
    std::uint64_t now = 1000;
    int sleeps = 0;
};

class ProtocolTest : public ::testing::Test {
protected:
    ProtocolTest() {
        dispatcher.Add("echo", "echo", [](const Args& args) { return args.json(); });
        dispatcher.Add("counter", "counter", [this](const Args&) { return Json{{"n", ++calls}}; });
        dispatcher.Add("throws", "throws", [](const Args&) -> Json { throw std::runtime_error("boom"); });
        dispatcher.Add("appears", "fails until the third call", [this](const Args&) {
            if (++calls < 3) throw CommandError("no window yet");
            return Json{{"hwnd", "#1"}};
        });
        dispatcher.Add("typed", "typed", [](const Args& args) {
            return Json{{"n", args.Int("n", 0, 10)}, {"s", args.Str("s", "x")}, {"b", args.Bool("b", false)}};
        });
    }
    Json Handle(const std::string& line) { return Json::parse(dispatcher.HandleLine(line)); }

    FakeClock clock;
    Dispatcher dispatcher{clock};
    int calls = 0;
};

TEST_F(ProtocolTest, BadLinesGetAnErrorReplyAndTheNextLineIsServed) {
    struct Case {
        const char* line;
        const char* error;  // part of the error text
        Json id;
    };
    const Case cases[] = {
        {"", "not JSON", nullptr},
        {"{\"cmd\": \"echo\"", "not JSON", nullptr},
        {"\xff\xfe", "not JSON", nullptr},
        {"[1, 2]", "not a JSON object", nullptr},
        {"\"echo\"", "not a JSON object", nullptr},
        {"{}", "no cmd string", nullptr},
        {"{\"id\": 4, \"cmd\": 7}", "no cmd string", 4},
        {"{\"id\": [1], \"cmd\": \"echo\"}", "id must be", nullptr},
        {"{\"id\": \"a\", \"cmd\": \"nosuch\"}", "unknown command 'nosuch'", "a"},
        {"{\"id\": 5, \"cmd\": \"echo\", \"args\": [1]}", "args must be an object", 5},
        {"{\"id\": 6, \"cmd\": \"throws\"}", "internal error: boom", 6},
        {"{\"cmd\": \"typed\", \"args\": {}}", "missing argument 'n'", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": \"3\"}}", "'n' must be an integer", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": 11}}", "between 0 and 10", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": 18446744073709551615}}", "between 0 and 10", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": -1}}", "between 0 and 10", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": 1.5}}", "must be an integer", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": 1, \"s\": 2}}", "'s' must be a string", nullptr},
        {"{\"cmd\": \"typed\", \"args\": {\"n\": 1, \"b\": 1}}", "true or false", nullptr},
        {"{\"cmd\": \"wait\", \"args\": {\"do\": {\"cmd\": \"echo\"}}}", "missing argument 'match'", nullptr},
        {"{\"cmd\": \"wait\", \"args\": {\"do\": \"echo\", \"match\": 1}}", "'do' must be an object", nullptr},
        {"{\"cmd\": \"batch\", \"args\": {\"commands\": [{\"cmd\": 1}]}}", "batch item 0: a nested command needs",
         nullptr},
    };
    for (const Case& c : cases) {
        const Json reply = Handle(c.line);
        EXPECT_EQ(reply["ok"], false) << c.line;
        EXPECT_NE(reply["error"].get<std::string>().find(c.error), std::string::npos)
            << c.line << " -> " << reply["error"];
        EXPECT_EQ(reply["id"], c.id) << c.line;
        EXPECT_FALSE(reply.contains("result")) << c.line;
        // The dispatcher still serves.
        EXPECT_EQ(Handle(R"({"cmd": "ping"})")["result"]["pong"], true);
    }
}

TEST_F(ProtocolTest, AReplyCarriesTheResultAndTheId) {
    const Json reply = Handle(R"({"id": 9, "cmd": "typed", "args": {"n": 10, "b": true}})");
    EXPECT_EQ(reply, Json::parse(R"({"id": 9, "ok": true, "result": {"n": 10, "s": "x", "b": true}})"));
    // Text that is no valid UTF-8 in a result is replaced, not a crash.
    dispatcher.Add("latin1", "", [](const Args&) { return Json{{"text", std::string("caf\xe9")}}; });
    EXPECT_EQ(Handle(R"({"cmd": "latin1"})")["ok"], true);
    EXPECT_TRUE(Handle(R"({"cmd": "help"})")["result"]["commands"].contains("wait"));
}

TEST(MatchesTest, ObjectsByKeyArraysByElement) {
    struct Case {
        const char* actual;
        const char* expected;
        bool matches;
    };
    const Case cases[] = {
        {R"({"a": 1, "b": 2})", R"({"a": 1})", true},
        {R"({"a": 1})", R"({"a": 1, "b": 2})", false},
        {R"({"a": {"x": 1, "y": 2}})", R"({"a": {"y": 2}})", true},
        {R"({"a": [1, 2]})", R"({"a": [1, 2]})", true},
        {R"({"a": [1, 2, 3]})", R"({"a": [1, 2]})", false},
        {R"({"a": [{"x": 1, "y": 2}, {"x": 3}]})", R"({"a": [{"x": 1}, {}]})", true},
        {R"({"a": 5})", R"({"a": 5.0})", true},
        {R"({"a": "5"})", R"({"a": 5})", false},
        {R"({"a": null})", R"({"a": null})", true},
        {R"({})", R"({"a": null})", false},
        {R"([1])", R"({})", false},
        {R"("x")", R"("x")", true},
        // Comparisons: "at least" and "not" waits, and texts by a part.
        {R"({"n": 12})", R"({"n": {"$ge": 12}})", true},
        {R"({"n": 11})", R"({"n": {"$ge": 12}})", false},
        {R"({"n": 12})", R"({"n": {"$gt": 12}})", false},
        {R"({"n": 3})", R"({"n": {"$lt": 4}})", true},
        {R"({"n": 4})", R"({"n": {"$le": 4}})", true},
        {R"({"n": 4})", R"({"n": {"$ne": 4.0}})", false},
        {R"({"n": "4"})", R"({"n": {"$ne": 4}})", true},
        {R"({"n": "12"})", R"({"n": {"$ge": 1}})", false},
        {R"({})", R"({"n": {"$ge": 1}})", false},
        {R"({"t": "Panel 2 of 4"})", R"({"t": {"$contains": "2 of"}})", true},
        {R"({"t": 5})", R"({"t": {"$contains": "5"}})", false},
        // An object of two keys is a plain object, even with "$" names.
        {R"({"o": {"$ge": 1, "x": 2}})", R"({"o": {"$ge": 1, "x": 2}})", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matches(Json::parse(c.actual), Json::parse(c.expected)), c.matches)
            << c.actual << " / " << c.expected;
    }
}

TEST(MatchesTest, BadComparisonsAreErrors) {
    for (const char* expected : {R"({"$ge": "x"})", R"({"$contains": 1})", R"({"$near": 1})"}) {
        EXPECT_THROW(Matches(Json::parse("1"), Json::parse(expected)), CommandError) << expected;
    }
}

TEST_F(ProtocolTest, WaitRepeatsUntilTheResultMatchesOrTheDeadline) {
    Json reply =
        Handle(R"({"cmd": "wait", "args": {"do": {"cmd": "counter"}, "match": {"n": 4}, "timeout_ms": 1000}})");
    EXPECT_EQ(reply["ok"], true) << reply;
    EXPECT_EQ(reply["result"]["n"], 4);
    EXPECT_EQ(clock.sleeps, 3);

    // Never matches: the error names the last result, after the deadline.
    calls = 0;
    const std::uint64_t start = clock.now;
    reply = Handle(R"({"cmd": "wait", "args": {"do": {"cmd": "counter"}, "match": {"n": 0}, "timeout_ms": 100,
                                              "interval_ms": 30}})");
    EXPECT_EQ(reply["ok"], false);
    EXPECT_EQ(reply["last"], Json::parse(R"({"n": 5})"));
    EXPECT_NE(reply["error"].get<std::string>().find("within 100 ms"), std::string::npos);
    EXPECT_GE(clock.now - start, 100u);
    EXPECT_LT(clock.now - start, 130u);

    // A command that fails until the state comes counts as not yet.
    calls = 0;
    reply = Handle(R"({"cmd": "wait", "args": {"do": {"cmd": "appears"}, "match": {}}})");
    EXPECT_EQ(reply["result"]["hwnd"], "#1") << reply;

    // A zero deadline looks once.
    calls = 0;
    clock.sleeps = 0;
    reply = Handle(R"({"cmd": "wait", "args": {"do": {"cmd": "appears"}, "match": {}, "timeout_ms": 0}})");
    EXPECT_EQ(reply["ok"], false);
    EXPECT_EQ(reply["last"]["error"], "no window yet");
    EXPECT_EQ(clock.sleeps, 0);
}

TEST_F(ProtocolTest, StaysFailsAtTheFirstResultThatDiffers) {
    Json reply = Handle(R"({"cmd": "stays", "args": {"do": {"cmd": "echo", "args": {"v": 1}}, "match": {"v": 1},
                                                   "duration_ms": 500}})");
    EXPECT_EQ(reply["ok"], true);
    EXPECT_GE(clock.sleeps, 10);
    reply = Handle(R"({"cmd": "stays", "args": {"do": {"cmd": "counter"}, "match": {"n": 1}, "duration_ms": 500}})");
    EXPECT_EQ(reply["ok"], false);
    EXPECT_EQ(reply["last"]["n"], 2);
}

TEST_F(ProtocolTest, BatchRunsInOrderAndStopsAtTheFirstError) {
    Json reply = Handle(R"({"cmd": "batch", "args": {"commands": [{"cmd": "counter"}, {"cmd": "echo", "args": {"a": 1}},
                                                                  {"cmd": "counter"}]}})");
    EXPECT_EQ(reply["result"], Json::parse(R"({"results": [{"n": 1}, {"a": 1}, {"n": 2}]})"));
    reply = Handle(
        R"({"cmd": "batch", "args": {"commands": [{"cmd": "counter"}, {"cmd": "nosuch"}, {"cmd": "counter"}]}})");
    EXPECT_EQ(reply["ok"], false);
    EXPECT_NE(reply["error"].get<std::string>().find("batch item 1: unknown command"), std::string::npos);
    EXPECT_EQ(calls, 3);  // the third command did not run
}

TEST_F(ProtocolTest, DeepNestingIsRefusedNotOverflowed) {
    std::string nested = R"({"cmd": "ping"})";
    for (int i = 0; i < 20; ++i) nested = R"({"cmd": "batch", "args": {"commands": [)" + nested + "]}}";
    const Json reply = Handle(nested);
    EXPECT_EQ(reply["ok"], false);
    EXPECT_NE(reply["error"].get<std::string>().find("nested too deeply"), std::string::npos);
    EXPECT_EQ(Handle(R"({"cmd": "batch", "args": {"commands": [{"cmd": "ping"}]}})")["ok"], true);
    std::string deep(100000, '[');
    EXPECT_EQ(Handle(deep)["ok"], false);
}

}  // namespace
}  // namespace agent

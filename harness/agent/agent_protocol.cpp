#include "agent_protocol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace agent {

namespace {

constexpr int kMaxMatchDepth = 64;
constexpr int kMaxNesting = 8;

// {"$ge": 12} and its kin: one comparison of a number (or, for
// "$contains", a text) instead of equality; nullopt when `expected` is
// an ordinary object.
std::optional<bool> Comparison(const Json& actual, const Json& expected) {
    if (expected.size() != 1) return std::nullopt;
    // Key and value through the object's own iterator: a structured binding
    // of *items().begin() refers into a temporary that ends with the line.
    const auto only = expected.begin();
    const std::string& op = only.key();
    const Json& operand = only.value();
    if (op.empty() || op[0] != '$') return std::nullopt;
    if (op == "$ne")
        return !(actual == operand ||
                 (actual.is_number() && operand.is_number() && actual.get<double>() == operand.get<double>()));
    if (op == "$contains") {
        if (!operand.is_string()) throw CommandError("$contains takes a text");
        return actual.is_string() && actual.get<std::string>().find(operand.get<std::string>()) != std::string::npos;
    }
    if (!operand.is_number()) throw CommandError(op + " takes a number");
    if (!actual.is_number()) return false;
    const double a = actual.get<double>(), b = operand.get<double>();
    if (op == "$ge") return a >= b;
    if (op == "$gt") return a > b;
    if (op == "$le") return a <= b;
    if (op == "$lt") return a < b;
    throw CommandError("unknown comparison " + op + " ($ge, $gt, $le, $lt, $ne, $contains)");
}

bool MatchesAt(const Json& actual, const Json& expected, int depth) {
    if (depth > kMaxMatchDepth) throw CommandError("match is nested too deeply");
    if (expected.is_object()) {
        if (const auto compared = Comparison(actual, expected)) return *compared;
        if (!actual.is_object()) return false;
        for (const auto& [key, value] : expected.items()) {
            const auto found = actual.find(key);
            if (found == actual.end() || !MatchesAt(*found, value, depth + 1)) return false;
        }
        return true;
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size()) return false;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (!MatchesAt(actual[i], expected[i], depth + 1)) return false;
        }
        return true;
    }
    // 5 and 5.0 are the same number; JSON has no other distinction here.
    if (expected.is_number() && actual.is_number()) return expected.get<double>() == actual.get<double>();
    return actual == expected;
}

std::string Short(const Json& value) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > 400) text = text.substr(0, 400) + "...";
    return text;
}

// Counts the nesting of wait, stays and batch for as long as it lives.
class Depth {
public:
    explicit Depth(int* depth) : depth_(depth) {
        if (++*depth_ > kMaxNesting) {
            --*depth_;
            throw CommandError("commands are nested too deeply");
        }
    }
    ~Depth() { --*depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int* depth_;
};

int g_depth = 0;

}  // namespace

bool Args::Has(const char* name) const { return args_.contains(name) && !args_.at(name).is_null(); }

const Json& Args::Get(const char* name) const {
    if (!Has(name)) throw CommandError(std::string("missing argument '") + name + "'");
    return args_.at(name);
}

std::string Args::Str(const char* name) const {
    const Json& value = Get(name);
    if (!value.is_string()) throw CommandError(std::string("argument '") + name + "' must be a string");
    return value.get<std::string>();
}

std::string Args::Str(const char* name, const std::string& fallback) const { return Has(name) ? Str(name) : fallback; }

std::int64_t Args::Int(const char* name, std::int64_t min, std::int64_t max) const {
    const Json& value = Get(name);
    std::int64_t number = 0;
    const auto outOfRange = [&] {
        return CommandError(std::string("argument '") + name + "' must be between " + std::to_string(min) + " and " +
                            std::to_string(max));
    };
    if (value.is_number_unsigned()) {
        const auto unsignedValue = value.get<std::uint64_t>();
        if (unsignedValue > static_cast<std::uint64_t>(INT64_MAX)) throw outOfRange();
        number = static_cast<std::int64_t>(unsignedValue);
    } else if (value.is_number_integer()) {
        number = value.get<std::int64_t>();
    } else {
        throw CommandError(std::string("argument '") + name + "' must be an integer");
    }
    if (number < min || number > max) throw outOfRange();
    return number;
}

std::int64_t Args::Int(const char* name, std::int64_t min, std::int64_t max, std::int64_t fallback) const {
    return Has(name) ? Int(name, min, max) : fallback;
}

bool Args::Bool(const char* name, bool fallback) const {
    if (!Has(name)) return fallback;
    const Json& value = Get(name);
    if (!value.is_boolean()) throw CommandError(std::string("argument '") + name + "' must be true or false");
    return value.get<bool>();
}

const Json& Args::Object(const char* name) const {
    const Json& value = Get(name);
    if (!value.is_object()) throw CommandError(std::string("argument '") + name + "' must be an object");
    return value;
}

const Json& Args::Array(const char* name) const {
    const Json& value = Get(name);
    if (!value.is_array()) throw CommandError(std::string("argument '") + name + "' must be an array");
    return value;
}

bool Matches(const Json& actual, const Json& expected) { return MatchesAt(actual, expected, 0); }

Dispatcher::Dispatcher(Clock& clock) : clock_(clock) {
    Add("help", "help: every command and its arguments", [this](const Args&) {
        Json list = Json::object();
        for (const auto& [name, entry] : commands_) list[name] = entry.usage;
        return Json{{"commands", list}};
    });
    Add("ping", "ping: answers {\"pong\": true}", [](const Args&) { return Json{{"pong", true}}; });
    Add("quit", "quit: ends the agent after this reply", [this](const Args&) {
        quitRequested = true;
        return Json::object();
    });
    Add("batch", "batch commands=[{cmd, args}...]: runs them in order; results=[...]; stops at the first error",
        [this](const Args& args) { return Batch(args); });
    Add("wait",
        "wait do={cmd, args} match=JSON [timeout_ms=5000] [interval_ms=20]: repeats the command until its result "
        "holds match (objects: the keys named; arrays: element by element); the result, or an error with the last",
        [this](const Args& args) { return Wait(args); });
    Add("stays",
        "stays do={cmd, args} match=JSON duration_ms=N [interval_ms=50]: checks that the result holds match all "
        "that time; an error with the first result that does not",
        [this](const Args& args) { return Stays(args); });
}

void Dispatcher::Add(const std::string& name, const std::string& usage, Handler handler) {
    commands_[name] = Entry{usage, std::move(handler)};
}

Json Dispatcher::Call(const std::string& name, const Json& args) {
    const auto found = commands_.find(name);
    if (found == commands_.end()) throw CommandError("unknown command '" + name + "' (help lists them)");
    if (!args.is_object()) throw CommandError("args must be an object");
    Json result = found->second.handler(Args(args));
    return result.is_null() ? Json::object() : result;
}

Json Dispatcher::CallNested(const Json& request) {
    if (!request.is_object()) throw CommandError("a nested command must be an object {cmd, args}");
    const auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string()) throw CommandError("a nested command needs a cmd string");
    const auto args = request.find("args");
    return Call(cmd->get<std::string>(), args == request.end() || args->is_null() ? Json::object() : *args);
}

Json Dispatcher::Batch(const Args& args) {
    Depth depth(&g_depth);
    const Json& commands = args.Array("commands");
    Json results = Json::array();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        try {
            results.push_back(CallNested(commands[i]));
        } catch (const CommandError& error) {
            throw CommandError("batch item " + std::to_string(i) + ": " + error.what(), error.last());
        }
    }
    return Json{{"results", results}};
}

Json Dispatcher::Wait(const Args& args) {
    Depth depth(&g_depth);
    const Json& nested = args.Object("do");
    if (!args.Has("match")) throw CommandError("missing argument 'match'");
    const Json& match = args.json().at("match");
    const auto timeout = args.Int("timeout_ms", 0, 600000, 5000);
    const auto interval = args.Int("interval_ms", 1, 5000, 20);
    const std::uint64_t end = clock_.NowMs() + static_cast<std::uint64_t>(timeout);
    Json last;
    for (;;) {
        try {
            last = CallNested(nested);
            if (Matches(last, match)) return last;
        } catch (const CommandError& error) {
            // The command may fail until the awaited state comes (no window
            // yet); the last failure is reported when time runs out.
            last = Json{{"error", error.what()}};
        }
        if (clock_.NowMs() >= end) {
            throw CommandError("wait: " + Short(nested) + " did not give " + Short(match) + " within " +
                                   std::to_string(timeout) + " ms; last: " + Short(last),
                               last);
        }
        clock_.SleepMs(static_cast<unsigned>(interval));
    }
}

Json Dispatcher::Stays(const Args& args) {
    Depth depth(&g_depth);
    const Json& nested = args.Object("do");
    if (!args.Has("match")) throw CommandError("missing argument 'match'");
    const Json& match = args.json().at("match");
    const auto duration = args.Int("duration_ms", 0, 600000);
    const auto interval = args.Int("interval_ms", 1, 5000, 50);
    const std::uint64_t end = clock_.NowMs() + static_cast<std::uint64_t>(duration);
    Json last;
    for (;;) {
        try {
            last = CallNested(nested);
        } catch (const CommandError& error) {
            last = Json{{"error", error.what()}};
        }
        if (!Matches(last, match)) {
            throw CommandError("stays: " + Short(nested) + " changed to " + Short(last) + ", expected " + Short(match),
                               last);
        }
        if (clock_.NowMs() >= end) return last;
        clock_.SleepMs(static_cast<unsigned>(interval));
    }
}

std::string Dispatcher::HandleLine(const std::string& line) {
    Json reply = Json::object();
    reply["id"] = nullptr;
    try {
        const Json request = Json::parse(line, nullptr, /*allow_exceptions=*/false);
        if (request.is_discarded()) throw CommandError("malformed request: not JSON");
        if (!request.is_object()) throw CommandError("malformed request: not a JSON object");
        if (request.contains("id")) {
            const Json& id = request.at("id");
            if (id.is_structured()) throw CommandError("malformed request: id must be a number or a string");
            reply["id"] = id;
        }
        const auto cmd = request.find("cmd");
        if (cmd == request.end() || !cmd->is_string()) throw CommandError("malformed request: no cmd string");
        const auto args = request.find("args");
        const Json noArgs = Json::object();
        reply["result"] = Call(cmd->get<std::string>(), args == request.end() || args->is_null() ? noArgs : *args);
        reply["ok"] = true;
    } catch (const CommandError& error) {
        reply.erase("result");
        reply["ok"] = false;
        reply["error"] = error.what();
        if (!error.last().is_null()) reply["last"] = error.last();
    } catch (const std::exception& error) {
        // A fault of the agent itself (a JSON type error in a handler, no
        // memory): reported, and the agent goes on.
        reply.erase("result");
        reply["ok"] = false;
        reply["error"] = std::string("internal error: ") + error.what();
    }
    return reply.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace agent

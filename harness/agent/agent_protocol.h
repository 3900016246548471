// The harness agent's protocol, portable: one JSON request per line in,
// one JSON reply per line out.
//
//   request  {"id": 7, "cmd": "window.find", "args": {"title": "Main", "timeout_ms": 15000}}
//   reply    {"id": 7, "ok": true, "result": {"hwnd": "#1a2b"}}
//            {"id": 7, "ok": false, "error": "no window Main within 15000 ms"}
//
// "id" is optional and echoed; "args" is optional (an object). A line that
// is no JSON object, names no command or an unknown one, or gives wrong
// arguments gets an error reply; the agent goes on with the next line.
// Built in: help, ping, batch (several commands, one reply), wait (repeat a
// command until its result matches, inside the agent, with a deadline) and
// stays (check that a result keeps matching for a while).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace agent {

using Json = nlohmann::json;

// A command that cannot be done: its text is the reply's "error". `last`,
// when not null, is the last result a wait saw (the reply's "last").
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& what, Json last = nullptr)
        : std::runtime_error(what), last_(std::move(last)) {}
    const Json& last() const { return last_; }

private:
    Json last_;
};

// Time for the waits; the agent's is the system's tick count and Sleep.
class Clock {
public:
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(unsigned ms) = 0;

protected:
    ~Clock() = default;
};

// A request's arguments with typed access; a missing or mistyped argument
// is a CommandError naming it.
class Args {
public:
    explicit Args(const Json& args) : args_(args) {}
    const Json& json() const { return args_; }
    bool Has(const char* name) const;
    std::string Str(const char* name) const;
    std::string Str(const char* name, const std::string& fallback) const;
    std::int64_t Int(const char* name, std::int64_t min, std::int64_t max) const;
    std::int64_t Int(const char* name, std::int64_t min, std::int64_t max, std::int64_t fallback) const;
    bool Bool(const char* name, bool fallback) const;
    const Json& Object(const char* name) const;
    const Json& Array(const char* name) const;

private:
    const Json& Get(const char* name) const;
    const Json& args_;
};

// Whether `actual` holds `expected`: objects key by key (keys `expected`
// does not name are ignored), arrays element by element with the same
// length, everything else equal.
bool Matches(const Json& actual, const Json& expected);

class Dispatcher {
public:
    using Handler = std::function<Json(const Args&)>;

    explicit Dispatcher(Clock& clock);

    // Registers a command; `usage` is shown by help.
    void Add(const std::string& name, const std::string& usage, Handler handler);

    // One request line -> one reply line (no line end). Never throws.
    std::string HandleLine(const std::string& line);

    // Runs a command as a request would; throws CommandError.
    Json Call(const std::string& name, const Json& args);

    // Set by a handler (quit) to end the agent after its reply.
    bool quitRequested = false;

private:
    struct Entry {
        std::string usage;
        Handler handler;
    };
    Json Wait(const Args& args);
    Json Stays(const Args& args);
    Json Batch(const Args& args);
    // The command a wait or stays repeats: {"cmd": ..., "args": {...}}.
    Json CallNested(const Json& request);

    Clock& clock_;
    std::map<std::string, Entry> commands_;
};

}  // namespace agent

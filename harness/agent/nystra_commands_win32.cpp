// The agent's wait on the simulated driver's request log: a soak step waits
// in one request until the program under test has made its next requests
// (a poll), instead of the host polling the log.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "agent_commands_win32.h"
#include "sim_control.h"

namespace agent {

void AddNystraCommands(Dispatcher& d, tavlosim::ControlTransport& transport) {
    d.Add(
        "driver.wait_request",
        "driver.wait_request code=N [in=[bytes]] after=SEQ [count=1] [timeout_ms=5000] [interval_ms=20]: waits until "
        "the request log holds COUNT requests CODE (with that input) later than SEQ; {seq} of the COUNT-th",
        [&transport](const Args& args) {
            const auto code = static_cast<std::uint32_t>(args.Int("code", 0, 0xFFFFFFFF));
            const auto after = args.Int("after", -1, 0xFFFFFFFF);
            const auto count = args.Int("count", 1, 1000, 1);
            const auto timeout = args.Int("timeout_ms", 0, 600000, 5000);
            const auto interval = args.Int("interval_ms", 1, 5000, 20);
            const bool anyInput = !args.Has("in");
            std::vector<std::uint8_t> input;
            if (!anyInput) {
                for (const Json& item : args.Array("in")) {
                    if (!item.is_number_integer() || item.get<std::int64_t>() < 0 || item.get<std::int64_t>() > 0xFF) {
                        throw CommandError("in bytes must be integers 0-255");
                    }
                    input.push_back(static_cast<std::uint8_t>(item.get<int>()));
                }
            }
            const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout);
            std::uint32_t lastError = 0;
            for (;;) {
                tavlosim::SimControl control(transport);
                std::vector<tavlosim::RequestInfo> log;
                lastError = control.GetLog(&log);
                if (lastError == 0) {
                    std::int64_t found = 0;
                    for (const auto& request : log) {
                        if (static_cast<std::int64_t>(request.sequence) <= after || request.code != code) continue;
                        if (!anyInput && request.in != input) continue;
                        if (++found == count) return Json{{"seq", request.sequence}};
                    }
                }
                if (GetTickCount64() >= end) {
                    throw CommandError("driver.wait_request: no " + std::to_string(count) + " requests " +
                                       std::to_string(code) + " after " + std::to_string(after) + " within " +
                                       std::to_string(timeout) + " ms" +
                                       (lastError != 0 ? "; the log: error " + std::to_string(lastError) : ""));
                }
                Sleep(static_cast<DWORD>(interval));
            }
        });
}

}  // namespace agent

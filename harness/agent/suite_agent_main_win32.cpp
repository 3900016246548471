// suite_agent.exe: the end-to-end harness's agent. One runs per test
// session inside Wine; it reads one JSON command per line on its standard
// input and writes one JSON reply per line on its standard output (see
// agent_protocol.h and harness/README.md). Its error output says which
// command it is on, so that the harness can show a crashed agent's last
// words.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "agent_commands_win32.h"
#include "agent_protocol.h"
#include "control_transport_win32.h"
#include "driver_commands.h"

namespace {

class SystemClock final : public agent::Clock {
public:
    std::uint64_t NowMs() override { return GetTickCount64(); }
    void SleepMs(unsigned ms) override { Sleep(ms); }
};

// The driver's control name, opened when first needed and again after it
// failed: the agent may start before the driver answers.
class ReopeningTransport final : public tavlosim::ControlTransport {
public:
    std::uint32_t Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize,
                       std::uint32_t* returned) override {
        if (!open_ || !open_->IsOpen()) open_ = std::make_unique<tavlosim::Win32ControlTransport>();
        if (!open_->IsOpen()) {
            *returned = 0;
            return open_->OpenError() != 0 ? open_->OpenError() : ERROR_FILE_NOT_FOUND;
        }
        return open_->Send(code, in, inSize, out, outSize, returned);
    }

private:
    std::unique_ptr<tavlosim::Win32ControlTransport> open_;
};

LONG WINAPI LastWords(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "suite_agent: crashed with exception 0x%08lx at %p\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool ReadLine(std::string* line) {
    line->clear();
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
        line->append(buffer);
        if (!line->empty() && line->back() == '\n') break;
    }
    if (line->empty()) return false;
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
    return true;
}

void Reply(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main() {
    // Tells the harness this process really started (harness/wine-env.sh).
    if (const char* started = std::getenv("SUITE_TOOL_STARTED")) {
        if (FILE* file = std::fopen(started, "w")) std::fclose(file);
    }
    SetUnhandledExceptionFilter(LastWords);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);

    SystemClock clock;
    ReopeningTransport transport;
    agent::Dispatcher dispatcher(clock);
    agent::AddDriverCommands(dispatcher, transport);
    agent::AddWindowCommands(dispatcher);
    agent::AddRegistryCommands(dispatcher);
    agent::AddProcessCommands(dispatcher);
    agent::AddListenCommands(dispatcher);
    agent::AddPalvineCommands(dispatcher);
    // For the harness's own test of its crash handling.
    dispatcher.Add("selftest.crash", "selftest.crash: ends the agent at once without a reply (harness self-test)",
                   [](const agent::Args&) -> agent::Json {
                       std::fputs("suite_agent: ending on selftest.crash as asked\n", stderr);
                       std::fflush(stderr);
                       std::_Exit(3);
                   });

    Reply(agent::Json{{"ready", true}, {"agent", "suite_agent"}, {"protocol", 1},
                      {"pid", GetCurrentProcessId()}, {"bits", sizeof(void*) * 8}}
              .dump());
    std::string line;
    unsigned long count = 0;
    while (ReadLine(&line)) {
        if (line.empty()) continue;
        ++count;
        // The command being run, cut short: the last words if it crashes.
        std::fprintf(stderr, "suite_agent: %lu: %.200s\n", count, line.c_str());
        std::fflush(stderr);
        Reply(dispatcher.HandleLine(line));
        if (dispatcher.quitRequested) break;
    }
    return 0;
}

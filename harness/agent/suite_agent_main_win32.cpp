// suite_agent.exe: the end-to-end harness's agent. One runs per test
// session inside Wine; it reads one JSON command per line on its standard
// input and writes one JSON reply per line on its standard output (see
// agent_protocol.h and harness/README.md). Its error output says which
// command it is on, so that the harness can show a crashed agent's last
// words.
//
//   suite_agent.exe                 serve commands on standard input
//   suite_agent.exe --once JSON     answer one command and end: status 0 when
//                                   it succeeded (for the session's shell
//                                   script and the benchmarks)
//   suite_agent.exe hold-desktop    keep a hidden window open, so that Wine
//                                   keeps the desktop up for the session
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

// Wine closes the desktop (and its explorer process) about a second after
// the last program with a window on it ended, and starts it again for the
// next one. A program that starts while it closes can fail to get a display.
// A hidden window of this process keeps the desktop up for the whole
// session instead.
int HoldDesktop() {
    HWND window = CreateWindowA("STATIC", "suite agent desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        std::fputs("suite_agent: cannot create the holding window\n", stderr);
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Tells the harness this process really started (harness/wine-env.sh).
    if (const char* started = std::getenv("SUITE_TOOL_STARTED")) {
        if (FILE* file = std::fopen(started, "w")) std::fclose(file);
    }
    if (argc == 2 && std::string(argv[1]) == "hold-desktop") return HoldDesktop();
    const bool once = argc == 3 && std::string(argv[1]) == "--once";
    if (argc > 1 && !once) {
        std::fputs("usage: suite_agent.exe [--once JSON | hold-desktop]\n", stderr);
        return 2;
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
    agent::AddServiceConsoleCommands(dispatcher);
    agent::AddPalvineCommands(dispatcher);
    // For the harness's own test of its crash handling.
    dispatcher.Add("selftest.crash", "selftest.crash: ends the agent at once without a reply (harness self-test)",
                   [](const agent::Args&) -> agent::Json {
                       std::fputs("suite_agent: ending on selftest.crash as asked\n", stderr);
                       std::fflush(stderr);
                       std::_Exit(3);
                   });

    if (once) {
        const std::string reply = dispatcher.HandleLine(argv[2]);
        Reply(reply);
        const agent::Json parsed = agent::Json::parse(reply, nullptr, false);
        return !parsed.is_discarded() && parsed.value("ok", false) ? 0 : 1;
    }
    Reply(agent::Json{{"ready", true},
                      {"agent", "suite_agent"},
                      {"protocol", 1},
                      {"pid", GetCurrentProcessId()},
                      {"bits", sizeof(void*) * 8}}
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

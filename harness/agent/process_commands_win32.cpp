// The agent's process.run: a program run to its end inside the session,
// its output captured, without a Wine start on the host for every call.
#include <windows.h>

#include <string>
#include <vector>

#include "agent_commands_win32.h"
#include "command_line.h"
#include "text_win32.h"
#include "window_probe_win32.h"

namespace agent {

namespace {

unsigned long g_processStarts = 0;

class Handle {
public:
    Handle() = default;
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE* out() { return &handle_; }
    HANDLE get() const { return handle_; }
    void Close() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// Moves what the pipe holds now into `text`, without blocking.
void Drain(HANDLE pipe, std::string* text) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr) || got == 0) {
            return;
        }
        text->append(buffer, got);
    }
}

std::string WithoutCarriageReturns(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

}  // namespace

void AddProcessCommands(Dispatcher& d) {
    d.Add("process.run",
          "process.run exe=PATH [args=[...]] [cwd=DIR] [timeout_ms=60000] [json=false]: runs it to its end; "
          "{status, stdout, stderr} (and json: stdout parsed)",
          [](const Args& args) {
              std::vector<std::string> words{args.Str("exe")};
              if (args.Has("args")) {
                  for (const Json& item : args.Array("args")) {
                      if (!item.is_string()) throw CommandError("args must be strings");
                      words.push_back(item.get<std::string>());
                  }
              }
              const auto timeout = args.Int("timeout_ms", 0, 600000, 60000);
              SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
              Handle outRead, outWrite, errRead, errWrite, input;
              if (!CreatePipe(outRead.out(), outWrite.out(), &inherit, 0) ||
                  !CreatePipe(errRead.out(), errWrite.out(), &inherit, 0)) {
                  throw CommandError("cannot create pipes: error " + std::to_string(GetLastError()));
              }
              SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
              SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);
              *input.out() = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr);
              STARTUPINFOW startup{};
              startup.cb = sizeof startup;
              startup.dwFlags = STARTF_USESTDHANDLES;
              startup.hStdInput = input.get();
              startup.hStdOutput = outWrite.get();
              startup.hStdError = errWrite.get();
              std::wstring line = winui::Widen(CommandLine(words), CP_UTF8);
              const std::wstring cwd = winui::Widen(args.Str("cwd", ""), CP_UTF8);
              PROCESS_INFORMATION info{};
              if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  cwd.empty() ? nullptr : cwd.c_str(), &startup, &info)) {
                  throw CommandError("cannot start " + words[0] + ": error " + std::to_string(GetLastError()));
              }
              ++g_processStarts;
              Handle process, thread;
              *process.out() = info.hProcess;
              *thread.out() = info.hThread;
              outWrite.Close();
              errWrite.Close();
              std::string out, err;
              const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout);
              for (;;) {
                  Drain(outRead.get(), &out);
                  Drain(errRead.get(), &err);
                  if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0) break;
                  if (GetTickCount64() >= end) {
                      TerminateProcess(process.get(), 124);
                      WaitForSingleObject(process.get(), 5000);
                      throw CommandError(
                          words[0] + " did not end within " + std::to_string(timeout) + " ms",
                          Json{{"stdout", WithoutCarriageReturns(out)}, {"stderr", WithoutCarriageReturns(err)}});
                  }
              }
              Drain(outRead.get(), &out);
              Drain(errRead.get(), &err);
              DWORD status = 0;
              GetExitCodeProcess(process.get(), &status);
              Json result = {
                  {"status", status}, {"stdout", WithoutCarriageReturns(out)}, {"stderr", WithoutCarriageReturns(err)}};
              if (args.Bool("json", false)) {
                  Json parsed = Json::parse(result["stdout"].get<std::string>(), nullptr, false);
                  result["json"] = parsed.is_discarded() ? Json() : parsed;
              }
              return result;
          });
    d.Add("agent.stats", "agent.stats: {pid, process_starts} (programs process.run started)", [](const Args&) {
        return Json{{"pid", GetCurrentProcessId()}, {"process_starts", g_processStarts}};
    });
}

}  // namespace agent

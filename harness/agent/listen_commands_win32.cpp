// The agent's listeners for broadcasts of registered messages: each a
// hidden top-level window (broadcasts reach top-level windows only) on a
// thread of its own that keeps its message loop running, so the agent
// answers sent broadcasts at once while it waits for commands.
#include <windows.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "agent_commands_win32.h"
#include "window_probe_win32.h"

namespace agent {

namespace {

struct Listener {
    UINT message = 0;
    std::mutex lock;
    std::condition_variable ready;
    bool started = false;
    HWND window = nullptr;
    DWORD threadId = 0;
    unsigned long count = 0;
    unsigned long long lastW = 0;
    long long lastL = 0;
    std::thread thread;

    // A listener still running when the agent ends is ended with it.
    ~Listener() {
        if (thread.joinable()) {
            PostThreadMessageW(threadId, WM_QUIT, 0, 0);
            thread.join();
        }
    }
};

const wchar_t kClass[] = L"SuiteAgentListener";

LRESULT CALLBACK ListenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* listener = reinterpret_cast<Listener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (listener != nullptr && message == listener->message) {
        std::lock_guard<std::mutex> guard(listener->lock);
        ++listener->count;
        listener->lastW = static_cast<unsigned long long>(wParam);
        listener->lastL = static_cast<long long>(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Run(Listener* listener) {
    HWND window = CreateWindowW(kClass, L"suite agent listener", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(listener));
    {
        std::lock_guard<std::mutex> guard(listener->lock);
        listener->window = window;
        listener->threadId = GetCurrentThreadId();
        listener->started = true;
    }
    listener->ready.notify_all();
    if (window == nullptr) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(window);
}

std::map<std::string, std::unique_ptr<Listener>>& Listeners() {
    static std::map<std::string, std::unique_ptr<Listener>> listeners;
    return listeners;
}

Listener& Find(const std::string& name) {
    const auto found = Listeners().find(name);
    if (found == Listeners().end()) throw CommandError("no listener for " + name + " (listen.start first)");
    return *found->second;
}

}  // namespace

void AddListenCommands(Dispatcher& d) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ListenProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);

    d.Add("listen.start",
          "listen.start name=MESSAGE: a listener for broadcasts of a message (number or registered name)",
          [](const Args& args) {
              const std::string name = args.Str("name");
              if (Listeners().count(name) != 0) throw CommandError("a listener for " + name + " runs already");
              auto listener = std::make_unique<Listener>();
              listener->message = winprobe::MessageNumber(name);
              Listener* raw = listener.get();
              raw->thread = std::thread(Run, raw);
              std::unique_lock<std::mutex> guard(raw->lock);
              raw->ready.wait(guard, [raw] { return raw->started; });
              if (raw->window == nullptr) {
                  guard.unlock();
                  raw->thread.join();
                  throw CommandError("cannot create the listening window");
              }
              guard.unlock();
              Listeners()[name] = std::move(listener);
              return Json{{"message", raw->message}};
          });
    d.Add("listen.heard", "listen.heard name=MESSAGE: {count, wparam, lparam} of the broadcasts heard so far",
          [](const Args& args) {
              Listener& listener = Find(args.Str("name"));
              std::lock_guard<std::mutex> guard(listener.lock);
              return Json{{"count", listener.count}, {"wparam", listener.lastW}, {"lparam", listener.lastL}};
          });
    d.Add("listen.stop", "listen.stop name=MESSAGE: ends the listener", [](const Args& args) {
        const std::string name = args.Str("name");
        Listener& listener = Find(name);
        PostThreadMessageW(listener.threadId, WM_QUIT, 0, 0);
        listener.thread.join();
        Listeners().erase(name);
        return Json::object();
    });
}

}  // namespace agent

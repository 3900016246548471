// The agent's palvine.state: Palvine's window geometry and the check marks
// of its system menu.
//
// Wine keeps a window's menus in the process that owns it (GetMenuState
// from outside answers 0xFFFFFFFF), so the marks are read by Palvine's own
// thread: palvine_menu_hook.dll, once in the program, stays there and
// answers a registered message by leaving the item's state in a window
// property (palvine/tests/menu_hook_win32.cpp). The agent puts the DLL in
// with a thread hook when the program has its bitness; for the other
// bitness palvine_e2e_helper.exe of the program's build does it once.
// After that a read is messages only: no process starts, so it can be
// repeated inside a wait.
#include <windows.h>

#include <cstring>
#include <string>

#include "agent_commands_win32.h"
#include "menu_hook_protocol.h"
#include "window_probe_win32.h"

namespace agent {

namespace {

using namespace palvine_e2e;

// The item's answer from the hook in the window's process, 0 without one.
UINT_PTR Ask(HWND window, UINT ask, UINT item) {
    RemovePropA(window, kAnswerProperty);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, ask, item, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    const auto answer = reinterpret_cast<UINT_PTR>(GetPropA(window, kAnswerProperty));
    RemovePropA(window, kAnswerProperty);
    return answer;
}

// Puts the hook DLL into the window's process through a hook on its
// thread, for one message: the DLL keeps itself there.
void PutHookIn(HWND window, UINT ask, UINT item, const std::string& dll) {
    HMODULE module = LoadLibraryA(dll.c_str());
    if (module == nullptr) {
        throw CommandError("cannot load " + dll + " into the agent (error " + std::to_string(GetLastError()) +
                           "): a program of the other bitness needs palvine_e2e_helper.exe once");
    }
    const FARPROC address = GetProcAddress(module, "PalvineMenuHook");
    HOOKPROC proc = nullptr;
    static_assert(sizeof proc == sizeof address, "function pointers of one size");
    std::memcpy(&proc, &address, sizeof proc);
    HHOOK hook = proc == nullptr
                     ? nullptr
                     : SetWindowsHookExA(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(window, nullptr));
    if (hook != nullptr) {
        Ask(window, ask, item);
        UnhookWindowsHookEx(hook);
    }
    FreeLibrary(module);
    if (hook == nullptr) throw CommandError("cannot hook the thread of the window with " + dll);
}

// The window's geometry as Palvine keeps it: the strip's height (the client
// area is taller than wide by it) and the outer size without the strip, so
// that a window of width w under its strip shows as [w, w].
Json Geometry(HWND window) {
    RECT rect{}, client{};
    if (!GetWindowRect(window, &rect) || !GetClientRect(window, &client)) {
        throw CommandError("cannot read the window's rectangles: error " + std::to_string(GetLastError()));
    }
    const LONG strip = (client.bottom - client.top) - (client.right - client.left);
    const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return Json{{"size", Json::array({rect.right - rect.left, rect.bottom - rect.top - strip})},
                {"strip", strip},
                {"position", Json::array({rect.left, rect.top})},
                {"topmost", topmost ? 1 : 0}};
}

}  // namespace

void AddPalvineCommands(Dispatcher& d) {
    d.Add("palvine.state",
          "palvine.state window=W [items=[N...]] [hook=DLL]: {size: [w, h without the strip], strip, position, "
          "topmost[, checks: [1|0...]]}, checks: the system menu's marks of the items (hook: palvine_menu_hook.dll "
          "to put into the program when it has none yet)",
          [](const Args& args) {
              const std::string name = args.Str("window");
              HWND window = winprobe::FindByNameUtf8(name);
              if (window == nullptr || !IsWindow(window)) throw CommandError("no window " + name);
              Json state = Geometry(window);
              if (!args.Has("items")) return state;
              const Json& items = args.Array("items");
              if (items.empty()) throw CommandError("items must name at least one menu item");
              for (const Json& item : items) {
                  if (!item.is_number_integer() || item.get<std::int64_t>() < 0 || item.get<std::int64_t>() > 0xFFFF) {
                      throw CommandError("items must be menu commands 0-65535");
                  }
              }
              const UINT ask = RegisterWindowMessageA(kAskMessage);
              const auto first = static_cast<UINT>(items.front().get<std::int64_t>());
              if (Ask(window, ask, first) == 0) {
                  if (!args.Has("hook")) throw CommandError("no menu hook in the process of " + name);
                  PutHookIn(window, ask, first, args.Str("hook"));
              }
              Json checks = Json::array();
              for (const Json& item : items) {
                  const UINT_PTR answer = Ask(window, ask, static_cast<UINT>(item.get<std::int64_t>()));
                  if (answer == kChecked || answer == kNotChecked) {
                      checks.push_back(answer == kChecked ? 1 : 0);
                  } else {
                      throw CommandError(answer == kNoSuchItem ? "no item " + item.dump() + " in the system menu"
                                                               : "no answer from the menu hook in " + name);
                  }
              }
              state["checks"] = checks;
              return state;
          });
}

}  // namespace agent

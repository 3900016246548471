// The agent's window, process and session commands: the window probe's
// handlers (window_probe_win32.h) answering in JSON.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "agent_commands_win32.h"
#include "window_probe_win32.h"

namespace agent {

namespace {

using winprobe::HandleText;

int Deadline(const Args& args, int fallback = 5000) {
    return static_cast<int>(args.Int("timeout_ms", 0, 600000, fallback));
}

// "window" (a caption in UTF-8 or "#HEX"), and "id" for one of its controls.
HWND Target(const Args& args) {
    const std::string name = args.Str("window");
    HWND window = winprobe::FindByNameUtf8(name);
    if (window == nullptr || !IsWindow(window)) throw CommandError("no window " + name);
    if (!args.Has("id")) return window;
    const auto id = args.Int("id", INT32_MIN, INT32_MAX);
    HWND control = GetDlgItem(window, static_cast<int>(id));
    if (control == nullptr) throw CommandError("no control " + std::to_string(id) + " in " + name);
    return control;
}

Json Rect(const RECT& r) { return Json::array({r.left, r.top, r.right, r.bottom}); }

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LRESULT SendLimited(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &result)) {
        throw CommandError("the window did not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

UINT_PTR Parameter(const Args& args, const char* name) {
    if (!args.Has(name)) return 0;
    const Json& value = args.json().at(name);
    if (value.is_number_unsigned()) return static_cast<UINT_PTR>(value.get<std::uint64_t>());
    if (value.is_number_integer()) return static_cast<UINT_PTR>(value.get<std::int64_t>());
    throw CommandError(std::string("argument '") + name + "' must be an integer");
}

UINT Message(const Args& args) {
    const Json& value = args.json().contains("msg") ? args.json().at("msg") : Json();
    if (value.is_number_integer()) return static_cast<UINT>(value.get<std::int64_t>());
    if (value.is_string()) return winprobe::MessageNumber(value.get<std::string>());
    throw CommandError("argument 'msg' must be a message number or a registered name");
}

Json State(HWND window) {
    RECT rect{}, client{};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // The style itself: IsWindowEnabled says "disabled" also when the
    // style cannot be read, and that must not pass for a state.
    SetLastError(ERROR_SUCCESS);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (style == 0 && GetLastError() != ERROR_SUCCESS) {
        throw CommandError("cannot read the style of the window: error " + std::to_string(GetLastError()));
    }
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    const std::string cls = ClassOf(window);
    Json state = {{"hwnd", HandleText(window)},
                  {"class", cls},
                  {"id", GetDlgCtrlID(window)},
                  {"text", winprobe::Utf8TextOf(window)},
                  {"visible", IsWindowVisible(window) ? 1 : 0},
                  {"enabled", (style & WS_DISABLED) != 0 ? 0 : 1},
                  {"rect", Rect(rect)},
                  {"centre", Json::array({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2})},
                  {"client", Rect(client)},
                  {"style", static_cast<std::uint32_t>(style)},
                  {"exstyle", static_cast<std::uint32_t>(exStyle)},
                  {"topmost", (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0}};
    if (lstrcmpiA(cls.c_str(), "Button") == 0)
        state["checked"] = static_cast<int>(SendLimited(window, BM_GETCHECK, 0, 0));
    if (lstrcmpiA(cls.c_str(), TRACKBAR_CLASSA) == 0)
        state["pos"] = static_cast<int>(SendLimited(window, TBM_GETPOS, 0, 0));
    return state;
}

// A REG_SZ number of HKCU\KEY\NAME; -1 when there is none.
long RegistryNumber(const wchar_t* key, const wchar_t* name) {
    wchar_t text[32] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return -1;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    return end != text && value >= 0 ? value : -1;
}

// The double-click time a program started now gets. Under Wine every
// process keeps its own copy of the system parameters, read once: a
// long-lived process never sees another one's SetDoubleClickTime. A new
// process reads the session's value where Wine keeps it: the volatile
// "Temporary System Parameters" (set without saving) before the saved
// setting. Under Windows the value is the system's, and this process's
// own is it.
UINT SessionDoubleClickTime() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr) return GetDoubleClickTime();
    long value =
        RegistryNumber(L"Software\\Wine\\Temporary System Parameters\\Control Panel\\Mouse", L"DoubleClickSpeed");
    if (value < 0) value = RegistryNumber(L"Control Panel\\Mouse", L"DoubleClickSpeed");
    return value < 0 ? GetDoubleClickTime() : static_cast<UINT>(value);
}

}  // namespace

void AddWindowCommands(Dispatcher& d) {
    d.Add("window.find", "window.find title=CAPTION|class=CLASS [timeout_ms=5000]: {hwnd}", [](const Args& args) {
        const bool byClass = args.Has("class");
        const std::string name = byClass ? args.Str("class") : args.Str("title");
        const std::wstring wide = winprobe::Widen(name);
        HWND found = nullptr;
        const bool ok = winprobe::WaitFor(Deadline(args), [&] {
            found = byClass ? FindWindowW(wide.c_str(), nullptr) : winprobe::FindByNameUtf8(name);
            return found != nullptr;
        });
        if (!ok) throw CommandError(std::string(byClass ? "no window of class " : "no window ") + name);
        return Json{{"hwnd", HandleText(found)}};
    });
    d.Add("window.gone", "window.gone window=W [timeout_ms=5000]: waits until it no longer exists",
          [](const Args& args) {
              const std::string name = args.Str("window");
              const bool ok = winprobe::WaitFor(Deadline(args), [&] {
                  HWND window = winprobe::FindByNameUtf8(name);
                  return window == nullptr || !IsWindow(window);
              });
              if (!ok) throw CommandError("window " + name + " still there");
              return Json::object();
          });
    d.Add("window.count", "window.count title=CAPTION: {count} of top-level windows", [](const Args& args) {
        const std::wstring title = winprobe::Widen(args.Str("title"));
        int count = 0;
        for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, title.c_str()); w != nullptr;
             w = FindWindowExW(nullptr, w, nullptr, title.c_str())) {
            ++count;
        }
        return Json{{"count", count}};
    });
    d.Add(
        "window.state",
        "window.state window=W [id=N]: {hwnd, class, id, text, visible, enabled, rect, centre, client, style, exstyle, "
        "topmost, checked (buttons), pos (trackbars)}",
        [](const Args& args) { return State(Target(args)); });
    d.Add("window.text", "window.text window=W [id=N]: {text} (UTF-8)", [](const Args& args) {
        return Json{{"text", winprobe::Utf8TextOf(Target(args))}};
    });
    d.Add("window.children", "window.children window=W: {children: [{id, class, visible, text}]}",
          [](const Args& args) {
              Json list = Json::array();
              for (HWND child = GetWindow(Target(args), GW_CHILD); child != nullptr;
                   child = GetWindow(child, GW_HWNDNEXT)) {
                  list.push_back({{"id", GetDlgCtrlID(child)},
                                  {"class", ClassOf(child)},
                                  {"visible", IsWindowVisible(child) ? 1 : 0},
                                  {"text", winprobe::Utf8TextOf(child)}});
              }
              return Json{{"children", list}};
          });
    d.Add("window.pixel", "window.pixel window=W [id=N] x=X y=Y: {colour: RRGGBB} at X, Y inside the window",
          [](const Args& args) {
              HWND target = Target(args);
              const auto x = args.Int("x", -100000, 100000);
              const auto y = args.Int("y", -100000, 100000);
              RECT r{};
              GetWindowRect(target, &r);
              HDC screen = GetDC(nullptr);
              const COLORREF colour = GetPixel(screen, r.left + static_cast<int>(x), r.top + static_cast<int>(y));
              ReleaseDC(nullptr, screen);
              char text[8];
              wsprintfA(text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
              return Json{{"colour", text}};
          });
    d.Add("window.combo", "window.combo window=W id=N: {items, cursel, limit}", [](const Args& args) {
        HWND target = Target(args);
        Json items = Json::array();
        const LRESULT count = SendLimited(target, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            if (SendLimited(target, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256) {
                SendLimited(target, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            }
            items.push_back(winprobe::Narrow(item));
        }
        return Json{{"items", items}, {"cursel", static_cast<int>(SendLimited(target, CB_GETCURSEL, 0, 0))}};
    });
    d.Add("window.limit", "window.limit window=W id=N: {limit} characters an edit control takes", [](const Args& args) {
        return Json{{"limit", static_cast<long long>(SendLimited(Target(args), EM_GETLIMITTEXT, 0, 0))}};
    });
    d.Add("window.select", "window.select window=W id=N index=I: selects a combo box entry (-1: none)",
          [](const Args& args) {
              SendLimited(Target(args), CB_SETCURSEL, static_cast<WPARAM>(args.Int("index", -1, 0xFFFF)), 0);
              return Json::object();
          });
    d.Add("window.settext", "window.settext window=W [id=N] text=UTF8: WM_SETTEXT", [](const Args& args) {
        const std::wstring text = winprobe::Widen(args.Str("text"));
        SendLimited(Target(args), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return Json::object();
    });
    d.Add("window.click", "window.click window=W id=N: posts BM_CLICK (returns at once)", [](const Args& args) {
        PostMessageW(Target(args), BM_CLICK, 0, 0);
        return Json::object();
    });
    d.Add("window.close", "window.close window=W: posts WM_CLOSE", [](const Args& args) {
        PostMessageW(Target(args), WM_CLOSE, 0, 0);
        return Json::object();
    });
    d.Add("window.syscommand", "window.syscommand window=W cmd=N: posts WM_SYSCOMMAND", [](const Args& args) {
        PostMessageW(Target(args), WM_SYSCOMMAND, static_cast<WPARAM>(args.Int("cmd", 0, 0xFFFFFFFF)), 0);
        return Json::object();
    });
    d.Add("window.post", "window.post window=W|#ffff (all top-level windows) [id=N] msg=N|NAME [wparam] [lparam]",
          [](const Args& args) {
              HWND target = args.Str("window") == "#ffff" && !args.Has("id") ? HWND_BROADCAST : Target(args);
              if (!PostMessageW(target, Message(args), Parameter(args, "wparam"),
                                static_cast<LPARAM>(Parameter(args, "lparam")))) {
                  throw CommandError("the message could not be posted (error " + std::to_string(GetLastError()) + ")");
              }
              return Json::object();
          });
    d.Add("window.send", "window.send window=W [id=N] msg=N|NAME [wparam] [lparam]: {result} (5 s limit)",
          [](const Args& args) {
              const LRESULT result = SendLimited(Target(args), Message(args), Parameter(args, "wparam"),
                                                 static_cast<LPARAM>(Parameter(args, "lparam")));
              return Json{{"result", static_cast<long long>(result)}};
          });
    d.Add("window.popup", "window.popup window=W [timeout_ms=5000]: waits for an enabled owned popup; {hwnd}",
          [](const Args& args) {
              const std::string name = args.Str("window");
              HWND popup = nullptr;
              if (!winprobe::WaitFor(Deadline(args),
                                     [&] { return (popup = winprobe::OwnedPopup(winprobe::FindByNameUtf8(name))); })) {
                  throw CommandError("no popup of " + name);
              }
              return Json{{"hwnd", HandleText(popup)}};
          });
    d.Add("window.foreground", "window.foreground: {hwnd}", [](const Args&) {
        return Json{{"hwnd", HandleText(GetForegroundWindow())}};
    });
    d.Add("window.sweep", "window.sweep window=W [each_ms=2000]: foreign messages to its process's windows",
          [](const Args& args) {
              const auto each = args.Int("each_ms", 1, 60000, 2000);
              const winprobe::SweepResult r = winprobe::Sweep(Target(args), static_cast<UINT>(each));
              if (r.windowLost)
                  throw CommandError("a window disappeared during the sweep", Json{{"problems", r.problems}});
              return Json{
                  {"windows", r.windows}, {"sent", r.sent}, {"unanswered", r.unanswered}, {"problems", r.problems}};
          });
    d.Add("session.dblclick_time",
          "session.dblclick_time: {ms} as a program started now reads it, {own} as this process has it",
          [](const Args&) {
              return Json{{"ms", SessionDoubleClickTime()}, {"own", GetDoubleClickTime()}};
          });
    d.Add("session.set_dblclick_time", "session.set_dblclick_time ms=N (it outlives the programs under Wine)",
          [](const Args& args) {
              if (!SetDoubleClickTime(static_cast<UINT>(args.Int("ms", 0, 0xFFFFFFFF)))) {
                  throw CommandError("cannot set the double-click time");
              }
              return Json::object();
          });
    d.Add("process.count", "process.count image=NAME.exe: {count} of running processes", [](const Args& args) {
        return Json{{"count", winprobe::ProcessesNamed(args.Str("image")).size()}};
    });
    d.Add("process.ended",
          "process.ended image=NAME.exe [timeout_ms=5000]: waits until none runs and none of its windows is left",
          [](const Args& args) {
              const std::string image = args.Str("image");
              std::vector<DWORD> seen;
              if (!winprobe::WaitFor(Deadline(args), [&] { return winprobe::Ended(image, &seen); })) {
                  throw CommandError(image + " still runs");
              }
              return Json::object();
          });
    d.Add("process.resources",
          "process.resources image=NAME.exe: {processes: [{pid, gdi, user, handles, windows, gdi_table, handle_list}]}",
          [](const Args& args) {
              std::vector<winprobe::ProcessResources> list;
              std::string error;
              if (!winprobe::ResourcesOf(args.Str("image"), &list, &error)) throw CommandError(error);
              Json processes = Json::array();
              for (const auto& p : list) {
                  processes.push_back({{"pid", p.pid},
                                       {"gdi", p.gdi},
                                       {"user", p.user},
                                       {"handles", p.handles},
                                       {"windows", p.windows},
                                       {"gdi_table", p.gdiTable},
                                       {"handle_list", p.handleList}});
              }
              return Json{{"processes", processes}};
          });
}

}  // namespace agent

// winprobe: observes and drives the suite's windows from outside, for the
// end-to-end tests. A window is named by its exact caption or as #HEX
// (a handle printed by `find`). Waits poll with a deadline, never sleep a
// fixed time. Exit codes: 0 done, 1 condition not met in time / not found,
// 2 bad usage.
#include <windows.h>
#include <commctrl.h>

#include "window_probe_win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kUsage =
    "usage: winprobe COMMAND ARGS   (WINDOW is an exact caption or #HEX handle; T is a deadline in ms)\n"
    "  find WINDOW [T]                   wait until the window exists; print its handle\n"
    "  find-class CLASS [T]              the same for a window of class CLASS (any caption)\n"
    "  gone WINDOW [T]                   wait until the window no longer exists\n"
    "  count CAPTION                     print how many top-level windows have this caption\n"
    "  text WINDOW [ID]                  print the window's (or control ID's) text\n"
    "  wait-text WINDOW ID TEXT [T]      wait until control ID shows TEXT\n"
    "  visible WINDOW [ID]               print 1 or 0\n"
    "  checked WINDOW ID                 print the button check state (0, 1, 2)\n"
    "  enabled WINDOW [ID]               print 1 or 0\n"
    "  rect WINDOW [ID]                  print left top right bottom in screen pixels\n"
    "  client WINDOW [ID]                the same for the client area\n"
    "  style WINDOW                      print style and extended style in hex\n"
    "  pixel WINDOW ID X Y               print the screen colour (RRGGBB) at X, Y inside control ID\n"
    "  children WINDOW                   print id, class, visible and text of each control\n"
    "  click WINDOW ID                   post BM_CLICK to a button (returns at once)\n"
    "  post WINDOW MSG WPARAM LPARAM     post a message; MSG may be a registered name\n"
    "  send WINDOW MSG WPARAM LPARAM     send with a 5 s limit; print the result\n"
    "  close WINDOW                      post WM_CLOSE\n"
    "  syscommand WINDOW CMD             post WM_SYSCOMMAND with CMD\n"
    "  listen NAME [T]                   wait for a broadcast of registered message NAME;\n"
    "                                    print its wParam and lParam\n"
    "  utext WINDOW [ID]                 print the text as UTF-8 (texts outside the code page)\n"
    "  settext WINDOW ID TEXT            set a control's text (WM_SETTEXT)\n"
    "  settext-utf16 WINDOW ID HEX...    the same, the text as UTF-16 code units in hex\n"
    "  items WINDOW ID                   print the entries of a combo box, one a line\n"
    "  cursel WINDOW ID                  print the selected entry of a combo box (-1: none)\n"
    "  limit WINDOW ID                   print the most characters an edit control takes\n"
    "  select WINDOW ID INDEX            select entry INDEX of a combo box (-1: none)\n"
    "  popup WINDOW [T]                  wait until the window has an enabled owned popup\n"
    "                                    (a modal box); print its handle\n"
    "  ended IMAGE [T]                   wait until no process of that file name (e.g. Nystra.exe)\n"
    "                                    runs and none of its top-level windows is left\n"
    "  processes IMAGE                   print how many processes of that file name run\n"
    "  resources IMAGE                   print, per process of that file name, its GDI and USER\n"
    "                                    object counts, kernel handle count and windows:\n"
    "                                    pid=N gdi=N user=N handles=N windows=N gdi_table=N\n"
    "                                    handle_list=N (the last two: the same counts read where\n"
    "                                    Wine keeps them, -1 when unreadable)\n"
    "  foreground                        print the foreground window's handle\n"
    "  trackbar WINDOW ID                print a trackbar's position\n"
    "  dblclick-time                     print the double-click time of the session (ms)\n"
    "  set-dblclick-time MS              set it (it outlives the programs under Wine)\n"
    "  hold-desktop                      keep a hidden window on the desktop until ended;\n"
    "                                    prints \"holding\" once it is there\n"
    "  sweep WINDOW [T]                  send foreign messages with extreme parameters to the\n"
    "                                    window, every other window of its process and all\n"
    "                                    their children (T ms each, default 2000); print the\n"
    "                                    counts; status 1 when one was not answered\n";

int g_deadlineMs = 5000;

using winprobe::Ended;
using winprobe::FindByName;
using winprobe::MessageNumber;
using winprobe::ParseNumber;
using winprobe::ProcessesNamed;
using winprobe::TextOf;

template <typename Condition>
bool WaitFor(Condition condition) {
    return winprobe::WaitFor(g_deadlineMs, condition);
}

struct Args {
    std::vector<std::string> list;
    std::size_t size() const { return list.size(); }
    const std::string& operator[](std::size_t i) const { return list[i]; }
};

HWND Target(const Args& args, std::size_t idIndex) {
    HWND window = FindByName(args[1]);
    if (window == nullptr) return nullptr;
    if (args.size() > idIndex) {
        unsigned long long id = 0;
        if (!ParseNumber(args[idIndex], &id)) return nullptr;
        return GetDlgItem(window, static_cast<int>(id));
    }
    return window;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "winprobe: %s\n", what.c_str());
    return 1;
}

LRESULT CALLBACK ListenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static UINT wanted = 0;
    if (message == WM_APP) {
        wanted = static_cast<UINT>(wParam);
        return 0;
    }
    if (wanted != 0 && message == wanted) {
        std::printf("%llu %lld\n", static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
        std::fflush(stdout);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int Listen(const std::string& name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ListenProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WinProbeListener";
    RegisterClassA(&wc);
    // A hidden top-level window: broadcasts reach top-level windows only.
    HWND window = CreateWindowA("WinProbeListener", "winprobe listener", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (window == nullptr) return Fail("cannot create the listening window");
    SendMessageA(window, WM_APP, MessageNumber(name), 0);
    std::printf("listening\n");
    std::fflush(stdout);
    SetTimer(window, 1, static_cast<UINT>(g_deadlineMs), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) return Fail("no " + name + " broadcast in time");
        DispatchMessageA(&msg);
    }
    return 0;
}

// Wine closes the desktop (and its explorer process) about a second after
// the last program with a window on it ended, and starts it again for the
// next one. A program that starts while it closes can fail to get a display.
// A hidden window of this process keeps the desktop up for the whole
// session instead.
int HoldDesktop() {
    HWND window = CreateWindowA("STATIC", "winprobe desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return Fail("cannot create the holding window");
    std::printf("holding\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

int Resources(const std::string& image) {
    std::vector<winprobe::ProcessResources> list;
    std::string error;
    if (!winprobe::ResourcesOf(image, &list, &error)) return Fail(error);
    if (list.empty()) return Fail("no process " + image);
    for (const winprobe::ProcessResources& item : list) {
        std::printf("pid=%lu gdi=%lu user=%lu handles=%lu windows=%d gdi_table=%ld handle_list=%ld\n",
                    static_cast<unsigned long>(item.pid), static_cast<unsigned long>(item.gdi),
                    static_cast<unsigned long>(item.user), static_cast<unsigned long>(item.handles), item.windows,
                    item.gdiTable, item.handleList);
    }
    return 0;
}

int Sweep(HWND start, UINT timeoutMs) {
    const winprobe::SweepResult result = winprobe::Sweep(start, timeoutMs);
    for (const std::string& line : result.problems) std::fprintf(stderr, "winprobe: %s\n", line.c_str());
    if (result.windowLost) return Fail("a window disappeared during the sweep");
    std::printf("windows %zu messages %lu unanswered %lu\n", result.windows, result.sent, result.unanswered);
    return result.unanswered == 0 ? 0 : 1;
}

int Run(const Args& args) {
    const std::string& command = args[0];
    auto needs = [&](std::size_t count) { return args.size() >= count; };
    auto lastAsDeadline = [&](std::size_t index) {
        unsigned long long value = 0;
        if (args.size() > index && ParseNumber(args[index], &value)) g_deadlineMs = static_cast<int>(value);
    };

    if (command == "listen" && needs(2)) {
        lastAsDeadline(2);
        return Listen(args[1]);
    }
    if (command == "hold-desktop") return HoldDesktop();
    if (command == "foreground") {
        std::printf("#%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
        return 0;
    }
    if (command == "dblclick-time") {
        std::printf("%u\n", GetDoubleClickTime());
        return 0;
    }
    if (!needs(2)) return 2;
    if (command == "ended") {
        lastAsDeadline(2);
        std::vector<DWORD> seen;
        return WaitFor([&] { return Ended(args[1], &seen); }) ? 0 : Fail(args[1] + " still runs");
    }
    if (command == "processes") {
        std::printf("%u\n", static_cast<unsigned>(ProcessesNamed(args[1]).size()));
        return 0;
    }
    if (command == "resources") return Resources(args[1]);
    if (command == "find") {
        lastAsDeadline(2);
        HWND found = nullptr;
        if (!WaitFor([&] { return (found = FindByName(args[1])) != nullptr; })) return Fail("no window " + args[1]);
        std::printf("#%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(found)));
        return 0;
    }
    if (command == "find-class") {
        lastAsDeadline(2);
        HWND found = nullptr;
        if (!WaitFor([&] { return (found = FindWindowA(args[1].c_str(), nullptr)) != nullptr; })) {
            return Fail("no window of class " + args[1]);
        }
        std::printf("#%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(found)));
        return 0;
    }
    if (command == "count") {
        int count = 0;
        for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, args[1].c_str()); w != nullptr;
             w = FindWindowExA(nullptr, w, nullptr, args[1].c_str())) {
            ++count;
        }
        std::printf("%d\n", count);
        return 0;
    }
    if (command == "gone") {
        lastAsDeadline(2);
        return WaitFor([&] { return FindByName(args[1]) == nullptr || !IsWindow(FindByName(args[1])); })
                   ? 0
                   : Fail("window " + args[1] + " still there");
    }
    if (command == "wait-text" && needs(4)) {
        lastAsDeadline(4);
        std::string last;
        const bool ok = WaitFor([&] {
            HWND target = Target(args, 2);
            last = target ? TextOf(target) : "(no control)";
            return target != nullptr && last == args[3];
        });
        return ok ? 0 : Fail("control " + args[2] + " shows \"" + last + "\", not \"" + args[3] + "\"");
    }
    if (command == "listen") return 2;
    if (command == "popup") {
        lastAsDeadline(2);
        HWND popup = nullptr;
        const bool ok = WaitFor([&] { return (popup = winprobe::OwnedPopup(FindByName(args[1]))) != nullptr; });
        if (!ok) return Fail("no popup of " + args[1]);
        std::printf("#%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(popup)));
        return 0;
    }
    if (command == "sweep") {
        unsigned long long each = 2000;
        if (args.size() > 2 && !ParseNumber(args[2], &each)) return 2;
        HWND window = FindByName(args[1]);
        if (window == nullptr || !IsWindow(window)) return Fail("no window " + args[1]);
        return Sweep(window, static_cast<UINT>(each));
    }
    if (command == "set-dblclick-time" && needs(2)) {
        unsigned long long ms = 0;
        if (!ParseNumber(args[1], &ms) || ms > 0xFFFFFFFFull) return 2;
        return SetDoubleClickTime(static_cast<UINT>(ms)) ? 0 : Fail("cannot set the double-click time");
    }

    HWND target = Target(args, 2);
    if (target == nullptr && command != "post" && command != "send" && command != "syscommand") {
        return Fail("no such window or control");
    }
    if (command == "text") {
        std::printf("%s\n", TextOf(target).c_str());
    } else if (command == "visible") {
        std::printf("%d\n", IsWindowVisible(target) ? 1 : 0);
    } else if (command == "enabled") {
        // Read the style itself: IsWindowEnabled says "disabled" also when
        // the style cannot be read, and that must not pass for a state.
        SetLastError(ERROR_SUCCESS);
        const LONG style = GetWindowLongW(target, GWL_STYLE);
        if (style == 0 && GetLastError() != ERROR_SUCCESS) {
            return Fail("cannot read the style of the window: error " + std::to_string(GetLastError()));
        }
        std::printf("%d\n", (style & WS_DISABLED) != 0 ? 0 : 1);
    } else if (command == "checked" && needs(3)) {
        std::printf("%d\n", static_cast<int>(SendMessageA(target, BM_GETCHECK, 0, 0)));
    } else if (command == "rect") {
        RECT r{};
        GetWindowRect(target, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (command == "client") {
        RECT r{};
        GetClientRect(target, &r);
        MapWindowPoints(target, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (command == "settext-utf16" && needs(4)) {
        // The text as UTF-16 code units in hex: a program's arguments pass
        // through the code page, which may not hold the characters.
        std::wstring text;
        for (std::size_t i = 3; i < args.size(); ++i) {
            unsigned long long unit = 0;
            if (!ParseNumber("0x" + args[i], &unit) || unit > 0xFFFF) return Fail("not a code unit: " + args[i]);
            text += static_cast<wchar_t>(unit);
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                                 &result)) {
            return Fail("the control did not answer");
        }
    } else if (command == "style") {
        std::printf("%08lx %08lx\n", static_cast<unsigned long>(GetWindowLongA(target, GWL_STYLE)),
                    static_cast<unsigned long>(GetWindowLongA(target, GWL_EXSTYLE)));
    } else if (command == "pixel" && needs(5)) {
        unsigned long long x = 0, y = 0;
        if (!ParseNumber(args[3], &x) || !ParseNumber(args[4], &y)) return 2;
        RECT r{};
        GetWindowRect(target, &r);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, r.left + static_cast<int>(x), r.top + static_cast<int>(y));
        ReleaseDC(nullptr, screen);
        std::printf("%02X%02X%02X\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    } else if (command == "children") {
        for (HWND child = GetWindow(target, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[64] = {};
            GetClassNameA(child, cls, sizeof cls);
            std::printf("%d %s %d %s\n", GetDlgCtrlID(child), cls, IsWindowVisible(child) ? 1 : 0,
                        TextOf(child).c_str());
        }
    } else if (command == "utext") {
        wchar_t wide[4096] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(target, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, &copied);
        char utf8[4096 * 3] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%s\n", utf8);
    } else if (command == "settext" && needs(4)) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str()), SMTO_ABORTIFHUNG,
                                 5000, &result)) {
            return Fail("the control did not answer");
        }
    } else if (command == "items" && needs(3)) {
        // Unicode, then UTF-8: the list may belong to a Unicode window.
        const LRESULT count = SendMessageW(target, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            if (SendMessageW(target, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256) {
                SendMessageW(target, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            }
            char utf8[256 * 3] = {};
            WideCharToMultiByte(CP_UTF8, 0, item, -1, utf8, sizeof utf8, nullptr, nullptr);
            std::printf("%s\n", utf8);
        }
    } else if (command == "limit" && needs(3)) {
        std::printf("%d\n", static_cast<int>(SendMessageA(target, EM_GETLIMITTEXT, 0, 0)));
    } else if (command == "cursel" && needs(3)) {
        std::printf("%d\n", static_cast<int>(SendMessageA(target, CB_GETCURSEL, 0, 0)));
    } else if (command == "select" && needs(4)) {
        const long index = std::strtol(args[3].c_str(), nullptr, 0);
        SendMessageA(target, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (command == "trackbar" && needs(3)) {
        std::printf("%d\n", static_cast<int>(SendMessageA(target, TBM_GETPOS, 0, 0)));
    } else if (command == "click" && needs(3)) {
        PostMessageA(target, BM_CLICK, 0, 0);
    } else if (command == "close") {
        PostMessageA(target, WM_CLOSE, 0, 0);
    } else if ((command == "post" || command == "send") && needs(5)) {
        HWND window = FindByName(args[1]);
        if (window == nullptr) return Fail("no window " + args[1]);
        unsigned long long w = 0, l = 0;
        if (!ParseNumber(args[3], &w) || !ParseNumber(args[4], &l)) return 2;
        const UINT message = MessageNumber(args[2]);
        if (command == "post") {
            PostMessageA(window, message, static_cast<WPARAM>(w), static_cast<LPARAM>(l));
        } else {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(window, message, static_cast<WPARAM>(w), static_cast<LPARAM>(l), SMTO_ABORTIFHUNG,
                                     5000, &result)) {
                return Fail("the window did not answer");
            }
            std::printf("%llu\n", static_cast<unsigned long long>(result));
        }
    } else if (command == "syscommand" && needs(3)) {
        HWND window = FindByName(args[1]);
        unsigned long long value = 0;
        if (window == nullptr || !ParseNumber(args[2], &value)) return Fail("no window or bad command");
        PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(value), 0);
    } else {
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Tells the harness this process really started (harness/wine-env.sh).
    if (const char* started = std::getenv("SUITE_TOOL_STARTED")) {
        if (FILE* file = std::fopen(started, "w")) std::fclose(file);
    }
    Args args;
    for (int i = 1; i < argc; ++i) args.list.emplace_back(argv[i]);
    const int result = args.size() == 0 ? 2 : Run(args);
    if (result == 2) std::fputs(kUsage, stderr);
    return result;
}

// winprobe: observes and drives the suite's windows from outside, for the
// end-to-end tests. A window is named by its exact caption or as #HEX
// (a handle printed by `find`). Waits poll with a deadline, never sleep a
// fixed time. Exit codes: 0 done, 1 condition not met in time / not found,
// 2 bad usage.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

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

bool ParseNumber(const std::string& text, unsigned long long* value) {
    char* end = nullptr;
    *value = std::strtoull(text.c_str(), &end, 0);
    return !text.empty() && end != nullptr && *end == '\0';
}

HWND FindByName(const std::string& name) {
    if (!name.empty() && name[0] == '#') return reinterpret_cast<HWND>(std::strtoull(name.c_str() + 1, nullptr, 16));
    return FindWindowA(nullptr, name.c_str());
}

// Polls `condition` until it holds or the deadline passes.
template <typename Condition>
bool WaitFor(Condition condition) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(g_deadlineMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

std::string TextOf(HWND window) {
    char text[4096] = {};
    // WM_GETTEXT with a time limit: a hung target must not hang the probe.
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return text;
}

UINT MessageNumber(const std::string& name) {
    unsigned long long value = 0;
    if (ParseNumber(name, &value)) return static_cast<UINT>(value);
    return RegisterWindowMessageA(name.c_str());
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

// A snapshot handle, closed with the object.
class Snapshot {
public:
    Snapshot() : handle_(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}
    ~Snapshot() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Process ids of the running processes whose file name is `image`.
std::vector<DWORD> ProcessesNamed(const std::string& image) {
    std::vector<DWORD> ids;
    Snapshot snapshot;
    if (snapshot.get() == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, image.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

struct WindowSearch {
    const std::vector<DWORD>* owners;
    bool found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (std::find(search->owners->begin(), search->owners->end(), owner) != search->owners->end()) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// The program has ended for every other program once no process of that
// name is listed and no top-level window of one that was is left (the
// server drops a killed process's windows when it notices the death).
bool Ended(const std::string& image, std::vector<DWORD>* seen) {
    const std::vector<DWORD> running = ProcessesNamed(image);
    for (DWORD id : running) {
        if (std::find(seen->begin(), seen->end(), id) == seen->end()) seen->push_back(id);
    }
    if (!running.empty()) return false;
    WindowSearch search{seen, false};
    EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return !search.found;
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

// Windows of one process: its top-level windows and all their children.
struct WindowCount {
    DWORD process = 0;
    int count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM context) {
    auto* counted = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != counted->process) return TRUE;
    ++counted->count;
    EnumChildWindows(window, &CountChild, context);
    return TRUE;
}

// Under Wine, GetGuiResources and GetProcessHandleCount answer 0 for every
// process. The same counts are taken where Wine keeps them: the kernel
// handles from the system's handle list, the GDI objects from the GDI
// handle table that the process's PEB points to.
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using QueryProcessInformation = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

template <typename Function>
Function NtFunction(const char* name) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll == nullptr ? nullptr
                            : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

// Entries of the system handle list (information class 16) owned by `id`;
// -1 when the list cannot be read.
long HandlesInList(DWORD id) {
    struct Entry {
        ULONG owner;
        UCHAR type, flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    const auto query = NtFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (query == nullptr) return -1;
    std::vector<unsigned char> buffer(1 << 16);
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            ULONG count = 0;
            std::memcpy(&count, buffer.data(), sizeof count);
            const std::size_t first = sizeof(void*) == 8 ? 8 : 4;  // the entries are pointer-aligned
            if (first + static_cast<std::size_t>(count) * sizeof(Entry) > buffer.size()) return -1;
            long owned = 0;
            for (ULONG i = 0; i < count; ++i) {
                Entry entry;
                std::memcpy(&entry, buffer.data() + first + i * sizeof(Entry), sizeof entry);
                if (entry.owner == id) ++owned;
            }
            return owned;
        }
        if (status != static_cast<LONG>(0xC0000004)) return -1;  // STATUS_INFO_LENGTH_MISMATCH: grow
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    }
    return -1;
}

// Objects in the GDI handle table of `process`; -1 when it cannot be read.
long GdiTableObjects(HANDLE process) {
    struct BasicInformation {
        LONG exitStatus;
        void* peb;
        ULONG_PTR affinity;
        LONG priority;
        ULONG_PTR id, parent;
    } basic{};
    struct Entry {  // one slot of the table: object, owner, unique, type, flags, user pointer
        unsigned long long object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        unsigned long long user;
    };
    const auto query = NtFunction<QueryProcessInformation>("NtQueryInformationProcess");
    if (query == nullptr) return -1;
    // The PEB of the probe's own width: a 32-bit process seen from a
    // 64-bit probe shows its 64-bit PEB, where Wine keeps the table too.
    if (query(process, 0, &basic, sizeof basic, nullptr) != 0 || basic.peb == nullptr) return -1;
    void* pointer = nullptr;
    SIZE_T got = 0;
    const std::size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    if (!ReadProcessMemory(process, static_cast<char*>(basic.peb) + offset, &pointer, sizeof pointer, &got)) {
        return -1;
    }
    const auto table = reinterpret_cast<UINT_PTR>(pointer);
    if (table == 0) return -1;
    const std::size_t slots = 0x10000;
    std::vector<Entry> entries(slots);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), slots * sizeof(Entry), &got)) {
        return -1;
    }
    long used = 0;
    for (const Entry& entry : entries) used += entry.type != 0 ? 1 : 0;
    return used;
}

// What a process holds, for soaks that check nothing grows.
int Resources(const std::string& image) {
    const std::vector<DWORD> running = ProcessesNamed(image);
    if (running.empty()) return Fail("no process " + image);
    for (DWORD id : running) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        if (process == nullptr) return Fail("cannot open process " + std::to_string(id));
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
        const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
        const long gdiTable = GdiTableObjects(process);
        const long handleList = HandlesInList(id);
        CloseHandle(process);
        WindowCount windows;
        windows.process = id;
        EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
        std::printf("pid=%lu gdi=%lu user=%lu handles=%lu windows=%d gdi_table=%ld handle_list=%ld\n",
                    static_cast<unsigned long>(id), static_cast<unsigned long>(gdi), static_cast<unsigned long>(user),
                    static_cast<unsigned long>(handles), windows.count, gdiTable, handleList);
    }
    return 0;
}

struct PopupSearch {
    HWND owner = nullptr;
    HWND popup = nullptr;
};

// A visible, enabled top-level window that the searched window owns.
BOOL CALLBACK FindPopup(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PopupSearch*>(data);
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return TRUE;
    }
    search->popup = window;
    return FALSE;
}

// Foreign messages: what another program, by mistake or on purpose, may
// send to any window. Left out on purpose are messages whose lParam or
// wParam is a pointer the receiver follows (WM_SETTEXT, WM_GETTEXT,
// WM_NOTIFY, WM_DRAWITEM, WM_COPYDATA, WM_WINDOWPOS*, WM_NCCALCSIZE, ...,
// and WM_TIMER's lParam, a callback address): with a made-up address they
// crash any program in the system's own code, so they say nothing about the
// suite. Left out too are the messages whose meaning is to end a program
// (WM_CLOSE, WM_DESTROY, WM_QUIT, WM_ENDSESSION), and the suite's own
// registered messages, which are its interfaces and tested as such.
constexpr UINT_PTR kAllOnes = ~static_cast<UINT_PTR>(0);
constexpr UINT_PTR kHighBit = kAllOnes ^ (kAllOnes >> 1);
constexpr UINT_PTR kLargest = kAllOnes >> 1;

struct Foreign {
    UINT message;
    std::vector<std::pair<UINT_PTR, UINT_PTR>> params;  // wParam, lParam
    bool systemControls;                                // also sent to the system's control classes
};

std::vector<Foreign> ForeignMessages() {
    // Each parameter at 0, 1, its sign bit alone, its largest signed value
    // and all ones, each paired with a different value of the other.
    const std::vector<std::pair<UINT_PTR, UINT_PTR>> extremes = {
        {0, 0},        {1, kAllOnes}, {kHighBit, kLargest}, {kLargest, kHighBit},
        {kAllOnes, 0}, {0, kAllOnes}, {kAllOnes, kAllOnes}};
    std::vector<Foreign> table;
    table.push_back({WM_NULL, extremes, true});
    // WM_USER+n are the private messages of a window class: a system control
    // takes some of them as pointers (TBM_GETTHUMBRECT, SB_SETTEXT, ...), so
    // they go to the suite's own classes and dialogs only.
    for (UINT n : {0u, 1u, 2u, 0x100u, 0x7BFFu}) table.push_back({WM_USER + n, extremes, false});
    for (UINT n : {0u, 1u, 0x3FFFu}) table.push_back({WM_APP + n, extremes, true});
    for (const char* name : {"winprobe foreign message", "WinProbe.Foreign.2", "TaskbarCreated"}) {
        table.push_back({RegisterWindowMessageA(name), extremes, true});
    }
    // Command and timer identifiers no window of the suite uses (its own lie
    // between 1 and 1100), with any notification code and any sender.
    Foreign command{WM_COMMAND, {}, true};
    for (UINT_PTR id : {0x7FFFu, 0xBEEFu, 0xFFFFu}) {
        for (UINT_PTR code : {0u, 1u, 0xFFFFu}) command.params.push_back({id | (code << 16), code == 1 ? kAllOnes : 0});
    }
    command.params.push_back({kAllOnes, kAllOnes});
    table.push_back(command);
    // System commands neither the system (0xF000 and up) nor the suite's
    // menus (0x10, 101-104) define.
    table.push_back(
        {WM_SYSCOMMAND, {{0x0000, 0}, {0x7770, kAllOnes}, {0xEEE0, kHighBit}, {0xFFF0, 0}, {0xFFFF, kAllOnes}}, true});
    table.push_back({WM_TIMER, {{0x7FFF, 0}, {0xBEEF, 0}, {kHighBit, 0}, {kAllOnes, 0}}, true});
    return table;
}

bool IsSystemControl(HWND window) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    static const char* const kClasses[] = {"Button",
                                           "Edit",
                                           "Static",
                                           "ComboBox",
                                           "ComboLBox",
                                           "ListBox",
                                           "ScrollBar",
                                           "msctls_trackbar32",
                                           "msctls_progress32",
                                           "msctls_updown32",
                                           "msctls_statusbar32",
                                           "msctls_hotkey32",
                                           "SysTabControl32",
                                           "SysListView32",
                                           "SysTreeView32",
                                           "SysHeader32",
                                           "tooltips_class32",
                                           "ToolbarWindow32",
                                           "SysLink",
                                           "ReBarWindow32",
                                           "ComboBoxEx32",
                                           "SysDateTimePick32",
                                           "SysMonthCal32",
                                           "#32768"};
    for (const char* name : kClasses) {
        if (lstrcmpiA(cls, name) == 0) return true;
    }
    return false;
}

// Windows the system makes in every process with a message loop; they are
// not the program's.
bool IsSystemHelper(HWND window) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    for (const char* name : {"IME", "MSCTFIME UI", "OleMainThreadWndClass", "CicMarshalWndClass"}) {
        if (lstrcmpiA(cls, name) == 0) return true;
    }
    return false;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

struct ProcessWindows {
    DWORD process;
    std::vector<HWND>* list;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ProcessWindows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && !IsSystemHelper(window)) search->list->push_back(window);
    return TRUE;
}

int Sweep(HWND start, UINT timeoutMs) {
    DWORD process = 0;
    GetWindowThreadProcessId(start, &process);
    std::vector<HWND> topLevel;
    ProcessWindows search{process, &topLevel};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    if (std::find(topLevel.begin(), topLevel.end(), start) == topLevel.end()) topLevel.push_back(start);
    std::vector<HWND> windows;
    for (HWND window : topLevel) {
        windows.push_back(window);
        EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&windows));
    }
    const std::vector<Foreign> table = ForeignMessages();
    unsigned long sent = 0, unanswered = 0;
    for (HWND window : windows) {
        const bool systemControl = IsSystemControl(window);
        for (const Foreign& foreign : table) {
            if (systemControl && !foreign.systemControls) continue;
            for (const auto& [w, l] : foreign.params) {
                DWORD_PTR result = 0;
                ++sent;
                if (!SendMessageTimeoutA(window, foreign.message, static_cast<WPARAM>(w), static_cast<LPARAM>(l),
                                         SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &result)) {
                    ++unanswered;
                    std::fprintf(stderr, "winprobe: #%llx did not answer message 0x%x (%llx, %llx)\n",
                                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), foreign.message,
                                 static_cast<unsigned long long>(w), static_cast<unsigned long long>(l));
                    if (!IsWindow(window)) return Fail("a window disappeared during the sweep");
                }
            }
        }
    }
    std::printf("windows %zu messages %lu unanswered %lu\n", windows.size(), sent, unanswered);
    return unanswered == 0 ? 0 : 1;
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
        PopupSearch search;
        const bool ok = WaitFor([&] {
            search.owner = FindByName(args[1]);
            search.popup = nullptr;
            if (search.owner == nullptr) return false;
            EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&search));
            return search.popup != nullptr;
        });
        HWND popup = search.popup;
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

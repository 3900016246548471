// The window probe's handlers (see window_probe_win32.h).
#include "window_probe_win32.h"

#include "text_win32.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace winprobe {

bool ParseNumber(const std::string& text, unsigned long long* value) {
    char* end = nullptr;
    *value = std::strtoull(text.c_str(), &end, 0);
    return !text.empty() && end != nullptr && *end == '\0';
}

HWND FindByName(const std::string& name) {
    if (!name.empty() && name[0] == '#') return reinterpret_cast<HWND>(std::strtoull(name.c_str() + 1, nullptr, 16));
    return FindWindowA(nullptr, name.c_str());
}

HWND FindByNameUtf8(const std::string& name) {
    if (!name.empty() && name[0] == '#') return FindByName(name);
    return FindWindowW(nullptr, winui::Widen(name, CP_UTF8).c_str());
}

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "#%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
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

std::string Utf8TextOf(HWND window) {
    wchar_t wide[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, &copied);
    return winui::Narrow(wide, CP_UTF8);
}

namespace {

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
}  // namespace

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
namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

bool ResourcesOf(const std::string& image, std::vector<ProcessResources>* out, std::string* error) {
    out->clear();
    for (DWORD id : ProcessesNamed(image)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        if (process == nullptr) {
            *error = "cannot open process " + std::to_string(id);
            return false;
        }
        ProcessResources item;
        item.pid = id;
        GetProcessHandleCount(process, &item.handles);
        item.gdi = GetGuiResources(process, GR_GDIOBJECTS);
        item.user = GetGuiResources(process, GR_USEROBJECTS);
        item.gdiTable = GdiTableObjects(process);
        item.handleList = HandlesInList(id);
        CloseHandle(process);
        WindowCount windows;
        windows.process = id;
        EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
        item.windows = windows.count;
        out->push_back(item);
    }
    return true;
}

namespace {

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
}  // namespace

HWND OwnedPopup(HWND owner) {
    PopupSearch search;
    search.owner = owner;
    if (owner == nullptr) return nullptr;
    EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&search));
    return search.popup;
}

SweepResult Sweep(HWND start, UINT timeoutMs) {
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
    SweepResult result;
    result.windows = windows.size();
    for (HWND window : windows) {
        const bool systemControl = IsSystemControl(window);
        for (const Foreign& foreign : table) {
            if (systemControl && !foreign.systemControls) continue;
            for (const auto& [w, l] : foreign.params) {
                DWORD_PTR answer = 0;
                ++result.sent;
                if (!SendMessageTimeoutA(window, foreign.message, static_cast<WPARAM>(w), static_cast<LPARAM>(l),
                                         SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &answer)) {
                    ++result.unanswered;
                    char line[160];
                    std::snprintf(line, sizeof line, "#%llx did not answer message 0x%x (%llx, %llx)",
                                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), foreign.message,
                                  static_cast<unsigned long long>(w), static_cast<unsigned long long>(l));
                    result.problems.emplace_back(line);
                    if (!IsWindow(window)) {
                        result.windowLost = true;
                        return result;
                    }
                }
            }
        }
    }
    return result;
}
}  // namespace winprobe

// What Nystra's end-to-end scenarios need besides the window probe:
//   hang SECONDS           a top-level window that answers no message for SECONDS
//   tray-delete HWND       removes the notification-area icon 0 of window HWND (hex),
//                          as a task bar that restarts loses it
//   debug-monitor SECONDS  receives the session's debug output as the usual
//                          debug-output viewers do (the DBWIN buffer and its two
//                          events) for SECONDS: prints "listening", then each
//                          string as "PID TEXT" on its own line
//   focus HWND             prints the control id of the focused window of HWND's
//                          thread (0 when none has the focus)
//   hold-lock SECONDS      owns the interlock's machine-wide lock for SECONDS without
//                          the session's mark, as a controller of another session
//                          does; prints "holding"
//   abandon-lock SECONDS   a thread owns the lock and ends without releasing it,
//                          while this process keeps it open for SECONDS, as after a
//                          controller that died; prints "abandoned"
// Exit codes: 0 done, 1 failed, 2 bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "named_mutex_win32.h"
#include "session_lock_win32.h"

namespace {

HWND ParseWindow(const char* handle) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(handle + (handle[0] == '#'), nullptr, 16)));
}

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int Hang(unsigned seconds) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NystraHungListener";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowA(wc.lpszClassName, "hung listener", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) return 1;
    std::printf("hung #%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);
    Sleep(seconds * 1000u);  // no message loop: sent messages wait
    return 0;
}

int TrayDelete(const char* handle) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = ParseWindow(handle);
    data.uID = 0;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

// The receiving side of OutputDebugStringA: a 4096-byte buffer holding the
// writer's process id and the string, a "buffer ready" event this side sets
// when the writer may fill it and a "data ready" event the writer sets.
int DebugMonitor(unsigned seconds) {
    HANDLE bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    if (bufferReady == nullptr || dataReady == nullptr || mapping == nullptr ||
        GetLastError() == ERROR_ALREADY_EXISTS) {
        std::fputs("nystra_e2e_helper: the debug output buffer is not ours (another viewer runs?)\n", stderr);
        return 1;
    }
    const auto* buffer = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096));
    if (buffer == nullptr) return 1;
    Say("listening");
    const DWORD end = GetTickCount() + seconds * 1000u;
    SetEvent(bufferReady);
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        if (WaitForSingleObject(dataReady, end - now) != WAIT_OBJECT_0) break;
        DWORD pid = 0;
        std::memcpy(&pid, buffer, sizeof pid);
        char text[4096 - sizeof(DWORD) + 1];
        std::memcpy(text, buffer + sizeof pid, sizeof text - 1);
        text[sizeof text - 1] = '\0';
        // One string is one line; its own line feed ends it.
        std::size_t length = std::strlen(text);
        if (length > 0 && text[length - 1] == '\n') text[--length] = '\0';
        std::printf("%lu %s\n", static_cast<unsigned long>(pid), text);
        std::fflush(stdout);
        SetEvent(bufferReady);
    }
    return 0;
}

int Focus(const char* handle) {
    const DWORD thread = GetWindowThreadProcessId(ParseWindow(handle), nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (thread == 0 || !GetGUIThreadInfo(thread, &info)) return 1;
    std::printf("%d\n", info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
}

int HoldLock(unsigned seconds) {
    winui::NamedMutex lock;
    if (lock.Take(nystra::kMachineLockName) != winui::MutexTake::kOwned) return 1;
    Say("holding");
    Sleep(seconds * 1000u);
    return 0;
}

DWORD WINAPI OwnAndEnd(LPVOID lock) {
    return WaitForSingleObject(static_cast<HANDLE>(lock), 0) == WAIT_OBJECT_0 ? 0 : 1;
}

// The mutex by hand: an owner that ends without releasing is what
// winui::NamedMutex never is.
int AbandonLock(unsigned seconds) {
    HANDLE lock = CreateMutexA(nullptr, FALSE, nystra::kMachineLockName);
    if (lock == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    HANDLE owner = CreateThread(nullptr, 0, &OwnAndEnd, lock, 0, nullptr);
    if (owner == nullptr) return 1;
    WaitForSingleObject(owner, INFINITE);
    DWORD owned = 1;
    GetExitCodeThread(owner, &owned);
    CloseHandle(owner);
    if (owned != 0) return 1;
    Say("abandoned");
    Sleep(seconds * 1000u);
    CloseHandle(lock);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) {
        const std::string_view command = argv[1];
        const auto seconds = static_cast<unsigned>(std::atoi(argv[2]));
        if (command == "hang") return Hang(seconds);
        if (command == "tray-delete") return TrayDelete(argv[2]);
        if (command == "debug-monitor") return DebugMonitor(seconds);
        if (command == "focus") return Focus(argv[2]);
        if (command == "hold-lock") return HoldLock(seconds);
        if (command == "abandon-lock") return AbandonLock(seconds);
    }
    std::fputs(
        "usage: nystra_e2e_helper hang SECONDS | tray-delete HWND | debug-monitor SECONDS | focus HWND |\n"
        "       hold-lock SECONDS | abandon-lock SECONDS\n",
        stderr);
    return 2;
}

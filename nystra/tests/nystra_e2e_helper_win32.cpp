// What Nystra's end-to-end scenarios need besides the window probe:
//   hang SECONDS      a top-level window that answers no message for SECONDS
//   tray-delete HWND  removes the notification-area icon 0 of window HWND (hex),
//                     as a task bar that restarts loses it
// Exit codes: 0 done, 1 failed, 2 bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Hang(unsigned seconds) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NystraHungListener";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "hung listener", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                wc.hInstance, nullptr);
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
    data.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(handle + (handle[0] == '#'), nullptr, 16)));
    data.uID = 0;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "hang") == 0) return Hang(static_cast<unsigned>(std::atoi(argv[2])));
    if (argc == 3 && std::strcmp(argv[1], "tray-delete") == 0) return TrayDelete(argv[2]);
    std::fputs("usage: nystra_e2e_helper hang SECONDS | tray-delete HWND\n", stderr);
    return 2;
}

// Palvine's end-to-end helper, built for each architecture (a hook DLL
// must match the process it goes into):
//   palvine_e2e_helper menu WINDOW CMD...   print 1 or 0 per item: its check
//                                           mark in the window's system menu
// WINDOW is a #HEX handle as winprobe prints it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "menu_hook_protocol.h"

namespace {

using namespace palvine_e2e;

int Menu(HWND window, int count, char** commands) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "palvine_menu_hook.dll";
    HMODULE module = LoadLibraryA(dll.c_str());
    FARPROC address = module != nullptr ? GetProcAddress(module, "PalvineMenuHook") : nullptr;
    HOOKPROC proc = nullptr;
    static_assert(sizeof proc == sizeof address, "function pointers of one size");
    std::memcpy(&proc, &address, sizeof proc);
    if (proc == nullptr) {
        std::fprintf(stderr, "palvine_e2e_helper: cannot load %s\n", dll.c_str());
        return 1;
    }
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, module, thread);
    if (hook == nullptr) {
        std::fprintf(stderr, "palvine_e2e_helper: cannot hook the window's thread\n");
        return 1;
    }
    const UINT ask = RegisterWindowMessageA(kAskMessage);
    int status = 0;
    for (int i = 0; i < count; ++i) {
        RemovePropA(window, kAnswerProperty);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, ask, std::strtoul(commands[i], nullptr, 0), 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        const auto answer = reinterpret_cast<UINT_PTR>(GetPropA(window, kAnswerProperty));
        if (answer == kNotChecked || answer == kChecked) {
            std::printf("%d\n", answer == kChecked ? 1 : 0);
        } else {
            std::fprintf(stderr, "palvine_e2e_helper: no answer for item %s (%u)\n", commands[i],
                         static_cast<unsigned>(answer));
            status = 1;
        }
    }
    RemovePropA(window, kAnswerProperty);
    UnhookWindowsHookEx(hook);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "menu" && argv[2][0] == '#') {
        HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2] + 1, nullptr, 16)));
        return Menu(window, argc - 3, argv + 3);
    }
    std::fputs("usage: palvine_e2e_helper menu #HWND CMD...\n", stderr);
    return 2;
}

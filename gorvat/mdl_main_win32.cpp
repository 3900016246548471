// mdlMain: the program's start. Main creates the calibration window, runs
// it until it closes and returns; the program then ends.
#include <windows.h>

#include <string>

#include "frm_main.h"
#include "frm_main_win32.h"
#include "library_loader_win32.h"
#include "tavlo_ioctl.h"

namespace gorvat {

int Main(HINSTANCE instance) {
    tavlo::Win32LibraryLoader loader;
    FrmMainWindow window(instance);
    // TAVLO.DLL is loaded by name at the first call. When it or one of its
    // functions is missing the program cannot go on: report it and stop.
    tavlo::TavloIoctl device(loader, [&window](const std::string& message) {
        MessageBoxA(window.Handle(), message.c_str(), "Gorvat", MB_OK | MB_ICONSTOP | MB_TOPMOST);
        ExitProcess(1);
    });
    frmMain form(device, window);
    window.Attach(&form);
    if (!window.Create()) return 1;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace gorvat

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return gorvat::Main(instance); }

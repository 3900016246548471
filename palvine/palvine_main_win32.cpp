// Palvine's start: TAVLO.DLL bound by name, the window created and its
// start-up run, then the messages until the window is gone.
#include <windows.h>

#include "form_tool_win32.h"
#include "main_dlg_win32.h"
#include "message_loop_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    palvine::MainDlgWindow* window = nullptr;
    // A missing library or function: the message naming it, above every
    // window, and the end of the program before the driver is touched.
    winui::FormToolDevice device("Palvine", [&window] { return window != nullptr ? window->Handle() : nullptr; });
    palvine::MainDlgWindow mainDlg(instance, device.Device());
    window = &mainDlg;
    if (!mainDlg.Create(commandLine != nullptr ? commandLine : "")) return 0;
    return winui::RunMessageLoop();
}

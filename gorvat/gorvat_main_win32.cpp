// The program's entry: Main creates the calibration window, runs
// it until it closes and returns; the program then ends.
#include <windows.h>

#include "form_tool_win32.h"
#include "frm_main.h"
#include "frm_main_win32.h"
#include "message_loop_win32.h"

namespace gorvat {

int Main(HINSTANCE instance) {
    FrmMainWindow window(instance);
    // TAVLO.DLL is loaded by name at the first call. When it or one of its
    // functions is missing the program cannot go on: report it and stop.
    winui::FormToolDevice tavlo("Gorvat", [&window] { return window.Handle(); });
    frmMain form(tavlo.Device(), window);
    window.Attach(&form);
    if (!window.Create()) return 1;
    winui::RunMessageLoop();
    return 0;
}

}  // namespace gorvat

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return gorvat::Main(instance); }

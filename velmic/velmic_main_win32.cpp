// Velmic's start: TAVLO.DLL bound by name, the start-up window loaded and,
// when the driver answers, shown; the program runs until that window closes.
#include <windows.h>

#include "controls_win32.h"
#include "form_tool_win32.h"
#include "message_loop_win32.h"
#include "start_dlg.h"
#include "start_dlg_win32.h"
#include "tp_access.h"

namespace velmic {

int Main(HINSTANCE instance) {
    StartDlgWindow* window = nullptr;
    // A missing library or function ends the program with a message naming it.
    winui::FormToolDevice library("Velmic", [&window] { return window != nullptr ? window->BoxOwner() : nullptr; });
    winui::InitCommonControlsOnce();

    StartDlgWindow startWindow(instance);
    window = &startWindow;
    TpAccess access(library.Device(), startWindow);
    StartDlg start(library.Device(), access, startWindow);
    startWindow.Attach(&start);
    if (!startWindow.Create()) return 1;

    // The driver not answering ends the program without a word.
    start.Form_Load();
    if (start.State() == Phase::Ended) return 0;
    startWindow.Show();
    return winui::RunMessageLoop();
}

}  // namespace velmic

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return velmic::Main(instance); }

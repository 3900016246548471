// CNystraApp: one interlock per machine; registers the window messages and
// runs the interlock's dialog; the program ends with the dialog.
// `Nystra.exe /stop[:SECONDS]` instead asks the running controller of this
// session to end and waits for it (exit code: see StopResult).
#include <windows.h>

#include "nystra_dlg_win32.h"
#include "session_lock_win32.h"

namespace nystra {

class CNystraApp {
public:
    explicit CNystraApp(HINSTANCE instance) : instance_(instance) {}

    int InitInstance(const char* arguments) {
        DebugOutputTrace trace;
        const CommandLine command = ParseCommandLine(arguments != nullptr ? arguments : "");
        InterlockMutexes locks;
        if (command.stop) return static_cast<int>(DecideStop(locks, command.waitSeconds * 1000u, trace));
        // Decided before anything reaches the driver; the locks are held
        // until the dialog has ended and the panels are enabled again.
        if (!RunsInterlock(StartUp(locks, trace))) return 0;
        RegisteredMessages messages;
        messages.tray = RegisterWindowMessageA(kTrayMessageName);
        messages.active = RegisterWindowMessageA(kActiveMessageName);
        messages.update = RegisterWindowMessageA(kUpdateMessageName);
        messages.taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedName);
        messages.stop = RegisterWindowMessageA(kStopMessageName);
        NystraDlgWindow dialog(instance_, messages, trace);
        return dialog.DoModal() == -1 ? 1 : 0;
    }

private:
    HINSTANCE instance_;
};

}  // namespace nystra

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    return nystra::CNystraApp(instance).InitInstance(arguments);
}

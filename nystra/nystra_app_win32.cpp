// CNystraApp: one interlock per session; registers the window messages and
// runs the interlock's dialog; the program ends with the dialog.
#include <windows.h>

#include "nystra_dlg_win32.h"
#include "session_lock_win32.h"

namespace nystra {

class CNystraApp {
public:
    explicit CNystraApp(HINSTANCE instance) : instance_(instance) {}

    int InitInstance() {
        // Decided before anything reaches the driver; the lock is held
        // until the dialog has ended and the panels are enabled again.
        SessionMutex lock;
        if (DecideStart(lock) != StartDecision::kRun) return 0;
        RegisteredMessages messages;
        messages.tray = RegisterWindowMessageA(kTrayMessageName);
        messages.active = RegisterWindowMessageA(kActiveMessageName);
        messages.update = RegisterWindowMessageA(kUpdateMessageName);
        messages.taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedName);
        NystraDlgWindow dialog(instance_, messages);
        return dialog.DoModal() == -1 ? 1 : 0;
    }

private:
    HINSTANCE instance_;
};

}  // namespace nystra

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return nystra::CNystraApp(instance).InitInstance(); }

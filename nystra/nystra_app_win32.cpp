// CNystraApp: registers the window messages and runs the interlock's dialog;
// the program ends with the dialog.
#include <windows.h>

#include "nystra_dlg_win32.h"

namespace nystra {

class CNystraApp {
public:
    explicit CNystraApp(HINSTANCE instance) : instance_(instance) {}

    int InitInstance() {
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

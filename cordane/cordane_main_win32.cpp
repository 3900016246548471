// CCordaneApp: runs the panel setting dialog; the program ends with it.
#include <windows.h>

#include "cordane_dlg_win32.h"

namespace cordane {

class CCordaneApp {
public:
    explicit CCordaneApp(HINSTANCE instance) : instance_(instance) {}

    int InitInstance() {
        CordaneDlgWindow dialog(instance_);
        return dialog.DoModal() == -1 ? 1 : 0;
    }

private:
    HINSTANCE instance_;
};

}  // namespace cordane

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return cordane::CCordaneApp(instance).InitInstance(); }

// Loaded into Palvine's process by palvine_e2e_helper's hook: Wine keeps a
// window's menus in the process that owns it, so only code running there
// can read the system menu's check marks. On the registered message it
// leaves the state of the asked item in a window property, which another
// process can read.
#include <windows.h>

#include "menu_hook_protocol.h"
#include "system_menu_win32.h"

using namespace palvine_e2e;

extern "C" __declspec(dllexport) LRESULT CALLBACK PalvineMenuHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        static const UINT ask = RegisterWindowMessageA(kAskMessage);
        if (call->message == ask) {
            const winui::SystemMenu menu(call->hwnd);
            const UINT state = menu ? GetMenuState(menu.Handle(), static_cast<UINT>(call->wParam), MF_BYCOMMAND)
                                    : static_cast<UINT>(-1);
            const UINT_PTR answer = state == static_cast<UINT>(-1) ? kNoSuchItem
                                    : (state & MF_CHECKED) != 0    ? kChecked
                                                                   : kNotChecked;
            SetPropA(call->hwnd, kAnswerProperty, reinterpret_cast<HANDLE>(answer));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

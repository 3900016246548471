// Loaded into Palvine's process by a hook on its thread (the agent's
// palvine.state, or palvine_e2e_helper): Wine keeps a window's menus in the
// process that owns it, so only code running there can read the system
// menu's check marks. On the registered message it leaves the state of the
// asked item in a window property, which another process can read.
//
// At its first message the DLL pins itself and hooks its thread from
// inside, so it keeps answering after the outside hook is gone: later reads
// are a message and a property, without a process of the program's bitness.
#include <windows.h>

#include "menu_hook_protocol.h"
#include "system_menu_win32.h"

using namespace palvine_e2e;

namespace {

void Answer(const CWPSTRUCT& call) {
    const winui::SystemMenu menu(call.hwnd);
    const UINT state =
        menu ? GetMenuState(menu.Handle(), static_cast<UINT>(call.wParam), MF_BYCOMMAND) : static_cast<UINT>(-1);
    const UINT_PTR answer = state == static_cast<UINT>(-1) ? kNoSuchItem
                            : (state & MF_CHECKED) != 0    ? kChecked
                                                           : kNotChecked;
    SetPropA(call.hwnd, kAnswerProperty, reinterpret_cast<HANDLE>(answer));
}

UINT AskMessage() {
    static const UINT ask = RegisterWindowMessageA(kAskMessage);
    return ask;
}

LRESULT CALLBACK ResidentHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == AskMessage()) Answer(*call);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Keeps the DLL in the process (Wine loads a hook's DLL for the call and
// may free it after) and hooks this thread with the code already here.
void StayResident() {
    static bool resident = false;
    if (resident) return;
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&AskMessage), &self)) {
        return;
    }
    resident = SetWindowsHookExA(WH_CALLWNDPROC, ResidentHook, nullptr, GetCurrentThreadId()) != nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK PalvineMenuHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == AskMessage()) {
            StayResident();
            Answer(*call);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

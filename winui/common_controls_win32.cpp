// Apart from the other control helpers so that only programs that use
// common controls import COMCTL32.DLL.
#include "controls_win32.h"

namespace winui {

bool InitCommonControlsOnce() {
    static const bool available = [] {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof init;
        init.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
        return InitCommonControlsEx(&init) != FALSE;
    }();
    return available;
}

}  // namespace winui

#include "tool_start_win32.h"

#include "handles_win32.h"

namespace cordane {

PROCESS_INFORMATION StartDetached(const char* path, STARTUPINFOA& startup) {
    startup = STARTUPINFOA{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        return PROCESS_INFORMATION{};
    }
    // Nothing waits for the tool or asks about it: holding its handles
    // would only keep its process object alive after it ends.
    const winui::KernelHandle thread(process.hThread);
    const winui::KernelHandle started(process.hProcess);
    process.hThread = nullptr;
    process.hProcess = nullptr;
    return process;
}

}  // namespace cordane

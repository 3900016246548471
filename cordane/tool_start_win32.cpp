#include "tool_start_win32.h"

#include <cstring>

#include "handles_win32.h"

namespace cordane {

bool StartDetached(const char* path, STARTUPINFOA* startup, PROCESS_INFORMATION* process) {
    std::memset(startup, 0, sizeof *startup);
    startup->cb = sizeof *startup;
    std::memset(process, 0, sizeof *process);
    if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, startup, process)) {
        return false;
    }
    // Nothing waits for the tool or asks about it: holding its handles
    // would only keep its process object alive after it ends.
    const winui::KernelHandle thread(process->hThread);
    const winui::KernelHandle started(process->hProcess);
    process->hThread = nullptr;
    process->hProcess = nullptr;
    return true;
}

}  // namespace cordane

#include "library_loader_win32.h"

#include <windows.h>

namespace tavlo {

bool Win32LibraryLoader::Load(const char* libraryName) {
    module_ = reinterpret_cast<void*>(LoadLibraryA(libraryName));
    lastError_ = module_ == nullptr ? GetLastError() : 0;
    return module_ != nullptr;
}

void* Win32LibraryLoader::Find(const char* functionName) {
    FARPROC address = module_ != nullptr ? GetProcAddress(static_cast<HMODULE>(module_), functionName) : nullptr;
    lastError_ = address == nullptr ? GetLastError() : 0;
    return reinterpret_cast<void*>(address);
}

std::string Win32LibraryLoader::LastErrorText() {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, lastError_,
                                        0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    if (message.empty()) message = "error " + std::to_string(lastError_);
    return message;
}

}  // namespace tavlo

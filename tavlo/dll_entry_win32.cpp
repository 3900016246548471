// TAVLO.DLL links nothing but KERNEL32: no C runtime start-up, no static
// constructors, no exceptions. Its entry point has no work to do, since the
// library keeps no state, and the few memory helpers the compiler may emit
// calls to are supplied here.
#include <windows.h>

#include <cstddef>

extern "C" BOOL WINAPI TavloDllEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" void* memcpy(void* to, const void* from, std::size_t count) {
    auto* d = static_cast<volatile unsigned char*>(to);
    const auto* s = static_cast<const unsigned char*>(from);
    for (std::size_t i = 0; i < count; ++i) d[i] = s[i];
    return to;
}

extern "C" void* memset(void* to, int value, std::size_t count) {
    auto* d = static_cast<volatile unsigned char*>(to);
    for (std::size_t i = 0; i < count; ++i) d[i] = static_cast<unsigned char>(value);
    return to;
}

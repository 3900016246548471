/* Stand-in for <stdlib.h> (see windows.h here): from MSVCRT.DLL. */
#ifndef SDK_MSABI_STDLIB_H
#define SDK_MSABI_STDLIB_H
#include <stddef.h>
__declspec(dllimport) long __cdecl strtol(const char* text, char** end, int base);
__declspec(dllimport) unsigned long __cdecl strtoul(const char* text, char** end, int base);
__declspec(dllimport) __declspec(noreturn) void __cdecl exit(int code);
#endif

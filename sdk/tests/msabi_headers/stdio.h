/* Stand-in for <stdio.h> (see windows.h here): from MSVCRT.DLL. */
#ifndef SDK_MSABI_STDIO_H
#define SDK_MSABI_STDIO_H
#include <stddef.h>
__declspec(dllimport) int __cdecl printf(const char* format, ...);
__declspec(dllimport) int __cdecl sprintf(char* target, const char* format, ...);
#endif

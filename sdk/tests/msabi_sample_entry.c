/* The start of the samples built in Microsoft's ABI without that
   toolchain's C runtime (none is on the build machine): the command line
   from MSVCRT.DLL, then main, then exit, which flushes stdout. */
#include <stdlib.h>

typedef struct {
    int newMode;
} StartupInfo;
__declspec(dllimport) int __cdecl __getmainargs(int* argc, char*** argv, char*** env, int wildcards, StartupInfo* info);

int main(int argc, char** argv);

void __cdecl SampleEntry(void) {
    int argc = 0;
    char** argv = 0;
    char** env = 0;
    StartupInfo info = {0};
    __getmainargs(&argc, &argv, &env, 0, &info);
    exit(main(argc, argv));
}

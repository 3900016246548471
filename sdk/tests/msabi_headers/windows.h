/*
 * Stand-in for the Windows SDK's <windows.h> in the build of the samples in
 * Microsoft's ABI: no Windows SDK is on the build machine, so this header
 * declares exactly what the samples use, with the SDK's types, values and
 * calling conventions. An integrator builds the samples with the real SDK;
 * a declaration here that differed from it would show as a wrong result
 * or a moved stack in the samples' run under Wine.
 */
#ifndef SDK_MSABI_WINDOWS_H
#define SDK_MSABI_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI __stdcall
#define CALLBACK __stdcall
#define WINIMPORT __declspec(dllimport)

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned int UINT;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD REGSAM;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HKEY__* HKEY;
typedef void* HANDLE;
typedef void* HICON;
typedef void* HCURSOR;
typedef void* HBRUSH;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);

#define TRUE 1
#define FALSE 0

typedef struct {
    LONG x, y;
} POINT;
typedef struct {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG;
typedef struct {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

#define HKEY_LOCAL_MACHINE ((HKEY)(intptr_t)(LONG)0x80000002)
#define KEY_READ 0x20019
#define KEY_WOW64_32KEY 0x0200
#define ERROR_SUCCESS 0L
#define REG_SZ 1
#define REG_DWORD 4
#define GW_OWNER 4
#define WS_POPUP 0x80000000L
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define QS_ALLINPUT 0x04FF
#define WAIT_FAILED ((DWORD)0xFFFFFFFF)

void* __cdecl memset(void* target, int value, size_t size);
#define ZeroMemory(target, size) memset((target), 0, (size))

WINIMPORT LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
WINIMPORT LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
WINIMPORT LONG WINAPI RegCloseKey(HKEY key);

WINIMPORT DWORD WINAPI GetLastError(void);
WINIMPORT DWORD WINAPI GetTickCount(void);
WINIMPORT HINSTANCE WINAPI GetModuleHandleA(LPCSTR name);
WINIMPORT int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);

WINIMPORT BOOL WINAPI EnumWindows(WNDENUMPROC callback, LPARAM data);
WINIMPORT HWND WINAPI GetWindow(HWND window, UINT relation);
WINIMPORT int WINAPI GetClassNameA(HWND window, LPSTR name, int size);
WINIMPORT int WINAPI GetWindowTextA(HWND window, LPSTR text, int size);
WINIMPORT UINT WINAPI RegisterWindowMessageA(LPCSTR name);
WINIMPORT BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINIMPORT LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINIMPORT unsigned short WINAPI RegisterClassA(const WNDCLASSA* windowClass);
WINIMPORT HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR caption, DWORD style, int x, int y,
                                      int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);
WINIMPORT BOOL WINAPI DestroyWindow(HWND window);
WINIMPORT BOOL WINAPI PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);
WINIMPORT BOOL WINAPI TranslateMessage(const MSG* message);
WINIMPORT LRESULT WINAPI DispatchMessageA(const MSG* message);
WINIMPORT DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                                 DWORD wakeMask);

#endif

/*
 * An operator program that asks Nystra, the interlock controller, to make
 * a panel active, instead of switching the panels itself.
 *
 *   nystra_client PANEL     asks for panel number PANEL, waits for Nystra's
 *                           answer and prints the active panel
 *   nystra_client           waits for Nystra's next change and prints it
 *
 * While Nystra runs it alone decides which panel is active: a program that
 * enabled or disabled point data itself, or changed the start-up mode,
 * would break the interlock. It asks instead: ZRM450_NYSTRA_ACTIVE posted
 * to Nystra's window, with the panel number in wParam. Nystra answers every
 * change of its display with ZRM450_NYSTRA_UPDATE, posted to all top-level
 * windows; this program keeps a hidden top-level window to receive it, and
 * then reads the active panel from the driver (read-only).
 *
 * Exit code: 0 an update came, 1 PANEL is not a number from 0 to 255,
 * Nystra is not running or the request could not be posted, 2 no update
 * within ten seconds (for instance a panel number with no panel: Nystra
 * ignores it).
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "nystra_messages.h"
#include "tavlo.h"

static UINT g_updateMessage = 0;
static int g_updates = 0;

/* Nystra's window: the unowned dialog with its caption (its about box has
   the same caption but is owned by it). */
static BOOL CALLBACK TakeNystra(HWND window, LPARAM found) {
    char caption[64];
    char windowClass[16];
    if (GetWindow(window, GW_OWNER) != NULL) return TRUE;
    if (GetClassNameA(window, windowClass, sizeof windowClass) == 0 ||
        lstrcmpA(windowClass, NYSTRA_WINDOW_CLASS) != 0) {
        return TRUE;
    }
    if (GetWindowTextA(window, caption, sizeof caption) == 0 || lstrcmpA(caption, NYSTRA_WINDOW_CAPTION) != 0) {
        return TRUE;
    }
    *(HWND*)found = window;
    return FALSE;
}

static HWND FindNystra(void) {
    HWND found = NULL;
    EnumWindows(TakeNystra, (LPARAM)&found);
    return found;
}

static LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_updateMessage && g_updateMessage != 0) {
        ++g_updates;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A hidden top-level window: broadcasts reach top-level windows only, not
   message-only windows (HWND_MESSAGE). */
static HWND MakeListener(HINSTANCE instance) {
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "NystraClientListener";
    if (RegisterClassA(&windowClass) == 0) return NULL;
    return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance, NULL);
}

/* The active panel as the driver reports it: the lowest-numbered panel with
   point data enabled. Read-only; -1 for none or when the driver cannot be
   read. A stale stamp (status 3) is refreshed by the call; the scan then
   starts over once. */
static int ActivePanel(void) {
    int attempt;
    for (attempt = 0; attempt < 2; ++attempt) {
        uint16_t stamp = 0;
        uint8_t count = 0, i;
        TavloStatus status = TavloOk;
        if (TavloNeedUpdate(&stamp) != TavloOk || TavloGetDevices(&count) != TavloOk) return -1;
        for (i = 0; i < count; ++i) {
            uint8_t enabled = 0;
            status = TavloGetPointdataEnable(&stamp, i, &enabled);
            if (status != TavloOk) break;
            if (enabled) return i;
        }
        if (status != TavloPanelsChanged) return -1;
    }
    return -1;
}

int main(int argc, char** argv) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    HWND nystra, listener;
    UINT activeMessage;
    DWORD deadline;
    MSG message;
    int active;
    unsigned long panel = 0;

    if (argc >= 2) {
        /* A panel number, nothing else: a mistyped argument must not turn
           into a request for panel 0. */
        char* end = NULL;
        panel = strtoul(argv[1], &end, 10);
        if (argc > 2 || end == argv[1] || *end != '\0' || argv[1][0] == '-' || panel > 255) {
            printf("usage: nystra_client [PANEL]   (PANEL: panel number, 0 for the first)\n");
            return 1;
        }
    }

    nystra = FindNystra();
    if (nystra == NULL) {
        printf("Nystra is not running\n");
        return 1;
    }
    activeMessage = RegisterWindowMessageA(NYSTRA_ACTIVE_MESSAGE);
    g_updateMessage = RegisterWindowMessageA(NYSTRA_UPDATE_MESSAGE);
    listener = MakeListener(instance);
    if (activeMessage == 0 || g_updateMessage == 0 || listener == NULL) {
        printf("cannot register the messages or make the listening window (error %lu)\n", GetLastError());
        return 1;
    }
    /* Let the listening window's queue exist before asking, so that the
       answer cannot come before we listen. */
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);

    if (argc == 2) {
        /* Posted: Nystra acts on it between two polls. A post fails with
           ERROR_ACCESS_DENIED when Nystra runs with higher rights than this
           program (an elevated Nystra); start both the same way. */
        if (!PostMessageA(nystra, activeMessage, NYSTRA_ACTIVE_WPARAM(panel), 0)) {
            printf("cannot post to Nystra (error %lu)\n", GetLastError());
            return 1;
        }
        printf("asked Nystra for panel %lu\n", panel);
    }

    deadline = GetTickCount() + 10000;
    while (g_updates == 0) {
        const DWORD now = GetTickCount();
        if ((LONG)(deadline - now) <= 0) break;
        if (MsgWaitForMultipleObjects(0, NULL, FALSE, deadline - now, QS_ALLINPUT) == WAIT_FAILED) break;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(listener);
    if (g_updates == 0) {
        printf("no update from Nystra within ten seconds\n");
        return 2;
    }
    active = ActivePanel();
    if (active < 0) {
        printf("update from Nystra: no panel is active\n");
    } else {
        printf("update from Nystra: panel %d is active\n", active);
    }
    return 0;
}

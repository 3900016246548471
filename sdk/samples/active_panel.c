/*
 * Which panel is active, and its record: read-only.
 *
 * The active panel is the lowest-numbered panel whose point data is
 * enabled. This program finds it with TAVLO.DLL's read calls and reads its
 * record (name and touch mode) from the registry. It changes nothing: not
 * the point data, not the driver's start-up mode, not the records. That is
 * what an operator program may do at any time, with or without Nystra.
 *
 *   active_panel            prints the panels and the active one
 *
 * Exit code: 0 a panel is active, 1 none is, 2 the driver cannot be read.
 */
#include <windows.h>
#include <stdio.h>

#include "tavlo.h"

/* A panel command's status after the change-stamp protocol: the caller's
   stamp was out of date (the panels changed), so the library refreshed it
   and sent nothing. The panel numbers the caller holds may now mean other
   panels, so the caller reads the panel list again; see FindActive. */
#define PANELS_CHANGED(status) ((status) == TavloPanelsChanged)

typedef struct {
    uint8_t count;    /* panels attached */
    int active;       /* panel number of the active panel, -1 for none */
    uint8_t ids[256]; /* identifier of each panel number */
} PanelList;

/* Reads the panel list and the active panel. Returns TavloOk or the status
   that stopped it. The stamp is taken BEFORE the count: should a panel come
   or go in between, the next panel command sees a stale stamp and the list
   is read again, rather than trusting a count that no longer holds. */
static TavloStatus FindActive(PanelList* list) {
    int attempt;
    for (attempt = 0; attempt < 3; ++attempt) {
        uint16_t stamp = 0;
        TavloStatus status = TavloNeedUpdate(&stamp);
        uint8_t i;
        int changed = 0;
        if (status != TavloOk) return status;
        status = TavloGetDevices(&list->count);
        if (status != TavloOk) return status;
        list->active = -1;
        for (i = 0; i < list->count && !changed; ++i) {
            uint8_t enabled = 0;
            status = TavloGetPanelId(&stamp, i, &list->ids[i]);
            if (status == TavloOk) status = TavloGetPointdataEnable(&stamp, i, &enabled);
            if (PANELS_CHANGED(status)) {
                changed = 1; /* read the list again with the fresh stamp */
            } else if (status != TavloOk) {
                return status;
            } else if (enabled && list->active < 0) {
                list->active = i;
            }
        }
        if (!changed) return TavloOk;
    }
    return TavloPanelsChanged; /* the panels keep changing: try again later */
}

/* The record of a panel, by its identifier. The suite keeps the records in
   the 32-bit view of the registry, also on 64-bit Windows: KEY_WOW64_32KEY
   reads that view from 32-bit and 64-bit programs alike. A missing record
   or value reads as the suite's defaults: empty name, Interlock (1). */
static void ReadRecord(uint8_t id, char* name, DWORD nameSize, DWORD* touchOp) {
    char path[64];
    HKEY key;
    name[0] = '\0';
    *touchOp = 1;
    sprintf(path, "SOFTWARE\\ZR_EX_CONTROL\\ID%u", (unsigned)id);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    {
        DWORD type = 0, size = nameSize - 1;
        if (RegQueryValueExA(key, "NAME", NULL, &type, (BYTE*)name, &size) == ERROR_SUCCESS && type == REG_SZ) {
            name[size < nameSize ? size : nameSize - 1] = '\0';
        } else {
            name[0] = '\0';
        }
    }
    {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExA(key, "TOUCH_OP", NULL, &type, (BYTE*)&value, &size) == ERROR_SUCCESS &&
            type == REG_DWORD) {
            *touchOp = value;
        }
    }
    RegCloseKey(key);
}

static const char* ModeName(DWORD touchOp) {
    switch (touchOp) {
    case 0:
        return "Disable";
    case 2:
        return "Supervisor";
    default:
        return "Interlock";
    }
}

int main(void) {
    PanelList list;
    uint8_t i;
    const TavloStatus status = FindActive(&list);
    if (status != TavloOk) {
        printf("the driver cannot be read: status %d%s\n", (int)status,
               status == TavloNoDevice ? " (no driver: \\\\.\\Tavlo cannot be opened)" : "");
        return 2;
    }
    printf("%u panel(s)\n", (unsigned)list.count);
    for (i = 0; i < list.count; ++i) {
        char name[64];
        DWORD touchOp = 1;
        ReadRecord(list.ids[i], name, sizeof name, &touchOp);
        printf("panel %u: identifier %u, name \"%s\", mode %s%s\n", (unsigned)i, (unsigned)list.ids[i], name,
               ModeName(touchOp), (int)i == list.active ? ", active" : "");
    }
    if (list.active < 0) {
        printf("no panel is active\n");
        return 1;
    }
    printf("active panel: %d\n", list.active);
    return 0;
}

/*
 * Reading and writing a panel's click settings with the change-stamp
 * protocol.
 *
 *   click_settings PANEL                     prints the working and saved sets
 *   click_settings PANEL DOWN UP TIME AREA   writes both sets, prints what the
 *                                            panel kept
 *
 * PANEL is the panel number (0 for the first). DOWN and UP are the
 * chatter cancelling on touch-down and touch-up (0 to 100), TIME the
 * double-click time in milliseconds (200 to 900), AREA the double-click
 * area (20 to 40). The library clamps each value into its range and the
 * panel keeps them in its own steps (10, 10, 10 ms and 2), so the values
 * read back may differ from those given: the program prints them.
 *
 * Every panel command passes the address of this program's change stamp.
 * A command that answers TavloPanelsChanged (3) has refreshed the stamp and
 * sent nothing: the panels were plugged or unplugged since the stamp was
 * taken, so panel numbers may now mean other panels. The program then
 * checks that PANEL is still the panel it started with (same identifier)
 * and repeats the command once; it never writes to a panel it did not mean.
 *
 * Exit code: 0 done, 1 bad arguments, 2 a call failed (its status printed).
 * This program does not change the Windows double-click time, which Velmic
 * sets with its own settings.
 */
#include <stdio.h>
#include <stdlib.h>

#include "tavlo.h"

static uint16_t g_stamp = 0; /* any start value: the first command refreshes it */
static uint32_t g_panel = 0;
static uint8_t g_panelId = 0;

/* After status 3: is panel number g_panel still the panel we started with?
   The stamp is fresh now, so this read does not answer 3 again unless the
   panels change once more. */
static int SamePanel(void) {
    uint8_t id = 0;
    return TavloGetPanelId(&g_stamp, g_panel, &id) == TavloOk && id == g_panelId;
}

/* The stamp protocol around one call: repeated once after status 3 when the
   panel is still the same one. */
#define WITH_STAMP(status, call)                                              \
    do {                                                                      \
        (status) = (call);                                                    \
        if ((status) == TavloPanelsChanged && SamePanel()) (status) = (call); \
    } while (0)

static void PrintClick(const char* set, const int16_t click[4]) {
    printf("%s: down %d, up %d, double-click time %d ms, area %d\n", set, click[TavloDownCancel], click[TavloUpCancel],
           click[TavloDblClickTime], click[TavloDblClickArea]);
}

static int Failed(const char* call, TavloStatus status) {
    if (status == TavloPanelsChanged) {
        printf("%s: the panels changed and panel %u is another panel now; not repeated\n", call, (unsigned)g_panel);
    } else {
        printf("%s failed: status %d\n", call, (int)status);
    }
    return 2;
}

static int ParseNumber(const char* text, long low, long high, long* value) {
    char* end = NULL;
    *value = strtol(text, &end, 10);
    return end != text && *end == '\0' && *value >= low && *value <= high;
}

int main(int argc, char** argv) {
    int16_t working[4], saved[4];
    TavloStatus status;
    long value;
    int i;

    if ((argc != 2 && argc != 6) || !ParseNumber(argv[1], 0, 255, &value)) {
        printf("usage: click_settings PANEL [DOWN UP TIME AREA]\n");
        return 1;
    }
    g_panel = (uint32_t)value;

    /* The identifier of the panel we address, read with a fresh stamp. The
       first call with a start value of 0 most likely answers 3: that is the
       protocol at work, not a failure. */
    status = TavloGetPanelId(&g_stamp, g_panel, &g_panelId);
    if (status == TavloPanelsChanged) status = TavloGetPanelId(&g_stamp, g_panel, &g_panelId);
    if (status != TavloOk) return Failed("TavloGetPanelId", status);
    printf("panel %u, identifier %u\n", (unsigned)g_panel, (unsigned)g_panelId);

    if (argc == 6) {
        int16_t wanted[4];
        for (i = 0; i < 4; ++i) {
            if (!ParseNumber(argv[2 + i], -32768, 32767, &value)) {
                printf("not a number: %s\n", argv[2 + i]);
                return 1;
            }
            wanted[i] = (int16_t)value;
        }
        /* The working set takes effect at once; the saved set is what the
           panel keeps (and what Velmic puts back into the working set when
           its dialog closes). The library clamps the array in place. */
        for (i = 0; i < 4; ++i) working[i] = wanted[i];
        WITH_STAMP(status, TavloSetClickData(&g_stamp, g_panel, working, 0));
        if (status != TavloOk) return Failed("TavloSetClickData (working set)", status);
        for (i = 0; i < 4; ++i) saved[i] = wanted[i];
        WITH_STAMP(status, TavloSetClickData(&g_stamp, g_panel, saved, 1));
        if (status != TavloOk) return Failed("TavloSetClickData (saved set)", status);
    }

    WITH_STAMP(status, TavloGetClickData(&g_stamp, g_panel, working, 0));
    if (status != TavloOk) return Failed("TavloGetClickData (working set)", status);
    WITH_STAMP(status, TavloGetClickData(&g_stamp, g_panel, saved, 1));
    if (status != TavloOk) return Failed("TavloGetClickData (saved set)", status);
    PrintClick("working set", working);
    PrintClick("saved set", saved);
    return 0;
}

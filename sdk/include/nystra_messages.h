/*
 * The window messages of Nystra, the interlock controller, for other
 * programs on the panel computer (an operator station, a line controller).
 *
 * Both messages are registered by name: each program gets their numbers
 * with RegisterWindowMessageA(NYSTRA_ACTIVE_MESSAGE) and
 * RegisterWindowMessageA(NYSTRA_UPDATE_MESSAGE); the numbers differ from
 * one Windows session to the next, so never store them.
 *
 * ZRM450_NYSTRA_ACTIVE, posted (or sent) to Nystra's window:
 *   wParam  the panel NUMBER to make active: its position on the driver,
 *           0 for the first panel, below the count of TavloGetDevices.
 *           Not the panel's identifier (the number in its record's name).
 *   lParam  0 (ignored)
 *   Nystra makes that panel active at once, whatever its touch mode, and
 *   disables every other panel. A number that is not a panel of Nystra's
 *   table (it holds the first four panels) is ignored: nothing changes and
 *   no ZRM450_NYSTRA_UPDATE follows. Should the panels have changed just
 *   then, Nystra releases every panel instead (an update follows). Sent,
 *   the result is 0.
 *
 * ZRM450_NYSTRA_UPDATE, posted by Nystra to every top-level window
 * (HWND_BROADCAST):
 *   wParam  0
 *   lParam  0
 *   The rows of Nystra's window have just changed: a panel became active,
 *   was released, or asked for control. While no panel is attached it comes
 *   once a second. Only top-level windows receive it (not child windows and
 *   not message-only windows); a hidden top-level window receives it when no
 *   window owns it. It carries no panel: read the new state from the driver
 *   (the active panel is the lowest-numbered panel whose point data is
 *   enabled).
 *
 * Nystra's window: a dialog (window class "#32770") with the caption
 * "Interlock Control" and no owner. Its about box has the same caption but
 * is owned by the window, so take the unowned one.
 *
 * Plain C, no other header needed; the same for i686 and x86_64 programs.
 */
#ifndef NYSTRA_MESSAGES_H
#define NYSTRA_MESSAGES_H

/* Names to pass to RegisterWindowMessageA. */
#define NYSTRA_ACTIVE_MESSAGE "ZRM450_NYSTRA_ACTIVE"
#define NYSTRA_UPDATE_MESSAGE "ZRM450_NYSTRA_UPDATE"

/* Nystra's main window, for FindWindowA / EnumWindows. */
#define NYSTRA_WINDOW_CLASS "#32770"
#define NYSTRA_WINDOW_CAPTION "Interlock Control"

/* wParam of ZRM450_NYSTRA_ACTIVE: the panel number (0-based position). */
#define NYSTRA_ACTIVE_WPARAM(panel_number) ((unsigned)(panel_number))

#endif /* NYSTRA_MESSAGES_H */

/* Resource and control identifiers of Palvine, shared by the resource
 * script and the code. Plain macros so that the resource compiler reads them. */
#ifndef PALVINE_IDS_H
#define PALVINE_IDS_H

#define IDR_MAINFRAME 128 /* program icon */

#define IDC_CLICK_STATUS 1001 /* the picture */

#define ID_CLICK_CHK_TIMER 1

/* The commands added to the system menu. They reach the window as the
 * system command chosen, so they stay below the platform's own commands. */
#define IDM_ALWAYS_TOP 101
#define IDM_SMALL_SIZE 102
#define IDM_NORMAL_SIZE 103
#define IDM_LARGE_SIZE 104

#endif /* PALVINE_IDS_H */

/* Resource and command identifiers of Nystra, shared by the resource script
 * and the code. Plain macros so that the resource compiler reads them. */
#ifndef NYSTRA_IDS_H
#define NYSTRA_IDS_H

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_NYSTRA_DIALOG 102

#define IDR_MAINFRAME 128 /* program icon */
#define IDI_RELEASED 130  /* tray: no panel active */
#define IDI_ACTIVE 131    /* tray: a panel is active */
#define IDI_REQUEST 134   /* tray and indicator: a refused request is shown */

#define IDC_RELEASE 1000
#define IDC_ACTIVE_ID 1001
#define IDC_REQUEST_ID 1002
#define IDC_ACTIVE_NAME 1003
#define IDC_REQUEST_NAME 1004
#define IDC_MINIMIZE 1005
#define IDC_REQUEST_ICON 1006
#define IDC_ABOUT_TEXT 1010

/* System menu commands. */
#define IDM_ABOUTBOX 0x0010
#define IDM_ALWAYS_TOP 103

#define ID_POLL_TIMER 102

#endif /* NYSTRA_IDS_H */

/* Control identifiers of Gorvat's windows, shared with the tests that read
 * the windows from outside. Every control is a direct child of its window,
 * so GetDlgItem on the window (found by caption or class) reaches it. */
#ifndef GORVAT_IDS_H
#define GORVAT_IDS_H

#define GORVAT_MAIN_CLASS "frmMain"
#define GORVAT_SURE_CLASS "frmSure"

/* frmMain */
#define IDC_AREA_MESSAGE 100
#define IDC_TEXT_MESSAGE 101 /* lies on areaMessage */
#define IDC_QUIT_BUTTON 102
#define IDC_PIC_POINT 103
#define IDC_DBG_MESSAGE 110
#define IDC_LABEL2 111
#define IDC_LABEL4 112
#define IDC_DBG_XA 113
#define IDC_DBG_XB 114
#define IDC_DBG_YA 115
#define IDC_DBG_YB 116
#define IDC_DBG_POS_X 117
#define IDC_DBG_POS_Y 118
#define IDC_DBG_SIZE_X 119
#define IDC_DBG_SIZE_Y 120

/* frmSure */
#define IDC_LBL_MSG_AREA 200
#define IDC_BTN_YES_NO_0 210        /* btnYesNo(0), (1) */
#define IDC_BTN_YES_NO_CANCEL_0 220 /* btnYesNoCancel(0), (1), (2) */

#endif

/* Resource, control and command identifiers of Cordane, shared by the
 * resource script and the code. Plain macros so that the resource compiler
 * reads them. */
#ifndef CORDANE_IDS_H
#define CORDANE_IDS_H

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CORDANE_DIALOG 102
#define IDR_MAINFRAME 128 /* program icon */

/* Row 1 */
#define IDC_MODE1 1003
#define IDC_TOUCH1 1004
#define IDC_CALIBRATION1 1005
#define IDC_ID1 1013
#define IDC_NAME1 1017
/* Row 2 */
#define IDC_MODE2 1006
#define IDC_TOUCH2 1007
#define IDC_CALIBRATION2 1008
#define IDC_ID2 1015
#define IDC_NAME2 1018
/* Rows 3 and 4: added at run time below row 2 when that many panels are
 * attached. */
#define IDC_ID3 1020
#define IDC_NAME3 1021
#define IDC_MODE3 1022
#define IDC_TOUCH3 1023
#define IDC_CALIBRATION3 1024
#define IDC_ID4 1025
#define IDC_NAME4 1026
#define IDC_MODE4 1027
#define IDC_TOUCH4 1028
#define IDC_CALIBRATION4 1029

#define IDC_TIME_RELEASE 1011
#define IDC_TIME_OUT 1012
#define IDC_ABOUT_TEXT 1030

/* System menu: the about command. Commands 16..31 open the about box. */
#define IDM_ABOUTBOX 0x0010

#endif /* CORDANE_IDS_H */

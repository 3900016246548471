/* Control and resource identifiers of Velmic's windows, shared by the
   program, its resources and the end-to-end scenarios. */
#ifndef VELMIC_IDS_H
#define VELMIC_IDS_H

/* StartDlg; its CancelBtn is IDCANCEL. */
#define IDC_INFO_MSG 101

/* MainDlg; OkBtn is IDOK and CancelBtn IDCANCEL. */
#define IDC_PANEL_ID_LABEL 200
#define IDC_ACTIVE_PANEL_ID 201
#define IDC_CLICK_FRAME 210
#define IDC_DOWN_LABEL 211
#define IDC_DOWN_CANCELER 212
#define IDC_DOWN_LOW 213
#define IDC_DOWN_HIGH 214
#define IDC_UP_LABEL 215
#define IDC_UP_CANCELER 216
#define IDC_UP_LOW 217
#define IDC_UP_HIGH 218
#define IDC_DCLICK_FRAME 220
#define IDC_SPEED_LABEL 221
#define IDC_DBL_CLICK_SPEED 222
#define IDC_SPEED_FAST 223
#define IDC_SPEED_SLOW 224
#define IDC_AREA_LABEL 225
#define IDC_DBL_CLICK_AREA 226
#define IDC_AREA_NARROW 227
#define IDC_AREA_WIDE 228
#define IDC_CLICK_SOUND 230
#define IDC_SET_DEFAULT 231
#define IDC_DCLICK_TEST_AREA 240
#define IDC_CLICK_TEST_AREA 241
#define IDC_APPLY 250

/* The pictures stored with the settings dialog. */
#define IDB_DCLICK_AREA 300
#define IDB_CLICK_AREA 301

#endif

/* Resource and control identifiers of Palvine, shared by the resource
 * script and the code. Plain macros so that the resource compiler reads them. */
#ifndef PALVINE_IDS_H
#define PALVINE_IDS_H

#define IDR_MAINFRAME 128 /* program icon */

#define IDC_CLICK_STATUS 1001 /* the picture */

#define ID_CLICK_CHK_TIMER 1

#endif /* PALVINE_IDS_H */

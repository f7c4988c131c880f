// Ids of the module's dialogs and their controls. Shared by the resource
// script and the C++ sources, so it holds nothing but plain defines.
#ifndef KIVERA_RESOURCE_H
#define KIVERA_RESOURCE_H

#define IDD_ARRANGE 101          /* axis and mode choice of ArrangeOnLine */
#define IDD_RESTORE 102          /* axes restored by RestoreSavedPoints */

#define IDC_MAIN_X 1000
#define IDC_MAIN_Y 1001
#define IDC_MAIN_Z 1002
#define IDC_MOVE_X 1003
#define IDC_MOVE_Y 1004
#define IDC_MOVE_Z 1005
#define IDC_RESTORE_X 1008
#define IDC_RESTORE_Y 1009
#define IDC_RESTORE_Z 1010
#define IDC_OBJECT_MODE 1011
#define IDC_REFERENCE_MAX 1012
#define IDC_REFERENCE_CENTRE 1013
#define IDC_REFERENCE_MIN 1014
#define IDC_EQUAL_DIVISION 1015
#define IDC_MOVE_ALL 1016

#define IDC_NO_ID (-1)           /* static texts; 65535 in the template */

#endif

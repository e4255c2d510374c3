// Resource ids of setup.exe, shared by the resource script and the windows that load them.
#pragma once

#define IDI_SETUP 107
#define IDB_CHECKS 142
#define IDC_ENGRAVE 145
#define IDB_HEADER 147
#define IDB_SIDE 149
#define IDD_ABOUT 103
#define IDD_LANGUAGE 146
#define IDC_LANGUAGE_LIST 1038
#define IDC_ABOUT_LINK 1043
#define IDM_ABOUT 104

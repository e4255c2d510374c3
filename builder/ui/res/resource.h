// Resource ids of qpb.exe (menus, bitmaps, dialogs, icons) and the controls of its dialogs.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_MAINMENU 129
#define IDB_TOOLBAR 128
#define IDB_FILES 131
#define IDB_NODES 132
#define IDB_TABS 134
#define IDB_REGVALUES 137

#define IDM_GROUP_POPUP 132
#define IDM_FILES_POPUP 133
#define IDM_COMPONENT_POPUP 134
#define IDM_SETUP_POPUP 136
#define IDM_REGISTRY_POPUP 137
#define IDM_LINK_POPUP 139
#define IDM_RECENT_POPUP 140

#define IDI_ITEM_FIRST 150

#define IDD_ABOUT 100
#define IDD_KITNAME 101
#define IDD_SPLASH 170
#define IDB_SPLASH1 171
#define IDB_SPLASH2 172

#define IDC_ABOUT_VERSION 1000
#define IDC_KITNAME 1001
#define IDC_KITROOT 1002

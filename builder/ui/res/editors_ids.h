// Resource ids of the editors and their controls (registry, link, string-table and function
// windows, the hex edit control), in a range of their own: 4000 to 4999, and the context menus
// 138, 201 and 202.
#pragma once

#define IDM_STRING_POPUP 138
#define IDM_HEX_POPUP 201
#define IDM_FUNCTION_POPUP 202

#define IDD_EDIT_STRING 4000
#define IDD_EDIT_DWORD 4001
#define IDD_EDIT_BINARY 4002
#define IDD_SHORTCUT 4004
#define IDD_PROGRAM_FOLDER 4005
#define IDD_FUNCTION_SET 4006

#define IDC_VALUE_NAME 4100
#define IDC_VALUE_DATA 4101
#define IDC_BASE_HEX 4102
#define IDC_BASE_DEC 4103
#define IDC_HEX 4104
#define IDC_GROUP_TREE 4105
#define IDC_SC_LOCATION 4110
#define IDC_SC_TEXT 4111
#define IDC_SC_INTERNET 4112
#define IDC_SC_TARGET 4113
#define IDC_SC_PARAMS 4114
#define IDC_SC_STARTIN 4115
#define IDC_SC_HOTKEY 4116
#define IDC_SC_RUN 4117
#define IDC_SC_ICONFILE 4118
#define IDC_SC_ICONINDEX 4119
#define IDC_SC_ICONSPIN 4120
#define IDC_SC_REPLACE 4121
#define IDC_SC_PERSONAL 4122
#define IDC_SC_COMMON 4123
#define IDC_SC_COMMENT 4124
#define IDC_PF_NAME 4130
#define IDC_PF_PERSONAL 4131
#define IDC_PF_COMMON 4132
#define IDC_PF_COMMENT 4133
#define IDC_FN_NAME 4140
#define IDC_FN_INTERNAL 4141
#define IDC_FN_DLL 4142
#define IDC_FN_CALL 4143
#define IDC_ST_RESOURCES 4150
#define IDC_ST_PROJECT 4151
#define IDC_ST_USER 4152
#define IDC_ST_BOTTOM 4153
#define IDC_ST_FIXED 4154
#define IDC_ST_GRID 4155

// Commands of the string-table and function windows' menus.
#define ID_STRING_NEW 4200
#define ID_STRING_DELETE 4201
#define ID_STRING_LOAD 4202
#define ID_STRING_SAVE 4203
#define ID_FUNCTION_ADD 4210
#define ID_FUNCTION_EDIT 4211
#define ID_FUNCTION_DELETE 4212

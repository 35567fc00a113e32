#pragma once
// Resource and control ids of WandEdit's windows, shared by the resource script and the code.

#define IDI_EDITOR 128

#define IDD_SETTINGS 102
#define IDC_TABLE_LIST 1004
#define IDC_ADVANCE 1008
#define IDC_FILE_PATH 1064
#define IDC_ENABLE_OSD 1113
#define IDC_DEFAULT 1130
#define IDC_USER_DEFINED 1131
#define IDC_TABLE_LABEL 1134

#define IDD_OSD 132
#define IDC_OSD_TEXT 1110

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

#define IDD_HOTKEY 129
#define IDC_HOTKEY_OK 1120
#define IDC_APP_LIST 1057
#define IDC_DELETE 1058
#define IDC_NEW 1059
#define IDC_HOTKEY_FIELD 1061
#define IDC_SAVE 1062
#define IDC_APP_NAME 1063
#define IDC_BROWSE 1065
#define IDC_PROGRAM_PATH 1077
#define IDC_SAVE_AS 1080
#define IDC_DESCRIPTION 1111
#define IDC_CLEAR 1112
#define IDC_PICTURE_BUTTON 2000  // plus the button number

#define IDD_APP_NAME 130
#define IDC_APP_NAME_EDIT 1060

#define IDD_FILE_PATH_ERROR 133
#define IDC_GIVE_UP 1114
#define IDC_ASSIGN 1115

#define IDD_DELETE_HOTKEY 134
#define IDC_DELETE_MESSAGE 1118
#define IDC_DELETE_OK 1116
#define IDC_DELETE_CANCEL 1117

// The build draws these bitmaps under these ids (tools/make_artwork.py reads them here).
#define IDB_REMOTE 143
#define IDB_KEY_NORMAL 300  // plus the button number
#define IDB_KEY_LIT 400     // plus the button number

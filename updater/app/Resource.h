#pragma once
// Resource ids of MelodaraUpdate.exe.
#define IDD_ABOUTBOX 100
#define IDD_AUTOUPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_LIST_IMAGES 129
#define IDD_UPDATE_PROGRESS 131

#define IDC_START 1000
#define IDC_EXIT 1001
#define IDC_CAPTION 1002
#define IDC_STATUS 1003
#define IDC_LINE_MIDDLE 1004
#define IDC_PROGRESS 1006
#define IDC_CLOSE 1007
#define IDC_LIST 3

#define IDM_ABOUTBOX 16

// The string table: the texts the dialogs show and the fixed names.
#define IDS_ABOUTBOX 101
#define IDS_TITLE 102
#define IDS_CHOOSE 104
#define IDS_SERVER_FAILED 119
#define IDS_COPY_ERROR 120
#define IDS_DAMAGED 121
#define IDS_UP_TO_DATE 124
#define IDS_CAPTION 125
#define IDS_FETCHING_LIST 126
#define IDS_STATUS_PREFIX 129
#define IDS_PLAYER_CLASS 148
#define IDS_TEMP 149
#define IDS_PLAYER_EXE 150
#define IDS_LIST_PATH 151
#define IDS_BACKUP 153
#define IDS_NO_TEMP 154
#define IDS_BAD_LIST 155
#define IDS_WAIT_LIMIT 160
#define IDS_VERSION_PATH 163
#define IDS_CHECKING 164
#define IDS_SELF_PATH 165
#define IDS_SELF_NAME 166

// Resource identifiers of Larkspan.exe, as the program's contract fixes them.
// Shared by the resource script and the C++ code.
#pragma once

// Controls without an identifier of their own (labels, group boxes, icons).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icon and dialogs.
#define IDR_MAINFRAME 128
#define IDD_VERSION_BOX 100
#define IDD_MAIN 102
#define IDD_ABOUT_BOX 137
#define IDD_BACKUP_FOLDER_EDIT 138
#define IDD_ENV_SETTINGS 139
#define IDD_BACKUP_FOLDER_SETTINGS 142

// Bitmaps: main-dialog pictures (21 x 21 and 16 x 16) and switch-menu items (11 x 11).
#define IDB_FOLDER 132
#define IDB_FILE 133
#define IDB_FILE_NONE 134
#define IDB_FOLDER_NONE 135
#define IDB_SWITCH 141
// The list images of the backup-folder settings dialog: 16 colours, 55 x 13,
// cut into images 13 pixels wide (0 blank, 1 the filter mark), black transparent.
#define IDB_LIST_IMAGES 146
#define IDB_SWITCH_PRESSED 144
#define IDB_FILTER 147
#define IDB_FILTER_PRESSED 148
#define IDB_MENU_FILTER 151
#define IDB_MENU_FILTER_CHECKED 152
#define IDB_MENU_CHECK 153

// Menus: the extended menu behind "≫" and the backup-folder switch menu.
#define IDR_EXTENDED_MENU 136
#define IDR_FOLDER_MENU 143

// Strings: the system-menu item and the two markers of the folder-command range.
#define IDS_ABOUTBOX 101
#define IDS_FOLDER_MENU_FIRST 61204
#define IDS_FOLDER_MENU_END 61304

// Controls of dialog 102.
#define IDC_PROGRESS 1001
#define IDC_FILE_COUNT 1002
#define IDC_MENU_BUTTON 1003
#define IDC_FILE_PICTURE 1004
#define IDC_FOLDER_PICTURE 1005
#define IDC_FOLDER_COUNT 1006
#define IDC_SIZE_LABEL 1007
#define IDC_TOTAL_SIZE 1008
#define IDC_BACKUP_FOLDER 1009
#define IDC_BACKUP_FOLDER_LABEL 1010
#define IDC_FOLDER_SWITCH 1011
#define IDC_FILTER_INDICATOR 1012
#define IDC_TOTAL_FILES_LABEL 1013
#define IDC_TOTAL_FILES 1014

// Controls of dialog 138 (add/change backup folder).
#define IDC_EDIT_FOLDER 1010
#define IDC_BROWSE 1011
#define IDC_FILE_FILTER 1022
#define IDC_FILE_INCLUDE 1023
#define IDC_FILE_EXCLUDE 1024
#define IDC_FILE_PATTERNS 1025
#define IDC_FOLDER_FILTER 1030
#define IDC_FOLDER_INCLUDE 1031
#define IDC_FOLDER_EXCLUDE 1032
#define IDC_FOLDER_PATTERNS 1033

// Controls of dialog 142 (backup-folder settings).
#define IDC_FOLDER_LIST 1019
#define IDC_ADD 1020
#define IDC_REMOVE 1021
#define IDC_UP 1022
#define IDC_DOWN 1023
#define IDC_CHANGE 1024

// Controls of dialog 139 (environment settings).
#define IDC_END_MESSAGE 1012
#define IDC_SHORT_MENU_PATHS 1013
#define IDC_TOP_FOLDER_AT_START 1014
#define IDC_VERIFY_CONTENT 1015
#define IDC_SKIP_UNREADABLE 1016
#define IDC_LINK_UNCHANGED 1017

// Control of dialog 137 (about box): the web button.
#define IDC_WEB_ADDRESS 1009

// Commands of the extended menu.
#define ID_APP_ABOUT_BOX 32771
#define ID_ENV_SETTINGS 32772
#define ID_BACKUP_FOLDER_SETTINGS 32773
#define ID_OPEN_BACKUP_FOLDER 32774
#define ID_HELP_COMMAND 32775

// The switch menu: the placeholder item, one command per list entry
// (61204 + index, index 0..99) and the greyed "未設定" item of an empty list.
#define ID_FOLDER_MENU_PLACEHOLDER 32777
#define ID_FOLDER_MENU_FIRST 61204
#define ID_FOLDER_MENU_LAST 61303
#define ID_FOLDER_MENU_NONE 61304

// The system-menu item that shows the version box.
#define IDM_ABOUTBOX 0x0010

// Resource identifiers of Larkspan.exe, as the program's contract fixes them.
// Shared by the resource script and the C++ code.
#pragma once

// Icon and dialog.
#define IDR_MAINFRAME 128
#define IDD_MAIN 102

// Bitmaps: main-dialog pictures (21 x 21 and 16 x 16) and switch-menu items (11 x 11).
#define IDB_FOLDER 132
#define IDB_FILE 133
#define IDB_FILE_NONE 134
#define IDB_FOLDER_NONE 135
#define IDB_SWITCH 141
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

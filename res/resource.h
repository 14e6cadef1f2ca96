#pragma once
// Resource ids shared by kelmora.rc and the code.

// Icon of every window of the program.
#define IDR_MAINFRAME 128

// About box.
#define IDD_ABOUTBOX 100
// String table: the system-menu item that opens the About box.
#define IDS_ABOUTBOX 101
// The system-menu command of that item (below the system's own commands, 0xF000 and up).
#define IDM_ABOUTBOX 0x0010

// Main dialog.
#define IDD_USE_WORK_DIALOG 102
#define IDC_RELEASE_LIST 1005
#define IDC_SUMMARY 1007
#define IDC_MANUAL 1009
#define IDC_FILE_ASSOCIATION 1010
#define ID_HELP 0xE146

// Templates of the dialogs opened from the main dialog (ids 132 and 133; the Manual Configuration
// template takes the next free id) and their control ids go here, beside the main dialog's. Control
// ids already taken above keep their meaning where those dialogs reuse them (1005: release list).

// Manual Configuration: the hand-configured releases. Its list is IDC_RELEASE_LIST.
#define IDD_MANUAL_CONFIG 129
#define IDC_BROWSE 1001
#define IDC_ADD_UPDATE 1002
#define IDC_DELETE 1003
#define IDC_RELEASE_NAME 1004
#define IDC_RELEASE_LOCATION 1015

// File Association Setup, and the Import File Associations dialog it opens. Both dialogs' browse
// buttons are IDC_BROWSE, and File Association Setup's Add/Update and Delete are IDC_ADD_UPDATE and
// IDC_DELETE.
#define IDD_FILE_ASSOCIATION 132
#define IDD_IMPORT_ASSOCIATIONS 133
#define IDC_ASSOCIATION_LIST 1006
#define IDC_PROGRAM_OPTIONS 1008
#define IDC_FILE_EXTENSION 1014
#define IDC_DEFAULT_PROGRAM 1015
#define IDC_IMPORT 1016
#define IDC_IMPORT_PATH 1014

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Resource ids of Packwright. Message ids name the German text; the other
// languages follow at +100 (English), +200 (French) and +300 (Polish).
#ifndef PACKWRIGHT_RES_RESOURCE_H_
#define PACKWRIGHT_RES_RESOURCE_H_

// Controls that code never addresses.
#define IDC_STATIC (-1)

#define IDD_ABOUTBOX 100
#define IDD_MAIN 102

#define IDR_MAINFRAME 128

#define IDC_PROGRESS 1000
#define IDC_INTRO_TEXT 1001

#define IDM_ABOUTBOX 0x0010
// The system menu's own commands: low four bits clear, below 0xF000.
#define IDM_UNINSTALL 0x0020

#define IDS_ABOUT_MENU 101
#define IDS_SCRIPT_MISSING 102
#define IDS_KEEP_NEWER 103
#define IDS_HOST_MISSING 104
#define IDS_INSTALL_FAILED 105
#define IDS_INSTALL_OK 106
#define IDS_COPY_FAILED 107
#define IDS_SOURCE_MISSING 108
#define IDS_INTRO 109
#define IDS_QUIT 110
#define IDS_OK 111
#define IDS_INSTALL 112
#define IDS_RECORD_FAILED 113
#define IDS_UNDO_MENU 114
#define IDS_UNDO_CONFIRM 115
#define IDS_UNDO_OK 116
#define IDS_UNDO_NOTHING 117
#define IDS_UNDO_PARTLY 118
#define IDS_UNDO_FAILED 119
#define IDS_INSTALL_BUSY 120
#define IDS_HOST_NOT_WRITABLE 121
#define IDS_UNDO_CONFIRM_RUNS 122
#define IDS_UNDO_RUN_LINE 123
#define IDS_PACKAGE_DAMAGED 125

#endif  // PACKWRIGHT_RES_RESOURCE_H_

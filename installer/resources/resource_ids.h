// Identifiers of the installer's dialog templates and their controls, shared
// by the resource scripts and the code.
#pragma once

// The skinned message box.
#define IDD_MSGBOX 129
#define IDC_MSGBOX_TEXT 1129
#define IDC_MSGBOX_PICTURE 1175
#define IDC_MSGBOX_STATIC 1007

// The application icon.
#define IDR_MAINFRAME 128

// The main window.
#define IDD_RUVINSTALLER_DIALOG 102
#define IDC_PROGRESS 1011
#define IDC_SUCCESS_TEXT 1012
#define IDC_MINIMISE 1014
#define IDC_CLOSE 1015
#define IDC_RETRY 1016
#define IDC_EXIT 1017
#define IDC_ROW_CAPTION_FIRST 1018
#define IDC_ROW_BLOCKING_FIRST 1027
#define IDC_ROW_SUCCESS_FIRST 1032
#define IDC_RUN_FAILED_PICTURE 1037
#define IDC_FAILURE_TEXT 1038
#define IDC_STATUS_LINE 1039
#define IDC_RUN_SUCCEEDED_PICTURE 1040
#define IDC_BUSY_PICTURE 1041
#define IDC_ROW_NONBLOCKING_FIRST 1050

// The proxy settings dialog (minimise and close share the main window's
// identifiers).
#define IDD_SETPROXYSVR 130
#define IDC_PROXY_PASSWORD 1008
#define IDC_PROXY_PORT 1009
#define IDC_PROXY_USER 1035
#define IDC_PROXY_SUCCESS_LINE 1129
#define IDC_PROXY_TEST 1138
#define IDC_PROXY_ENABLE 1143
#define IDC_PROXY_ADDRESS 1145
#define IDC_PROXY_ERROR_LINE 1146
#define IDC_PROXY_SECOND_ACTION 1147

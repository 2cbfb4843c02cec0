// Resource ids of the main program. Menus, accelerators and the document strings use the
// window kinds' template ids; the user-interface layer and the kernel find them by these
// numbers through the resource chain.
#pragma once

#define IDR_MAINFRAME_QUORIX 480
#define IDR_WKSTYPE 501
#define IDR_GRAPHTYPE 502
#define IDR_LAYOUTTYPE 503
#define IDR_MATRIXTYPE 504
#define IDR_EXCELTYPE 505
#define IDR_NOTESTYPE 506
#define IDR_EXCEL_NO_EXCEL 509
#define IDR_GRAPH_SRVR_INPLACE 4
#define IDR_GRAPH_SRVR_EMBEDDED 5
#define IDR_CNTR_INPLACE 6
#define IDR_EXCEL_CNTR_INPLACE 532
#define IDR_EMPTY_POPUP1 533
#define IDR_EMPTY_POPUP2 534
#define IDI_QUORIX_EXTRA 1000

#define IDD_ABOUTBOX 100
#define IDD_TIP 104
#define IDD_SPLASH 136
#define IDB_SPLASH_DIB 138

// The Scrivex script that imports QDA files.
#define IDR_QDAREAD 1

// Tip of the Day
#define IDC_TIP_STARTUP 1001
#define IDC_TIP_NEXT 1002
#define IDC_TIP_HEADING 1003
#define IDC_TIP_TEXT 1004
// Splash
#define IDC_SPLASH_VERSION 1007
#define IDC_SPLASH_PICTURE 1203

// Strings
#define IDP_OLE_INIT_FAILED 100
#define IDP_FAILED_TO_CREATE 102
#define IDS_TIP_STATUS 105
#define IDS_TIP_MENU 106
#define IDS_TIP_DIDYOUKNOW 107
#define IDS_TIP_FILE_ABSENT 108
#define IDS_TIP_CORRUPT_FILE 109
#define IDS_HELP_MENU 110
#define IDS_UPDATE_EMBEDDING 10097
#define IDS_TIPS_FILE_NAME 43104
#define IDS_GRAPH_EXPORT_SERVER_STATUS 43205
#define IDS_VERSION 43290

// Commands
#define ID_HELP_TIPOFTHEDAY 38806
#define ID_VIEW_GRAPH_EXPORT_SERVER_STATUS 43205

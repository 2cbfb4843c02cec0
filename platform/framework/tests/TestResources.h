// Resource ids of the framework's test programs and test extension libraries.
#pragma once

// The test program itself
#define IDD_VALUES 100
#define IDC_COUNT 1001
#define IDC_RATIO 1002
#define IDC_NAME 1003
#define IDC_CHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDC_LIST 1009
#define IDD_PAGE1 110
#define IDD_PAGE2 111
#define IDD_PAGE3 112
#define IDD_HOST 113
#define IDC_PAGE_EDIT 1101
#define IDC_SHEET_FRAME 1102
#define IDS_PROGRAM_ONLY 2000
#define IDS_SHADOWED 2001
// In the program's block of strings, held only by A.
#define IDS_A_BESIDE_SHADOWED 2002

// Extension library A
#define IDS_A_GREETING 3000
#define IDD_A_DIALOG 3001
#define IDB_A_BITMAP 3002
#define IDI_A_ICON 3003
#define IDR_A_ACCEL 3004

// Extension library B
#define IDS_B_GREETING 4000
#define IDR_B_MENU 4001
#define IDC_B_CURSOR 4002
#define ID_B_FIRST 4010
#define ID_B_SECOND 4011

#pragma once
#define IDD_OWNERDRAW 100
#define IDD_PAGE_ONE 101
#define IDD_PAGE_TWO 102
#define IDC_COLORS 1001
#define IDC_NAME 1002
#define IDC_GRID 1003
#define IDC_PAGE_EDIT 1010

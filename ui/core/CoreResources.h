// Resource ids of the application core.
#pragma once

#define IDS_QU_MENU_LEVEL_MAXIMIZED 10079
#define IDS_QU_BUTTON_GROUP 10535
#define IDS_QU_BUTTON_GROUP_INI_NAME 10542
#define IDS_QU_BUTTON_GROUP_INI_EXISTS 10543
#define IDS_QU_WINDOW_NAME_REFUSED 10090
#define IDS_QU_NEW_KIND_UNAVAILABLE 10091
#define IDD_QU_RENAME_WINDOW 2040
#define IDC_QU_WINDOW_NAME 2041
#define IDR_QU_GRAPH_CONTEXT 571
// The frames' window title menu, whose second submenu is the graphic objects'.
#define IDR_QU_OBJECT_CONTEXT 581

// Resource and command ids of the framework, for resource scripts and code alike.
#pragma once

#ifndef RC_INVOKED
#include <windows.h>
#endif

#ifndef IDHELP
#define IDHELP 9
#endif

// Standard commands
#define ID_FILE_NEW             0xE100
#define ID_FILE_OPEN            0xE101
#define ID_FILE_CLOSE           0xE102
#define ID_FILE_UPDATE          0xE10A
#define ID_FILE_SAVE            0xE103
#define ID_FILE_SAVE_AS         0xE104
#define ID_FILE_PAGE_SETUP      0xE105
#define ID_FILE_PRINT_SETUP     0xE106
#define ID_FILE_PRINT           0xE107
#define ID_FILE_PRINT_DIRECT    0xE108
#define ID_FILE_PRINT_PREVIEW   0xE109
#define ID_FILE_MRU_FILE1       0xE110
#define ID_FILE_MRU_FILE16      0xE11F
#define ID_EDIT_CLEAR           0xE120
#define ID_EDIT_CLEAR_ALL       0xE121
#define ID_EDIT_COPY            0xE122
#define ID_EDIT_CUT             0xE123
#define ID_EDIT_FIND            0xE124
#define ID_EDIT_PASTE           0xE125
#define ID_EDIT_REPLACE         0xE129
#define ID_EDIT_SELECT_ALL      0xE12A
#define ID_EDIT_UNDO            0xE12B
#define ID_EDIT_REDO            0xE12C
#define ID_WINDOW_NEW           0xE130
#define ID_WINDOW_ARRANGE       0xE131
#define ID_WINDOW_CASCADE       0xE132
#define ID_WINDOW_TILE_HORZ     0xE133
#define ID_WINDOW_TILE_VERT     0xE134
#define ID_APP_ABOUT            0xE140
#define ID_APP_EXIT             0xE141
#define ID_HELP_INDEX           0xE142
#define ID_HELP_FINDER          0xE143
#define ID_HELP_USING           0xE144
#define ID_CONTEXT_HELP         0xE145
#define ID_HELP                 0xE146
#define ID_DEFAULT_HELP         0xE147
#define ID_VIEW_TOOLBAR         0xE800
#define ID_VIEW_STATUS_BAR      0xE801

#define ID_NEXT_PANE            0xE150
#define ID_PREV_PANE            0xE151
#define ID_INDICATOR_EXT        0xE700
#define ID_INDICATOR_CAPS       0xE701
#define ID_INDICATOR_NUM        0xE702
#define ID_INDICATOR_SCRL       0xE703
#define ID_INDICATOR_OVR        0xE704
#define ID_INDICATOR_REC        0xE705
#define ID_SEPARATOR            0

// Child windows of frames
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST  0xE8FF
#define AFX_IDW_TOOLBAR          0xE800
#define AFX_IDW_STATUS_BAR       0xE801
#define AFX_IDW_PREVIEW_BAR      0xE802
#define AFX_IDW_RESIZE_BAR       0xE803
#define AFX_IDW_DIALOGBAR        0xE805
#define AFX_IDW_DOCKBAR_TOP      0xE81B
#define AFX_IDW_DOCKBAR_LEFT     0xE81C
#define AFX_IDW_DOCKBAR_RIGHT    0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM   0xE81E
#define AFX_IDW_DOCKBAR_FLOAT    0xE81F
#define AFX_IDW_PANE_FIRST       0xE900
#define AFX_IDW_PANE_LAST        0xE9FF
#define AFX_IDW_PANE_SAVE        0xEA21   // a view while the print preview takes its place
#define AFX_IDM_FIRST_MDICHILD   0xFF00

// Print preview buttons
#define AFX_ID_PREVIEW_CLOSE     0xE300
#define AFX_ID_PREVIEW_NUMPAGE   0xE301
#define AFX_ID_PREVIEW_NEXT      0xE302
#define AFX_ID_PREVIEW_PREV      0xE303
#define AFX_ID_PREVIEW_PRINT     0xE304

// Property sheet buttons
#define ID_WIZBACK              0x3023
#define ID_WIZNEXT              0x3024
#define ID_WIZFINISH            0x3025
#define ID_APPLY_NOW            0x3021

// Strings
#define AFX_IDS_APP_TITLE       0xE000
#define AFX_IDS_IDLEMESSAGE     0xE001
#define AFX_IDS_HELPMODEMESSAGE 0xE002

// Framework texts an application may override in its own string table
#define AFX_IDS_UNTITLED        0xE007
#define AFX_IDS_ALLFILTER       0xE008
#define AFX_IDS_OPENFILE        0xE009
#define AFX_IDS_SAVEFILE        0xE00A
#define AFX_IDS_SAVEFILECOPY    0xE00B

// Framework prompts, in qxafx.dll's string table
#define AFX_IDP_PARSE_INT           0xF110
#define AFX_IDP_PARSE_REAL          0xF111
#define AFX_IDP_PARSE_INT_RANGE     0xF112
#define AFX_IDP_PARSE_REAL_RANGE    0xF113
#define AFX_IDP_PARSE_STRING_SIZE   0xF114
#define AFX_IDP_PARSE_RADIO_BUTTON  0xF115
#define AFX_IDP_PARSE_BYTE          0xF116
#define AFX_IDP_PARSE_UINT          0xF117
#define AFX_IDP_NO_ERROR_AVAILABLE  0xF020
#define AFX_IDS_NOT_SUPPORTED_EXCEPTION 0xF021
#define AFX_IDS_RESOURCE_EXCEPTION  0xF022
#define AFX_IDS_MEMORY_EXCEPTION    0xF023
#define AFX_IDS_USER_EXCEPTION      0xF024
#define AFX_IDP_FAILED_TO_CREATE    0xF025
#define AFX_IDP_FILE_NONE           0xF0A0
#define AFX_IDP_FILE_GENERIC        0xF0A1
#define AFX_IDP_FILE_NOT_FOUND      0xF0A2
#define AFX_IDP_FILE_BAD_PATH       0xF0A3
#define AFX_IDP_FILE_TOO_MANY_OPEN  0xF0A4
#define AFX_IDP_FILE_ACCESS_DENIED  0xF0A5
#define AFX_IDP_FILE_INVALID_FILE   0xF0A6
#define AFX_IDP_FILE_REMOVE_CURRENT 0xF0A7
#define AFX_IDP_FILE_DIR_FULL       0xF0A8
#define AFX_IDP_FILE_BAD_SEEK       0xF0A9
#define AFX_IDP_FILE_HARD_IO        0xF0AA
#define AFX_IDP_FILE_SHARING        0xF0AB
#define AFX_IDP_FILE_LOCKING        0xF0AC
#define AFX_IDP_FILE_DISKFULL       0xF0AD
#define AFX_IDP_FILE_EOF            0xF0AE
#define AFX_IDP_ARCH_NONE           0xF0B0
#define AFX_IDP_ARCH_GENERIC        0xF0B1
#define AFX_IDP_ARCH_READONLY       0xF0B2
#define AFX_IDP_ARCH_ENDOFFILE      0xF0B3
#define AFX_IDP_ARCH_WRITEONLY      0xF0B4
#define AFX_IDP_ARCH_BADINDEX       0xF0B5
#define AFX_IDP_ARCH_BADCLASS       0xF0B6
#define AFX_IDP_ARCH_BADSCHEMA      0xF0B7
#define AFX_IDP_OLE_EXCEPTION       0xF0C0
#define AFX_IDP_FAILED_TO_OPEN_DOC  0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC  0xF102
#define AFX_IDP_ASK_TO_SAVE         0xF103
#define AFX_IDP_FAILED_TO_CREATE_DOC 0xF104
#define AFX_IDP_FAILED_TO_START_PRINT 0xF106
#define AFX_IDP_NO_PRINTER          0xF107
#define AFX_IDP_FAILED_TO_NOTIFY    0xF108

// The framework's own dialogs
#define AFX_IDD_NEWTYPEDLG          30721
#define AFX_IDC_LISTBOX             100

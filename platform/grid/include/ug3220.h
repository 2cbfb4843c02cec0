// UG3220.dll: the grid control. One window class, "DUNUG3220", plays three parts: the
// cell area, the top heading strip and the side heading strip. The control keeps no cell
// contents: it asks its parent for every cell it draws and tells it of every click, key
// and edit, through WM_COMMAND and a notification record the parent reads back.
//
// A parent (the grid's frame) uses it so:
//   1. UGRegisterClasses (ordinal 2) once per instance.
//   2. Create the cell area and, if wanted, the heading strips as children of class
//      "DUNUG3220", then UGLinkWindows (ordinal 3) to tie them together.
//   3. Size the grid with UGM_SETROWS, UGM_SETCOLS, UGM_SETCOLWIDTH.
//   4. Answer WM_COMMAND: LOWORD(wParam) is the child's id, HIWORD the notification code
//      (UGN_*), lParam the child's window. UGM_GETNOTIFY gives the record.
//   5. Edit a cell with UGStartEdit / UGStartEditAt (ordinals 11, 12), end with UGEndEdit.
#pragma once

#include <windows.h>

#ifdef UG3220_BUILD
#define UG3220_API
#else
#define UG3220_API __declspec(dllimport)
#endif

// ---- Messages to a grid window (absolute message numbers) --------------------------------
enum UGMessage : UINT {
    UGM_SETROWS = 1134,       // wParam rows
    UGM_SETCOLS = 1135,       // wParam columns
    UGM_SETCOLWIDTH = 1136,   // wParam column, lParam width in pixels
    UGM_COLCLICKED = 1138,    // wParam column: the top heading reports a click (no effect)
    UGM_OPTION_A = 1142,      // a display option: wParam nonzero draws grid lines (default on)
    UGM_GETROWS = 1157,       // answers the number of rows
    UGM_GETCOLS = 1158,       // answers the number of columns
    UGM_GETFONT = 1160,       // answers the font (HFONT)
    UGM_GETNOTIFY = 1165,     // answers the notification record (UGNotify*)
    UGM_OPTION_B = 1167,      // a display option: wParam nonzero lets the current cell show a focus frame
    UGM_SETBORDER = 1171,     // wParam border width (-1: none)
    UGM_GETEDITOR = 1184,     // answers the editor window, or null when no cell is edited
    UGM_REDRAWCELL = 1185,    // wParam column, lParam row: draws that cell again
    UGM_GETCELLRECT = 1154,   // wParam MAKEWPARAM(column, row), lParam RECT*: the cell's
                              // rectangle in the cell area; answers 0 when not shown
};

// ---- Notification codes (HIWORD of WM_COMMAND's wParam) ---------------------------------
enum UGNotification : WORD {
    UGN_DRAWCELL = 1144,      // the record asks for a cell's looks (below)
    UGN_KEY = 1148,           // a key was typed: key = the character, or minus the virtual key
                              // of Delete (-46) and Home (-36)
    UGN_CLICK = 1150,         // button released over a cell (flags UG_BUTTON_DOWN clear)
    UGN_RBUTTON = 1151,
    UGN_DBLCLICK = 1152,
    UGN_ENTER = 1153,         // Enter or F2 on the current cell
    UGN_BUTTONDOWN = 1154,    // button pressed over a cell (flags UG_BUTTON_DOWN set)
    UGN_SELECT = 1157,        // the current cell moved by keys
    UGN_SIZING = 1159,        // a heading is about to track a column edge
    UGN_COLWIDTH = 1163,      // a column's width changed (column, newWidth)
    UGN_EDITMOVE = 1174,      // an edit ended; moveCode says where to go next
    UGN_EDITDONE = 1176,      // an edit finished with editText (not sent after Esc)
};

// Key states in UGNotify::flags.
enum { UG_CTRL = 1, UG_SHIFT = 2, UG_BUTTON_DOWN = 4 };

// Move codes of UGN_EDITMOVE.
enum { UG_MOVE_NEXT = 1, UG_MOVE_TAB = 2, UG_MOVE_PREVIOUS = 3, UG_MOVE_UP = 4, UG_MOVE_DOWN = 5,
       UG_MOVE_END = 8 };

// Alignment of UGNotify::align.
enum { UG_ALIGN_LEFT = 0, UG_ALIGN_RIGHT = 2, UG_ALIGN_CENTRE = 6 };

// Cell looks in UGNotify::cellFlags.
enum { UG_CELL_RAISED = 1, UG_CELL_SUNKEN = 2, UG_CELL_CHECKED = 4, UG_CELL_UNCHECKED = 8 };

// The notification record, one per grid window, valid during the WM_COMMAND it goes with.
struct UGNotify {
    int code;      // UGN_*
    int column;    // -1 for the side heading
    int row;       // -1 for the top heading
    int key;
    int flags;     // UG_CTRL, UG_SHIFT, UG_BUTTON_DOWN
    int moveCode;  // UGN_EDITMOVE
    int newWidth;  // UGN_COLWIDTH
    int handled;   // set by the parent: for UGN_DRAWCELL, it drew the cell itself
    const char* editText; // UGN_EDITDONE: the edited text

    // UGN_DRAWCELL: the grid gives the device context, the cell's rectangle and whether it
    // is the current cell; the parent fills the looks or draws and sets `handled`.
    HDC dc;
    RECT rect;
    int current;
    const char* text;
    int align;
    COLORREF textColor;
    COLORREF backColor;
    int cellFlags;
    int listOption;
};

// Link options of UGLinkWindows.
enum { UG_LINK_DEFAULT_ROW_HEIGHT = 0 };

#ifdef __cplusplus
extern "C" {
#endif

// 2: registers "DUNUG3220" for the instance (also as a global class); 1 when done.
UG3220_API int WINAPI UGRegisterClasses(HINSTANCE instance);
// 3: ties the cell area to its heading windows (either may be null), so that they scroll
// together. The options are the row height (0: from the font), two reserved values, the
// number of text lines of the top heading (at least 1) and a nonzero value to let
// headings resize columns by dragging.
UG3220_API int WINAPI UGLinkWindows(HWND cells, HWND top, HWND side, int rowHeight, int reserved1,
                                    int reserved2, int headingLines, int resizable);
// 10: an inner margin of the cell area: side 0 left and right, side 1 top and bottom.
UG3220_API int WINAPI UGSetMargin(HWND cells, int side, int size);
// 11: edits the current cell in an edit box holding `initial`; `templ` gives its width in
// characters by its length (null: the cell's width); `option` nonzero makes it
// right-aligned; `key`, when a character, replaces the text as if typed. 1 when started.
UG3220_API int WINAPI UGStartEdit(HWND cells, const char* initial, const char* templ, int option, int key);
// 12: the same on cell (column, row), which becomes the current cell.
UG3220_API int WINAPI UGStartEditAt(HWND cells, const char* initial, const char* templ, int option,
                                    int key, int column, int row);
// 13: ends an edit without a notification; 1 when one was open.
UG3220_API int WINAPI UGEndEdit(HWND cells);

#ifdef __cplusplus
}
#endif

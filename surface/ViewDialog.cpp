// The view dialog (template 25403) on a copy of the whole view record, and the help file
// that every dialog of the engine opens.
#include "Surface.h"

#include <stdio.h>
#include <string.h>

#include "qxutil.h"
#include "resource.h"

namespace {

Scx3DView g_view;           // the dialog's copy of the record
char g_helpPath[MAX_PATH] = "qc3d50.hlp";

struct Bit {
    int id;
    uint8_t Scx3DView::*field;
    uint8_t bit;
};

const Bit kBits[] = {
    {IDC_VIEW_WALL_Z, &Scx3DView::walls, 0x01},        {IDC_VIEW_WALL_X, &Scx3DView::walls, 0x02},
    {IDC_VIEW_WALL_Y, &Scx3DView::walls, 0x04},        {IDC_VIEW_WALLS_FOLLOW, &Scx3DView::walls, 0x08},
    {IDC_VIEW_CLIP_SCATTER, &Scx3DView::walls, 0x80},  {IDC_VIEW_OPTION_1, &Scx3DView::viewOptions, 0x01},
    {IDC_VIEW_OPTION_2, &Scx3DView::viewOptions, 0x02}, {IDC_VIEW_OPTION_4, &Scx3DView::viewOptions, 0x04},
    {IDC_VIEW_OPTION_8, &Scx3DView::viewOptions, 0x08}, {IDC_VIEW_OPTION_80, &Scx3DView::viewOptions, 0x80},
};

const int kColourCombos[3] = {IDC_VIEW_COLOUR_Z, IDC_VIEW_COLOUR_X, IDC_VIEW_COLOUR_Y};

void SetNumber(HWND dialog, int id, double value, const char* format)
{
    SetDialogNumber(dialog, id, value, format);
}

double GetNumber(HWND dialog, int id)
{
    return DialogNumber(dialog, id, 12);
}

void Init(HWND dialog)
{
    Scx3DView& v = g_view;
    for (const Bit& b : kBits)
        CheckDlgButton(dialog, b.id, (v.*b.field & b.bit) ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < 3; ++i)
        PrepareColourCombo(dialog, kColourCombos[i], v.wallColour[i]);
    RecoverAngles(&v);
    SetNumber(dialog, IDC_VIEW_ROTATION, v.rotation, ".1");
    SetNumber(dialog, IDC_VIEW_ROLL, v.roll, ".1");
    SetNumber(dialog, IDC_VIEW_TILT, v.tilt, ".1");
    SetNumber(dialog, IDC_VIEW_PERSPECTIVE, v.perspective, ".1");
    SetDlgItemInt(dialog, IDC_VIEW_GRID_2, v.gridCount2, TRUE);
    SetDlgItemInt(dialog, IDC_VIEW_GRID_1, v.gridCount1, TRUE);
    SetNumber(dialog, IDC_VIEW_BOX_X, v.boxX / 23, "*3");
    SetNumber(dialog, IDC_VIEW_BOX_Y, v.boxY / 23, "*3");
    SetNumber(dialog, IDC_VIEW_BOX_Z, v.boxZ / 23, "*3");
    SetNumber(dialog, IDC_VIEW_X_FROM, v.boxX ? v.xyRect[0] * 100 / v.boxX : 0, "*3");
    SetNumber(dialog, IDC_VIEW_X_TO, v.boxX ? v.xyRect[1] * 100 / v.boxX : 0, "*3");
    SetNumber(dialog, IDC_VIEW_Y_FROM, v.boxY ? v.xyRect[3] * 100 / v.boxY : 0, "*3");
    SetNumber(dialog, IDC_VIEW_Y_TO, v.boxY ? v.xyRect[2] * 100 / v.boxY : 0, "*3");
    SetNumber(dialog, IDC_VIEW_WALL_Z_AT, v.boxZ ? v.wallZ * 100 / v.boxZ : 0, "*3");
    SetNumber(dialog, IDC_VIEW_WALL_X_AT, v.boxX ? v.wallX * 100 / v.boxX : 0, "*3");
    SetNumber(dialog, IDC_VIEW_WALL_Y_AT, v.boxY ? v.wallY * 100 / v.boxY : 0, "*3");
    CheckRadioButton(dialog, IDC_VIEW_FLAT, IDC_VIEW_PERSPECTIVE_VIEW,
                     v.flat ? IDC_VIEW_FLAT : IDC_VIEW_PERSPECTIVE_VIEW);
}

int Count(HWND dialog, int id)
{
    int n = (int)GetNumber(dialog, id);
    return n < 2 ? 2 : n;
}

float BoxSize(HWND dialog, int id)
{
    double percent = GetNumber(dialog, id);
    return (float)((percent > 0 ? percent : 1) * 23);
}

// A range entered backwards is turned round: a "from" above its "to" would clip every
// cell of the surface away.
void Range(HWND dialog, int fromId, int toId, float size, float* from, float* to)
{
    *from = (float)(GetNumber(dialog, fromId) * size * 0.01);
    *to = (float)(GetNumber(dialog, toId) * size * 0.01);
    if (*from > *to) {
        float t = *from;
        *from = *to;
        *to = t;
    }
}

void Confirm(HWND dialog)
{
    Scx3DView& v = g_view;
    for (const Bit& b : kBits) {
        if (IsDlgButtonChecked(dialog, b.id) == BST_CHECKED)
            v.*b.field |= b.bit;
        else
            v.*b.field &= ~b.bit;
    }
    for (int i = 0; i < 3; ++i) {
        LRESULT selection = SendDlgItemMessageA(dialog, kColourCombos[i], CB_GETCURSEL, 0, 0);
        if (selection != CB_ERR)
            v.wallColour[i] = (uint8_t)selection;
    }
    v.rotation = (float)GetNumber(dialog, IDC_VIEW_ROTATION);
    v.roll = (float)GetNumber(dialog, IDC_VIEW_ROLL);
    v.tilt = (float)GetNumber(dialog, IDC_VIEW_TILT);
    ProjectionCommand(0x2001, &v);
    double perspective = GetNumber(dialog, IDC_VIEW_PERSPECTIVE);
    v.perspective = (float)(perspective < 0.001 ? 0.001 : perspective > 30.001 ? 30.001 : perspective);
    v.state |= SCX3D_STATE_PERSPECTIVE;
    v.gridCount2 = (int16_t)Count(dialog, IDC_VIEW_GRID_2);
    v.gridCount1 = (int16_t)Count(dialog, IDC_VIEW_GRID_1);
    v.boxX = BoxSize(dialog, IDC_VIEW_BOX_X);
    v.boxY = BoxSize(dialog, IDC_VIEW_BOX_Y);
    v.boxZ = BoxSize(dialog, IDC_VIEW_BOX_Z);
    Range(dialog, IDC_VIEW_X_FROM, IDC_VIEW_X_TO, v.boxX, &v.xyRect[0], &v.xyRect[1]);
    Range(dialog, IDC_VIEW_Y_FROM, IDC_VIEW_Y_TO, v.boxY, &v.xyRect[3], &v.xyRect[2]);
    v.wallZ = (float)(GetNumber(dialog, IDC_VIEW_WALL_Z_AT) * v.boxZ * 0.01);
    v.wallX = (float)(GetNumber(dialog, IDC_VIEW_WALL_X_AT) * v.boxX * 0.01);
    v.wallY = (float)(GetNumber(dialog, IDC_VIEW_WALL_Y_AT) * v.boxY * 0.01);
    v.flat = IsDlgButtonChecked(dialog, IDC_VIEW_FLAT) == BST_CHECKED;
    if (v.flat)
        v.perspective = 0.001f;
}

} // namespace

double DialogNumber(HWND dialog, int id, int maxChars)
{
    char text[32];
    if (maxChars + 1 > (int)sizeof text)
        maxChars = (int)sizeof text - 1;
    GetDlgItemTextA(dialog, id, text, maxChars + 1);
    double value;
    UtilScanNumber(text, &value);
    return value;
}

void SetDialogNumber(HWND dialog, int id, double value, const char* format)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    UtilFormatNumber(value, text, format);
    SetDlgItemTextA(dialog, id, text);
}

void PrepareColourCombo(HWND dialog, int id, int colour)
{
    HWND combo = GetDlgItem(dialog, id);
    UtilPrepareDC(combo, 0, 0, UTIL_DC_COLOR_COMBO);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)colour, 0);
}

void FillCombo(HWND dialog, int id, const char* const* items, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

void SetHelpFolder(const char* folder)
{
    snprintf(g_helpPath, sizeof g_helpPath, "%s\\qc3d50.hlp", folder ? folder : "");
}

void ShowHelp(HWND window, int topic)
{
    WinHelpA(window, g_helpPath, topic ? HELP_CONTEXT : HELP_CONTENTS, (ULONG_PTR)topic);
}

extern "C" INT_PTR CALLBACK MyPort3DControl(HWND dialog, UINT message, WPARAM w, LPARAM)
{
    if (message == WM_INITDIALOG) {
        Init(dialog);
    } else if (message == WM_COMMAND) {
        switch (LOWORD(w)) {
        case IDOK:
            Confirm(dialog);
            EndDialog(dialog, 1);
            break;
        case IDCANCEL: EndDialog(dialog, 2); break;
        case IDC_HELP_BUTTON: ShowHelp(dialog, 25403); break;
        default: break;
        }
    }
    return 0;
}

int EditView(HWND window, Scx3DView* view)
{
    memcpy(&g_view, view, sizeof g_view);
    INT_PTR result = DialogBoxParamA(EngineModule(), MAKEINTRESOURCEA(IDD_VIEW), window, MyPort3DControl, 0);
    if (result == 1 && memcmp(&g_view, view, sizeof g_view) != 0) {
        memcpy(view, &g_view, sizeof g_view);
        PlotHostRunScript(";doc -uw;clr");
    }
    return 0;
}

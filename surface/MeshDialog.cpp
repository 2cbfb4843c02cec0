// The mesh dialog (template 25401) on the attributes of a mesh object. The mesh kind
// decides which controls are shown.
#include "Surface.h"

#include <string.h>

#include "qxutil.h"
#include "resource.h"

namespace {

const char* const kWidths[] = {"0.1", "0.2", "0.5", "1", "1.5", "2", "3", "5", "8"};

struct BitBox {
    int id;
    uint8_t bit;
};
const BitBox kByte2[] = {{303, 0x08}, {300, 0x10}, {305, 0x20}, {306, 0x40},
                         {307, 0x80}, {308, 0x01}, {309, 0x02}, {310, 0x04}};

struct ColourBox {
    int id;
    int byte;
};
const ColourBox kColours[] = {{291, 1}, {292, 3}, {304, 13}, {317, 14}, {318, 12}};

uint8_t* Bytes()
{
    return ObjectDialogAttributes()->bytes;
}

void Show(HWND dialog, int from, int to, bool show)
{
    for (int id = from; id <= to; ++id)
        if (HWND control = GetDlgItem(dialog, id))
            ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

int CheckedKind(HWND dialog)
{
    for (int k = 0; k < 4; ++k)
        if (IsDlgButtonChecked(dialog, IDC_MESH_KIND0 + k) == BST_CHECKED)
            return k;
    return 0;
}

void ShowForKind(HWND dialog, int kind)
{
    Show(dialog, 210, 213, false);
    Show(dialog, 300, 332, false);
    switch (kind) {
    case 0: Show(dialog, 300, 318, true); break;
    case 1:
        Show(dialog, 210, 213, true);
        for (int id : {311, 317, 318, 320})
            Show(dialog, id, id, true);
        if (!(Bytes()[11] & 0x20)) {
            Show(dialog, 303, 304, true);
        }
        break;
    case 2:
        Show(dialog, 322, 330, true);
        for (int id : {317, 303, 304, 332, 318})
            Show(dialog, id, id, true);
        break;
    default:
        for (int id : {319, 321, 317, 318})
            Show(dialog, id, id, true);
        break;
    }
}

void Init(HWND dialog)
{
    uint8_t* b = Bytes();
    CheckRadioButton(dialog, IDC_MESH_KIND0, IDC_MESH_KIND0 + 3, IDC_MESH_KIND0 + (b[6] & 3));
    CheckRadioButton(dialog, 301, 302, (b[11] & 0x04) ? 302 : 301);
    CheckRadioButton(dialog, 323, 325, (b[11] & 0x02) ? 325 : (b[11] & 0x01) ? 324 : 323);
    CheckDlgButton(dialog, 290, (b[11] & 0x10) ? BST_CHECKED : BST_UNCHECKED);
    int lines = !(b[11] & 0x20) ? 211 : (b[11] & 0x40) ? 212 : 213;
    CheckRadioButton(dialog, 211, 213, lines);
    for (const BitBox& x : kByte2)
        CheckDlgButton(dialog, x.id, (b[2] & x.bit) ? BST_CHECKED : BST_UNCHECKED);
    for (const ColourBox& c : kColours)
        PrepareColourCombo(dialog, c.id, b[c.byte]);
    int16_t inner, width;
    memcpy(&inner, &b[8], 2);
    memcpy(&width, &b[4], 2);
    SetDlgItemInt(dialog, 329, inner, TRUE);
    FillCombo(dialog, 102, kWidths, sizeof kWidths / sizeof *kWidths);
    SetDialogNumber(dialog, 102, width * 0.002, "*");
    ShowForKind(dialog, b[6] & 3);
}

double Number(HWND dialog, int id)
{
    return DialogNumber(dialog, id, 10);
}

void Confirm(HWND dialog)
{
    uint8_t* b = Bytes();
    b[6] = (uint8_t)CheckedKind(dialog);
    b[11] = (uint8_t)((b[11] & ~0x04) | (IsDlgButtonChecked(dialog, 302) == BST_CHECKED ? 0x04 : 0));
    int mode = IsDlgButtonChecked(dialog, 325) == BST_CHECKED ? 2 : IsDlgButtonChecked(dialog, 324) == BST_CHECKED ? 1 : 0;
    b[11] = (uint8_t)((b[11] & ~0x03) | mode);
    b[11] = (uint8_t)((b[11] & ~0x10) | (IsDlgButtonChecked(dialog, 290) == BST_CHECKED ? 0x10 : 0));
    for (const BitBox& x : kByte2)
        b[2] = (uint8_t)((b[2] & ~x.bit) | (IsDlgButtonChecked(dialog, x.id) == BST_CHECKED ? x.bit : 0));
    for (const ColourBox& c : kColours) {
        LRESULT selection = SendDlgItemMessageA(dialog, c.id, CB_GETCURSEL, 0, 0);
        if (selection != CB_ERR)
            b[c.byte] = (uint8_t)selection;
    }
    double inner = Number(dialog, 329);
    int16_t lines = (int16_t)(inner < 0 ? 0 : inner);
    memcpy(&b[8], &lines, 2);
    int16_t width = (int16_t)(Number(dialog, 102) * 500);
    memcpy(&b[4], &width, 2);
}

} // namespace

extern "C" INT_PTR CALLBACK MyMeshObjControl(HWND dialog, UINT message, WPARAM w, LPARAM)
{
    if (message == WM_INITDIALOG) {
        Init(dialog);
        return 0;
    }
    if (message != WM_COMMAND)
        return 0;
    uint8_t* b = Bytes();
    switch (LOWORD(w)) {
    case IDOK:
        Confirm(dialog);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL: EndDialog(dialog, 2); break;
    case IDC_HELP_BUTTON: ShowHelp(dialog, 25401); break;
    case IDC_MESH_KIND0:
    case IDC_MESH_KIND0 + 1:
    case IDC_MESH_KIND0 + 2:
    case IDC_MESH_KIND0 + 3: ShowForKind(dialog, LOWORD(w) - IDC_MESH_KIND0); break;
    // The line selection takes effect at once: it decides what the kind-1 page shows.
    case 211:
        b[11] &= ~0x20;
        Show(dialog, 303, 304, CheckedKind(dialog) == 1 || CheckedKind(dialog) == 2);
        break;
    case 212:
    case 213:
        b[11] |= 0x20;
        b[11] = (uint8_t)(LOWORD(w) == 212 ? (b[11] | 0x40) : (b[11] & ~0x40));
        if (CheckedKind(dialog) == 1)
            Show(dialog, 303, 304, false);
        break;
    default: break;
    }
    return 0;
}

// The side-walls dialog (template 25402) on the attributes of a side-wall object.
#include "Surface.h"

#include <string.h>

#include "qxutil.h"
#include "resource.h"

namespace {

const char* const kThickness[] = {"0", "20", "40", "60", "80", "100"};
const char* const kWidths[] = {"0.1", "0.2", "0.5", "1", "1.5", "2", "3", "5", "8"};

int RadioState(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_WALLS_RIBBON) == BST_CHECKED)
        return 0;
    return IsDlgButtonChecked(dialog, IDC_WALLS_BARS) == BST_CHECKED ? 2 : 1;
}

double ComboNumber(HWND dialog, int id)
{
    return DialogNumber(dialog, id, 10);
}

void Init(HWND dialog)
{
    Scx3DAttributes& a = *ObjectDialogAttributes();
    uint8_t* b = a.bytes;
    CheckDlgButton(dialog, IDC_WALLS_DROPS, (b[11] & 0x01) ? BST_CHECKED : BST_UNCHECKED);
    int radio = b[0] == 0x60 ? IDC_WALLS_BARS : (b[11] & 0x02) ? IDC_WALLS_RIBBON : IDC_WALLS_LINES;
    CheckRadioButton(dialog, IDC_WALLS_RIBBON, IDC_WALLS_BARS, radio);
    CheckRadioButton(dialog, IDC_WALLS_SIDE_A, IDC_WALLS_SIDE_B, (b[10] & 0x10) ? IDC_WALLS_SIDE_A : IDC_WALLS_SIDE_B);
    CheckDlgButton(dialog, IDC_WALLS_OPTION_20, (b[10] & 0x20) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_WALLS_OPTION_01, (b[10] & 0x01) ? BST_CHECKED : BST_UNCHECKED);
    const int combos[2] = {IDC_WALLS_COLOUR_14, IDC_WALLS_COLOUR_12};
    const uint8_t colours[2] = {b[14], b[12]};
    for (int i = 0; i < 2; ++i)
        PrepareColourCombo(dialog, combos[i], colours[i]);
    FillCombo(dialog, IDC_WALLS_THICKNESS, kThickness, sizeof kThickness / sizeof *kThickness);
    INT_PTR percent = 0;
    if (a.callback && a.callbackUser)
        percent = a.callback(a.callbackUser, 0x20000D, 0, RadioState(dialog), 0, 0);
    SetDlgItemInt(dialog, IDC_WALLS_THICKNESS, (UINT)percent, TRUE);
    FillCombo(dialog, IDC_WALLS_WIDTH, kWidths, sizeof kWidths / sizeof *kWidths);
    int16_t width;
    memcpy(&width, &b[4], 2);
    SetDialogNumber(dialog, IDC_WALLS_WIDTH, width * 0.002, "*");
}

void SetBit(uint8_t& byte, uint8_t bit, bool on)
{
    byte = on ? (uint8_t)(byte | bit) : (uint8_t)(byte & ~bit);
}

void Confirm(HWND dialog)
{
    uint8_t* b = ObjectDialogAttributes()->bytes;
    SetBit(b[11], 0x01, IsDlgButtonChecked(dialog, IDC_WALLS_DROPS) == BST_CHECKED);
    int state = RadioState(dialog);
    b[0] = state == 2 ? 0x60 : 1;
    SetBit(b[11], 0x02, state == 0);
    SetBit(b[10], 0x10, IsDlgButtonChecked(dialog, IDC_WALLS_SIDE_A) == BST_CHECKED);
    SetBit(b[10], 0x20, IsDlgButtonChecked(dialog, IDC_WALLS_OPTION_20) == BST_CHECKED);
    SetBit(b[10], 0x01, IsDlgButtonChecked(dialog, IDC_WALLS_OPTION_01) == BST_CHECKED);
    LRESULT c14 = SendDlgItemMessageA(dialog, IDC_WALLS_COLOUR_14, CB_GETCURSEL, 0, 0);
    LRESULT c12 = SendDlgItemMessageA(dialog, IDC_WALLS_COLOUR_12, CB_GETCURSEL, 0, 0);
    if (c14 != CB_ERR)
        b[14] = (uint8_t)c14;
    if (c12 != CB_ERR)
        b[12] = (uint8_t)c12;
    int16_t thickness = (int16_t)((int)ComboNumber(dialog, IDC_WALLS_THICKNESS) * 50);
    memcpy(&b[8], &thickness, 2);
    int16_t width = (int16_t)(ComboNumber(dialog, IDC_WALLS_WIDTH) * 500);
    memcpy(&b[4], &width, 2);
}

} // namespace

extern "C" INT_PTR CALLBACK MyWallsControl(HWND dialog, UINT message, WPARAM w, LPARAM)
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
        case IDC_WALLS_HELP: ShowHelp(dialog, 25402); break;
        default: break;
        }
    }
    return 0;
}

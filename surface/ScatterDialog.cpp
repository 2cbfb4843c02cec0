// The scatter dialog (template 25400) on the attributes of a scatter object. It edits
// two sets of bytes, the symbols' and the lines', chosen by the radios 103 and 104; every
// control writes its byte as soon as it changes.
#include "Surface.h"

#include <stdlib.h>

#include "qxutil.h"
#include "resource.h"

namespace {

const char* const kShapes[] = {"None", "Square", "Circle", "Sphere", "Num Square"};
const char* const kSizes[] = {"2", "5", "8", "10", "12", "15", "18", "25", "30"};
const char* const kWidths[] = {"0", "0.1", "0.2", "0.3", "0.5", "0.8", "1.0", "1.2", "1.5", "2.0", "2.5", "3.0", "4.0", "5.0"};

int g_set = 0; // 0 the symbols, 1 the lines

// Byte of each edited field in the first and the second set.
enum Field { PART_BITS, COLOUR, SHAPE, SIZE, COLOUR_409, COLOUR_407, COLOUR_404 };
const int kByte[][2] = {{11, 2}, {12, 1}, {4, 5}, {8, 9}, {14, 3}, {13, 7}, {10, 15}};

const struct { int id; uint8_t bit; } kOwnBits[] = {{419, 0x01}, {452, 0x02}, {424, 0x04}, {416, 0x08}};
const struct { int id; uint8_t bit; } kSharedBits[] = {{414, 0x10}, {415, 0x20}, {420, 0x40}, {421, 0x80}};
const struct { int id; Field field; } kColourCombos[] = {{402, COLOUR}, {409, COLOUR_409}, {407, COLOUR_407}, {404, COLOUR_404}};

uint8_t& At(Field f)
{
    return ObjectDialogAttributes()->bytes[kByte[f][g_set]];
}


void Select(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)index, 0);
}

int Selection(HWND dialog, int id)
{
    return (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
}

void Refill(HWND dialog)
{
    uint8_t* b = ObjectDialogAttributes()->bytes;
    CheckRadioButton(dialog, 103, 104, g_set ? 104 : 103);
    for (const auto& x : kOwnBits)
        CheckDlgButton(dialog, x.id, (At(PART_BITS) & x.bit) ? BST_CHECKED : BST_UNCHECKED);
    for (const auto& x : kSharedBits)
        CheckDlgButton(dialog, x.id, (b[11] & x.bit) ? BST_CHECKED : BST_UNCHECKED);
    for (const auto& c : kColourCombos)
        Select(dialog, c.id, c.field == COLOUR ? (At(COLOUR) & 0x7F) : At(c.field));
    CheckRadioButton(dialog, 1500, 1501, (At(COLOUR) & 0x80) ? 1501 : 1500);
    Select(dialog, 417, At(SHAPE));
    int size = -1;
    for (int i = 0; i < (int)(sizeof kSizes / sizeof *kSizes); ++i)
        if (atoi(kSizes[i]) == At(SIZE))
            size = i;
    Select(dialog, 418, size);
    Select(dialog, 102, b[6] >> 4);
    Select(dialog, 106, b[6] & 0x0F);
}

void Init(HWND dialog)
{
    g_set = 0;
    for (const auto& c : kColourCombos)
        UtilPrepareDC(GetDlgItem(dialog, c.id), 0, 0, UTIL_DC_COLOR_COMBO);
    FillCombo(dialog, 417, kShapes, sizeof kShapes / sizeof *kShapes);
    FillCombo(dialog, 418, kSizes, sizeof kSizes / sizeof *kSizes);
    FillCombo(dialog, 102, kWidths, sizeof kWidths / sizeof *kWidths);
    FillCombo(dialog, 106, kWidths, sizeof kWidths / sizeof *kWidths);
    Refill(dialog);
}

// Writes the byte behind one control; answers false for controls that write nothing.
bool Write(HWND dialog, int id)
{
    uint8_t* b = ObjectDialogAttributes()->bytes;
    bool checked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    for (const auto& x : kOwnBits)
        if (x.id == id) {
            At(PART_BITS) = (uint8_t)(checked ? At(PART_BITS) | x.bit : At(PART_BITS) & ~x.bit);
            return true;
        }
    for (const auto& x : kSharedBits)
        if (x.id == id) {
            for (int byte : {11, 2})
                b[byte] = (uint8_t)(checked ? b[byte] | x.bit : b[byte] & ~x.bit);
            return true;
        }
    for (const auto& c : kColourCombos)
        if (c.id == id) {
            int selection = Selection(dialog, id);
            if (selection >= 0)
                At(c.field) = (uint8_t)(c.field == COLOUR ? (At(COLOUR) & 0x80) | (selection & 0x7F) : selection);
            return true;
        }
    int selection = Selection(dialog, id);
    switch (id) {
    case 1500: At(COLOUR) &= 0x7F; return true;
    case 1501: At(COLOUR) |= 0x80; return true;
    case 417: if (selection >= 0) At(SHAPE) = (uint8_t)selection; return true;
    case 418: if (selection >= 0) At(SIZE) = (uint8_t)atoi(kSizes[selection]); return true;
    case 102: if (selection >= 0) b[6] = (uint8_t)((b[6] & 0x0F) | (selection << 4)); return true;
    case 106: if (selection >= 0) b[6] = (uint8_t)((b[6] & 0xF0) | selection); return true;
    default: return false;
    }
}

} // namespace

extern "C" INT_PTR CALLBACK MyScatterControl(HWND dialog, UINT message, WPARAM w, LPARAM)
{
    if (message == WM_INITDIALOG) {
        Init(dialog);
        return 0;
    }
    if (message != WM_COMMAND)
        return 0;
    int id = LOWORD(w), code = HIWORD(w);
    switch (id) {
    case IDOK: EndDialog(dialog, 1); return 0;
    case IDCANCEL: EndDialog(dialog, 2); return 0;
    case IDC_HELP_BUTTON: ShowHelp(dialog, 25400); return 0;
    case 103:
    case 104:
        g_set = id == 104;
        Refill(dialog);
        return 0;
    default: break;
    }
    if (code == BN_CLICKED || code == CBN_SELCHANGE)
        Write(dialog, id);
    return 0;
}

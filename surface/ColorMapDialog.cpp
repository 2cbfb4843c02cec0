// The colour-map dialog (templates 25415 and 25416) on a copy of the colour map: band
// count, level ranges as percentages of the scale, the ramp and its colours, the fixed
// colours, and a bar that shows the bands from bottom to top.
#include "Surface.h"

#include <commdlg.h>
#include <math.h>
#include <string.h>

#include <vector>

#include "qxutil.h"
#include "resource.h"

namespace {

std::vector<uint8_t> g_copy;
COLORREF g_custom[16];

ZColorsBlock* Copy()
{
    return reinterpret_cast<ZColorsBlock*>(g_copy.data());
}

void Resize(int n)
{
    std::vector<uint8_t> old = g_copy;
    g_copy.assign(ZColorsSize(n), 0);
    ScxColorControl(22, n, reinterpret_cast<INT_PTR>(old.data()), Copy());
    ScxColorControl(21, 0, 0, Copy());
}

double Percent(const ZColorsBlock* b, int level)
{
    int width = b->scaleHigh - b->scaleLow;
    return width ? (level - b->scaleLow) * 100.0 / width : 0;
}

int16_t LevelOf(const ZColorsBlock* b, double percent)
{
    double v = b->scaleLow + (b->scaleHigh - b->scaleLow) * percent * 0.01;
    return (int16_t)(v < 0 ? ceil(v - 0.5) : floor(v + 0.5));
}

void SetNumber(HWND dialog, int id, double value, const char* format)
{
    SetDialogNumber(dialog, id, value, format);
}

double Number(HWND dialog, int id)
{
    return DialogNumber(dialog, id, 12);
}

// A count outside 2 .. 256 makes no map: the field goes back to 3 with a beep.
int CheckedCount(HWND dialog)
{
    double n = Number(dialog, IDC_CMAP_COUNT);
    if (!(n >= 2 && n <= 256)) {
        MessageBeep(MB_OK);
        SetDlgItemTextA(dialog, IDC_CMAP_COUNT, "3");
        return 3;
    }
    return (int)n;
}

void Init(HWND dialog)
{
    ZColorsBlock* b = Copy();
    SetDlgItemInt(dialog, IDC_CMAP_COUNT, b->n, TRUE);
    SetNumber(dialog, IDC_CMAP_MIN, Percent(b, b->levelMin), "*");
    SetNumber(dialog, IDC_CMAP_MAX, Percent(b, b->levelMax), "*");
    SetNumber(dialog, IDC_CMAP_SECOND_HIGH, Percent(b, b->secondHigh), "*3");
    SetNumber(dialog, IDC_CMAP_SECOND_LOW, Percent(b, b->secondLow), "*");
    SetDlgItemInt(dialog, IDC_CMAP_DIGITS, b->digits & 0x0F, TRUE);
    CheckRadioButton(dialog, IDC_CMAP_MODE0, IDC_CMAP_MODE0 + 2, IDC_CMAP_MODE0 + (b->rampMode % 3));
    CheckDlgButton(dialog, IDC_CMAP_NO_RAMP, (b->flags & ZCOLORS_BY_RAMP) ? BST_UNCHECKED : BST_CHECKED);
    for (int i = 0; i < 16; ++i) {
        int g = 255 - 16 * i;
        g_custom[i] = RGB(g, g, g);
    }
}

void Repaint(HWND dialog)
{
    for (int id : {IDC_CMAP_BAR, IDC_CMAP_ABOVE, IDC_CMAP_BELOW, IDC_CMAP_MISSING})
        InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
}

void Fill(HDC dc, const RECT& r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Paint(const DRAWITEMSTRUCT* item)
{
    ZColorsBlock* b = Copy();
    RECT r = item->rcItem;
    switch (item->CtlID) {
    case IDC_CMAP_BAR: {
        int height = r.bottom - r.top;
        for (int band = 0; band < b->n; ++band) {
            RECT slice = r;
            slice.bottom = r.bottom - height * band / b->n;
            slice.top = r.bottom - height * (band + 1) / b->n;
            Fill(item->hDC, slice, (COLORREF)b->slots[4 + band].colour);
        }
        break;
    }
    case IDC_CMAP_ABOVE: Fill(item->hDC, r, (COLORREF)b->colourAbove); break;
    case IDC_CMAP_BELOW: Fill(item->hDC, r, (COLORREF)b->colourBelow); break;
    case IDC_CMAP_MISSING: Fill(item->hDC, r, (COLORREF)b->colourMissing); break;
    default: break;
    }
}

bool Choose(HWND dialog, int32_t* colour)
{
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = dialog;
    cc.rgbResult = (COLORREF)*colour;
    cc.lpCustColors = g_custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&cc))
        return false;
    *colour = (int32_t)cc.rgbResult;
    return true;
}

// A double-click on the bar picks a ramp anchor by the third (half, without the middle
// colour) of the bar, or the band under the pointer.
void PickFromBar(HWND dialog)
{
    ZColorsBlock* b = Copy();
    HWND bar = GetDlgItem(dialog, IDC_CMAP_BAR);
    RECT r;
    GetClientRect(bar, &r);
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(bar, &p);
    int height = r.bottom > 0 ? r.bottom : 1;
    double up = (double)(height - p.y) / height; // 0 at the bottom
    if (b->flags & ZCOLORS_BY_RAMP) {
        int32_t* anchor = b->rampMode == 2 ? (up < 0.5 ? &b->rampLow : &b->rampHigh)
                                           : (up < 1.0 / 3 ? &b->rampLow : up < 2.0 / 3 ? &b->rampMiddle : &b->rampHigh);
        if (Choose(dialog, anchor))
            ScxColorControl(1, 0, 0, b);
    } else {
        int band = (int)(up * b->n);
        band = band < 0 ? 0 : band >= b->n ? b->n - 1 : band;
        Choose(dialog, &b->slots[4 + band].colour);
    }
    Repaint(dialog);
}

void Accept(HWND dialog)
{
    int n = CheckedCount(dialog);
    if (n != Copy()->n)
        Resize(n);
    ZColorsBlock* b = Copy();
    b->levelMin = LevelOf(b, Number(dialog, IDC_CMAP_MIN));
    b->levelMax = LevelOf(b, Number(dialog, IDC_CMAP_MAX));
    b->secondHigh = LevelOf(b, Number(dialog, IDC_CMAP_SECOND_HIGH));
    b->secondLow = LevelOf(b, Number(dialog, IDC_CMAP_SECOND_LOW));
    b->digits = (int16_t)((b->digits & ~0x0F) | ((int)Number(dialog, IDC_CMAP_DIGITS) & 0x0F));
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_INITDIALOG: Init(dialog); return 0;
    case WM_DRAWITEM: Paint(reinterpret_cast<const DRAWITEMSTRUCT*>(l)); return TRUE;
    case WM_COMMAND: break;
    default: return 0;
    }
    ZColorsBlock* b = Copy();
    int id = LOWORD(w), code = HIWORD(w);
    switch (id) {
    case IDOK:
        Accept(dialog);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL: EndDialog(dialog, 2); break;
    case IDC_CMAP_HELP: ShowHelp(dialog, 25416); break;
    case IDC_CMAP_COUNT:
        if (code == EN_KILLFOCUS) {
            int n = CheckedCount(dialog);
            if (n != b->n) {
                Resize(n);
                Repaint(dialog);
            }
        }
        break;
    case IDC_CMAP_MODE0:
    case IDC_CMAP_MODE0 + 1:
    case IDC_CMAP_MODE0 + 2:
        b->rampMode = (int16_t)(id - IDC_CMAP_MODE0);
        ScxColorControl(1, 0, 0, b);
        Repaint(dialog);
        break;
    case IDC_CMAP_NO_RAMP:
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            b->flags &= ~ZCOLORS_BY_RAMP;
        else
            b->flags |= ZCOLORS_BY_RAMP;
        break;
    case IDC_CMAP_BAR:
        if (code == STN_DBLCLK)
            PickFromBar(dialog);
        break;
    case IDC_CMAP_ABOVE:
    case IDC_CMAP_BELOW:
    case IDC_CMAP_MISSING:
        if (code == STN_DBLCLK) {
            int32_t* colour = id == IDC_CMAP_ABOVE ? &b->colourAbove : id == IDC_CMAP_BELOW ? &b->colourBelow : &b->colourMissing;
            if (Choose(dialog, colour))
                ScxColorControl(45, 0, 0, b);
            Repaint(dialog);
        }
        break;
    default: break;
    }
    return 0;
}

} // namespace

extern "C" INT_PTR CALLBACK MyColorControl(HWND dialog, UINT message, WPARAM w, LPARAM l)
{
    return Procedure(dialog, message, w, l);
}

// Runs the dialog on a copy of `block` (owner `window`). Every byte of the copy counts
// when deciding whether anything changed: band colours lie beyond the header.
INT_PTR RunColourMapDialog(HWND window, ZColorsBlock* block, int templateId)
{
    if (!block)
        return 2;
    int n = block->n;
    g_copy.assign(ZColorsSize(n), 0);
    ScxColorControl(22, n, reinterpret_cast<INT_PTR>(block), Copy());
    ScxColorControl(21, 0, 0, Copy());
    INT_PTR result = DialogBoxParamA(EngineModule(), MAKEINTRESOURCEA(templateId), window, MyColorControl, 0);
    if (result != 1)
        return 2;
    ZColorsBlock* copy = Copy();
    if (copy->n > block->n) {
        int16_t keepN = block->n, keepLast = block->lastSlot;
        memcpy(block, copy, ZColorsSize(block->n));
        block->n = keepN;
        block->lastSlot = keepLast;
        return 4096 + copy->n;
    }
    ScxColorControl(21, 0, 0, copy);
    size_t size = ZColorsSize(copy->n);
    if (copy->n == block->n && memcmp(copy, block, size) == 0)
        return 2;
    memcpy(block, copy, size);
    return 1;
}

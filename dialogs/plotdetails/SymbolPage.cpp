#include "SymbolPage.h"

#include <math.h>

#include <algorithm>

#include "LayerPages.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "PlotPagesResources.h"
#include "QKData.h"
#include "QKSymbolManager.h"
#include "QKSysMethod.h"

namespace {

// Size entries name a worksheet column of the plot as 100 + its place from 0.
const int kFirstColumnCode = 100, kLastColumnCode = 124;

const int kKindRadios[] = {IDC_PD_SYM_GEOMETRIC, IDC_PD_SYM_SINGLE, IDC_PD_SYM_INCREMENTAL, IDC_PD_SYM_ROW_NUMBER,
                           IDC_PD_SYM_USER_DEFINED};
// Every control some kind shows; a kind shows those of its row and hides the others.
const int kKindControls[] = {IDC_PD_SYM_GALLERY,    IDC_PD_SYM_GALLERY_FONT, IDC_PD_SYM_GALLERY_FONT_LABEL,
                             IDC_PD_SYM_SHAPE,      IDC_PD_SYM_SHAPE_LABEL,  IDC_PD_SYM_INTERIOR,
                             IDC_PD_SYM_INTERIOR_LABEL, IDC_PD_SYM_CHAR_FONT, IDC_PD_SYM_STYLE_BAR,
                             IDC_PD_SYM_OUTLINE,    IDC_PD_SYM_OR,           IDC_PD_SYM_CHARACTER,
                             IDC_PD_SYM_ALPHABET,   IDC_PD_SYM_UDS_LABEL,    IDC_PD_SYM_UDS};

bool KindShows(int kind, int id)
{
    switch (kind) {
    case -1:
        return id == IDC_PD_SYM_GALLERY ||
               ((id == IDC_PD_SYM_GALLERY_FONT || id == IDC_PD_SYM_GALLERY_FONT_LABEL) &&
                qkfxGetQrxSystem().GetRefGraph().HasAlphaChar() == 1);
    case 0:
        return id == IDC_PD_SYM_SHAPE || id == IDC_PD_SYM_SHAPE_LABEL || id == IDC_PD_SYM_INTERIOR ||
               id == IDC_PD_SYM_INTERIOR_LABEL;
    case 1:
        return id == IDC_PD_SYM_CHAR_FONT || id == IDC_PD_SYM_STYLE_BAR || id == IDC_PD_SYM_OUTLINE ||
               id == IDC_PD_SYM_OR || id == IDC_PD_SYM_CHARACTER;
    case 2:
    case 3:
        return id == IDC_PD_SYM_CHAR_FONT || id == IDC_PD_SYM_STYLE_BAR || id == IDC_PD_SYM_OUTLINE ||
               id == IDC_PD_SYM_OR || id == IDC_PD_SYM_ALPHABET;
    case 4: return id == IDC_PD_SYM_CHAR_FONT || id == IDC_PD_SYM_STYLE_BAR || id == IDC_PD_SYM_OUTLINE;
    case 5: return id == IDC_PD_SYM_UDS_LABEL || id == IDC_PD_SYM_UDS;
    default: return false;
    }
}

// Interiors that show the fill colour.
bool FillShows(int fill)
{
    return fill == 1 || fill == 2 || (fill >= 8 && fill <= 11) || (fill >= kFirstColumnCode && fill <= kLastColumnCode);
}

BOOL HasAlphaChar()
{
    return qkfxGetQrxSystem().GetRefGraph().HasAlphaChar() == 1;
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsSymbol

BEGIN_MESSAGE_MAP(CQUPlotDetailsSymbol, CQUPlotDetailsPlotObjTab)
    ON_BN_CLICKED(IDC_PD_SYM_GEOMETRIC, OnGeometric)
    ON_BN_CLICKED(IDC_PD_SYM_SINGLE, OnSingle)
    ON_BN_CLICKED(IDC_PD_SYM_INCREMENTAL, OnIncremental)
    ON_BN_CLICKED(IDC_PD_SYM_ROW_NUMBER, OnRowNumber)
    ON_BN_CLICKED(IDC_PD_SYM_USER_DEFINED, OnUserDefined)
    ON_BN_CLICKED(IDC_PD_SYM_CONSTRUCTION, OnConstruction)
    ON_BN_CLICKED(IDC_PD_SYM_OUTLINE, OnOutline)
    ON_CBN_SELCHANGE(IDC_PD_SYM_SHAPE, OnShape)
    ON_CBN_SELCHANGE(IDC_PD_SYM_INTERIOR, OnInterior)
    ON_CBN_SELCHANGE(IDC_PD_SYM_CHARACTER, OnCharacter)
    ON_CBN_EDITCHANGE(IDC_PD_SYM_CHARACTER, OnCharacter)
    ON_CBN_SELCHANGE(IDC_PD_SYM_ALPHABET, OnAlphabet)
    ON_CBN_EDITCHANGE(IDC_PD_SYM_ALPHABET, OnAlphabet)
    ON_CBN_SELCHANGE(IDC_PD_SYM_CHAR_FONT, OnCharFont)
    ON_CBN_SELCHANGE(IDC_PD_SYM_GALLERY_FONT, OnGalleryFont)
    ON_CBN_SELCHANGE(IDC_PD_SYM_SIZE, OnSizeSelect)
    ON_CBN_EDITCHANGE(IDC_PD_SYM_SIZE, OnSizeEdit)
    ON_CBN_EDITCHANGE(IDC_PD_SYM_THICKNESS, OnThicknessEdit)
    ON_CBN_SELCHANGE(IDC_PD_SYM_THICKNESS, OnThicknessEdit)
    ON_CBN_SELCHANGE(IDC_PD_SYM_EDGE_COLOR, OnEdgeColor)
    ON_CBN_SELCHANGE(IDC_PD_SYM_FILL_COLOR, OnFillColor)
    ON_CBN_SELCHANGE(IDC_PD_SYM_UDS, OnUserSymbol)
    ON_COMMAND_RANGE(IDC_PD_STYLE_BOLD, IDC_PD_STYLE_UNDERLINE, OnStyleButton)
    ON_MESSAGE(WM_PD_WELL_PICK, OnWellPick)
    ON_MESSAGE(QK_WM_COLORMENU_CHOSEN, OnColorMenu)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CQUPlotDetailsSymbol::CQUPlotDetailsSymbol()
    : CQUPlotDetailsPlotObjTab(IDD_PD_SYMBOL), m_bLoaded(FALSE), m_nFill(0), m_nShape(1), m_nChar(65),
      m_nStartLetter(65), m_nCharStyle(0), m_nFont(0), m_nUDS(0), m_nKind(-1), m_bNoUDSReported(FALSE),
      m_bEdgeButton(FALSE), m_bFillButton(FALSE)
{
}

int CQUPlotDetailsSymbol::KindOfPlot(const CQKPlotObj* plot)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    const int style = plot->GetSymbolStyle();
    if (m->IsGeometrySymbol(style)) {
        const int type = plot->GetSymbolType();
        return m->IsNumType(type) ? 4 : m->IsABCDType(type) ? 2 : m->IsabcdType(type) ? 3 : 0;
    }
    return m->IsCharacterSymbol(style) ? 1 : m->IsUserDefinedSymbol(style) ? 5 : 0;
}

void CQUPlotDetailsSymbol::InitControls()
{
    struct {
        CComboBox* combo;
        int id;
    } const combos[] = {{&m_cbSize, IDC_PD_SYM_SIZE},           {&m_cbScaling, IDC_PD_SYM_SCALING},
                        {&m_cbThickness, IDC_PD_SYM_THICKNESS}, {&m_cbEdge, IDC_PD_SYM_EDGE_COLOR},
                        {&m_cbFill, IDC_PD_SYM_FILL_COLOR},     {&m_cbShape, IDC_PD_SYM_SHAPE},
                        {&m_cbInterior, IDC_PD_SYM_INTERIOR},   {&m_cbCharFont, IDC_PD_SYM_CHAR_FONT},
                        {&m_cbCharacter, IDC_PD_SYM_CHARACTER}, {&m_cbAlphabet, IDC_PD_SYM_ALPHABET},
                        {&m_cbUDS, IDC_PD_SYM_UDS},             {&m_cbGalleryFont, IDC_PD_SYM_GALLERY_FONT}};
    for (const auto& c : combos)
        c.combo->SubclassDlgItem(c.id, this);
    // The gallery's rows: the shapes solid, the shapes open, and the letters in two more
    // rows when the graph settings ask for characters.
    m_gallery.SetWithCharacters(HasAlphaChar());
    m_gallery.SetWellDimension(0, CQKSymbolManager::GetGalleryColumns(), HasAlphaChar() ? 4 : 2);
    m_gallery.MakeButton(this, IDC_PD_SYM_GALLERY);
    PDFillComboFromString(m_cbScaling, IDS_PD_MULTIPLIERS);
    PDFillComboFromString(m_cbThickness, IDS_PD_SYMBOL_THICKNESSES);
    PDFillColorNames(m_cbEdge, "Automatic");
    PDFillColorNames(m_cbFill, "Automatic");
    for (int i = 0; qkfxGetSymbolShapeName(i); ++i)
        m_cbShape.AddString(qkfxGetSymbolShapeName(i));
    for (int i = 0; qkfxGetSymbolFillName(i); ++i)
        m_cbInterior.AddString(qkfxGetSymbolFillName(i));
    for (int c = 33; c <= 255; ++c) {
        const char text[2] = {(char)c, 0};
        m_cbCharacter.AddString(text);
    }
    for (int c = 0; c < 52; ++c) {
        const char text[2] = {(char)(c < 26 ? 'A' + c : 'a' + c - 26), 0};
        m_cbAlphabet.AddString(text);
    }
    for (int i = 0; i < CQKFontManager::GetFontCount(); ++i) {
        std::string name;
        CQKFontManager::GetFontName(i, name);
        m_cbCharFont.AddString(name.c_str());
        m_cbGalleryFont.AddString(name.c_str());
    }
    m_style.Create(this, IDC_PD_SYM_STYLE_BAR);
    ShowKind(-1);
    m_btnEdge.CreateColorMenu(IDC_PD_SYM_EDGE_BUTTON, QK_COLOR_SYMBOL_EDGE, this, GetPlot());
    m_btnFill.CreateColorMenu(IDC_PD_SYM_FILL_BUTTON, QK_COLOR_SYMBOL_FILL, this, GetPlot());
}

void CQUPlotDetailsSymbol::ShowControlsForObject()
{
    m_bEdgeButton = PDShowColorPair(this, IDC_PD_SYM_EDGE_COLOR, m_btnEdge);
    m_bFillButton = PDShowColorPair(this, IDC_PD_SYM_FILL_COLOR, m_btnFill);
}

void CQUPlotDetailsSymbol::BindColorControls()
{
    // The size list: its sizes, then the worksheet's columns unless the plot is a special
    // point.
    m_cbSize.ResetContent();
    PDFillComboFromString(m_cbSize, IDS_PD_SYMBOL_SIZES);
    CQKWksPage* wks = m_bSpecialPoint ? nullptr : PDPlotWorksheet(GetPlot());
    for (int i = 1; wks && i <= wks->GetNumCols() && kFirstColumnCode + i - 1 <= kLastColumnCode; ++i) {
        std::string name = wks->GetColumn(i)->GetName();
        const std::string prefix = wks->GetName() + "_";
        if (name.compare(0, prefix.size(), prefix) == 0)
            name = name.substr(prefix.size());
        const int at = m_cbSize.AddString(("Col(" + name + ")").c_str());
        m_cbSize.SetItemData(at, kFirstColumnCode + i - 1);
    }
    GetDlgItem(IDC_PD_SYM_INCREMENTAL)->EnableWindow(!m_bSpecialPoint);
    m_cbUDS.ResetContent();
    m_cbUDS.AddUserDefinedSymbols();
    m_gallery.SetSymbolFromPlot(*GetPlot());
    m_btnEdge.ConnectToPlotObject(GetPlot());
    m_btnFill.ConnectToPlotObject(GetPlot());
}

void CQUPlotDetailsSymbol::UnbindColorControls()
{
    m_cbUDS.ResetContent();
}

void CQUPlotDetailsSymbol::ShowKind(int kind)
{
    for (int id : kKindControls)
        if (CWnd* w = GetDlgItem(id))
            w->ShowWindow(KindShows(kind, id) ? SW_SHOW : SW_HIDE);
    for (int id : kKindRadios)
        GetDlgItem(id)->ShowWindow(kind >= 0 ? SW_SHOW : SW_HIDE);
    if (kind < 0)
        return;
    const int radio = kKindRadios[kind <= 2 ? kind : kind - 1];
    CheckRadioButton(IDC_PD_SYM_GEOMETRIC, IDC_PD_SYM_USER_DEFINED, 0);
    for (int id : kKindRadios)
        CheckDlgButton(id, id == radio);
}

void CQUPlotDetailsSymbol::ReadKindValues(int kind)
{
    CQKPlotObj* plot = GetPlot();
    if (!m_bLoaded) {
        switch (kind) {
        case 0:
            m_nShape = plot->GetSymbolType();
            m_nFill = plot->GetSymbolFill();
            break;
        case 1:
            m_nFont = plot->GetCharFont();
            m_nCharStyle = plot->GetCharStyle();
            m_nChar = plot->GetSymbolStyle();
            break;
        case 2:
        case 3: {
            const int letter = plot->GetSymbolFill();
            m_nStartLetter = isalpha(letter) ? letter : 'A';
            m_nFont = plot->GetCharFont();
            m_nCharStyle = plot->GetCharStyle();
            break;
        }
        case 4:
            m_nFont = plot->GetCharFont();
            m_nCharStyle = plot->GetCharStyle();
            break;
        case 5:
            // A plot without a user-defined symbol starts from the first.
            if (qkfxGetSymbolManager()->IsUserDefinedSymbol(plot->GetSymbolStyle()))
                m_nUDS = plot->GetSymbolStyle() - 1;
            break;
        default: break;
        }
        m_bLoaded = TRUE;
    }
    switch (kind) {
    case 0:
        m_cbShape.SetCurSel(CQKSymbolManager::IsIncrementalType(m_nShape) ? 1 : m_nShape);
        m_cbInterior.SetCurSel(m_nFill < m_cbInterior.GetCount() ? m_nFill : 0);
        break;
    case 1: m_cbCharacter.SetCurSel(m_nChar >= 33 ? m_nChar - 33 : 'A' - 33); break;
    case 2:
    case 3:
        m_cbAlphabet.SetCurSel(m_nStartLetter >= 'a' ? m_nStartLetter - 'a' + 26 : m_nStartLetter - 'A');
        break;
    case 5: m_cbUDS.SetCurSel(m_nUDS); break;
    default: break;
    }
    if (kind >= 1 && kind <= 4) {
        m_cbCharFont.SetCurSel(m_nFont);
        m_style.SetFlags(m_nCharStyle);
    }
}

void CQUPlotDetailsSymbol::WriteKind(int kind)
{
    CQKPlotObj* plot = GetPlot();
    switch (kind) {
    case 0:
        plot->SetSymbolStyle(0);
        plot->SetSymbolType(CQKSymbolManager::IsIncrementalType(m_nShape) ? QK_SYMBOL_SQUARE : m_nShape);
        if (!plot->SetSymbolFill(m_nFill))
            plot->SetSymbolFill(QK_SYMFILL_SOLID);
        break;
    case 1: plot->SetSymbolStyle(m_nChar >= 33 ? m_nChar : 'A'); break;
    case 2:
    case 3:
        plot->SetSymbolStyle(0);
        plot->SetSymbolType(kind == 2 ? CQKSymbolManager::GetABCDType() : CQKSymbolManager::GetabcdType());
        plot->SetSymbolFill(m_nStartLetter);
        break;
    case 4: {
        plot->SetSymbolStyle(0);
        plot->SetSymbolType(CQKSymbolManager::GetNumType());
        int first = 0, end = 0;
        plot->GetStartAndFinishFromObjPtr(first, end);
        plot->SetSymbolFill(first + 49);
        break;
    }
    case 5: plot->SetSymbolStyle(m_nUDS + 1); break;
    default: return;
    }
    if (kind >= 1 && kind <= 4) {
        plot->SetCharFont(m_nFont);
        plot->SetCharStyle(m_nCharStyle);
    }
}

void CQUPlotDetailsSymbol::ChooseKind(int kind)
{
    if (kind == 5 && qkfxGetSymbolManager()->GetNumOfUDSs() == 0) {
        // Once per page: there are none to choose from.
        if (!m_bNoUDSReported) {
            m_bNoUDSReported = TRUE;
            CString text;
            text.LoadString(IDS_PD_NO_USER_SYMBOLS);
            AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
        }
        kind = 0;
    }
    m_nKind = kind;
    ShowKind(kind);
    ReadKindValues(kind);
    WriteKind(kind);
    Preview();
    ApplyFillRule(FALSE);
}

void CQUPlotDetailsSymbol::ApplyFillRule(BOOL sphere)
{
    CQKPlotObj* plot = GetPlot();
    BOOL fill;
    if (IsDlgButtonChecked(IDC_PD_SYM_CONSTRUCTION))
        fill = (m_nKind == 0 && FillShows(m_nFill)) || (m_nKind >= 1 && m_nKind <= 4);
    else {
        const int style = plot->GetSymbolStyle();
        CQKSymbolManager* m = qkfxGetSymbolManager();
        if (m->IsGeometrySymbol(style))
            fill = !m->IsIncrementalType(plot->GetSymbolType()) && FillShows(plot->GetSymbolFill());
        else if (m->IsCharacterSymbol(style) || m->IsUserDefinedSymbol(style))
            fill = FALSE;
        else
            fill = sphere;
    }
    CString labels;
    labels.LoadString(IDS_PD_EDGE_LABELS);
    std::vector<CString> names = PDSplitList(labels);
    if (names.size() == 2)
        SetDlgItemText(IDC_PD_SYM_EDGE_LABEL, names[fill ? 0 : 1]);
    GetDlgItem(IDC_PD_SYM_FILL_LABEL)->ShowWindow(fill ? SW_SHOW : SW_HIDE);
    PDShowColorPair(this, IDC_PD_SYM_FILL_COLOR, m_btnFill, fill);
}

void CQUPlotDetailsSymbol::Preview()
{
    CRect rect;
    GetDlgItem(IDC_PD_SYM_PREVIEW)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect);
    const CQKPlotObj* plot = GetPlot();
    m_gallery.SetSymbolFromPlot(*plot);
    m_gallery.SetCurrentCell(
        qkfxGetSymbolManager()->FindGalleryCell(plot->GetSymbolStyle(), plot->GetSymbolType(), plot->GetSymbolFill()));
    m_gallery.SetOwnerDrawSurface();
}

void CQUPlotDetailsSymbol::ApplySizeRule()
{
    const int sel = m_cbSize.GetCurSel();
    const BOOL column = sel >= 0 && m_cbSize.GetItemData(sel) >= (DWORD_PTR)kFirstColumnCode;
    GetDlgItem(IDC_PD_SYM_SCALING)->ShowWindow(column ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_PD_SYM_SCALING_LABEL)->ShowWindow(column ? SW_SHOW : SW_HIDE);
}

void CQUPlotDetailsSymbol::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_bLoaded = FALSE;
    m_cbEdge.SetCurSel(PDColorToIndex(plot->GetEdgeColor()));
    m_cbFill.SetCurSel(PDColorToIndex(plot->GetFillColor()));
    m_btnEdge.SetAutoColor(plot->GetActualColorForAutoColor(1));
    m_btnEdge.SetSelectedQCOLOR(plot->GetEdgeColor());
    m_btnFill.SetAutoColor(plot->GetActualColorForAutoColor(2));
    m_btnFill.SetSelectedQCOLOR(plot->GetFillColor());
    PDShowRounded(m_cbScaling, plot->GetScalingFactor());
    m_cbSize.SetCurSel(-1);
    if (plot->GetSymbolSizeColumn() > 0) {
        for (int i = 0; i < m_cbSize.GetCount(); ++i)
            if ((int)m_cbSize.GetItemData(i) == kFirstColumnCode + plot->GetSymbolSizeColumn() - 1)
                m_cbSize.SetCurSel(i);
    } else {
        PDShowRounded(m_cbSize, plot->GetSymbolSize());
    }
    CString text;
    text.Format("%d", plot->GetSymbolThickness());
    m_cbThickness.SetWindowText(text);
    ApplySizeRule();
    CheckDlgButton(IDC_PD_SYM_OUTLINE, plot->HasSymbolOutline());
    m_cbGalleryFont.SetCurSel(qkfxGetSymbolManager()->GetGalleryFont());
    const BOOL offset = plot->IsOffsetOverlappedSymbols(1);
    GetDlgItem(IDC_PD_SYM_OFFSET)->ShowWindow(offset ? SW_SHOW : SW_HIDE);
    if (offset)
        CheckDlgButton(IDC_PD_SYM_OFFSET, plot->IsOffsetOverlappedSymbols(0));
    m_nKind = KindOfPlot(plot);
    OnConstruction();
    Preview();
}

void CQUPlotDetailsSymbol::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    // A list without a selection (a colour it cannot show) leaves the colour as it is; a
    // button shows every colour.
    if (m_bEdgeButton)
        plot->SetEdgeColor(m_btnEdge.GetSelectedQCOLOR(0));
    else if (m_cbEdge.GetCurSel() >= 0)
        plot->SetEdgeColor(PDIndexToColor(m_cbEdge.GetCurSel()));
    if (m_bFillButton)
        plot->SetFillColor(m_btnFill.GetSelectedQCOLOR(0));
    else if (m_cbFill.GetCurSel() >= 0)
        plot->SetFillColor(PDIndexToColor(m_cbFill.GetCurSel()));
    double value;
    if (PDComboNumber(m_cbScaling, value))
        plot->SetScalingFactor(value);
    if (PDComboNumber(m_cbThickness, value))
        plot->SetSymbolThickness((int)value);
    if (plot->IsOffsetOverlappedSymbols(1))
        plot->SetOffsetOverlappedSymbols(IsDlgButtonChecked(IDC_PD_SYM_OFFSET));
}

LRESULT CQUPlotDetailsSymbol::CommitNow(WPARAM wParam, LPARAM lParam)
{
    ControlsToObject();
    Preview();
    OnControlNotify(wParam, lParam);
    return 0;
}

void CQUPlotDetailsSymbol::OnGeometric() { ChooseKind(0); }
void CQUPlotDetailsSymbol::OnSingle() { ChooseKind(1); }
void CQUPlotDetailsSymbol::OnIncremental()
{
    ReadKindValues(2);
    ChooseKind(m_nStartLetter >= 'A' && m_nStartLetter <= 'Z' ? 2 : 3);
}
void CQUPlotDetailsSymbol::OnRowNumber() { ChooseKind(4); }
void CQUPlotDetailsSymbol::OnUserDefined() { ChooseKind(5); }

void CQUPlotDetailsSymbol::OnConstruction()
{
    if (IsDlgButtonChecked(IDC_PD_SYM_CONSTRUCTION)) {
        ShowKind(m_nKind);
        ReadKindValues(m_nKind);
    } else {
        m_bLoaded = FALSE;
        ShowKind(-1);
    }
    ApplyFillRule(FALSE);
}

void CQUPlotDetailsSymbol::OnShape()
{
    m_nShape = m_cbShape.GetCurSel();
    GetPlot()->SetSymbolType(m_nShape);
    ApplyFillRule(FALSE);
    Preview();
}

void CQUPlotDetailsSymbol::OnInterior()
{
    m_nFill = m_cbInterior.GetCurSel();
    GetPlot()->SetSymbolFill(m_nFill);
    ApplyFillRule(FALSE);
    Preview();
}

void CQUPlotDetailsSymbol::OnCharacter()
{
    const int sel = m_cbCharacter.GetCurSel();
    CString text;
    m_cbCharacter.GetWindowText(text);
    if (sel >= 0)
        m_nChar = sel + 33;
    else if (!text.IsEmpty() && (unsigned char)text[0] >= 33)
        m_nChar = (unsigned char)text[0];
    else
        return;
    GetPlot()->SetSymbolStyle(m_nChar);
    Preview();
}

void CQUPlotDetailsSymbol::OnAlphabet()
{
    const int sel = m_cbAlphabet.GetCurSel();
    CString text;
    m_cbAlphabet.GetWindowText(text);
    int letter;
    if (sel >= 0)
        letter = sel < 26 ? 'A' + sel : 'a' + sel - 26;
    else if (!text.IsEmpty())
        letter = (unsigned char)text[0];
    else
        return;
    CQKPlotObj* plot = GetPlot();
    if (isupper(letter) || islower(letter)) {
        // The letter's case decides between upper- and lower-case letters.
        m_nKind = isupper(letter) ? 2 : 3;
        plot->SetSymbolType(m_nKind == 2 ? CQKSymbolManager::GetABCDType() : CQKSymbolManager::GetabcdType());
    }
    m_nStartLetter = letter;
    plot->SetSymbolFill(letter);
    Preview();
}

void CQUPlotDetailsSymbol::OnCharFont()
{
    m_nFont = m_cbCharFont.GetCurSel();
    GetPlot()->SetCharFont(m_nFont);
    Preview();
}

void CQUPlotDetailsSymbol::OnGalleryFont()
{
    qkfxGetSymbolManager()->SetFontForAllCharacters(m_cbGalleryFont.GetCurSel());
}

void CQUPlotDetailsSymbol::OnStyleButton(UINT)
{
    m_nCharStyle = m_style.GetFlags();
    GetPlot()->SetCharStyle(m_nCharStyle);
    Preview();
}

void CQUPlotDetailsSymbol::OnSizeSelect()
{
    const int sel = m_cbSize.GetCurSel();
    if (sel < 0)
        return;
    const DWORD_PTR data = m_cbSize.GetItemData(sel);
    if (data >= (DWORD_PTR)kFirstColumnCode) {
        GetPlot()->SetSymbolSize(GetPlot()->GetSymbolSize(), (int)data - kFirstColumnCode + 1);
    } else {
        double size;
        if (PDComboNumber(m_cbSize, size, true))
            GetPlot()->SetSymbolSize(size, 0);
    }
    ApplySizeRule();
    Preview();
}

void CQUPlotDetailsSymbol::OnSizeEdit()
{
    double size;
    if (PDComboNumber(m_cbSize, size))
        GetPlot()->SetSymbolSize(size, 0);
    GetDlgItem(IDC_PD_SYM_SCALING)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_PD_SYM_SCALING_LABEL)->ShowWindow(SW_HIDE);
    Preview();
}

void CQUPlotDetailsSymbol::OnThicknessEdit()
{
    double value;
    if (PDComboNumber(m_cbThickness, value, m_cbThickness.GetCurSel() >= 0))
        GetPlot()->SetSymbolThickness((int)value);
    Preview();
}

void CQUPlotDetailsSymbol::OnOutline()
{
    GetPlot()->SetSymbolOutline(IsDlgButtonChecked(IDC_PD_SYM_OUTLINE));
    Preview();
}

void CQUPlotDetailsSymbol::OnEdgeColor()
{
    GetPlot()->SetEdgeColor(PDIndexToColor(m_cbEdge.GetCurSel()));
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
    Preview();
}

void CQUPlotDetailsSymbol::OnFillColor()
{
    GetPlot()->SetFillColor(PDIndexToColor(m_cbFill.GetCurSel()));
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
    Preview();
}

LRESULT CQUPlotDetailsSymbol::OnColorMenu(WPARAM wParam, LPARAM lParam)
{
    if (wParam != IDC_PD_SYM_EDGE_BUTTON && wParam != IDC_PD_SYM_FILL_BUTTON)
        return 0;
    ControlsToObject();
    KeepColorMapFor((int)lParam);
    Preview();
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
    ColorMenuChosen(wParam);
    return 0;
}

void CQUPlotDetailsSymbol::OnUserSymbol()
{
    if (m_cbUDS.GetCurSel() < 0)
        return;
    m_nUDS = m_cbUDS.GetCurSel();
    GetPlot()->SetSymbolStyle(m_nUDS + 1);
    Preview();
}

LRESULT CQUPlotDetailsSymbol::OnWellPick(WPARAM wParam, LPARAM lParam)
{
    if ((int)wParam != IDC_PD_SYM_GALLERY)
        return 0;
    QKGalleryEntry e;
    if (!qkfxGetSymbolManager()->GetGalleryEntry((int)lParam, e))
        return 0;
    CQKPlotObj* plot = GetPlot();
    if (e.kind == 0) {
        plot->SetSymbolStyle(0);
        plot->SetSymbolType(e.shape);
        plot->SetSymbolFill(e.fill);
        m_nKind = 0;
    } else if (e.kind == 1) {
        plot->SetSymbolStyle(e.character);
        plot->SetCharFont(e.shape);
        plot->SetCharStyle(e.fill);
        m_nKind = 1;
    } else {
        plot->SetSymbolStyle(e.character);
        m_nKind = 5;
    }
    m_bLoaded = FALSE;
    ApplyFillRule(FALSE);
    Preview();
    MarkChanged();
    return 0;
}

void CQUPlotDetailsSymbol::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetDlgItem(IDC_PD_SYM_PREVIEW)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    dc.FillSolidRect(&rect, RGB(255, 255, 255));
    dc.DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    const int half = std::max(2, std::min(rect.Width(), rect.Height()) / 3);
    const CPoint c = rect.CenterPoint();
    RECT square = {c.x - half, c.y - half, c.x + half, c.y + half};
    GetPlot()->DrawSymbolPreview(dc.m_hDC, square);
}

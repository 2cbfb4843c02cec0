// The pages of the Options sheet, each a list of bindings between its controls and the
// settings, with the few rules of their own.
#include "QUSystemPropertySheet.h"

#include "OptionsResources.h"
#include "QKAccess.h"

// A kernel setting with a Get and Set pair: the topic's settings object and the name.
#define QU_KERNEL(Topic, Name) \
    [this] { return (int)GetSystem()->GetRef##Topic().Get##Name(); }, \
        [this](int v) { GetSystem()->GetRef##Topic().Set##Name(v); }
#define QU_KERNEL_READ(Topic, Getter) [this] { return (int)GetSystem()->GetRef##Topic().Getter(); }, nullptr
#define QU_KERNEL_HAS(Topic, Name) \
    [this] { return GetSystem()->GetRef##Topic().Has##Name(); }, \
        [this](int v) { GetSystem()->GetRef##Topic().Set##Name(v); }
// A row of one of the system object's members (getter through a pointer).
#define QU_MEMBER(Member, Getter, Setter) \
    [this] { \
        int v = 0; \
        GetSystem()->GetRef##Member().Getter(&v); \
        return v; \
    }, \
        [this](int v) { GetSystem()->GetRef##Member().Setter(v); }

CQUSystemNumFormatPage::CQUSystemNumFormatPage() : CQUSystemPropertyPage(IDD_QU_NUMFORMAT)
{
    // The lower threshold is written before the upper.
    BindInt(IDC_QU_NUM_LOWER, QU_OPT_REAL, IDS_QU_NEGATIVE_POWERS, QU_KERNEL(Numeric, LowerThreshold));
    BindInt(IDC_QU_NUM_UPPER, QU_OPT_REAL, IDS_QU_POWERS, QU_KERNEL(Numeric, UpperThreshold));
    BindInt(IDC_QU_NUM_DIGITS, QU_OPT_INT, IDS_QU_POWERS, QU_KERNEL(Numeric, NumDecDigits));
    BindInt(IDC_QU_NUM_SEPARATORS, QU_OPT_LIST, IDS_QU_SEPARATORS, QU_KERNEL(Numeric, Separators));
    BindInt(IDC_QU_NUM_RADIAN, QU_OPT_RADIO, 0, QU_KERNEL(Math, AngularUnits));
}

CQUSystemAxisPage::CQUSystemAxisPage() : CQUSystemPropertyPage(IDD_QU_AXIS)
{
    BindInt(IDC_QU_AX_NUMERIC_TICKS, QU_OPT_INT, IDS_QU_NUMERIC_TICKS, QU_KERNEL(Tick, MaxNumeric));
    BindInt(IDC_QU_AX_TEXT_TICKS, QU_OPT_INT, IDS_QU_TEXT_TICKS, QU_KERNEL(Tick, MaxText));
    BindInt(IDC_QU_AX_GAP_INSIDE, QU_OPT_INT, IDS_QU_LABEL_GAPS, QU_KERNEL(Tick, GapLabelToInside));
    BindInt(IDC_QU_AX_GAP_OUTSIDE, QU_OPT_INT, IDS_QU_LABEL_GAPS, QU_KERNEL(Tick, GapLabelToOutside));
    BindInt(IDC_QU_AX_GAP_TITLE, QU_OPT_INT, IDS_QU_TITLE_GAPS, QU_KERNEL(Tick, GapLabelToAxisTitle));
    BindInt(IDC_QU_AX_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Axis, Color));
    QUOptionBinding width = {IDC_QU_AX_WIDTH, QU_OPT_REAL, IDS_QU_LINE_WIDTHS, 0, nullptr, nullptr, nullptr, nullptr};
    width.get = [this] { return GetSystem()->GetRefAxis().GetWidth(); };
    width.set = [this](double v) { GetSystem()->GetRefAxis().SetWidth(v); };
    Bind(width);
    BindInt(IDC_QU_AX_LABEL_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Tick, LabelColor));
    Bind({IDC_QU_AX_MAJOR_LENGTH, QU_OPT_FILL_ONLY, IDS_QU_TICK_LENGTHS, 0, nullptr, nullptr, nullptr, nullptr});
    BindInt(IDC_QU_AX_MINOR_LENGTH, QU_OPT_INT, IDS_QU_MINOR_LENGTHS, QU_KERNEL(Tick, MinorLength));
    BindInt(IDC_QU_AX_LOG_10E, QU_OPT_CHECK, 0, QU_KERNEL(Tick, LogScale1As10E));
}

// ---- Graph ----

BEGIN_MESSAGE_MAP(CQUSystemGraphPage, CQUSystemPropertyPage)
    ON_CBN_SELCHANGE(IDC_QU_GR_DASH_LIST, OnDashSelChange)
END_MESSAGE_MAP()

CQUSystemGraphPage::CQUSystemGraphPage() : CQUSystemPropertyPage(IDD_QU_GRAPH)
{
    BindInt(IDC_QU_GR_SOFT_DASH, QU_OPT_CHECK, 0, QU_KERNEL(Dash, SoftInPgView));
    BindInt(IDC_QU_GR_SCALE_DASH, QU_OPT_CHECK, 0, QU_KERNEL(Dash, ScaleByWidth));
    BindInt(IDC_QU_GR_LINE_GAP, QU_OPT_INT, IDS_QU_LINE_GAPS, QU_KERNEL(Symbol, LineGap));
    BindInt(IDC_QU_GR_BORDER_WIDTH, QU_OPT_INT, IDS_QU_BORDER_WIDTHS, QU_KERNEL(Symbol, BorderWidth));
    BindInt(IDC_QU_GR_FILL_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Graph, DefaultFillColor));
    BindInt(IDC_QU_GR_DRAG_DROP, QU_OPT_LIST, IDS_QU_DRAG_DROP_PLOT,
            QU_MEMBER(Excel, GetDragDropPlotDefault, SetDragDropPlotDefault));
    BindInt(IDC_QU_GR_HATCH_GAP, QU_OPT_INT, IDS_QU_HATCH_GAPS, QU_KERNEL(Graph, HatchGap));
    BindInt(IDC_QU_GR_HATCH_WIDTH, QU_OPT_CHECK, 0, QU_KERNEL(Graph, HatchWidth));
    BindInt(IDC_QU_GR_BAR_ZERO, QU_OPT_CHECK, 0, QU_KERNEL(Graph, BarShowZero));
    BindInt(IDC_QU_GR_LOG_FLOOR, QU_OPT_CHECK, 0, QU_KERNEL(Graph, Log1IsFloor));
    BindInt(IDC_QU_GR_PERC_INTERP, QU_OPT_CHECK, 0, QU_KERNEL(Graph, PercInterp));
    BindInt(IDC_QU_GR_INPLACE, QU_OPT_CHECK, 0, QU_MEMBER(Operations, GetInPlaceActivate, SetInPlaceActivate));
    BindInt(IDC_QU_GR_ALPHA_CHAR, QU_OPT_CHECK, 0, QU_KERNEL_HAS(Graph, AlphaChar));
}

void CQUSystemGraphPage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    CComboBox* list = (CComboBox*)GetDlgItem(IDC_QU_GR_DASH_LIST);
    for (int i = 1; i <= QKSysMethodDash::NUM_DEFINITIONS; ++i) {
        CString item;
        item.Format("%d", i);
        list->AddString(item);
    }
    GetDlgItem(IDC_QU_GR_DASH_TEXT)->SendMessage(EM_LIMITTEXT, QKSysMethodDash::MAX_DEFINITION, 0);
    m_userSymbols.MakeWell(this, IDC_QU_GR_UDS);
}

void CQUSystemGraphPage::GetData()
{
    CQUSystemPropertyPage::GetData();
    for (int i = 0; i < QKSysMethodDash::NUM_DEFINITIONS; ++i)
        m_definitions[i] = GetSystem()->GetRefDash().GetDefinition(i + 1).c_str();
    m_dash = 0;
}

void CQUSystemGraphPage::DoDataExchange(CDataExchange* pDX)
{
    CQUSystemPropertyPage::DoDataExchange(pDX);
    if (!GetDlgItem(IDC_QU_GR_DASH_LIST))
        return;
    DDX_CBIndex(pDX, IDC_QU_GR_DASH_LIST, m_dash);
    if (m_dash >= 0 && m_dash < QKSysMethodDash::NUM_DEFINITIONS)
        DDX_Text(pDX, IDC_QU_GR_DASH_TEXT, m_definitions[m_dash]);
}

void CQUSystemGraphPage::OnDashSelChange()
{
    // The edit holds the definition chosen before; it is kept before the new one shows.
    CString text;
    GetDlgItemText(IDC_QU_GR_DASH_TEXT, text);
    if (m_dash >= 0 && m_dash < QKSysMethodDash::NUM_DEFINITIONS)
        m_definitions[m_dash] = text;
    m_dash = (int)SendDlgItemMessage(IDC_QU_GR_DASH_LIST, CB_GETCURSEL, 0, 0);
    if (m_dash >= 0 && m_dash < QKSysMethodDash::NUM_DEFINITIONS)
        SetDlgItemText(IDC_QU_GR_DASH_TEXT, m_definitions[m_dash]);
}

void CQUSystemGraphPage::SetData()
{
    CQUSystemPropertyPage::SetData();
    QKSysMethodDash& dash = GetSystem()->GetRefDash();
    for (int i = 0; i < QKSysMethodDash::NUM_DEFINITIONS; ++i)
        dash.SetDefinition(i + 1, (LPCTSTR)m_definitions[i]);
    // Only a page that was shown has a well to save.
    if (m_userSymbols.m_hWnd)
        m_userSymbols.SaveChange();
}

CQUSystemFontsPage::CQUSystemFontsPage() : CQUSystemPropertyPage(IDD_QU_FONTS)
{
    BindInt(IDC_QU_FONT_NAME, QU_OPT_FONT, 0, QU_KERNEL(Font, LabelName));
    BindInt(IDC_QU_FONT_GREEK, QU_OPT_FONT, 0, QU_KERNEL(Font, GreekName));
    BindInt(IDC_QU_FONT_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Font, LabelColor));
    BindInt(IDC_QU_FONT_SIZE, QU_OPT_INT, IDS_QU_FONT_SIZES, QU_KERNEL(Font, LabelSize));
    BindInt(IDC_QU_FONT_DEFAULT, QU_OPT_FONT, 0, QU_KERNEL(Font, Default));
    BindInt(IDC_QU_FONT_BASELINE, QU_OPT_CHECK, 0, QU_KERNEL(Print, FontUseBaseline));
    BindInt(IDC_QU_FONT_WYSIWYG, QU_OPT_CHECK, 0, QU_KERNEL(Print, PageViewWYSIWYG));
    BindInt(IDC_QU_FONT_LINE_SPACE, QU_OPT_INT, IDS_QU_LINE_SPACINGS, QU_KERNEL(Print, LineSpace));
    BindInt(IDC_QU_FONT_SUB_SIZE, QU_OPT_INT, IDS_QU_SUB_SIZES, QU_KERNEL(Print, SubSize));
    BindInt(IDC_QU_FONT_SUB_OFFSET, QU_OPT_INT, IDS_QU_OFFSETS, QU_KERNEL(Print, SubOffset));
    BindInt(IDC_QU_FONT_SUP_OFFSET, QU_OPT_INT, IDS_QU_OFFSETS, QU_KERNEL(Print, SupOffset));
    BindInt(IDC_QU_FONT_TAB, QU_OPT_INT, 0, QU_KERNEL(Print, TabSize));
}

// ---- Page ----

BEGIN_MESSAGE_MAP(CQUSystemPagePage, CQUSystemPropertyPage)
    ON_CBN_SELCHANGE(IDC_QU_PG_MARGIN, OnStateChange)
    ON_BN_CLICKED(IDC_QU_PG_SIMPLE, OnStateChange)
    ON_BN_CLICKED(IDC_QU_PG_ADVANCED, OnStateChange)
    ON_BN_CLICKED(IDC_QU_PG_SET_RESOLUTION, OnStateChange)
    ON_BN_CLICKED(IDC_QU_PG_KEEP_SIZE, OnStateChange)
END_MESSAGE_MAP()

CQUSystemPagePage::CQUSystemPagePage() : CQUSystemPropertyPage(IDD_QU_PAGE)
{
    BindInt(IDC_QU_PG_RATIO, QU_OPT_INT, IDS_QU_RATIOS, QU_KERNEL(CopyPage, Ratio));
    BindInt(IDC_QU_PG_MARGIN, QU_OPT_LIST, IDS_QU_MARGIN_CONTROL, QU_KERNEL(CopyPage, Closeness));
    BindInt(IDC_QU_PG_CLIP_BORDER, QU_OPT_INT, IDS_QU_CLIP_BORDERS, QU_KERNEL(CopyPage, ClipBorderWidth));
    BindInt(IDC_QU_PG_AXIS_GRID, QU_OPT_INT, IDS_QU_GRID_SPACINGS, QU_KERNEL(Page, AxisGridSpacing));
    BindInt(IDC_QU_PG_OBJ_GRID, QU_OPT_INT, IDS_QU_GRID_SPACINGS, QU_KERNEL(Page, ObjGridSpacing));
    BindInt(IDC_QU_PG_SIMPLE, QU_OPT_RADIO, 0, QU_KERNEL(Page, CopyExportAdvanced));
    BindInt(IDC_QU_PG_SET_RESOLUTION, QU_OPT_RADIO, 0, QU_KERNEL(Page, CopyExportAdvKeepSize));
    BindInt(IDC_QU_PG_RESOLUTION, QU_OPT_INT, 0, QU_KERNEL(Page, CopyExportAdvResolution));
    BindInt(IDC_QU_PG_REDRAW, QU_OPT_CHECK, 0, QU_KERNEL_READ(Page, GetRedraw));
    BindInt(IDC_QU_PG_PREVIEW, QU_OPT_CHECK, 0, QU_KERNEL_READ(Page, GetPreviewMode));
}

void CQUSystemPagePage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    CComboBox* resolution = (CComboBox*)GetDlgItem(IDC_QU_PG_RESOLUTION);
    for (const char* r : {"100", "300", "600"})
        resolution->AddString(r);
}

void CQUSystemPagePage::UpdateControlStates()
{
    bool border = SendDlgItemMessage(IDC_QU_PG_MARGIN, CB_GETCURSEL, 0, 0) == 0;
    bool advanced = IsDlgButtonChecked(IDC_QU_PG_ADVANCED) == BST_CHECKED;
    bool setResolution = IsDlgButtonChecked(IDC_QU_PG_SET_RESOLUTION) == BST_CHECKED;
    GetDlgItem(IDC_QU_PG_CLIP_BORDER)->EnableWindow(border);
    GetDlgItem(IDC_QU_PG_SET_RESOLUTION)->EnableWindow(advanced);
    GetDlgItem(IDC_QU_PG_KEEP_SIZE)->EnableWindow(advanced);
    GetDlgItem(IDC_QU_PG_RESOLUTION)->EnableWindow(advanced && setResolution);
}

void CQUSystemPagePage::OnStateChange()
{
    UpdateControlStates();
}

// ---- Miscellaneous ----

CQUSystemAdvancedPage::CQUSystemAdvancedPage() : CQUSystemPropertyPage(IDD_QU_ADVANCED)
{
    BindInt(IDC_QU_MISC_X_SCALE, QU_OPT_INT, IDS_QU_SCALE_FACTORS, QU_KERNEL(Print, XScaleFactor));
    BindInt(IDC_QU_MISC_Y_SCALE, QU_OPT_INT, IDS_QU_SCALE_FACTORS, QU_KERNEL(Print, YScaleFactor));
    BindInt(IDC_QU_MISC_NO_REDRAW, QU_OPT_INT, IDS_QU_OFFSETS, QU_KERNEL(Display, NoWinUpdate));
    BindInt(IDC_QU_MISC_BISECTION, QU_OPT_INT, IDS_QU_BISECTION_POINTS, QU_KERNEL(Graph, BisectionSearchPts));
    for (int i = 0; i < QKSysMethodDate::NUM_CUSTOM; ++i)
        BindText(
            i == 0 ? IDC_QU_MISC_DATE1 : IDC_QU_MISC_DATE2, QU_OPT_TEXT, 0, QKSysMethodDate::MAX_CUSTOM,
            [this, i] { return GetSystem()->GetRefDate().GetCustomFormat(i); },
            [this, i](const std::string& t) { GetSystem()->GetRefDate().SetCustomFormat(i, t); });
    BindInt(IDC_QU_MISC_DEL_EMPTY, QU_OPT_LIST, IDS_QU_DEL_EMPTY_CHOICES, QU_KERNEL(Wks, TranspDelEmptyCols));
    BindInt(IDC_QU_MISC_NUMERIC, QU_OPT_CHECK, 0, QU_KERNEL(Wks, DefaultUseNumericData));
    BindInt(IDC_QU_MISC_SPACER, QU_OPT_CHECK, 0, QU_MEMBER(Operations, GetUseSpacer, SetUseSpacer));
    BindText(
        IDC_QU_MISC_TEMPLATE, QU_OPT_TEXT, 0, MAX_PATH, [this] { return GetSystem()->GetRefWks().GetImportTemplate(); },
        [this](const std::string& t) { GetSystem()->GetRefWks().SetImportTemplate(t); });
    BindText(
        IDC_QU_MISC_PLOT_XY, QU_OPT_TEXT, IDS_QU_IMPORT_PLOTS, MAX_PATH,
        [this] { return GetSystem()->GetRefGraph().GetDefaultImportPlotXY(); },
        [this](const std::string& t) { GetSystem()->GetRefGraph().SetDefaultImportPlotXY(t); });
    BindInt(IDC_QU_MISC_BITMAPS, QU_OPT_CHECK, 0, QU_KERNEL_HAS(Display, DisplayBitmaps));
    BindInt(IDC_QU_MISC_BALLOON, QU_OPT_CHECK, 0, QU_KERNEL_READ(Graph, GetBalloonHelp));
}

void CQUSystemAdvancedPage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    // The worksheet templates of the template folder, by name.
    std::string folder = GetSystem()->GetRefPath().GetTemplate();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    std::string extension;
    if (!qkfxGetQrxTemplateFileExtension(6, extension))
        return;
    CComboBox* combo = (CComboBox*)GetDlgItem(IDC_QU_MISC_TEMPLATE);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*" + extension).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string name = found.cFileName;
        size_t dot = name.find_last_of('.');
        combo->AddString(name.substr(0, dot).c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// ---- Excel ----

CQUSystemExcelPage::CQUSystemExcelPage() : CQUSystemPropertyPage(IDD_QU_EXCEL)
{
    BindInt(IDC_QU_XL_DEFAULT_PLOT, QU_OPT_CHECK, 0, QU_MEMBER(Excel, GetDlgPlot, SetDlgPlot));
    // Checked means the legend texts are scanned, which LEGENDTXTSEL 0 asks for.
    BindInt(
        IDC_QU_XL_SCAN_LEGEND, QU_OPT_CHECK, 0,
        [this] {
            int v = 0;
            GetSystem()->GetRefExcel().GetLegendTxtSel(&v);
            return v ? 0 : 1;
        },
        [this](int v) { GetSystem()->GetRefExcel().SetLegendTxtSel(v ? 0 : 1); });
    BindInt(IDC_QU_XL_PLOT_INTO, QU_OPT_LIST, IDS_QU_EXCEL_PLOT_INTO, QU_MEMBER(Excel, GetDlgPlotMulti, SetDlgPlotMulti));
    BindInt(IDC_QU_XL_OPEN_PROMPT, QU_OPT_CHECK, 0, QU_MEMBER(Excel, GetOpenAsPrompt, SetOpenAsPrompt));
    BindInt(IDC_QU_XL_SAVING, QU_OPT_LIST, IDS_QU_EXCEL_SAVING, QU_MEMBER(Excel, GetSaveExcelDlg, SetSaveExcelDlg));
}

// ---- Open/Close ----

BEGIN_MESSAGE_MAP(CQUSystemWindowsPage, CQUSystemPropertyPage)
    ON_BN_CLICKED(IDC_QU_WIN_OPTIONS_PROMPT, OnClosePromptClicked)
END_MESSAGE_MAP()

CQUSystemWindowsPage::CQUSystemWindowsPage() : CQUSystemPropertyPage(IDD_QU_WINDOWS)
{
    BindInt(IDC_QU_WIN_WKS, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Wks, ClosePrompt));
    BindInt(IDC_QU_WIN_EXCEL, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Wks, ExcelClosePrompt));
    BindInt(IDC_QU_WIN_GRAPH, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Graph, ClosePrompt));
    BindInt(IDC_QU_WIN_LAYOUT, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Graph, LayoutClosePrompt));
    BindInt(IDC_QU_WIN_MATRIX, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Wks, MatrixClosePrompt));
    BindInt(IDC_QU_WIN_NOTES, QU_OPT_LIST, IDS_QU_CLOSE_CHOICES, QU_KERNEL(Notes, ClosePrompt));
    BindInt(IDC_QU_WIN_SCRIPT_PROMPT, QU_OPT_CHECK, 0, QU_KERNEL(Script, ClosePrompt));
    BindInt(IDC_QU_WIN_NEW_PROJECT, QU_OPT_LIST, IDS_QU_NEW_PROJECT, QU_KERNEL(Project, NewContent));
    BindInt(IDC_QU_WIN_BACKUP, QU_OPT_CHECK, 0, QU_KERNEL(Project, BackupBeforeSave));
    BindInt(IDC_QU_WIN_ICONIZED, QU_OPT_LIST, 0, QU_KERNEL(Project, OpenIconizedAsHidden));
    BindInt(IDC_QU_WIN_OPTIONS_PROMPT, QU_OPT_CHECK, 0, QU_MEMBER(Dlg, GetClosePrompt, SetClosePrompt));
    BindInt(IDC_QU_WIN_SAVE_ON_CLOSE, QU_OPT_CHECK, 0, QU_MEMBER(Dlg, GetSaveOnClose, SetSaveOnClose));
}

void CQUSystemWindowsPage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    CComboBox* iconized = (CComboBox*)GetDlgItem(IDC_QU_WIN_ICONIZED);
    for (const char* choice : {"Open as hidden", "Open as minimized", "Prompt"})
        iconized->AddString(choice);
}

void CQUSystemWindowsPage::UpdateControlStates()
{
    GetDlgItem(IDC_QU_WIN_SAVE_ON_CLOSE)->EnableWindow(IsDlgButtonChecked(IDC_QU_WIN_OPTIONS_PROMPT) != BST_CHECKED);
}

void CQUSystemWindowsPage::OnClosePromptClicked()
{
    UpdateControlStates();
}

// ---- Grid Styles ----

CQUSystemGridsPage::CQUSystemGridsPage() : CQUSystemPropertyPage(IDD_QU_GRIDS)
{
    BindInt(IDC_QU_GRID_MAJOR_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Grid, MajorColor));
    BindInt(IDC_QU_GRID_MINOR_COLOR, QU_OPT_COLOR, 0, QU_KERNEL(Grid, MinorColor));
    BindInt(IDC_QU_GRID_MAJOR_TYPE, QU_OPT_LIST, 0, QU_KERNEL(Grid, MajorType));
    BindInt(IDC_QU_GRID_MINOR_TYPE, QU_OPT_LIST, 0, QU_KERNEL(Grid, MinorType));
    for (UINT id : {IDC_QU_GRID_MAJOR_WIDTH, IDC_QU_GRID_MINOR_WIDTH}) {
        bool major = id == IDC_QU_GRID_MAJOR_WIDTH;
        QUOptionBinding b = {id, QU_OPT_REAL, IDS_QU_LINE_WIDTHS, 0, nullptr, nullptr, nullptr, nullptr};
        b.get = [this, major] {
            QKSysMethodGrid& grid = GetSystem()->GetRefGrid();
            return major ? grid.GetMajorWidth() : grid.GetMinorWidth();
        };
        b.set = [this, major](double v) {
            QKSysMethodGrid& grid = GetSystem()->GetRefGrid();
            major ? grid.SetMajorWidth(v) : grid.SetMinorWidth(v);
        };
        Bind(b);
    }
}

void CQUSystemGridsPage::InitControls()
{
    CQUSystemPropertyPage::InitControls();
    for (UINT id : {IDC_QU_GRID_MAJOR_TYPE, IDC_QU_GRID_MINOR_TYPE})
        InitLineTypeCombo(*(CComboBox*)GetDlgItem(id), 32, 16);
}

#include "PlotDetailsPages.h"

#include <math.h>

#include "QKContour.h"
#include "QKUtil.h"

#include "PlotDetailsMain.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"

namespace {

// Notification codes that count as a change: a click, a selection change, a combo box's
// edit change, an up-down change (0x28) and an edit control's change.
bool IsChangeNotification(UINT code)
{
    return code == BN_CLICKED || code == CBN_SELCHANGE || code == CBN_EDITCHANGE || code == 0x28 ||
           code == EN_CHANGE;
}

// Controls whose clicks the plot pages' base keeps from the pages' own handlers: labels,
// colour buttons and group boxes whose clicks mean nothing to the page.
const UINT kConsumedClicks[] = {1130, 1131, 1132, 1134, 1139, 1145, 1168, 1172, 1173, 1179, 1281,
                                1306, 1307, 1308, 1309, 1310, 1311, 1386, 1387, 1388, 1389, 1390,
                                1448, 1449, 1453, 1462};

} // namespace

bool PDIsChangeNotification(UINT code)
{
    return IsChangeNotification(code);
}

std::vector<CString> PDSplitList(const char* list)
{
    std::vector<CString> items;
    const char* p = list;
    while (p && *p) {
        const char* open = strchr(p, '"');
        const char* close = open ? strchr(open + 1, '"') : nullptr;
        if (!close)
            break;
        items.push_back(CString(open + 1, (int)(close - open - 1)));
        p = close + 1;
    }
    return items;
}

void PDFillComboFromText(CComboBox& combo, const char* list)
{
    for (const CString& item : PDSplitList(list))
        combo.AddString(item);
}

void PDShowRounded(CComboBox& combo, double value)
{
    value = (value < 0 ? -floor(-value * 100 + 0.5) : floor(value * 100 + 0.5)) / 100;
    CQKCString text;
    text.NumToStr(value);
    combo.SetWindowText(text.c_str());
}

bool PDReadNumber(const CString& text, double& value)
{
    return CQKCString((const char*)text).GetReal(&value);
}

void PDFillComboFromString(CComboBox& combo, UINT nID)
{
    CString list;
    list.LoadString(nID);
    PDFillComboFromText(combo, list);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsPage

IMPLEMENT_DYNAMIC(CQUPlotDetailsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CQUPlotDetailsPage, CPropertyPage)
    ON_WM_HELPINFO()
    ON_MESSAGE(WM_PD_COMMIT_NOW, OnCommitNow)
END_MESSAGE_MAP()

CQUPlotDetailsPage::CQUPlotDetailsPage(UINT nIDTemplate, UINT nIDResource)
    : CPropertyPage(nIDResource ? nIDResource : nIDTemplate), m_pObject(nullptr), m_bChanged(FALSE),
      m_nTemplateID(nIDTemplate)
{
    // The sheet has no help button of its own; WM_HELP brings the dialog's help.
    m_psp.dwFlags &= ~PSP_HASHELP;
}

BOOL CQUPlotDetailsPage::OnControlNotify(WPARAM wParam, LPARAM)
{
    if (IsChangeNotification(HIWORD(wParam)))
        MarkChanged();
    return TRUE;
}

LRESULT CQUPlotDetailsPage::NotifyDialog(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND sheet = ::GetParent(m_hWnd);
    HWND dialog = sheet ? ::GetParent(sheet) : nullptr;
    return dialog ? ::SendMessageA(dialog, message, wParam, lParam) : 0;
}

void CQUPlotDetailsPage::MarkChanged()
{
    m_bChanged = TRUE;
    NotifyDialog(WM_PD_ENABLE_APPLY, 0, 0);
}

void CQUPlotDetailsPage::EnableAllControls(BOOL bEnable)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::EnableWindow(child, bEnable);
}

void CQUPlotDetailsPage::SetCaption(const char* text, CPropertySheet* pSheet)
{
    m_strCaption = text;
    m_psp.pszTitle = m_strCaption;
    m_psp.dwFlags |= PSP_USETITLE;
    if (!pSheet && m_hWnd)
        pSheet = DYNAMIC_DOWNCAST(CPropertySheet, CWnd::FromHandle(::GetParent(m_hWnd)));
    if (!pSheet || !pSheet->m_hWnd)
        return;
    int index = pSheet->GetPageIndex(this);
    if (index < 0)
        return;
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>((const char*)m_strCaption);
    HWND tab = (HWND)::SendMessageA(pSheet->m_hWnd, PSM_GETTABCONTROL, 0, 0);
    ::SendMessageA(tab, TCM_SETITEMA, index, (LPARAM)&item);
}

void CQUPlotDetailsPage::SetCaptionFromString(UINT nID, CPropertySheet* pSheet)
{
    CString text;
    text.LoadString(nID);
    SetCaption(text, pSheet);
}

BOOL CQUPlotDetailsPage::OnHelpInfo(HELPINFO* pHelpInfo)
{
    HWND sheet = ::GetParent(m_hWnd);
    HWND dialog = sheet ? ::GetParent(sheet) : nullptr;
    return dialog ? (BOOL)::SendMessageA(dialog, WM_HELP, 0, (LPARAM)pHelpInfo) : FALSE;
}

LRESULT CQUPlotDetailsPage::OnCommitNow(WPARAM wParam, LPARAM lParam)
{
    return CommitNow(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsPlotObjTab

IMPLEMENT_DYNAMIC(CQUPlotDetailsPlotObjTab, CQUPlotDetailsPage)

CQUPlotDetailsPlotObjTab::CQUPlotDetailsPlotObjTab(UINT nIDTemplate, UINT nIDResource)
    : CQUPlotDetailsPage(nIDTemplate, nIDResource), m_bInitialized(FALSE), m_bGroupDependent(FALSE),
      m_bActivated(FALSE), m_bSpecialPoint(FALSE)
{
}

BOOL CQUPlotDetailsPlotObjTab::PaintPreviewArea(CDC& dc, UINT nFrameID, CRect* r)
{
    CWnd* frame = GetDlgItem(nFrameID);
    if (frame == nullptr)
        return FALSE;
    frame->GetWindowRect(r);
    ScreenToClient(r);
    r->DeflateRect(1, 1);
    dc.FillSolidRect(r, RGB(255, 255, 255));
    return TRUE;
}

CQUPlotDetailsTabChecker* CQUPlotDetailsPlotObjTab::GetTabChecker() const
{
    HWND sheet = ::GetParent(m_hWnd);
    auto* dialog = DYNAMIC_DOWNCAST(CQUPlotDetailsMain, CWnd::FromHandlePermanent(sheet ? ::GetParent(sheet) : nullptr));
    return dialog ? dialog->GetTabManager().GetTabChecker() : nullptr;
}

BOOL CQUPlotDetailsPlotObjTab::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitControls();
    ShowControlsForObject();
    m_bInitialized = TRUE;
    return TRUE;
}

BOOL CQUPlotDetailsPlotObjTab::OnSetActive()
{
    auto* sheet = DYNAMIC_DOWNCAST(CPropertySheet, CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (sheet) {
        // The page being left writes itself first, so this page reads what it changed.
        auto* left = DYNAMIC_DOWNCAST(CQUPlotDetailsPlotObjTab, sheet->GetActivePage());
        if (left && left != this && left->m_bActivated)
            left->OnKillActive();
    }
    CQKPlotObj* plot = GetPlot();
    m_bGroupDependent = plot && (plot->IsGroupBegin() || plot->IsGroupMember()) && !plot->IsIndependence();
    m_bSpecialPoint = plot && plot->IsSpecialPoint();
    CQUPlotDetailsTabChecker* checker = GetTabChecker();
    if (!checker || checker->IsPageWanted(this)) {
        BindColorControls();
        ObjectToControls();
        Invalidate(TRUE);
    }
    m_bActivated = TRUE;
    return TRUE;
}

BOOL CQUPlotDetailsPlotObjTab::OnKillActive()
{
    m_bActivated = FALSE;
    if (m_bChanged)
        ControlsToObject();
    UnbindColorControls();
    return TRUE;
}

BOOL CQUPlotDetailsPlotObjTab::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_bInitialized) {
        if (m_bActivated)
            OnControlNotify(wParam, lParam);
        for (UINT id : kConsumedClicks)
            if (wParam == id)
                return TRUE;
    }
    return CQUPlotDetailsPage::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsLayerTab

IMPLEMENT_DYNAMIC(CQUPlotDetailsLayerTab, CQUPlotDetailsPage)

CQUPlotDetailsLayerTab::CQUPlotDetailsLayerTab(UINT nIDTemplate) : CQUPlotDetailsPage(nIDTemplate), m_bLoaded(FALSE) {}

BOOL CQUPlotDetailsLayerTab::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bLoaded = FALSE;
    InitControls();
    LoadMembers();
    UpdateData(FALSE);
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CQUPlotDetailsLayerTab::OnControlNotify(WPARAM wParam, LPARAM lParam)
{
    if (!m_bLoaded)
        return TRUE;
    return CQUPlotDetailsPage::OnControlNotify(wParam, lParam);
}

BOOL CQUPlotDetailsLayerTab::OnCommand(WPARAM wParam, LPARAM lParam)
{
    OnControlNotify(wParam, lParam);
    return CQUPlotDetailsPage::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsPageTab

IMPLEMENT_DYNAMIC(CQUPlotDetailsPageTab, CQUPlotDetailsPage)

CQUPlotDetailsPageTab::CQUPlotDetailsPageTab(UINT nIDTemplate) : CQUPlotDetailsPage(nIDTemplate), m_bLoaded(FALSE) {}

BOOL CQUPlotDetailsPageTab::OnInitDialog()
{
    m_bLoaded = FALSE;
    CPropertyPage::OnInitDialog();
    InitControls();
    LoadMembers();
    UpdateData(FALSE);
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CQUPlotDetailsPageTab::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_bLoaded)
        OnControlNotify(wParam, lParam);
    return CQUPlotDetailsPage::OnCommand(wParam, lParam);
}

BOOL CQUPlotDetailsPageTab::IsLayout() const
{
    CQKGraphPage* page = GetGraphPage();
    return page && (page->IsLayoutPage() || page->GetType() == QK_PAGE_LAYOUT);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsNotAvailable

CQUPlotDetailsNotAvailable::CQUPlotDetailsNotAvailable(UINT nIDTemplate, int nKind, const char* caption)
    : CQUPlotDetailsPlotObjTab(nIDTemplate, IDD_PD_NOT_AVAILABLE), m_nKind(nKind), m_strName(caption)
{
    SetCaption(caption);
}

void CQUPlotDetailsNotAvailable::InitControls()
{
    CString format, text;
    format.LoadString(IDS_PD_NOT_AVAILABLE);
    text.Format(format, (const char*)m_strName);
    SetDlgItemText(IDC_PD_NOT_AVAILABLE_TEXT, text);
}

CQKWksPage* PDPlotWorksheet(const CQKPlotObj* plot)
{
    for (const QKPlotData& d : plot->GetDataList())
        if (d.role == QK_ROLE_Y) {
            CQKProject& project = qkfxGetProject();
            CQKDataset* ds = d.handle ? project.GetDatasetFromHandle(d.handle) : nullptr;
            if (!ds)
                ds = project.FindDataset(d.dataset);
            return ds ? ds->GetOwner() : nullptr;
        }
    return nullptr;
}

void CQUPlotDetailsPlotObjTab::KeepColorMapFor(int qcolor)
{
    if (!qkIsPointQCOLOR(qcolor) || !(qcolor & QK_QCOLOR_COLORMAP))
        return;
    CQKPlotObj* plot = GetPlot();
    CQKColorMapData* map = plot->GetColorMapDataOrCreateWithDefRange();
    plot->SaveColorMapData(map);
    delete map;
}

void CQUPlotDetailsPlotObjTab::ColorMenuChosen(WPARAM nID)
{
    if (m_bInitialized && m_bActivated)
        OnControlNotify(MAKEWPARAM((UINT)nID, BN_CLICKED), 0);
}

BOOL PDShowColorPair(CWnd* page, UINT nComboID, CQKColorMenuButtonCtrl& button, BOOL bShown)
{
    const CQKPlotObj* plot = button.GetPlotObject();
    const int contents = plot ? plot->GetColorContents(button.GetContents(), 0) : QK_CONTENTS_COLORS;
    const BOOL useButton = (contents & QK_CONTENTS_PER_POINT) != 0;
    page->GetDlgItem(nComboID)->ShowWindow(bShown && (contents & 0xFF) < 16 ? SW_SHOW : SW_HIDE);
    button.ShowWindow(bShown && useButton ? SW_SHOW : SW_HIDE);
    return useButton;
}

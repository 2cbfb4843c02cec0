#include "QUControls.h"

#include <math.h>
#include <stdlib.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "ObjectsResources.h"
#include "QKGraphObjects.h"
#include "QKUtil.h"

namespace {

// The items of a list resource's text: each stands in double quotes.
std::vector<CString> SplitList(const CString& list)
{
    std::vector<CString> items;
    int pos = 0;
    for (;;) {
        int open = list.Find('"', pos);
        if (open < 0)
            break;
        int close = list.Find('"', open + 1);
        if (close < 0)
            break;
        items.push_back(list.Mid(open + 1, close - open - 1));
        pos = close + 1;
    }
    return items;
}

// "%1" and "%2" in a date-format item stand for the short and the long form of a sample
// date; the item shows that form and the text after the placeholder.
CString ExpandDate(const CString& item)
{
    static const char* const kPlaceholders[] = {"%1", "%2"};
    for (int form = 0; form < 2; ++form) {
        int at = item.Find(kPlaceholders[form]);
        if (at < 0)
            continue;
        std::string date;
        CQKUtilDate sample(0);
        if (form == 0)
            sample.GetDateShortForm(date);
        else
            sample.GetDateLongForm(date);
        CString rest = item.Mid(at + 2);
        rest.TrimLeft();
        return CString(date.c_str()) + " " + rest;
    }
    return item;
}

// The icon of one image; the caller destroys it. Null when the list has no such image.
HICON IconOf(CImageList& images, int index)
{
    if (!images.GetSafeHandle() || index < 0 || index >= images.GetImageCount())
        return nullptr;
    return ::ImageList_GetIcon(images.GetSafeHandle(), index, ILD_NORMAL);
}

// Draws one item through the painter with the given image.
void PaintItem(CQUDrawCtrlItem* painter, LPDRAWITEMSTRUCT dis, const CString& text, DWORD_PTR image)
{
    painter->SetText(text);
    painter->SetImage(image);
    painter->Draw(dis);
}

// Draws one item of a control whose item i shows image i of `images`. The icon made for
// the draw is destroyed after it, so that nothing is kept per draw.
void PaintIconItem(CWnd* control, CQUDrawCtrlItem* painter, CImageList& images, LPDRAWITEMSTRUCT dis,
                   const CString& text, int image)
{
    painter->SetEnabled(control->IsWindowEnabled());
    if ((int)dis->itemID == -1) {
        painter->Draw(dis);
        return;
    }
    HICON icon = IconOf(images, image);
    PaintItem(painter, dis, text, (DWORD_PTR)icon);
    if (icon)
        ::DestroyIcon(icon);
}

} // namespace

IMPLEMENT_DYNCREATE(CQUDrawCtrlItem, CObject)
IMPLEMENT_DYNCREATE(CQUDrawCtrlIconItem, CQUDrawCtrlItem)
IMPLEMENT_DYNCREATE(CQUDrawCtrlRectItem, CQUDrawCtrlItem)

CQUDrawCtrlItem::CQUDrawCtrlItem()
    : m_cx(16), m_cy(16), m_bEnabled(TRUE), m_bHighlight(FALSE), m_dwImage(0),
      m_bTextBeside(TRUE), m_bPlainSelected(FALSE)
{
}

BOOL CQUDrawCtrlItem::DrawImage(CDC*, int, CRect&, BOOL)
{
    return FALSE;
}

void CQUDrawCtrlItem::AdjustTextRect(CRect&, int, int)
{
}

void CQUDrawCtrlItem::SetOption(int)
{
}

void CQUDrawCtrlItem::Draw(LPDRAWITEMSTRUCT dis)
{
    CDC* pDC = CDC::FromHandle(dis->hDC);
    CRect rect = dis->rcItem;
    if ((int)dis->itemID == -1) {
        if (dis->itemState & ODS_FOCUS)
            pDC->DrawFocusRect(&dis->rcItem);
        return;
    }
    BOOL bSelected = (dis->itemState & ODS_SELECTED) != 0;
    if (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        COLORREF background, text;
        if (bSelected && m_bHighlight) {
            background = ::GetSysColor(m_bEnabled ? COLOR_HIGHLIGHT : COLOR_INACTIVEBORDER);
            text = ::GetSysColor(m_bEnabled ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT);
        } else {
            background = ::GetSysColor(m_bEnabled ? COLOR_WINDOW : COLOR_INACTIVEBORDER);
            text = ::GetSysColor(m_bEnabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
        }
        pDC->SetBkColor(background);
        pDC->ExtTextOut(rect.left, rect.top, ETO_OPAQUE, &rect, "", 0, nullptr);
        DrawImage(pDC, (int)dis->itemID, rect, bSelected);
        AdjustTextRect(rect, m_cx, m_cy);
        pDC->SetBkColor(background);
        pDC->SetTextColor(text);
        pDC->DrawText(m_strText, &rect, DT_SINGLELINE | DT_VCENTER);
    }
    if (dis->itemAction & ODA_FOCUS) {
        if (m_bHighlight) {
            pDC->DrawFocusRect(&dis->rcItem);
        } else {
            CBrush black(RGB(0, 0, 0));
            pDC->FrameRect(&dis->rcItem, &black);
        }
    }
}

BOOL CQUDrawCtrlIconItem::DrawImage(CDC* pDC, int, CRect& rect, BOOL bSelected)
{
    HICON icon = (HICON)m_dwImage;
    pDC->SaveDC();
    pDC->IntersectClipRect(rect.left, rect.top, rect.left + m_cx, rect.bottom);
    pDC->SetBkMode(TRANSPARENT);
    if (icon) {
        CPoint at(rect.left + 2, rect.top + 1);
        if (bSelected && !m_bPlainSelected) {
            // On the highlight the icon's transparent parts show the highlight text
            // colour, so that the picture stays visible.
            CImageList images;
            images.Create(32, 32, ILC_MASK | ILC_COLOR24, 1, 0);
            images.SetBkColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
            images.Add(icon);
            images.Draw(pDC, 0, at, ILD_NORMAL);
        } else {
            ::DrawIconEx(pDC->m_hDC, at.x, at.y, icon, 0, 0, 0, nullptr, DI_NORMAL);
        }
    }
    pDC->RestoreDC(-1);
    return TRUE;
}

void CQUDrawCtrlIconItem::AdjustTextRect(CRect& rect, int cx, int)
{
    if (m_bTextBeside) {
        rect.left += std::max((int)rect.Height(), cx) + 6;
    } else {
        rect.top += 32;
        rect.left += 3;
    }
}

void CQUDrawCtrlIconItem::SetOption(int nOption)
{
    m_bTextBeside = nOption != 0;
}

BOOL CQUDrawCtrlRectItem::DrawImage(CDC* pDC, int, CRect& rect, BOOL)
{
    // The swatch is as wide as the image height: square when the item is cy high.
    pDC->Rectangle(rect.left + 1, rect.top + 1, rect.left + m_cy - 1, rect.bottom - 1);
    CRect swatch(rect.left + 2, rect.top + 2, rect.left + m_cy - 2, rect.bottom - 2);
    pDC->FillSolidRect(&swatch, (COLORREF)m_dwImage);
    return TRUE;
}

void CQUDrawCtrlRectItem::AdjustTextRect(CRect& rect, int cx, int)
{
    rect.left += std::max((int)rect.Height(), cx) + 6;
}

CQUImageComboBox::CQUImageComboBox() : m_pDrawItem(nullptr), m_size(16, 16)
{
}

CQUImageComboBox::~CQUImageComboBox()
{
    delete m_pDrawItem;
}

void CQUImageComboBox::SetRectSize(CSize size)
{
    m_size = size;
    if (m_pDrawItem)
        m_pDrawItem->SetSize(size);
}

BOOL CQUImageComboBox::SetIntegerToComboBoxText(int nValue)
{
    CString text;
    text.Format("%d", nValue);
    SetWindowText(text);
    return TRUE;
}

int CQUImageComboBox::GetIntegerFromComboBoxText() const
{
    CString text;
    GetWindowText(text);
    int value = 0;
    return CQKCString((LPCTSTR)text).GetInt(&value) ? value : 0;
}

BOOL CQUImageComboBox::SetDoubleToComboBoxText(double value, int nDecimals)
{
    // Rounded in double precision: a 32-bit intermediate would wrap for values such as
    // 3e7 with two decimals.
    double scale = pow(10.0, nDecimals);
    double rounded = trunc(value * scale + (value < 0 ? -0.5 : 0.5)) / scale;
    CQKCString text;
    text.NumToStr(rounded);
    SetWindowText(text.c_str());
    return TRUE;
}

double CQUImageComboBox::GetDoubleFromComboBoxText() const
{
    CString text;
    GetWindowText(text);
    double value = 0;
    return CQKCString((LPCTSTR)text).GetReal(&value) ? value : 0.0;
}

void CQUImageComboBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    mis->itemHeight = m_size.cy;
}

void CQUImageComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

CQUResImageComboBox::CQUResImageComboBox() : m_nImageWidth(32), m_nImageHeight(32), m_nItemCount(0)
{
    CQUDrawCtrlItem* painter = new CQUDrawCtrlIconItem;
    painter->SetHighlight(TRUE);
    SetDrawCtrlItem(painter);
}

BOOL CQUResImageComboBox::FillFromResource(UINT nID, BOOL bFromString, BOOL bWithImages)
{
    if (bFromString) {
        m_strResource.LoadString(nID);
        std::vector<CString> items = SplitList(m_strResource);
        if (m_nItemCount == 0)
            m_nItemCount = (int)items.size();
        for (int i = 0; i < m_nItemCount; ++i)
            AddString(i < (int)items.size() ? ExpandDate(items[i]) : CString());
    } else {
        for (int i = 0; i < m_nItemCount; ++i)
            AddString("");
    }
    if (bWithImages) {
        m_imageList.DeleteImageList();
        m_imageList.Create(nID, m_nImageWidth, m_nItemCount, RGB(255, 255, 255));
    }
    return TRUE;
}

void CQUResImageComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CString text;
    if ((int)dis->itemID != -1)
        GetLBText((int)dis->itemID, text);
    PaintIconItem(this, m_pDrawItem, m_imageList, dis, text, (int)dis->itemID);
}

BOOL CQULinewidthComBox::INILineWidthComboBox(UINT nID, CString strText)
{
    FillFromResource(nID, TRUE, FALSE);
    SetWindowText(strText);
    return TRUE;
}

BOOL CQUStringComBox::INIResStringComboBox(UINT nID, int nSel)
{
    SetItemCount(0);
    FillFromResource(nID, TRUE, FALSE);
    CComboBox::SetCurSel(nSel);
    return TRUE;
}

CQUColorComboBox::CQUColorComboBox() : m_nColors(CQKColor::GetColorNumber())
{
    CQUDrawCtrlItem* painter = new CQUDrawCtrlRectItem;
    painter->SetHighlight(TRUE);
    SetDrawCtrlItem(painter);
}

void CQUColorComboBox::AddColorNames()
{
    for (int i = 0; i < m_nColors; ++i) {
        std::string name;
        CQKColor::GetColorName(i, name);
        AddString(name.c_str());
    }
}

void CQUColorComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    m_pDrawItem->SetEnabled(IsWindowEnabled());
    if ((int)dis->itemID == -1) {
        m_pDrawItem->Draw(dis);
        return;
    }
    DWORD colour = 0;
    CQKColor::GetColorRef((int)dis->itemID, colour, 0);
    CString text;
    GetLBText((int)dis->itemID, text);
    PaintItem(m_pDrawItem, dis, text, colour);
}

CQUFontComboBox::CQUFontComboBox() : m_bShowDefault(TRUE)
{
    m_imageList.Create(IDB_QD_FONT_KINDS, 32, 3, RGB(0, 255, 255));
    CQUDrawCtrlItem* painter = new CQUDrawCtrlIconItem;
    painter->SetHighlight(TRUE);
    painter->SetPlainSelected(TRUE);
    SetDrawCtrlItem(painter);
}

BOOL CQUFontComboBox::AddFontNames()
{
    for (int i = m_bShowDefault ? 0 : 1; i < CQKFontManager::GetFontCount(); ++i) {
        std::string name;
        CQKFontManager::GetFontName(i, name);
        AddString(name.c_str());
    }
    return TRUE;
}

int CQUFontComboBox::GetCurSel() const
{
    int sel = CComboBox::GetCurSel();
    if (sel < 0)
        return -1;
    return m_bShowDefault ? sel : sel + 1;
}

int CQUFontComboBox::SetCurSel(int nFont)
{
    return CComboBox::SetCurSel(nFont >= 0 && !m_bShowDefault ? nFont - 1 : nFont);
}

void CQUFontComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    std::string name;
    int kind = CQKFontManager::GetFontName((int)dis->itemID + (m_bShowDefault ? 0 : 1), name);
    int image = (kind & QK_FONT_TRUETYPE) ? 0 : (kind & QK_FONT_DEVICE) ? 1 : 2;
    PaintIconItem(this, m_pDrawItem, m_imageList, dis, name.c_str(), image);
}

void CQUListCtrl::InitColumns(UINT nID)
{
    DeleteAllItems();
    CString titles;
    titles.LoadString(nID);
    std::vector<CString> tokens;
    while (!titles.IsEmpty()) {
        int bar = titles.Find('|');
        tokens.push_back(bar < 0 ? titles : titles.Left(bar));
        titles = bar < 0 ? CString() : titles.Mid(bar + 1);
    }
    if (tokens.empty())
        return;
    for (int i = 0; i < (int)tokens.size(); ++i)
        InsertColumn(i, tokens[i], LVCFMT_LEFT, -1, i);
    CRect rect;
    GetWindowRect(&rect);
    for (int i = 0; i < (int)tokens.size(); ++i)
        SetColumnWidth(i, rect.Width() / (int)tokens.size());
}

void CQUListCtrl::InitCols(int nCount, UINT nFirstID)
{
    CRect rect;
    GetWindowRect(&rect);
    for (int i = 0; i < nCount; ++i) {
        CString title;
        title.LoadString(nFirstID + i);
        DeleteColumn(i);
        InsertColumn(i, title, LVCFMT_LEFT, rect.Width() / nCount, i);
    }
}

int CQUListCtrl::SelectItemAtMessagePos()
{
    DWORD pos = ::GetMessagePos();
    CPoint point(GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
    ScreenToClient(&point);
    int top = GetTopIndex();
    int last = std::min(top + GetCountPerPage(), GetItemCount() - 1);
    for (int i = top; i <= last; ++i) {
        CRect item;
        if (GetItemRect(i, &item, LVIR_BOUNDS) && item.PtInRect(point)) {
            SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            return i;
        }
    }
    return -1;
}

CQUImageListBox::CQUImageListBox() : m_pDrawItem(nullptr), m_size(32, 16)
{
}

CQUImageListBox::~CQUImageListBox()
{
    delete m_pDrawItem;
}

void CQUImageListBox::SetRectSize(CSize size)
{
    m_size = size;
    if (m_pDrawItem)
        m_pDrawItem->SetSize(size);
}

void CQUImageListBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    int textHeight = 0;
    if (m_hWnd) {
        CClientDC dc(this);
        CFont* font = GetFont();
        CFont* old = font ? dc.SelectObject(font) : nullptr;
        TEXTMETRIC tm;
        if (dc.GetTextMetrics(&tm))
            textHeight = tm.tmHeight;
        if (old)
            dc.SelectObject(old);
    }
    mis->itemHeight = std::max(textHeight, (int)m_size.cy);
}

CQUAxisListBox::CQUAxisListBox() : m_nImageWidth(32), m_nImageHeight(32), m_nItemCount(0)
{
    CQUDrawCtrlItem* painter = new CQUDrawCtrlIconItem;
    painter->SetHighlight(TRUE);
    SetDrawCtrlItem(painter);
}

BOOL CQUAxisListBox::FillIcons(UINT id2D, UINT, int nCount)
{
    // A 2D layer has no front and back axes.
    return Fill(id2D, nCount == 6 ? 4 : nCount);
}

BOOL CQUAxisListBox3D::FillIcons(UINT, UINT id3D, int nCount)
{
    return Fill(id3D, nCount);
}

BOOL CQUAxisListBox::Fill(UINT nID, int nCount)
{
    m_nItemCount = nCount;
    m_strResource.LoadString(nID);
    std::vector<CString> items = SplitList(m_strResource);
    if (m_nItemCount == 0)
        m_nItemCount = (int)items.size();
    for (int i = 0; i < m_nItemCount; ++i)
        AddString(i < (int)items.size() ? items[i] : CString());
    m_imageList.DeleteImageList();
    m_imageList.Create(nID, m_nImageWidth, m_nItemCount, RGB(255, 255, 255));
    return TRUE;
}

void CQUAxisListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CString text;
    if ((int)dis->itemID != -1)
        GetText((int)dis->itemID, text);
    PaintIconItem(this, m_pDrawItem, m_imageList, dis, text, (int)dis->itemID);
}

CQUImageToolBarCtrl::CQUImageToolBarCtrl()
    : m_bButtonStyle(0), m_nButtons(7), m_nFirstImage(0), m_pButtons(nullptr)
{
}

CQUImageToolBarCtrl::CQUImageToolBarCtrl(int nButtons, int nFirstImage)
    : m_bButtonStyle(0), m_nButtons(nButtons), m_nFirstImage(nFirstImage), m_pButtons(nullptr)
{
}

CQUImageToolBarCtrl::~CQUImageToolBarCtrl()
{
    delete[] m_pButtons;
}

BOOL CQUImageToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CToolBarCtrl::Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    // The whole strip is registered, so that a bar starting at a later image still
    // finds every image it shows.
    AddBitmap(QD_TEXT_TOOL_IMAGES, IDB_QD_TEXT_TOOLS);
    delete[] m_pButtons;
    m_pButtons = new TBBUTTON[m_nButtons]();
    for (int i = 0; i < m_nButtons; ++i) {
        TBBUTTON& button = m_pButtons[i];
        button.iBitmap = m_nFirstImage + i;
        button.idCommand = m_nFirstImage + i + QD_IMAGE_TOOLBAR_FIRST_COMMAND;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = m_bButtonStyle;
        button.dwData = 0;
        button.iString = -1;
        AddButtons(1, &button);
    }
    return TRUE;
}

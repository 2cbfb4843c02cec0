#include "ColumnListCtrls.h"

#include <algorithm>

#include "QKData.h"

CQUWksColumnListCtrl::CQUWksColumnListCtrl(UINT id, const char* name) : m_id(id), m_name(name ? name : "")
{
}

BEGIN_MESSAGE_MAP(CQUWksColumnListCtrl, CListCtrl)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CQUWksColumnListCtrl::SetTitles(const char* titles)
{
    CString all(titles);
    int n = 0;
    for (int from = 0; from < all.GetLength();) {
        int blank = all.Find(' ', from);
        CString title = all.Mid(from, blank < 0 ? all.GetLength() - from : blank - from);
        InsertColumn(n++, title, LVCFMT_LEFT, 60);
        if (blank < 0)
            break;
        from = blank + 1;
    }
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
}

const char* CQUWksColumnListCtrl::TypeText(int format)
{
    switch (format) {
    case QK_FORMAT_NUMERIC: return "Numeric";
    case QK_FORMAT_TEXT: return "Text";
    case QK_FORMAT_TIME: return "Time";
    case QK_FORMAT_DATE: return "Date";
    case QK_FORMAT_TEXT_NUMERIC: return "Text & Numeric";
    }
    return "";
}

void CQUWksColumnListCtrl::MakeList(BOOL selectedOnly)
{
    DeleteAllItems();
    if (m_layer == nullptr)
        return;
    int first = 0, end = m_layer->GetNumCols();
    if (selectedOnly && m_layer->m_selC1 >= 1) {
        first = m_layer->m_selC1 - 1;
        end = std::min(m_layer->m_selC2, m_layer->GetNumCols());
    }
    int row = 0;
    for (int c = first; c < end; ++c)
        if (!SetRow(c, row, (WORD)selectedOnly))
            ++row;
}

BOOL CQUWksColumnListCtrl::SetRow(int column, int row, WORD)
{
    CQKDataset* c = m_layer ? m_layer->GetColumn(column + 1) : nullptr;
    if (c == nullptr)
        return TRUE;
    if (row >= GetItemCount())
        InsertItem(row, "");
    SetItemData(row, (DWORD_PTR)c->GetHandle());
    SetItemText(row, 0, c->m_columnName.c_str());
    SetItemText(row, 1, c->m_label.c_str());
    // An ampersand before a blank would vanish as a mnemonic.
    CString type = TypeText(c->m_format);
    int amp = type.Find("& ");
    if (amp >= 0)
        type.Insert(amp, '&');
    SetItemText(row, 2, type);
    return FALSE;
}

void CQUWksColumnListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    // Anywhere along a row counts as the row.
    point.x = 10;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    int row = HitTest(&hit);
    if (CWnd* parent = GetParent())
        parent->SendMessage(QU_WM_WKS_COLUMN_CLICKED, 0, (hit.flags & LVHT_ONITEM) ? row : -1);
    CListCtrl::OnLButtonDown(nFlags, point);
}

// Data between the workbook and the kernel: cells, columns in blocks, the selection, the
// association of sheets with the kernel's layers, copies into native worksheets, new
// workbooks.
#include "XlView.h"

#include <algorithm>

#include "ExcelRes.h"
#include "XlDialogs.h"

namespace {

// Rows of a column that move in one block; a block the server refuses is halved down to
// the floor before the copy gives up.
const int kBlockRows = 2048;
const int kBlockFloor = 32;

// One past the last row a sheet has (65,536 rows, or 16,384 before version 8).
int RowLimit()
{
    return CQUxlView::AssumeExcelVersionEight() ? 65537 : 16385;
}

// The kernel's current page for the time of one step.
class CurrentPageGuard {
public:
    explicit CurrentPageGuard(CQKPage* page) : m_previous(qkfxGetProject().GetActivePage())
    {
        if (page)
            qkfxGetProject().SetActivePage(page);
    }
    ~CurrentPageGuard()
    {
        if (m_previous)
            qkfxGetProject().SetActivePage(m_previous);
    }

private:
    CQKPage* m_previous;
};

// A window name made from a sheet name: letters, digits and underscores, starting with a
// letter, and not yet in use.
std::string UniqueWindowName(const CString& base)
{
    std::string stem;
    for (int i = 0; i < base.GetLength(); ++i) {
        char c = base[i];
        if (isalnum((unsigned char)c) || c == '_')
            stem += c;
    }
    if (stem.empty() || !isalpha((unsigned char)stem[0]))
        stem = "Sheet" + stem;
    CQKProject& project = qkfxGetProject();
    if (!project.IsNameInUse(stem))
        return stem;
    for (int n = 1;; ++n) {
        std::string candidate = stem + std::to_string(n);
        if (!project.IsNameInUse(candidate))
            return candidate;
    }
}

} // namespace

void CQUxlView::ColumnRowRowToRangeName(CString& name, int column, int first, int end)
{
    int high = (column - 1) / 26;
    char low = (char)('A' + column - 1 - 26 * high);
    if (high == 0)
        name.Format("%c%d:%c%d", low, first, low, end - 1);
    else
        name.Format("%c%c%d:%c%c%d", (char)('A' + high - 1), low, first, (char)('A' + high - 1), low, end - 1);
}

/////////////////////////////////////////////////////////////////////////////
// Cells

BOOL CQUxlView::GetSetOneExcelCellValue(const char* sheet, int column, int row, void* value, int type, BOOL set)
{
    if (!InitDriverAutomation() || !value)
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    if (!ws.IsAttached())
        return FALSE;
    CString cell;
    cell.Format("%s%d", qkuxlColumnNumberToColumnName(column).c_str(), row + 1);
    CxlobjRange* range = ws.GetRange(cell);
    if (!range)
        return FALSE;
    BOOL ok = FALSE;
    if (set) {
        COleVariant v;
        ok = TRUE;
        switch (type) {
        case 1: v = (const char*)value; break;
        case 2: v = *(const double*)value; break;
        case 3: v = *(const VARIANT*)value; break;
        default: ok = FALSE; break;
        }
        // A value the program writes is no change of the user's.
        if (ok)
            ok = range->SetValue(v) && ClearDirty(1);
    } else {
        COleVariant v;
        if (range->GetValue(&v)) {
            switch (type) {
            case 1:
                if (v.vt == VT_BSTR) {
                    CString text = AfxStringFromBSTR(v.bstrVal);
                    lstrcpynA((char*)value, text, 256);
                    ok = TRUE;
                }
                break;
            case 2: ok = xlVariantToDouble(v, *(double*)value); break;
            case 3: ok = SUCCEEDED(VariantCopy((VARIANT*)value, &v)); break;
            }
        }
    }
    delete range;
    return ok;
}

BOOL CQUxlView::GetSetOneExcelCellValueAsReal(const char* sheet, int column, int row, double* value, BOOL set)
{
    return GetSetOneExcelCellValue(sheet, column, row, value, 2, set);
}

BOOL CQUxlView::GetOneExcelCellValueAsText(const char* sheet, int column, int row, char* text)
{
    if (!InitDriverAutomation() || !text)
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    if (!ws.IsAttached())
        return FALSE;
    CString cell;
    cell.Format("%s%d", qkuxlColumnNumberToColumnName(column).c_str(), row + 1);
    CxlobjRange* range = ws.GetRange(cell);
    CString shown;
    BOOL ok = range && range->GetText(shown);
    delete range;
    if (ok)
        lstrcpynA(text, shown, 256);
    return ok;
}

/////////////////////////////////////////////////////////////////////////////
// Columns

BOOL CQUxlView::CopyOneInternalColumnToExcel(const char* sheet, int column, CQKExternData* data)
{
    if (!InitDriverAutomation() || !data)
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    if (!ws.IsAttached())
        return FALSE;
    int first = data->i1Change + 1;
    int end = std::min(data->i2Change + 1, RowLimit());
    if (first <= 0 || first >= end)
        return FALSE;
    int chunk = std::min(end - first, kBlockRows);
    for (;;) {
        BOOL failed = FALSE;
        for (int start = first; start < end && !failed;) {
            int stop = std::min(start + chunk, end);
            COleVariant block;
            if (stop - start == 1) {
                // One row goes as the value itself.
                failed = !data->GetInternalValue(&block, start - 1);
            } else {
                SAFEARRAYBOUND bounds[2] = {{(ULONG)(stop - start), 1}, {1, 1}};
                SAFEARRAY* sa = SafeArrayCreate(VT_VARIANT, 2, bounds);
                failed = sa == nullptr;
                for (int row = start; row < stop && !failed; ++row) {
                    VARIANT v;
                    LONG index[2] = {row - start + 1, 1};
                    failed = !data->GetInternalValue(&v, row - 1) || FAILED(SafeArrayPutElement(sa, index, &v));
                    VariantClear(&v);
                }
                if (failed) {
                    if (sa)
                        SafeArrayDestroy(sa);
                } else {
                    block.vt = VT_ARRAY | VT_VARIANT;
                    block.parray = sa;
                }
            }
            if (failed)
                break;
            CString name;
            ColumnRowRowToRangeName(name, column, start, stop);
            CxlobjRange* range = ws.GetRange(name);
            if (!range)
                return FALSE;
            failed = !range->SetValue(block);
            delete range;
            start = stop;
        }
        if (!failed)
            return ClearDirty(1);
        chunk /= 2;
        if (chunk < kBlockFloor)
            return FALSE;
    }
}

BOOL CQUxlView::CopyDataOneExternalColumn(const char* sheet, int column, CQKExternData* data)
{
    if (!InitDriverAutomation() || !data)
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    if (!ws.IsAttached())
        return FALSE;
    CxlobjUsedRange* used = ws.GetUsedRange();
    int c1, c2, r1, r2;
    BOOL bounded = used && used->GetBounds(c1, c2, r1, r2);
    delete used;
    if (!bounded)
        return FALSE;
    if (column < c1 || column >= c2)
        return TRUE;
    if (CQUWksPageExternal* page = get_external_wks_page())
        page->SetUseRange(sheet, c1 - 1, c2 - 1, r1 - 1, r2 - 1);
    int end = std::min(r2, RowLimit());
    if (r1 >= end)
        return TRUE;
    int chunk = std::min(end - r1, kBlockRows);
    for (;;) {
        BOOL failed = FALSE, stored = TRUE;
        for (int start = r1; start < end && !failed;) {
            int stop = std::min(start + chunk, end);
            CString name;
            ColumnRowRowToRangeName(name, column, start, stop);
            CxlobjRange* range = ws.GetRange(name);
            if (!range)
                return FALSE;
            COleVariant block;
            failed = !range->GetValue(&block);
            delete range;
            if (failed)
                break;
            if (block.vt == (VT_ARRAY | VT_VARIANT)) {
                for (int k = 1; start + k - 1 < stop; ++k) {
                    LONG index[2] = {k, 1};
                    VARIANT e;
                    VariantInit(&e);
                    if (FAILED(SafeArrayGetElement(block.parray, index, &e)))
                        continue;
                    stored = data->SetInternalValue(e, start + k - 2);
                    VariantClear(&e);
                }
            } else {
                stored = data->SetInternalValue(block, start - 1);
            }
            start = stop;
        }
        if (!failed)
            return stored;
        chunk /= 2;
        if (chunk < kBlockFloor)
            return FALSE;
    }
}

/////////////////////////////////////////////////////////////////////////////
// Selection

BOOL CQUxlView::GetSelection(unsigned* count, QXLSELECTION* ranges, CString* sheet)
{
    if (!InitDriverAutomation())
        return FALSE;
    if (sheet) {
        CxlobjActiveWorksheet* active = m_pWorkbook->GetActiveSheet();
        BOOL named = active && active->GetName(*sheet);
        delete active;
        if (!named)
            return FALSE;
    }
    if (!ranges && !count)
        return TRUE;
    if (!CanGetSelection(TRUE))
        return FALSE;
    CxlobjWindow* window = m_pWorkbook->GetWindow(1);
    CxlobjRange* selection = window ? window->GetRangeSelection() : nullptr;
    delete window;
    CxlobjAreas* areas = selection ? selection->GetAreas() : nullptr;
    int n = areas ? areas->GetCount() : -1;
    BOOL ok = n > 0;
    if (ok && !ranges) {
        *count = (unsigned)n;
    } else if (ok) {
        if (count) {
            if ((unsigned)n > *count)
                n = (int)*count;
            *count = (unsigned)n;
        } else if (n > 1) {
            ok = FALSE;
        }
        BOOL eight = AssumeExcelVersionEight();
        for (int i = 1; ok && i <= n; ++i) {
            CxlobjRange* area = eight ? areas->GetItem(i) : selection->GetArea(i);
            int c1, c2, r1, r2;
            ok = area && area->GetBounds(c1, c2, r1, r2);
            if (ok)
                ranges[i - 1] = QXLSELECTION{c1, c2, r1 - 1, r2 - 1};
            delete area;
        }
    }
    delete areas;
    delete selection;
    return ok;
}

/////////////////////////////////////////////////////////////////////////////
// Sheets and the kernel's layers

BOOL CQUxlView::UpdateAssociatedWorksheet(CxlobjWorksheet* sheet, BOOL check, QXLSELECTION* range)
{
    if (!sheet || !sheet->IsAttached())
        return FALSE;
    CxlobjUsedRange* used = sheet->GetUsedRange();
    int c1, c2, r1, r2;
    BOOL bounded = used && used->GetBounds(c1, c2, r1, r2);
    delete used;
    if (!bounded)
        return FALSE;
    if (range)
        *range = QXLSELECTION{c1, c2, r1 - 1, r2 - 1};
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page)
        return FALSE;
    CurrentPageGuard guard(page);
    CString name;
    if (!sheet->GetName(name))
        return FALSE;
    CQKWksExternLayer* layer = page->GetOrCreateActiveLayer(name);
    if (!layer)
        return FALSE;
    for (int i = 1; i < c2; ++i)
        layer->AddExternColumn(i, nullptr, nullptr);
    layer->SetRowRange(r1 - 1, r2 - 1, c1 - 1, c2 - 1);
    OnCheckxlDirty();
    return check ? page->CheckCopyData(layer, 1, 0) : TRUE;
}

BOOL CQUxlView::UpdateAssociatedWorksheet(const char* sheet, BOOL check, QXLSELECTION* range)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    return UpdateAssociatedWorksheet(&ws, check, range);
}

BOOL CQUxlView::UpdateAssociatedActiveWorksheet(QXLSELECTION* range, BOOL check)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjActiveWorksheet* active = m_pWorkbook->GetActiveSheet();
    BOOL ok = UpdateAssociatedWorksheet(active, check, range);
    delete active;
    return ok;
}

BOOL CQUxlView::UpdateAssociatedWorkbook(DWORD flags)
{
    return UpdateAssociatedActiveWorksheet(nullptr, (flags & 0x10000) != 0);
}

int CQUxlView::GetWorksheetNames(CStringArray& names)
{
    names.RemoveAll();
    if (!InitDriverAutomation())
        return -1;
    int n = m_pWorksheets->GetCount();
    if (n < 0)
        return -1;
    for (int i = 1; i <= n; ++i) {
        CxlobjWorksheet ws(*m_pWorkbook, (short)i);
        CString name;
        if (ws.IsAttached() && ws.GetName(name))
            names.Add(name);
    }
    return (int)names.GetSize();
}

int CQUxlView::FillListboxWithWorksheetNames(CListBox* list, CListBox* unassociated)
{
    CStringArray names;
    int n = GetWorksheetNames(names);
    if (n < 0)
        return -1;
    CQUWksPageExternal* page = get_external_wks_page();
    for (int i = 0; i < n; ++i) {
        if (list)
            list->AddString(names[i]);
        if (unassociated && (!page || !page->FindLayer(names[i])))
            unassociated->AddString(names[i]);
    }
    return n;
}

BOOL CQUxlView::ActivateWorksheet(const char* sheet)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    return ws.IsAttached() && ws.Activate();
}

BOOL CQUxlView::OnInternalInsertDeleteColumn(const char* sheet, int column, BOOL del)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    if (!ws.IsAttached())
        return FALSE;
    CxlobjRange* col = ws.GetColumn(column + 1);
    BOOL ok = col && (del ? col->Delete() : col->Insert());
    delete col;
    if (!ok)
        return FALSE;
    CQUWksPageExternal* page = get_external_wks_page();
    CQKWksExternLayer* layer = page ? page->FindLayer(sheet) : nullptr;
    return layer ? layer->OnInternalInsertDeleteColumn(column, del) : TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Copies into native worksheets

BOOL CQUxlView::xlWorksheetToNativeQuorix(CxlobjWorksheet* sheet, const char* window, const char* name)
{
    CQUWksPageExternal* page = get_external_wks_page();
    CQKWksExternLayer* layer = page ? page->FindLayer(name) : nullptr;
    if (!sheet || !layer)
        return FALSE;
    CQKProject& project = qkfxGetProject();
    CQKWksPage* target = nullptr;
    BOOL created = FALSE;
    if (window && *window) {
        CQKPage* p = project.FindPage(window);
        if (p && p->GetType() == QK_PAGE_WKS)
            target = static_cast<CQKWksPage*>(p);
    }
    if (!target) {
        target = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS));
        created = TRUE;
    }
    if (!target)
        return FALSE;
    if (!page->MakeFromExternal(target, layer)) {
        if (created)
            project.DeletePage(target->GetName());
        return FALSE;
    }
    // The copy is titled after its sheet.
    target->SetName(UniqueWindowName(name));
    return TRUE;
}

BOOL CQUxlView::DoCopyOneWksToNativeQuorix(const char* sheet, const char* window)
{
    if (!InitDriverAutomation())
        return FALSE;
    CxlobjWorksheet ws(*m_pWorkbook, sheet);
    return ws.IsAttached() && xlWorksheetToNativeQuorix(&ws, window, sheet);
}

BOOL CQUxlView::DoCopyAllWorksheetsToNativeQuorix(UINT* count)
{
    if (count)
        *count = 0;
    if (!InitDriverAutomation())
        return FALSE;
    int n = m_pWorksheets->GetCount();
    if (n < 0)
        return FALSE;
    for (int i = 1; i <= n; ++i) {
        CxlobjWorksheet ws(*m_pWorkbook, (short)i);
        UpdateAssociatedWorksheet(&ws, TRUE, nullptr);
    }
    UINT copied = 0;
    for (int i = 1; i <= n; ++i) {
        CxlobjWorksheet ws(*m_pWorkbook, (short)i);
        CString name;
        if (ws.IsAttached() && ws.GetName(name) && xlWorksheetToNativeQuorix(&ws, nullptr, name))
            ++copied;
    }
    if (count)
        *count = copied;
    return copied == (UINT)n;
}

BOOL CQUxlView::DoCopyToNativeQuorixWorksheets(int mode, UINT* count)
{
    if (mode == 1)
        return FALSE;
    if (mode != 3)
        return DoCopyAllWorksheetsToNativeQuorix(count);
    if (count)
        *count = 0;
    if (!InitDriverAutomation() || !UpdateAssociatedActiveWorksheet(nullptr, TRUE))
        return FALSE;
    CxlobjActiveWorksheet* active = m_pWorkbook->GetActiveSheet();
    CString name;
    BOOL ok = active && active->GetName(name) && xlWorksheetToNativeQuorix(active, nullptr, name);
    delete active;
    if (ok && count)
        *count = 1;
    return ok;
}

/////////////////////////////////////////////////////////////////////////////
// New workbooks

BOOL CQUxlView::InitNewWorkbook()
{
    if (!InitDriverAutomation() || !m_pWorksheets->Add(3))
        return FALSE;
    // New sheets come before the first one: rename from both ends so that the sheets read
    // Sheet1 to Sheet4 in position order, passing through a name no sheet has.
    for (int i = 3, j = 0; j < i; ++j, --i) {
        CxlobjWorksheet left(*m_pWorkbook, (short)(j + 1)), right(*m_pWorkbook, (short)(i + 1));
        if (!left.IsAttached() || !right.IsAttached())
            return FALSE;
        CString a, b;
        a.Format("%s%d", "Sheet", i + 1);
        b.Format("%s%d", "Sheet", j + 1);
        if (!left.SetName("TempSh") || !right.SetName(a) || !left.SetName(b))
            return FALSE;
    }
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Saving

BOOL CQUxlView::SaveTheWorkbook(const char* file, BOOL prompt)
{
    if (!InitDriverAutomation())
        return FALSE;
    if (prompt) {
        OnCmExcelUpdateSheets();
        if (CXlConnectLayerDlg::s_bSaveCancelled)
            return FALSE;
    }
    m_bSavingWorkbook = 1;
    BOOL ok = m_pWorkbook->SaveCopyAs(file);
    CQUWksPageExternal* page = get_external_wks_page();
    if (!ok && page && !page->IsInternalSaving() && !qkuFileCanBeWrittenTo(file)) {
        CString message;
        message.Format(xlLoadString(IDS_XL_CANNOT_SAVE), page->GetName().c_str(), file);
        xlMessageBoxText(message, MB_OK);
    }
    m_bSavingWorkbook = 0;
    return ok;
}

BOOL CQUxlView::GetFileNameForSavingWorkbook(CString& file)
{
    if (!InitDriverAutomation())
        return FALSE;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    CString initial = CString(folder) + "Book.xls";
    CxlobjApplication* app = m_pWorkbook->GetApplication();
    COleVariant answer;
    BOOL ok = app && app->GetSaveAsFilename(initial, &answer) && answer.vt == VT_BSTR;
    delete app;
    if (ok)
        file = AfxStringFromBSTR(answer.bstrVal);
    return ok;
}

BOOL CQUxlView::OnSaveWorkbook(const char* file)
{
    if (file && *file)
        return SaveTheWorkbook(file, TRUE);
    CString chosen;
    return GetFileNameForSavingWorkbook(chosen) && SaveTheWorkbook(chosen, TRUE);
}

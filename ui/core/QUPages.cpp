#include "QUPages.h"

#include "QUGraphDoc.h"

#include "QUMatrixDialogs.h"

#include <afxwin.h>

#include "ChildFrame.h"
#include "QKSysMethod.h"
#include "ColumnFormatDlg.h"
#include "SortDlg.h"
#include "WorksheetScriptDlg.h"
#include "QUAxes.h"
#include "QUErrorBar.h"
#include "QUTextObj.h"
#include "QuorixDoc.h"

namespace {

CChildFrame* FrameOf(CQKPage* page)
{
    if (page->IsNoWnd())
        return nullptr;
    return DYNAMIC_DOWNCAST(CChildFrame, CWnd::FromHandlePermanent(page->GetFrameWnd()));
}

} // namespace

CQuorixDoc* QUPageWindow::GetDoc(const CQKPage* page)
{
    HWND drawing = page->GetDrawingWnd();
    CView* view = drawing ? DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(drawing)) : nullptr;
    return view ? DYNAMIC_DOWNCAST(CQuorixDoc, view->GetDocument()) : nullptr;
}

int QUPageWindow::CloseWnd(CQKPage* page)
{
    CQuorixDoc* doc = GetDoc(page);
    if (doc == nullptr)
        return 0;
    CFrameWnd* frame = doc->get_first_child_frame();
    doc->DisconnectPage();
    if (frame != nullptr)
        frame->SendMessage(WM_CLOSE);
    return 1;
}

int QUPageWindow::ShowFrame(CQKPage* page, int show)
{
    CChildFrame* frame = FrameOf(page);
    if (frame == nullptr)
        return 0;
    switch (show) {
    case SW_MINIMIZE: return frame->Minimize();
    case SW_MAXIMIZE: return frame->Maximize();
    case SW_RESTORE: return frame->Restore();
    default: return frame->Activate();
    }
}

int QUPageWindow::GetWindowState(CQKPage* page, std::string& text)
{
    CChildFrame* frame = FrameOf(page);
    if (!page->IsStatusVisible() || frame == nullptr) {
        text = page->GetWindowStateStr();
        return 1;
    }
    // Kept here rather than in the string table: the dialog library's strings use the
    // numbers these words would take in the resource chain.
    text = frame->IsIconic() ? "Minimized" : frame->IsZoomed() ? "Maximized" : "Normal";
    return 1;
}

int QUPageWindow::OnDestroy(CQKPage* page)
{
    if (CQuorixDoc* doc = GetDoc(page))
        doc->on_page_destroy_internally();
    return 1;
}

int QUPageWindow::OnInternalActivate(CQKPage* page, BOOL bRestore)
{
    CQuorixDoc* doc = GetDoc(page);
    return doc ? doc->OnInternalActivate(bRestore) : 0;
}

void QUPageWindow::OnPageChange(CQKPage* page, WORD change)
{
    if (CQuorixDoc* doc = GetDoc(page))
        doc->UpdateOnChange(change);
}

int QUPageWindow::SetPagespecificMenu(CQKPage* page, HMENU menu, BOOL bUpdate)
{
    CQuorixDoc* doc = GetDoc(page);
    return doc ? doc->OnSetPagespecificMenu(menu, bUpdate) : 0;
}

int QUPageWindow::ClearPagespecificMenu(CQKPage* page, BOOL bUpdate)
{
    CQuorixDoc* doc = GetDoc(page);
    return doc ? doc->OnClearPagespecificMenu(bUpdate) : 0;
}

int QUPageWindow::OnInternalSetTitle(CQKPage* page, const char* title)
{
    CQuorixDoc* doc = GetDoc(page);
    if (doc == nullptr)
        return 0;
    doc->SetTitle(title ? title : "", FALSE);
    return 1;
}

CQKTextObj* QUPageWindow::NewTextObj()
{
    return new (std::nothrow) CQUTextObj;
}

namespace {

CWnd* DialogParent(CQKPage* page)
{
    HWND frame = page->GetFrameWnd();
    return frame != nullptr && ::IsWindow(frame) ? CWnd::FromHandle(frame) : AfxGetMainWnd();
}

} // namespace

int CQUWksPage::LayerPlotContentsDialog(int*)
{
    CQUPlotObjEditDlg dialog(this);
    dialog.DoModal();
    return 1;
}

int CQUWksPage::ColumnFormatDialog(int column)
{
    CQUColumnFormatDlg dialog(this, column, DialogParent(this));
    dialog.DoModal();
    return 1;
}

int CQUWksPage::WorksheetScriptDialog()
{
    CQUWorksheetScriptDlg dialog(this, DialogParent(this));
    if (dialog.DoModal() != CQUWorksheetScriptDlg::kDoIt)
        return 1;
    std::string why;
    if (!RunScript(&why))
        AfxMessageBox(("The script of " + GetName() + " failed:\n" + why).c_str(), MB_ICONEXCLAMATION);
    return 1;
}

int CQUWksPage::GetClosePrompt()
{
    return qkfxGetQrxSystem().GetRefWks().GetClosePrompt();
}

CQKErrorBar* CQUWksPage::PgCreateCQKErrorBar()
{
    return new (std::nothrow) CQUErrorBar;
}

int CQUGraphPage::GetClosePrompt()
{
    return qkfxGetQrxSystem().GetRefGraph().GetClosePrompt();
}

int CQUGraphPage::RegisterGraphAsRunning(const char* path)
{
    CQuorixDoc* doc = get_doc();
    return doc != nullptr ? doc->OnInternalSetPathFileName(path, 0) : 0;
}

int CQUGraphPage::OnBeforeCloseWnd(DWORD)
{
    if (CQUGraphDoc* doc = DYNAMIC_DOWNCAST(CQUGraphDoc, get_doc()))
        doc->OnBeforeCloseWnd();
    return 1;
}

CQKAxes* CQUGraphPage::PgCreateCQKAxes()
{
    return new (std::nothrow) CQUAxes;
}

CQKErrorBar* CQUGraphPage::PgCreateCQKErrorBar()
{
    return new (std::nothrow) CQUErrorBar;
}

int CQULayoutPage::GetClosePrompt()
{
    return qkfxGetQrxSystem().GetRefGraph().GetLayoutClosePrompt();
}

int CQUMatrixPage::GetClosePrompt()
{
    return qkfxGetQrxSystem().GetRefWks().GetMatrixClosePrompt();
}

int CQUMatrixPage::OnEditProperties(int)
{
    CQUMatrixPropertyDialog dlg(this, DialogParent(this));
    dlg.DoModal();
    return 1;
}

int CQUMatrixPage::OnEditDimensions()
{
    CQUMatrixDimensionsDlg dlg(this, DialogParent(this));
    dlg.DoModal();
    return 1;
}

int CQUMatrixPage::EditMatrixValues()
{
    CQUSetMatrixValues dlg(this, nullptr);
    return dlg.DoModal() == IDOK ? 1 : 0;
}

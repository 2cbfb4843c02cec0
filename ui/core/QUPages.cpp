#include "QUPages.h"

#include <afxwin.h>

#include "ChildFrame.h"
#include "QKSysMethod.h"
#include "QUAxes.h"
#include "QUErrorBar.h"
#include "QUTextObj.h"
#include "QuorixDoc.h"

namespace {

// What the three page classes share; each class calls it with itself.
CQuorixDoc* DocOf(const CQKPage* page)
{
    HWND drawing = page->GetDrawingWnd();
    CView* view = drawing ? DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(drawing)) : nullptr;
    return view ? DYNAMIC_DOWNCAST(CQuorixDoc, view->GetDocument()) : nullptr;
}

CChildFrame* FrameOf(CQKPage* page)
{
    if (page->IsNoWnd())
        return nullptr;
    return DYNAMIC_DOWNCAST(CChildFrame, CWnd::FromHandlePermanent(page->GetFrameWnd()));
}

int CloseWindow(CQKPage* page)
{
    CQuorixDoc* doc = DocOf(page);
    if (doc == nullptr)
        return 0;
    CFrameWnd* frame = doc->get_first_child_frame();
    doc->DisconnectPage();
    if (frame != nullptr)
        frame->SendMessage(WM_CLOSE);
    return 1;
}

int WindowState(CQKPage* page, std::string& text)
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

int Destroying(CQKPage* page)
{
    if (CQuorixDoc* doc = DocOf(page))
        doc->on_page_destroy_internally();
    return 1;
}

int InternalActivate(CQKPage* page, BOOL bRestore)
{
    CQuorixDoc* doc = DocOf(page);
    return doc ? doc->OnInternalActivate(bRestore) : 0;
}

void PageChanged(CQKPage* page, WORD change)
{
    if (CQuorixDoc* doc = DocOf(page))
        doc->UpdateOnChange(change);
}

int SetMenu(CQKPage* page, HMENU menu, BOOL bUpdate)
{
    CQuorixDoc* doc = DocOf(page);
    return doc ? doc->OnSetPagespecificMenu(menu, bUpdate) : 0;
}

int ClearMenu(CQKPage* page, BOOL bUpdate)
{
    CQuorixDoc* doc = DocOf(page);
    return doc ? doc->OnClearPagespecificMenu(bUpdate) : 0;
}

int SetTitle(CQKPage* page, const char* title)
{
    CQuorixDoc* doc = DocOf(page);
    if (doc == nullptr)
        return 0;
    doc->SetTitle(title ? title : "", FALSE);
    return 1;
}

template <class Op>
int WithFrame(CQKPage* page, Op op)
{
    CChildFrame* frame = FrameOf(page);
    return frame ? op(frame) : 0;
}

CQKQrxSystem& Settings()
{
    return qkfxGetQrxSystem();
}

} // namespace

// ---- worksheet -----------------------------------------------------------------------------

CQUWksPage::CQUWksPage() : CQKWksPage(&qkfxGetProject(), std::string()) {}

CQuorixDoc* CQUWksPage::get_doc() const { return DocOf(this); }
int CQUWksPage::OnCloseWnd() { return CloseWindow(this); }
int CQUWksPage::Minimize() { return WithFrame(this, [](CChildFrame* f) { return f->Minimize(); }); }
int CQUWksPage::Restore() { return WithFrame(this, [](CChildFrame* f) { return f->Restore(); }); }
int CQUWksPage::Activate() { return WithFrame(this, [](CChildFrame* f) { return f->Activate(); }); }
int CQUWksPage::Maximize() { return WithFrame(this, [](CChildFrame* f) { return f->Maximize(); }); }
int CQUWksPage::GetWindowState(std::string& text) { return WindowState(this, text); }
int CQUWksPage::GetClosePrompt() { return Settings().GetRefWks().GetClosePrompt(); }
int CQUWksPage::OnDestroy() { return Destroying(this) && CQKWksPage::OnDestroy(); }
int CQUWksPage::OnInternalActivate(BOOL bRestore) { return InternalActivate(this, bRestore); }
void CQUWksPage::SetPageChange(WORD change)
{
    CQKWksPage::SetPageChange(change);
    PageChanged(this, change);
}
int CQUWksPage::SetPagespecificMenu(HMENU menu, BOOL bUpdate) { return SetMenu(this, menu, bUpdate); }
int CQUWksPage::ClearPagespecificMenu(BOOL bUpdate) { return ClearMenu(this, bUpdate); }
int CQUWksPage::OnInternalSetTitle(const char* title) { return SetTitle(this, title); }
CQKTextObj* CQUWksPage::PgCreateCQKTextObj() { return new (std::nothrow) CQUTextObj; }
CQKErrorBar* CQUWksPage::PgCreateCQKErrorBar() { return new (std::nothrow) CQUErrorBar; }

// ---- graph and layout ------------------------------------------------------------------

CQUGraphPage::CQUGraphPage() : CQKGraphPage(&qkfxGetProject(), std::string()) {}
CQUGraphPage::CQUGraphPage(QKPageType type) : CQKGraphPage(&qkfxGetProject(), std::string(), type) {}

CQuorixDoc* CQUGraphPage::get_doc() const { return DocOf(this); }
int CQUGraphPage::OnCloseWnd() { return CloseWindow(this); }
int CQUGraphPage::Minimize() { return WithFrame(this, [](CChildFrame* f) { return f->Minimize(); }); }
int CQUGraphPage::Restore() { return WithFrame(this, [](CChildFrame* f) { return f->Restore(); }); }
int CQUGraphPage::Activate() { return WithFrame(this, [](CChildFrame* f) { return f->Activate(); }); }
int CQUGraphPage::Maximize() { return WithFrame(this, [](CChildFrame* f) { return f->Maximize(); }); }
int CQUGraphPage::GetWindowState(std::string& text) { return WindowState(this, text); }
int CQUGraphPage::GetClosePrompt() { return Settings().GetRefGraph().GetClosePrompt(); }
int CQUGraphPage::OnDestroy() { return Destroying(this) && CQKGraphPage::OnDestroy(); }
int CQUGraphPage::OnInternalActivate(BOOL bRestore) { return InternalActivate(this, bRestore); }
void CQUGraphPage::SetPageChange(WORD change)
{
    CQKGraphPage::SetPageChange(change);
    PageChanged(this, change);
}
int CQUGraphPage::SetPagespecificMenu(HMENU menu, BOOL bUpdate) { return SetMenu(this, menu, bUpdate); }
int CQUGraphPage::ClearPagespecificMenu(BOOL bUpdate) { return ClearMenu(this, bUpdate); }
int CQUGraphPage::OnInternalSetTitle(const char* title) { return SetTitle(this, title); }
CQKTextObj* CQUGraphPage::PgCreateCQKTextObj() { return new (std::nothrow) CQUTextObj; }
CQKAxes* CQUGraphPage::PgCreateCQKAxes() { return new (std::nothrow) CQUAxes; }
CQKErrorBar* CQUGraphPage::PgCreateCQKErrorBar() { return new (std::nothrow) CQUErrorBar; }

CQULayoutPage::CQULayoutPage() : CQUGraphPage(QK_PAGE_LAYOUT) {}
int CQULayoutPage::GetClosePrompt() { return Settings().GetRefGraph().GetLayoutClosePrompt(); }

// ---- matrix ----------------------------------------------------------------------------

CQUMatrixPage::CQUMatrixPage() : CQKMatrixPage(&qkfxGetProject(), std::string()) {}

CQuorixDoc* CQUMatrixPage::get_doc() const { return DocOf(this); }
int CQUMatrixPage::OnCloseWnd() { return CloseWindow(this); }
int CQUMatrixPage::Minimize() { return WithFrame(this, [](CChildFrame* f) { return f->Minimize(); }); }
int CQUMatrixPage::Restore() { return WithFrame(this, [](CChildFrame* f) { return f->Restore(); }); }
int CQUMatrixPage::Activate() { return WithFrame(this, [](CChildFrame* f) { return f->Activate(); }); }
int CQUMatrixPage::Maximize() { return WithFrame(this, [](CChildFrame* f) { return f->Maximize(); }); }
int CQUMatrixPage::GetWindowState(std::string& text) { return WindowState(this, text); }
int CQUMatrixPage::GetClosePrompt() { return Settings().GetRefWks().GetMatrixClosePrompt(); }
int CQUMatrixPage::OnDestroy() { return Destroying(this) && CQKMatrixPage::OnDestroy(); }
int CQUMatrixPage::OnInternalActivate(BOOL bRestore) { return InternalActivate(this, bRestore); }
void CQUMatrixPage::SetPageChange(WORD change)
{
    CQKMatrixPage::SetPageChange(change);
    PageChanged(this, change);
}
int CQUMatrixPage::SetPagespecificMenu(HMENU menu, BOOL bUpdate) { return SetMenu(this, menu, bUpdate); }
int CQUMatrixPage::ClearPagespecificMenu(BOOL bUpdate) { return ClearMenu(this, bUpdate); }
int CQUMatrixPage::OnInternalSetTitle(const char* title) { return SetTitle(this, title); }
CQKTextObj* CQUMatrixPage::PgCreateCQKTextObj() { return new (std::nothrow) CQUTextObj; }

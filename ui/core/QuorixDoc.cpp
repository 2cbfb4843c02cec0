#include "QuorixDoc.h"

#include "QKData.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixSrvrItem.h"

IMPLEMENT_DYNCREATE(CQuorixDoc, COleServerDoc)

BEGIN_DISPATCH_MAP(CQuorixDoc, COleServerDoc)
END_DISPATCH_MAP()

CQuorixDoc* CQuorixDoc::pQrxDocLinkingProject = nullptr;

namespace {

CQKAccess* Kernel()
{
    CQuorixApp* app = GetQuorixApp();
    if (app != nullptr && app->GetAccess() != nullptr)
        return app->GetAccess();
    return qkfxGetAccess();
}

} // namespace

CQuorixDoc::CQuorixDoc()
{
    EnableCompoundFile();
    EnableAutomation();
    AfxOleLockApp();
}

CQuorixDoc::~CQuorixDoc()
{
    if (pQrxDocLinkingProject == this)
        pQrxDocLinkingProject = nullptr;
    if (m_hPageMenu != nullptr)
        ::DestroyMenu(m_hPageMenu);
    AfxOleUnlockApp();
}

CQrxMultiDocTemplate* CQuorixDoc::get_doc_template() const
{
    return DYNAMIC_DOWNCAST(CQrxMultiDocTemplate, m_pDocTemplate);
}

CView* CQuorixDoc::get_first_view() const
{
    POSITION pos = GetFirstViewPosition();
    return pos ? GetNextView(pos) : nullptr;
}

CFrameWnd* CQuorixDoc::get_first_child_frame() const
{
    CView* view = get_first_view();
    return view ? view->GetParentFrame() : nullptr;
}

BOOL CQuorixDoc::is_being_created_internally() const
{
    CQrxMultiDocTemplate* t = get_doc_template();
    return t != nullptr && t->doc_being_created_internally();
}

BOOL CQuorixDoc::is_being_created_invisible() const
{
    CQrxMultiDocTemplate* t = get_doc_template();
    return t != nullptr && t->doc_being_created_invisible();
}

CQKPage* CQuorixDoc::get_new_internally_created_page() const
{
    CQrxMultiDocTemplate* t = get_doc_template();
    return t ? t->get_new_internally_created_page() : nullptr;
}

BOOL CQuorixDoc::is_ole_first_new()
{
    if (test_status(1) || !m_bEmbedded)
        return FALSE;
    set_status(1);
    return TRUE;
}

BOOL CQuorixDoc::OnNewDocument()
{
    if (is_being_created_invisible())
        m_bEmbedded = FALSE;
    if (is_ole_first_new())
        return COleLinkingDoc::OnNewDocument();
    if (!COleLinkingDoc::OnNewDocument())
        return FALSE;
    CQKPage* page = nullptr;
    if (is_being_created_internally()) {
        page = get_new_internally_created_page();
    } else {
        CFrameWnd* frame = get_first_child_frame();
        page = Kernel()->CreateNewPage(get_desired_page_type(), frame ? frame->GetSafeHwnd() : nullptr, "", 0);
    }
    if (page == nullptr)
        return FALSE;
    m_pPage = page;
    SetFrameAndDrawingWindows();
    // The window is called as its page is, which the kernel named.
    SetNiceTitle(TRUE);
    return TRUE;
}

BOOL CQuorixDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    // Page windows are always opened from a file; the kernel reads it.
    if (lpszPathName == nullptr || *lpszPathName == '\0')
        return FALSE;
    if (!COleLinkingDoc::OnNewDocument())
        return FALSE;
    CQKAccess* kernel = Kernel();
    if (kernel->IsProjectFileName(lpszPathName)) {
        pQrxDocLinkingProject = this;
        return kernel->OpenProjectFile(lpszPathName);
    }
    CFrameWnd* frame = get_first_child_frame();
    CQKPage* page = kernel->CreateNewPage(get_desired_page_type(), frame ? frame->GetSafeHwnd() : nullptr,
                                          lpszPathName, 1);
    if (page == nullptr)
        return FALSE;
    m_pPage = page;
    page->SetFullPathFileName(lpszPathName);
    SetNiceTitle(FALSE);
    SetFrameAndDrawingWindows();
    return TRUE;
}

void CQuorixDoc::OnCloseDocument()
{
    CQKPage* page = DisconnectPage();
    if (page != nullptr && !is_being_created_internally())
        page->Destroy();
    COleServerDoc::OnCloseDocument();
}

BOOL CQuorixDoc::SaveModified()
{
    CQuorixApp* app = GetQuorixApp();
    if (m_pPage != nullptr && !m_pPage->OnClosingQuery(app != nullptr && app->IsClosingAllWindows()))
        return FALSE;
    if (!m_bEmbedded)
        return TRUE;
    if (!COleServerDoc::SaveModified())
        return FALSE;
    if (app != nullptr && !app->IsClosingAllWindows())
        app->OnInitStandalone();
    return TRUE;
}

HMENU CQuorixDoc::GetDefaultMenu()
{
    return m_hPageMenu != nullptr ? m_hPageMenu : COleServerDoc::GetDefaultMenu();
}

void CQuorixDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SavePage(ar);
        return;
    }
    CFrameWnd* frame = get_first_child_frame();
    m_pPage = Kernel()->CreateNewPage(get_desired_page_type(), frame ? frame->GetSafeHwnd() : nullptr,
                                      reinterpret_cast<const char*>(&ar), 2);
    if (m_pPage == nullptr)
        AfxThrowArchiveException(CArchiveException::badIndex);
    SetFrameAndDrawingWindows();
    SetNiceTitle(TRUE);
}

void CQuorixDoc::SavePage(CArchive& ar)
{
    // The page writes to the archive's file itself: what the archive holds goes first. An
    // OLE storage always carries the windows of the data the page draws (the kernel's
    // embedded form): a copied page is loaded by another program that has none of them.
    ar.Flush();
    if (m_pPage == nullptr || !m_pPage->SavePageFile(ar.GetFile(), TRUE))
        AfxThrowArchiveException(CArchiveException::generic);
}

BOOL CQuorixDoc::OnUpdateDocument()
{
    BOOL result = COleServerDoc::OnUpdateDocument();
    UpdateAllItems(nullptr);
    return result;
}

COleServerItem* CQuorixDoc::OnGetEmbeddedItem()
{
    return new CQuorixSrvrItem(this);
}

void CQuorixDoc::OnDeactivateUI(BOOL bUndoable)
{
    if (m_pPage != nullptr && m_pPage->GetPageChange() != 0 && !m_bInDrawing)
        UpdateAllItems(nullptr);
    COleServerDoc::OnDeactivateUI(bUndoable);
}

int CQuorixDoc::OnInternalSetPathFileName(const char*, unsigned long)
{
    return 1;
}

int CQuorixDoc::ConnectPage(CQKPage* page)
{
    m_pPage = page;
    SetFrameAndDrawingWindows();
    return 1;
}

CQKPage* CQuorixDoc::DisconnectPage()
{
    CQKPage* page = m_pPage;
    if (page == nullptr)
        return nullptr;
    page->SetTheFrameWnd(nullptr);
    page->SetTheDrawingWnd(nullptr);
    m_pPage = nullptr;
    return page;
}

void CQuorixDoc::SetFrameAndDrawingWindows()
{
    if (m_pPage == nullptr)
        return;
    CFrameWnd* frame = get_first_child_frame();
    CView* view = get_first_view();
    m_pPage->SetTheFrameWnd(frame ? frame->GetSafeHwnd() : nullptr);
    m_pPage->SetTheDrawingWnd(view ? view->GetSafeHwnd() : nullptr);
}

void CQuorixDoc::on_page_destroy_internally()
{
    if (m_pPage == nullptr)
        return;
    m_pPage->SetTheFrameWnd(nullptr);
    m_pPage->SetTheDrawingWnd(nullptr);
    m_pPage = nullptr;
    if (CFrameWnd* frame = get_first_child_frame())
        frame->SendMessage(WM_CLOSE);
}

int CQuorixDoc::OnInternalActivate(BOOL bRestore)
{
    CFrameWnd* frame = get_first_child_frame();
    HWND client = frame ? ::GetParent(frame->GetSafeHwnd()) : nullptr;
    if (client == nullptr)
        return 1;
    if (bRestore && frame->IsIconic())
        ::SendMessage(client, WM_MDIRESTORE, (WPARAM)frame->GetSafeHwnd(), 0);
    ::SendMessage(client, WM_MDIACTIVATE, (WPARAM)frame->GetSafeHwnd(), 0);
    return 1;
}

void CQuorixDoc::UpdateOnChange(unsigned short change)
{
    if (change != 0 && m_bInDrawing)
        return;
    SetModifiedFlag(change != 0);
    CQuorixApp* app = GetQuorixApp();
    if (change != 0 && !m_bEmbedded && app != nullptr && app->GetAccess() != nullptr &&
        app->GetAccess()->IsEmbeddingOpened())
        app->SetEmbeddedDirty(TRUE);
}

void CQuorixDoc::SetTitle(LPCTSTR lpszTitle)
{
    COleServerDoc::SetTitle(lpszTitle);
    std::string name;
    CString itemName = m_pPage != nullptr && m_pPage->GetName(name) ? CString(name.c_str()) : GetTitle();
    POSITION pos = GetStartPosition();
    while (COleServerItem* item = GetNextServerItem(pos))
        item->SetItemName(itemName);
}

void CQuorixDoc::SetTitle(const char* title, BOOL bRenamePage)
{
    SetTitle((LPCTSTR)title);
    if (m_pPage == nullptr || !bRenamePage)
        return;
    std::string name = title ? title : "";
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    int changed = 0;
    m_pPage->SetName(name, &changed);
    if (changed)
        SetTitle((LPCTSTR)name.c_str());
}

void CQuorixDoc::SetNiceTitle(BOOL bPageName)
{
    std::string name;
    if (bPageName && m_pPage != nullptr && m_pPage->GetName(name)) {
        SetTitle(name.c_str(), FALSE);
        return;
    }
    CString title = GetTitle();
    SetTitle((const char*)(LPCTSTR)title, TRUE);
}

int CQuorixDoc::SetUniqueTitle(const char* base, int* out)
{
    CQrxMultiDocTemplate* t = get_doc_template();
    if (t == nullptr)
        return 0;
    CString title;
    t->CreateNewDocTitle(title, this, base, out);
    SetTitle((const char*)(LPCTSTR)title, TRUE);
    return 1;
}

int CQuorixDoc::UpdateTitleFromPage()
{
    std::string name;
    if (m_pPage == nullptr || !m_pPage->GetName(name))
        return 0;
    SetTitle(name.c_str(), FALSE);
    return 1;
}

int CQuorixDoc::OnSetPagespecificMenu(HMENU menu, BOOL bUpdate)
{
    m_hPageMenu = menu;
    if (bUpdate)
        UpdateFrameMenu();
    return 1;
}

int CQuorixDoc::DestroyPageSpecificMenu(BOOL bUpdate)
{
    if (m_hPageMenu == nullptr)
        return 1;
    HMENU menu = m_hPageMenu;
    m_hPageMenu = nullptr;
    if (bUpdate)
        UpdateFrameMenu();
    ::DestroyMenu(menu);
    return 1;
}

int CQuorixDoc::UpdateFrameMenu()
{
    CMDIChildWnd* child = DYNAMIC_DOWNCAST(CMDIChildWnd, get_first_child_frame());
    CMDIFrameWnd* mdi = child ? child->GetMDIFrame() : nullptr;
    if (mdi == nullptr || mdi->MDIGetActive() != child)
        return 1;
    child->OnUpdateFrameMenu(TRUE, child, nullptr);
    mdi->DrawMenuBar();
    return 1;
}

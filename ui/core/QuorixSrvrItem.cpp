#include "QuorixSrvrItem.h"

#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"
#include "QUAccess.h"
#include "QUGraphDoc.h"
#include "QuorixApp.h"
#include "QuorixDoc.h"
#include "QUQrxSystem.h"

IMPLEMENT_DYNAMIC(CQuorixSrvrItem, COleServerItem)
IMPLEMENT_DYNAMIC(CQUWksSrvrItem, CQuorixSrvrItem)
IMPLEMENT_DYNAMIC(CQUGraphSrvrItem, CQuorixSrvrItem)
IMPLEMENT_DYNAMIC(CQUMatrixSrvrItem, CQuorixSrvrItem)
IMPLEMENT_DYNAMIC(CQULayoutSrvrItem, CQUGraphSrvrItem)

namespace {

CQKAccess* Kernel()
{
    CQuorixApp* app = GetQuorixApp();
    if (app != nullptr && app->GetAccess() != nullptr)
        return app->GetAccess();
    return qkfxGetAccess();
}

CQKGraphPage* GraphPage(CQuorixDoc* doc)
{
    return doc != nullptr ? dynamic_cast<CQKGraphPage*>(doc->GetPage()) : nullptr;
}

// A device context of the document's first view (the screen's without one), released
// when it goes.
class CViewDC {
public:
    explicit CViewDC(CQuorixDoc* doc)
    {
        CView* view = doc != nullptr ? doc->get_first_view() : nullptr;
        m_hWnd = view != nullptr ? view->GetSafeHwnd() : nullptr;
        m_hDC = ::GetDC(m_hWnd);
    }
    ~CViewDC() { ::ReleaseDC(m_hWnd, m_hDC); }
    HDC m_hDC;

private:
    HWND m_hWnd;
};

} // namespace

CQuorixSrvrItem::CQuorixSrvrItem(CQuorixDoc* pDoc, BOOL bAutoDelete) : COleServerItem(pDoc, bAutoDelete)
{
    if (pDoc != nullptr && pDoc->GetPage() != nullptr) {
        std::string name;
        SetItemName(pDoc->GetPage()->GetName(name) ? name.c_str() : (LPCTSTR)pDoc->GetTitle());
    }
    FORMATETC emf = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    GetDataSource()->DelayRenderData(CF_ENHMETAFILE, &emf);
    GetDataSource()->DelayRenderFileData(CF_METAFILEPICT);
}

CQuorixSrvrItem::~CQuorixSrvrItem()
{
    CleanupCachedEMF();
}

void CQuorixSrvrItem::CleanupCachedEMF()
{
    if (m_hEMF != nullptr) {
        ::DeleteEnhMetaFile(m_hEMF);
        m_hEMF = nullptr;
    }
}

void CQuorixSrvrItem::Serialize(CArchive& ar)
{
    if (!IsLinkedItem())
        GetDocument()->Serialize(ar);
}

BOOL CQuorixSrvrItem::OnGetExtent(DVASPECT nDrawAspect, CSize& rSize)
{
    if (nDrawAspect != DVASPECT_CONTENT)
        return COleServerItem::OnGetExtent(nDrawAspect, rSize);
    SIZE size = {4000, 3000};
    if (CQKPage* page = GetDocument()->GetPage())
        page->GetPageSize(size);
    rSize = CSize(size.cx, size.cy);
    return TRUE;
}

void CQuorixSrvrItem::ShutDownWithLinkWhenHidden()
{
    CQuorixDoc* doc = GetDocument();
    CWnd* main = AfxGetMainWnd();
    if (IsLinkedItem() && (main == nullptr || !main->IsWindowVisible()))
        doc->SetShutDownOnFinalRelease(TRUE);
}

BOOL CQuorixSrvrItem::OnDraw(CDC* pDC, CSize&)
{
    CQuorixDoc* doc = GetDocument();
    doc->set_in_drawing(1);
    CViewDC viewDC(doc);
    CQKGraphPage* page = GraphPage(doc);
    HENHMETAFILE emf = page != nullptr ? page->CopyPageEnhancedMetafile(viewDC.m_hDC) : nullptr;
    if (emf == nullptr) {
        CleanupCachedEMF();
        doc->set_in_drawing(0);
        return FALSE;
    }
    HMETAFILE wmf = qkuConvertEMFtoWMFEx(emf, viewDC.m_hDC, MM_ANISOTROPIC);
    CleanupCachedEMF();
    m_hEMF = emf;
    if (wmf != nullptr) {
        ::PlayMetaFile(pDC->GetSafeHdc(), wmf);
        ::DeleteMetaFile(wmf);
    }
    doc->set_in_drawing(0);
    ShutDownWithLinkWhenHidden();
    return TRUE;
}

HMETAFILE CQuorixSrvrItem::GetOrdinaryMetafile(CSize& size)
{
    CleanupCachedEMF();
    CQuorixDoc* doc = GetDocument();
    doc->set_in_drawing(1);
    CQKGraphPage* page = GraphPage(doc);
    HMETAFILE wmf = nullptr;
    SIZE extent = {0, 0};
    if (page != nullptr) {
        CViewDC viewDC(doc);
        if (page->IsSimpleCopyExport()) {
            wmf = page->OrdinaryMF(viewDC.m_hDC, extent);
        } else if (HENHMETAFILE emf = page->CreateEMFEx(viewDC.m_hDC, GetCreateEMFForCopyPageOptions())) {
            wmf = qkuConvertEMFtoWMFEx(emf, viewDC.m_hDC, MM_ANISOTROPIC);
            m_hEMF = emf;
            page->GetPageSize(extent);
        }
    }
    doc->set_in_drawing(0);
    size = CSize(extent.cx, extent.cy);
    ShutDownWithLinkWhenHidden();
    return wmf;
}

BOOL CQuorixSrvrItem::GetMetafileData(LPFORMATETC f, LPSTGMEDIUM m)
{
    if (!(f->tymed & TYMED_MFPICT) || m->tymed != TYMED_NULL || f->dwAspect != DVASPECT_CONTENT)
        return FALSE;
    CleanupCachedEMF();
    CQKGraphPage* page = GraphPage(GetDocument());
    if (page == nullptr || !page->CheckCopyExportSupport(1))
        return FALSE;
    CSize size(0, 0);
    HMETAFILE wmf = GetOrdinaryMetafile(size);
    if (wmf == nullptr)
        return FALSE;
    if (size.cx == 0 && size.cy == 0)
        OnGetExtent(DVASPECT_CONTENT, size);
    return SetMetafilePictMedium(wmf, size, m);
}

BOOL CQuorixSrvrItem::OnRenderData(LPFORMATETC f, LPSTGMEDIUM m)
{
    if (f->lindex != -1)
        return FALSE;
    if (f->cfFormat == CF_ENHMETAFILE)
        return GetEnhancedMetafileData(f, m);
    return COleServerItem::OnRenderData(f, m);
}

BOOL CQuorixSrvrItem::GetEnhancedMetafileData(LPFORMATETC, LPSTGMEDIUM m)
{
    if (m_hEMF == nullptr)
        return FALSE;
    if (!qkfxIsPutEMFOnClipboard()) {
        m->hEnhMetaFile = nullptr;
        CleanupCachedEMF();
        return FALSE;
    }
    m->tymed = TYMED_ENHMF;
    m->hEnhMetaFile = m_hEMF;
    m->pUnkForRelease = nullptr;
    m_hEMF = nullptr;
    return TRUE;
}

BOOL CQuorixSrvrItem::OnRenderFileData(LPFORMATETC f, CFile* pFile)
{
    if (f->cfFormat != CF_METAFILEPICT)
        return COleServerItem::OnRenderFileData(f, pFile);
    return save_to_file(pFile);
}

BOOL CQuorixSrvrItem::save_to_file(CFile* pFile)
{
    CQKPage* page = GetDocument()->GetPage();
    try {
        return page != nullptr && page->SavePageFile(pFile, 0);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

void CQuorixSrvrItem::OnShow()
{
    // In place only when the user's options ask for it (Options, Graph page).
    int inPlace = 0;
    CQUQrxSystem* system = dynamic_cast<CQUQrxSystem*>(Kernel()->GetQrxSystem());
    if (system != nullptr)
        system->GetRefOperations().GetInPlaceActivate(&inPlace);
    if (!inPlace) {
        OnOpen();
        return;
    }
    CQuorixDoc* doc = GetDocument();
    if (doc->GetEmbeddedItem() == this && doc->HasClientSiteConnection()) {
        Kernel()->SetInPlaceActive(1);
        if (CQKPage* page = doc->GetPage())
            page->OnActivate(nullptr);
    }
    COleServerItem::OnShow();
}

void CQuorixSrvrItem::OnOpen()
{
    CQuorixDoc* doc = GetDocument();
    CQuorixApp* app = GetQuorixApp();
    Kernel()->SetInPlaceActive(0);
    if (doc->IsEmbedded() && app != nullptr)
        app->InitEmbeddingSession();
    if (doc->GetPage() == nullptr) {
        if (CFrameWnd* frame = doc->get_first_child_frame())
            frame->PostMessage(WM_CLOSE);
        CQuorixDoc::pQrxDocLinkingProject = nullptr;
        AfxOleSetUserCtrl(TRUE);
        if (CWnd* main = AfxGetMainWnd()) {
            main->ShowWindow(SW_SHOW);
            main->SetActiveWindow();
        }
        return;
    }
    COleServerItem::OnOpen();
    if (doc->IsEmbedded())
        AfxOleSetUserCtrl(TRUE);
    else
        doc->UpdateTitleFromPage();
    if (CFrameWnd* frame = doc->get_first_child_frame()) {
        CWnd* main = AfxGetMainWnd();
        HWND client = main != nullptr ? ::FindWindowExA(main->GetSafeHwnd(), nullptr, "MDICLIENT", nullptr) : nullptr;
        if (client != nullptr)
            ::SendMessageA(client, WM_MDIACTIVATE, (WPARAM)frame->GetSafeHwnd(), 0);
    }
}

COleDataSource* CQULayoutSrvrItem::OnGetClipboardData(BOOL, LPPOINT, LPSIZE)
{
    COleDataSource* source = new COleDataSource;
    AddOtherClipboardData(source);
    return source;
}

DWORD CQULayoutSrvrItem::GetCreateEMFForCopyPageOptions()
{
    return qkfxGetSysValue("CL") != 0 ? QK_EMF_NO_PAPER : 0;
}

#include "QrxMultiDocTemplate.h"

#include <ctype.h>
#include <mbstring.h>

#include "QKData.h"
#include "QKUtil.h"
#include "QUDDMenuTagMap.h"
#include "QuorixApp.h"
#include "QuorixDoc.h"

IMPLEMENT_DYNAMIC(CQrxMultiDocTemplate, CMultiDocTemplate)
IMPLEMENT_DYNAMIC(CWorksheetMultiDocTemplate, CQrxMultiDocTemplate)
IMPLEMENT_DYNAMIC(CGraphMultiDocTemplate, CQrxMultiDocTemplate)
IMPLEMENT_DYNAMIC(CMatrixMultiDocTemplate, CQrxMultiDocTemplate)
IMPLEMENT_DYNAMIC(CxlMultiDocTemplate, CQrxMultiDocTemplate)
IMPLEMENT_DYNAMIC(CLayoutMultiDocTemplate, CQrxMultiDocTemplate)
IMPLEMENT_DYNAMIC(CNotesMultiDocTemplate, CQrxMultiDocTemplate)

namespace {

bool SameTitle(const char* a, const char* b)
{
    return _mbsicmp((const unsigned char*)a, (const unsigned char*)b) == 0;
}

CFrameWnd* FirstFrame(CDocument* doc)
{
    POSITION pos = doc->GetFirstViewPosition();
    CView* view = pos ? doc->GetNextView(pos) : nullptr;
    return view ? view->GetParentFrame() : nullptr;
}

BOOL RegisteringShellFileTypes()
{
    CQuorixApp* app = GetQuorixApp();
    return app != nullptr && app->InRegisteringShellFileTypes();
}

} // namespace

CQrxMultiDocTemplate::CQrxMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                           CRuntimeClass* pViewClass)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CQrxMultiDocTemplate::~CQrxMultiDocTemplate()
{
    delete m_pTagMap;
}

void CQrxMultiDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    CMultiDocTemplate::InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
}

void CQrxMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CMultiDocTemplate::SetDefaultTitle(pDocument);
}

int CQrxMultiDocTemplate::OnPrinterChanged(DWORD)
{
    return 1;
}

int CQrxMultiDocTemplate::GetQuorixTemplateExtension(CString& extension)
{
    extension = "QTW";
    return 1;
}

int CQrxMultiDocTemplate::OnInternalSetPathFileName(const char* path, DWORD value)
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        if (CQuorixDoc* qdoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc))
            qdoc->OnInternalSetPathFileName(path, value);
    }
    return 1;
}

int CQrxMultiDocTemplate::get_template_id()
{
    return -1;
}

CDocument* CQrxMultiDocTemplate::TryCreateDocument(CQKPage*, BOOL bVisible)
{
    return OpenDocumentFile(nullptr, bVisible);
}

int CQrxMultiDocTemplate::OnInternalNewPage(CQKPage* page, BOOL bVisible)
{
    m_pInternalPage = page;
    m_bCreatingInvisible = bVisible ? 0 : 1;
    CDocument* doc = nullptr;
    try {
        doc = TryCreateDocument(page, bVisible);
    } catch (...) {
        m_pInternalPage = nullptr;
        throw;
    }
    m_pInternalPage = nullptr;
    if (doc == nullptr)
        return 0;
    CFrameWnd* frame = FirstFrame(doc);
    page->SetWindow(frame ? frame->GetSafeHwnd() : nullptr, 1);
    return 1;
}

CQUDDMenuTagMap* CQrxMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return nullptr;
}

void CQrxMultiDocTemplate::Init()
{
    delete m_pTagMap;
    m_pTagMap = CreateQUDDMenuTagMapObject();
    if (m_pTagMap != nullptr)
        m_pTagMap->Init();
}

int CQrxMultiDocTemplate::GetNumDocs() const
{
    return (int)m_docList.GetCount();
}

CDocument* CQrxMultiDocTemplate::FindDocument(const char* title) const
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        if (SameTitle(doc->GetTitle(), title ? title : ""))
            return doc;
    }
    return nullptr;
}

CDocument* CQrxMultiDocTemplate::FindDocumentByPageName(const char* name) const
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CQuorixDoc* doc = DYNAMIC_DOWNCAST(CQuorixDoc, GetNextDoc(pos));
        if (doc == nullptr)
            return nullptr;
        std::string pageName;
        if (doc->GetPage() != nullptr && doc->GetPage()->GetName(pageName) &&
            SameTitle(pageName.c_str(), name ? name : ""))
            return doc;
    }
    return nullptr;
}

int CQrxMultiDocTemplate::CreateNewDocTitle(CString& out, CDocument* doc, const char* base, int* pChanged)
{
    CString stem;
    if (base != nullptr && *base != '\0') {
        stem = base;
    } else {
        CString docName;
        if (GetDocString(docName, CDocTemplate::docName) && !docName.IsEmpty())
            stem = docName + "1";
    }
    // Every document is looked at, not only the first of a title: the document being
    // named may hold the title while another one holds it too.
    auto takenByOther = [&](const CString& title) {
        POSITION pos = GetFirstDocPosition();
        while (pos != nullptr) {
            CDocument* other = GetNextDoc(pos);
            if (other != doc && SameTitle(other->GetTitle(), title))
                return true;
        }
        return false;
    };
    out = stem;
    int count = 0;
    while (takenByOther(out))
        out.Format("%s%d", (LPCTSTR)stem, ++count);
    if (pChanged != nullptr)
        *pChanged = count > 0 ? 1 : 0;
    return 1;
}

int CQrxMultiDocTemplate::SynchronizeDocNamesWithPageNames()
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CQuorixDoc* doc = DYNAMIC_DOWNCAST(CQuorixDoc, GetNextDoc(pos));
        if (doc == nullptr)
            return 0;
        doc->SetNiceTitle(TRUE);
    }
    return 1;
}

int CQrxMultiDocTemplate::SetEmbeddedDirty(BOOL flag)
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        if (doc->m_bEmbedded) {
            doc->SetModifiedFlag(flag);
            return 1;
        }
    }
    return 0;
}

int CQrxMultiDocTemplate::ReloadCleanMenu(HMENU& old)
{
    old = m_hMenuShared;
    if (m_nIDResource != 0) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(m_nIDResource), RT_MENU);
        HMENU menu = ::LoadMenuA(module, MAKEINTRESOURCE(m_nIDResource));
        if (menu != nullptr)
            m_hMenuShared = menu;
    }
    // Frames read the shared menu when they become active: the active one is told now.
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CFrameWnd* frame = FirstFrame(GetNextDoc(pos));
        if (CMDIChildWnd* child = DYNAMIC_DOWNCAST(CMDIChildWnd, frame)) {
            CMDIFrameWnd* mdi = child->GetMDIFrame();
            if (mdi != nullptr && mdi->MDIGetActive() == child)
                child->OnUpdateFrameMenu(TRUE, child, nullptr);
        }
    }
    if (m_pTagMap != nullptr)
        m_pTagMap->Init();
    return 1;
}

// ---- kinds -------------------------------------------------------------------------------

CQUDDMenuTagMap* CWorksheetMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQUWksDDMenuTagMap;
}

CQUDDMenuTagMap* CGraphMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQUGraphDDMenuTagMap;
}

CDocument* CGraphMultiDocTemplate::TryCreateDocument(CQKPage* page, BOOL bVisible)
{
    CQuorixDoc* linking = CQuorixDoc::pQrxDocLinkingProject;
    if (linking != nullptr && linking->GetPage() == nullptr &&
        linking->GetDocTemplate() == this) {
        linking->ConnectPage(page);
        linking->SetNiceTitle(TRUE);
        return linking;
    }
    return CQrxMultiDocTemplate::TryCreateDocument(page, bVisible);
}

CQUDDMenuTagMap* CMatrixMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQUMatrixDDMenuTagMap;
}

BOOL CxlMultiDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    if (RegisteringShellFileTypes()) {
        rString.Empty();
        return FALSE;
    }
    return CQrxMultiDocTemplate::GetDocString(rString, index);
}

void CxlMultiDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    CQKWksPage* page = dynamic_cast<CQKWksPage*>(m_pInternalPage);
    if (page != nullptr && page->IsExternalHidden())
        bMakeVisible = FALSE;
    CQrxMultiDocTemplate::InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
}

CDocument* CxlMultiDocTemplate::TryCreateDocument(CQKPage* page, BOOL)
{
    CQKWksPage* wks = dynamic_cast<CQKWksPage*>(page);
    if (wks == nullptr || wks->GetFileNameForLoading().empty())
        return OpenDocumentFile(nullptr, TRUE);
    CQuorixApp* app = GetQuorixApp();
    int wasDisabled = app ? app->AddingToMRUDisabled() : 0;
    if (app)
        app->DisableAddingToMRU(TRUE);
    CDocument* doc = nullptr;
    try {
        doc = OpenDocumentFile(wks->GetFileNameForLoading().c_str(), TRUE);
    } catch (...) {
        if (app)
            app->DisableAddingToMRU(wasDisabled);
        throw;
    }
    if (app)
        app->DisableAddingToMRU(wasDisabled);
    return doc;
}

CQUDDMenuTagMap* CxlMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQUxlDDMenuTagMap;
}

BOOL CxlMultiDocTemplate::IsFileNameAmongOpened(const char* path) const
{
    if (path == nullptr || *path == '\0')
        return FALSE;
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        std::string file;
        if (CQuorixDoc* qdoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc))
            if (CQKWksPage* wks = dynamic_cast<CQKWksPage*>(qdoc->GetPage()))
                file = wks->GetFileNameForLoading();
        if (file.empty())
            file = (LPCTSTR)doc->GetPathName();
        if (!file.empty() && SameTitle(file.c_str(), path))
            return TRUE;
    }
    return FALSE;
}

BOOL CLayoutMultiDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    if (RegisteringShellFileTypes()) {
        rString.Empty();
        return FALSE;
    }
    return CQrxMultiDocTemplate::GetDocString(rString, index);
}

CQUDDMenuTagMap* CLayoutMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQULayoutDDMenuTagMap;
}

// ---- notes -------------------------------------------------------------------------------

BOOL CNotesMultiDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    if (RegisteringShellFileTypes()) {
        rString.Empty();
        return FALSE;
    }
    return CQrxMultiDocTemplate::GetDocString(rString, index);
}

void CNotesMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    CreateNewWindowName(title, "Notes", nullptr);
    pDocument->SetTitle(title);
}

CQUDDMenuTagMap* CNotesMultiDocTemplate::CreateQUDDMenuTagMapObject()
{
    return new CQUNotesDDMenuTagMap;
}

CDocument* CNotesMultiDocTemplate::FindNotesWindow(const char* name) const
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        std::string pageName;
        CQuorixDoc* qdoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc);
        if (qdoc == nullptr || qdoc->GetPage() == nullptr || !qdoc->GetPage()->GetName(pageName))
            pageName = (LPCTSTR)doc->GetTitle();
        if (SameTitle(pageName.c_str(), name ? name : ""))
            return doc;
    }
    return nullptr;
}

int CNotesMultiDocTemplate::CreateNewWindowName(CString& out, const char* base, CQKPage* page)
{
    std::string text = base ? base : "";
    int number = 0;
    std::string stem = text;
    if (CQKCString(text).GetEndNumber(&number)) {
        size_t end = text.size();
        while (end > 0 && isdigit((unsigned char)text[end - 1]))
            --end;
        stem = text.substr(0, end);
    }
    auto taken = [&](const CString& name) {
        if (FindNotesWindow(name) != nullptr)
            return true;
        CQKPage* other = qkfxGetProject().FindPage((LPCTSTR)name);
        return other != nullptr && other != page;
    };
    out = text.c_str();
    while (taken(out))
        out.Format("%s%d", stem.c_str(), ++number);
    return 1;
}

int CNotesMultiDocTemplate::CloseAllWindows(DWORD)
{
    while (GetNumDocs() > 0) {
        int before = GetNumDocs();
        POSITION pos = GetFirstDocPosition();
        CFrameWnd* frame = FirstFrame(GetNextDoc(pos));
        if (frame == nullptr)
            return 0;
        frame->SendMessage(WM_CLOSE);
        // A window that refuses to close would be asked for ever.
        if (GetNumDocs() >= before)
            return 0;
    }
    return 1;
}

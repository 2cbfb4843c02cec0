#include "QUGraphDoc.h"

#include <string>

#include "QKAccess.h"
#include "QKData.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixSrvrItem.h"

IMPLEMENT_DYNCREATE(CQUGraphDoc, CQuorixDoc)
IMPLEMENT_DYNCREATE(CQULayoutDoc, CQUGraphDoc)

namespace {
const UINT kEditUpdateClient = 34100;

std::wstring Wide(const char* text)
{
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    return w;
}

// Running-object-table failures go to the script window, not into message boxes.
void WriteToScriptWindow(const char* text)
{
    if (CQKAccess* access = qkfxGetAccess())
        access->execute_script(text, 0);
}
} // namespace

BEGIN_MESSAGE_MAP(CQUGraphDoc, CQuorixDoc)
    ON_COMMAND(kEditUpdateClient, OnEditUpdateClient)
    ON_UPDATE_COMMAND_UI(kEditUpdateClient, OnUpdateEditUpdateClient)
END_MESSAGE_MAP()

CQUGraphDoc::CQUGraphDoc()
{
    EnableAutomation();
}

COleServerItem* CQUGraphDoc::OnGetEmbeddedItem()
{
    return new CQUGraphSrvrItem(this);
}

COleServerItem* CQULayoutDoc::OnGetEmbeddedItem()
{
    return new CQULayoutSrvrItem(this);
}

void CQUGraphDoc::OnFinalRelease()
{
    const BOOL shutDown = ShutDownOnFinalRelease();
    CQuorixDoc::OnFinalRelease();
    if (shutDown)
        if (CWnd* main = AfxGetMainWnd())
            main->PostMessage(WM_CLOSE);
}

int CQUGraphDoc::OnBeforeCloseWnd()
{
    if (m_bEmbedded)
        OnUpdateDocument();
    return 1;
}

BOOL CQUGraphDoc::OnBeforeClosingAllWhenEmbedding()
{
    return m_bEmbedded || IsInPlaceActive() ? CQuorixDoc::OnUpdateDocument() : 1;
}

BOOL CQUGraphDoc::CanUpdateClient()
{
    POSITION pos = GetStartPosition();
    while (COleServerItem* item = GetNextServerItem(pos))
        if (item->IsConnected())
            return TRUE;
    return FALSE;
}

void CQUGraphDoc::CopyPage()
{
    BeginWaitCursor();
    if (COleServerItem* item = GetEmbeddedItem())
        item->CopyToClipboard(TRUE);
    EndWaitCursor();
}

void CQUGraphDoc::OnEditUpdateClient()
{
    UpdateAllItems(nullptr);
}

void CQUGraphDoc::OnUpdateEditUpdateClient(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanUpdateClient());
}

LPMONIKER CQUGraphDoc::GetMoniker(OLEGETMONIKER nAssign)
{
    if (GetClientSite() != nullptr)
        return CQuorixDoc::GetMoniker(nAssign);
    return CreateDocumentMoniker(m_strOLEPath);
}

IMoniker* CQUGraphDoc::CreateDocumentMoniker(const char* path)
{
    if (path == nullptr || *path == '\0')
        return nullptr;
    IMoniker* file = nullptr;
    if (FAILED(::CreateFileMoniker(Wide(path).c_str(), &file)) || file == nullptr)
        return nullptr;
    CQKAccess* access = qkfxGetAccess();
    if (access == nullptr || !access->IsProjectFileName(path))
        return file;
    // A page inside a project: the project's file, then the page by name.
    IMoniker* result = nullptr;
    std::string name;
    IMoniker* item = nullptr;
    if (m_pPage != nullptr && m_pPage->GetName(name) && !name.empty() &&
        SUCCEEDED(::CreateItemMoniker(L"\\", Wide(name.c_str()).c_str(), &item)) && item != nullptr) {
        if (FAILED(::CreateGenericComposite(file, item, &result)))
            result = nullptr;
        item->Release();
    }
    file->Release();
    return result;
}

BOOL CQUGraphDoc::RegisterQU(COleObjectFactory* pFactory, const char* path)
{
    if (path == nullptr || *path == '\0')
        return Register(pFactory, nullptr);
    if (m_pPage == nullptr)
        return FALSE;
    BOOL result = TRUE;
    Revoke();
    m_pFactory = pFactory;
    IMoniker* mk = CreateDocumentMoniker(path);
    if (mk == nullptr)
        return result;
    IRunningObjectTable* rot = nullptr;
    if (FAILED(::GetRunningObjectTable(0, &rot)) || rot == nullptr) {
        WriteToScriptWindow("type -a OLE error 51: GetRunningObjectTable failed. Please, contact Tessaron "
                            "Software's technical support.\n");
        mk->Release();
        return FALSE;
    }
    IUnknown* running = nullptr;
    if (SUCCEEDED(rot->GetObject(mk, &running)) && running != nullptr) {
        // One moniker is registered once: another window already answers links to it.
        running->Release();
        rot->Release();
        mk->Release();
        return FALSE;
    }
    if (FAILED(rot->Register(0, GetInterface(&IID_IUnknown), mk, &m_dwRegister))) {
        m_dwRegister = 0;
        result = FALSE;
    }
    rot->Release();
    if (m_dwRegister != 0) {
        m_lpMonikerROT = mk;
        m_strMoniker = path;
    } else {
        mk->Release();
    }
    return result;
}

BOOL CQUGraphDoc::RegisterIfServerAttached(const char* path, BOOL bMessage)
{
    COleObjectFactory* factory = GetFactory();
    if (factory == nullptr)
        return TRUE;
    m_pFactory = factory;
    if (RegisterQU(factory, path))
        return TRUE;
    if (bMessage)
        ReportSaveLoadException(path, nullptr, FALSE, AFX_IDP_FAILED_TO_NOTIFY);
    return FALSE;
}

BOOL CQUGraphDoc::RegisterWithCurrentOLEPath()
{
    Revoke();
    return RegisterIfServerAttached(m_strOLEPath, FALSE);
}

int CQUGraphDoc::OnInternalSetPathFileName(const char* path, unsigned long)
{
    m_strOLEPath = path != nullptr ? path : "";
    if (m_pPage != nullptr) {
        Revoke();
        RegisterIfServerAttached(m_strOLEPath, FALSE);
    }
    return 1;
}

BOOL CQUGraphDoc::OnUpdateDocument()
{
    CQuorixApp* app = GetQuorixApp();
    if ((app != nullptr && app->IsClosingAllWindows()) || m_pPage == nullptr)
        return TRUE;
    return CQuorixDoc::OnUpdateDocument();
}

COleServerItem* CQUGraphDoc::OnGetLinkedItem(LPCTSTR lpszItemName)
{
    if (COleServerItem* item = CQuorixDoc::OnGetLinkedItem(lpszItemName))
        return item;
    CQrxMultiDocTemplate* templ = get_doc_template();
    CQUGraphDoc* found =
        templ != nullptr ? DYNAMIC_DOWNCAST(CQUGraphDoc, templ->FindDocumentByPageName(lpszItemName)) : nullptr;
    if (found == nullptr)
        return nullptr;
    if (pQrxDocLinkingProject == nullptr || found == this) {
        found->UpdateTitleFromPage();
    } else {
        // The document the link opened takes the named page; the window that showed it
        // takes this document's page.
        CQKPage* mine = DisconnectPage();
        CQKPage* theirs = found->DisconnectPage();
        if (mine != nullptr && mine->IsActivePage(1)) {
            mine->OnDeactivate(theirs);
            if (theirs != nullptr)
                theirs->OnActivate(mine);
        } else if (theirs != nullptr && theirs->IsActivePage(1)) {
            theirs->OnDeactivate(mine);
            if (mine != nullptr)
                mine->OnActivate(theirs);
        }
        Revoke();
        found->Revoke();
        ConnectPage(theirs);
        found->ConnectPage(mine);
        UpdateTitleFromPage();
        found->UpdateTitleFromPage();
        found->RegisterWithCurrentOLEPath();
    }
    pQrxDocLinkingProject = nullptr;
    CQUGraphSrvrItem* item = new CQUGraphSrvrItem(this);
    item->SetItemName(lpszItemName);
    return item;
}

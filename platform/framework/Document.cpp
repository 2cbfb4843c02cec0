// Documents and document templates: titles, the modified flag and the save prompt,
// reading and writing through archives, and the templates that make documents, frames
// and views.
#include "afxwin.h"
#include "ModuleState.h"

namespace {

// The file name part of a path.
CString FileNameOf(LPCTSTR lpszPath)
{
    LPCTSTR lpszName = lpszPath;
    for (LPCTSTR p = lpszPath; *p != '\0'; p++) {
        if (*p == '\\' || *p == '/' || *p == ':')
            lpszName = p + 1;
    }
    return CString(lpszName);
}

// The first extension of a template's filter field, or empty.
CString FirstExtension(const CString& strFilterExt)
{
    CStringArray arr;
    afximpl::SplitExtensions(strFilterExt, arr);
    return arr.GetSize() > 0 ? arr[0] : CString();
}

}

namespace afximpl {

CObject* CreateObjectOfKind(CRuntimeClass* pClass, CRuntimeClass* pBase)
{
    if (pClass == nullptr)
        return nullptr;
    CObject* pObject = pClass->CreateObject();
    if (pObject != nullptr && !pObject->IsKindOf(pBase)) {
        delete pObject;
        return nullptr;
    }
    return pObject;
}

void SplitExtensions(const CString& strFilterExt, CStringArray& arr)
{
    int nStart = 0;
    while (nStart < strFilterExt.GetLength()) {
        int nEnd = strFilterExt.Find(';', nStart);
        if (nEnd < 0)
            nEnd = strFilterExt.GetLength();
        CString strExt = strFilterExt.Mid(nStart, nEnd - nStart);
        strExt.TrimLeft();
        strExt.TrimRight();
        if (!strExt.IsEmpty() && strExt[0] == '*')
            strExt = strExt.Mid(1);
        if (strExt.GetLength() > 1 && strExt[0] == '.')
            arr.Add(strExt);
        nStart = nEnd + 1;
    }
}

}

/////////////////////////////////////////////////////////////////////////////
// CDocument

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() : m_pDocTemplate(nullptr), m_bModified(FALSE), m_bAutoDelete(TRUE), m_bEmbedded(FALSE) {}

CDocument::~CDocument()
{
    // Views outliving their document must not reach back into it.
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos != nullptr)
        ((CView*)m_viewList.GetNext(pos))->m_pDocument = nullptr;
    m_viewList.RemoveAll();
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    char szFullPath[MAX_PATH];
    AfxFullPath(szFullPath, lpszPathName);
    m_strPathName = szFullPath;
    SetTitle(FileNameOf(szFullPath));
    CWinApp* pApp = AfxGetApp();
    if (bAddToMRU && pApp != nullptr)
        pApp->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (pos == nullptr)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // A document whose last view went away goes with it.
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    // Frames showing this document are numbered when there is more than one.
    CPtrList frames;
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos != nullptr) {
        CView* pView = (CView*)m_viewList.GetNext(pos);
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr && (pFrame->GetStyle() & FWS_ADDTOTITLE) && frames.Find(pFrame) == nullptr)
            frames.AddTail(pFrame);
    }
    int nFrames = (int)frames.GetCount();
    int nWindow = 1;
    pos = frames.GetHeadPosition();
    while (pos != nullptr) {
        CFrameWnd* pFrame = (CFrameWnd*)frames.GetNext(pos);
        pFrame->m_nWindow = nFrames > 1 ? nWindow++ : -1;
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos != nullptr) {
        CView* pView = (CView*)m_viewList.GetNext(pos);
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFileException fe;
    CFile file;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(lpszPathName, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);   // half-read contents are not the file's
    CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    try {
        if (file.GetLength() != 0)
            Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        ar.Abort();
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    // The document is written to a new file beside the old one, which it replaces only
    // once everything was written: a failed save leaves the old file as it was.
    char szFullPath[MAX_PATH];
    AfxFullPath(szFullPath, lpszPathName);
    CString strFolder = szFullPath;
    int nSlash = strFolder.ReverseFind('\\');
    strFolder = nSlash >= 0 ? strFolder.Left(nSlash + 1) : CString(".");
    char szTempPath[MAX_PATH];
    if (::GetTempFileNameA(strFolder, "qxs", 0, szTempPath) == 0) {
        CFileException fe(CFileException::OsErrorToException((LONG)::GetLastError()), (LONG)::GetLastError(),
                          lpszPathName);
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    CFileException fe;
    CFile file;
    if (!file.Open(szTempPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &fe)) {
        ::DeleteFileA(szTempPath);
        fe.m_strFileName = lpszPathName;
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    try {
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        ar.Abort();
        file.Abort();
        ::DeleteFileA(szTempPath);
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }
    if (!::MoveFileExA(szTempPath, szFullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        LONG lError = (LONG)::GetLastError();
        ::DeleteFileA(szTempPath);
        CFileException feMove(CFileException::OsErrorToException(lError), lError, lpszPathName);
        ReportSaveLoadException(lpszPathName, &feMove, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL, UINT nIDPDefault)
{
    if (e != nullptr && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return;   // whoever threw it has told the user
    char szMessage[512] = "";
    if (e != nullptr) {
        if (e->IsKindOf(RUNTIME_CLASS(CFileException)) && ((CFileException*)e)->m_strFileName.IsEmpty())
            ((CFileException*)e)->m_strFileName = lpszPathName;
        if (e->IsKindOf(RUNTIME_CLASS(CArchiveException)) && ((CArchiveException*)e)->m_strFileName.IsEmpty())
            ((CArchiveException*)e)->m_strFileName = lpszPathName;
        if (!e->GetErrorMessage(szMessage, sizeof szMessage))
            szMessage[0] = '\0';
    }
    if (szMessage[0] != '\0')
        AfxMessageBox(szMessage, MB_ICONEXCLAMATION, nIDPDefault);
    else
        AfxMessageBox(nIDPDefault, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views; the document must survive that.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* pView = (CView*)m_viewList.GetHead();
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        } else {
            pView->DestroyWindow();
        }
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView);   // a view that would not go away
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString strName = m_strPathName.IsEmpty() ? m_strTitle : FileNameOf(m_strPathName);
    if (strName.IsEmpty())
        strName.LoadString(AFX_IDS_UNTITLED);
    CString strPrompt;
    AfxFormatString1(strPrompt, AFX_IDP_ASK_TO_SAVE, strName);
    switch (AfxMessageBox(strPrompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDocument::DoFileSave()
{
    DWORD dwAttrib = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
    if (m_strPathName.IsEmpty() || (dwAttrib != INVALID_FILE_ATTRIBUTES && (dwAttrib & FILE_ATTRIBUTE_READONLY)))
        return DoSave(nullptr);   // ask for a name
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString strNewName = lpszPathName;
    if (strNewName.IsEmpty()) {
        strNewName = m_strPathName;
        if (bReplace && strNewName.IsEmpty()) {
            strNewName = m_strTitle;
            // A file name needs no characters the file system refuses.
            strNewName.Remove(':');
            strNewName.Remove('\\');
            strNewName.Remove('/');
            CString strExt;
            if (m_pDocTemplate != nullptr && m_pDocTemplate->GetDocString(strExt, CDocTemplate::filterExt))
                strNewName += FirstExtension(strExt);
        }
        CWinApp* pApp = AfxGetApp();
        if (pApp == nullptr || !pApp->DoPromptFileName(strNewName, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                                        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(strNewName))
        return FALSE;
    if (bReplace)
        SetPathName(strNewName);
    return TRUE;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Another frame still shows the document: closing this one loses nothing.
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CFrameWnd* pFrame = GetNextView(pos)->GetParentFrame();
        if (pFrame != nullptr && pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

HMENU CDocument::GetDefaultMenu() { return nullptr; }
HACCEL CDocument::GetDefaultAccelerator() { return nullptr; }
void CDocument::OnIdle() {}
void CDocument::OnFinalRelease() { OnCloseDocument(); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }

/////////////////////////////////////////////////////////////////////////////
// CDocTemplate

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_nIDServerResource(0), m_nIDEmbeddingResource(0), m_nIDContainerResource(0),
      m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass), m_pOleFrameClass(nullptr),
      m_pOleViewClass(nullptr), m_pAttachedFactory(nullptr), m_hMenuInPlace(nullptr), m_hAccelInPlace(nullptr),
      m_hMenuEmbedding(nullptr), m_hAccelEmbedding(nullptr), m_hMenuInPlaceServer(nullptr),
      m_hAccelInPlaceServer(nullptr)
{
}

CDocTemplate::~CDocTemplate() {}

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    return AfxExtractSubString(rString, m_strDocStrings, (int)index);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->GetPathName().IsEmpty() && AfxComparePath(pDoc->GetPathName(), lpszPathName)) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    // Any of the template's extensions matches.
    CString strFilterExt;
    CStringArray arrExt;
    LPCTSTR lpszDot = strrchr(lpszPathName, '.');
    if (lpszDot != nullptr && GetDocString(strFilterExt, filterExt))
        afximpl::SplitExtensions(strFilterExt, arrExt);
    for (INT_PTR i = 0; i < arrExt.GetSize(); i++) {
        if (arrExt[i].CompareNoCase(lpszDot) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }

CDocument* CDocTemplate::CreateNewDocument()
{
    CDocument* pDoc = (CDocument*)afximpl::CreateObjectOfKind(m_pDocClass, RUNTIME_CLASS(CDocument));
    if (pDoc == nullptr)
        return nullptr;
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CFrameWnd* pFrame = (CFrameWnd*)afximpl::CreateObjectOfKind(m_pFrameClass, RUNTIME_CLASS(CFrameWnd));
    if (pFrame == nullptr)
        return nullptr;
    // A frame that fails to load deletes itself.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    // Each close removes the document from the list; one that stays is closed once only.
    CPtrList closed;
    POSITION pos;
    while ((pos = GetFirstDocPosition()) != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        if (closed.Find(pDoc) != nullptr)
            break;
        closed.AddTail(pDoc);
        pDoc->OnCloseDocument();
    }
}

void CDocTemplate::OnIdle()
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr)
        GetNextDoc(pos)->OnIdle();
}

void CDocTemplate::SetContainerInfo(UINT nIDOleInPlaceContainer)
{
    m_nIDContainerResource = nIDOleInPlaceContainer;
}

void CDocTemplate::SetServerInfo(UINT nIDOleEmbedding, UINT nIDOleInPlaceServer, CRuntimeClass* pOleFrameClass,
                                 CRuntimeClass* pOleViewClass)
{
    m_nIDEmbeddingResource = nIDOleEmbedding;
    m_nIDServerResource = nIDOleInPlaceServer;
    m_pOleFrameClass = pOleFrameClass;
    m_pOleViewClass = pOleViewClass;
}

BOOL CDocTemplate::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

/////////////////////////////////////////////////////////////////////////////
// CMultiDocTemplate

IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_hMenuShared(nullptr), m_hAccelTable(nullptr),
      m_nUntitledCount(0)
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    // Documents still open keep no pointer to a template that is gone.
    POSITION pos = m_docList.GetHeadPosition();
    while (pos != nullptr)
        ((CDocument*)m_docList.GetNext(pos))->m_pDocTemplate = nullptr;
    if (m_hMenuShared != nullptr)
        ::DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    LPCTSTR lpszName = MAKEINTRESOURCE(m_nIDResource);
    if (m_hMenuShared == nullptr) {
        HINSTANCE hInst = AfxFindResourceHandle(lpszName, RT_MENU);
        if (::FindResourceA(hInst, lpszName, RT_MENU) != nullptr)
            m_hMenuShared = ::LoadMenuA(hInst, lpszName);
    }
    if (m_hAccelTable == nullptr) {
        HINSTANCE hInst = AfxFindResourceHandle(lpszName, RT_ACCELERATOR);
        if (::FindResourceA(hInst, lpszName, RT_ACCELERATOR) != nullptr)
            m_hAccelTable = ::LoadAcceleratorsA(hInst, lpszName);
    }
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    POSITION pos = m_docList.Find(pDoc);
    if (pos != nullptr)
        m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strDocName;
    if (GetDocString(strDocName, docName) && !strDocName.IsEmpty()) {
        CString strNumber;
        strNumber.Format("%u", m_nUntitledCount + 1);
        strDocName += strNumber;
    } else {
        strDocName.LoadString(AFX_IDS_UNTITLED);
    }
    pDocument->SetTitle(strDocName);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (pDoc == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    // The document must outlive a frame that fails half-way.
    BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    pDoc->m_bAutoDelete = bAutoDelete;
    if (pFrame == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        delete pDoc;
        return nullptr;
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDoc);
        if (!bMakeVisible)
            pDoc->m_bEmbedded = TRUE;
        if (!pDoc->OnNewDocument()) {
            pFrame->DestroyWindow();   // takes the document with it
            return nullptr;
        }
        m_nUntitledCount++;
    } else {
        CWaitCursor wait;
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

/////////////////////////////////////////////////////////////////////////////
// CSingleDocTemplate

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(nullptr)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc != nullptr)
        m_pOnlyDoc->m_pDocTemplate = nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos != nullptr ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strTitle;
    strTitle.LoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(strTitle);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = m_pOnlyDoc;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (pDoc != nullptr) {
        if (!pDoc->SaveModified())
            return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        if (pos != nullptr)
            pFrame = pDoc->GetNextView(pos)->GetParentFrame();
    } else {
        pDoc = CreateNewDocument();
        bCreated = TRUE;
        if (pDoc == nullptr) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            return nullptr;
        }
    }
    if (pFrame == nullptr) {
        BOOL bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->m_bAutoDelete = FALSE;
        pFrame = CreateNewFrame(pDoc, nullptr);
        pDoc->m_bAutoDelete = bAutoDelete;
        if (pFrame == nullptr) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (bCreated)
                delete pDoc;
            return nullptr;
        }
        bCreated = TRUE;
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            if (bCreated)
                pFrame->DestroyWindow();
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            if (bCreated) {
                pFrame->DestroyWindow();
            } else {
                // The old contents were already given up: show an empty document.
                SetDefaultTitle(pDoc);
                pDoc->OnNewDocument();
            }
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }
    CWinApp* pApp = AfxGetApp();
    if (bCreated && pApp != nullptr && pApp->m_pMainWnd == nullptr)
        pApp->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

// Graphs as link sources: a graph saved by the kernel is registered in the running object
// table under the moniker a container's link names (the window file, or the project file
// with the page's name), Copy Page offers that link, a link into a project finds the page
// by name, and Update Client tells a linked container that the picture changed.
#include "CoreTestApp.h"

#include <afxole.h>

#include "QKAccess.h"
#include "QKData.h"
#include "QKFile.h"
#include "QUAccess.h"
#include "QuorixSrvrItem.h"

namespace {

const CLSID kTestClsid = {0x5a1c9e02, 0x3b4f, 0x4e61, {0x8d, 0x27, 0x0c, 0x93, 0x6e, 0x41, 0xb5, 0x7a}};

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A moniker made the way a container's link names a graph, independently of the program.
LPMONIKER LinkMoniker(const std::string& file, const char* page)
{
    LPMONIKER fileMk = nullptr, itemMk = nullptr, result = nullptr;
    if (FAILED(CreateFileMoniker(Wide(file).c_str(), &fileMk)))
        return nullptr;
    if (page == nullptr)
        return fileMk;
    CreateItemMoniker(L"\\", Wide(page).c_str(), &itemMk);
    CreateGenericComposite(fileMk, itemMk, &result);
    fileMk->Release();
    itemMk->Release();
    return result;
}

// The object running under the moniker, or null.
LPUNKNOWN Running(LPMONIKER mk)
{
    LPRUNNINGOBJECTTABLE rot = nullptr;
    LPUNKNOWN unk = nullptr;
    if (mk != nullptr && SUCCEEDED(GetRunningObjectTable(0, &rot))) {
        if (FAILED(rot->GetObject(mk, &unk)))
            unk = nullptr;
        rot->Release();
    }
    return unk;
}

class Sink : public IAdviseSink {
public:
    int changes = 0;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        *ppv = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAdviseSink) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD_(void, OnDataChange)(FORMATETC*, STGMEDIUM*) override { ++changes; }
    STDMETHOD_(void, OnViewChange)(DWORD, LONG) override {}
    STDMETHOD_(void, OnRename)(IMoniker*) override {}
    STDMETHOD_(void, OnSave)() override {}
    STDMETHOD_(void, OnClose)() override {}
};

class Linking : public AppFixture {
protected:
    CQUGraphDoc* NewGraph(const char* name)
    {
        EXPECT_EQ(Run("win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }"), 0);
        EXPECT_EQ(Run("worksheet -p Line line"), 0);
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        CView* view = graph ? DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(graph->GetDrawingWnd())) : nullptr;
        CQUGraphDoc* doc = view ? DYNAMIC_DOWNCAST(CQUGraphDoc, view->GetDocument()) : nullptr;
        if (doc != nullptr)
            doc->SetTitle(name, TRUE);
        return doc;
    }
    int Run(const char* script) { return m_app->GetAccess()->execute_script(script, 0); }
    void AttachServer() { m_app->NewTemplateServer(kTestClsid, (CMultiDocTemplate*)m_app->get_template(1), TRUE); }
};

} // namespace

TEST_F(Linking, SavedGraphsRegisterAsRunningUnderTheMonikerOfTheirFile)
{
    const std::string folder = TestFolder("qxuser_linking");
    const std::string project = folder + "\\linked.qpj", window = folder + "\\alone.qgg";
    CQUGraphDoc* doc = NewGraph("Trend");
    ASSERT_NE(nullptr, doc);
    std::string error;

    // Without a server for the graph template nothing is registered, and that is no failure.
    ASSERT_TRUE(qkfxSaveProject(project, &error)) << error;
    EXPECT_EQ(CString(project.c_str()), doc->GetOLEPath());
    EXPECT_FALSE(doc->IsRegisteredAsRunning());
    EXPECT_TRUE(doc->RegisterIfServerAttached(project.c_str(), FALSE));
    EXPECT_FALSE(doc->IsRegisteredAsRunning());

    AttachServer();
    struct Case {
        const char* what;
        bool asProject;
        const char* page; // the item naming the page; null for a plain file moniker
    } cases[] = {
        {"a page inside a project: the project's file, then the page by name", true, "Trend"},
        {"a window file: the file alone", false, nullptr},
    };
    LPMONIKER previous = nullptr;
    for (const Case& c : cases) {
        const std::string& path = c.asProject ? project : window;
        ASSERT_TRUE(c.asProject ? qkfxSaveProject(path, &error) : qkfxSavePage(doc->GetPage(), path, false, &error))
            << error;
        EXPECT_TRUE(doc->IsRegisteredAsRunning()) << c.what;
        LPMONIKER expected = LinkMoniker(path, c.page);
        LPUNKNOWN running = Running(expected);
        EXPECT_EQ(doc->GetInterface(&IID_IUnknown), running) << c.what;
        if (running)
            running->Release();
        LPMONIKER mk = doc->GetMoniker(OLEGETMONIKER_ONLYIFTHERE);
        ASSERT_NE(nullptr, mk) << c.what;
        EXPECT_EQ(S_OK, mk->IsEqual(expected)) << c.what;
        mk->Release();
        // Every new path revokes the registration under the old one.
        if (previous != nullptr) {
            EXPECT_EQ(nullptr, Running(previous)) << c.what;
            previous->Release();
        }
        previous = expected;
    }

    // One moniker is registered once: a second window under the same file is refused quietly.
    CQUGraphDoc* other = NewGraph("Other");
    ASSERT_NE(nullptr, other);
    EXPECT_FALSE(other->RegisterQU(other->GetFactory(), window.c_str()));
    EXPECT_FALSE(other->IsRegisteredAsRunning());
    LPUNKNOWN running = Running(previous);
    EXPECT_EQ(doc->GetInterface(&IID_IUnknown), running);
    if (running)
        running->Release();

    // Closing the window takes it out of the table.
    doc->OnCloseDocument();
    EXPECT_EQ(nullptr, Running(previous));
    previous->Release();
}

TEST_F(Linking, CopyPageOfASavedGraphOffersTheLinkAndUpdateClientTellsTheLinkedContainer)
{
    const std::string project = TestFolder("qxuser_linking_copy") + "\\copied.qpj";
    AttachServer();
    CQUGraphDoc* doc = NewGraph("Source");
    ASSERT_NE(nullptr, doc);
    std::string error;
    ASSERT_TRUE(qkfxSaveProject(project, &error)) << error;
    doc->CopyPage();

    // The link source names the page inside the project and the graph's class.
    COleDataObject clip;
    ASSERT_TRUE(clip.AttachClipboard());
    FORMATETC f = {AfxGetLinkSourceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    STGMEDIUM m = {};
    ASSERT_TRUE(clip.GetData(AfxGetLinkSourceFormat(), &m, &f));
    LPMONIKER mk = nullptr;
    ASSERT_EQ(S_OK, OleLoadFromStream(m.pstm, IID_IMoniker, (void**)&mk));
    CLSID clsid = CLSID_NULL;
    EXPECT_EQ(S_OK, ReadClassStm(m.pstm, &clsid));
    EXPECT_TRUE(IsEqualCLSID(kTestClsid, clsid));
    ReleaseStgMedium(&m);
    clip.Release();
    OleSetClipboard(nullptr);
    LPMONIKER expected = LinkMoniker(project, "Source");
    EXPECT_EQ(S_OK, mk->IsEqual(expected));
    expected->Release();

    // A container binds the link and asks to hear of changes; Update Client tells it.
    LPDATAOBJECT data = nullptr;
    ASSERT_EQ(S_OK, BindMoniker(mk, 0, IID_IDataObject, (void**)&data));
    mk->Release();
    EXPECT_FALSE(doc->CanUpdateClient());
    Sink sink;
    DWORD conn = 0;
    FORMATETC pic = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    ASSERT_EQ(S_OK, data->DAdvise(&pic, ADVF_NODATA, &sink, &conn));
    EXPECT_TRUE(doc->CanUpdateClient());
    ASSERT_TRUE(doc->OnCmdMsg(34100, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(1, sink.changes);
    // While every window closes, updating the document leaves its containers alone.
    m_app->SetClosingAllWindows(TRUE);
    EXPECT_TRUE(doc->OnUpdateDocument());
    m_app->SetClosingAllWindows(FALSE);
    EXPECT_EQ(1, sink.changes);
    EXPECT_TRUE(doc->OnUpdateDocument());
    EXPECT_EQ(2, sink.changes);
    STGMEDIUM picture = {};
    ASSERT_EQ(S_OK, data->GetData(&pic, &picture));
    EXPECT_EQ((DWORD)TYMED_MFPICT, picture.tymed);
    ReleaseStgMedium(&picture);
    data->DUnadvise(conn);
    data->Release();
}

TEST_F(Linking, ALinkIntoAProjectFindsThePageByName)
{
    AttachServer();
    CQUGraphDoc* first = NewGraph("First");
    CQUGraphDoc* second = NewGraph("Second");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    CQKPage* secondPage = second->GetPage();

    EXPECT_EQ(nullptr, first->OnGetLinkedItem("NoSuchGraph"));
    // No project is being opened for a link: the window keeps its page and the item is
    // the linking document's, named as asked.
    CQuorixDoc::pQrxDocLinkingProject = nullptr;
    COleServerItem* item = first->OnGetLinkedItem("Second");
    ASSERT_NE(nullptr, item);
    EXPECT_TRUE(item->IsKindOf(RUNTIME_CLASS(CQUGraphSrvrItem)));
    EXPECT_EQ(CString("Second"), item->GetItemName());
    EXPECT_TRUE(item->IsLinkedItem());
    EXPECT_EQ(secondPage, second->GetPage());
    // Asked again, the item made the first time answers.
    EXPECT_EQ(item, first->OnGetLinkedItem("Second"));

    // The document a link opened takes over the named page from the window showing it.
    CQKPage* firstPage = first->GetPage();
    CQuorixDoc::pQrxDocLinkingProject = first;
    COleServerItem* swapped = second->OnGetLinkedItem("First");
    ASSERT_NE(nullptr, swapped);
    EXPECT_EQ(firstPage, second->GetPage());
    EXPECT_EQ(secondPage, first->GetPage());
    EXPECT_EQ(CString("First"), second->GetTitle());
    EXPECT_EQ(CString("Second"), first->GetTitle());
    EXPECT_EQ(nullptr, CQuorixDoc::pQrxDocLinkingProject);
}

// An embedded graph hands its last picture to its container before its window closes and
// before every window closes in a session the container started.
TEST_F(Linking, AnEmbeddedGraphUpdatesItsContainerBeforeItsWindowsClose)
{
    CQUGraphDoc* source = NewGraph("Source");
    ASSERT_NE(nullptr, source);
    AttachServer();
    LPLOCKBYTES bytes = nullptr;
    LPSTORAGE stg = nullptr;
    ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
    ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &stg));
    source->SaveToStorage(stg, source->GetEmbeddedItem());

    struct Case {
        const char* what;
        bool embeddingSession;
        int notices; // what the container hears before the window closes
    } cases[] = {
        {"closing every window in a session a container started", true, 1},
        {"closing every window in the user's own session", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CQUOleTemplateServer* server = (CQUOleTemplateServer*)m_app->get_template(1)->m_pAttachedFactory;
        LPCLASSFACTORY factory = nullptr;
        ASSERT_EQ(S_OK, server->GetInterface(&IID_IClassFactory)->QueryInterface(IID_IClassFactory, (void**)&factory));
        LPPERSISTSTORAGE persist = nullptr;
        const int pages = qkfxGetProject().GetNumPages();
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersistStorage, (void**)&persist));
        factory->Release();
        ASSERT_EQ(S_OK, persist->Load(stg));
        ASSERT_EQ(pages + 1, qkfxGetProject().GetNumPages());
        CQKGraphPage* page = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetPage(pages));
        ASSERT_NE(nullptr, page);
        LPDATAOBJECT data = nullptr;
        ASSERT_EQ(S_OK, persist->QueryInterface(IID_IDataObject, (void**)&data));
        Sink sink;
        DWORD conn = 0;
        FORMATETC pic = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
        ASSERT_EQ(S_OK, data->DAdvise(&pic, ADVF_NODATA, &sink, &conn));
        STGMEDIUM picture = {};
        ASSERT_EQ(S_OK, data->GetData(&pic, &picture)) << "the container shows the picture";
        ReleaseStgMedium(&picture);

        m_app->GetAccess()->SetEmbeddingOpened(c.embeddingSession);
        m_app->BeginClosingAll(0);
        m_app->GetAccess()->SetEmbeddingOpened(FALSE);
        EXPECT_EQ(c.notices, sink.changes);

        // The page about to close its window (Hide, or the kernel closing it): one notice
        // more. (Closing the window itself ends the document under the container's feet.)
        const int before = sink.changes;
        EXPECT_EQ(1, page->OnBeforeCloseWnd(0));
        EXPECT_EQ(before + 1, sink.changes);
        data->DUnadvise(conn);
        data->Release();
        persist->Release();
    }
    stg->Release();
    bytes->Release();
}

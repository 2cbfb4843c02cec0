// The page windows as an OLE server: the graph's server item (its metafile picture, its
// enhanced metafile handed over once, the page's own data), the document's OLE storage
// made and read back through a class object of the graph template, and Copy Page on the
// clipboard.
#include "CoreTestApp.h"

#include <afxole.h>
#include <stdint.h>

#include "QKAccess.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKSysMethod.h"
#include "QUAccess.h"
#include "QuorixSrvrItem.h"

namespace {

// A class id of this test's own: the registry of the prefix is not touched.
const CLSID kTestClsid = {0x2f6b0c51, 0x7d1e, 0x4a8c, {0x91, 0x3e, 0x55, 0x0a, 0xc2, 0x7b, 0x18, 0x64}};

class ServerItems : public AppFixture {
protected:
    // A worksheet of two columns plotted as a red line into a new graph window.
    CQUGraphDoc* NewLineGraph()
    {
        EXPECT_EQ(Run("win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }"), 0);
        EXPECT_EQ(Run("worksheet -p Line line"), 0);
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        CView* view = graph ? DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(graph->GetDrawingWnd())) : nullptr;
        return view ? DYNAMIC_DOWNCAST(CQUGraphDoc, view->GetDocument()) : nullptr;
    }
    int Run(const char* script) { return m_app->GetAccess()->execute_script(script, 0); }
    CMultiDocTemplate* GraphTemplate() { return (CMultiDocTemplate*)m_app->get_template(1); }
    static HRESULT Get(LPDATAOBJECT data, CLIPFORMAT cf, DWORD tymed, STGMEDIUM& m, LONG index = -1)
    {
        FORMATETC f = {cf, nullptr, DVASPECT_CONTENT, index, tymed};
        m = STGMEDIUM{};
        return data->GetData(&f, &m);
    }
    // How many pixels of a 400 x 300 picture are not white after `play` drew into it.
    template <class Play>
    static int Ink(Play play)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -300, 1, 32};
        uint32_t* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT all = {0, 0, 400, 300};
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        play(dc, all);
        int n = 0;
        for (int i = 0; i < 400 * 300; ++i)
            n += (bits[i] & 0xFFFFFF) != 0xFFFFFF;
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
        return n;
    }
};

} // namespace

TEST_F(ServerItems, GraphItemGivesItsPictureOnceAsEnhancedMetafileAndThePageAsData)
{
    // The picture of the whole page (the margin control's "Page").
    qkfxGetQrxSystem().GetRefCopyPage().SetCloseness(2);
    CQUGraphDoc* doc = NewLineGraph();
    ASSERT_NE(nullptr, doc);
    CQuorixSrvrItem* item = DYNAMIC_DOWNCAST(CQuorixSrvrItem, doc->GetEmbeddedItem());
    ASSERT_NE(nullptr, item);
    EXPECT_TRUE(item->IsKindOf(RUNTIME_CLASS(CQUGraphSrvrItem)));
    EXPECT_FALSE(item->IsLinkedItem());
    EXPECT_EQ(CString(doc->GetPage()->GetName().c_str()), item->GetItemName());
    CSize extent(0, 0);
    ASSERT_TRUE(item->OnGetExtent(DVASPECT_CONTENT, extent));
    EXPECT_EQ(CSize(25400, 19050), extent); // 10 by 7.5 inches in HIMETRIC
    LPDATAOBJECT data = item->GetDataObject();

    // The enhanced metafile exists only once a picture was made.
    STGMEDIUM m;
    EXPECT_NE(S_OK, Get(data, CF_ENHMETAFILE, TYMED_ENHMF, m));
    // Only the content is drawn: an icon is not offered.
    FORMATETC icon = {CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
    EXPECT_NE(S_OK, data->QueryGetData(&icon));
    m = STGMEDIUM{};
    EXPECT_NE(S_OK, data->GetData(&icon, &m));

    ASSERT_EQ(S_OK, Get(data, CF_METAFILEPICT, TYMED_MFPICT, m));
    ASSERT_EQ((DWORD)TYMED_MFPICT, m.tymed);
    METAFILEPICT* pict = (METAFILEPICT*)GlobalLock(m.hMetaFilePict);
    ASSERT_NE(nullptr, pict);
    EXPECT_EQ(MM_ANISOTROPIC, pict->mm);
    EXPECT_EQ(25400, pict->xExt);
    EXPECT_EQ(19050, pict->yExt);
    HMETAFILE wmf = pict->hMF;
    EXPECT_GT(Ink([&](HDC dc, RECT r) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetViewportExtEx(dc, r.right, r.bottom, nullptr);
        PlayMetaFile(dc, wmf);
    }), 500);
    GlobalUnlock(m.hMetaFilePict);
    ReleaseStgMedium(&m);
    ASSERT_NE(nullptr, item->GetCachedEMF());

    // The picture's enhanced metafile is handed over: asked twice, the second gets none.
    EXPECT_NE(S_OK, Get(data, CF_ENHMETAFILE, TYMED_ENHMF, m, 2)) << "only the whole picture";
    ASSERT_EQ(S_OK, Get(data, CF_ENHMETAFILE, TYMED_ENHMF, m));
    ENHMETAHEADER header = {};
    ASSERT_TRUE(GetEnhMetaFileHeader(m.hEnhMetaFile, sizeof header, &header));
    EXPECT_NEAR(25400, header.rclFrame.right - header.rclFrame.left, 2);
    HENHMETAFILE emf = m.hEnhMetaFile;
    EXPECT_GT(Ink([&](HDC dc, RECT r) { PlayEnhMetaFile(dc, emf, &r); }), 500);
    ReleaseStgMedium(&m);
    EXPECT_EQ(nullptr, item->GetCachedEMF());
    EXPECT_NE(S_OK, Get(data, CF_ENHMETAFILE, TYMED_ENHMF, m));

    // The metafile picture's format as file data is the page's own window file.
    ASSERT_EQ(S_OK, Get(data, CF_METAFILEPICT, TYMED_HGLOBAL, m));
    CMemFile expected;
    ASSERT_TRUE(doc->GetPage()->SavePageFile(&expected, FALSE));
    ASSERT_EQ(expected.GetLength(), GlobalSize(m.hGlobal));
    BYTE* page = expected.Detach();
    EXPECT_EQ(0, memcmp(page, GlobalLock(m.hGlobal), GlobalSize(m.hGlobal)));
    free(page);
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(&m);

    // When the settings put no enhanced metafile on the clipboard, the picture is made
    // without one and none is kept to hand over.
    qkfxGetQrxSystem().GetRefCopyPage().SetPutEMF(0);
    ASSERT_EQ(S_OK, Get(data, CF_METAFILEPICT, TYMED_MFPICT, m));
    ReleaseStgMedium(&m);
    EXPECT_EQ(nullptr, item->GetCachedEMF());
    EXPECT_NE(S_OK, Get(data, CF_ENHMETAFILE, TYMED_ENHMF, m));
    qkfxGetQrxSystem().GetRefCopyPage().SetPutEMF(1);
}

// A container's object: the graph template's class object makes an embedded document,
// which saves its page into the object's storage and a second one reads it back.
TEST_F(ServerItems, EmbeddedGraphSavesAndLoadsItsPageThroughTheObjectStorage)
{
    CQUGraphDoc* source = NewLineGraph();
    ASSERT_NE(nullptr, source);
    CQUOleTemplateServer* server = m_app->NewTemplateServer(kTestClsid, GraphTemplate(), TRUE);
    ASSERT_NE(nullptr, server);
    LPLOCKBYTES bytes = nullptr;
    LPSTORAGE stg = nullptr;
    ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
    ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &stg));
    source->SaveToStorage(stg, source->GetEmbeddedItem());
    CLSID written = CLSID_NULL;
    EXPECT_EQ(S_OK, ReadClassStg(stg, &written));
    EXPECT_TRUE(IsEqualCLSID(kTestClsid, written));

    LPCLASSFACTORY factory = nullptr;
    ASSERT_EQ(S_OK, server->GetInterface(&IID_IClassFactory)->QueryInterface(IID_IClassFactory, (void**)&factory));
    const int pages = qkfxGetProject().GetNumPages();
    LPPERSISTSTORAGE persist = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersistStorage, (void**)&persist));
    factory->Release();
    EXPECT_EQ(pages, qkfxGetProject().GetNumPages()) << "the page comes from the storage";
    ASSERT_EQ(S_OK, persist->Load(stg));
    LPOLEOBJECT object = nullptr;
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IOleObject, (void**)&object));
    SIZEL size = {0, 0};
    EXPECT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &size));
    EXPECT_EQ(25400, size.cx);
    EXPECT_EQ(19050, size.cy);
    ASSERT_EQ(pages + 1, qkfxGetProject().GetNumPages());
    CQKGraphPage* loaded = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetPage(pages));
    ASSERT_NE(nullptr, loaded);
    CQKGraphPage* original = dynamic_cast<CQKGraphPage*>(source->GetPage());
    EXPECT_EQ(original->GetNumLayers(), loaded->GetNumLayers());
    EXPECT_EQ(original->GetLayerByIndex(0, 1)->GetNumPlots(), loaded->GetLayerByIndex(0, 1)->GetNumPlots());
    EXPECT_NE(nullptr, loaded->GetDrawingWnd()) << "the page has its window";

    // The container lets the object go: the document and its page close with it.
    object->Release();
    persist->Release();
    EXPECT_EQ(pages, qkfxGetProject().GetNumPages());
    stg->Release();
    bytes->Release();
}

TEST_F(ServerItems, CopyPagePutsThePicturesAndTheEmbeddingOnTheClipboard)
{
    qkfxGetQrxSystem().GetRefCopyPage().SetCloseness(0);
    qkfxGetQrxSystem().GetRefCopyPage().SetClipBorderWidth(5);
    CQUGraphDoc* doc = NewLineGraph();
    ASSERT_NE(nullptr, doc);
    doc->CopyPage();
    COleDataObject clip;
    ASSERT_TRUE(clip.AttachClipboard());
    for (CLIPFORMAT cf : {AfxGetEmbedSourceFormat(), AfxGetObjectDescriptorFormat(), (CLIPFORMAT)CF_METAFILEPICT,
                          (CLIPFORMAT)CF_ENHMETAFILE})
        EXPECT_TRUE(clip.IsDataAvailable(cf)) << cf;
    EXPECT_FALSE(clip.IsDataAvailable(AfxGetLinkSourceFormat())) << "an unsaved graph has no moniker";
    // The enhanced metafile is the program's own, not one the clipboard made of the picture.
    bool emf = false;
    clip.BeginEnumFormats();
    FORMATETC f;
    while (clip.GetNextFormat(&f))
        emf = emf || (f.cfFormat == CF_ENHMETAFILE && (f.tymed & TYMED_ENHMF));
    EXPECT_TRUE(emf);
    STGMEDIUM m = {};
    FORMATETC pictureFormat = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    ASSERT_TRUE(clip.GetData(CF_METAFILEPICT, &m, &pictureFormat));
    METAFILEPICT* pict = (METAFILEPICT*)GlobalLock(m.hMetaFilePict);
    EXPECT_EQ(MM_ANISOTROPIC, pict->mm);
    // The margin control's "Border": the drawing with a border, less than the page, and
    // the same part in both pictures.
    EXPECT_GT(pict->xExt, 0);
    EXPECT_GT(pict->yExt, 0);
    EXPECT_LT(pict->xExt, 25400);
    EXPECT_LT(pict->yExt, 19050);
    const SIZE picture = {pict->xExt, pict->yExt};
    GlobalUnlock(m.hMetaFilePict);
    ReleaseStgMedium(&m);
    FORMATETC emfFormat = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    ASSERT_TRUE(clip.GetData(CF_ENHMETAFILE, &m, &emfFormat));
    ENHMETAHEADER header = {};
    ASSERT_TRUE(GetEnhMetaFileHeader(m.hEnhMetaFile, sizeof header, &header));
    EXPECT_EQ(picture.cx, header.rclFrame.right - header.rclFrame.left);
    EXPECT_EQ(picture.cy, header.rclFrame.bottom - header.rclFrame.top);
    ReleaseStgMedium(&m);
    clip.Release();
    OleSetClipboard(nullptr);
}

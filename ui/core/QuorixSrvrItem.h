// The OLE server items of the page windows: what a container that embeds or links a page,
// or the clipboard after Copy Page, receives. The picture is the kernel's enhanced
// metafile of the page, also offered as a metafile picture; the page's own window file is
// the item's data.
#pragma once

#include <afxole.h>

#include "QUExport.h"

class CQuorixDoc;

class QU_API CQuorixSrvrItem : public COleServerItem {
    DECLARE_DYNAMIC(CQuorixSrvrItem)
public:
    CQuorixSrvrItem(CQuorixDoc* pDoc, BOOL bAutoDelete = TRUE);
    ~CQuorixSrvrItem() override;

    CQuorixDoc* GetDocument() const { return (CQuorixDoc*)COleServerItem::GetDocument(); }

    void Serialize(CArchive& ar) override;
    BOOL OnDraw(CDC* pDC, CSize& rSize) override;
    BOOL OnGetExtent(DVASPECT nDrawAspect, CSize& rSize) override;
    void OnShow() override;
    void OnOpen() override;
    BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile) override;
    BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium) override;
    BOOL GetMetafileData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium) override;
    // Options of the kernel's enhanced metafile for a copied page (CreateEMFEx).
    virtual DWORD GetCreateEMFForCopyPageOptions() { return 0; }

    void CleanupCachedEMF();
    // The page as a Windows metafile; size receives its extent (HIMETRIC). Null on failure.
    HMETAFILE GetOrdinaryMetafile(CSize& size);
    // Hands the cached enhanced metafile to the medium; 0 without one.
    BOOL GetEnhancedMetafileData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
    BOOL save_to_file(CFile* pFile);
    HENHMETAFILE GetCachedEMF() const { return m_hEMF; }

protected:
    // An item that serves a link while nobody uses the program ends it with the link.
    void ShutDownWithLinkWhenHidden();
    HENHMETAFILE m_hEMF = nullptr;
};

class QU_API CQUWksSrvrItem : public CQuorixSrvrItem {
    DECLARE_DYNAMIC(CQUWksSrvrItem)
public:
    explicit CQUWksSrvrItem(CQuorixDoc* pDoc) : CQuorixSrvrItem(pDoc) {}
};

class QU_API CQUGraphSrvrItem : public CQuorixSrvrItem {
    DECLARE_DYNAMIC(CQUGraphSrvrItem)
public:
    explicit CQUGraphSrvrItem(CQuorixDoc* pDoc) : CQuorixSrvrItem(pDoc) {}
};

class QU_API CQUMatrixSrvrItem : public CQuorixSrvrItem {
    DECLARE_DYNAMIC(CQUMatrixSrvrItem)
public:
    explicit CQUMatrixSrvrItem(CQuorixDoc* pDoc) : CQuorixSrvrItem(pDoc) {}
};

// A layout's picture goes to the clipboard without the page's own data.
class QU_API CQULayoutSrvrItem : public CQUGraphSrvrItem {
    DECLARE_DYNAMIC(CQULayoutSrvrItem)
public:
    explicit CQULayoutSrvrItem(CQuorixDoc* pDoc) : CQUGraphSrvrItem(pDoc) {}
    COleDataSource* OnGetClipboardData(BOOL bIncludeLink, LPPOINT lpOffset, LPSIZE lpSize) override;
    DWORD GetCreateEMFForCopyPageOptions() override;
};

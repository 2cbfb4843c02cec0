// GDI object and device context wrappers.
#include "afxwin.h"
#include "HandleMap.h"

namespace {

afximpl::HandleMap<HGDIOBJ, CGdiObject>& GdiMap()
{
    static afximpl::HandleMap<HGDIOBJ, CGdiObject> map([]() { return new CGdiObject; },
                                                        [](CGdiObject* p, HGDIOBJ h) { p->m_hObject = h; });
    return map;
}

afximpl::HandleMap<HDC, CDC>& DCMap()
{
    static afximpl::HandleMap<HDC, CDC> map([]() { return new CDC; },
                                            [](CDC* p, HDC h) { p->m_hDC = p->m_hAttribDC = h; });
    return map;
}

const int HIMETRIC_INCH = 2540;   // hundredths of a millimetre per inch

}

/////////////////////////////////////////////////////////////////////////////
// CGdiObject and kin

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const { return this == nullptr ? nullptr : m_hObject; }

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) { return GdiMap().FromHandle(hObject); }
void PASCAL CGdiObject::DeleteTempMap() { GdiMap().DeleteTemp(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == nullptr)
        return FALSE;
    GdiMap().SetPermanent(hObject, this);
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    if (hObject != nullptr)
        GdiMap().RemoveHandle(hObject, this);
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

CPen::CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    if (!CreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle))
        AfxThrowResourceException();
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    return Attach(::ExtCreatePen((DWORD)nPenStyle, (DWORD)nWidth, pLogBrush, (DWORD)nStyleCount, lpStyle));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap)
{
    if (!CreatePatternBrush(pBitmap))
        AfxThrowResourceException();
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) { return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle())); }
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision,
                       BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality,
                                nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONTA logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    lstrcpynA(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    HDC hDC = pDC != nullptr ? pDC->m_hAttribDC : ::GetDC(nullptr);
    LOGFONTA logFont = *lpLogFont;
    // Tenths of a point to logical units of the DC: 720 tenths per inch.
    POINT pt = {0, MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), logFont.lfHeight, 720)};
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = {0, 0};
    ::DPtoLP(hDC, &ptOrg, 1);
    logFont.lfHeight = -abs(pt.y - ptOrg.y);
    if (pDC == nullptr)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&logFont);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    return Attach(::LoadBitmapA(hInst, lpszResourceName));
}

BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCE(nIDBitmap))); }

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP lpColorMap, int nMapSize)
{
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nIDBitmap), RT_BITMAP);
    return Attach(::CreateMappedBitmap(hInst, (INT_PTR)nIDBitmap, nFlags, lpColorMap, nMapSize));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
    SIZE size;
    ::SetBitmapDimensionEx((HBITMAP)m_hObject, nWidth, nHeight, &size);
    return size;
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size;
    ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return size;
}

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return Attach(::CreateHalftonePalette(pDC->GetSafeHdc())); }

int CPalette::GetEntryCount()
{
    WORD nEntries = 0;
    ::GetObjectA(m_hObject, sizeof(WORD), &nEntries);
    return nEntries;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    return ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    return ::SetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}

void CPalette::AnimatePalette(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    ::AnimatePalette((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const
{
    return ::GetNearestPaletteIndex((HPALETTE)m_hObject, crColor);
}

BOOL CPalette::ResizePalette(UINT nNumEntries) { return ::ResizePalette((HPALETTE)m_hObject, nNumEntries); }

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) { return Attach(::CreateEllipticRgnIndirect(lpRect)); }
BOOL CRgn::CreatePolygonRgn(LPPOINT lpPoints, int nCount, int nMode) { return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode)); }

BOOL CRgn::CreatePolyPolygonRgn(LPPOINT lpPoints, LPINT lpPolyCounts, int nCount, int nPolyFillMode)
{
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreateFromPath(CDC* pDC) { return Attach(::PathToRegion(pDC->m_hDC)); }

int CRgn::CombineRgn(CRgn* pRgn1, CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->GetSafeHandle(), (HRGN)pRgn2->GetSafeHandle(), nCombineMode);
}

int CRgn::CopyRgn(CRgn* pRgnSrc) { return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->GetSafeHandle(), nullptr, RGN_COPY); }

/////////////////////////////////////////////////////////////////////////////
// CDC

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CMetaFileDC, CDC)

CDC::CDC() : m_hDC(nullptr), m_hAttribDC(nullptr), m_bPrinting(FALSE) {}

CDC::~CDC()
{
    if (m_hDC != nullptr)
        ::DeleteDC(Detach());
}

HDC CDC::GetSafeHdc() const { return this == nullptr ? nullptr : m_hDC; }

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CDC* PASCAL CDC::FromHandle(HDC hDC) { return DCMap().FromHandle(hDC); }
void PASCAL CDC::DeleteTempMap() { DCMap().DeleteTemp(); }

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == nullptr)
        return FALSE;
    DCMap().SetPermanent(hDC, this);
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (hDC != nullptr)
        DCMap().RemoveHandle(hDC, this);
    ReleaseAttribDC();
    ReleaseOutputDC();
    return hDC;
}

void CDC::SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
void CDC::SetOutputDC(HDC hDC) { m_hDC = hDC; }
void CDC::ReleaseAttribDC() { m_hAttribDC = nullptr; }
void CDC::ReleaseOutputDC() { m_hDC = nullptr; }

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
}

BOOL CDC::CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateICA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC()
{
    int nRetVal = 0;
    if (m_hAttribDC != nullptr)
        nRetVal = ::SaveDC(m_hAttribDC);
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC) != 0)
        nRetVal = -1;   // the two DCs' levels differ: restore with -1
    return nRetVal;
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    BOOL bRetVal = TRUE;
    if (m_hDC != m_hAttribDC)
        bRetVal = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC != nullptr)
        bRetVal = bRetVal && ::RestoreDC(m_hAttribDC, nSavedDC);
    return bRetVal;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    HGDIOBJ hOldObj = nullptr;
    if (m_hDC != m_hAttribDC)
        hOldObj = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC != nullptr)
        hOldObj = ::SelectObject(m_hAttribDC, hObject);
    return hOldObj;
}

CPen* CDC::SelectObject(CPen* pPen) { return (CPen*)CGdiObject::FromHandle(SelectObject(pPen->GetSafeHandle())); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return (CBrush*)CGdiObject::FromHandle(SelectObject(pBrush->GetSafeHandle())); }
CFont* CDC::SelectObject(CFont* pFont) { return (CFont*)CGdiObject::FromHandle(SelectObject(pFont->GetSafeHandle())); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) { return (CBitmap*)CGdiObject::FromHandle(SelectObject(pBitmap->GetSafeHandle())); }
int CDC::SelectObject(CRgn* pRgn) { return (int)(INT_PTR)SelectObject(pRgn->GetSafeHandle()); }
CGdiObject* CDC::SelectObject(CGdiObject* pObject) { return CGdiObject::FromHandle(SelectObject(pObject->GetSafeHandle())); }
CGdiObject* CDC::SelectStockObject(int nIndex) { return CGdiObject::FromHandle(SelectObject(::GetStockObject(nIndex))); }

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return (CPalette*)CGdiObject::FromHandle(::SelectPalette(m_hDC, (HPALETTE)pPalette->GetSafeHandle(), bForceBackground));
}

// Attribute setters change both DCs and answer the attribute DC's old value.
#define SET_ATTRIBUTE(call) \
    do { \
        if (m_hDC != m_hAttribDC) \
            ::call(m_hDC, value); \
        return m_hAttribDC ? ::call(m_hAttribDC, value) : 0; \
    } while (0)

COLORREF CDC::SetBkColor(COLORREF value) { SET_ATTRIBUTE(SetBkColor); }
int CDC::SetBkMode(int value) { SET_ATTRIBUTE(SetBkMode); }
COLORREF CDC::SetTextColor(COLORREF value) { SET_ATTRIBUTE(SetTextColor); }
int CDC::SetROP2(int value) { SET_ATTRIBUTE(SetROP2); }
int CDC::SetStretchBltMode(int value) { SET_ATTRIBUTE(SetStretchBltMode); }
int CDC::SetPolyFillMode(int value) { SET_ATTRIBUTE(SetPolyFillMode); }
UINT CDC::SetTextAlign(UINT value) { SET_ATTRIBUTE(SetTextAlign); }
int CDC::SetTextCharacterExtra(int value) { SET_ATTRIBUTE(SetTextCharacterExtra); }
int CDC::SetMapMode(int value) { SET_ATTRIBUTE(SetMapMode); }

#undef SET_ATTRIBUTE

CPoint CDC::GetViewportOrg() const
{
    POINT point;
    ::GetViewportOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC)
        ::SetViewportOrgEx(m_hDC, x, y, &point);
    if (m_hAttribDC != nullptr)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &point);
    return point;
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC)
        ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &point);
    if (m_hAttribDC != nullptr)
        ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &point);
    return point;
}

CSize CDC::GetViewportExt() const
{
    SIZE size;
    ::GetViewportExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC)
        ::SetViewportExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC != nullptr)
        ::SetViewportExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}

CPoint CDC::GetWindowOrg() const
{
    POINT point;
    ::GetWindowOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC)
        ::SetWindowOrgEx(m_hDC, x, y, &point);
    if (m_hAttribDC != nullptr)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &point);
    return point;
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC)
        ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &point);
    if (m_hAttribDC != nullptr)
        ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &point);
    return point;
}

CSize CDC::GetWindowExt() const
{
    SIZE size;
    ::GetWindowExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC)
        ::SetWindowExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC != nullptr)
        ::SetWindowExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    CSize sizeWinExt = GetWindowExt();
    CSize sizeVpExt = GetViewportExt();
    lpSize->cx = MulDiv(lpSize->cx, abs(sizeWinExt.cx), abs(sizeVpExt.cx));
    lpSize->cy = MulDiv(lpSize->cy, abs(sizeWinExt.cy), abs(sizeVpExt.cy));
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    CSize sizeWinExt = GetWindowExt();
    CSize sizeVpExt = GetViewportExt();
    lpSize->cx = MulDiv(lpSize->cx, abs(sizeVpExt.cx), abs(sizeWinExt.cx));
    lpSize->cy = MulDiv(lpSize->cy, abs(sizeVpExt.cy), abs(sizeWinExt.cy));
}

void CDC::DPtoHIMETRIC(LPSIZE lpSize) const
{
    int nMapMode = GetMapMode();
    if (nMapMode < MM_ISOTROPIC && nMapMode != MM_TEXT) {
        // A metric mapping already: let GDI convert through MM_HIMETRIC.
        ::SetMapMode(m_hAttribDC, MM_HIMETRIC);
        DPtoLP(lpSize);
        ::SetMapMode(m_hAttribDC, nMapMode);
    } else {
        lpSize->cx = MulDiv(lpSize->cx, HIMETRIC_INCH, GetDeviceCaps(LOGPIXELSX));
        lpSize->cy = MulDiv(lpSize->cy, HIMETRIC_INCH, GetDeviceCaps(LOGPIXELSY));
    }
}

void CDC::HIMETRICtoDP(LPSIZE lpSize) const
{
    int nMapMode = GetMapMode();
    if (nMapMode < MM_ISOTROPIC && nMapMode != MM_TEXT) {
        ::SetMapMode(m_hAttribDC, MM_HIMETRIC);
        LPtoDP(lpSize);
        ::SetMapMode(m_hAttribDC, nMapMode);
    } else {
        lpSize->cx = MulDiv(lpSize->cx, GetDeviceCaps(LOGPIXELSX), HIMETRIC_INCH);
        lpSize->cy = MulDiv(lpSize->cy, GetDeviceCaps(LOGPIXELSY), HIMETRIC_INCH);
    }
}

void CDC::LPtoHIMETRIC(LPSIZE lpSize) const
{
    LPtoDP(lpSize);
    DPtoHIMETRIC(lpSize);
}

void CDC::HIMETRICtoLP(LPSIZE lpSize) const
{
    HIMETRICtoDP(lpSize);
    DPtoLP(lpSize);
}

CPoint CDC::GetCurrentPosition() const
{
    POINT point;
    ::GetCurrentPositionEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC)
        ::MoveToEx(m_hDC, x, y, &point);
    if (m_hAttribDC != nullptr)
        ::MoveToEx(m_hAttribDC, x, y, &point);
    return point;
}

BOOL CDC::LineTo(int x, int y)
{
    if (m_hAttribDC != nullptr && m_hDC != m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    COLORREF crOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, crOld);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount) { return ::TextOutA(m_hDC, x, y, lpszString, nCount); }

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths)
{
    return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return size;
}

CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return size;
}

int CDC::StartDoc(LPCTSTR lpszDocName)
{
    DOCINFOA di = {};
    di.cbSize = sizeof(di);
    di.lpszDocName = lpszDocName;
    return ::StartDocA(m_hDC, &di);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    if (!Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CMetaFileDC::CMetaFileDC() {}

CMetaFileDC::~CMetaFileDC()
{
    // An unclosed recording is discarded, not leaked.
    if (m_hDC != nullptr) {
        if (::GetObjectType(m_hDC) == OBJ_ENHMETADC)
            ::DeleteEnhMetaFile(CloseEnhanced());
        else
            ::DeleteMetaFile(Close());
    }
}

BOOL CMetaFileDC::Create(LPCTSTR lpszFilename) { return Attach(::CreateMetaFileA(lpszFilename)); }

BOOL CMetaFileDC::CreateEnhanced(CDC* pDCRef, LPCTSTR lpszFileName, LPCRECT lpBounds, LPCTSTR lpszDescription)
{
    return Attach(::CreateEnhMetaFileA(pDCRef->GetSafeHdc(), lpszFileName, lpBounds, lpszDescription));
}

HMETAFILE CMetaFileDC::Close() { return ::CloseMetaFile(Detach()); }
HENHMETAFILE CMetaFileDC::CloseEnhanced() { return ::CloseEnhMetaFile(Detach()); }

void CMetaFileDC::SetAttribDC(HDC hDC)
{
    // Queries of a metafile go to a reference device; drawing still goes to the file.
    m_hAttribDC = hDC != nullptr ? hDC : m_hDC;
}

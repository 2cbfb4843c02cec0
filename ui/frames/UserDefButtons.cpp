#include "UserDefButtons.h"

#include <QKAccess.h>
#include <QKData.h>
#include <QKUtil.h>

#include <cstdio>
#include <vector>

#include "ButtonDialogs.h"
#include "ChildFrame.h"
#include "FrameHost.h"
#include "FramesResource.h"
#include "MainFrame.h"
#include "ToolBarManagerEx.h"

namespace {

CString LoadText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

CString WithSeparator(CString strFolder)
{
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] != '\\')
        strFolder += '\\';
    return strFolder;
}

// The whole file, or an empty block when it cannot be read completely.
std::vector<BYTE> ReadWholeFile(LPCTSTR lpszPath)
{
    std::vector<BYTE> data;
    HANDLE hFile = ::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return data;
    DWORD dwSize = ::GetFileSize(hFile, nullptr);
    if (dwSize != INVALID_FILE_SIZE && dwSize > 0) {
        data.resize(dwSize);
        DWORD dwRead = 0;
        if (!::ReadFile(hFile, data.data(), dwSize, &dwRead, nullptr) || dwRead != dwSize)
            data.clear();
    }
    ::CloseHandle(hFile);
    return data;
}

// The information header of a bitmap file's bytes; null when the file is no bitmap.
const BITMAPINFOHEADER* BitmapHeader(const std::vector<BYTE>& data)
{
    if (data.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return nullptr;
    const BITMAPFILEHEADER* pFile = (const BITMAPFILEHEADER*)data.data();
    if (pFile->bfType != 19778)   // "BM"
        return nullptr;
    return (const BITMAPINFOHEADER*)(data.data() + sizeof(BITMAPFILEHEADER));
}

} // namespace

CString QUFolderOfKind(int nKind)
{
    if (nKind == 1)
        return WithSeparator(qkfxGetExePath().c_str());
    char szFolder[MAX_PATH] = "";
    qkfxGetGlobalINIPath(szFolder);
    return WithSeparator(szFolder);
}

CString QUUserSettingsFile()
{
    return qkfxGetINIFileFullPathName().c_str();
}

int GetBitmapBitCount(LPCTSTR lpszPath)
{
    std::vector<BYTE> data = ReadWholeFile(lpszPath);
    const BITMAPINFOHEADER* pInfo = BitmapHeader(data);
    return pInfo != nullptr ? pInfo->biBitCount : 0;
}

BOOL LoadSysColorBitmap(LPCTSTR lpszPath, CBitmap& bitmap)
{
    std::vector<BYTE> data = ReadWholeFile(lpszPath);
    const BITMAPINFOHEADER* pInfo = BitmapHeader(data);
    if (pInfo == nullptr || pInfo->biBitCount != 4 || pInfo->biSize != sizeof(BITMAPINFOHEADER) ||
        pInfo->biWidth <= 0 || pInfo->biHeight == 0)
        return FALSE;
    int nColors = pInfo->biClrUsed != 0 ? (int)pInfo->biClrUsed : 16;
    if (nColors > 16)
        return FALSE;
    size_t nHeader = sizeof(BITMAPINFOHEADER) + nColors * sizeof(RGBQUAD);
    size_t nOffset = sizeof(BITMAPFILEHEADER) + nHeader;
    LONG cy = pInfo->biHeight < 0 ? -pInfo->biHeight : pInfo->biHeight;
    size_t nRow = ((size_t)pInfo->biWidth * 4 + 31) / 32 * 4;
    if (data.size() < nOffset + nRow * cy)
        return FALSE;
    // A copy of the header and colour table with the four button colours of the system.
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
    memcpy(info.data(), pInfo, nHeader);
    RGBQUAD* pTable = (RGBQUAD*)(info.data() + sizeof(BITMAPINFOHEADER));
    static const struct { BYTE r, g, b; int nSysColor; } kMap[] = {
        {0, 0, 0, COLOR_BTNTEXT},
        {128, 128, 128, COLOR_BTNSHADOW},
        {192, 192, 192, COLOR_BTNFACE},
        {255, 255, 255, COLOR_BTNHIGHLIGHT},
    };
    for (int i = 0; i < nColors; i++)
        for (const auto& m : kMap)
            if (pTable[i].rgbRed == m.r && pTable[i].rgbGreen == m.g && pTable[i].rgbBlue == m.b) {
                COLORREF cr = ::GetSysColor(m.nSysColor);
                pTable[i].rgbRed = GetRValue(cr);
                pTable[i].rgbGreen = GetGValue(cr);
                pTable[i].rgbBlue = GetBValue(cr);
                break;
            }
    HDC hdcScreen = ::GetDC(nullptr);
    HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, pInfo->biWidth, cy);
    BOOL bOk = FALSE;
    if (hbm != nullptr) {
        HDC hdc = ::CreateCompatibleDC(hdcScreen);
        HGDIOBJ hOld = ::SelectObject(hdc, hbm);
        bOk = ::StretchDIBits(hdc, 0, 0, pInfo->biWidth, cy, 0, 0, pInfo->biWidth, cy, data.data() + nOffset,
                              (const BITMAPINFO*)info.data(), DIB_RGB_COLORS, SRCCOPY) != 0;
        ::SelectObject(hdc, hOld);
        ::DeleteDC(hdc);
    }
    ::ReleaseDC(nullptr, hdcScreen);
    if (!bOk) {
        if (hbm != nullptr)
            ::DeleteObject(hbm);
        return FALSE;
    }
    bitmap.DeleteObject();
    return bitmap.Attach(hbm);
}

/////////////////////////////////////////////////////////////////////////////
// CQUUserDefButtons

CQUUserDefButtons::CQUUserDefButtons() : FirstId(0), ButtonCount(0), System(FALSE), FolderKind(2)
{
    memset(Ids, 0, sizeof Ids);
}

CQUUserDefButtons::~CQUUserDefButtons()
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        delete GetAt(i);
    RemoveAll();
    Bitmap.DeleteObject();
}

CString CQUUserDefButtons::ButtonSection(int nIndex)
{
    CString s;
    s.Format("CustomButton%d", nIndex + 1);
    return s;
}

CString CQUUserDefButtons::FolderText() const
{
    return QUFolderOfKind(FolderKind);
}

CString CQUUserDefButtons::MakeRelative(LPCTSTR lpszPath) const
{
    CString strPath(lpszPath), strFolder = FolderText();
    if (strPath.GetLength() >= strFolder.GetLength() && strPath.Left(strFolder.GetLength()).CompareNoCase(strFolder) == 0)
        return strPath.Mid(strFolder.GetLength());
    return strPath;
}

CString CQUUserDefButtons::MakeAbsolute(LPCTSTR lpszName) const
{
    CString strName(lpszName);
    if (strName.IsEmpty() || strName[0] == '\\' || strName.Find(":\\") >= 0)
        return strName;
    return FolderText() + strName;
}

void CQUUserDefButtons::Init(LPCTSTR lpszIniFile, LPCTSTR lpszName, BOOL bSystem, LPCTSTR lpszBitmapFile, int nCount)
{
    System = bSystem;
    FolderKind = bSystem ? 1 : 2;
    IniPath = MakeAbsolute(lpszIniFile);
    if (lpszBitmapFile != nullptr && *lpszBitmapFile != '\0')
        BitmapPath = MakeAbsolute(lpszBitmapFile);
    if (nCount != 0)
        ButtonCount = nCount < MaxButtons ? nCount : MaxButtons;
    if (lpszName != nullptr && *lpszName != '\0')
        Name = lpszName;
    memset(Ids, 0, sizeof Ids);
}

CString CQUUserDefButtons::ReadString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszDefault) const
{
    char szValue[1024] = "";
    ::GetPrivateProfileStringA(lpszSection, lpszKey, lpszDefault, szValue, sizeof szValue, IniPath);
    return szValue;
}

int CQUUserDefButtons::ReadInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nDefault) const
{
    return (int)::GetPrivateProfileIntA(lpszSection, lpszKey, nDefault, IniPath);
}

void CQUUserDefButtons::WriteString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue) const
{
    if (!System)
        ::WritePrivateProfileStringA(lpszSection, lpszKey, lpszValue, IniPath);
}

void CQUUserDefButtons::WriteInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nValue) const
{
    CString s;
    s.Format("%d", nValue);
    WriteString(lpszSection, lpszKey, s);
}

void CQUUserDefButtons::Message(const CString& strText) const
{
    ::MessageBoxA(nullptr, strText, LoadText(IDS_BG_CAPTION), MB_OK | MB_TASKMODAL);
}

BOOL CQUUserDefButtons::Load(int nMode)
{
    if (nMode == LoadStartUp || nMode == LoadAddExisting) {
        if (!qkuFileExists(IniPath)) {
            Message(IniPath + " " + LoadText(IDS_BG_DOES_NOT_EXIST));
            return FALSE;
        }
    }
    if (nMode == LoadAddExisting && !ReadGroupName(nMode))
        return FALSE;
    if (!LoadBitmap(nMode))
        return FALSE;
    BOOL bCount = ReadButtonCount(nMode);
    return nMode == LoadAddExisting ? bCount : TRUE;
}

BOOL CQUUserDefButtons::ReadGroupName(int)
{
    if (m_pManager != nullptr) {
        CQUUserDefButtons* pOther = m_pManager->GetGroupWithIniFile(IniPath);
        if (pOther != nullptr) {
            Message(LoadText(IDS_BG_INI_IN_USE) + pOther->GetName());
            return FALSE;
        }
    }
    CString strName = ReadString("Common", "GroupName");
    if (strName.IsEmpty() || (m_pManager != nullptr && m_pManager->GetGroupWithName(strName) != -1)) {
        CQUNewCategoryName dlg;
        dlg.m_strName = strName;
        dlg.m_bNameMissing = strName.IsEmpty();
        if (dlg.DoModal() != IDOK)
            return FALSE;
        strName = dlg.m_strName;
    }
    Name = strName;
    return TRUE;
}

BOOL CQUUserDefButtons::LoadBitmap(int nMode)
{
    if (BitmapPath.IsEmpty()) {
        CString strValue = ReadString("Common", "BitmapFile");
        if (strValue.IsEmpty()) {
            if (nMode != LoadStartUp) {
                Message(LoadText(IDS_BG_INFO_MISSING));
                return FALSE;
            }
            strValue = "userdef.bmp";
        }
        BitmapPath = MakeAbsolute(strValue);
        if (!qkuFileExists(BitmapPath)) {
            CString strName = strValue;
            int nSlash = strName.ReverseFind('\\');
            if (nSlash >= 0)
                strName = strName.Mid(nSlash + 1);
            BitmapPath = FolderText() + strName;
        }
    }
    if (!qkuFileExists(BitmapPath)) {
        Message(BitmapPath + " " + LoadText(IDS_BG_DOES_NOT_EXIST) + " " + LoadText(IDS_BG_CANNOT_CREATE) + " " + Name);
        return FALSE;
    }
    if (GetBitmapBitCount(BitmapPath) != 4) {
        Message(LoadText(IDS_BG_ILLEGAL_TOOLBAR_BITMAP) + BitmapPath + ". " + LoadText(IDS_BG_ILLEGAL_BITMAP) + " " +
                LoadText(IDS_BG_BUTTON_GROUP) + Name + LoadText(IDS_BG_NOT_AVAILABLE));
        return FALSE;
    }
    if (!LoadSysColorBitmap(BitmapPath, Bitmap)) {
        BitmapPath.Empty();
        return FALSE;
    }
    return TRUE;
}

BOOL CQUUserDefButtons::ReadButtonCount(int nMode)
{
    if (ButtonCount != 0)
        return TRUE;
    int nCount = ReadInt("Common", "ButtonCount", 0);
    if (nCount <= 0) {
        if (nMode != LoadStartUp)
            return FALSE;
        nCount = 10;
    }
    // A group holds at most 50 buttons: a longer file gives its first 50.
    ButtonCount = nCount < MaxButtons ? nCount : MaxButtons;
    return TRUE;
}

UINT CQUUserDefButtons::ReadButtonId(int nIndex)
{
    UINT nID = 0;
    if (!System) {
        CQUFrameHost* pHost = QUGetFrameHost();
        pHost->BeginRegistryAccess("UserGroupsBtnsIds", FALSE, TRUE);
        nID = AfxGetApp()->GetProfileInt(Name, ButtonSection(nIndex), 0);
        pHost->EndRegistryAccess();
    }
    if (nID == 0)
        nID = (UINT)ReadInt(ButtonSection(nIndex), "Id", 0);
    return nID;
}

int CQUUserDefButtons::ReadButtonImage(int nIndex)
{
    return ReadInt(ButtonSection(nIndex), "Image", nIndex);
}

void CQUUserDefButtons::CreateButtons(const UINT* pIds)
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        delete GetAt(i);
    RemoveAll();
    for (int i = 0; i < ButtonCount; i++) {
        CQUButtonAttribs* pButton = new CQUButtonAttribs;
        pButton->Id = pIds[i];
        Ids[i] = pIds[i];
        Add(pButton);
    }
    FirstId = ButtonCount > 0 ? pIds[0] : 0;
    ReadButtons();
}

void CQUUserDefButtons::ReadButtons()
{
    for (int i = 0; i < ButtonCount && i < GetSize(); i++) {
        CQUButtonAttribs* p = GetAt(i);
        CString strSection = ButtonSection(i);
        p->FileName = MakeAbsolute(ReadString(strSection, "FileName"));
        p->SectionName = ReadString(strSection, "SectionName");
        p->ArgumentList = ReadString(strSection, "ArgumentList");
        p->ContextWindow = ReadInt(strSection, "ContextWindow", 1);
        p->TemplateName = MakeAbsolute(ReadString(strSection, "TemplateName"));
        p->Worksheet = ReadInt(strSection, "Worksheet", 1);
        p->Graph = ReadInt(strSection, "Graph", 1);
        p->Matrix = ReadInt(strSection, "Matrix", 1);
        p->Excel = ReadInt(strSection, "Excel", 1);
        p->Layout = ReadInt(strSection, "Layout", 1);
        p->ToolTip = ReadString(strSection, "ToolTip");
        p->StatusBarMsg = ReadString(strSection, "StatusBarMsg");
        p->Variable = ReadString(strSection, "Variable");
    }
}

void CQUUserDefButtons::SetImages(const int* pImages)
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        GetAt(i)->Image = pImages[i];
}

void CQUUserDefButtons::RegisterImages(SECToolBarManagerEx* pManager)
{
    for (INT_PTR i = 0; i < GetSize(); i++) {
        SECToolBarManager::ImageRef ref;
        if (pManager->LookupImage(GetAt(i)->Id, ref))
            pManager->SetImage(GetAt(i)->Id, ref.hbm, GetAt(i)->Image);
    }
}

void CQUUserDefButtons::RefreshIds()
{
    memset(Ids, 0, sizeof Ids);
    for (INT_PTR i = 0; i < GetSize() && i < MaxButtons; i++)
        Ids[i] = GetAt(i)->Id;
}

void CQUUserDefButtons::WriteDefinition(int nMode)
{
    WriteGroupName();
    WriteBitmapFile();
    WriteButtonCount();
    if (nMode == LoadAddExisting || nMode == LoadCreateNew)
        ::WritePrivateProfileStringA("UserDefinedButtons", Name, MakeRelative(IniPath), QUUserSettingsFile());
}

void CQUUserDefButtons::WriteIds(BOOL bIni, BOOL bRegistry)
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        WriteButtonId((int)i, GetAt(i)->Id, bIni, bRegistry);
}

void CQUUserDefButtons::WriteGroupName()
{
    WriteString("Common", "GroupName", Name);
}

void CQUUserDefButtons::WriteBitmapFile()
{
    WriteString("Common", "BitmapFile", MakeRelative(BitmapPath));
}

void CQUUserDefButtons::WriteButtonCount()
{
    WriteInt("Common", "ButtonCount", ButtonCount);
}

void CQUUserDefButtons::WriteButton(int nIndex)
{
    CQUButtonAttribs* p = GetButton(nIndex);
    if (p == nullptr || System)
        return;
    CString s = ButtonSection(nIndex);
    WriteString(s, "FileName", MakeRelative(p->FileName));
    WriteString(s, "SectionName", p->SectionName);
    WriteString(s, "ArgumentList", p->ArgumentList);
    WriteInt(s, "ContextWindow", p->ContextWindow);
    WriteString(s, "TemplateName", MakeRelative(p->TemplateName));
    WriteInt(s, "Worksheet", p->Worksheet);
    WriteInt(s, "Graph", p->Graph);
    WriteInt(s, "Matrix", p->Matrix);
    WriteInt(s, "Excel", p->Excel);
    WriteInt(s, "Layout", p->Layout);
    WriteString(s, "ToolTip", p->ToolTip);
    WriteString(s, "StatusBarMsg", p->StatusBarMsg);
    WriteString(s, "Variable", p->Variable);
}

void CQUUserDefButtons::WriteAllButtons()
{
    for (INT_PTR i = 0; i < GetSize(); i++) {
        WriteButton((int)i);
        WriteButtonImage((int)i);
    }
}

void CQUUserDefButtons::WriteButtonId(int nIndex, UINT nID, BOOL bIni, BOOL bRegistry)
{
    if (System)
        return;
    if (bIni)
        WriteInt(ButtonSection(nIndex), "Id", (int)nID);
    if (bRegistry) {
        CQUFrameHost* pHost = QUGetFrameHost();
        pHost->BeginRegistryAccess("UserGroupsBtnsIds", FALSE, FALSE);
        AfxGetApp()->WriteProfileInt(Name, ButtonSection(nIndex), (int)nID);
        pHost->EndRegistryAccess();
    }
}

void CQUUserDefButtons::WriteButtonImage(int nIndex)
{
    CQUButtonAttribs* p = GetButton(nIndex);
    if (p != nullptr)
        WriteInt(ButtonSection(nIndex), "Image", p->Image);
}

CQUButtonAttribs* CQUUserDefButtons::GetButton(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetSize() ? GetAt(nIndex) : nullptr;
}

UINT CQUUserDefButtons::AddButton(SECToolBarManagerEx* pManager, UINT nID, int nImage)
{
    // The group's bitmap must be in the store before a button can draw from it; without
    // it the group is left unchanged.
    SECToolBarManager::ImageRef ref;
    if (ButtonCount >= MaxButtons || !pManager->LookupImage(FirstId, ref))
        return 0;
    CQUButtonAttribs* p = new CQUButtonAttribs;
    p->Id = nID;
    p->Image = nImage;
    Add(p);
    Ids[ButtonCount] = nID;
    ButtonCount++;
    pManager->SetImage(nID, ref.hbm, nImage);
    WriteButtonId(ButtonCount - 1, nID, TRUE, !System);
    WriteButtonImage(ButtonCount - 1);
    WriteButtonCount();
    return nID;
}

void CQUUserDefButtons::SetButtonImage(SECToolBarManagerEx* pManager, int nIndex, int nImage)
{
    CQUButtonAttribs* p = GetButton(nIndex);
    if (p == nullptr)
        return;
    p->Image = nImage;
    SECToolBarManager::ImageRef ref;
    if (pManager->LookupImage(p->Id, ref))
        pManager->SetImage(p->Id, ref.hbm, nImage);
}

void CQUUserDefButtons::SetButtonTexts(int nIndex, LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszToolTip,
                                       LPCTSTR lpszStatus)
{
    CQUButtonAttribs* p = GetButton(nIndex);
    if (p == nullptr)
        return;
    if (lpszFile != nullptr)
        p->FileName = lpszFile;
    if (lpszSection != nullptr)
        p->SectionName = lpszSection;
    if (lpszToolTip != nullptr)
        p->ToolTip = lpszToolTip;
    if (lpszStatus != nullptr)
        p->StatusBarMsg = lpszStatus;
    WriteButton(nIndex);
}

void CQUUserDefButtons::DeleteButton(UINT nID, int nIndex, SECToolBarManagerEx* pManager)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return;
    delete GetAt(nIndex);
    RemoveAt(nIndex);
    if (nIndex == 0 && GetSize() > 0) {
        pManager->RefileBitmap(FirstId, GetAt(0)->Id);
        FirstId = GetAt(0)->Id;
    }
    for (int i = 0; i < ButtonCount; i++)
        if (Ids[i] == nID) {
            memmove(&Ids[i], &Ids[i + 1], (MaxButtons - i - 1) * sizeof(UINT));
            Ids[MaxButtons - 1] = 0;
            break;
        }
    pManager->RemoveFromUsedIds(nID);
    ButtonCount--;
    pManager->RemoveImage(nID);
    WriteAllButtons();
    WriteIds(TRUE, TRUE);
    CString strOld = ButtonSection(ButtonCount);
    if (!System) {
        ::WritePrivateProfileStringA(strOld, nullptr, nullptr, IniPath);
        CQUFrameHost* pHost = QUGetFrameHost();
        pHost->BeginRegistryAccess("UserGroupsBtnsIds", FALSE, FALSE);
        AfxGetApp()->WriteProfileString(Name, strOld, nullptr);
        pHost->EndRegistryAccess();
    }
    WriteButtonCount();
}

BOOL CQUUserDefButtons::ChangeBitmap(LPCTSTR lpszPath, SECToolBarManagerEx* pManager)
{
    if (GetBitmapBitCount(lpszPath) != 4) {
        Message(CString(lpszPath) + LoadText(IDS_BG_ILLEGAL_FORMAT) + " " + LoadText(IDS_BG_ILLEGAL_BITMAP));
        return FALSE;
    }
    CBitmap bitmap;
    if (!LoadSysColorBitmap(lpszPath, bitmap))
        return FALSE;
    HBITMAP hCopy = (HBITMAP)::CopyImage(bitmap.m_hObject, IMAGE_BITMAP, 0, 0, 0);
    if (hCopy == nullptr)
        return FALSE;
    Bitmap.DeleteObject();
    Bitmap.Attach(bitmap.Detach());
    BitmapPath = lpszPath;
    pManager->ReplaceBitmap(FirstId, hCopy);
    WriteBitmapFile();
    return TRUE;
}

void CQUUserDefButtons::RemoveImages(SECToolBarManagerEx* pManager)
{
    pManager->RemoveBitmap(FirstId);
    for (INT_PTR i = 0; i < GetSize(); i++)
        pManager->RemoveImage(GetAt(i)->Id);
}

BOOL CQUUserDefButtons::ModifyButtonWithDialog(int nIndex, SECToolBarManagerEx*)
{
    CQUButtonAttribs* p = GetButton(nIndex);
    if (p == nullptr)
        return FALSE;
    CQUModifyButtonDlg dlg;
    dlg.SetFromButton(*p);
    dlg.m_bReadOnly = System;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.CopyToButton(*p);
    WriteButton(nIndex);
    return TRUE;
}

UINT CQUUserDefButtons::AddButtonWithDialog(SECToolBarManagerEx* pManager)
{
    BITMAP bm = {};
    if (Bitmap.m_hObject != nullptr)
        ::GetObject(Bitmap.m_hObject, sizeof bm, &bm);
    CQUAddButtonDlg dlg;
    dlg.m_nImageCount = bm.bmWidth / 16;
    if (dlg.DoModal() == IDCANCEL)
        return 0;
    UINT nID = pManager->GetNextAvailableId();
    if (nID == 0)
        return 0;
    UINT nAdded = AddButton(pManager, nID, atoi(dlg.m_strImageNumber) - 1);
    if (nAdded != 0)
        pManager->AddToUsedIds(nAdded);
    return nAdded;
}

void CQUUserDefButtons::ExportWithDialog(SECToolBarManagerEx*)
{
    CQUExportCategoryDlg dlg(this);
    dlg.m_strPackagePath = Name;
    dlg.DoModal();
}

CQUButtonAttribs* CQUUserDefButtons::FindButton(UINT nID) const
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        if (GetAt(i)->Id == nID)
            return GetAt(i);
    return nullptr;
}

void CQUUserDefButtons::RunButton(UINT nID)
{
    CQUButtonAttribs* p = FindButton(nID);
    if (p == nullptr || p->FileName.IsEmpty())
        return;
    CString strScript = p->FileName + "," + p->SectionName;
    if (!p->ArgumentList.IsEmpty())
        strScript += "," + p->ArgumentList;
    double dResult = 0;
    qkfxGetAccess()->run_section_script(strScript, &dResult);
}

int CQUUserDefButtons::IsButtonEnabled(UINT nID)
{
    CQUButtonAttribs* p = FindButton(nID);
    CMainFrame* pFrame = get_main_frame();
    CChildFrame* pChild = pFrame != nullptr ? pFrame->get_active_childframe(nullptr) : nullptr;
    if (p == nullptr || pChild == nullptr)
        return 0;
    int nKind = pChild->get_wnd_template_id();
    if (nKind < 0 || nKind > 4 || p->FileName.IsEmpty())
        return 0;
    int nResult = 0;
    if (p->ContextWindow != 0) {
        const int flags[] = {p->Worksheet, p->Graph, p->Matrix, p->Excel, p->Layout};
        nResult = flags[nKind] != 0;
    } else {
        CQKPage* pPage = qkfxGetProject().GetActivePage();
        if (pPage == nullptr)
            return 0;
        CString strPageTemplate = pPage->GetTemplateName().c_str();
        int nSlash = strPageTemplate.ReverseFind('\\');
        if (nSlash >= 0)
            strPageTemplate = strPageTemplate.Mid(nSlash + 1);
        // The button's template is stored with the group's folder in front; the page
        // names its template by file name, so the folder is not compared.
        CString strTemplate = p->TemplateName;
        nSlash = strTemplate.ReverseFind('\\');
        if (nSlash >= 0)
            strTemplate = strTemplate.Mid(nSlash + 1);
        CString strBase = strTemplate;
        BOOL bExtensionOk = TRUE;
        int nDot = strTemplate.Find('.');
        if (nDot >= 0) {
            strBase = strTemplate.Left(nDot);
            CString strExt = strTemplate.Mid(nDot);
            // The kernel names the template extensions by page kind; layouts use the graph's.
            static const int kCodes[] = {QK_PAGE_WKS, QK_PAGE_GRAPH, QK_PAGE_MATRIX, -1, QK_PAGE_GRAPH};
            std::string strKindExt;
            bExtensionOk = kCodes[nKind] >= 0 && qkfxGetQrxTemplateFileExtension(kCodes[nKind], strKindExt) &&
                           strExt.CompareNoCase(strKindExt.c_str()) == 0;
        }
        nResult = bExtensionOk && strBase.CompareNoCase(strPageTemplate) == 0;
    }
    if (nResult != 0 && !p->Variable.IsEmpty()) {
        CString strVariable = p->Variable;
        strVariable.MakeUpper();
        nResult = CQKCString::FindQuorixNumericVariable(strVariable, nullptr) ? 1 : 0;
    }
    return nResult;
}

CString CQUUserDefButtons::GetToolTipText(UINT nID) const
{
    CQUButtonAttribs* p = FindButton(nID);
    return p != nullptr ? p->ToolTip : CString();
}

CString CQUUserDefButtons::GetStatusText(UINT nID) const
{
    CQUButtonAttribs* p = FindButton(nID);
    return p != nullptr ? p->StatusBarMsg : CString();
}

// User-defined buttons: each runs a section of a script file; they come in groups, each
// defined by an INI file of its own (the group file) and drawing its images from one
// 16-colour bitmap of 16-pixel images.
#pragma once

#include <afxwin.h>
#include <afxtempl.h>

#include "FramesApi.h"

class SECToolBarManagerEx;

class QXFRAMES_API CQUButtonAttribs
{
public:
    CString ArgumentList;
    CString FileName;      // absolute in memory
    CString SectionName;
    CString StatusBarMsg;
    CString ToolTip;
    UINT Id = 0;
    int ContextWindow = 1;   // 1 enabled by window kind, 0 by template
    int Worksheet = 1, Graph = 1, Matrix = 1, Excel = 1, Layout = 1;
    CString TemplateName;
    int Image = 0;
    CString Variable;
};

// A file holding a bitmap: its bits per pixel, 0 when it is no readable bitmap file.
QXFRAMES_API int GetBitmapBitCount(LPCTSTR lpszPath);
// Loads a 4-bit bitmap file with black, dark grey, light grey and white replaced by the
// button colours of the system.
QXFRAMES_API BOOL LoadSysColorBitmap(LPCTSTR lpszPath, CBitmap& bitmap);

class QXFRAMES_API CQUUserDefButtons : public CTypedPtrArray<CPtrArray, CQUButtonAttribs*>
{
public:
    enum { MaxButtons = 50 };
    // Load modes
    enum { LoadStartUp = 0, LoadAddExisting = 1, LoadCreateNew = 2 };

    CQUUserDefButtons();
    ~CQUUserDefButtons() override;

    void Init(LPCTSTR lpszIniFile, LPCTSTR lpszName, BOOL bSystem, LPCTSTR lpszBitmapFile, int nCount);
    BOOL Load(int nMode);
    UINT ReadButtonId(int nIndex);
    int ReadButtonImage(int nIndex);
    void CreateButtons(const UINT* pIds);
    void SetImages(const int* pImages);
    void RegisterImages(SECToolBarManagerEx* pManager);
    void WriteDefinition(int nMode);
    void WriteIds(BOOL bIni, BOOL bRegistry);
    void WriteGroupName();
    void WriteBitmapFile();
    void WriteButtonCount();
    void WriteButton(int nIndex);
    void WriteAllButtons();
    void WriteButtonId(int nIndex, UINT nID, BOOL bIni, BOOL bRegistry);
    void WriteButtonImage(int nIndex);

    CQUButtonAttribs* GetButton(int nIndex) const;
    UINT AddButton(SECToolBarManagerEx* pManager, UINT nID, int nImage);
    void SetButtonImage(SECToolBarManagerEx* pManager, int nIndex, int nImage);
    void SetButtonTexts(int nIndex, LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszToolTip, LPCTSTR lpszStatus);
    void DeleteButton(UINT nID, int nIndex, SECToolBarManagerEx* pManager);
    BOOL ChangeBitmap(LPCTSTR lpszPath, SECToolBarManagerEx* pManager);
    void RemoveImages(SECToolBarManagerEx* pManager);

    // The dialogs: a button's settings (read-only for a group of the program folder), a
    // new button's image (its id, or 0), the export of the group.
    BOOL ModifyButtonWithDialog(int nIndex, SECToolBarManagerEx* pManager);
    UINT AddButtonWithDialog(SECToolBarManagerEx* pManager);
    void ExportWithDialog(SECToolBarManagerEx* pManager);

    CQUButtonAttribs* FindButton(UINT nID) const;
    void RunButton(UINT nID);
    int IsButtonEnabled(UINT nID);
    CString GetToolTipText(UINT nID) const;
    CString GetStatusText(UINT nID) const;

    CString GetName() const { return Name; }
    void SetName(LPCTSTR lpszName) { Name = lpszName; }
    const CString& GetBitmapPath() const { return BitmapPath; }
    const CString& GetIniPath() const { return IniPath; }
    CString GetIniFileFullPath() const { return IniPath; }
    CString MakeRelative(LPCTSTR lpszPath) const;
    CString MakeAbsolute(LPCTSTR lpszName) const;
    BOOL IsSystem() const { return System; }
    UINT GetFirstId() const { return FirstId; }
    int GetButtonCount() const { return ButtonCount; }
    const UINT* GetIds() const { return Ids; }
    // The Ids table made anew from the records.
    void RefreshIds();
    CBitmap& GetBitmap() { return Bitmap; }
    // The button's section in the group file: "CustomButton" and its 1-based number.
    static CString ButtonSection(int nIndex);
    // The folder of the group's kind, ending in a backslash.
    CString FolderText() const;

    // The manager whose id bookkeeping the loader consults (set by the manager).
    SECToolBarManagerEx* m_pManager = nullptr;

protected:
    CBitmap Bitmap;
    CString BitmapPath;
    CString IniPath;
    UINT FirstId;
    CString Name;
    int ButtonCount;
    UINT Ids[MaxButtons];
    BOOL System;
    WORD FolderKind;

    CString ReadString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszDefault = "") const;
    int ReadInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nDefault) const;
    void WriteString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue) const;
    void WriteInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nValue) const;
    BOOL ReadGroupName(int nMode);
    BOOL LoadBitmap(int nMode);
    BOOL ReadButtonCount(int nMode);
    void ReadButtons();
    void Message(const CString& strText) const;
};

// The user's settings file (the list of user groups lives there).
QXFRAMES_API CString QUUserSettingsFile();
// Folder of a kind: 1 the program folder, 2 the user's INI folder; ends in a backslash.
QXFRAMES_API CString QUFolderOfKind(int nKind);

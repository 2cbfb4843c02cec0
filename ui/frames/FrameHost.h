// What the frames, toolbars and button groups ask of the application object: where the
// profile functions read and write (the program's registry key or an INI file), and the
// hooks around saving the toolbars and closing the main window. The application registers
// its implementation with QUSetFrameHost; until it does, CQUProfileFrameHost serves,
// which redirects the framework's profile itself.
#pragma once

#include <afxwin.h>

#include "FramesApi.h"

class QXFRAMES_API CQUFrameHost
{
public:
    virtual ~CQUFrameHost() {}
    // Redirects the application's profile functions until EndRegistryAccess: bIniFile 0
    // to the program's registry key with lpszName as the root of the sections, 1 to the
    // INI file lpszName.
    virtual BOOL BeginRegistryAccess(LPCTSTR lpszName, BOOL bIniFile, BOOL bCheckUpgrade) = 0;
    virtual BOOL EndRegistryAccess() = 0;
    // The program's key below "Software" (at most 260 characters).
    virtual BOOL GetToolbarRegKeyString(char* pszBuffer, BOOL bCheckUpgrade) = 0;
    // "Software\<program key>\Toolbars".
    virtual void GetToolbarRegKeyStringLong(CString& strKey) = 0;
    virtual BOOL BeforeToolbarConfSaveLoad(BOOL bLoad) = 0;
    virtual BOOL AfterToolbarConfSaveLoad(BOOL bLoad) = 0;
    virtual BOOL DoNotSaveToolabarsConf() = 0;
    virtual void SetClosingAllWindows(BOOL bClosing) = 0;
    virtual BOOL OnMiscUnInit() = 0;
    // Whether the program was started for an OLE embedding: closing then asks nothing.
    virtual BOOL IsEmbeddingOpened() { return FALSE; }
    // "Use Toolbar Spacer" of the Options sheet (the system object's OPERATIONS flag): the
    // main frame asks it whenever a child window activates, and clears it when the user
    // hides the spacer.
    virtual BOOL GetUseSpacer() { return FALSE; }
    virtual void SetUseSpacer(BOOL) {}
    // A printer's settings or the system's printers changed (bUpdateSelection: the
    // program's printer is chosen again). A program without its own application object
    // has no windows to tell.
    virtual void NotifyPrinterChanged(BOOL bUpdateSelection) {}
};

// The redirection over the framework's profile members: the registry form is
// HKEY_CURRENT_USER\Software\<program key>\<name>\<section>. The toolbar arrangement lives
// under the name "Toolbars".
class QXFRAMES_API CQUProfileFrameHost : public CQUFrameHost
{
public:
    explicit CQUProfileFrameHost(LPCTSTR lpszProgramKey = "Veltranex\\Quorix 6.1\\English");
    BOOL BeginRegistryAccess(LPCTSTR lpszName, BOOL bIniFile, BOOL bCheckUpgrade) override;
    BOOL EndRegistryAccess() override;
    BOOL GetToolbarRegKeyString(char* pszBuffer, BOOL bCheckUpgrade) override;
    void GetToolbarRegKeyStringLong(CString& strKey) override;
    BOOL BeforeToolbarConfSaveLoad(BOOL bLoad) override;
    BOOL AfterToolbarConfSaveLoad(BOOL bLoad) override;
    BOOL DoNotSaveToolabarsConf() override { return FALSE; }
    void SetClosingAllWindows(BOOL bClosing) override { m_bClosingAll = bClosing; }
    BOOL OnMiscUnInit() override { return TRUE; }

    BOOL m_bClosingAll = FALSE;

private:
    CString m_strProgramKey;
    // What the redirection replaced, put back by EndRegistryAccess; nested calls stack.
    struct Saved
    {
        LPCTSTR pszRegistryKey;
        LPCTSTR pszProfileName;
        char* pszOwnKey;       // the strings this redirection points them at, freed at its end
        char* pszOwnProfile;
    };
    CArray<Saved, const Saved&> m_saved;
};

QXFRAMES_API void QUSetFrameHost(CQUFrameHost* pHost);
// The framework's headers are built for an older system version, which lacks F1's message.
#ifndef WM_HELPINFO
#define WM_HELPINFO 0x0053
#endif

// F1 in a dialog: the topic of the context id in the application's help file.
QXFRAMES_API void QUShowContextHelp(HWND hWnd, UINT nContext);
QXFRAMES_API CQUFrameHost* QUGetFrameHost();

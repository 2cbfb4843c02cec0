// Owner-drawn menus that show, left of each command, the image the command has on a
// toolbar: checked items in a sunken frame, disabled ones embossed, accelerators
// right-aligned.
#pragma once

#include <afxwin.h>
#include <afxcmn.h>
#include <vector>

#include "FramesApi.h"

class QXFRAMES_API CMenuSpawn
{
public:
    // Markers in a record's id field.
    enum { PopupMarker = -2, SeparatorMarker = -3 };
    struct Record
    {
        int nImage;       // -1 none
        int nID;          // command id or a marker
        char szText[128];
    };

    CMenuSpawn();
    virtual ~CMenuSpawn();
    CMenuSpawn(const CMenuSpawn&) = delete;
    CMenuSpawn& operator=(const CMenuSpawn&) = delete;

    // The first toolbar resource fixes the image size; later ones add their images.
    BOOL LoadFirstToolbar(UINT nID, HINSTANCE hInst);
    BOOL AddToolbar(UINT nID, HINSTANCE hInst);
    void SortImages();
    // The image of a command (through the alias table), -1 when it has none.
    int ImageOfCommand(int nID) const;

    // mode 1 before the framework's popup handling, 0 otherwise: popup items are made
    // owner-drawn only in mode 1 or for context menus.
    void RemapMenu(CMenu* pMenu, int nMode);
    void RestoreMenu(CMenu* pMenu);
    BOOL DrawItem(LPDRAWITEMSTRUCT lpDis);
    BOOL MeasureItem(LPMEASUREITEMSTRUCT lpMis);
    BOOL FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu, LRESULT& lResult);
    BOOL IsSpawnMenu(CMenu* pMenu, int nItem, BOOL bByPosition);

    void SetContextMenuFlag(BOOL bContext) { m_bContextMenu = bContext; }
    // The menu bar whose own command and separator items stay as they are.
    void SetMenuBar(HMENU hMenuBar) { m_hMenuBar = hMenuBar; }
    CSize GetImageSize() const { return CSize(m_cxImage, m_cyImage); }
    int GetCommandCount() const { return (int)m_commands.size(); }

protected:
    struct CommandImage
    {
        int nImage;
        WORD wID;
    };
    CImageList m_images;
    CImageList m_checkImages;
    COLORREF m_crMenuText, m_crHighlightText, m_crBtnFace, m_crMenu, m_crHighlight, m_crBtnHighlight, m_crBtnShadow,
        m_crGrayText;
    std::vector<Record*> m_records;   // grows only: a restored item's slot is emptied
    std::vector<CommandImage> m_commands;
    BOOL m_bSorted;
    HFONT m_hMenuFont;
    int m_cxImage, m_cyImage;
    BOOL m_bContextMenu;
    HMENU m_hMenuBar;

    BOOL LoadToolbar(UINT nID, HINSTANCE hInst, BOOL bFirst);
    Record* NewRecord(int nImage, int nID, const char* pszText);
    void FreeRecord(Record* pRecord);
    BOOL IsOwnRecord(ULONG_PTR data) const;
};

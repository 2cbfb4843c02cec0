// The tree of the Plot Details dialog: the graph page, its layers and their plots. The
// item data of the layers and plots are working copies that the dialog's pages edit; the
// tree fills itself as items are expanded, commits the copies on Apply and deletes them
// when the dialog closes.
#pragma once

#include <afxcmn.h>

#include <vector>

#include "PlotDetailsResources.h"
#include "QDExport.h"
#include "QKData.h"
#include "QKGraphObjects.h"

// Item images in the tree's image strip.
enum {
    PD_IMAGE_EXPANDED = 0,
    PD_IMAGE_COLLAPSED = 1,
    PD_IMAGE_LAYER_SELECTED = 2,
    PD_IMAGE_LAYER = 3,
    PD_IMAGE_PLOT_SELECTED = 4, // + 0 group begin, 1 group member, 2 single
    PD_IMAGE_PLOT = 7,
    PD_IMAGE_SPECIAL_SELECTED = 10,
    PD_IMAGE_SPECIAL = 11,
    PD_IMAGE_ERROR_BAR_SELECTED = 12,
    PD_IMAGE_ERROR_BAR = 15,
    PD_IMAGE_TEXT_SELECTED = 18,
    PD_IMAGE_TEXT = 21,
    PD_IMAGE_COUNT = 24,
    PD_IMAGE_GROUP_SHIFT = 3,
};

class QD_API CQUPlotDetailsTree : public CTreeCtrl
{
    DECLARE_DYNAMIC(CQUPlotDetailsTree)
public:
    CQUPlotDetailsTree();
    ~CQUPlotDetailsTree() override;

    // The element the dialog edits (a working copy of a layer or plot, or the page) and
    // its page. Kind: 0 page, 1 layer, 2 plot.
    void SetEdited(CQKGraphPage* pPage, CQKBase* pElement, int nKind);
    // Builds the tree and answers the item to select first.
    HTREEITEM Build_Tree_Control();
    HTREEITEM Redirect(HTREEITEM hItem);
    void ResetGroupHighlight();
    int HighlightGroup(HTREEITEM hItem, BOOL bOn);
    HTREEITEM GroupFirstItem(HTREEITEM hItem);
    // Fills an item's children the first time it is expanded.
    void FillItem(HTREEITEM hItem);
    // Answers the display data of items that ask for it (their image).
    void OnGetDispInfo(NMTVDISPINFOA* pInfo);
    void CommitAll();
    void DeleteWorkingCopies();
    // Whether a 3D scatter part's item is checked (its part drawn).
    BOOL IsItemChecked(HTREEITEM hItem) const;
    void SetItemChecked(HTREEITEM hItem, BOOL bChecked);
    // Replaces an item's object (a plot of a new type) and drops its children.
    void ReplaceItemObject(HTREEITEM hItem, CQKPlotObj* pPlot);

    // The Delete command on the selected item: what it removes waits for Apply.
    void DeleteSelected();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int GetItemDepth(HTREEITEM hItem) const;
    CQKBase* GetItemObject(HTREEITEM hItem) const { return hItem ? (CQKBase*)GetItemData(hItem) : nullptr; }
    CQKGraphPage* GetGraphPage() const { return m_pPage; }
    BOOL IsClosed() const { return m_bClosed; }
    static int PlotImage(const CQKPlotObj* pPlot, BOOL bSelected);

protected:
    afx_msg void OnDelete();
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnOldCaps();
    afx_msg void OnNewCaps();
    void SetCapUnits(BOOL before60);
    DECLARE_MESSAGE_MAP()

private:
    void DeleteItemCopies(HTREEITEM hItem);
    void NotifyChange();
    HTREEITEM AddLayers(HTREEITEM hPage);
    HTREEITEM AddPlots(HTREEITEM hLayer);
    void AddPlotChildren(HTREEITEM hPlot);
    void DeleteChildCopies(HTREEITEM hItem);
    void ForgetEdited(HTREEITEM hItem);
    void RemoveChildren(HTREEITEM hItem);
    void MarkExpanded(HTREEITEM hItem);
    int LayerIndexOf(const CQKBase* pElement) const;

    CQKGraphPage* m_pPage;
    CQKBase* m_pElement;
    int m_nKind;
    CImageList m_images;
    CImageList m_checks; // state images: none, unchecked, checked
    int m_nScatters;     // 3D scatters whose parts were added
    BOOL m_bPointPlaced; // the special point edited has its item
    BOOL m_bClosed;
    HACCEL m_hAccel;
    // Deletions wait for Apply, so Cancel leaves the graph as it was: datasets to delete,
    // plots (by layer and id) and layers to remove.
    std::vector<CString> m_deleteDatasets;
    std::vector<std::pair<CQKGraphicLayer*, int>> m_removedPlots;
    std::vector<CQKGraphicLayer*> m_removedLayers;
};

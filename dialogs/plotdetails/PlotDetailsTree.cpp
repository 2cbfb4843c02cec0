#include "PlotDetailsTree.h"

#include <algorithm>

#include "PlotPagesResources.h"

IMPLEMENT_DYNAMIC(CQUPlotDetailsTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CQUPlotDetailsTree, CTreeCtrl)
    ON_COMMAND(ID_PD_TREE_DELETE, OnDelete)
    ON_COMMAND(ID_PD_TREE_OLD_CAPS, OnOldCaps)
    ON_COMMAND(ID_PD_TREE_NEW_CAPS, OnNewCaps)
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

enum { CHECK_NONE = 0, CHECK_OFF = 1, CHECK_ON = 2 };

// Check boxes as the system draws them, for the state images.
void MakeCheckImages(CImageList& list)
{
    list.DeleteImageList();
    if (!list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0))
        return;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    for (int i = 0; i < 3; ++i) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        RECT all = {0, 0, 16, 16};
        ::FillRect(dc, &all, (HBRUSH)::GetStockObject(WHITE_BRUSH));
        if (i != CHECK_NONE) {
            RECT box = {2, 2, 15, 15};
            ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i == CHECK_ON ? DFCS_CHECKED : 0));
        }
        ::SelectObject(dc, old);
        ImageList_AddMasked(list.GetSafeHandle(), bitmap, i == CHECK_NONE ? RGB(255, 255, 255) : RGB(255, 0, 255));
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
}

} // namespace

CQUPlotDetailsTree::CQUPlotDetailsTree()
    : m_pPage(nullptr), m_pElement(nullptr), m_nKind(0), m_nScatters(0), m_bPointPlaced(FALSE), m_bClosed(FALSE),
      m_hAccel(nullptr)
{
}

CQUPlotDetailsTree::~CQUPlotDetailsTree() = default;

void CQUPlotDetailsTree::SetEdited(CQKGraphPage* pPage, CQKBase* pElement, int nKind)
{
    m_pPage = pPage;
    m_pElement = pElement;
    m_nKind = nKind;
}

int CQUPlotDetailsTree::PlotImage(const CQKPlotObj* pPlot, BOOL bSelected)
{
    int base = pPlot->IsErrorBarPlot() ? (bSelected ? PD_IMAGE_ERROR_BAR_SELECTED : PD_IMAGE_ERROR_BAR)
               : pPlot->IsTextPlot()   ? (bSelected ? PD_IMAGE_TEXT_SELECTED : PD_IMAGE_TEXT)
                                       : (bSelected ? PD_IMAGE_PLOT_SELECTED : PD_IMAGE_PLOT);
    return base + (pPlot->IsGroupBegin() ? 0 : pPlot->IsGroupMember() ? 1 : 2);
}

int CQUPlotDetailsTree::GetItemDepth(HTREEITEM hItem) const
{
    int depth = 0;
    for (HTREEITEM parent = GetParentItem(hItem); parent; parent = GetParentItem(parent))
        ++depth;
    return depth;
}

int CQUPlotDetailsTree::LayerIndexOf(const CQKBase* pElement) const
{
    if (!m_pPage || !pElement)
        return -1;
    if (pElement->IsBasePtrPlotObj()) {
        auto* layer = dynamic_cast<CQKGraphicLayer*>(static_cast<const CQKPlotObj*>(pElement)->GetValidLayer());
        return m_pPage->GetLayerIndex(layer);
    }
    return m_pPage->GetLayerIndex(dynamic_cast<const CQKGraphicLayer*>(pElement));
}

void CQUPlotDetailsTree::RemoveChildren(HTREEITEM hItem)
{
    HTREEITEM child = GetChildItem(hItem);
    while (child) {
        HTREEITEM next = GetNextSiblingItem(child);
        DeleteItem(child);
        child = next;
    }
}

void CQUPlotDetailsTree::MarkExpanded(HTREEITEM hItem)
{
    SetItemState(hItem, TVIS_EXPANDEDONCE, TVIS_EXPANDEDONCE);
    Expand(hItem, TVE_EXPAND);
}

HTREEITEM CQUPlotDetailsTree::Build_Tree_Control()
{
    // The user interface's accelerators, when it is loaded, give the Delete key its
    // command; without them the key is taken as that command here.
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(IDR_PD_TREE_ACCELERATORS), RT_ACCELERATOR);
    m_hAccel = module ? ::LoadAcceleratorsA(module, MAKEINTRESOURCE(IDR_PD_TREE_ACCELERATORS)) : nullptr;
    m_images.DeleteImageList();
    if (m_images.Create(IDB_PD_TREE_IMAGES, 16, PD_IMAGE_COUNT, RGB(255, 255, 255)))
        SetImageList(&m_images, TVSIL_NORMAL);
    MakeCheckImages(m_checks);
    if (m_checks.GetSafeHandle())
        SetImageList(&m_checks, TVSIL_STATE);
    m_nScatters = 0;

    HTREEITEM root = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, m_pPage->GetName().c_str(),
                                I_IMAGECALLBACK, I_IMAGECALLBACK, 0, 0, (LPARAM)(CQKBase*)m_pPage, TVI_ROOT, TVI_LAST);
    if (m_nKind == 0) {
        // A layout page lists no layers.
        if (!m_pPage->IsLayoutPage() && m_pPage->GetType() != QK_PAGE_LAYOUT)
            InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, "", 0, 0, 0, 0, 0, root, TVI_LAST);
        return root;
    }
    HTREEITEM start = AddLayers(root);
    if (m_nKind == 2 && start) {
        HTREEITEM plot = AddPlots(start);
        Expand(root, TVE_EXPAND);
        if (plot)
            start = plot;
    }
    return start;
}

// Adds one item per layer under the page item; answers the edited layer's item.
HTREEITEM CQUPlotDetailsTree::AddLayers(HTREEITEM hPage)
{
    RemoveChildren(hPage);
    HTREEITEM edited = nullptr;
    const int editedIndex = m_nKind == 0 ? -1 : LayerIndexOf(m_pElement);
    for (int i = 0; i < m_pPage->GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = (m_nKind == 1 && i == editedIndex) ? static_cast<CQKGraphicLayer*>(m_pElement)
                                                                    : m_pPage->GetLayerByIndex(i, 0);
        HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, layer->GetName().c_str(),
                                    PD_IMAGE_LAYER, PD_IMAGE_LAYER_SELECTED, 0, 0, (LPARAM)(CQKBase*)layer, hPage,
                                    TVI_LAST);
        if (layer->GetNumPlots() > 0)
            InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, "", 0, 0, 0, 0, 0, item, TVI_LAST);
        if (i == editedIndex)
            edited = item;
    }
    MarkExpanded(hPage);
    return edited;
}

// Adds one item per plot under a layer item; answers the edited plot's item.
HTREEITEM CQUPlotDetailsTree::AddPlots(HTREEITEM hLayer)
{
    auto* layer = dynamic_cast<CQKGraphicLayer*>(GetItemObject(hLayer));
    if (!layer || layer->GetNumPlots() <= 0)
        return nullptr;
    RemoveChildren(hLayer);
    const CQKPlotObj* edited = (m_nKind == 2) ? static_cast<CQKPlotObj*>(m_pElement) : nullptr;
    const bool editedLayer = edited && LayerIndexOf(edited) == m_pPage->GetLayerIndex(layer);
    const int editedIndex = editedLayer ? layer->GetPlotIndex(edited->GetId()) : -1;
    // A special point edited is found under its plot, which the tree then holds a copy of.
    const bool editedPoint = edited && edited->IsSpecialPoint();
    HTREEITEM editedItem = nullptr;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = (i == editedIndex && !editedPoint) ? const_cast<CQKPlotObj*>(edited) : layer->PlotObjByIndex(i, 0);
        if (!plot)
            continue;
        if (plot->IsHiddenFromLegend()) {
            if (plot != edited)
                delete plot;
            continue;
        }
        HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                    plot->GetDataSetName().c_str(), PlotImage(plot, FALSE), PlotImage(plot, TRUE), 0, 0,
                                    (LPARAM)(CQKBase*)plot, hLayer, TVI_LAST);
        if (i == editedIndex)
            editedItem = item;
        // The edited plot shows its parts at once; others when they are expanded.
        if (i == editedIndex && (plot->HasSpecialPoints() || editedPoint)) {
            AddPlotChildren(item);
            for (HTREEITEM child = GetChildItem(item); editedPoint && child; child = GetNextSiblingItem(child))
                if (GetItemObject(child) == edited)
                    editedItem = child;
        } else if (plot->HasSpecialPoints())
            InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, "", 0, 0, 0, 0, 0, item, TVI_LAST);
    }
    MarkExpanded(hLayer);
    return editedItem;
}

// One check-box item per part of a 3D scatter, checked when the part is drawn.
void CQUPlotDetailsTree::AddPlotChildren(HTREEITEM hPlot)
{
    auto* plot = static_cast<CQKPlotObj*>(GetItemObject(hPlot));
    if (!plot || !plot->IsBasePtrPlotObj())
        return;
    DeleteChildCopies(hPlot);
    RemoveChildren(hPlot);
    std::vector<CQKPlotObj*> parts;
    if (plot->GetSpecialPointsArray(parts) > 0 && plot->Is3DScatterPlot())
        ++m_nScatters;
    // The special point the dialog was opened on takes the place of its copy, or is added
    // when the plot has no point there yet.
    auto* edited = m_nKind == 2 ? static_cast<CQKPlotObj*>(m_pElement) : nullptr;
    if (!m_bPointPlaced && edited && edited->IsSpecialPoint() && !plot->Is3DScatterPlot() &&
        LayerIndexOf(edited) == LayerIndexOf(plot) && edited->GetId() == plot->GetId()) {
        m_bPointPlaced = TRUE; // from now on the tree owns it like any other item's object
        auto same = std::find_if(parts.begin(), parts.end(),
                                 [edited](const CQKPlotObj* p) { return p->GetIDEx() == edited->GetIDEx(); });
        if (same != parts.end()) {
            delete *same;
            *same = edited;
        } else {
            parts.push_back(edited);
        }
        edited->SetSubPlotParent(plot);
    }
    for (CQKPlotObj* part : parts) {
        HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, part->GetName().c_str(),
                                    PD_IMAGE_SPECIAL, PD_IMAGE_SPECIAL_SELECTED, 0, 0, (LPARAM)(CQKBase*)part, hPlot,
                                    TVI_LAST);
        if (part->IsSubPlotObj())
            SetItemChecked(item, part->HasObjectDisplayed());
    }
    MarkExpanded(hPlot);
}

BOOL CQUPlotDetailsTree::IsItemChecked(HTREEITEM hItem) const
{
    return (GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) == CHECK_ON;
}

void CQUPlotDetailsTree::SetItemChecked(HTREEITEM hItem, BOOL bChecked)
{
    SetItemState(hItem, INDEXTOSTATEIMAGEMASK(bChecked ? CHECK_ON : CHECK_OFF), TVIS_STATEIMAGEMASK);
}

// A click on a part's check box shows or hides the part.
void CQUPlotDetailsTree::OnLButtonDown(UINT nFlags, CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEMSTATEICON) && (GetItemState(item, TVIS_STATEIMAGEMASK) >> 12) != CHECK_NONE) {
        auto* part = static_cast<CQKPlotObj*>(GetItemObject(item));
        if (part && part->IsBasePtrPlotObj() && part->IsSubPlotObj()) {
            const BOOL checked = !IsItemChecked(item);
            SetItemChecked(item, checked);
            part->SetObjectDisplayed(checked);
            part->SetModified(1);
            ::SendMessageA(::GetParent(m_hWnd), WM_PD_ENABLE_APPLY, 0, 0);
            return;
        }
    }
    CTreeCtrl::OnLButtonDown(nFlags, point);
}

void CQUPlotDetailsTree::DeleteChildCopies(HTREEITEM hItem)
{
    for (HTREEITEM child = GetChildItem(hItem); child; child = GetNextSiblingItem(child)) {
        ForgetEdited(child);
        delete GetItemObject(child);
        SetItemData(child, 0);
    }
}

// The edited element about to be deleted gives way to its item's parent, so that items
// filled later never ask a deleted object where it was.
void CQUPlotDetailsTree::ForgetEdited(HTREEITEM hItem)
{
    if (!hItem || GetItemObject(hItem) != m_pElement || m_pElement == nullptr)
        return;
    HTREEITEM parent = GetParentItem(hItem);
    m_pElement = parent ? GetItemObject(parent) : nullptr;
    m_nKind = !m_pElement || !parent ? 0 : m_pElement->IsBasePtrPlotObj() ? 2 : m_pElement->IsBasePtrLayer() ? 1 : 0;
    if (m_nKind == 0)
        m_pElement = m_pPage;
}

void CQUPlotDetailsTree::FillItem(HTREEITEM hItem)
{
    if (!hItem || !ItemHasChildren(hItem) || (GetItemState(hItem, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE))
        return;
    switch (GetItemDepth(hItem)) {
    case 0: AddLayers(hItem); break;
    case 1: AddPlots(hItem); break;
    case 2: AddPlotChildren(hItem); break;
    default: break;
    }
}

void CQUPlotDetailsTree::OnGetDispInfo(NMTVDISPINFOA* pInfo)
{
    if (!(pInfo->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)))
        return;
    const bool expanded = (GetItemState(pInfo->item.hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    pInfo->item.iImage = pInfo->item.iSelectedImage = expanded ? PD_IMAGE_EXPANDED : PD_IMAGE_COLLAPSED;
}

HTREEITEM CQUPlotDetailsTree::GroupFirstItem(HTREEITEM hItem)
{
    auto* plot = static_cast<CQKPlotObj*>(GetItemObject(hItem));
    HTREEITEM first = hItem;
    if (!plot || !plot->IsBasePtrPlotObj())
        return first;
    for (HTREEITEM prev = GetPrevSiblingItem(hItem); prev; prev = GetPrevSiblingItem(prev)) {
        auto* other = static_cast<CQKPlotObj*>(GetItemObject(prev));
        if (!other || !(other->IsGroupBegin() || other->IsGroupMember()) || !other->IsInTheSameGroup(plot))
            break;
        first = prev;
        if (other->IsGroupBegin())
            break;
    }
    return first;
}

HTREEITEM CQUPlotDetailsTree::Redirect(HTREEITEM hItem)
{
    CQKBase* object = GetItemObject(hItem);
    if (!object || GetItemDepth(hItem) == 0 || !object->IsBasePtrPlotObj())
        return hItem;
    auto* plot = static_cast<CQKPlotObj*>(object);
    if (plot->IsSpecialPoint())
        return hItem;
    // A 3D scatter is edited in its parts; parts edited together are edited in the one
    // that leads them.
    if (plot->Is3DScatterPlot() && !plot->IsSubPlotObj())
        return GetChildItem(hItem) ? GetChildItem(hItem) : hItem;
    if (plot->IsSubPlotObj()) {
        HTREEITEM parent = GetParentItem(hItem);
        auto* source = static_cast<CQKPlotObj*>(GetItemObject(parent));
        HTREEITEM first = GetChildItem(parent);
        const int grouping = source ? source->GetGroupingIndex() : 0;
        if (grouping == 2 && first)
            return first;
        if (grouping == 1 && first && hItem != first && GetNextSiblingItem(first))
            return GetNextSiblingItem(first);
        return hItem;
    }
    if ((plot->IsGroupBegin() || plot->IsGroupMember()) && !plot->IsIndependence())
        return GroupFirstItem(hItem);
    return hItem;
}

void CQUPlotDetailsTree::ResetGroupHighlight()
{
    HTREEITEM root = GetRootItem();
    for (HTREEITEM layer = root ? GetChildItem(root) : nullptr; layer; layer = GetNextSiblingItem(layer)) {
        if (GetItemDepth(layer) != 1 || !GetItemObject(layer))
            continue;
        for (HTREEITEM item = GetChildItem(layer); item; item = GetNextSiblingItem(item)) {
            int image, selected;
            if (GetItemImage(item, image, selected) && image >= PD_IMAGE_PLOT_SELECTED && image < PD_IMAGE_PLOT)
                SetItemImage(item, image + PD_IMAGE_GROUP_SHIFT, selected);
        }
    }
}

int CQUPlotDetailsTree::HighlightGroup(HTREEITEM hItem, BOOL bOn)
{
    int walked = 0;
    HTREEITEM first = GroupFirstItem(hItem);
    auto* leader = static_cast<CQKPlotObj*>(GetItemObject(first));
    for (HTREEITEM item = first; item; item = GetNextSiblingItem(item)) {
        auto* plot = static_cast<CQKPlotObj*>(GetItemObject(item));
        if (!plot || (item != first && !(plot->IsGroupMember() && plot->IsInTheSameGroup(leader))))
            break;
        ++walked;
        int image, selected;
        if (!GetItemImage(item, image, selected))
            continue;
        if (bOn && image >= PD_IMAGE_PLOT && image < PD_IMAGE_SPECIAL_SELECTED)
            SetItemImage(item, image - PD_IMAGE_GROUP_SHIFT, selected);
        else if (!bOn && item != hItem && image >= PD_IMAGE_PLOT_SELECTED && image < PD_IMAGE_PLOT)
            SetItemImage(item, image + PD_IMAGE_GROUP_SHIFT, selected);
    }
    return walked;
}

BOOL CQUPlotDetailsTree::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        if (m_hAccel && ::TranslateAcceleratorA(m_hWnd, m_hAccel, pMsg))
            return TRUE;
        if (!m_hAccel && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_DELETE) {
            DeleteSelected();
            return TRUE;
        }
    }
    return CTreeCtrl::PreTranslateMessage(pMsg);
}

void CQUPlotDetailsTree::OnDelete()
{
    DeleteSelected();
}

void CQUPlotDetailsTree::OnRButtonDown(UINT, CPoint point)
{
    // The item under the pointer is selected first, as a left click would.
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (!item || !(flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        return;
    SelectItem(item);
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(IDR_PD_TREE_MENU), RT_MENU);
    HMENU menu = module ? ::LoadMenuA(module, MAKEINTRESOURCE(IDR_PD_TREE_MENU)) : nullptr;
    if (!menu)
        return;
    // Error bars offer their cap units: to the old ones, or back to the new.
    int submenu = 0;
    auto* bar = dynamic_cast<CQKErrorBar*>(GetItemObject(item));
    if (bar && GetItemDepth(item) >= 2)
        submenu = bar->IsMadeBefore60() ? 2 : 1;
    ClientToScreen(&point);
    ::TrackPopupMenu(::GetSubMenu(menu, submenu), TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd,
                     nullptr);
    ::DestroyMenu(menu);
}

void CQUPlotDetailsTree::SetCapUnits(BOOL before60)
{
    HTREEITEM item = GetSelectedItem();
    auto* bar = dynamic_cast<CQKErrorBar*>(GetItemObject(item));
    if (!bar || GetItemDepth(item) < 2)
        return;
    bar->SetMadeBefore60(before60);
    bar->SetModified(1);
    NotifyChange();
}

void CQUPlotDetailsTree::OnOldCaps()
{
    SetCapUnits(TRUE);
}

void CQUPlotDetailsTree::OnNewCaps()
{
    SetCapUnits(FALSE);
}

void CQUPlotDetailsTree::NotifyChange()
{
    ::SendMessageA(::GetParent(m_hWnd), WM_PD_ENABLE_APPLY, 0, 0);
}

// Deletes the working copies an item and its children hold, then the item.
void CQUPlotDetailsTree::DeleteItemCopies(HTREEITEM hItem)
{
    DeleteChildCopies(hItem);
    ForgetEdited(hItem);
    delete GetItemObject(hItem);
    SetItemData(hItem, 0);
    DeleteItem(hItem);
}

void CQUPlotDetailsTree::DeleteSelected()
{
    HTREEITEM item = GetSelectedItem();
    if (!item || m_bClosed)
        return;
    const int depth = GetItemDepth(item);
    if (depth == 0) {
        AfxMessageBox(IDS_PD_PAGE_NOT_HERE, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (depth == 1) {
        auto* layer = dynamic_cast<CQKGraphicLayer*>(GetItemObject(item));
        if (!layer)
            return;
        if (m_pPage->GetNumLayers() - (int)m_removedLayers.size() <= 1) {
            AfxMessageBox(IDS_PD_LAST_LAYER, MB_OK | MB_ICONINFORMATION);
            return;
        }
        if (AfxMessageBox(IDS_PD_DELETE_LAYER, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        SelectItem(GetParentItem(item));
        m_removedLayers.push_back(layer->IsTemporary() ? layer->GetOriginal() : layer);
        DeleteItemCopies(item);
        NotifyChange();
        return;
    }
    auto* plot = static_cast<CQKPlotObj*>(GetItemObject(item));
    if (!plot || !plot->IsBasePtrPlotObj())
        return;
    if (plot->IsGroupBegin() || plot->IsGroupMember()) {
        AfxMessageBox(IDS_PD_PLOT_IN_GROUP, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (plot->Is3DScatterPlot()) {
        AfxMessageBox(IDS_PD_3D_SCATTER_PART, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (plot->IsSpecialPoint()) {
        CString format, text;
        format.LoadString(IDS_PD_DELETE_SPECIAL_POINT);
        text.Format(format, plot->GetName().c_str());
        if (AfxMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        HTREEITEM plotItem = GetParentItem(item);
        auto* owner = static_cast<CQKPlotObj*>(GetItemObject(plotItem));
        SelectItem(plotItem);
        if (owner) {
            owner->DeleteSpecialPoint(plot->GetIDEx());
            owner->SetModified(1);
        }
        ForgetEdited(item);
        delete plot;
        SetItemData(item, 0);
        DeleteItem(item);
        NotifyChange();
        return;
    }
    HTREEITEM layerItem = GetParentItem(item);
    auto* layer = dynamic_cast<CQKGraphicLayer*>(GetItemObject(layerItem));
    if (!layer)
        return;
    if (!plot->UsesMatrixData()) {
        CString format, text;
        format.LoadString(IDS_PD_DELETE_PLOT);
        text.Format(format, plot->GetDataSetName().c_str(), layer->GetName().c_str(), plot->GetName().c_str());
        int answer = AfxMessageBox(text, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        if (answer == IDYES)
            m_deleteDatasets.push_back(plot->GetDataSetName().c_str());
    }
    SelectItem(layerItem);
    m_removedPlots.push_back({layer->IsTemporary() ? layer->GetOriginal() : layer, plot->GetId()});
    DeleteItemCopies(item);
    NotifyChange();
}

void CQUPlotDetailsTree::CommitAll()
{
    // What the Delete command removed goes first: the datasets asked for, the plots,
    // then the layers.
    for (const CString& name : m_deleteDatasets)
        qkfxGetProject().DeleteDataset((const char*)name);
    for (const auto& removed : m_removedPlots)
        removed.first->RemoveDataObj(removed.second);
    for (CQKGraphicLayer* layer : m_removedLayers)
        m_pPage->DeleteLayer(m_pPage->GetLayerIndex(layer));
    m_deleteDatasets.clear();
    m_removedPlots.clear();
    m_removedLayers.clear();

    HTREEITEM root = GetRootItem();
    for (HTREEITEM layerItem = root ? GetChildItem(root) : nullptr; layerItem;
         layerItem = GetNextSiblingItem(layerItem)) {
        auto* layer = dynamic_cast<CQKGraphicLayer*>(GetItemObject(layerItem));
        if (!layer)
            continue;
        for (HTREEITEM item = GetChildItem(layerItem); item; item = GetNextSiblingItem(item)) {
            auto* plot = static_cast<CQKPlotObj*>(GetItemObject(item));
            if (!plot)
                continue;
            // A plot that no longer draws with a colour map lets its colour-map data go
            // when it is committed, not while the pages ask about it.
            if (!plot->UseColormapForDrawing() && plot->HasColorMapData()) {
                plot->RemoveColorMapData();
                plot->SetModified(1);
            }
            // A 3D scatter's parts go into the plot first, which they mark modified.
            for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) {
                auto* part = static_cast<CQKPlotObj*>(GetItemObject(child));
                if (!part || !part->IsModified())
                    continue;
                if (part->IsSubPlotObj())
                    part->SetObjectDisplayed(IsItemChecked(child));
                part->UpdateFromTemporary();
            }
            if (plot->IsModified())
                plot->UpdateFromTemporary();
            plot->GetPlotObjectType(0);
        }
        // The layer pages edit this copy; without this their changes would never reach
        // the layer.
        if (layer->IsTemporary())
            layer->UpdateFromTemporary();
    }
    if (m_pPage)
        m_pPage->UpdateFromTemporary();
}

void CQUPlotDetailsTree::ReplaceItemObject(HTREEITEM hItem, CQKPlotObj* pPlot)
{
    CQKBase* old = GetItemObject(hItem);
    DeleteChildCopies(hItem);
    if (m_pElement == old) // the caller deletes the old object
        m_pElement = pPlot;
    SetItemData(hItem, (DWORD_PTR)(CQKBase*)pPlot);
    RemoveChildren(hItem);
    SetItemImage(hItem, PlotImage(pPlot, FALSE), PlotImage(pPlot, TRUE));
    if (pPlot->HasSpecialPoints())
        AddPlotChildren(hItem);
}

void CQUPlotDetailsTree::DeleteWorkingCopies()
{
    if (m_bClosed)
        return;
    HTREEITEM root = GetRootItem();
    for (HTREEITEM layerItem = root ? GetChildItem(root) : nullptr; layerItem;
         layerItem = GetNextSiblingItem(layerItem)) {
        for (HTREEITEM item = GetChildItem(layerItem); item; item = GetNextSiblingItem(item)) {
            DeleteChildCopies(item);
            delete GetItemObject(item);
            SetItemData(item, 0);
        }
        delete GetItemObject(layerItem);
        SetItemData(layerItem, 0);
    }
    m_bClosed = TRUE;
}

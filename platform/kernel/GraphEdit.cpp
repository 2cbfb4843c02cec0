// Editing a graph or layout page's labels and drawn objects (selection, alignment, order,
// fonts, arrow heads, clipboard, one-step undo) and masking the data of its plots; the
// script commands `draw` and `mask` that the menu commands run.
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKPlotModel.h"
#include "QKToolBox.h"

namespace {

// The step of the font and arrow-head commands, in points, and the smallest size they
// leave.
const int kFontStep = 2;
const int kMinFontSize = 4;
const double kHeadStep = 2;
const double kMinHead = 2;
// Pasted objects land this far (a fraction of the page) below and right of the copies.
const double kPasteOffset = 0.02;
// A press and release closer than this (pixels) is a click, not a drag.
const int kDragThreshold = 3;

bool Fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

std::unique_ptr<CQKTextObj> CloneText(CQKPage* page, const CQKTextObj& t)
{
    std::unique_ptr<CQKTextObj> c(page->PgCreateCQKTextObj());
    if (!c)
        return nullptr;
    c->SetObjName(t.GetObjName());
    c->SetTextString(t.GetTextString());
    CQKTextStyle style;
    t.GetTextStyle(style);
    c->SetTextStyle(style);
    c->SetColor(t.GetColor());
    c->EnableBorder(t.IsBorder());
    c->SetBorderStyle(t.GetBorderStyle());
    c->SetTabWidth(t.GetTabWidth());
    c->SetShowLinkVars(t.IsShowLinkVars());
    c->SetPosition(t.GetPosX(), t.GetPosY());
    c->SetBehindData(t.IsBehindData());
    c->SetGroup(t.GetGroup());
    return c;
}

std::unique_ptr<CQKGrObj> CloneObject(CQKPage* page, const CQKGrObj& o)
{
    if (auto* t = dynamic_cast<const CQKTextObj*>(&o))
        return CloneText(page, *t);
    if (auto* d = dynamic_cast<const CQKDrawObj*>(&o))
        return std::make_unique<CQKDrawObj>(*d);
    return nullptr;
}

bool IsEditable(const CQKGrElement* e)
{
    return dynamic_cast<const CQKTextObj*>(e) || dynamic_cast<const CQKDrawObj*>(e);
}

// The clipboard text of objects: one line each, fields separated by tabs, a label's text
// last with backslash, tab and line breaks escaped.
std::string Escape(const std::string& s)
{
    std::string out;
    for (char ch : s) {
        if (ch == '\\')
            out += "\\\\";
        else if (ch == '\t')
            out += "\\t";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\r')
            out += "\\r";
        else
            out += ch;
    }
    return out;
}

std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char n = s[++i];
        out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    }
    return out;
}

UINT ObjectFormat()
{
    static UINT format = RegisterClipboardFormatA("Quorix Graphic Objects");
    return format;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> f;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        f.push_back(line.substr(from, tab - from));
    f.push_back(line.substr(from));
    return f;
}

bool PutClipboard(UINT format, const std::string& data)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, data.size() + 1);
    if (!mem)
        return false;
    memcpy(GlobalLock(mem), data.c_str(), data.size() + 1);
    GlobalUnlock(mem);
    if (!SetClipboardData(format, mem)) {
        GlobalFree(mem);
        return false;
    }
    return true;
}

std::string GetClipboardText(UINT format)
{
    HANDLE h = GetClipboardData(format);
    const char* p = h ? (const char*)GlobalLock(h) : nullptr;
    if (!p)
        return std::string();
    std::string s(p, strnlen(p, GlobalSize(h)));
    GlobalUnlock(h);
    return s;
}

} // namespace

void CQKDrawObj::DumpState(CQKStateDump& dump) const
{
    static const char* const kinds[] = {"line", "rect", "ellipse", "colorScale"};
    dump.Open(qkFormatText("draw %d %s", m_id, kinds[std::min(std::max(m_kind, 0), 3)]));
    dump.Add("x1", m_x1);
    dump.Add("y1", m_y1);
    dump.Add("x2", m_x2);
    dump.Add("y2", m_y2);
    dump.Add("arrow", m_arrowEnd);
    dump.Add("headLength", m_headLength);
    dump.Add("headWidth", m_headWidth);
    dump.Add("lineWidth", m_lineWidth);
    dump.Add("color", m_color);
    if (m_behindData)
        dump.Add("behindData", true);
    if (m_group)
        dump.Add("group", m_group);
    dump.Close();
}

BOOL CQKGraphPage::IsToolboxToolAvailable(int tool) const
{
    const bool layout = GetType() == QK_PAGE_LAYOUT;
    switch (tool) {
    case 0: case 2: case 6: case 7: case 8: case 9: return TRUE;
    case 1: case 5: return !layout;
    default: return FALSE;
    }
}

std::vector<CQKGrObj*> CQKGraphPage::GetSelectedObjects() const
{
    std::vector<CQKGrObj*> objects;
    const std::vector<ElementPlace> places = m_multi.empty() ? std::vector<ElementPlace>{m_selected} : m_multi;
    for (const ElementPlace& p : places)
        if (CQKGrElement* e = Resolve(p); IsEditable(e))
            objects.push_back(static_cast<CQKGrObj*>(e));
    // A grouped object brings the rest of its group, after the objects chosen.
    const size_t chosen = objects.size();
    for (size_t i = 0; i < chosen; ++i) {
        CQKGrObj* o = objects[i];
        if (o->GetGroup() == 0)
            continue;
        CQKLayer* layer = o->GetValidLayer();
        for (int id : layer->GetObjectIds()) {
            auto* mate = dynamic_cast<CQKGrObj*>(layer->GetObject(id));
            if (IsEditable(mate) && mate->GetGroup() == o->GetGroup() &&
                std::find(objects.begin(), objects.end(), mate) == objects.end())
                objects.push_back(mate);
        }
    }
    return objects;
}

void CQKGraphPage::SelectGrObject(CQKGrObj* object, bool add)
{
    if (!add || !IsEditable(object)) {
        SetStoredGrElement(object);
        return;
    }
    std::vector<ElementPlace> multi = m_multi;
    if (multi.empty() && IsEditable(Resolve(m_selected)))
        multi.push_back(m_selected);
    SetStoredGrElement(object);
    const ElementPlace clicked = m_selected;
    auto same = [&](const ElementPlace& p) { return p.layer == clicked.layer && p.id == clicked.id; };
    auto it = std::find_if(multi.begin(), multi.end(), same);
    if (it != multi.end())
        multi.erase(it);
    else
        multi.push_back(clicked);
    m_multi = multi.size() > 1 ? multi : std::vector<ElementPlace>();
    if (multi.size() == 1)
        m_selected = multi[0];
    else if (multi.empty())
        m_selected = ElementPlace();
}

// The page rectangle that edits measure in: the last screen drawing's, or the page at 96
// pixels an inch when it was never drawn.
RECT CQKGraphPage::PageRectForEdits() const
{
    if (!IsRectEmpty(&m_lastDrawn))
        return m_lastDrawn;
    double w, h;
    GetPageSizeInches(w, h);
    return {0, 0, (int)std::lround(w * 96), (int)std::lround(h * 96)};
}

namespace {

// Where an object shows on a page rectangle: a drawn object from its points, a label from
// the drawing's hit boxes.
bool BoxOf(const std::vector<QKHitItem>& hits, int layer, CQKGrObj* object, const RECT& page, RECT& box)
{
    if (auto* d = dynamic_cast<CQKDrawObj*>(object)) {
        const double pw = page.right - page.left, ph = page.bottom - page.top;
        box = {page.left + (int)std::lround(std::min(d->m_x1, d->m_x2) * pw),
               page.top + (int)std::lround(std::min(d->m_y1, d->m_y2) * ph),
               page.left + (int)std::lround(std::max(d->m_x1, d->m_x2) * pw),
               page.top + (int)std::lround(std::max(d->m_y1, d->m_y2) * ph)};
        return true;
    }
    for (const QKHitItem& h : hits)
        if (h.layer == layer && h.id == object->GetId() && h.path.empty()) {
            box = h.box;
            return true;
        }
    return false;
}

// Moves an object by device pixels on a page rectangle; a label that took its automatic
// place is pinned where it was drawn first.
void MoveBy(CQKGrObj* object, const RECT& box, const RECT& page, int dx, int dy)
{
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    if (auto* t = dynamic_cast<CQKTextObj*>(object)) {
        t->SetPosition((box.left + dx - page.left) / pw, (box.top + dy - page.top) / ph);
    } else if (auto* d = dynamic_cast<CQKDrawObj*>(object)) {
        d->m_x1 += dx / pw;
        d->m_x2 += dx / pw;
        d->m_y1 += dy / ph;
        d->m_y2 += dy / ph;
    }
}

} // namespace

bool CQKGraphPage::CanEdit(int edit) const
{
    const std::vector<CQKGrObj*> objects = GetSelectedObjects();
    auto count = [&](auto test) { return std::count_if(objects.begin(), objects.end(), test); };
    auto isText = [](CQKGrObj* o) { return dynamic_cast<CQKTextObj*>(o) != nullptr; };
    auto isLine = [](CQKGrObj* o) {
        auto* d = dynamic_cast<CQKDrawObj*>(o);
        return d != nullptr && d->GetKind() == QK_DRAW_LINE;
    };
    switch (edit) {
    case QK_EDIT_WIDTH:
    case QK_EDIT_HEIGHT:
        return objects.size() >= 2 &&
               std::any_of(objects.begin() + 1, objects.end(), [](CQKGrObj* o) { return dynamic_cast<CQKDrawObj*>(o) != nullptr; });
    case QK_EDIT_FRONT:
    case QK_EDIT_BACK: return !objects.empty();
    case QK_EDIT_GROUP: {
        // Two or more objects of one layer that are not one group already.
        if (objects.size() < 2)
            return false;
        auto sameLayer = [&](CQKGrObj* o) { return o->GetValidLayer() == objects[0]->GetValidLayer(); };
        auto sameGroup = [&](CQKGrObj* o) { return o->GetGroup() != 0 && o->GetGroup() == objects[0]->GetGroup(); };
        return std::all_of(objects.begin(), objects.end(), sameLayer) &&
               !std::all_of(objects.begin(), objects.end(), sameGroup);
    }
    case QK_EDIT_UNGROUP: return count([](CQKGrObj* o) { return o->GetGroup() != 0; }) > 0;
    case QK_EDIT_FRONT_DATA: return count([](CQKGrObj* o) { return o->IsBehindData() != FALSE; }) > 0;
    case QK_EDIT_BACK_DATA: return count([](CQKGrObj* o) { return o->IsBehindData() == FALSE; }) > 0;
    case QK_EDIT_FONT_UP:
    case QK_EDIT_FONT_DOWN: return count(isText) > 0;
    case QK_EDIT_ARROW:
    case QK_EDIT_LINE_HORIZONTAL:
    case QK_EDIT_LINE_VERTICAL:
    case QK_EDIT_HEAD_NARROW:
    case QK_EDIT_HEAD_WIDEN:
    case QK_EDIT_HEAD_LENGTHEN:
    case QK_EDIT_HEAD_SHORTEN: return count(isLine) > 0;
    default: return objects.size() >= 2;
    }
}

bool CQKGraphPage::CanMask(int command) const
{
    CQKPlotObj* plot = ActivePlot();
    CQKDataset* y = plot ? qkPlotDataset(*plot, QK_ROLE_Y) : nullptr;
    if (!y)
        return false;
    switch (command) {
    case QK_MASK_RANGE: return m_rangeDataset == y->GetHandle() && m_rangeFirst >= 0;
    case QK_MASK_CLEAR:
    case QK_MASK_SWAP:
    case QK_MASK_POINT:
    case QK_MASK_COLOR:
    case QK_MASK_HIDE:
    case QK_MASK_ENABLE: return true;
    default: return false;
    }
}

bool CQKGraphPage::EditSelected(int edit, std::string* error)
{
    std::vector<CQKGrObj*> objects = GetSelectedObjects();
    if (objects.empty())
        return Fail(error, "Select a label or a drawn object first.");
    UndoStep before = Snapshot();
    const RECT page = PageRectForEdits();
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    std::vector<CQKDrawObj*> lines;
    for (CQKGrObj* o : objects)
        if (auto* d = dynamic_cast<CQKDrawObj*>(o); d && d->GetKind() == QK_DRAW_LINE)
            lines.push_back(d);
    switch (edit) {
    case QK_EDIT_LEFT: case QK_EDIT_RIGHT: case QK_EDIT_TOP: case QK_EDIT_BOTTOM:
    case QK_EDIT_VERTICAL: case QK_EDIT_HORIZONTAL: case QK_EDIT_WIDTH: case QK_EDIT_HEIGHT: {
        if (objects.size() < 2)
            return Fail(error, "Select two or more objects: the others are aligned or sized to the first.");
        const std::vector<QKHitItem> hits = qkPageHits(*this, page);
        std::vector<RECT> boxes(objects.size());
        for (size_t i = 0; i < objects.size(); ++i) {
            CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(objects[i]->GetValidLayer());
            if (!BoxOf(hits, GetLayerIndex(layer), objects[i], page, boxes[i]))
                return Fail(error, "A selected object is not shown on the page.");
        }
        const RECT ref = boxes[0];
        bool sized = false;
        // A group moves as one: its members after the first take the first's offset, and
        // the leader's group stays where it is.
        std::map<int, POINT> groupOffsets;
        if (objects[0]->GetGroup())
            groupOffsets[objects[0]->GetGroup()] = {0, 0};
        for (size_t i = 1; i < objects.size(); ++i) {
            const RECT b = boxes[i];
            const int group = objects[i]->GetGroup();
            if (auto it = groupOffsets.find(group); group && it != groupOffsets.end()) {
                if (edit != QK_EDIT_WIDTH && edit != QK_EDIT_HEIGHT)
                    MoveBy(objects[i], b, page, it->second.x, it->second.y);
                continue;
            }
            int dx = 0, dy = 0;
            switch (edit) {
            case QK_EDIT_LEFT: dx = ref.left - b.left; break;
            case QK_EDIT_RIGHT: dx = ref.right - b.right; break;
            case QK_EDIT_TOP: dy = ref.top - b.top; break;
            case QK_EDIT_BOTTOM: dy = ref.bottom - b.bottom; break;
            case QK_EDIT_VERTICAL: dx = (ref.left + ref.right) / 2 - (b.left + b.right) / 2; break;
            case QK_EDIT_HORIZONTAL: dy = (ref.top + ref.bottom) / 2 - (b.top + b.bottom) / 2; break;
            default: {
                // A label's size is its text's: only drawn objects take the first one's size.
                auto* d = dynamic_cast<CQKDrawObj*>(objects[i]);
                if (!d)
                    continue;
                if (edit == QK_EDIT_WIDTH)
                    d->m_x2 = d->m_x1 + (d->m_x2 >= d->m_x1 ? 1 : -1) * (ref.right - ref.left) / pw;
                else
                    d->m_y2 = d->m_y1 + (d->m_y2 >= d->m_y1 ? 1 : -1) * (ref.bottom - ref.top) / ph;
                sized = true;
                continue;
            }
            }
            if (group)
                groupOffsets[group] = {dx, dy};
            MoveBy(objects[i], b, page, dx, dy);
        }
        if ((edit == QK_EDIT_WIDTH || edit == QK_EDIT_HEIGHT) && !sized)
            return Fail(error, "Uniform width and height size drawn objects; no drawn object follows the first.");
        break;
    }
    case QK_EDIT_FRONT:
    case QK_EDIT_BACK: {
        // Drawn last is in front: the selection (with the rest of its groups) takes the
        // newest ids, or every other label and drawn object of its layers does.
        std::vector<ElementPlace> places;
        for (CQKGrObj* o : objects) {
            ElementPlace p;
            p.layer = GetLayerIndex(dynamic_cast<CQKGraphicLayer*>(o->GetValidLayer()));
            p.id = o->GetId();
            places.push_back(p);
        }
        for (ElementPlace& p : places) {
            CQKGraphicLayer* layer = GetLayerByIndex(p.layer, 1);
            if (!layer)
                continue;
            if (edit == QK_EDIT_FRONT) {
                p.id = layer->RaiseObject(p.id);
                continue;
            }
            for (int id : layer->GetObjectIds()) {
                bool chosen = std::any_of(places.begin(), places.end(),
                                          [&](const ElementPlace& q) { return q.layer == p.layer && q.id == id; });
                if (!chosen && IsEditable(layer->GetObject(id)))
                    layer->RaiseObject(id);
            }
        }
        if (places.size() == 1) {
            m_selected = places[0];
        } else {
            m_multi = places;
            m_selected = places.back();
        }
        break;
    }
    case QK_EDIT_GROUP: {
        if (!CanEdit(edit))
            return Fail(error, objects.size() < 2 ? "Select two or more objects to group (Shift+click adds one)."
                                                  : "Only objects of one layer that are not one group already can be grouped.");
        // The group's number is the first that no object of the layer carries.
        CQKLayer* layer = objects[0]->GetValidLayer();
        int group = 1;
        for (int id : layer->GetObjectIds())
            if (auto* o = dynamic_cast<CQKGrObj*>(layer->GetObject(id)))
                group = std::max(group, o->GetGroup() + 1);
        for (CQKGrObj* o : objects)
            o->SetGroup(group);
        break;
    }
    case QK_EDIT_UNGROUP:
        if (!CanEdit(edit))
            return Fail(error, "Select a group to ungroup.");
        for (CQKGrObj* o : objects)
            o->SetGroup(0);
        break;
    case QK_EDIT_FRONT_DATA:
    case QK_EDIT_BACK_DATA:
        for (CQKGrObj* o : objects)
            o->SetBehindData(edit == QK_EDIT_BACK_DATA);
        break;
    case QK_EDIT_FONT_UP:
    case QK_EDIT_FONT_DOWN: {
        bool any = false;
        for (CQKGrObj* o : objects)
            if (auto* t = dynamic_cast<CQKTextObj*>(o)) {
                CQKTextStyle style;
                t->GetTextStyle(style);
                style.size = std::max(kMinFontSize, style.size + (edit == QK_EDIT_FONT_UP ? kFontStep : -kFontStep));
                t->SetTextStyle(style);
                any = true;
            }
        if (!any)
            return Fail(error, "Select a label to change its font size.");
        break;
    }
    case QK_EDIT_ARROW:
    case QK_EDIT_LINE_HORIZONTAL:
    case QK_EDIT_LINE_VERTICAL:
    case QK_EDIT_HEAD_NARROW:
    case QK_EDIT_HEAD_WIDEN:
    case QK_EDIT_HEAD_LENGTHEN:
    case QK_EDIT_HEAD_SHORTEN:
        if (lines.empty())
            return Fail(error, "Select a line or an arrow first.");
        for (CQKDrawObj* d : lines) {
            switch (edit) {
            case QK_EDIT_ARROW: d->m_arrowEnd = !d->m_arrowEnd; break;
            case QK_EDIT_LINE_HORIZONTAL: d->m_y2 = d->m_y1; break;
            case QK_EDIT_LINE_VERTICAL: d->m_x2 = d->m_x1; break;
            case QK_EDIT_HEAD_NARROW: d->m_headWidth = std::max(kMinHead, d->m_headWidth - kHeadStep); break;
            case QK_EDIT_HEAD_WIDEN: d->m_headWidth += kHeadStep; break;
            case QK_EDIT_HEAD_LENGTHEN: d->m_headLength += kHeadStep; break;
            case QK_EDIT_HEAD_SHORTEN: d->m_headLength = std::max(kMinHead, d->m_headLength - kHeadStep); break;
            }
        }
        break;
    default:
        return Fail(error, qkFormatText("%d is no object edit", edit));
    }
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    return true;
}

bool CQKGraphPage::MoveSelected(double dx, double dy)
{
    std::vector<CQKGrObj*> objects = GetSelectedObjects();
    if (objects.empty())
        return false;
    UndoStep before = Snapshot();
    const RECT page = PageRectForEdits();
    const std::vector<QKHitItem> hits = qkPageHits(*this, page);
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    for (CQKGrObj* o : objects) {
        RECT box;
        CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(o->GetValidLayer());
        if (!BoxOf(hits, GetLayerIndex(layer), o, page, box))
            continue;
        MoveBy(o, box, page, (int)std::lround(dx * pw), (int)std::lround(dy * ph));
    }
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    return true;
}

CQKGraphPage::UndoStep CQKGraphPage::Snapshot() const
{
    UndoStep step;
    for (int i = 0; i < GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = GetLayerByIndex(i, 1);
        for (int id : layer->GetObjectIds()) {
            auto* o = dynamic_cast<CQKGrObj*>(layer->GetObject(id));
            if (!IsEditable(o))
                continue;
            std::unique_ptr<CQKGrObj> copy = CloneObject(const_cast<CQKGraphPage*>(this), *o);
            if (copy)
                step.objects.push_back({i, id, std::shared_ptr<CQKGrObj>(copy.release())});
        }
        for (int p = 0; p < layer->GetNumPlots(); ++p) {
            CQKDataset* d = qkPlotDataset(*layer->PlotObjByIndex(p, 1), QK_ROLE_Y);
            if (!d || std::any_of(step.masks.begin(), step.masks.end(),
                                  [&](const UndoMask& m) { return m.dataset == d->GetHandle(); }))
                continue;
            step.masks.push_back({d->GetHandle(), d->GetMaskedRows(), d->m_maskOn, d->m_maskHidden, d->m_maskColor});
        }
    }
    return step;
}

bool CQKGraphPage::Undo()
{
    if (m_undo.empty())
        return false;
    UndoStep step = std::move(m_undo.back());
    m_undo.clear();
    for (int i = 0; i < GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = GetLayerByIndex(i, 1);
        for (int id : layer->GetObjectIds())
            if (IsEditable(layer->GetObject(id)))
                layer->RemoveDataObj(id);
    }
    for (UndoObject& o : step.objects) {
        CQKGraphicLayer* layer = GetLayerByIndex(o.layer, 1);
        std::unique_ptr<CQKGrObj> copy = CloneObject(this, *o.object);
        if (layer && copy && layer->AddObjectAt(copy.get(), o.id))
            copy.release();
    }
    // Cells back in the reverse order they were changed.
    for (auto it = step.cells.rbegin(); it != step.cells.rend(); ++it)
        if (CQKDataset* d = qkfxGetProject().GetDatasetFromHandle(it->dataset))
            d->SetValue(it->row, it->value);
    for (const UndoMask& m : step.masks)
        if (CQKDataset* d = qkfxGetProject().GetDatasetFromHandle(m.dataset)) {
            d->SetMaskedRows(m.rows);
            d->m_maskOn = m.on;
            d->m_maskHidden = m.hidden;
            d->m_maskColor = m.color;
        }
    // What was selected may be gone; the selection starts again.
    SetStoredGrElement(nullptr);
    m_newText = ElementPlace();
    qkfxGetProject().SetProjectModified(true);
    qkfxGetCallLog().Add("CQKGraphPage::Undo", GetName());
    return true;
}

bool CQKGraphPage::DeleteSelected()
{
    std::vector<CQKGrObj*> objects = GetSelectedObjects();
    if (objects.empty())
        return false;
    m_undo.assign(1, Snapshot());
    for (CQKGrObj* o : objects)
        o->GetValidLayer()->RemoveDataObj(o->GetId());
    SetStoredGrElement(nullptr);
    qkfxGetProject().SetProjectModified(true);
    return true;
}

bool CQKGraphPage::CopySelected(HWND owner, std::string* error)
{
    std::vector<CQKGrObj*> objects = GetSelectedObjects();
    if (objects.empty())
        return Fail(error, "Select a label or a drawn object to copy.");
    const RECT page = PageRectForEdits();
    const std::vector<QKHitItem> hits = qkPageHits(*this, page);
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    std::ostringstream data, text;
    data.precision(17);
    for (CQKGrObj* o : objects) {
        if (auto* t = dynamic_cast<CQKTextObj*>(o)) {
            // A label in its automatic place is copied where it shows.
            double x = t->GetPosX(), y = t->GetPosY();
            RECT box;
            CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(t->GetValidLayer());
            if (x < 0 && BoxOf(hits, GetLayerIndex(layer), t, page, box)) {
                x = (box.left - page.left) / pw;
                y = (box.top - page.top) / ph;
            }
            CQKTextStyle s;
            t->GetTextStyle(s);
            data << "T\t" << x << '\t' << y << '\t' << s.font << '\t' << s.rotation << '\t' << s.size << '\t'
                 << (int)s.alignment << '\t' << (int)s.flags << '\t' << t->GetColor() << '\t' << t->IsBorder() << '\t'
                 << t->GetBorderStyle() << '\t' << t->GetTabWidth() << '\t' << t->IsShowLinkVars() << '\t'
                 << Escape(t->GetTextString()) << '\n';
            text << (text.tellp() > 0 ? "\r\n" : "") << t->GetTextString();
        } else if (auto* d = dynamic_cast<CQKDrawObj*>(o)) {
            data << "D\t" << d->GetKind() << '\t' << d->m_x1 << '\t' << d->m_y1 << '\t' << d->m_x2 << '\t' << d->m_y2
                 << '\t' << d->m_arrowEnd << '\t' << d->m_headLength << '\t' << d->m_headWidth << '\t'
                 << d->m_lineWidth << '\t' << d->GetColor() << '\n';
        }
    }
    if (!OpenClipboard(owner))
        return Fail(error, "The clipboard is in use by another program; try again.");
    EmptyClipboard();
    bool ok = PutClipboard(ObjectFormat(), data.str());
    if (ok && text.tellp() > 0)
        ok = PutClipboard(CF_TEXT, text.str());
    CloseClipboard();
    return ok || Fail(error, "The objects could not be put on the clipboard.");
}

bool CQKGraphPage::CanPaste() const
{
    return GetActiveLayer() != nullptr &&
           (IsClipboardFormatAvailable(ObjectFormat()) || IsClipboardFormatAvailable(CF_TEXT));
}

bool CQKGraphPage::PasteObjects(HWND owner, std::string* error)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer)
        return Fail(error, "The page has no layer to paste into.");
    if (!OpenClipboard(owner))
        return Fail(error, "The clipboard is in use by another program; try again.");
    const bool own = IsClipboardFormatAvailable(ObjectFormat()) != FALSE;
    const std::string data = GetClipboardText(own ? ObjectFormat() : CF_TEXT);
    CloseClipboard();
    std::vector<std::unique_ptr<CQKGrObj>> made;
    if (own) {
        std::istringstream in(data);
        std::string line;
        while (std::getline(in, line)) {
            const std::vector<std::string> f = SplitTabs(line);
            auto num = [&](size_t i) { return i < f.size() ? atof(f[i].c_str()) : 0.0; };
            if (f[0] == "T" && f.size() >= 14) {
                std::unique_ptr<CQKTextObj> t(PgCreateCQKTextObj());
                if (!t)
                    continue;
                t->SetPosition(num(1) + kPasteOffset, num(2) + kPasteOffset);
                CQKTextStyle s;
                s.font = (int)num(3);
                s.rotation = (short)num(4);
                s.size = (int)num(5);
                s.alignment = (BYTE)num(6);
                s.flags = (BYTE)num(7);
                t->SetTextStyle(s);
                t->SetColor((int)num(8));
                t->EnableBorder(num(9) != 0);
                t->SetBorderStyle((int)num(10));
                t->SetTabWidth((int)num(11));
                t->SetShowLinkVars(num(12) != 0);
                t->SetTextString(Unescape(f[13]));
                made.push_back(std::move(t));
            } else if (f[0] == "D" && f.size() >= 11) {
                auto d = std::make_unique<CQKDrawObj>((int)num(1));
                d->m_x1 = num(2) + kPasteOffset;
                d->m_y1 = num(3) + kPasteOffset;
                d->m_x2 = num(4) + kPasteOffset;
                d->m_y2 = num(5) + kPasteOffset;
                d->m_arrowEnd = num(6) != 0;
                d->m_headLength = num(7);
                d->m_headWidth = num(8);
                d->m_lineWidth = num(9);
                d->SetColor((int)num(10));
                made.push_back(std::move(d));
            }
        }
    } else if (!data.empty()) {
        // Plain text becomes a label at the point last clicked.
        std::unique_ptr<CQKTextObj> t(PgCreateCQKTextObj());
        if (t) {
            const RECT page = PageRectForEdits();
            const POINT p = GetCurrentPoint();
            double x = double(p.x - page.left) / (page.right - page.left);
            double y = double(p.y - page.top) / (page.bottom - page.top);
            t->SetPosition(x >= 0 && x < 1 ? x : 0.4, y >= 0 && y < 1 ? y : 0.4);
            std::string s = data;
            s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
            t->SetTextString(s);
            made.push_back(std::move(t));
        }
    }
    if (made.empty())
        return Fail(error, "The clipboard holds nothing a graph can paste.");
    m_undo.assign(1, Snapshot());
    SetStoredGrElement(nullptr);
    const int index = GetActiveLayerIndex();
    for (auto& o : made) {
        ElementPlace p;
        p.layer = index;
        p.id = layer->AddObject(o.release());
        m_multi.push_back(p);
        m_selected = p;
    }
    if (m_multi.size() < 2)
        m_multi.clear();
    qkfxGetProject().SetProjectModified(true);
    return true;
}

CQKTextObj* CQKGraphPage::TakeNewText()
{
    auto* t = dynamic_cast<CQKTextObj*>(Resolve(m_newText));
    m_newText = ElementPlace();
    return t;
}

// The plot masking and the data selector work on: the selected plot, else the active
// layer's first plot drawn from X and Y values.
CQKPlotObj* CQKGraphPage::ActivePlot() const
{
    auto* selected = dynamic_cast<CQKPlotObj*>(Resolve(m_selected));
    if (selected && m_selected.id > 0 && !selected->Is3DPlot() && qkPlotDataset(*selected, QK_ROLE_Y))
        return selected;
    CQKGraphicLayer* layer = GetActiveLayer();
    for (int i = 0; layer && i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        if (!plot->Is3DPlot() && !plot->IsErrorBarPlot() && !plot->UsesMatrixData() && qkPlotDataset(*plot, QK_ROLE_Y))
            return plot;
    }
    return nullptr;
}

bool CQKGraphPage::GetSelectedRange(INT_PTR& dataset, int& first, int& last) const
{
    if (m_rangeDataset == 0 || m_rangeFirst < 0)
        return false;
    dataset = m_rangeDataset;
    first = m_rangeFirst;
    last = m_rangeLast;
    return true;
}

// The rows of the active plot whose X falls between two places of the last screen drawing
// (between their columns, or their rows where X runs up the vertical).
bool CQKGraphPage::SelectRange(POINT from, POINT to)
{
    m_rangeDataset = 0;
    m_rangeFirst = m_rangeLast = -1;
    CQKPlotObj* plot = ActivePlot();
    CQKGraphicLayer* layer = plot ? dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer()) : nullptr;
    RECT frame;
    if (!layer || !qkfxGetLayerFrame(this, GetLayerIndex(layer), PageRectForEdits(), frame))
        return false;
    const QKLayerMap map(frame, *layer);
    CQKDataset* y = qkPlotDataset(*plot, QK_ROLE_Y);
    CQKDataset* x = qkPlotDataset(*plot, QK_ROLE_X);
    const int a = map.XVertical() ? from.y : from.x, b = map.XVertical() ? to.y : to.x;
    const int lo = std::min(a, b), hi = std::max(a, b);
    for (int row = y->GetFirst(); row < y->GetEnd(); ++row) {
        double dx;
        if (!map.MapX(x ? x->GetValue(row) : row + 1, dx) || dx < lo || dx > hi)
            continue;
        if (m_rangeFirst < 0)
            m_rangeFirst = row;
        m_rangeLast = row;
    }
    if (m_rangeFirst < 0)
        return false;
    m_rangeDataset = y->GetHandle();
    return true;
}

bool CQKGraphPage::FinishTracking(POINT to)
{
    m_tracking = false;
    const RECT page = PageRectForEdits();
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    const int dx = to.x - m_trackFrom.x, dy = to.y - m_trackFrom.y;
    const bool dragged = std::abs(dx) >= kDragThreshold || std::abs(dy) >= kDragThreshold;
    CQKAccess* access = qkfxGetAccess();
    if (m_trackTool == 0)
        return dragged && MoveSelected(dx / pw, dy / ph);
    if (m_trackTool == 5)
        return SelectRange(m_trackFrom, to);
    if (m_trackTool == kTrackPointMove)
        return dragged && MovePoint(m_trackFrom, to, nullptr);
    // A drawing tool makes one object and hands back to the pointer.
    if (access)
        access->SetCheckedToolNumber(0);
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!dragged || !layer || pw <= 0 || ph <= 0)
        return false;
    const int kind = m_trackTool == 8 ? QK_DRAW_RECT : m_trackTool == 9 ? QK_DRAW_ELLIPSE : QK_DRAW_LINE;
    auto d = std::make_unique<CQKDrawObj>(kind);
    d->m_x1 = (m_trackFrom.x - page.left) / pw;
    d->m_y1 = (m_trackFrom.y - page.top) / ph;
    d->m_x2 = (to.x - page.left) / pw;
    d->m_y2 = (to.y - page.top) / ph;
    d->m_arrowEnd = m_trackTool == 6;
    m_undo.assign(1, Snapshot());
    CQKDrawObj* made = d.get();
    layer->AddObject(d.release());
    SetStoredGrElement(made);
    qkfxGetProject().SetProjectModified(true);
    return true;
}

int CQKGraphPage::PointNear(POINT at, double reach) const
{
    CQKPlotObj* plot = ActivePlot();
    CQKDataset* y = plot ? qkPlotDataset(*plot, QK_ROLE_Y) : nullptr;
    CQKGraphicLayer* layer = plot ? dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer()) : nullptr;
    RECT frame;
    if (!y || !layer || !qkfxGetLayerFrame(this, GetLayerIndex(layer), PageRectForEdits(), frame))
        return -1;
    const QKLayerMap map(frame, *layer);
    CQKDataset* x = qkPlotDataset(*plot, QK_ROLE_X);
    int best = -1;
    double bestDistance = reach;
    for (int row = y->GetFirst(); row < y->GetEnd(); ++row) {
        double dx, dy;
        if (!map.Map(x ? x->GetValue(row) : row + 1, y->GetValue(row), dx, dy))
            continue;
        const double distance = std::hypot(dx - at.x, dy - at.y);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = row;
        }
    }
    return best;
}

bool CQKGraphPage::StartPointEdit(int mode, std::string* error)
{
    if (mode != QK_POINTS_MOVE && mode != QK_POINTS_REMOVE)
        return Fail(error, qkFormatText("%d is no data point edit", mode));
    CQKPlotObj* plot = ActivePlot();
    if (!plot || !qkPlotDataset(*plot, QK_ROLE_Y))
        return Fail(error, "The active layer has no plot of X and Y data whose points could be edited.");
    // The pointer does the edit; a drawing tool would take the clicks.
    if (CQKAccess* access = qkfxGetAccess())
        access->SetCheckedToolNumber(0);
    m_pointEdit = mode;
    qkfxGetCallLog().Add("CQKGraphPage::StartPointEdit", GetName() + (mode == QK_POINTS_MOVE ? " move" : " remove"));
    return true;
}

bool CQKGraphPage::RemovePointAt(POINT at, std::string* error)
{
    const int row = PointNear(at, kPointReachPixels);
    if (row < 0)
        return Fail(error, "No data point of the active plot lies there.");
    CQKDataset* y = qkPlotDataset(*ActivePlot(), QK_ROLE_Y);
    UndoStep before = Snapshot();
    before.cells.push_back({y->GetHandle(), row, y->GetValue(row)});
    y->SetValue(row, MISSING_VALUE);
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    qkfxGetCallLog().Add("CQKGraphPage::RemovePointAt", y->GetName() + qkFormatText(" %d", row + 1));
    return true;
}

bool CQKGraphPage::MovePoint(POINT from, POINT to, std::string* error)
{
    const int row = PointNear(from, kPointReachPixels);
    if (row < 0)
        return Fail(error, "No data point of the active plot lies there.");
    CQKPlotObj* plot = ActivePlot();
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer());
    RECT frame;
    if (!layer || !qkfxGetLayerFrame(this, GetLayerIndex(layer), PageRectForEdits(), frame))
        return Fail(error, "The graph has not been drawn yet.");
    const QKLayerMap map(frame, *layer);
    if (map.polar || map.ternary)
        return Fail(error, "Points of polar and ternary layers cannot be moved.");
    // The place dropped on, kept inside the frame, as fractions of the axes.
    const double w = frame.right - frame.left, h = frame.bottom - frame.top;
    const double fh = std::min(1.0, std::max(0.0, (to.x - frame.left) / w));
    const double fv = std::min(1.0, std::max(0.0, (frame.bottom - to.y) / h));
    const double vx = map.x.FromFraction(map.XVertical() ? fv : fh);
    const double vy = map.y.FromFraction(map.XVertical() ? fh : fv);
    if (!std::isfinite(vx) || !std::isfinite(vy))
        return Fail(error, "The point has no value there.");
    CQKDataset* y = qkPlotDataset(*plot, QK_ROLE_Y);
    CQKDataset* x = qkPlotDataset(*plot, QK_ROLE_X);
    UndoStep before = Snapshot();
    before.cells.push_back({y->GetHandle(), row, y->GetValue(row)});
    y->SetValue(row, vy);
    // Row numbers as X cannot move: the point moves up or down only.
    if (x) {
        before.cells.push_back({x->GetHandle(), row, x->GetValue(row)});
        x->SetValue(row, vx);
    }
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    qkfxGetCallLog().Add("CQKGraphPage::MovePoint", y->GetName() + qkFormatText(" %d", row + 1));
    return true;
}

bool CQKGraphPage::MaskCommand(int command, std::string* error)
{
    CQKPlotObj* plot = ActivePlot();
    CQKDataset* y = plot ? qkPlotDataset(*plot, QK_ROLE_Y) : nullptr;
    if (!y)
        return Fail(error, "The active layer has no plot of X and Y data to mask.");
    INT_PTR rangeSet = 0;
    int first = -1, last = -1;
    const bool range = GetSelectedRange(rangeSet, first, last) && rangeSet == y->GetHandle();
    UndoStep before = Snapshot();
    switch (command) {
    case QK_MASK_RANGE:
        if (!range)
            return Fail(error, "Choose the points to mask first: drag across them with the Data Selector tool.");
        for (int row = first; row <= last; ++row)
            y->SetMasked(row, true);
        break;
    case QK_MASK_CLEAR:
        if (range) {
            for (int row = first; row <= last; ++row)
                y->SetMasked(row, false);
        } else {
            y->SetMaskedRows({});
        }
        break;
    case QK_MASK_POINT: {
        const int best = PointNear(GetCurrentPoint(), kPointReachPixels);
        if (best < 0)
            return Fail(error, "Click on a data point first: no point of " + y->GetName() + " lies under the last click.");
        y->SetMasked(best, !y->IsMaskSet(best));
        break;
    }
    case QK_MASK_COLOR: {
        // The next colour of the list, never the white of the paper.
        const int n = CQKColor::GetColorNumber();
        int next = (y->m_maskColor + 1) % n;
        DWORD rgb = 0;
        if (CQKColor::GetColorRef(next, rgb, 0) && rgb == RGB(255, 255, 255))
            next = (next + 1) % n;
        y->m_maskColor = next;
        break;
    }
    case QK_MASK_HIDE: y->m_maskHidden = !y->m_maskHidden; break;
    case QK_MASK_ENABLE: y->m_maskOn = !y->m_maskOn; break;
    case QK_MASK_SWAP: {
        std::set<int> swapped;
        for (int row = y->GetFirst(); row < y->GetEnd(); ++row)
            if (!y->IsMaskSet(row))
                swapped.insert(row);
        y->SetMaskedRows(swapped);
        break;
    }
    default:
        return Fail(error, qkFormatText("%d is no masking command", command));
    }
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    return true;
}

bool CQKGraphPage::NewLegend(std::string* error)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer || layer->GetNumPlots() == 0)
        return Fail(error, "The active layer has no plots for a legend.");
    UndoStep before = Snapshot();
    // The new legend takes its automatic place again, with the default style.
    if (CQKTextObj* old = layer->FindTextObj("Legend"))
        layer->RemoveDataObj(old->GetId());
    qkfxUpdateLegend(layer, true);
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    return true;
}

bool CQKGraphPage::NewColorScale(std::string* error)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer || !qkColorScalePlot(*layer))
        return Fail(error, "The active layer has no colour-mapped plot (a contour or colour-map plot) for a colour scale.");
    const RECT page = PageRectForEdits();
    RECT frame;
    if (!qkfxGetLayerFrame(this, GetActiveLayerIndex(), page, frame))
        return Fail(error, "The graph has not been drawn yet.");
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    // Right of the frame, beside its upper part, kept on the page.
    const double width = 0.1, gap = 0.02;
    auto d = std::make_unique<CQKDrawObj>(QK_DRAW_COLORSCALE);
    d->m_x1 = std::min((frame.right - page.left) / pw + gap, 1 - width - gap);
    d->m_x2 = d->m_x1 + width;
    d->m_y1 = (frame.top - page.top) / ph;
    d->m_y2 = d->m_y1 + 0.6 * (frame.bottom - frame.top) / ph;
    m_undo.assign(1, Snapshot());
    CQKDrawObj* made = d.get();
    layer->AddObject(d.release());
    SetStoredGrElement(made);
    qkfxGetProject().SetProjectModified(true);
    qkShowLayerAgain(*layer);
    return true;
}

bool CQKGraphPage::NewDateTimeLabel(std::string* error)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer)
        return Fail(error, "The graph has no layer for the date and time.");
    CQKTextObj* label = PgCreateCQKTextObj();
    if (!label)
        return Fail(error, "The date and time label cannot be made.");
    UndoStep before = Snapshot();
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    const ULONGLONG ticks = ((ULONGLONG)file.dwHighDateTime << 32) | file.dwLowDateTime;
    const double kDaysFrom1601To1900 = 109207;
    std::string date;
    CQKUtilDate((double)(ticks / 864000000000ULL) - kDaysFrom1601To1900).GetDateShortForm(date);
    label->SetTextString(date + qkFormatText(" %02d:%02d", now.wHour, now.wMinute));
    layer->AddObject(label);
    m_undo.assign(1, std::move(before));
    qkfxGetProject().SetProjectModified(true);
    qkShowLayerAgain(*layer);
    return true;
}

void CQKGraphPage::RotatePage()
{
    const double width = m_pageState.dimWidth;
    m_pageState.dimWidth = m_pageState.dimHeight;
    m_pageState.dimHeight = width;
    qkfxGetProject().SetProjectModified(true);
    qkfxGetCallLog().Add("CQKGraphPage::RotatePage", GetName());
}

// draw <edit>: left, right, top, bottom, vertical, horizontal, width, height, front, back,
// arrow, fontup, fontdown, frontdata, backdata, group, ungroup; draw -a <edit>: horizontal, vertical, narrow, widen, lengthen,
// shorten for the selected lines. mask <command>: range, point, color, hide, swap,
// analysis, clear. legend: a new legend in the active layer; legend -d: a label with the
// date and time; legend -s: a colour scale of the active layer's colour-mapped plot. page
// -r: the page rotated. datapoints move|remove: the window's clicks
// move the active plot's points or make them missing (StartPointEdit).
// All work on the active graph.
bool qkRunObjectCommand(const std::string& command, const std::vector<std::string>& words, std::string* error)
{
    struct Word {
        const char* word;
        int code;
    };
    static const Word kDraw[] = {
        {"left", QK_EDIT_LEFT}, {"right", QK_EDIT_RIGHT}, {"top", QK_EDIT_TOP}, {"bottom", QK_EDIT_BOTTOM},
        {"vertical", QK_EDIT_VERTICAL}, {"horizontal", QK_EDIT_HORIZONTAL}, {"width", QK_EDIT_WIDTH},
        {"height", QK_EDIT_HEIGHT}, {"front", QK_EDIT_FRONT}, {"back", QK_EDIT_BACK}, {"arrow", QK_EDIT_ARROW},
        {"fontup", QK_EDIT_FONT_UP}, {"fontdown", QK_EDIT_FONT_DOWN}, {"frontdata", QK_EDIT_FRONT_DATA},
        {"backdata", QK_EDIT_BACK_DATA}, {"group", QK_EDIT_GROUP}, {"ungroup", QK_EDIT_UNGROUP},
    };
    static const Word kArrow[] = {
        {"horizontal", QK_EDIT_LINE_HORIZONTAL}, {"vertical", QK_EDIT_LINE_VERTICAL},
        {"narrow", QK_EDIT_HEAD_NARROW}, {"widen", QK_EDIT_HEAD_WIDEN},
        {"lengthen", QK_EDIT_HEAD_LENGTHEN}, {"shorten", QK_EDIT_HEAD_SHORTEN},
    };
    static const Word kMask[] = {
        {"range", QK_MASK_RANGE}, {"point", QK_MASK_POINT}, {"color", QK_MASK_COLOR}, {"hide", QK_MASK_HIDE},
        {"swap", QK_MASK_SWAP}, {"analysis", QK_MASK_ENABLE}, {"clear", QK_MASK_CLEAR},
    };
    if (command == "datapoints") {
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        if (!graph || graph->GetType() != QK_PAGE_GRAPH)
            return Fail(error, "datapoints: the active window is no graph");
        if (words.size() != 1 || (_stricmp(words[0].c_str(), "move") != 0 && _stricmp(words[0].c_str(), "remove") != 0))
            return Fail(error, "datapoints takes move or remove");
        return graph->StartPointEdit(_stricmp(words[0].c_str(), "move") == 0 ? QK_POINTS_MOVE : QK_POINTS_REMOVE, error);
    }
    if (command == "legend" || command == "page") {
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        if (!graph || graph->GetType() != QK_PAGE_GRAPH)
            return Fail(error, command + ": the active window is no graph");
        if (command == "page") {
            graph->RotatePage();
            return true;
        }
        if (words.size() == 1 && _stricmp(words[0].c_str(), "-d") == 0)
            return graph->NewDateTimeLabel(error);
        if (words.size() == 1 && _stricmp(words[0].c_str(), "-s") == 0)
            return graph->NewColorScale(error);
        if (!words.empty())
            return Fail(error, "legend knows -d and -s");
        return graph->NewLegend(error);
    }
    const bool mask = command == "mask";
    const bool arrow = !mask && !words.empty() && _stricmp(words[0].c_str(), "-a") == 0;
    const size_t at = arrow ? 1 : 0;
    if (words.size() != at + 1)
        return Fail(error, mask ? "mask takes one of range, point, color, hide, swap, analysis, clear"
                                : "draw takes an edit (left, right, top, bottom, vertical, horizontal, width, height, "
                                  "front, back, arrow, fontup, fontdown, frontdata, backdata, group, ungroup) or -a and an arrow edit");
    const Word* table = mask ? kMask : arrow ? kArrow : kDraw;
    const size_t n = mask ? std::size(kMask) : arrow ? std::size(kArrow) : std::size(kDraw);
    const Word* found = nullptr;
    for (size_t i = 0; i < n; ++i)
        if (_stricmp(table[i].word, words[at].c_str()) == 0)
            found = &table[i];
    if (!found)
        return Fail(error, command + ": unknown " + (mask ? "command" : "edit") + " \"" + words[at] + "\"");
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    if (!graph)
        return Fail(error, command + ": the active window is no graph");
    qkfxGetCallLog().Add(command, (arrow ? "-a " : "") + words[at]);
    return mask ? graph->MaskCommand(found->code, error) : graph->EditSelected(found->code, error);
}

BOOL CQKTBox::set_nth_tools_from_SDK(int n, int options)
{
    CQKAccess* access = qkfxGetAccess();
    if (!access || n < 0)
        return FALSE;
    if (options == 0) {
        access->SetCheckedToolNumber(n);
        return TRUE;
    }
    const int kTextTool = 2;
    CQKPage* page = qkfxGetProject().GetActivePage();
    if (n != kTextTool || !page)
        return FALSE;
    // A label made now takes the defaults; what the user confirms becomes them.
    std::unique_ptr<CQKTextObj> label(page->PgCreateCQKTextObj());
    if (!label)
        return FALSE;
    label->SetTextString("Text");
    if (label->DoDialog(nullptr, 0, 0) != IDOK)
        return FALSE;
    return label->SetDefault(0);
}

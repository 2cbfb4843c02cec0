#include "ContourStore.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {
INT_PTR Colour(UINT code, INT_PTR argument, void* map)
{
    return ScxColorControl(code, argument, 0, map);
}
}

// The records block stays locked for the store's life: its records are handed out by
// address between calls, so an unlock per call would leave them moving under the caller.
ContourStore::ContourStore()
{
    records_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100 * sizeof(ContourRecord));
    base_ = records_ ? static_cast<ContourRecord*>(GlobalLock(records_)) : nullptr;
    if (base_)
        capacity_ = 100;
    memset(order_, 0, sizeof order_);
}

ContourStore::~ContourStore()
{
    for (int i = 0; i < count_; ++i) {
        ContourRecord* r = Record(i);
        if (r->points)
            GlobalFree(r->points);
    }
    if (records_) {
        if (base_)
            GlobalUnlock(records_);
        GlobalFree(records_);
    }
}

ContourRecord* ContourStore::Record(int index)
{
    if (!base_ || index < 0 || index >= capacity_)
        return nullptr;
    return base_ + index;
}

ContourRecord* ContourStore::NextFree()
{
    return Record(count_);
}

void ContourStore::SetPending(int levelIndex, int colourNode)
{
    pendingLevel_ = levelIndex;
    pendingNode_ = colourNode;
}

bool ContourStore::Append(uint8_t kind, bool computeColour, const ContourGridView* grid, void* colourMap)
{
    if (count_ >= MAX_LINES) {
        char text[64];
        snprintf(text, sizeof text, "ty -a [%s]", "Max # contours exceeded");
        PlotHostRunScript(text);
        return false;
    }
    if (count_ + 1 >= capacity_) {
        if (!base_)
            return false;
        GlobalUnlock(records_);
        HGLOBAL grown = GlobalReAlloc(records_, (SIZE_T)(capacity_ + 20) * sizeof(ContourRecord),
                                      GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (grown)
            records_ = grown;
        base_ = static_cast<ContourRecord*>(GlobalLock(records_));
        if (!grown || !base_)
            return false;
        capacity_ += 20;
    }
    ContourRecord* r = Record(count_);
    r->kind = kind;
    if (computeColour && grid) {
        int cols = grid->cols;
        int row = pendingNode_ / (2 * cols), column = pendingNode_ % cols;
        int16_t x = (int16_t)(int)grid->values[row * grid->stride + column];
        int16_t d = (int16_t)Colour(36, Colour(56, 0, colourMap) + pendingLevel_ + 1, colourMap);
        r->levelIndex = (int16_t)pendingLevel_;
        r->colourIndex = (int16_t)Colour(37, d < x ? d + 1 : d - 1, colourMap);
    }
    order_[count_] = (int16_t)count_;
    ++count_;
    return true;
}

ContourRecord* ContourStore::ByOrder(int position)
{
    if (position < 0 || position >= count_ || order_[position] >= count_)
        return nullptr;
    return Record(order_[position]);
}

bool ContourStore::AddPoint(ContourRecord* r, float x, float y)
{
    if (r->pointCount >= MAX_POINTS)
        return false;
    if (!r->points) {
        r->points = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16 * 2 * sizeof(float));
        if (!r->points)
            return false;
        r->pointCapacity = 16;
    }
    if (r->pointCount >= r->pointCapacity) {
        HGLOBAL grown = GlobalReAlloc(r->points, (SIZE_T)(r->pointCapacity + 16) * 2 * sizeof(float),
                                      GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (!grown)
            return false;
        r->points = grown;
        r->pointCapacity = (uint16_t)(r->pointCapacity + 16);
    }
    float* p = static_cast<float*>(GlobalLock(r->points));
    if (!p)
        return false;
    p[2 * r->pointCount] = x;
    p[2 * r->pointCount + 1] = y;
    GlobalUnlock(r->points);
    ++r->pointCount;
    return true;
}

void ContourStore::ComputeAreas(int rows, int cols)
{
    for (int i = 0; i < count_; ++i) {
        ContourRecord* r = Record(i);
        double sum = 0;
        const float* p = r->points ? static_cast<const float*>(GlobalLock(r->points)) : nullptr;
        if (p) {
            for (int k = 1; k < r->pointCount; ++k)
                sum += ((double)p[2 * k + 1] + p[2 * k - 1]) * ((double)p[2 * k] - p[2 * k - 2]) / 2;
            GlobalUnlock(r->points);
        }
        r->area = (float)(fabs(sum) + (r->kind == CONTOUR_EDGE ? (double)rows * cols : 0));
    }
}

void ContourStore::SortByArea()
{
    for (int i = 0; i < count_; ++i)
        order_[i] = (int16_t)i;
    for (int i = 1; i < count_; ++i) {
        int16_t moving = order_[i];
        float area = Record(moving)->area;
        int j = i - 1;
        while (j >= 0 && Record(order_[j])->area < area) {
            order_[j + 1] = order_[j];
            --j;
        }
        order_[j + 1] = moving;
    }
}

ContourStore* ContourStore::Copy() const
{
    auto* copy = new ContourStore;
    CopyInto(copy);
    return copy;
}

void ContourStore::CopyInto(ContourStore* copy) const
{
    if (!copy->base_)
        return;
    auto* self = const_cast<ContourStore*>(this);
    for (int i = 0; i < count_; ++i) {
        ContourRecord* to = copy->NextFree();
        if (!to)
            return;
        *to = *self->Record(i);
        to->points = nullptr;
        to->pointCount = 0;
        to->pointCapacity = 0;
        const ContourRecord* from = self->Record(i);
        if (from->points) {
            const float* p = static_cast<const float*>(GlobalLock(from->points));
            for (int k = 0; p && k < from->pointCount; ++k)
                AddPoint(to, p[2 * k], p[2 * k + 1]);
            if (p)
                GlobalUnlock(from->points);
        }
        uint8_t kind = to->kind;
        if (!copy->Append(kind, false, nullptr, nullptr))
            return;
    }
    memcpy(copy->order_, order_, sizeof(int16_t) * count_);
    copy->pendingLevel_ = pendingLevel_;
    copy->pendingNode_ = pendingNode_;
}

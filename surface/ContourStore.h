// The store of a grid's contour lines: records in one movable block, an order by area,
// and the pending level and colour node that the contouring sets before each append.
// Lock and unlock stay paired: the records block is locked once for the store's life.
#pragma once

#include "Surface.h"

class ContourStore {
public:
    enum : int { MAX_LINES = 30000, MAX_POINTS = 4096 };

    ContourStore();
    ~ContourStore();
    ContourStore(const ContourStore&) = delete;
    ContourStore& operator=(const ContourStore&) = delete;

    // A copy with its own records and point lists.
    ContourStore* Copy() const;
    // Fills an empty store with copies of these records and point lists.
    void CopyInto(ContourStore* copy) const;

    int Count() const { return count_; }
    // The record after the last, to be filled and then appended; null without records.
    ContourRecord* NextFree();
    void SetPending(int levelIndex, int colourNode);
    // Counts the record NextFree gave. With `computeColour` the level index and colour
    // come from the pending values (grid and colour map given). Answers false when the
    // store is full (the user is told) or cannot grow.
    bool Append(uint8_t kind, bool computeColour, const ContourGridView* grid, void* colourMap);
    // The record at a position of the area order; null beyond the count.
    ContourRecord* ByOrder(int position);
    ContourRecord* Record(int index);
    void ComputeAreas(int rows, int cols);
    void SortByArea();

    // A line's points: lock while reading or writing.
    static bool AddPoint(ContourRecord* r, float x, float y);

private:
    int capacity_ = 0;
    int count_ = 0;
    HGLOBAL records_ = nullptr;
    ContourRecord* base_ = nullptr; // records_ locked for the store's life
    int16_t order_[MAX_LINES];
    int pendingNode_ = 0;
    int pendingLevel_ = 0;
};

// Contours the grid into the store at every level of the colour map. Answers false when
// no work memory could be had (nothing is stored then).
bool ComputeContours(ContourGridView* grid, ContourStore* store, void* colourMap);
// Moves every value equal to a level one unit up, once per grid.
void PerturbGrid(ContourGridView* grid, void* colourMap);

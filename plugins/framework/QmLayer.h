// Host windows as a whole: a layer or window found by name, the worksheet view of it
// (columns, names, formats, cells), and named blocks of host memory. Methods build them
// on their stack for one call; memory blocks are released when they are destroyed.
#pragma once

#include <stddef.h>

#include "QmData.h"
#include "QmObjects.h"

// A named block of host memory, held from attach to release.
class QmMemoryObject : public QmQuorix {
    DECLARE_DYNAMIC(QmMemoryObject)
public:
    QmMemoryObject() = default;
    // Attaches to the block `name` (null: none) of the owner layer.
    QmMemoryObject(class QmLayer& owner, const char* name);
    ~QmMemoryObject() override;

    void* block = nullptr;
    INT_PTR key = 0;
    QmString blockName;

    // Null when already attached, when no host is bound or when the host refuses; else
    // the block. A null name asks again for the block last attached.
    void* Attach(INT_PTR newKey, const char* name, INT_PTR value);
    void Release();
};

class QmLayer : public QmQuorix {
    DECLARE_DYNAMIC(QmLayer)
public:
    // Looks the window named by `nameProperty` up (the name cut to 119 characters);
    // `ownName` (may be null) gives the object's own name.
    QmLayer(QmString& nameProperty, int a, int b, QmString* ownName = nullptr);
    ~QmLayer() override;

    INT_PTR handle = 0;
    QmString name;

    // Looks the window up again, as the constructor did, for an object a method keeps
    // from call to call (the window may have gone or another taken its name meanwhile).
    void Find(QmString& nameProperty, int a, int b);
    QmMemoryObject* memory = nullptr; // made on first use

    // The layer's named memory block, or null when the host has none for it.
    void* MemoryBlock();
};

class QmFrame : public QmQuorix {
    DECLARE_DYNAMIC(QmFrame)
};

// A worksheet window: its columns are 1-based.
class QmQuorixWks : public QmLayer {
    DECLARE_DYNAMIC(QmQuorixWks)
public:
    explicit QmQuorixWks(QmString& nameProperty);

    QmWksName worksheetName;

    // Looks the worksheet up again by name; 1 when it exists.
    int Find(QmString& nameProperty);
    // 1 when the worksheet exists; else error 779 and 0.
    int CheckExists();
    int GetNumCols();
    // "worksheet_column" of column n into buffer (size bytes, cut to fit). 0 when done;
    // 1 for a null buffer, an unknown worksheet or a refused request.
    int GetDatasetName(char* buffer, size_t size, int n);
    void SetColumnName(int n, const char* text);
    void ColumnNotify(int n);
    void RowsNotify(int count);
    void AddColumn(int a, int b, int c);
    void SetColumnLabel(int n, const char* text);
    int SetColumnFormat(int n, int code);
    int GetColumnFormat(int n);
    // Cell writers: 0 when written; error 777 and 1 when the column is not there or the
    // host says its dataset must not be written.
    int SetCell(int column, int row, double value);
    int SetCellText(int column, int row, const char* text);
};

// String variables %A .. %Z are in QmHostRequests.h (QmGetStringVariable,
// QmSetStringVariable).

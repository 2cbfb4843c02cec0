#include "QmLayer.h"

#include <stdio.h>
#include <string.h>

#include <string>

IMPLEMENT_DYNAMIC(QmMemoryObject, QmQuorix)
IMPLEMENT_DYNAMIC(QmLayer, QmQuorix)
IMPLEMENT_DYNAMIC(QmFrame, QmQuorix)
IMPLEMENT_DYNAMIC(QmQuorixWks, QmLayer)

// ---- QmMemoryObject -------------------------------------------------------------------

QmMemoryObject::QmMemoryObject(QmLayer& owner, const char* name)
{
    Attach(owner.handle, name, 0);
}

QmMemoryObject::~QmMemoryObject()
{
    Release();
}

void* QmMemoryObject::Attach(INT_PTR newKey, const char* name, INT_PTR value)
{
    if (block || !QmHostBound())
        return nullptr;
    // The name may be our own stored one: keep a copy while it is replaced.
    std::string wanted = name ? name : (blockName.text ? blockName.text : "");
    QmMemBlockRecord record{newKey, value};
    void* answer = reinterpret_cast<void*>(
        QmCallHost(HOST_MEMBLOCK_GET, reinterpret_cast<INT_PTR>(&record),
                      reinterpret_cast<INT_PTR>(wanted.c_str())));
    if (answer) {
        blockName.SetText(wanted.c_str());
        key = newKey;
    }
    block = answer;
    return block;
}

void QmMemoryObject::Release()
{
    if (!block)
        return;
    QmMemBlockRecord record{key, 0};
    QmCallHost(HOST_MEMBLOCK_RELEASE, reinterpret_cast<INT_PTR>(&record),
                  reinterpret_cast<INT_PTR>(blockName.text ? blockName.text : ""));
    block = nullptr;
}

// ---- QmLayer ----------------------------------------------------------------------------

QmLayer::QmLayer(QmString& nameProperty, int a, int b, QmString* ownName)
{
    Find(nameProperty, a, b);
    if (ownName)
        name.SetText(ownName->text);
}

void QmLayer::Find(QmString& nameProperty, int a, int b)
{
    handle = 0;
    if (!nameProperty.HasText())
        return;
    QmWindowRecord record;
    record.a = a;
    record.b = b;
    QmCopyText(record.name, sizeof record.name, nameProperty.text);
    handle = QmCallHost(HOST_FIND_WINDOW, reinterpret_cast<INT_PTR>(&record),
                        reinterpret_cast<INT_PTR>(nameProperty.text));
}

QmLayer::~QmLayer()
{
    delete memory;
}

void* QmLayer::MemoryBlock()
{
    if (memory && memory->block)
        return memory->block;
    delete memory;
    memory = new QmMemoryObject(*this, name.text);
    if (!memory->block) {
        delete memory;
        memory = nullptr;
        return nullptr;
    }
    return memory->block;
}

// ---- QmQuorixWks ------------------------------------------------------------------------

QmQuorixWks::QmQuorixWks(QmString& nameProperty)
    : QmLayer(nameProperty, 1, -1)
{
    if (handle)
        worksheetName.SetText(nameProperty.text);
}

int QmQuorixWks::Find(QmString& nameProperty)
{
    QmLayer::Find(nameProperty, 1, -1);
    // Setting the same name again costs no allocation.
    worksheetName.SetText(handle ? nameProperty.text : nullptr);
    return handle ? 1 : 0;
}

int QmQuorixWks::CheckExists()
{
    if (handle)
        return 1;
    RecordError(QM_ERR_NO_WORKSHEET);
    return 0;
}

int QmQuorixWks::GetNumCols()
{
    return handle ? static_cast<int>(QmCallHost(HOST_WKS_NUM_COLUMNS, handle, 0)) : 0;
}

int QmQuorixWks::GetDatasetName(char* buffer, size_t size, int n)
{
    if (!buffer || size == 0 || !handle)
        return 1;
    union {
        int column;
        char text[QM_COLUMN_NAME_BUFFER];
    } columnName;
    memset(&columnName, 0, sizeof columnName);
    columnName.column = n;
    if (QmCallHost(HOST_WKS_REQ_6801, handle, reinterpret_cast<INT_PTR>(&columnName), 1) != 0)
        return 1;
    columnName.text[sizeof columnName.text - 1] = '\0';
    std::string full = std::string(worksheetName.text ? worksheetName.text : "") + "_" + columnName.text;
    QmCopyText(buffer, size, full.c_str());
    return 0;
}

void QmQuorixWks::SetColumnName(int n, const char* text)
{
    std::string copy = text ? text : "";
    QmColumnTextRecord record{n, copy.c_str()};
    QmCallHost(HOST_WKS_SET_COLUMN_NAME, handle, reinterpret_cast<INT_PTR>(&record));
}

void QmQuorixWks::ColumnNotify(int n)
{
    QmCallHost(HOST_WKS_REQ_6804, handle, n);
}

void QmQuorixWks::RowsNotify(int count)
{
    QmCallHost(HOST_WKS_REQ_681A, handle, count);
}

void QmQuorixWks::AddColumn(int a, int b, int c)
{
    int record[4] = {a, 9, b, c};
    QmCallHost(HOST_WKS_REQ_6806, handle, reinterpret_cast<INT_PTR>(record));
}

void QmQuorixWks::SetColumnLabel(int n, const char* text)
{
    QmColumnTextRecord record{n, text ? text : ""};
    QmCallHost(HOST_WKS_REQ_6818, handle, reinterpret_cast<INT_PTR>(&record));
}

int QmQuorixWks::SetColumnFormat(int n, int code)
{
    if (n == 0)
        return 1;
    int record[3] = {1, n, code};
    return static_cast<int>(QmCallHost(HOST_WKS_SET_COLUMN_ATTR, handle, reinterpret_cast<INT_PTR>(record), 1));
}

int QmQuorixWks::GetColumnFormat(int n)
{
    if (n == 0)
        return 1;
    int record[2] = {1, n};
    if (QmCallHost(HOST_WKS_GET_COLUMN_ATTR, handle, reinterpret_cast<INT_PTR>(record), 1) != 0)
        return -1;
    return record[0];
}

int QmQuorixWks::SetCell(int column, int row, double value)
{
    QmResultData cell(*this, column);
    if (cell.handle && QmCallHost(HOST_IS_DATASET_NAME, cell.handle, 0) == 0)
        return cell.SetAt(row, value);
    RecordError(QM_ERR_BAD_COLUMN);
    return 1;
}

int QmQuorixWks::SetCellText(int column, int row, const char* text)
{
    // Text cells obey the same protection as numeric ones.
    QmTextData cell(worksheetName, column - 1);
    if (cell.handle && QmCallHost(HOST_IS_DATASET_NAME, cell.handle, 0) == 0) {
        std::string copy = text ? text : "";
        return cell.SetText(row, copy.c_str());
    }
    RecordError(QM_ERR_BAD_COLUMN);
    return 1;
}

// ---- Dataset objects on a worksheet column ------------------------------------------------

QmSourceData::QmSourceData(QmQuorixWks& worksheet, int column)
    : QmData(worksheet.worksheetName, column - 1)
{
}

QmResultData::QmResultData(QmQuorixWks& worksheet, int column)
    : QmData(worksheet.worksheetName, column - 1)
{
}

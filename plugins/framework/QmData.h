// Dataset objects: a plug-in's handle on one column of data that the host keeps. A
// dataset object attaches to a host dataset (by name, by worksheet column, or as a new
// temporary dataset), keeps a row range, and reads and writes values, texts and pairs
// through host requests. Methods build them on their stack for one call; destruction
// tells the host about rows written beyond the range.
//
// Rows are 0-based and ranges half-open: rows first .. end - 1.
#pragma once

#include <memory>

#include "QmObjects.h"

class QmQuorixWks;

class QmData : public QmQuorix {
    DECLARE_DYNAMIC(QmData)
public:
    // Unattached: no handle, an empty range.
    QmData();
    // By name (cut to 24 characters). With `skipEmpty` set, a null or empty name stays
    // unattached instead of asking the host.
    QmData(const char* name, int skipEmpty);
    // By worksheet name and column name; both must be non-empty texts.
    QmData(QmString& worksheetName, const char* columnName);
    // By worksheet name and 0-based column offset.
    QmData(QmString& worksheetName, int columnOffset);
    // A new temporary dataset over [first, end) when `temporaryFlag` is set; else
    // unattached, as by an empty name.
    QmData(int first, int end, int temporaryFlag);
    // By 0-based column index of a worksheet; a negative index asks for a new temporary
    // dataset.
    QmData(int columnIndex, const char* worksheetName);
    // Another handle on the same host dataset, with its range and marks.
    QmData(const QmData& other);
    ~QmData() override;

    QmData& operator=(const QmData&) = delete;

    int settable;       // 0: SetRange refuses
    INT_PTR handle;     // the host dataset, 0 when not attached
    int written;        // set by a write, cleared by SetRange
    QmRangeRecord range; // exchanged with the host; request/requestEnd mirror the range
    int first;
    int end;
    unsigned short mode; // 2 or 4 select the host's alternative value requests
    int lastWritten;    // highest row written, -1 when none
    int temporary;
    int kind;           // 0 to 4, default 3; bit 0x1000 modifies the type word

    int IsError() override;

    // For an object kept from call to call: Release reports the rows written, as
    // destruction does, and leaves the object unattached; AttachColumn then attaches it
    // as the constructor by worksheet name and column offset does.
    void Release();
    void AttachColumn(QmString& worksheetName, int columnOffset);

    virtual void Fill(double value);
    // Takes the other's range and values; a temporary source is then handed back.
    virtual void Assign(QmData& other);
    // Element-wise results in new temporary datasets over this range (with a number) or
    // over the other's range (with a dataset). A missing operand gives a missing result.
    virtual std::unique_ptr<QmData> operator*(double value);
    virtual std::unique_ptr<QmData> operator+(double value);
    virtual std::unique_ptr<QmData> operator-(double value);
    virtual std::unique_ptr<QmData> operator/(double value);
    virtual std::unique_ptr<QmData> operator*(QmData& other);
    virtual std::unique_ptr<QmData> operator+(QmData& other);
    virtual std::unique_ptr<QmData> operator-(QmData& other);
    virtual std::unique_ptr<QmData> operator/(QmData& other);
    virtual QmData& operator*=(double value);
    virtual QmData& operator/=(double value);
    virtual QmData& operator+=(double value);
    virtual QmData& operator-=(double value);
    virtual QmData& operator*=(QmData& other);
    virtual QmData& operator/=(QmData& other);
    virtual QmData& operator+=(QmData& other);
    virtual QmData& operator-=(QmData& other);
    // 0 when done, 1 when refused.
    virtual int SetText(int row, const char* text);
    virtual int SetAt(int row, double value);
    // `buffer` holds QM_STRING_RESULT_SIZE bytes.
    virtual int GetText(int row, char* buffer);
    virtual void SetMode(unsigned short flags);
    virtual int SetRange(int newFirst, int newEnd);
    virtual int ResetRange();
    virtual int Flush();
    virtual void SetRows(int newFirst, int newEnd);
    // The host's 16-byte pair record of a row.
    virtual int GetAttributes(int row, double pair[2]);
    virtual int GetAttributesInRange(int row, double pair[2]);
    virtual int SetPair(int row, const double pair[2]);
    virtual int HasDataset();
    virtual int IsEmpty();
    virtual int ClipRange(int minimumRows);
    virtual INT_PTR Request3412(void* record);
    virtual double GetWithMode(int row);
    virtual int SetWithMode(int row, double value);
    virtual double GetByKey(double key);
    virtual INT_PTR Text();

    double GetAt(int row);
    int CountMissing();
    // 1 / sigma^2 (GetWeight) or sigma (GetSigma) of a row of this error dataset into
    // *out: 1.0 when unattached. 0 when done; 1 and error 1003 when sigma < 1e-99.
    int GetWeight(int row, double* out);
    int GetSigma(int row, double* out);

    // The type word of HOST_SET_SIZE_FORMAT for a kind.
    static int TypeWord(int kind);

private:
    void init();
    void TakeHostRange(INT_PTR answer);
    void MarkWritten(int row);
    std::unique_ptr<QmData> Combine(double value, int op);
    std::unique_ptr<QmData> Combine(QmData& other, int op);
};

// The kinds of dataset object; they differ by class name only.
class QmSourceData : public QmData {
    DECLARE_DYNAMIC(QmSourceData)
public:
    using QmData::QmData;
    // Column `column` (1-based) of a worksheet object.
    QmSourceData(QmQuorixWks& worksheet, int column);
};
class QmErrData : public QmSourceData {
    DECLARE_DYNAMIC(QmErrData)
public:
    using QmSourceData::QmSourceData;
};
class QmInterimData : public QmData {
    DECLARE_DYNAMIC(QmInterimData)
public:
    using QmData::QmData;
};
class QmResultData : public QmData {
    DECLARE_DYNAMIC(QmResultData)
public:
    using QmData::QmData;
    // Column `column` (1-based) of a worksheet object.
    QmResultData(QmQuorixWks& worksheet, int column);
};
class QmTempData : public QmData {
    DECLARE_DYNAMIC(QmTempData)
public:
    using QmData::QmData;
};
class QmTempDataset : public QmData {
    DECLARE_DYNAMIC(QmTempDataset)
public:
    using QmData::QmData;
};
class QmTextData : public QmData {
    DECLARE_DYNAMIC(QmTextData)
public:
    using QmData::QmData;
};
class QmWksCol : public QmTextData {
    DECLARE_DYNAMIC(QmWksCol)
public:
    using QmTextData::QmTextData;
};

#include "QmData.h"

#include <math.h>
#include <string.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(QmData, QmQuorix)
IMPLEMENT_DYNAMIC(QmSourceData, QmData)
IMPLEMENT_DYNAMIC(QmErrData, QmSourceData)
IMPLEMENT_DYNAMIC(QmInterimData, QmData)
IMPLEMENT_DYNAMIC(QmResultData, QmData)
IMPLEMENT_DYNAMIC(QmTempData, QmData)
IMPLEMENT_DYNAMIC(QmTempDataset, QmData)
IMPLEMENT_DYNAMIC(QmTextData, QmData)
IMPLEMENT_DYNAMIC(QmWksCol, QmTextData)

namespace {

enum Op { OP_MUL, OP_ADD, OP_SUB, OP_DIV };

// A quotient is formed only where it cannot overflow; otherwise, and for any missing
// operand, the result is missing. Missing values never enter arithmetic as numbers.
double Apply(double a, double b, int op)
{
    if (a == MISSING_VALUE || b == MISSING_VALUE)
        return MISSING_VALUE;
    switch (op) {
    case OP_MUL: return a * b;
    case OP_ADD: return a + b;
    case OP_SUB: return a - b;
    default:
        if (fabs(b) >= 1.0 || fabs(b) * 1.7e308 > fabs(a))
            return a / b;
        return MISSING_VALUE;
    }
}

void CutName(char (&buffer)[QM_MAX_DATASET_NAME + 1], const char* name)
{
    QmCopyText(buffer, sizeof buffer, name);
}

} // namespace

void QmData::init()
{
    handle = 0;
    written = 0;
    range = QmRangeRecord{0, 0, 0, 0};
    first = 0;
    end = 0;
    lastWritten = -1;
    mode = 0;
    settable = 1;
    temporary = 0;
    kind = 3;
}

// After an attaching request the record's request fields go back to describing rows,
// so a later Flush reports rows and never the name or column the request carried.
void QmData::TakeHostRange(INT_PTR answer)
{
    handle = answer;
    if (handle) {
        first = range.hostFirst;
        end = range.hostEnd;
    }
    range.request = first;
    range.requestEnd = end;
}

QmData::QmData()
{
    init();
}

QmData::QmData(const char* name, int skipEmpty)
{
    init();
    if (skipEmpty && (!name || !*name))
        return;
    char cut[QM_MAX_DATASET_NAME + 1];
    CutName(cut, name);
    range.request = reinterpret_cast<INT_PTR>(name ? cut : nullptr);
    TakeHostRange(QmCallHost(HOST_FIND_DATASET, name ? reinterpret_cast<INT_PTR>(cut) : 0,
                                reinterpret_cast<INT_PTR>(&range)));
}

QmData::QmData(QmString& worksheetName, const char* columnName)
{
    init();
    if (!worksheetName.HasText() || !columnName || !*columnName)
        return;
    range.request = reinterpret_cast<INT_PTR>(columnName);
    TakeHostRange(QmCallHost(HOST_FIND_DATASET_EX, reinterpret_cast<INT_PTR>(worksheetName.text),
                                reinterpret_cast<INT_PTR>(&range)));
}

QmData::QmData(QmString& worksheetName, int columnOffset)
{
    AttachColumn(worksheetName, columnOffset);
}

void QmData::AttachColumn(QmString& worksheetName, int columnOffset)
{
    init();
    if (!worksheetName.HasText() || columnOffset < 0)
        return;
    range.request = columnOffset + 1;
    TakeHostRange(QmCallHost(HOST_OPEN_DATASET, reinterpret_cast<INT_PTR>(worksheetName.text),
                                reinterpret_cast<INT_PTR>(&range)));
}

void QmData::Release()
{
    Flush();
    init();
}

QmData::QmData(int newFirst, int newEnd, int temporaryFlag)
{
    init();
    if (!temporaryFlag) {
        // As an empty name: the host answers with its own choice of dataset, or none.
        char empty[1] = "";
        TakeHostRange(QmCallHost(HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(empty),
                                    reinterpret_cast<INT_PTR>(&range)));
        return;
    }
    handle = QmCallHost(HOST_NEW_TEMP_DATASET, 0, 0);
    temporary = handle ? 1 : 0;
    SetRange(newFirst, newEnd);
}

QmData::QmData(int columnIndex, const char* worksheetName)
{
    init();
    if (columnIndex < 0) {
        handle = QmCallHost(HOST_NEW_TEMP_DATASET, 0, 0);
        temporary = handle ? 1 : 0;
        return;
    }
    char cut[QM_MAX_DATASET_NAME + 1];
    CutName(cut, worksheetName);
    handle = QmCallHost(HOST_GET_COLUMN_DATASET, columnIndex, reinterpret_cast<INT_PTR>(cut));
}

QmData::QmData(const QmData& other)
    : QmQuorix()
{
    init();
    handle = other.handle;
    range = other.range;
    first = other.first;
    end = other.end;
    temporary = other.temporary;
    mode = other.mode;
    lastWritten = other.lastWritten;
}

QmData::~QmData()
{
    Flush();
}

int QmData::IsError()
{
    if (!handle) {
        RecordError(QM_ERR_NO_DATASET);
        return 1;
    }
    return QmErrorRecorded();
}

void QmData::MarkWritten(int row)
{
    lastWritten = std::max(lastWritten, row);
    written = 1;
}

void QmData::Fill(double value)
{
    for (int row = first; row < end; ++row)
        SetAt(row, value);
}

void QmData::Assign(QmData& other)
{
    if (SetRange(other.first, other.end) != 0)
        return;
    for (int row = other.first; row < other.end; ++row)
        SetAt(row, other.GetAt(row));
    other.Text();
}

std::unique_ptr<QmData> QmData::Combine(double value, int op)
{
    auto result = std::make_unique<QmTempData>(first, end, 1);
    for (int row = first; row < end; ++row)
        result->SetAt(row, Apply(GetAt(row), value, op));
    return result;
}

std::unique_ptr<QmData> QmData::Combine(QmData& other, int op)
{
    auto result = std::make_unique<QmTempData>(other.first, other.end, 1);
    for (int row = other.first; row < other.end; ++row)
        result->SetAt(row, Apply(GetAt(row), other.GetAt(row), op));
    return result;
}

std::unique_ptr<QmData> QmData::operator*(double value) { return Combine(value, OP_MUL); }
std::unique_ptr<QmData> QmData::operator+(double value) { return Combine(value, OP_ADD); }
std::unique_ptr<QmData> QmData::operator-(double value) { return Combine(value, OP_SUB); }
std::unique_ptr<QmData> QmData::operator/(double value) { return Combine(value, OP_DIV); }
std::unique_ptr<QmData> QmData::operator*(QmData& other) { return Combine(other, OP_MUL); }
std::unique_ptr<QmData> QmData::operator+(QmData& other) { return Combine(other, OP_ADD); }
std::unique_ptr<QmData> QmData::operator-(QmData& other) { return Combine(other, OP_SUB); }
std::unique_ptr<QmData> QmData::operator/(QmData& other) { return Combine(other, OP_DIV); }

#define QM_IN_PLACE(OPERATOR, OP)                                  \
    QmData& QmData::OPERATOR(double value)                         \
    {                                                              \
        for (int row = first; row < end; ++row)                    \
            SetAt(row, Apply(GetAt(row), value, OP));              \
        return *this;                                              \
    }                                                              \
    QmData& QmData::OPERATOR(QmData& other)                        \
    {                                                              \
        for (int row = first; row < end; ++row)                    \
            SetAt(row, Apply(GetAt(row), other.GetAt(row), OP));   \
        return *this;                                              \
    }

QM_IN_PLACE(operator*=, OP_MUL)
QM_IN_PLACE(operator/=, OP_DIV)
QM_IN_PLACE(operator+=, OP_ADD)
QM_IN_PLACE(operator-=, OP_SUB)
#undef QM_IN_PLACE

int QmData::SetText(int row, const char* text)
{
    if (!text)
        return 1;
    QmTextRecord record{row, const_cast<char*>(text)};
    if (QmCallHost(HOST_SET_TEXT, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    MarkWritten(row);
    return 0;
}

int QmData::SetAt(int row, double value)
{
    if (!handle)
        return 1;
    QmValueRecord record{row, 0, value};
    if (QmCallHost(HOST_SET_VALUE, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    MarkWritten(row);
    return 0;
}

int QmData::GetText(int row, char* buffer)
{
    if (!buffer)
        return 1;
    buffer[0] = '\0';
    QmTextRecord record{row, buffer};
    return QmCallHost(HOST_GET_TEXT, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0 ? 1 : 0;
}

void QmData::SetMode(unsigned short flags)
{
    mode = flags;
}

int QmData::TypeWord(int kind)
{
    static const int words[] = {0x8000, 0x8001, 0x8005, 0x8002, 0x8009};
    int k = kind & ~0x1000;
    int word = (k >= 0 && k <= 4) ? words[k] : 0;
    if (kind & 0x1000)
        word += 0x10;
    return word;
}

int QmData::SetRange(int newFirst, int newEnd)
{
    if (!settable)
        return 1;
    // The range changes only once the host has taken it, so that a refusal (or no host
    // at all) leaves the object describing what the host really holds.
    QmSizeFormatRecord record{newFirst, newEnd, TypeWord(kind)};
    if (QmCallHost(HOST_SET_SIZE_FORMAT, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    range.request = first = newFirst;
    range.requestEnd = end = newEnd;
    written = 0;
    lastWritten = (newFirst != 0 || newEnd != 0) ? newFirst : -1;
    return 0;
}

int QmData::ResetRange()
{
    return SetRange(0, 0);
}

int QmData::Flush()
{
    if (lastWritten >= end) {
        written = 1;
        range.requestEnd = lastWritten + 1;
    }
    if (written && handle) {
        SetRange(static_cast<int>(range.request), range.requestEnd);
        return 1;
    }
    return 0;
}

void QmData::SetRows(int newFirst, int newEnd)
{
    first = newFirst;
    end = newEnd;
}

int QmData::GetAttributes(int row, double pair[2])
{
    QmPairRecord record{row, 0, {0.0, 0.0}};
    if (QmCallHost(HOST_GET_PAIR, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    memcpy(pair, record.pair, sizeof record.pair);
    return 0;
}

int QmData::GetAttributesInRange(int row, double pair[2])
{
    if (row < first || row >= end)
        return 1;
    return GetAttributes(row, pair);
}

int QmData::SetPair(int row, const double pair[2])
{
    QmPairRecord record{row, 0, {pair[0], pair[1]}};
    if (QmCallHost(HOST_SET_PAIR, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    MarkWritten(row);
    return 0;
}

int QmData::HasDataset()
{
    return handle != 0;
}

int QmData::IsEmpty()
{
    return first >= end;
}

int QmData::ClipRange(int minimumRows)
{
    QmRangeRecord record = range;
    bool sent = false;
    QmCallHost(HOST_GET_RANGE, handle, reinterpret_cast<INT_PTR>(&record), 0, &sent);
    if (sent) {
        first = std::max(first, static_cast<int>(record.request));
        end = std::min(end, record.requestEnd);
    }
    return end - first >= minimumRows ? 1 : 0;
}

INT_PTR QmData::Request3412(void* record)
{
    return QmCallHost(HOST_REQ_3412, handle, reinterpret_cast<INT_PTR>(record));
}

double QmData::GetWithMode(int row)
{
    UINT code = (mode & 2) ? UINT(HOST_GET_VALUE_K2) : (mode & 4) ? UINT(HOST_GET_VALUE_K4) : UINT(HOST_GET_VALUE);
    QmValueRecord record{row, 0, MISSING_VALUE};
    if (!handle || QmCallHost(code, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return MISSING_VALUE;
    return record.value;
}

int QmData::SetWithMode(int row, double value)
{
    UINT code = (mode & 2) ? UINT(HOST_SET_VALUE_K2) : (mode & 4) ? UINT(HOST_SET_VALUE_K4) : UINT(HOST_SET_VALUE);
    QmValueRecord record{row, 0, value};
    if (!handle || QmCallHost(code, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return 1;
    lastWritten = std::max(lastWritten, row);
    return 0;
}

double QmData::GetByKey(double key)
{
    QmKeyRecord record{key, MISSING_VALUE};
    if (!handle || QmCallHost(HOST_GET_VALUE_AT, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return MISSING_VALUE;
    return record.value;
}

INT_PTR QmData::Text()
{
    if (!temporary)
        return 0;
    return QmCallHost(HOST_DATASET_TEXT, handle, 0);
}

double QmData::GetAt(int row)
{
    QmValueRecord record{row, 0, MISSING_VALUE};
    if (!handle || QmCallHost(HOST_GET_VALUE, handle, reinterpret_cast<INT_PTR>(&record), 1) != 0)
        return MISSING_VALUE;
    return record.value;
}

int QmData::CountMissing()
{
    int count = 0;
    for (int row = first; row < end; ++row)
        if (GetAt(row) == MISSING_VALUE)
            ++count;
    return count;
}

int QmData::GetWeight(int row, double* out)
{
    double sigma = 1.0;
    if (GetSigma(row, &sigma) != 0)
        return 1;
    *out = handle ? 1.0 / (sigma * sigma) : 1.0;
    return 0;
}

int QmData::GetSigma(int row, double* out)
{
    if (!handle) {
        *out = 1.0;
        return 0;
    }
    double s = GetAt(row);
    if (!(s >= 1e-99)) {
        RecordError(QM_ERR_SMALL_SIGMA);
        return 1;
    }
    *out = s;
    return 0;
}

// Blocks of binary numbers between the current file and datasets or worksheet rows.
#include "Fum.h"


#include <algorithm>
#include <new>
#include <string.h>

IMPLEMENT_DYNAMIC(QmBulk, QmScribe)
IMPLEMENT_DYNAMIC(QmBinIO, QmBulk)
IMPLEMENT_DYNAMIC(QmAIO, QmBinIO)
IMPLEMENT_DYNAMIC(QmARead, QmAIO)
IMPLEMENT_DYNAMIC(QmAWrite, QmAIO)
IMPLEMENT_DYNAMIC(QmReadRowBin, QmBinIO)

static const char* kBulkNote = "\r\nNote: Affected by .nBytes, .ByteOrder, .Signed and .Skip!";

// ---- Worksheet helpers ------------------------------------------------------------------

int FumEnsureColumns(QmQuorixWks& worksheet, int n)
{
    int have = worksheet.GetNumCols();
    while (have < n) {
        worksheet.AddColumn(0, 0, 0);
        int now = worksheet.GetNumCols();
        if (now <= have)
            return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        have = now;
    }
    return 0;
}

int FumRowCells::Open(QmQuorixWks& worksheet, QmString& wksName, const char* name)
{
    opened_ = true;
    wrote_ = false;
    grew_ = false;
    trusted_ = stamp_ && worksheet.handle && name && strcmp(name_.c_str(), name) == 0 &&
               QmCallHost(HOST_WKS_CHANGE_STAMP, worksheet.handle, 0) == stamp_;
    if (trusted_)
        return row_ = next_;
    Release();
    stamp_ = 0;
    wksName.SetText(name);
    worksheet.Find(wksName);
    known_ = worksheet.GetNumCols();
    while (static_cast<int>(columns_.size()) < known_)
        columns_.push_back(std::make_unique<QmResultData>());
    formats_.assign(known_, -1);
    int longest = 0;
    for (int c = 1; c <= known_; ++c) {
        QmResultData& data = *columns_[c - 1];
        data.AttachColumn(worksheet.worksheetName, c - 1);
        if (data.handle && data.end > longest)
            longest = data.end;
    }
    attached_ = known_;
    return row_ = longest;
}

void FumRowCells::Release()
{
    for (int c = 0; c < attached_; ++c)
        columns_[c]->Release();
    attached_ = 0;
}

void FumRowCells::Close(QmQuorixWks& worksheet, bool failed)
{
    if (!opened_)
        return;
    opened_ = false;
    // A host that vouched for the worksheet with a stamp grows the columns to the rows
    // written (the writes went straight to it); any other is told.
    if (!trusted_)
        for (int c = 0; c < attached_; ++c)
            columns_[c]->Flush();
    // Added columns are not attached yet: the next call looks again.
    if (failed || grew_ || !worksheet.handle) {
        stamp_ = 0;
        return;
    }
    stamp_ = QmCallHost(HOST_WKS_CHANGE_STAMP, worksheet.handle, 0);
    if (!trusted_)
        name_ = worksheet.worksheetName.HasText() ? worksheet.worksheetName.text : "";
    next_ = wrote_ ? row_ + 1 : row_;
}

int FumRowCells::Ensure(QmQuorixWks& worksheet, int n)
{
    if (n <= known_)
        return 0;
    grew_ = true;
    int r = FumEnsureColumns(worksheet, n);
    if (!r)
        known_ = n;
    return r;
}

int FumRowCells::SetNumber(QmQuorixWks& worksheet, int column, int row, double value)
{
    wrote_ = true;
    if (column >= 1 && column <= attached_) {
        QmResultData& data = *columns_[column - 1];
        // Columns that were there when the stamp was given are there still, and grow to
        // the rows written into them.
        if (data.handle && trusted_) {
            QmValueRecord record{row, 0, value};
            return QmCallHost(HOST_SET_VALUE, data.handle, reinterpret_cast<INT_PTR>(&record), 1) != 0 ? 1 : 0;
        }
        if (data.handle && QmCallHost(HOST_IS_DATASET_NAME, data.handle, 0) == 0)
            return data.SetAt(row, value);
    }
    return worksheet.SetCell(column, row, value);
}

int FumRowCells::SetText(QmQuorixWks& worksheet, int column, int row, const char* text)
{
    wrote_ = true;
    return worksheet.SetCellText(column, row, text);
}

int FumRowCells::Format(QmQuorixWks& worksheet, int column)
{
    if (column < 1 || column > static_cast<int>(formats_.size()))
        return worksheet.GetColumnFormat(column);
    int& format = formats_[column - 1];
    if (format < 0)
        format = worksheet.GetColumnFormat(column);
    return format;
}

// ---- The engine -------------------------------------------------------------------------

size_t QmBulk::s_bufferLimit = static_cast<size_t>(-1);

int QmBulk::Run(FUM_File* target, int elementStride, int elements, int budget, int dir)
{
    file = target;
    stride = elementStride;
    count = elements;
    splitBudget = budget & 0xFFFF;
    direction = dir;
    buffer = nullptr;
    lastStatus = 0;
    moved = 0;
    // A count from a damaged file or a mistyped script may ask for far more than the file
    // holds: the buffer and the transfer are sized by what is there, and the rest is the
    // end of the file, as a short read would report it.
    int held = count;
    if (direction == 1 && file && stride > 0) {
        int64_t left = 0;
        try {
            left = file->Length64() - file->Position64();
        } catch (CFileException* e) {
            e->Delete();
        }
        int64_t whole = left > 0 ? (left + TrailingGap()) / stride : 0;
        if (whole < count)
            held = static_cast<int>(whole);
    }
    if (held > 0 || held == count)
        lastStatus = TransferPiece(held, 0);
    if (lastStatus == 0 && held < count) {
        TheFum().error.value = FUM_ERR_END_OF_FILE;
        lastStatus = FUM_ERR_END_OF_FILE;
    }
    return lastStatus == FUM_ERR_MEMORY ? 1 : 0;
}

int64_t QmBulk::PieceBytes(int n)
{
    int64_t bytes = static_cast<int64_t>(n) * stride - TrailingGap();
    return bytes < 0 ? 0 : bytes;
}

int QmBulk::CompleteElements(int64_t got, int n)
{
    // The last element of a piece needs its own width only, not its trailing gap.
    int64_t complete = stride > 0 ? (got + TrailingGap()) / stride : 0;
    return complete > n ? n : static_cast<int>(complete);
}

int QmBulk::TransferPiece(int n, int first)
{
    if (splitBudget == 0)
        return FUM_ERR_MEMORY;
    --splitBudget;
    int64_t bytes = PieceBytes(n);
    uint8_t* piece = nullptr;
    if (static_cast<uint64_t>(bytes) <= s_bufferLimit && bytes < 0x7FFFFFFF)
        piece = new (std::nothrow) uint8_t[static_cast<size_t>(bytes) + 1];
    if (!piece) {
        if (n < 2)
            return FUM_ERR_MEMORY;
        int h = n / 2;
        int r = TransferPiece(h, first);
        lastStatus = r;
        if (r)
            return r;
        ++splitBudget;
        r = TransferPiece(n - h, first + h);
        lastStatus = r;
        if (r)
            return r;
        ++splitBudget;
        return 0;
    }
    // Gap bytes and bytes a short read leaves are zero, never stale memory.
    memset(piece, 0, static_cast<size_t>(bytes) + 1);
    buffer = piece;
    int r = direction == 1 ? ReadPiece(n, first) : WritePiece(n, first);
    lastStatus = r;
    delete[] piece;
    buffer = nullptr;
    return r;
}

int QmBulk::ReadPiece(int n, int first)
{
    FUM& fum = TheFum();
    int64_t bytes = PieceBytes(n);
    UINT got = 0;
    try {
        got = file->Read(buffer, static_cast<UINT>(bytes));
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        if (!fum.Extended())
            return fum.Fail(0, FUM_OLD_READ);
        int code = cause == CFileException::endOfFile ? FUM_ERR_END_OF_FILE : FUM_ERR_READ;
        fum.error.value = code;
        return code;
    }
    // Only elements that arrived whole are converted; a short read is the end of the
    // file, and the rows it did not reach keep what they held.
    int complete = CompleteElements(got, n);
    int r = complete > 0 ? DecodePiece(first, complete, buffer) : 0;
    if (r)
        return r;
    moved += complete;
    if (complete < n || got == 0) {
        fum.error.value = FUM_ERR_END_OF_FILE;
        return FUM_ERR_END_OF_FILE;
    }
    return 0;
}

int QmBulk::WritePiece(int n, int first)
{
    int r = EncodePiece(first, n, buffer);
    if (r)
        return r;
    try {
        file->Write(buffer, static_cast<UINT>(PieceBytes(n)));
    } catch (CFileException* e) {
        e->Delete();
        return TheFum().Fail(FUM_ERR_WRITE, FUM_OLD_HOST);
    }
    moved += n;
    return 0;
}

// ---- Binary blocks ----------------------------------------------------------------------

int QmBinIO::TrailingGap()
{
    return TheFum().skip.value;
}

int QmBinIO::SelectCodec(FumCodec* codec, bool read)
{
    FUM& fum = TheFum();
    g_fumConverter.LoadSettings();
    // A decimal element is ten bytes: a narrower stride would run into the next one.
    if (fum.binType.value == FUM_CLASS_DECIMAL && fum.nBytes.value != 10) {
        *codec = nullptr;
        fum.error.value = FUM_ERR_TYPE;
        return FUM_ERR_TYPE;
    }
    return FUM_SelectConversion(codec, fum.binType.value, fum.nBytes.value, read);
}

int QmBinIO::BeginBinary(const char* argText, QmDLL* root)
{
    int r = QmFUMIO::Begin(argText, root);
    return r ? r : TheFum().byteOrder.CheckCurrent();
}

int QmBinIO::MissingArgument()
{
    return TheFum().Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_ARG);
}

int QmBinIO::BeginBlock(int binTypeIndex)
{
    FUM& fum = TheFum();
    if (!Given(binTypeIndex))
        return MissingArgument();
    int r = fum.binType.SetChecked(IntArg(binTypeIndex));
    if (r)
        return r;
    r = fum.isSigned.CheckCurrent();
    if (r)
        return r;
    // Elements must not overlap: a negative gap would read and write outside them.
    if (fum.skip.value < 0)
        return fum.Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
    return 0;
}

int QmBinIO::Finish(double* result, int runResult)
{
    if (runResult)
        return 1;
    *result = moved;
    if (lastStatus == 0)
        return 0;
    // The transfer failed part-way: the value tells how many elements were moved and
    // the call fails, so that a script does not take a short block for a whole one.
    return FumExtended() ? lastStatus : 2;
}

QmAIO::QmAIO()
{
    usage.SetText((std::string("(dataset$,start,end,binType[,hFile])") + kBulkNote).c_str());
    AddText();
    AddInt();
    AddInt();
    AddInt();
    AddInt();
}

int QmAIO::Begin(const char* argText, QmDLL* root)
{
    int r = BeginBinary(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    if (!Given(0) || !args[0]->GetStr())
        return MissingArgument();
    if (!Given(1) || !Given(2))
        return MissingArgument();
    firstRow = IntArg(1) - 1;
    endRow = IntArg(2);
    if (static_cast<unsigned>(endRow) < static_cast<unsigned>(firstRow) || firstRow < 0)
        return fum.Fail(FUM_ERR_BAD_RANGE, FUM_OLD_BAD_RANGE);
    return BeginBlock(3);
}

int QmAIO::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (fum.Extended())
        *result = -1;
    int r = Run(fum.hFile.File(), fum.nBytes.value + fum.skip.value, endRow - firstRow, 256, Direction());
    return Finish(result, r);
}

int QmARead::DecodePiece(int first, int n, uint8_t* block)
{
    FumCodec codec = nullptr;
    int r = SelectCodec(&codec, true);
    if (r)
        return r;
    QmResultData data(args[0]->GetStr(), 0);
    if (!data.handle)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    FumLongWork work("Reading binary data");
    for (int k = 0; k < n; ++k) {
        if ((k & 0xFFFF) == 0xFFFF && work.Stopped(static_cast<int>(100.0 * k / n)))
            return work.Stop();
        double v = 0;
        r = codec(block + static_cast<size_t>(k) * stride, &v);
        if (r)
            return r;
        if (data.SetAt(firstRow + first + k, v))
            return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    }
    return 0;
}

int QmAWrite::EncodePiece(int first, int n, uint8_t* block)
{
    FumCodec codec = nullptr;
    int r = SelectCodec(&codec, false);
    if (r)
        return r;
    QmSourceData data(args[0]->GetStr(), 0);
    if (!data.handle)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    for (int k = 0; k < n; ++k) {
        double v = data.GetAt(firstRow + first + k);
        r = codec(block + static_cast<size_t>(k) * stride, &v);
        if (r)
            return r;
    }
    return 0;
}

// ---- READROWBIN -------------------------------------------------------------------------

QmReadRowBin::QmReadRowBin()
{
    usage.SetText((std::string("(wksname$,nToken,binType[,hFile])") + kBulkNote).c_str());
    AddText();
    AddInt();
    AddInt();
    AddInt();
}

int QmReadRowBin::Begin(const char* argText, QmDLL* root)
{
    int r = BeginBinary(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    if (!Given(0) || !args[0]->GetStr() || !Given(1))
        return MissingArgument();
    tokenCount = IntArg(1);
    // The row record carries the count in 16 bits.
    if (tokenCount < 0 || tokenCount > 0xFFFF)
        return fum.Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
    return BeginBlock(2);
}

int QmReadRowBin::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    int r = Run(fum.hFile.File(), fum.nBytes.value + fum.skip.value, tokenCount, 1, 1);
    return Finish(result, r);
}

int QmReadRowBin::DecodePiece(int, int n, uint8_t* block)
{
    QmString name;
    name.SetText(args[0]->GetStr());
    QmQuorixWks worksheet(name);
    if (!worksheet.handle)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    int r = FumEnsureColumns(worksheet, n);
    if (r)
        return r;
    FumCodec codec = nullptr;
    r = SelectCodec(&codec, true);
    if (r)
        return r;
    std::vector<double> values(n);
    for (int k = 0; k < n; ++k) {
        r = codec(block + static_cast<size_t>(k) * stride, &values[k]);
        if (r)
            return r;
    }
    if (!QmHostBound())
        return 0;
    INT_PTR handle = 0;
    if (QmCallHost(HOST_FIND_OBJECT, reinterpret_cast<INT_PTR>(name.text), reinterpret_cast<INT_PTR>(&handle)) != 0)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    QmRowRecord record{QM_ROW_RECORD_KIND, static_cast<uint16_t>(n), 1, 0, 0, 0, values.data()};
    if (g_qmHostCallback(reinterpret_cast<HWND>(handle), HOST_OBJECT_PUT_ROW,
                         reinterpret_cast<INT_PTR>(&record), 0) != 0)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    QmCallHost(HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("doc -uw"), 0);
    return 0;
}

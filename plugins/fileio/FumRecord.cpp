// Fixed-layout binary records between a file and the columns of a worksheet. The layout
// is a template: fields separated by "|", each a type word with an optional count, or a
// count of bytes to skip.
#include "Fum.h"

#include <ctype.h>
#include <string.h>

IMPLEMENT_DYNAMIC(QmRecord, QmBinIO)
IMPLEMENT_DYNAMIC(QmReadRecord, QmRecord)
IMPLEMENT_DYNAMIC(QmWriteRecord, QmRecord)

// A record is moved in one buffer: no field may make it larger than this.
static const int64_t kLargestRecord = 1 << 24;

int FUM_TemplateItem::Parse(const std::string& field, bool read)
{
    count = 1;
    width = 0;
    codec = nullptr;
    signedMark = 0;
    size_t i = 0;
    if (field.empty())
        return FUM_ERR_TEMPLATE;
    char c = field[0];
    if (isupper(static_cast<unsigned char>(c)) || c == '-') {
        signedMark = c == '-';
        std::string word = field.substr(signedMark);
        struct Type {
            const char* prefix;
            int width;
            int typeClass; // -1: skip
        } types[] = {{"BY", 1, FUM_CLASS_INTEGER}, {"SH", 2, FUM_CLASS_INTEGER}, {"T", 3, FUM_CLASS_INTEGER},
                     {"LO", 4, FUM_CLASS_INTEGER}, {"F", 4, FUM_CLASS_FLOAT},     {"D", 8, FUM_CLASS_FLOAT},
                     {"LD", 10, FUM_CLASS_FLOAT},  {"BC", 10, FUM_CLASS_DECIMAL}, {"SK", 0, -1}};
        const Type* found = nullptr;
        for (const Type& t : types)
            if (word.compare(0, strlen(t.prefix), t.prefix) == 0) {
                found = &t;
                break;
            }
        if (!found)
            return FUM_ERR_TEMPLATE;
        if (found->typeClass >= 0) {
            width = static_cast<uint16_t>(found->width);
            if (FUM_SelectConversion(&codec, found->typeClass, found->width, read))
                return FUM_ERR_TYPE;
        }
        i = 0;
        while (i < field.size() && (isupper(static_cast<unsigned char>(field[i])) || field[i] == '-'))
            ++i;
        if (i == field.size())
            return 0;
        if (!isdigit(static_cast<unsigned char>(field[i])))
            return FUM_ERR_TEMPLATE;
    } else if (!isdigit(static_cast<unsigned char>(c))) {
        return FUM_ERR_TEMPLATE;
    }
    int64_t n = 0;
    while (i < field.size() && isdigit(static_cast<unsigned char>(field[i]))) {
        n = n * 10 + (field[i] - '0');
        if (n > kLargestRecord)
            return FUM_ERR_TEMPLATE;
        ++i;
    }
    if (i != field.size())
        return FUM_ERR_TEMPLATE;
    if (n == 0)
        return FUM_ERR_ZERO_COUNT;
    count = static_cast<int32_t>(n);
    return 0;
}

// ---- QmRecord ---------------------------------------------------------------------------

QmRecord::QmRecord()
{
    usage.SetText("(wksname$,nRecords,templateString[,hFile])\r\nTemplate String:\r\n"
                  "\"[-]type [times] | [-]type [times] | skipNumber | ...\"\r\n"
                  "  Integral types:\r\n"
                  "    by[te]       =  8 bits =  1 byte\r\n"
                  "    sh[ort]      = 16 bits =  2 bytes\r\n"
                  "    t[byte]      = 24 bits =  3 bytes\r\n"
                  "    lo[ng]       = 32 bits =  4 bytes\r\n"
                  "    BC[D]        = 80 bits = 10 bytes\r\n"
                  "  Floating point types:\r\n"
                  "    f[loat]      = 32 bits =  4 bytes\r\n"
                  "    d[ouble]     = 64 bits =  8 bytes\r\n"
                  "    ld[ouble]    = 80 bits = 10 bytes\r\n"
                  "  Special types:\r\n"
                  "    [skip]       skipNumber\r\n"
                  "Note: Affected by .ByteOrder!");
    AddText();
    AddInt();
    AddText();
    AddInt();
}

int QmRecord::Parse(const std::string& text, bool read)
{
    items.clear();
    // The usage text shows the type words in small letters; they mean the same.
    std::string upper = text;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    size_t start = 0;
    int64_t size = 0;
    for (;;) {
        size_t bar = upper.find('|', start);
        std::string field = upper.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        FUM_TemplateItem item;
        int r = item.Parse(field, read);
        if (r == 0) {
            size += item.width ? static_cast<int64_t>(item.width) * item.count : item.count;
            if (size > kLargestRecord)
                r = FUM_ERR_TEMPLATE;
        }
        if (r) {
            items.clear();
            TheFum().error.value = r;
            return r;
        }
        items.push_back(item);
        if (bar == std::string::npos)
            return 0;
        start = bar + 1;
    }
}

int QmRecord::RecordSize() const
{
    int size = 0;
    for (const FUM_TemplateItem& item : items)
        size += item.width ? item.width * item.count : item.count;
    return size;
}

int QmRecord::ValueColumns() const
{
    int n = 0;
    for (const FUM_TemplateItem& item : items)
        if (item.width)
            n += item.count;
    return n;
}

int QmRecord::TrailingGap()
{
    return !items.empty() && items.back().width == 0 ? items.back().count : 0;
}

int QmRecord::Begin(const char* argText, QmDLL* root)
{
    items.clear();
    int r = BeginBinary(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    if (!Given(0) || !args[0]->GetStr() || !Given(1) || !Given(2) || !args[2]->GetStr())
        return MissingArgument();
    wksName_.SetText(args[0]->GetStr());
    records_ = IntArg(1);
    if (records_ < 0)
        return fum.Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
    return Parse(args[2]->GetStr(), Reading());
}

template <class Data>
int QmRecord::MakeColumns(QmQuorixWks& worksheet, std::vector<std::unique_ptr<Data>>& columns)
{
    int c = ValueColumns();
    for (int j = 1; j <= c; ++j) {
        columns.emplace_back(new Data(worksheet, j));
        // A column that is not there would take its values nowhere.
        if (!columns.back()->handle)
            return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    }
    return 0;
}

// ---- READRECORD -------------------------------------------------------------------------

int QmReadRecord::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    *result = -1;
    int r = Run(TheFum().hFile.File(), RecordSize(), records_, 1, 1);
    return Finish(result, r);
}

int QmReadRecord::DecodePiece(int first, int n, uint8_t* block)
{
    QmQuorixWks worksheet(wksName_);
    int r = FumEnsureColumns(worksheet, ValueColumns());
    if (r)
        return r;
    std::vector<std::unique_ptr<QmResultData>> columns;
    r = MakeColumns(worksheet, columns);
    if (r)
        return r;
    g_fumConverter.LoadSettings();
    size_t offset = 0;
    FumLongWork work("Reading binary records");
    for (int rec = first; rec < first + n; ++rec) {
        if (((rec - first) & 0xFFF) == 0xFFF && work.Stopped(static_cast<int>(100.0 * (rec - first) / n)))
            return work.Stop();
        size_t j = 0;
        for (const FUM_TemplateItem& item : items) {
            if (!item.width) {
                offset += item.count;
                continue;
            }
            g_fumConverter.SetSigned(item.signedMark);
            for (int k = 0; k < item.count; ++k) {
                double v = 0;
                r = item.codec(block + offset, &v);
                if (r)
                    return r;
                if (columns[j]->SetAt(rec, v))
                    return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
                ++j;
                offset += item.width;
            }
        }
    }
    return 0;
}

// ---- WRITERECORD ------------------------------------------------------------------------

int QmWriteRecord::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    *result = -1;
    int r = Run(TheFum().hFile.File(), RecordSize(), records_, 1, 0);
    if (r)
        return 1;
    // A write that failed must not look like the one that succeeded.
    if (lastStatus)
        return FumExtended() ? lastStatus : 2;
    *result = 0;
    return 0;
}

int QmWriteRecord::EncodePiece(int first, int n, uint8_t* block)
{
    QmQuorixWks worksheet(wksName_);
    if (worksheet.GetNumCols() < ValueColumns()) {
        TheFum().error.value = FUM_ERR_FEW_COLUMNS;
        return FUM_ERR_FEW_COLUMNS;
    }
    std::vector<std::unique_ptr<QmSourceData>> columns;
    int r = MakeColumns(worksheet, columns);
    if (r)
        return r;
    g_fumConverter.LoadSettings();
    size_t offset = 0;
    for (int rec = first; rec < first + n; ++rec) {
        size_t j = 0;
        for (const FUM_TemplateItem& item : items) {
            if (!item.width) {
                offset += item.count;
                continue;
            }
            g_fumConverter.SetSigned(item.signedMark);
            for (int k = 0; k < item.count; ++k) {
                double v = columns[j]->GetAt(rec);
                r = item.codec(block + offset, &v);
                if (r)
                    return r;
                ++j;
                offset += item.width;
            }
        }
    }
    return 0;
}

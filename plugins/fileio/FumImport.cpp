// Imports of whole files into worksheets: WAVE sound, Mathematica lists and SigmaPlot
// worksheets (Windows and DOS). Each walks its file through the other fum methods, as a
// script would, inside the frame that restores the root's settings when it ends.
#include "Fum.h"

#include "qxutil.h"

#include <string.h>

#include <string>

IMPLEMENT_DYNAMIC(QmWav, QmImportIO)
IMPLEMENT_DYNAMIC(QmMathematica, QmImportIO)
IMPLEMENT_DYNAMIC(QmSigmaWin, QmImportIO)
IMPLEMENT_DYNAMIC(QmSigmaDos, QmImportIO)

namespace {

// The host window is brought up to date and the wait cursor shown while an import runs;
// the cursor the user had comes back however the import ends.
class ImportCursor {
public:
    ImportCursor()
    {
        if (g_qmHostContext && IsWindow(g_qmHostContext))
            UpdateWindow(g_qmHostContext);
        previous_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    }
    ~ImportCursor() { SetCursor(previous_); }

private:
    HCURSOR previous_;
};

uint32_t Tag(const char* text)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) | (static_cast<uint8_t>(text[1]) << 8) |
           (static_cast<uint8_t>(text[2]) << 16) | (static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24);
}

} // namespace

// ---- WAV --------------------------------------------------------------------------------

int QmWav::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    ImportCursor cursor;
    QmQuorixWks worksheet(wksName_);
    // The header is little-endian and unsigned whatever the script left in the settings.
    SetSetting(FUM_S_BYTEORDER, 0);
    SetSetting(FUM_S_SKIP, 0);
    SetSetting(FUM_S_SIGNED, 0);
    // A file this import cannot read is refused with ERROR 41 and the reason.
    auto refuse = [&](const char* why) {
        QmPrintText((std::string("fum.WAV: ") + why).c_str());
        fum.error.value = FUM_ERR_FORMAT;
        return FUM_ERR_FORMAT;
    };
    double v = 0;
    int r;
    double tag1, tag2, tag3;
    if ((r = SetPos(0)) || (r = Read(4, &tag1)) || (r = Jump(4)) || (r = Read(4, &tag2)) || (r = Read(4, &tag3)))
        return r;
    if (tag1 != Tag("RIFF") || tag2 != Tag("WAVE"))
        return refuse("not a RIFF WAVE file.");
    if (tag3 != Tag("fmt "))
        return refuse("the format chunk does not come first.");
    if ((r = SetPos(20)) || (r = Read(1, &v)))
        return r;
    if (v != 1)
        return refuse("the samples are not PCM (uncompressed integers).");
    double formatSize, channels, rate, bits;
    if ((r = SetPos(16)) || (r = Read(4, &formatSize)) || (r = Jump(2)) || (r = Read(2, &channels)) ||
        (r = Read(4, &rate)) || (r = Jump(6)) || (r = Read(2, &bits)))
        return r;
    // Widths that are not whole bytes (12 bits, 20 bits) sit in the next whole number of
    // bytes, their container.
    int b = (static_cast<int>(bits) + 7) >> 3;
    // A header that names no sample width, channel or rate describes no sound: refused
    // before anything divides by it.
    if (b < 1 || b > 4)
        return refuse("the sample width is not 1 to 32 bits.");
    if (channels < 1 || rate < 1)
        return refuse("the header names no channel or no sample rate.");
    if (formatSize < 16 || formatSize > 20)
        return refuse("the format chunk is not 16 to 20 bytes long.");
    if (formatSize > 16 && (r = Jump(static_cast<int64_t>(formatSize) - 16)))
        return r;
    double tag;
    if ((r = Read(4, &tag)))
        return r;
    if (tag == Tag("fact")) {
        // The fact chunk is skipped by the size it gives, padded to an even length.
        double factSize;
        if ((r = Read(4, &factSize)))
            return r;
        double fileSize, here;
        if ((r = CallMethod(FUM_M_SIZE, &fileSize)))
            return CalledFailed(r);
        if ((r = GetPos(&here)))
            return r;
        double skip = factSize + (static_cast<int64_t>(factSize) & 1);
        if (here + skip + 8 > fileSize)
            return refuse("the fact chunk runs past the end of the file.");
        if ((r = Jump(static_cast<int64_t>(skip))) || (r = Read(4, &tag)))
            return r;
    }
    if (tag != Tag("data"))
        return refuse("a chunk other than fact (a LIST chunk, for instance) comes before the data.");
    double dataSize, start;
    if ((r = Read(4, &dataSize)) || (r = GetPos(&start)))
        return r;
    double fileSize;
    if ((r = CallMethod(FUM_M_SIZE, &fileSize)))
        return CalledFailed(r);
    // A data size beyond the end of the file is a damaged file, not a shorter sound.
    if (dataSize > fileSize - start)
        return refuse("the data chunk runs past the end of the file.");
    int n = static_cast<int>(dataSize) / b;
    int nChannels = static_cast<int>(channels);

    SetSetting(FUM_S_NBYTES, b);
    // Samples of one byte are unsigned; wider ones are signed.
    SetSetting(FUM_S_SIGNED, b >= 2 ? 1 : 0);
    if ((r = FumEnsureColumns(worksheet, nChannels == 2 ? 4 : 2)))
        return r;
    // The samples go to the column named Data, the second.
    worksheet.SetColumnName(2, "Data");
    char name[256];
    if (worksheet.GetDatasetName(name, sizeof name, 2))
        return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    if (n > 0) {
        if ((r = CallMethodText3(FUM_M_AREAD, &v, name, 1, n, 0)))
            return CalledFailed(r);
    }
    double rateValue = rate;
    int frames = n / nChannels;
    FumLongWork work("Importing sound");
    for (int i = 0; i < frames; ++i) {
        if ((i & 0xFFFF) == 0xFFFF && work.Stopped(50 * i / frames))
            return work.Stop();
        if (worksheet.SetCell(1, i, (i + 1) / rateValue))
            return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    }
    if (nChannels == 2) {
        worksheet.SetColumnName(3, "Left");
        worksheet.SetColumnName(4, "Right");
        QmSourceData data(worksheet, 2);
        for (int i = 0; i < n / 2; ++i) {
            if ((i & 0xFFFF) == 0xFFFF && work.Stopped(50 + 50 * i / (n / 2)))
                return work.Stop();
            if (worksheet.SetCell(3, i, data.GetAt(2 * i)) || worksheet.SetCell(4, i, data.GetAt(2 * i + 1)))
                return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        }
        worksheet.ColumnNotify(2);
        worksheet.RowsNotify(n / 2);
    }
    return 0;
}

// ---- MATHEMATICA ------------------------------------------------------------------------

int QmMathematica::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    ImportCursor cursor;
    std::unique_ptr<FumByteReader> reader;
    try {
        reader.reset(new FumByteReader(fum.hFile.File()));
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return fum.Fail(FUM_ERR_READ_ITEM, FUM_OLD_NO_CURRENT, cause, FUM_CauseToErrno(cause));
    }
    int ch = 0, cause = 0, got;
    auto readFailed = [&]() {
        return fum.Fail(FUM_ERR_READ_ITEM, FUM_OLD_NO_CURRENT, cause, FUM_CauseToErrno(cause));
    };
    // One opening brace: a list; two: a list of lists.
    int braces = 0;
    int pending = -1;
    while ((got = reader->Next(&ch, &cause)) == 1 && ch == '{')
        ++braces;
    if (got < 0)
        return readFailed();
    if (got == 1)
        pending = ch;
    if (braces != 1 && braces != 2) {
        fum.error.value = FUM_ERR_FORMAT;
        return FUM_ERR_FORMAT;
    }
    QmQuorixWks worksheet(wksName_);
    if (!worksheet.CheckExists()) {
        fum.error.value = FUM_ERR_NO_WORKSHEET;
        return FUM_ERR_NO_WORKSHEET;
    }
    int columns = worksheet.GetNumCols();
    for (int c = columns; c >= 1; --c)
        worksheet.SetColumnFormat(c, 9);

    // A token: an element of any length, "*" read as the exponent mark E. Answers 1 when
    // a comma ended it (more follows), 0 when a closing brace or the end of the file did.
    auto token = [&](std::string& text, int* failed) {
        text.clear();
        for (;;) {
            int c;
            if (pending >= 0) {
                c = pending;
                pending = -1;
            } else {
                int g = reader->Next(&c, &cause);
                if (g < 0) {
                    *failed = 1;
                    return 0;
                }
                if (g == 0)
                    return 0;
            }
            if (c == '\r' || c == '\n' || c == ' ' || c == '^' || c == '{')
                continue;
            if (c == ',')
                return 1;
            if (c == '}')
                return 0;
            text += c == '*' ? 'E' : static_cast<char>(c);
        }
    };
    auto store = [&](int column, int row, const std::string& text) {
        return worksheet.SetCellText(column, row, text.c_str()) ? fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST) : 0;
    };
    std::string text;
    int failed = 0;
    int k = 1, row = 0;
    if (columns < 1 && FumEnsureColumns(worksheet, 1)) {
        return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    }
    FumLongWork work("Importing a Mathematica list");
    for (int cells = 1;; ++cells) {
        if ((cells & 0xFFFF) == 0 && work.Stopped(0))
            return work.Stop();
        int more = token(text, &failed);
        if (failed)
            return readFailed();
        // An empty list, or nothing after the last comma, is no cell.
        if (more || !text.empty()) {
            int r = store(k, row, text);
            if (r) {
                return r;
            }
        }
        if (more) {
            ++row;
            continue;
        }
        if (braces == 1)
            break;
        // The inner list ended: a closing brace ends the outer one, else the next
        // inner list is the next column.
        int next = 0;
        int g = reader->Next(&next, &cause);
        if (g < 0)
            return readFailed();
        if (g == 0 || next == '}')
            break;
        ++k;
        if (k > columns && FumEnsureColumns(worksheet, k)) {
            return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        }
        row = 0;
    }
    return 0;
}

// ---- SIGMAWIN ---------------------------------------------------------------------------

// Statuses of a called method that mean the file ended (the end of the file among them).
static bool EndOfFileStatus(int status)
{
    return (status & 0x01) || (status & 0x20);
}

int QmSigmaWin::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    ImportCursor cursor;
    QmQuorixWks worksheet(wksName_);
    SetSetting(FUM_S_NEWACTIONS, 1);
    SetSetting(FUM_S_BYTEORDER, 0);
    SetSetting(FUM_S_SIGNED, 0);
    SetSetting(FUM_S_SKIP, 0);
    int r;
    double v = 0;
    if ((r = SetPos(32)))
        return r;
    SetSetting(FUM_S_LISTSEP, 0);
    std::vector<char> text(QM_STRING_RESULT_SIZE, '\0');
    auto readName = [&](std::string& out) {
        if (int s = CallMethodText(FUM_M_READTOKEN, &v, "Z", 1))
            return CalledFailed(s);
        if (QmHostBound() && !QmGetStringVariable('Z', text.data()))
            return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        out = text.data();
        return 0;
    };
    std::string name;
    if ((r = readName(name)))
        return r;
    double p, t;
    if ((r = SetPos(name == "JSDataWorksheet" ? 50 : 80)) || (r = Read(4, &p)) || (r = SetPos(static_cast<int64_t>(p) + 44)))
        return r;
    // The highest column index is signed: -1 is a worksheet without columns.
    SetSetting(FUM_S_SIGNED, 1);
    r = Read(2, &t);
    SetSetting(FUM_S_SIGNED, 0);
    if (r)
        return r;
    int last = static_cast<int>(t);
    double fileSize;
    if ((r = CallMethod(FUM_M_SIZE, &fileSize)))
        return CalledFailed(r);
    // Every column has its data record (32 bytes before its cells) behind the header: a
    // count the file cannot hold is damage, refused before a column is added.
    double room = (fileSize - (p + 48)) / 32;
    if (last + 1 > room) {
        QmPrintText(("fum.SIGMAWIN: the file claims " + std::to_string(last + 1) + " columns, more than its " +
                     std::to_string(static_cast<int64_t>(fileSize)) + " bytes can hold; it is damaged.")
                        .c_str());
        fum.error.value = FUM_ERR_FORMAT;
        return FUM_ERR_FORMAT;
    }
    if (last >= 0 && (r = FumEnsureColumns(worksheet, last + 1)))
        return r;
    if ((r = Read(2, &v)))
        return r;

    char dataset[256];
    FumLongWork work("Importing a SigmaPlot worksheet");
    while (last >= 0) {
        if (work.Stopped(0))
            return work.Stop();
        double kind;
        r = Read(1, &kind);
        if (r && EndOfFileStatus(r)) {
            fum.error.value = 0;
            break;
        }
        if (r)
            return r;
        if (kind != 1) {
            // Not a data record: it is read again as a title record.
            if ((r = Jump(-1)))
                return r;
            break;
        }
        double d, length, cells;
        if ((r = Jump(19)) || (r = Read(4, &d)))
            return r;
        int column = static_cast<int>(d) + 1;
        if (column < 1 || worksheet.GetDatasetName(dataset, sizeof dataset, column))
            return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        if ((r = Jump(4)) || (r = Read(4, &length)) || (r = GetPos(&cells)))
            return r;
        int rows = static_cast<int>(length) >> 4;
        // No more cells than the file holds, whatever the record claims.
        double room = (fileSize - cells + 15) / 16;
        if (rows > room)
            rows = room > 0 ? static_cast<int>(room) : 0;
        if (rows > 0) {
            SetSetting(FUM_S_NBYTES, 10);
            SetSetting(FUM_S_SKIP, 6);
            SetSetting(FUM_S_BYTEORDER, 0);
            r = CallMethodText3(FUM_M_AREAD, &v, dataset, 1, rows, 1);
            // Cells the file does not hold are marked missing below.
            if (r && !(r == FUM_ERR_END_OF_FILE || r == FUM_ERR_END_OF_FILE + 0x200))
                return CalledFailed(r);
            SetSetting(FUM_S_SKIP, 0);
            fum.error.value = 0;
        }
        QmResultData data(worksheet, column);
        if ((r = SetPos(static_cast<int64_t>(cells))))
            return r;
        bool ended = false;
        for (int i = 0; i < rows; ++i) {
            double cellKind = 0;
            if (!ended) {
                double position;
                r = Jump(15);
                if (!r)
                    r = Read(1, &cellKind);
                if (!r)
                    r = GetPos(&position);
                if (r && EndOfFileStatus(r)) {
                    ended = true;
                    fum.error.value = 0;
                } else if (r) {
                    return r;
                }
            }
            if (ended || cellKind != 17)
                data.SetAt(i, MISSING_VALUE);
        }
        if (ended)
            break;
        if (column > last)
            break;
    }

    double pos, size;
    if ((r = GetPos(&pos)))
        return r;
    if ((r = CallMethod(FUM_M_SIZE, &size)))
        return CalledFailed(r);
    double u = pos + 48;
    for (int record = 0; record <= last && pos < size; ++record) {
        double kind;
        r = Read(1, &kind);
        if (r && EndOfFileStatus(r)) {
            fum.error.value = 0;
            break;
        }
        if (r)
            return r;
        if (kind != 2)
            break;
        std::string title;
        double k;
        if ((r = Jump(23)) || (r = readName(title)) || (r = SetPos(static_cast<int64_t>(u))) || (r = Read(2, &k)))
            return r;
        worksheet.SetColumnLabel(static_cast<int>(k) + 1, title.c_str());
        u += 56;
        pos += 56;
        if (pos >= size || (r = SetPos(static_cast<int64_t>(pos))))
            break;
    }
    fum.error.value = 0;
    return 0;
}

// ---- SIGMADOS ---------------------------------------------------------------------------

int QmSigmaDos::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    ImportCursor cursor;
    QmQuorixWks worksheet(wksName_);
    SetSetting(FUM_S_BYTEORDER, 0);
    SetSetting(FUM_S_SKIP, 0);
    SetSetting(FUM_S_SIGNED, 0);
    int r;
    double v = 0, position = 0;
    // The text header ends at the first byte 26 that is not the file's first byte.
    do {
        if ((r = CallMethodInt(FUM_M_READ, &v, 1)))
            return r;
        if ((r = GetPos(&position)))
            return r;
    } while (!(v == 26 && position > 1));
    double p, size;
    if ((r = SetPos(static_cast<int64_t>(position) + 6)) || (r = Read(4, &p)) || (r = SetPos(static_cast<int64_t>(p))))
        return r;
    do {
        if ((r = Read(1, &v)) || (r = GetPos(&position)))
            return r;
    } while (v != 26);
    if ((r = CallMethod(FUM_M_SIZE, &size)))
        return CalledFailed(r);
    // Blocks follow one another: the first 129 bytes behind the second 26, each next one
    // g + 6 bytes behind the start of the one before.
    int64_t block = static_cast<int64_t>(position) - 1 + 129;
    double g;
    if ((r = SetPos(block)) || (r = Read(4, &g)))
        return r;
    char dataset[256];
    FumLongWork work("Importing a SigmaPlot worksheet");
    while (g != 0) {
        double l, m;
        if ((r = Read(4, &l)) || (r = Read(4, &v)))
            return r;
        // A block outside the file, or a column index no worksheet has, is a damaged
        // file: the walk would never end or would add columns without end.
        // Every column has a block of at least 20 bytes.
        if (l < 0 || l > 0xFFFF || (l + 1) * 20 > size || block + g + 6 >= size) {
            QmPrintText("fum.SIGMADOS: a column block names a column or a position the file cannot hold; it is damaged.");
            return fum.Fail(FUM_ERR_FORMAT, FUM_ERR_FORMAT, -1, -1, FUM_ERR_FORMAT);
        }
        if (work.Stopped(0))
            return work.Stop();
        int column = static_cast<int>(l) + 1;
        if ((r = FumEnsureColumns(worksheet, column)) || (r = Jump(6)) || (r = Read(2, &m)))
            return r;
        if (worksheet.GetDatasetName(dataset, sizeof dataset, column))
            return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        if (m > 0) {
            SetSetting(FUM_S_NBYTES, 8);
            if ((r = CallMethodText3(FUM_M_AREAD, &v, dataset, 1, static_cast<int>(m), 1)))
                return CalledFailed(r);
        }
        block += static_cast<int64_t>(g) + 6;
        if ((r = SetPos(block)) || (r = Read(4, &g)))
            return r;
    }
    return 0;
}

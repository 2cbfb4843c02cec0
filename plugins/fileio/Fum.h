// The script object fum: one root (FUM) holding the settings every method reads, the
// list of open files, and the method objects. Scripts address files by number (hFile);
// a call without one works on the current file (HFILE).
//
// Two reporting modes run through everything, chosen by NEWACTIONS: classic (0), in
// which a failing method answers 2 and ERROR holds the old numbering, and extended
// (nonzero), in which ERROR holds the code the method returns. Stored scripts test
// both numberings, so every failure goes through FUM::Fail with both numbers.
#pragma once

#include "QmFramework.h"

#include <afxcoll.h>

#include <stdint.h>
#include <string.h>

#include <memory>
#include <optional>

#include <string>
#include <vector>

class FUM;
struct FUM_File;
class FumByteReader;

// The library's one root; QMDLL forwards to it.
FUM& TheFum();
bool FumExtended();

// Codes of the extended numbering (and of ERROR in both modes where the same).
enum FumError {
    FUM_ERR_NO_TEXT = 5,           // a text argument is missing
    FUM_ERR_BOTH_ARGS = 9,         // SIZE: a number and a name
    FUM_ERR_BAD_ARG = 10,          // an argument missing or not in its form
    FUM_ERR_RANGE = 12,            // a value outside a checked property's range or set
    FUM_ERR_HFILE_RANGE = 13,      // a file number outside 0 to 99999
    FUM_ERR_NOT_OPEN = 14,         // no open file has that number
    FUM_ERR_NO_SUCH_FILE = 15,     // the file system knows no such name
    FUM_ERR_NOT_LETTER = 18,       // a string variable letter that is no letter
    FUM_ERR_BAD_RANGE = 19,        // an end row below the start row - 1
    FUM_ERR_HOST = 20,             // the host refused a request
    FUM_ERR_CREATE = 21,
    FUM_ERR_OPEN = 22,
    FUM_ERR_CLOSE = 23,
    FUM_ERR_TEMPLATE = 16,         // a record template field that is no field
    FUM_ERR_ZERO_COUNT = 17,       // a template count of 0
    FUM_ERR_REMOVE = 24,
    FUM_ERR_LENGTH = 25,
    FUM_ERR_GETPOS = 26,
    FUM_ERR_SEEK = 27,
    FUM_ERR_READ_ITEM = 28,        // a file exception while reading single values
    FUM_ERR_WRITE_ITEM = 29,       // ... while writing them
    FUM_ERR_READ = 30,
    FUM_ERR_WRITE = 31,
    FUM_ERR_DIGIT = 32,            // a decimal digit above 9
    FUM_ERR_END_OF_FILE = 33,      // the file ended inside an item
    FUM_ERR_CONVERSION = 34,       // a value that does not fit its item
    FUM_ERR_FEW_COLUMNS = 38,
    FUM_ERR_NO_WORKSHEET = 39,     // the worksheet of an import does not exist
    FUM_ERR_FORMAT = 41,           // a file not in the layout of its import      // WRITERECORD: fewer columns than a record has values
    FUM_ERR_TYPE = 43,             // no conversion for that class and size
    FUM_ERR_MEMORY = 44,
    FUM_ERR_STOPPED = 46,          // the user stopped the work; what was read is kept
    FUM_ERR_EMPTY_TEXT = 261,      // a text argument given without text
    FUM_ERR_NO_METHOD = 262,       // SYNTAX: no method of that name
    FUM_ERR_NO_NAME = 264,         // ALTSPELL: neither a method nor a property
    FUM_ERR_NO_ARG_TEXT = 260,     // SYNTAX, ALTSPELL: an argument without text
};

// Classic numbers.
enum FumClassicError {
    FUM_OLD_RANGE = 3,
    FUM_OLD_MEMORY = 5,
    FUM_OLD_HOST = 6,
    FUM_OLD_BAD_RANGE = 64,
    FUM_OLD_NO_TEXT = 65,
    FUM_OLD_NO_ARG = 1024,
    FUM_OLD_CALLED = 4,            // a method run by a worksheet-level method failed
    FUM_OLD_NO_TEXT_FILE = 1026,
    FUM_OLD_NO_CURRENT = 1028,
    FUM_OLD_END_OF_BLOCK = 1030,
    FUM_OLD_NOT_NUMBER = 1031,
    FUM_OLD_NO_DIGITS = 1088,
    FUM_OLD_OPEN = 1153,
    FUM_OLD_WRITE = 1155,
    FUM_OLD_FILE = 1156,
    FUM_OLD_READ = 1157,
    FUM_OLD_END_OF_FILE = 1158,
};

// The old errno-like number of a file exception's cause.
int FUM_CauseToErrno(int cause);

// ---- Checked properties ---------------------------------------------------------------

class QmErrorInt : public QmInt {
    DECLARE_DYNAMIC(QmErrorInt)
};

// An integer property that refuses values outside what Check allows; scripts' assignments
// are checked in extended mode only, so that classic scripts keep storing what they store.
class QmLimited : public QmInt {
    DECLARE_DYNAMIC(QmLimited)
public:
    using QmInt::SetValue;
    int SetValue(double v) override;
    virtual void Reset() {}
    virtual int Check(int v) = 0;

    int SetChecked(double v);
    int CheckCurrent() { return Check(value); }
    int SetInt(int v) { return SetValue(static_cast<double>(v)); }
};

class QmBounded : public QmLimited {
    DECLARE_DYNAMIC(QmBounded)
public:
    QmBounded(int low, int high, int initial);
    int Check(int v) override;
    void init() override;

    int low, high, initial;
};

class QmDiscrete : public QmLimited {
    DECLARE_DYNAMIC(QmDiscrete)
public:
    explicit QmDiscrete(std::vector<int> allowed);
    int Check(int v) override;
    void init() override;

    std::vector<int> allowed;
};

// The current file: a number scripts see and the open file it names.
class QmHFILE : public QmLimited {
    DECLARE_DYNAMIC(QmHFILE)
public:
    int Check(int v) override;
    void Reset() override;
    void init() override;
    void Attach(FUM_File* f);
    void Forget();
    FUM_File* File() const { return file; }

    FUM_File* file = nullptr;
};

// ---- Open files -----------------------------------------------------------------------

// An open file. Reads go through one buffer kept as long as the file is open, so that a
// reader called once per line costs no set-up, no refill and no seek back per call; the
// position is kept here (64-bit) and the system's file pointer is moved only to read a
// block or to write. Failures throw CFileException* as CFile's members do.
struct FUM_File : public CFile {
    static const int kHighestNumber = 99999;
    // The next file number, or -1 when the process has used them all.
    static int NextNumber();

    BYTE mode = 0;   // 0 read, 1 write, 2 both
    int number = 0;  // the number scripts hold
    int Handle() const { return number; }

    int64_t Position64() const { return pos_; }
    int64_t Seek64(int64_t offset, UINT from);
    // The length as the system has it now.
    int64_t Length64();
    // The same, but not asked again while reading goes on inside the buffer.
    int64_t ReadingLength64();
    // 1 and the byte at the position (which moves on), 0 at the end of the file, -1 with
    // the cause of a file exception.
    int NextByte(int* ch, int* cause)
    {
        size_t at = static_cast<size_t>(pos_ - bufStart_);
        if (pos_ >= bufStart_ && at < buf_.size()) {
            *ch = buf_[at];
            ++pos_;
            return 1;
        }
        return NextByteSlow(ch, cause);
    }
    // The byte at the position without moving on; -1 at the end of the file or on failure.
    int PeekByte();
    // The bytes buffered from the position on (none when the buffer is used up), for a
    // reader that takes a run of them at once and then moves on by Skip.
    const uint8_t* Buffered(size_t* count) const
    {
        size_t at = static_cast<size_t>(pos_ - bufStart_);
        *count = pos_ >= bufStart_ && at < buf_.size() ? buf_.size() - at : 0;
        return *count ? buf_.data() + at : nullptr;
    }
    void Skip(size_t count) { pos_ += static_cast<int64_t>(count); }
    // The file begins with a UTF-16 byte-order mark (either order).
    bool StartsWithUtf16Mark();

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    // The 32-bit members refuse positions they cannot carry instead of cutting them.
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD dwNewLen) override;
    void Close() override;
    void Abort() override;

private:
    void Forget();
    void MoveOs(int64_t position);
    bool Fill();
    int NextByteSlow(int* ch, int* cause);

    int64_t pos_ = 0;
    int64_t bufStart_ = 0;
    std::vector<uint8_t> buf_;
    int64_t osPos_ = -1;   // where the system's file pointer is; -1 unknown
    int64_t length_ = -1;  // -1 unknown
    int utf16_ = -1;       // StartsWithUtf16Mark's answer, -1 not yet asked
};

class FUM_FileList {
public:
    ~FUM_FileList();
    FUM_File* FindByHandle(int number) const;
    void Append(FUM_File* file) { list.AddTail(file); }
    void Remove(FUM_File* file);
    bool IsEmpty() const { return list.IsEmpty() != FALSE; }
    // Closes and deletes every file. Extended mode stops at the first failing close and
    // answers its code (the rest stay open); classic mode goes on. 0 when all closed.
    int CloseAll();
    std::vector<FUM_File*> Files() const;

private:
    CPtrList list{10};
    mutable FUM_File* last_ = nullptr; // the file found last
};

// ---- Binary conversion ----------------------------------------------------------------

enum FumClass { FUM_CLASS_INTEGER = 0, FUM_CLASS_FLOAT = 1, FUM_CLASS_DECIMAL = 2 };

typedef int (*FumCodec)(uint8_t* bytes, double* value);

struct FUM_TypeConverter {
    uint8_t isSigned = 0;
    uint8_t byteOrder = 0;
    void LoadSettings();
    void SetSigned(int flag) { isSigned = flag ? 1 : 0; }
    static void Reverse(uint8_t* bytes, int n);
};
extern FUM_TypeConverter g_fumConverter;

// The routine for (class, size, direction), or null with ERROR 43.
int FUM_SelectConversion(FumCodec* codec, int typeClass, int size, bool read);

// 80-bit extended values as the file holds them; the exponent is rebiased bit for bit.
void FUM_DoubleToExtended(const uint8_t in[8], uint8_t out[10]);
// MISSING_VALUE when the exponent does not fit a double.
double FUM_ExtendedToDouble(const uint8_t in[10]);

// ---- The method base ------------------------------------------------------------------

class QmFUMIO : public QmMethod {
    DECLARE_DYNAMIC(QmFUMIO)
public:
    QmString usage;

    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    virtual int HFileArgIndex() { return 255; }

    int ResolveFile(int number, int given);
    int GetStringArg(std::string& out, QmProperty* argument);
    int SetIntArg(int index, int value);
    int SetRealArg(int index, double value);
    int SetStringArg(int index, const char* text);

    // The argument's integer value when given (QmInt arguments only).
    int IntArg(int index) const;
    // A file position or offset: whole bytes beyond the 32-bit range, from a QmReal.
    int64_t Int64Arg(int index) const;
    bool Given(int index) const { return index < argCount && args[index] && args[index]->given; }

protected:
    void AddInt() { AddArgument(new QmInt); }
    void AddReal() { AddArgument(new QmReal); }
    void AddText() { AddArgument(new QmString); }
};

class QmHelpIO : public QmFUMIO {
    DECLARE_DYNAMIC(QmHelpIO)
protected:
    QmScript* FindMethod(const std::string& name);
    QmScript* FindProperty(const std::string& name);
    int PrintMethodNames(QmScript* object);
    int PrintPropertyNames(QmScript* object);
    int ListMethods();
    int ListProperties();
};

class QmGeneralIO : public QmFUMIO {
    DECLARE_DYNAMIC(QmGeneralIO)
};

class QmDOS : public QmGeneralIO {
    DECLARE_DYNAMIC(QmDOS)
public:
    int DontStripArg() override { return 1; }
};

class QmListSep : public QmFUMIO {
    DECLARE_DYNAMIC(QmListSep)
public:
    QmListSep();
    int Process(double* result, QmDLL* root) override;
};

class QmSyntax : public QmHelpIO {
    DECLARE_DYNAMIC(QmSyntax)
public:
    QmSyntax();
    int Process(double* result, QmDLL* root) override;
};

class QmAltSpell : public QmHelpIO {
    DECLARE_DYNAMIC(QmAltSpell)
public:
    QmAltSpell();
    int Process(double* result, QmDLL* root) override;
};

class QmListAll : public QmHelpIO {
    DECLARE_DYNAMIC(QmListAll)
public:
    QmListAll();
    int Process(double* result, QmDLL* root) override;
};

class QmOpen : public QmGeneralIO {
    DECLARE_DYNAMIC(QmOpen)
public:
    QmOpen();
    int DontStripArg() override { return 1; }
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* GetTable() override { return table; }
    void init_members() override;

    QmBounded mode{0, 2, 0};
    QmString fileName;
    QmString wksName;
    QmTableEntry table[6];
};

class QmClose : public QmGeneralIO {
    DECLARE_DYNAMIC(QmClose)
public:
    QmClose();
    int HFileArgIndex() override { return argCount - 1; }
    int Process(double* result, QmDLL* root) override;
};

class QmCloseAll : public QmGeneralIO {
    DECLARE_DYNAMIC(QmCloseAll)
public:
    QmCloseAll();
    int Process(double* result, QmDLL* root) override;
};

class QmExists : public QmDOS {
    DECLARE_DYNAMIC(QmExists)
public:
    QmExists();
    int Process(double* result, QmDLL* root) override;
};

class QmRemove : public QmDOS {
    DECLARE_DYNAMIC(QmRemove)
public:
    QmRemove();
    int Process(double* result, QmDLL* root) override;
};

class QmSize : public QmDOS {
    DECLARE_DYNAMIC(QmSize)
public:
    QmSize();
    int HFileArgIndex() override { return 0; }
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

private:
    std::string name_;
    FUM_File* file_ = nullptr;
};

// ---- Reading and writing methods -------------------------------------------------------

// Base of every method that reads or writes the file: the optional hFile comes last.
class QmScribe : public QmFUMIO {
    DECLARE_DYNAMIC(QmScribe)
public:
    int HFileArgIndex() override { return argCount - 1; }
};

// Value-by-value access to the current file.
class QmPiecewise : public QmScribe {
    DECLARE_DYNAMIC(QmPiecewise)
public:
    int endOfFileMark = 0;
    // A read that ends inside the n bytes is the end of the file (33), not a value made
    // of whatever the buffer held.
    int ReadBytes(FUM_File* file, uint8_t* buffer, int n);
    int WriteBytes(FUM_File* file, const uint8_t* buffer, int n);
    // The checks every single-value method makes before it starts.
    int CheckSettings();
};

class QmIntIO : public QmPiecewise {
    DECLARE_DYNAMIC(QmIntIO)
public:
    int Begin(const char* argText, QmDLL* root) override;
    int ReadValueBytes(FUM_File* file, uint8_t* buffer, int n);
    // The width from the nBytes argument at `index`, or NBYTES; 0 or the call's code.
    int Width(int index, int* width);
};

class QmRead : public QmIntIO {
    DECLARE_DYNAMIC(QmRead)
public:
    QmRead();
    int Process(double* result, QmDLL* root) override;
};

class QmWrite : public QmIntIO {
    DECLARE_DYNAMIC(QmWrite)
public:
    QmWrite();
    int Process(double* result, QmDLL* root) override;
};

// The floating-point reads and writes differ only by the item width.
class QmRealIO : public QmPiecewise {
    DECLARE_DYNAMIC(QmRealIO)
public:
    QmRealIO(int width, bool write);
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    int ReadValueBytes(FUM_File* file, uint8_t* buffer, int n);

private:
    int width_;
    bool write_;
};

class QmLDWrite : public QmPiecewise {
    DECLARE_DYNAMIC(QmLDWrite)
public:
    QmLDWrite();
    int Begin(const char* argText, QmDLL* root) override;
};

// ---- Block transfers -------------------------------------------------------------------

// Moves a block of `count` elements, `stride` bytes apart, with one file read or write
// and one buffer; when the buffer cannot be had the block is split in halves, each
// transferred on its own, down to a bounded depth. The subclasses convert between the
// buffer and the host's data.
class QmBulk : public QmScribe {
    DECLARE_DYNAMIC(QmBulk)
public:
    // 1 when the block could not be had even after splitting; other failures are in
    // lastStatus and ERROR. `moved` counts the elements converted.
    int Run(FUM_File* file, int stride, int count, int splitBudget, int direction);
    virtual int TrailingGap() { return 0; }
    virtual int DecodePiece(int first, int count, uint8_t* buffer) { return 0; }
    virtual int EncodePiece(int first, int count, uint8_t* buffer) { return 0; }

    uint8_t* buffer = nullptr;
    FUM_File* file = nullptr;
    int direction = 0;
    int stride = 0;
    int count = 0;
    int splitBudget = 0;
    int lastStatus = 0;
    int moved = 0;
    // Largest block buffer tried in one piece; tests lower it to make the engine split.
    static size_t s_bufferLimit;

protected:
    int TransferPiece(int n, int first);
    int ReadPiece(int n, int first);
    int WritePiece(int n, int first);
    // Bytes of a piece of n elements, never negative.
    int64_t PieceBytes(int n);
    // Elements whose bytes are complete in a read that gave `got` bytes.
    int CompleteElements(int64_t got, int n);
};

// Binary blocks of numbers: element kind from the shared binType, width NBYTES, SKIP
// bytes between elements.
class QmBinIO : public QmBulk {
    DECLARE_DYNAMIC(QmBinIO)
public:
    int TrailingGap() override;
    // The start of every binary block method: the method base, then BYTEORDER's check.
    int BeginBinary(const char* argText, QmDLL* root);
    // The codec of the current settings; 0 or the code (43).
    int SelectCodec(FumCodec* codec, bool read);
    // The settings checks of every block method, then binType from argument `index`.
    int BeginBlock(int binTypeIndex);
    int MissingArgument();
    // The value and status of a finished transfer: elements moved, the transfer's code.
    int Finish(double* result, int runResult);
};

class QmAIO : public QmBinIO {
    DECLARE_DYNAMIC(QmAIO)
public:
    QmAIO();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

    int firstRow = 0;
    int endRow = 0;

protected:
    virtual int Direction() = 0;
};

class QmARead : public QmAIO {
    DECLARE_DYNAMIC(QmARead)
public:
    int DecodePiece(int first, int count, uint8_t* buffer) override;

protected:
    int Direction() override { return 1; }
};

class QmAWrite : public QmAIO {
    DECLARE_DYNAMIC(QmAWrite)
public:
    int EncodePiece(int first, int count, uint8_t* buffer) override;

protected:
    int Direction() override { return 0; }
};

class QmReadRowBin : public QmBinIO {
    DECLARE_DYNAMIC(QmReadRowBin)
public:
    QmReadRowBin();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    int DecodePiece(int first, int count, uint8_t* buffer) override;

    int tokenCount = 0;
};

// Adds columns to a worksheet until it has n; 0 or the call's code (20 or 6).
int FumEnsureColumns(QmQuorixWks& worksheet, int n);
// The cells of one worksheet row that a text reader fills, one call (one line) at a time.
// The worksheet is found by name, the column count asked once, and the columns found for
// the free row are kept for the writes. When the host keeps a change stamp of its
// worksheets, what a call found (the worksheet, its columns, their formats, the free row)
// serves the next call for the same worksheet as long as the host answers the stamp the
// last call left: a line then costs the question, its writes and their reports only. The
// column objects stay from call to call: a line costs no allocation.
class FumRowCells {
public:
    // Finds the worksheet `name` (unless the last call's findings still hold) and answers
    // its first free row: the row below its longest column, 0 when its columns are empty.
    int Open(QmQuorixWks& worksheet, QmString& wksName, const char* name);
    // Reports the rows written to the host, as the column objects' destruction would;
    // what was found is kept for the next call unless a write failed. Nothing for a call
    // that did not open the cells.
    void Close(QmQuorixWks& worksheet, bool failed);
    // The worksheet gets at least n columns (FumEnsureColumns' answer).
    int Ensure(QmQuorixWks& worksheet, int n);
    // The worksheet's answer, as QmQuorixWks::SetCell gives it.
    int SetNumber(QmQuorixWks& worksheet, int column, int row, double value);
    // The text into the cell, as QmQuorixWks::SetCellText does it.
    int SetText(QmQuorixWks& worksheet, int column, int row, const char* text);
    // The column's format, as QmQuorixWks::GetColumnFormat answers it.
    int Format(QmQuorixWks& worksheet, int column);
    // The columns the worksheet has as far as this call knows.
    int Columns() const { return known_; }

private:
    void Release();
    std::vector<std::unique_ptr<QmResultData>> columns_;
    std::vector<int> formats_; // -1 not asked yet
    int attached_ = 0;
    int known_ = 0;
    // What the last call left: the host's stamp then (0: nothing kept), the name it was
    // found by, the free row after its writes.
    INT_PTR stamp_ = 0;
    std::string name_;
    int next_ = 0;
    int row_ = 0;
    bool opened_ = false;  // this call opened the cells
    bool trusted_ = false; // this call runs on the last call's findings
    bool wrote_ = false;   // this call wrote a cell
    bool grew_ = false;    // this call added columns
};

// ---- Records ---------------------------------------------------------------------------

// One field of a record template: `count` values of `width` bytes through `codec`, or a
// skip of `count` bytes (width 0, no codec).
struct FUM_TemplateItem {
    FumCodec codec = nullptr;
    int32_t count = 1;
    uint16_t width = 0;
    uint8_t signedMark = 0;

    // One field of a template in capitals; 0, 16 (bad field) or 17 (count 0).
    int Parse(const std::string& field, bool read);
};

// Records of a fixed layout between a file and the columns of a worksheet: every value of
// a record in its own column, every record in its own row.
class QmRecord : public QmBinIO {
    DECLARE_DYNAMIC(QmRecord)
public:
    QmRecord();
    int Begin(const char* argText, QmDLL* root) override;
    int TrailingGap() override;
    int Parse(const std::string& text, bool read);
    int RecordSize() const;
    int ValueColumns() const;

    std::vector<FUM_TemplateItem> items;

protected:
    virtual bool Reading() const = 0;
    // One dataset object per value column; 0 or the piece's code.
    template <class Data>
    int MakeColumns(QmQuorixWks& worksheet, std::vector<std::unique_ptr<Data>>& columns);
    QmString wksName_;
    int records_ = 0;
};

class QmReadRecord : public QmRecord {
    DECLARE_DYNAMIC(QmReadRecord)
public:
    int Process(double* result, QmDLL* root) override;
    int DecodePiece(int first, int count, uint8_t* buffer) override;

protected:
    bool Reading() const override { return true; }
};

class QmWriteRecord : public QmRecord {
    DECLARE_DYNAMIC(QmWriteRecord)
public:
    int Process(double* result, QmDLL* root) override;
    int EncodePiece(int first, int count, uint8_t* buffer) override;

protected:
    bool Reading() const override { return false; }
};

// ---- Text ------------------------------------------------------------------------------

// Set while a worksheet-level method drives other methods: their argument text is not
// split anew (the caller has put the arguments in place) and TWRITE takes no quoted form.
extern bool g_fumWorksheetLevel;

// The text readers read bytes; UTF-16 text would arrive as numbers split by NULs. 0 for
// any other file; for UTF-16 the refusal (ERROR 41), with a message naming the import
// that reads it.
int FumRefuseUtf16(FUM_File* file);

// Long work: asks, every so often, whether the user wants it stopped (Ctrl+C in the
// console host, which the host answers to HOST_POLL_ABORT, or Cancel in the progress box,
// which appears once the work has been polled for half a second).
class FumLongWork {
public:
    explicit FumLongWork(const char* title);
    ~FumLongWork();
    bool Stopped(int percent);
    // The call's answer when stopped: what was read stays, and the user is told so.
    static int Stop();

private:
    const char* title_;
    DWORD start_ = 0;
    bool polled_ = false;
    bool open_ = false;
};

// The number a text reader makes of a token: exactly what UtilTextToDouble gives, the
// common decimal forms read by the kernel's number reader.
double FumTextToNumber(const char* text, size_t length);

// The index 0..25 of a string variable letter (either case), or -1.
int FumLetterIndex(char letter);
// Sets %A..%Z; 0 or the call's code (20 or 6). Without a host nothing is set.
int FumSetStringVariable(char letter, const std::string& text);

// The characters of the token a text reader collects. Characters are appended one at a
// time, once per character of the file: appending is written out here, so that it costs
// no call into the C++ or C library.
class FumToken {
public:
    [[gnu::always_inline]] void push_back(char c)
    {
        if (size_ + 1 >= chars_.size())
            Grow();
        chars_[size_++] = c;
    }
    // Appends the leading run of characters of text[0..count) that `take` accepts, and
    // answers its length. Written for the runs of number characters the number readers
    // take straight from the read buffer: locals only in the copying loop, which the
    // compiler could not keep in registers through stores into the members' memory.
    template <class Take>
    size_t AppendRun(const uint8_t* text, size_t count, Take take)
    {
        size_t done = 0;
        for (;;) {
            size_t room = chars_.size() - 1 - size_;
            size_t chunk = count - done < room ? count - done : room;
            char* out = chars_.data() + size_;
            const uint8_t* in = text + done;
            size_t k = 0;
            while (k < chunk && take(in[k])) {
                out[k] = static_cast<char>(in[k]);
                ++k;
            }
            size_ += k;
            done += k;
            if (k < chunk || done == count)
                return done;
            Grow();
        }
    }
    void clear() { size_ = 0; }
    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    const char* data() const { return chars_.data(); }
    // The characters with a NUL behind them (there is always room for it).
    const char* c_str()
    {
        chars_[size_] = '\0';
        return chars_.data();
    }
    std::string str() const { return std::string(chars_.data(), size_); }
    bool operator==(const char* text) const { return strlen(text) == size_ && memcmp(text, data(), size_) == 0; }

private:
    void Grow() { chars_.resize(chars_.size() * 2); }

    std::vector<char> chars_ = std::vector<char>(64);
    size_t size_ = 0;
};

// One character loop for every text reader: it reads the file from its position and asks
// the reader, through the hooks, what each character does. Reading ends at the end of
// the data (the file's last byte) or where a reader's stop test says, and the file is
// left just behind the last character the loop took.
class QmASCIIPiece : public QmPiecewise {
    DECLARE_DYNAMIC(QmASCIIPiece)
public:
    virtual int IsBoundary(int ch);
    virtual int OnToken(FumToken& text, unsigned count) { return 0; }
    virtual int TakeChar(int ch) { return 1; }
    virtual int OnChar(int ch) { return 0; }
    virtual int IsStop(int ch, unsigned count) { return EndOfData(); }
    virtual int IsTokenEnd(int ch, int tokenLength) { return IsStop(ch, boundaries); }
    // A reader of number fields: TakeChar is IsNumberChar, IsTokenEnd the separator end,
    // IsBoundary and OnChar those of this base, and IsStop has no side effect and, inside
    // the data, answers for a separator, CR or LF only by the count of boundaries and
    // whether the character is a line end. The loop then handles separators and line ends
    // itself (see Loop).
    static constexpr bool kNumberFields = false;
    // A reader of one line at a time (WholeNumberLine) reads a line of nothing but numbers
    // through the kernel's splitter; the loop takes every other line.
    static constexpr bool kWholeLines = false;
    // The loop's shortcuts (runs of number characters, separators and line ends of the
    // number readers); tests turn them off to compare with what the hooks alone make of
    // the same text.
    static bool s_shortcuts;

    int BeginText(const char* argText, QmDLL* root);
    virtual int ReadText(FUM_File* file);
    // Reads the current file through the loop; the value is the count of tokens read.
    int Process(double* result, QmDLL* root) override;

    // The character tests read the settings ReadText took when it began.
    int IsLineEnd(int ch)
    {
        switch (lineMode_) {
        case 0: return ch == '\n' && previousChar == '\r';
        case 1: return ch == '\n';
        case 2: return ch == '\r';
        }
        return BadLineMode();
    }
    int IsSeparator(int ch) { return ch == sep_; }
    // A `+` is not a number character.
    int IsNumberChar(int ch) { return ch != sep_ && IsNumberLetter(ch); }
    static int IsNumberLetter(int ch)
    {
        return (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'E' || ch == 'e';
    }
    int EndOfData() { return endOfFileMark || bytesRead >= length; }
    int SeparatorEnd(int ch, int tokenLength);

    // Readers that split the text into fields (numbers or row cells) answer true: for
    // them every line break ends a field, whatever the line mode, a blank or tab
    // separator runs together, and an empty field between separators is a field.
    virtual bool SplitsFields() { return false; }
    // The reader takes number characters into its tokens and nothing else, and no hook of
    // its own reacts to a number character inside the data: ReadText then takes a run of
    // them without asking the hooks, which would all answer as for any number character.
    virtual bool TakesNumbersOnly() { return false; }
    // A blank or a tab is the separator: aligned columns, in which runs of blanks and
    // tabs count as one separator.
    bool WhitespaceSeparator() { return whitespaceSep_; }
    int IsFieldSeparator(int ch) { return ch == sep_ || (whitespaceSep_ && (ch == ' ' || ch == '\t')); }
    // A line break as a field boundary: the LF of CR LF (its CR in mode 2), a lone CR, a
    // lone LF. Where the line mode sees no line end (a Unix file in mode 0) it still ends
    // the number before it instead of joining it to the next.
    int IsBreak(int ch);
    int MissingArgument();
    int CheckLetter(int index, char* letter);
    // A count of 0 (lines, tokens, characters): refused in extended mode; in classic
    // mode the call fails with the value 0 and ERROR 0.
    static int ZeroCount(double* result);

    uint32_t length = 0;    // bytes from the position to the end of the file
    uint32_t bytesRead = 0;
    int charsTaken = 0;
    uint32_t boundaries = 0;
    int previousChar = 0;
    FumToken token;

protected:
    // Set by SeparatorEnd: the token it ended is an empty field (two separators in a row),
    // not the nothing before a line end or the end of the data.
    bool emptyField_ = false;

protected:
    template <class Reader>
    int Loop(Reader& self, FUM_File* file);
    int Separator() const { return sep_; }
    int LineMode() const { return lineMode_; }

private:
    int BadLineMode();
    // Taken from the root and the reader when ReadText begins, read for every character.
    void TakeSettings();

    FumByteReader* reader_ = nullptr; // while ReadText runs
    int tokenLength_ = 0;
    int sep_ = ',';
    int lineMode_ = 0;
    bool whitespaceSep_ = false;
    bool splits_ = false;
    bool numbersOnly_ = false;
};

class QmASCII final : public QmASCIIPiece {
    DECLARE_DYNAMIC(QmASCII)
public:
    int ReadText(FUM_File* file) override;
    QmASCII();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    void End(QmDLL* root) override;
    QmTableEntry* GetTable() override { return table; }
    void init_members() override;

    int TakeChar(int ch) override;
    int IsTokenEnd(int ch, int tokenLength) override { return SeparatorEnd(ch, tokenLength); }
    int OnToken(FumToken& text, unsigned count) override;
    int IsStop(int ch, unsigned count) override;
    bool SplitsFields() override { return toWks_; }
    // A string variable receives every character, and a stop character may be a digit.
    bool TakesNumbersOnly() override { return toWks_ && !letter_ && !(stopMode.value & 1); }

    QmString include, exclude;
    QmBounded readMode{0, 1, 0};
    QmString stopChar, stopString;
    QmInt nTokens, nLines, stopMode;
    QmTableEntry table[11];

private:
    char letter_ = 0;
    QmString wksName_;
    bool toWks_ = false; // this call writes into the worksheet
    // Found by the cells' Open, the object kept.
    QmQuorixWks wks_{wksName_};
    FumRowCells cells_;
    int column_ = 0, row_ = 0;
    bool failed_ = false; // a write of this call failed
    uint32_t lines_ = 0;
    uint32_t lineCountedAt_ = 0;
    std::string varText_;
    int stopHit_ = 0;
};

// LINEROW and READROW: the tokens of the text into the next free row of a worksheet.
class QmASCIIRow : public QmASCIIPiece {
    DECLARE_DYNAMIC(QmASCIIRow)
public:
    int BeginRow(const char* argText, QmDLL* root);
    void End(QmDLL* root) override;
    int IsTokenEnd(int ch, int tokenLength) override { return SeparatorEnd(ch, tokenLength); }
    int OnToken(FumToken& text, unsigned count) override;
    bool SplitsFields() override { return true; }

protected:
    QmString wksName_;
    // Found by the cells' Open, the object kept.
    QmQuorixWks wks_{wksName_};
    FumRowCells cells_;
    int column_ = 0, row_ = 0;
    bool failed_ = false; // a write of this call failed
    std::vector<double> values_;
};

class QmLineRow final : public QmASCIIRow {
    DECLARE_DYNAMIC(QmLineRow)
public:
    int ReadText(FUM_File* file) override;
    static constexpr bool kNumberFields = true;
    static constexpr bool kWholeLines = true;
    // The line at the reader when the loop would read it as a line of numbers into numeric
    // columns already there: read, written and answered as the loop does. -1 for any other
    // line, nothing read: the loop reads it.
    int WholeNumberLine(FumByteReader& reader);
    QmLineRow();
    int Begin(const char* argText, QmDLL* root) override { return BeginRow(argText, root); }
    int TakeChar(int ch) override { return IsNumberChar(ch); }
    bool TakesNumbersOnly() override { return true; }
    int IsStop(int ch, unsigned count) override { return EndOfData() || IsLineEnd(ch); }
};

class QmReadRow final : public QmASCIIRow {
    DECLARE_DYNAMIC(QmReadRow)
public:
    int ReadText(FUM_File* file) override;
    QmReadRow();
    int Begin(const char* argText, QmDLL* root) override;
    int TakeChar(int ch) override;
    int IsStop(int ch, unsigned count) override { return EndOfData() || count >= limit_; }

private:
    uint32_t limit_ = 0;
};

// TREAD, LREAD and READTOKEN: text into a string variable.
class QmASCIILT : public QmASCIIPiece {
    DECLARE_DYNAMIC(QmASCIILT)
public:
    int OnToken(FumToken& text, unsigned count) override;

protected:
    char letter_ = 0;
};

class QmTRead : public QmASCIILT {
    DECLARE_DYNAMIC(QmTRead)
public:
    QmTRead();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    int TakeChar(int ch) override;
    int IsTokenEnd(int ch, int tokenLength) override;
    int IsStop(int ch, unsigned count) override { return EndOfData() || lines_ >= nLine_; }

protected:
    QmTRead(const char* usageText, bool lineCount);
    uint32_t nLine_ = 0, lines_ = 0;
};

class QmLRead : public QmTRead {
    DECLARE_DYNAMIC(QmLRead)
public:
    QmLRead();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    int TakeChar(int ch) override;
};

class QmReadToken : public QmASCIILT {
    DECLARE_DYNAMIC(QmReadToken)
public:
    QmReadToken();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    int TakeChar(int ch) override;
    int IsStop(int ch, unsigned count) override { return EndOfData() || boundaries >= limit_; }

private:
    uint32_t limit_ = 0;
};

class QmReadArray final : public QmASCIIPiece {
    DECLARE_DYNAMIC(QmReadArray)
public:
    int ReadText(FUM_File* file) override;
    static constexpr bool kNumberFields = true;
    QmReadArray();
    int Begin(const char* argText, QmDLL* root) override;
    void End(QmDLL* root) override;
    int TakeChar(int ch) override { return IsNumberChar(ch); }
    int IsTokenEnd(int ch, int tokenLength) override { return SeparatorEnd(ch, tokenLength); }
    int OnToken(FumToken& text, unsigned count) override;
    bool SplitsFields() override { return true; }
    bool TakesNumbersOnly() override { return true; }
    int IsStop(int ch, unsigned count) override
    {
        return EndOfData() || count >= static_cast<uint32_t>(last_ - first_);
    }

private:
    std::unique_ptr<QmResultData> dataset_;
    int first_ = 0, last_ = 0;
};

// Text moved as one block: CREAD, TWRITE, LWRITE.
class QmASCIIBulk : public QmBulk {
    DECLARE_DYNAMIC(QmASCIIBulk)
public:
    int DecodePiece(int first, int count, uint8_t* buffer) override;
    int EncodePiece(int first, int count, uint8_t* buffer) override;

protected:
    std::string text_;
};

class QmCRead : public QmASCIIBulk {
    DECLARE_DYNAMIC(QmCRead)
public:
    QmCRead();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

private:
    char letter_ = 0;
    uint32_t nChar_ = 0;
};

class QmTWrite : public QmASCIIBulk {
    DECLARE_DYNAMIC(QmTWrite)
public:
    QmTWrite();
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

protected:
    int BeginQuoted(const char* argText);
};

class QmLWrite : public QmTWrite {
    DECLARE_DYNAMIC(QmLWrite)
public:
    QmLWrite();
    int Process(double* result, QmDLL* root) override;
};

// ---- Worksheet-level methods and imports ----------------------------------------------

// Reads a file a byte at a time from its position, up to the end the file had when the
// reader was made; the file's position moves with every byte handed out.
class FumByteReader {
public:
    explicit FumByteReader(FUM_File* file);
    // 1 and the byte, 0 at the end of the file, -1 with the cause of a file exception.
    int Next(int* ch, int* cause)
    {
        if (consumed_ >= length_)
            return 0;
        int got = file_->NextByte(ch, cause);
        if (got == 1)
            ++consumed_;
        return got;
    }
    // The byte Next would hand out, or -1 at the end.
    int Peek();
    // The bytes Next would hand out that are already buffered, and moving past them.
    const uint8_t* Buffered(size_t* count) const
    {
        const uint8_t* p = file_->Buffered(count);
        if (*count > length_ - consumed_)
            *count = length_ - consumed_;
        return p;
    }
    void Skip(size_t count)
    {
        file_->Skip(count);
        consumed_ += static_cast<uint32_t>(count);
    }
    uint32_t Consumed() const { return consumed_; }
    // Bytes from the position to the end of the file (at most 4 GB are read in one call).
    uint32_t Remaining() const { return length_; }

private:
    FUM_File* file_;
    uint32_t length_ = 0;
    uint32_t consumed_ = 0;
};

// Methods of fum by the numbers under which worksheet-level methods call them.
enum FumMethodNumber {
    FUM_M_SIZE = 5, FUM_M_GETPOS = 6, FUM_M_SETPOS = 7, FUM_M_JUMP = 10, FUM_M_READ = 13,
    FUM_M_AREAD = 21, FUM_M_READTOKEN = 33, FUM_M_COUNT = 45,
};
// The root's settings by the numbers under which they are saved and restored.
enum FumSettingNumber {
    FUM_S_NEWACTIONS, FUM_S_ERROR, FUM_S_SYSERR, FUM_S_HFILE, FUM_S_NBYTES, FUM_S_BYTEORDER,
    FUM_S_SIGNED, FUM_S_SKIP, FUM_S_NLINESMODE, FUM_S_LISTSEP, FUM_S_COUNT,
};

// Base of the methods that work on a whole worksheet: the root's settings are saved when
// one begins and restored when it ends, so it may change them freely, and it runs other
// methods by number as a script would.
class QmHighLev : public QmFUMIO {
    DECLARE_DYNAMIC(QmHighLev)
public:
    int Begin(const char* argText, QmDLL* root) override;
    void End(QmDLL* root) override;

    double GetSetting(int n);
    int SetSetting(int n, double value);
    int CallMethod(int m, double* result);
    int CallMethodInt(int m, double* result, int i);
    // SETPOS and JUMP with a position or offset of the whole 64-bit range.
    int CallMethodPosition(int m, double* result, int64_t position);
    int CallMethodText(int m, double* result, const char* text, int i);
    int CallMethodText3(int m, double* result, const char* text, int i, int j, int k);
    // A called method failed with `status`: the import's code (extended: status + 0x200;
    // classic: ERROR 4 and 4).
    int CalledFailed(int status);

protected:
    // Checks the call's own arguments (every one of these methods names its worksheet
    // first); runs before the settings are saved.
    virtual int BeginChecks();
    int Invoke(int m, double* result);
    void Prepare(int m);

    double saved_[FUM_S_COUNT] = {};
    bool running_ = false;
    QmString wksName_;
};

class QmWksBlock : public QmHighLev {
    DECLARE_DYNAMIC(QmWksBlock)
public:
    QmWksBlock();
    int Process(double* result, QmDLL* root) override;
};

// The imports: (wksname$[,hFile]).
class QmImportIO : public QmHighLev {
    DECLARE_DYNAMIC(QmImportIO)
public:
    QmImportIO();
    int HFileArgIndex() override { return argCount - 1; }

protected:
    // A READ of n bytes into *value; 0 or the import's code.
    int Read(int n, double* value);
    int SetPos(int64_t position);
    int Jump(int64_t offset);
    int GetPos(double* position);
};

class QmWav : public QmImportIO {
    DECLARE_DYNAMIC(QmWav)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmMathematica : public QmImportIO {
    DECLARE_DYNAMIC(QmMathematica)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmSigmaWin : public QmImportIO {
    DECLARE_DYNAMIC(QmSigmaWin)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmSigmaDos : public QmImportIO {
    DECLARE_DYNAMIC(QmSigmaDos)
public:
    int Process(double* result, QmDLL* root) override;
};

// ---- File position ---------------------------------------------------------------------

enum FumMove { FUM_GETPOS, FUM_SETPOS, FUM_REWIND, FUM_TOEND, FUM_JUMP, FUM_JUMPCHUNK };

class QmTracking : public QmGeneralIO {
    DECLARE_DYNAMIC(QmTracking)
public:
    explicit QmTracking(FumMove move);
    int HFileArgIndex() override { return argCount - 1; }
    int Process(double* result, QmDLL* root) override;

    static int GetPosition(FUM_File* file, int64_t* position);
    static int Seek(FUM_File* file, int64_t* offset, int base);

private:
    FumMove move_;
};

class QmSwitchMode : public QmGeneralIO {
    DECLARE_DYNAMIC(QmSwitchMode)
public:
    QmSwitchMode();
    int HFileArgIndex() override { return argCount - 1; }
    int Process(double* result, QmDLL* root) override;
};

// ---- The root -------------------------------------------------------------------------

class FUM : public QmDLL {
    DECLARE_DYNAMIC(FUM)
public:
    FUM();
    ~FUM() override;

    QmTableEntry* fumProperties;
    QmTableEntry* fumMethods;

    QmReset reset;
    QmErrorInt error;
    QmErrorInt sysErr;
    FUM_FileList files;
    QmInt newActions;
    QmHFILE hFile;
    QmDiscrete nBytes{{1, 2, 3, 4, 8, 10}};
    QmBounded byteOrder{0, 2, 0};
    QmBounded isSigned{0, 1, 0};
    QmInt skip;
    QmBounded nLinesMode{0, 2, 0};
    QmBounded listSep{0, 255, 44};

    QmListSep mListSep;
    QmOpen mOpen;
    QmClose mClose;
    QmCloseAll mCloseAll;
    QmExists mExists;
    QmRemove mRemove;
    QmSize mSize;
    QmTracking mGetPos{FUM_GETPOS};
    QmTracking mSetPos{FUM_SETPOS};
    QmTracking mRewind{FUM_REWIND};
    QmTracking mToEnd{FUM_TOEND};
    QmTracking mJump{FUM_JUMP};
    QmTracking mJumpChunk{FUM_JUMPCHUNK};
    QmSwitchMode mSwitchMode;
    QmRead mRead;
    QmWrite mWrite;
    QmRealIO mFRead{4, false};
    QmRealIO mFWrite{4, true};
    QmRealIO mDRead{8, false};
    QmRealIO mDWrite{8, true};
    QmRealIO mLDRead{10, false};
    QmLDWrite mLDWrite;
    QmARead mARead;
    QmAWrite mAWrite;
    QmReadRowBin mReadRowBin;
    QmReadRecord mReadRecord;
    QmWriteRecord mWriteRecord;
    QmReadRow mReadRow;
    QmLineRow mLineRow;
    QmTRead mTRead;
    QmLRead mLRead;
    QmReadToken mReadToken;
    QmReadArray mReadArray;
    QmASCII mASCII;
    QmCRead mCRead;
    QmTWrite mTWrite;
    QmLWrite mLWrite;
    QmSigmaWin mSigmaWin;
    QmSigmaDos mSigmaDos;
    QmWav mWav;
    QmWksBlock mWksBlock;
    QmMathematica mMathematica;
    // The methods by the numbers of FumMethodNumber.
    QmFUMIO* byNumber[FUM_M_COUNT] = {};
    // The settings by the numbers of FumSettingNumber.
    QmInt* Setting(int n);
    QmSyntax mSyntax;
    QmAltSpell mAltSpell;
    QmListAll mListAll;
    // The last valid width of READ and WRITE, kept across calls.
    QmDiscrete intWidths{{1, 2, 3, 4}};
    // The last valid element kind of the block methods, kept across calls.
    QmDiscrete binType{{0, 1, 2}};

    bool Extended() const { return newActions.value != 0; }
    // Records a failure in the reporting mode in force and gives the method's code:
    // extended ERROR := ext (SYSERR := extSys when >= 0), answer ext; classic ERROR := old
    // (SYSERR := oldSys when >= 0), answer oldCode.
    int Fail(int ext, int old, int extSys = -1, int oldSys = -1, int oldCode = 2);

    int Property(const char* name, int flags, void* value) override;
    void ListAll() override;
    int Command(const char* methodName, const char* argText, double* result) override;
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override;
    void ResetAll() override;
    void SetDefaults();

private:
    std::vector<QmTableEntry> propertyTable_;
    std::vector<QmTableEntry> methodTable_;
};

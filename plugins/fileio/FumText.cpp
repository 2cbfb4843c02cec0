// Text readers and writers. The readers share one character loop (ReadText); what each
// makes of a character is in its hooks. The separator is the one character LISTSEP holds;
// a line end is what NLINESMODE selects (CR LF, LF or CR); double quotes mean nothing.
#include "Fum.h"

#include "QKAsciiImport.h"
#include "qxutil.h"

#include <string.h>

#include <algorithm>
#include <optional>

IMPLEMENT_DYNAMIC(QmASCIIPiece, QmPiecewise)
IMPLEMENT_DYNAMIC(QmASCII, QmASCIIPiece)
IMPLEMENT_DYNAMIC(QmASCIIRow, QmASCIIPiece)
IMPLEMENT_DYNAMIC(QmLineRow, QmASCIIRow)
IMPLEMENT_DYNAMIC(QmReadRow, QmASCIIRow)
IMPLEMENT_DYNAMIC(QmASCIILT, QmASCIIPiece)
IMPLEMENT_DYNAMIC(QmTRead, QmASCIILT)
IMPLEMENT_DYNAMIC(QmLRead, QmTRead)
IMPLEMENT_DYNAMIC(QmReadToken, QmASCIILT)
IMPLEMENT_DYNAMIC(QmReadArray, QmASCIIPiece)
IMPLEMENT_DYNAMIC(QmASCIIBulk, QmBulk)
IMPLEMENT_DYNAMIC(QmCRead, QmASCIIBulk)
IMPLEMENT_DYNAMIC(QmTWrite, QmASCIIBulk)
IMPLEMENT_DYNAMIC(QmLWrite, QmTWrite)

enum { CR = '\r', LF = '\n' };

int FumLetterIndex(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A';
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a';
    return -1;
}

int FumSetStringVariable(char letter, const std::string& text)
{
    FUM& fum = TheFum();
    if (FumLetterIndex(letter) < 0)
        return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    if (!QmHostBound())
        return 0;
    return QmSetStringVariable(letter, text.c_str()) ? 0 : fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
}

int FumRefuseUtf16(FUM_File* file)
{
    bool utf16 = false;
    try {
        utf16 = file->StartsWithUtf16Mark();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return TheFum().Fail(FUM_ERR_READ_ITEM, FUM_OLD_NO_CURRENT, cause, FUM_CauseToErrno(cause));
    }
    if (!utf16)
        return 0;
    QmPrintText("fum: this file is UTF-16 text, which the fum text readers cannot read; "
                "import it with File Import ASCII, which reads UTF-16.");
    return TheFum().Fail(FUM_ERR_FORMAT, FUM_OLD_NO_TEXT_FILE);
}

double FumTextToNumber(const char* text, size_t length)
{
    // The kernel's number reader, the ASCII import's, reads the forms a token takes; a
    // text it refuses (a missing value's "--", a number beyond the doubles, no digits) is
    // the general conversion's to read. A '+' it reads where the general one does not.
    bool plus = false;
    for (size_t i = 0; i < length; ++i)
        plus |= text[i] == '+';
    double value;
    if (!plus && qkfxParseNumber(text, text + length, '.', &value))
        return value;
    return UtilTextToDouble(std::string(text, length).c_str());
}

static double TextToNumber(const FumToken& text)
{
    return FumTextToNumber(text.data(), text.size());
}

// ---- The character loop -----------------------------------------------------------------

int QmASCIIPiece::BadLineMode()
{
    TheFum().error.value = FUM_ERR_TYPE;
    return FUM_ERR_TYPE;
}

void QmASCIIPiece::TakeSettings()
{
    FUM& fum = TheFum();
    sep_ = fum.listSep.value & 0xFF;
    lineMode_ = fum.nLinesMode.value;
    whitespaceSep_ = sep_ == ' ' || sep_ == '\t';
    splits_ = SplitsFields();
    numbersOnly_ = TakesNumbersOnly();
}

int QmASCIIPiece::IsBreak(int ch)
{
    bool crIsTheEnd = lineMode_ == 2;
    if (ch == LF)
        return !(crIsTheEnd && previousChar == CR);
    if (ch == CR)
        return crIsTheEnd || !reader_ || reader_->Peek() != LF;
    return 0;
}

int QmASCIIPiece::IsBoundary(int ch)
{
    if (!splits_)
        return EndOfData() || IsSeparator(ch) || IsLineEnd(ch);
    int lineEnd = IsLineEnd(ch);
    if (EndOfData() || lineEnd || IsBreak(ch))
        return 1;
    // A run of blanks (or a blank before the first field) separates once.
    return IsFieldSeparator(ch) && !(WhitespaceSeparator() && tokenLength_ == 0);
}

int QmASCIIPiece::SeparatorEnd(int ch, int tokenLength)
{
    emptyField_ = false;
    if (!splits_) {
        if (IsStop(ch, boundaries))
            return 1;
        return (IsSeparator(ch) || IsLineEnd(ch)) && tokenLength > 0;
    }
    emptyField_ = tokenLength == 0 && IsSeparator(ch) && !WhitespaceSeparator();
    if (IsStop(ch, boundaries))
        return 1;
    if (emptyField_)
        return 1;
    return (IsFieldSeparator(ch) || IsLineEnd(ch) || IsBreak(ch)) && tokenLength > 0;
}

int QmASCIIPiece::ZeroCount(double* result)
{
    FUM& fum = TheFum();
    if (fum.Extended())
        return fum.Fail(FUM_ERR_RANGE, 0);
    *result = 0;
    fum.error.value = 0;
    return 2;
}

int QmASCIIPiece::MissingArgument()
{
    return TheFum().Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_ARG);
}

int QmASCIIPiece::CheckLetter(int index, char* letter)
{
    if (Given(index)) {
        const char* text = args[index]->GetStr();
        *letter = text ? text[0] : 0;
    }
    if (FumLetterIndex(*letter) < 0)
        return TheFum().Fail(FUM_ERR_NOT_LETTER, FUM_OLD_NO_TEXT);
    return 0;
}

int QmASCIIPiece::BeginText(const char* argText, QmDLL* root)
{
    int r = QmFUMIO::Begin(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    r = fum.nLinesMode.CheckCurrent();
    if (r)
        return r;
    r = fum.listSep.CheckCurrent();
    if (r)
        return r;
    boundaries = 0;
    charsTaken = 0;
    bytesRead = 0;
    endOfFileMark = 0;
    length = 0;
    token.clear();
    return 0;
}

int QmASCIIPiece::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    int r = ReadText(TheFum().hFile.File());
    if (r)
        return r;
    *result = boundaries;
    return 0;
}

bool QmASCIIPiece::s_shortcuts = true;

int QmASCIIPiece::ReadText(FUM_File* file)
{
    return Loop(*this, file);
}

// The hooks are called on the reader's own class: for the final classes of the readers
// called once per line they are bound at compile time and inlined into the loop.
template <class Reader>
int QmASCIIPiece::Loop(Reader& self, FUM_File* file)
{
    FUM& fum = TheFum();
    std::optional<FumByteReader> reader;
    try {
        // The end of the data is the file's last byte, wherever reading starts: no
        // character is made up beyond it.
        reader.emplace(file);
    } catch (CFileException* e) {
        e->Delete();
        return fum.Fail(FUM_ERR_LENGTH, FUM_OLD_NO_CURRENT);
    }
    length = reader->Remaining();
    TakeSettings();
    // NUL as the separator reads the strings of a binary file, whatever its first bytes.
    if (sep_ != 0)
        if (int r = FumRefuseUtf16(file))
            return r;
    if (fum.Extended() && EndOfData())
        return fum.Fail(FUM_ERR_END_OF_FILE, 0);
    if (self.IsStop(0, boundaries))
        return 0;
    reader_ = &*reader;
    struct Detach {
        FumByteReader*& reader;
        ~Detach() { reader = nullptr; }
    } detach{reader_};
    // The file is left just behind the last character the loop took.
    int& tokenLength = tokenLength_;
    tokenLength = 0;
    int ch = 0;
    // Line modes 0 and 1 with a separator that is neither blank, line end nor number
    // character: the cases the separator and line-end shortcut below stands for.
    bool fastBreaks = s_shortcuts && (lineMode_ == 0 || lineMode_ == 1) && !whitespaceSep_ && sep_ != CR &&
                      sep_ != LF && sep_ != 0 && !IsNumberLetter(sep_);
    if constexpr (Reader::kWholeLines)
        if (fastBreaks && numbersOnly_)
            if (int r = self.WholeNumberLine(*reader); r >= 0)
                return r;
    FumLongWork work("Reading text");
    for (;;) {
        if ((bytesRead & 0xFFFF) == 0xFFFF && work.Stopped(length ? static_cast<int>(100.0 * bytesRead / length) : 0))
            return work.Stop();
        previousChar = ch;
        ch = 0;
        int cause = 0;
        int got = reader->Next(&ch, &cause);
        if (got < 0) {
            fum.sysErr.value = fum.Extended() ? cause : FUM_CauseToErrno(cause);
            fum.error.value = FUM_ERR_READ_ITEM;
            return FUM_ERR_READ_ITEM;
        }
        if (got == 0) {
            ch = 0;
            endOfFileMark = 1;
        }
        ++bytesRead;
        // Inside the data a number character is taken, is no boundary, ends no token and
        // stops nothing, for the readers that take numbers only.
        if (numbersOnly_ && s_shortcuts && bytesRead < length && got == 1 && IsNumberChar(ch)) {
            token.push_back(static_cast<char>(ch));
            ++charsTaken;
            ++tokenLength;
            // The rest of the run as it lies in the buffer, short of the data's last byte
            // (which ends the data and goes the long way).
            size_t buffered = 0;
            const uint8_t* run = reader->Buffered(&buffered);
            size_t limit = std::min<size_t>(buffered, length - bytesRead - 1);
            int sep = sep_;
            size_t n = token.AppendRun(run, limit, [sep](uint8_t c) { return c != sep && IsNumberLetter(c); });
            if (n) {
                charsTaken += static_cast<int>(n);
                tokenLength += static_cast<int>(n);
                bytesRead += static_cast<uint32_t>(n);
                ch = run[n - 1];
                reader->Skip(n);
            }
            continue;
        }
        // The separator and the line end of readers of number fields, inside the data:
        // what the hooks below would make of them, without asking each.
        if (Reader::kNumberFields && fastBreaks && got == 1 && bytesRead < length) {
            if (ch == sep_) {
                // A boundary that ends the token in any case (an empty one is an empty field).
                ++boundaries;
                emptyField_ = tokenLength == 0;
                if (int r = self.OnToken(token, boundaries))
                    return r;
                token.clear();
                tokenLength = 0;
                if (self.IsStop(ch, boundaries))
                    return 0;
                continue;
            }
            if (ch == CR) {
                // The CR of a CR LF pair is nothing in modes 0 and 1: no boundary, no end.
                size_t buffered = 0;
                const uint8_t* next = reader->Buffered(&buffered);
                if (buffered && next[0] == LF)
                    continue;
            } else if (ch == LF && (lineMode_ == 1 || previousChar == CR)) {
                // A line end: a boundary, and the end of the token when there is one or
                // when reading stops here.
                ++boundaries;
                emptyField_ = false;
                bool stop = self.IsStop(ch, boundaries);
                if (stop || tokenLength > 0) {
                    if (int r = self.OnToken(token, boundaries))
                        return r;
                    token.clear();
                    tokenLength = 0;
                }
                if (stop)
                    return 0;
                continue;
            }
        }
        if (self.TakeChar(ch)) {
            token.push_back(static_cast<char>(ch));
            ++charsTaken;
            ++tokenLength;
        }
        if (self.IsBoundary(ch))
            ++boundaries;
        int r = self.OnChar(ch);
        if (r)
            return r;
        if (self.IsTokenEnd(ch, tokenLength)) {
            r = self.OnToken(token, boundaries);
            if (r)
                return r;
            token.clear();
            tokenLength = 0;
        }
        if (self.IsStop(ch, boundaries))
            return 0;
    }
}

int QmASCII::ReadText(FUM_File* file)
{
    return Loop(*this, file);
}

int QmLineRow::ReadText(FUM_File* file)
{
    return Loop(*this, file);
}

int QmReadRow::ReadText(FUM_File* file)
{
    return Loop(*this, file);
}

int QmReadArray::ReadText(FUM_File* file)
{
    return Loop(*this, file);
}

// ---- READASCII --------------------------------------------------------------------------

QmASCII::QmASCII()
{
    usage.SetText("([strVarLetter][,wksname$][,hFile])\r\nNote: Heavily influenced by subproperties.");
    AddText();
    AddText();
    AddInt();
    table[0] = {&include, "INCLUDE"};
    table[1] = {&exclude, "EXCLUDE"};
    table[2] = {&readMode, "READMODE"};
    table[3] = {&stopChar, "STOPCHAR"};
    table[4] = {&stopString, "STOPSTRING"};
    table[5] = {&nTokens, "NTOKENS"};
    table[6] = {&nTokens, "TOKENS"};
    table[7] = {&nLines, "NLINES"};
    table[8] = {&nLines, "LINES"};
    table[9] = {&stopMode, "STOPMODE"};
    table[10] = {nullptr, nullptr};
    for (int i = 9; i >= 0; --i)
        table[i].object->SetName(table[i].name);
}

void QmASCII::init_members()
{
    include.SetText("");
    exclude.SetText("");
    readMode.value = 0;
    stopChar.SetText("");
    stopString.SetText("");
    nTokens.value = 1;
    nLines.value = 1;
    stopMode.value = 0;
}

int QmASCII::Begin(const char* argText, QmDLL* root)
{
    toWks_ = false;
    int r = BeginText(argText, root);
    if (r)
        return r;
    const char* letterText = Given(0) ? args[0]->GetStr() : nullptr;
    letter_ = letterText ? letterText[0] : 0;
    column_ = 0;
    row_ = 0;
    failed_ = false;
    if (Given(1) && args[1]->GetStr()) {
        toWks_ = true;
        row_ = cells_.Open(wks_, wksName_, args[1]->GetStr());
    }
    if (nTokens.value < 0 || nLines.value < 0) {
        TheFum().error.value = FUM_ERR_RANGE;
        return FUM_ERR_RANGE;
    }
    stopHit_ = 0;
    lines_ = 0;
    lineCountedAt_ = 0;
    varText_.clear();
    return 0;
}

int QmASCII::TakeChar(int ch)
{
    bool passes;
    if (readMode.value == 0)
        passes = ch != 0 && (!exclude.text || !strchr(exclude.text, ch));
    else if (readMode.value == 1)
        passes = ch != 0 && include.text && strchr(include.text, ch);
    else
        passes = ch != 0;
    if (letter_ && passes)
        varText_ += static_cast<char>(ch);
    if (!toWks_)
        return letter_ ? passes : ch != 0;
    return IsNumberChar(ch);
}

int QmASCII::OnToken(FumToken& text, unsigned)
{
    if ((stopMode.value & 2) && stopString.text && text == stopString.text)
        stopHit_ = 1;
    if (!toWks_ || (text.empty() && !emptyField_))
        return 0;
    // An empty field (or one without a number character) keeps its column, missing.
    ++column_;
    int r = cells_.Ensure(wks_, column_);
    if (r) {
        failed_ = true;
        return r;
    }
    if (cells_.SetNumber(wks_, column_, row_, text.empty() ? MISSING_VALUE : TextToNumber(text))) {
        failed_ = true;
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    }
    return 0;
}

int QmASCII::IsStop(int ch, unsigned count)
{
    if (EndOfData())
        return 1;
    int mode = stopMode.value;
    if ((mode & 1) && ch && stopChar.text && strchr(stopChar.text, ch))
        return 1;
    if ((mode & 4) && count >= static_cast<uint32_t>(nTokens.value))
        return 1;
    if (mode & 8) {
        // One count per line end, however often the test is asked about one character.
        if (lineCountedAt_ != bytesRead && IsLineEnd(ch)) {
            lineCountedAt_ = bytesRead;
            ++lines_;
        }
        uint32_t wanted = nLines.value > 0 ? static_cast<uint32_t>(nLines.value) : 1;
        return lines_ >= wanted;
    }
    return stopHit_;
}

int QmASCII::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    int r = ReadText(TheFum().hFile.File());
    if (r)
        return r;
    if (letter_) {
        r = FumSetStringVariable(letter_, varText_);
        if (r)
            return r;
    }
    *result = charsTaken;
    return 0;
}

void QmASCII::End(QmDLL* root)
{
    cells_.Close(wks_, failed_);
    toWks_ = false;
    QmPiecewise::End(root);
}

// ---- LINEROW and READROW ----------------------------------------------------------------

int QmASCIIRow::BeginRow(const char* argText, QmDLL* root)
{
    int r = BeginText(argText, root);
    if (r)
        return r;
    if (!Given(0) || !args[0]->GetStr())
        return MissingArgument();
    column_ = 0;
    failed_ = false;
    row_ = cells_.Open(wks_, wksName_, args[0]->GetStr());
    return 0;
}

void QmASCIIRow::End(QmDLL* root)
{
    cells_.Close(wks_, failed_);
    QmPiecewise::End(root);
}

int QmASCIIRow::OnToken(FumToken& text, unsigned)
{
    // The data's end hands on whatever token is pending; an empty one is no field, and
    // writing it would add a row of nothing. An empty field between two separators keeps
    // its column, missing, so that the fields after it stay in theirs.
    if (text.empty() && !emptyField_)
        return 0;
    ++column_;
    int r = cells_.Ensure(wks_, column_);
    if (r) {
        failed_ = true;
        return r;
    }
    int failed = text.empty()                          ? cells_.SetNumber(wks_, column_, row_, MISSING_VALUE)
                 : cells_.Format(wks_, column_) != 0 ? cells_.SetText(wks_, column_, row_, text.c_str())
                                                       : cells_.SetNumber(wks_, column_, row_, TextToNumber(text));
    if (failed)
        failed_ = true;
    return failed ? TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST) : 0;
}

QmLineRow::QmLineRow()
{
    usage.SetText("(wksname$[,hFile])\r\nNote: Affected by .ListSep and .nLineMode!");
    AddText();
    AddInt();
}

int QmLineRow::WholeNumberLine(FumByteReader& reader)
{
    // The line with its end must lie in the buffer, short of the data's last byte, which
    // the loop takes its own way. Its end is the one of the line mode (CR LF in mode 0, LF
    // or CR LF in mode 1): the splitter ends a line at any CR or LF, so a line it ends
    // elsewhere (a lone CR, which ends a number there) goes the loop's way.
    size_t buffered = 0;
    const char* begin = reinterpret_cast<const char*>(reader.Buffered(&buffered));
    size_t limit = std::min<size_t>(buffered, length - bytesRead - 1);
    CQKTextSplitter splitter(begin, begin + limit, static_cast<char>(Separator()));
    if (splitter.NextNumberLine(values_) != 1)
        return -1;
    const char* after = splitter.GetPosition();
    size_t n = static_cast<size_t>(after - begin);
    if (n < 2 || after[-1] != LF || (LineMode() == 0 && after[-2] != CR))
        return -1;
    // Numbers only go to numeric columns there already; a text column takes the token's
    // text and a new column comes with the loop.
    int last = column_ + static_cast<int>(values_.size());
    if (!wks_.handle || last > cells_.Columns())
        return -1;
    for (int c = column_ + 1; c <= last; ++c)
        if (cells_.Format(wks_, c) != 0)
            return -1;
    reader.Skip(n);
    bytesRead = static_cast<uint32_t>(n);
    previousChar = after[-2];
    boundaries = static_cast<uint32_t>(values_.size());
    for (double v : values_) {
        ++column_;
        if (cells_.SetNumber(wks_, column_, row_, v)) {
            failed_ = true;
            return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
        }
    }
    return 0;
}

QmReadRow::QmReadRow()
{
    usage.SetText("(wksname$,nToken[,hFile])\r\nNote: Affected by .ListSep!");
    AddText();
    AddInt();
    AddInt();
}

int QmReadRow::Begin(const char* argText, QmDLL* root)
{
    int r = BeginRow(argText, root);
    if (r)
        return r;
    if (Given(1))
        limit_ = static_cast<uint32_t>(IntArg(1));
    return 0;
}

int QmReadRow::TakeChar(int ch)
{
    return !endOfFileMark && ch != CR && ch != LF && !IsFieldSeparator(ch);
}

// ---- TREAD, LREAD, READTOKEN ------------------------------------------------------------

int QmASCIILT::OnToken(FumToken& text, unsigned)
{
    return FumSetStringVariable(letter_, text.str());
}

QmTRead::QmTRead() : QmTRead("(strVarLetter,nLine[,hFile])\r\nNote: Affected by .nLineMode and .ListSep!", true)
{
}

QmTRead::QmTRead(const char* usageText, bool lineCount)
{
    usage.SetText(usageText);
    AddText();
    if (lineCount)
        AddInt();
    AddInt();
}

int QmTRead::Begin(const char* argText, QmDLL* root)
{
    int r = BeginText(argText, root);
    if (r)
        return r;
    r = CheckLetter(0, &letter_);
    if (r)
        return r;
    if (!Given(1))
        return MissingArgument();
    nLine_ = static_cast<uint32_t>(IntArg(1));
    lines_ = 0;
    return 0;
}

int QmTRead::TakeChar(int ch)
{
    switch (TheFum().nLinesMode.value) {
    case 0: return !((ch == CR || ch == LF) && nLine_ == lines_ + 1);
    case 1: return ch != LF;
    case 2: return ch != CR;
    default:
        TheFum().error.value = FUM_ERR_TYPE;
        return FUM_ERR_TYPE;
    }
}

int QmTRead::IsTokenEnd(int ch, int)
{
    if (IsLineEnd(ch))
        ++lines_;
    return IsStop(ch, boundaries);
}

int QmTRead::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (nLine_ == 0)
        return ZeroCount(result);
    int r = ReadText(fum.hFile.File());
    if (r)
        return r;
    // The count is that of the characters the variable received; the line end of the
    // last line is never among them, so nothing is to be taken off.
    *result = charsTaken;
    return 0;
}

QmLRead::QmLRead() : QmTRead("(strVarLetter[,hFile])\r\nNote: Affected by .nLineMode and .ListSep!", false)
{
}

int QmLRead::Begin(const char* argText, QmDLL* root)
{
    int r = BeginText(argText, root);
    if (r)
        return r;
    r = CheckLetter(0, &letter_);
    if (r)
        return r;
    nLine_ = 1;
    lines_ = 0;
    return 0;
}

int QmLRead::TakeChar(int ch)
{
    switch (TheFum().nLinesMode.value) {
    case 0: return ch != 0 && ch != LF && ch != CR;
    case 1: return ch != 0 && ch != LF;
    case 2: return ch != CR;
    default:
        TheFum().error.value = FUM_ERR_TYPE;
        return FUM_ERR_TYPE;
    }
}

int QmLRead::Process(double* result, QmDLL* root)
{
    int r = QmASCIIPiece::Process(result, root);
    if (!r)
        *result = charsTaken;
    return r;
}

QmReadToken::QmReadToken()
{
    usage.SetText("(strVarLetter,nToken[,hFile])\r\nNote: Affected by .nLineMode and .ListSep!");
    AddText();
    AddInt();
    AddInt();
}

int QmReadToken::Begin(const char* argText, QmDLL* root)
{
    int r = BeginText(argText, root);
    if (r)
        return r;
    r = CheckLetter(0, &letter_);
    if (r)
        return r;
    if (!Given(1))
        return MissingArgument();
    limit_ = static_cast<uint32_t>(IntArg(1));
    return 0;
}

int QmReadToken::TakeChar(int ch)
{
    return TheFum().Extended() || (ch != CR && ch != LF);
}

int QmReadToken::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (limit_ == 0)
        return ZeroCount(result);
    int r = ReadText(fum.hFile.File());
    if (r)
        return r;
    *result = charsTaken;
    return 0;
}

// ---- READARRAY --------------------------------------------------------------------------

QmReadArray::QmReadArray()
{
    usage.SetText("(dataset$,start,end[,hFile])\r\nNote: Affected by .ListSep!");
    AddText();
    AddInt();
    AddInt();
    AddInt();
}

int QmReadArray::Begin(const char* argText, QmDLL* root)
{
    dataset_.reset();
    int r = BeginText(argText, root);
    if (r)
        return r;
    if (!Given(0) || !args[0]->GetStr() || !Given(1) || !Given(2))
        return MissingArgument();
    dataset_.reset(new QmResultData(args[0]->GetStr(), 0));
    first_ = IntArg(1) - 1;
    last_ = IntArg(2);
    if (last_ < first_ || first_ < 0)
        return TheFum().Fail(FUM_ERR_BAD_RANGE, FUM_OLD_BAD_RANGE);
    if (!dataset_->handle)
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    return 0;
}

int QmReadArray::OnToken(FumToken& text, unsigned count)
{
    if (count == 0 || text.empty())
        return 0;
    if (dataset_->SetAt(first_ + static_cast<int>(count) - 1, TextToNumber(text)))
        return TheFum().Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    return 0;
}

void QmReadArray::End(QmDLL* root)
{
    dataset_.reset();
    QmPiecewise::End(root);
}

// ---- Text blocks ------------------------------------------------------------------------

int QmASCIIBulk::DecodePiece(int first, int n, uint8_t* block)
{
    if (text_.size() < static_cast<size_t>(first + n))
        text_.resize(first + n);
    memcpy(&text_[first], block, n);
    return 0;
}

int QmASCIIBulk::EncodePiece(int first, int n, uint8_t* block)
{
    memcpy(block, text_.data() + first, n);
    return 0;
}

QmCRead::QmCRead()
{
    usage.SetText("(strVarLetter,nChar[,hFile])");
    AddText();
    AddInt();
    AddInt();
}

int QmCRead::Begin(const char* argText, QmDLL* root)
{
    text_.clear();
    int r = QmFUMIO::Begin(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    if (!Given(0) || !args[0]->GetStr() || !Given(1))
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_ARG);
    letter_ = args[0]->GetStr()[0];
    nChar_ = static_cast<uint32_t>(IntArg(1));
    if (FumLetterIndex(letter_) < 0)
        return fum.Fail(FUM_ERR_NOT_LETTER, FUM_OLD_NO_TEXT);
    // A string variable holds one result text at most.
    if (nChar_ >= QM_STRING_RESULT_SIZE)
        return fum.Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
    return 0;
}

int QmCRead::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (nChar_ == 0)
        return QmASCIIPiece::ZeroCount(result);
    int r = Run(fum.hFile.File(), 1, static_cast<int>(nChar_), 256, 1);
    if (r)
        return 1;
    // Text that ends before nChar is what there is: the variable gets the characters
    // read, no filler, and the value says how many. Nothing read at all is the end.
    if (lastStatus && !(lastStatus == FUM_ERR_END_OF_FILE && moved > 0))
        return fum.Extended() ? lastStatus : 2;
    fum.error.value = 0;
    text_.resize(moved);
    r = FumSetStringVariable(letter_, text_);
    if (r)
        return r;
    *result = moved;
    return 0;
}

QmTWrite::QmTWrite()
{
    usage.SetText("(\"string\"[,hFile])");
    AddText();
    AddInt();
}

int QmTWrite::BeginQuoted(const char* argText)
{
    FUM& fum = TheFum();
    QmClearErrors();
    const char* open = strchr(argText, '"');
    const char* close = strchr(open + 1, '"');
    if (!close)
        return fum.Fail(0, FUM_OLD_NO_TEXT);
    std::string quoted(open + 1, close);
    const char* comma = strchr(close + 1, ',');
    int number = 0;
    if (comma) {
        const char* digit = comma + 1;
        while (*digit && !(*digit >= '0' && *digit <= '9'))
            ++digit;
        if (!*digit) {
            fum.error.value = FUM_OLD_NO_DIGITS;
            return FUM_OLD_NO_DIGITS;
        }
        while (*digit >= '0' && *digit <= '9')
            number = number * 10 + (*digit++ - '0');
    }
    text_ = quoted;
    fum.error.value = 0;
    int r = ResolveFile(number, comma != nullptr);
    if (r)
        return r;
    fum.sysErr.value = 0;
    return 0;
}

int QmTWrite::Begin(const char* argText, QmDLL* root)
{
    text_.clear();
    FUM& fum = TheFum();
    if (!fum.Extended() && !g_fumWorksheetLevel && argText && strchr(argText, '"'))
        return BeginQuoted(argText);
    int r = QmFUMIO::Begin(argText, root);
    if (r)
        return r;
    const char* first = Given(0) ? args[0]->GetStr() : nullptr;
    if (!first)
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_ARG);
    std::vector<char> buffer(QM_STRING_RESULT_SIZE, '\0');
    if (FumLetterIndex(first[0]) < 0 || !QmGetStringVariable(first[0], buffer.data()))
        return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    text_ = buffer.data();
    return 0;
}

int QmTWrite::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    int r = Run(TheFum().hFile.File(), 1, static_cast<int>(text_.size()), 256, 0);
    if (r)
        return 1;
    if (lastStatus)
        return TheFum().Extended() ? lastStatus : 2;
    *result = moved;
    return 0;
}

QmLWrite::QmLWrite()
{
    usage.SetText("(\"string\"[,hFile])\r\nNote: affected by .nLineMode!");
}

int QmLWrite::Process(double* result, QmDLL* root)
{
    FUM& fum = TheFum();
    int r = fum.nLinesMode.CheckCurrent();
    if (r)
        return r;
    static const char* ends[3] = {"\r\n", "\n", "\r"};
    int mode = fum.nLinesMode.value;
    if (mode < 0 || mode > 2) {
        fum.error.value = FUM_ERR_TYPE;
        return FUM_ERR_TYPE;
    }
    text_ += ends[mode];
    return QmTWrite::Process(result, root);
}

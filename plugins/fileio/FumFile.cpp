// An open file of fum: the number scripts hold for it, and one read buffer kept for the
// life of the file, through which every read, write and seek goes.
#include "Fum.h"

#include <limits.h>
#include <string.h>

#include <algorithm>

namespace {

// File numbers are handed out once per process: a script that keeps the number of a file
// it closed must never reach a file opened later. They stay within 1 .. 99999, the range
// HFILE and scripts hold.
int g_lastNumber = 0;

const size_t kBlock = 64 * 1024;

} // namespace

int FUM_File::NextNumber()
{
    if (g_lastNumber >= kHighestNumber)
        return -1;
    return ++g_lastNumber;
}

BOOL FUM_File::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Forget();
    pos_ = 0;
    osPos_ = 0;
    return CFile::Open(lpszFileName, nOpenFlags, pError);
}

void FUM_File::Forget()
{
    utf16_ = -1;
    bufStart_ = 0;
    buf_.clear();
    length_ = -1;
    osPos_ = -1;
}

void FUM_File::MoveOs(int64_t position)
{
    if (osPos_ == position)
        return;
    LARGE_INTEGER to, now;
    to.QuadPart = position;
    if (!::SetFilePointerEx(m_hFile, to, &now, FILE_BEGIN)) {
        osPos_ = -1;
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    }
    osPos_ = now.QuadPart;
}

int64_t FUM_File::Length64()
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    length_ = size.QuadPart;
    return length_;
}

int64_t FUM_File::ReadingLength64()
{
    // While the position lies inside the buffer with bytes left in it, the file has not
    // been read to its end since the length was taken: the length taken then stands.
    if (length_ >= 0 && pos_ >= bufStart_ && pos_ < bufStart_ + static_cast<int64_t>(buf_.size()))
        return length_;
    return Length64();
}

int64_t FUM_File::Seek64(int64_t offset, UINT from)
{
    int64_t base = from == CFile::begin ? 0 : from == CFile::current ? pos_ : Length64();
    int64_t to = base + offset;
    if (to < 0)
        CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK, m_strFileName);
    pos_ = to;
    return pos_;
}

bool FUM_File::Fill()
{
    if (pos_ >= bufStart_ && pos_ < bufStart_ + static_cast<int64_t>(buf_.size()))
        return true;
    buf_.clear();
    bufStart_ = pos_;
    // A file opened for writing only refuses reads, also at its end.
    if (mode == 1)
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, m_strFileName);
    if (pos_ >= Length64())
        return false;
    MoveOs(pos_);
    buf_.resize(kBlock);
    DWORD got = 0;
    if (!::ReadFile(m_hFile, buf_.data(), static_cast<DWORD>(kBlock), &got, nullptr)) {
        buf_.clear();
        osPos_ = -1;
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    }
    buf_.resize(got);
    osPos_ = pos_ + got;
    return got > 0;
}

int FUM_File::NextByteSlow(int* ch, int* cause)
{
    try {
        if (!Fill())
            return 0;
    } catch (CFileException* e) {
        *cause = e->m_cause;
        e->Delete();
        return -1;
    }
    *ch = buf_[static_cast<size_t>(pos_ - bufStart_)];
    ++pos_;
    return 1;
}

bool FUM_File::StartsWithUtf16Mark()
{
    if (utf16_ < 0) {
        uint8_t mark[2] = {};
        DWORD got = 0;
        MoveOs(0);
        if (!::ReadFile(m_hFile, mark, 2, &got, nullptr)) {
            osPos_ = -1;
            CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
        }
        osPos_ = got;
        utf16_ = got == 2 && ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF));
    }
    return utf16_ == 1;
}

int FUM_File::PeekByte()
{
    int ch = 0, cause = 0;
    if (NextByte(&ch, &cause) != 1)
        return -1;
    --pos_;
    return ch;
}

UINT FUM_File::Read(void* lpBuf, UINT nCount)
{
    uint8_t* out = static_cast<uint8_t*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        if (!Fill())
            break;
        size_t at = static_cast<size_t>(pos_ - bufStart_);
        size_t n = std::min<size_t>(buf_.size() - at, nCount - done);
        memcpy(out + done, buf_.data() + at, n);
        done += static_cast<UINT>(n);
        pos_ += static_cast<int64_t>(n);
    }
    return done;
}

void FUM_File::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    buf_.clear();
    length_ = -1;
    MoveOs(pos_);
    osPos_ = -1;
    CFile::Write(lpBuf, nCount);
    pos_ += nCount;
    osPos_ = pos_;
    // The same file open under another number must not go on reading what it buffered
    // before this write.
    for (FUM_File* other : TheFum().files.Files())
        if (other != this && other->m_strFileName.CompareNoCase(m_strFileName) == 0)
            other->Forget();
}

LONG FUM_File::Seek(LONG lOff, UINT nFrom)
{
    int64_t to = Seek64(lOff, nFrom);
    if (to > LONG_MAX)
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    return static_cast<LONG>(to);
}

DWORD FUM_File::GetPosition() const
{
    if (pos_ > static_cast<int64_t>(0xFFFFFFFFu))
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    return static_cast<DWORD>(pos_);
}

DWORD FUM_File::GetLength() const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    if (size.QuadPart > static_cast<LONGLONG>(0xFFFFFFFFu))
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    return static_cast<DWORD>(size.QuadPart);
}

void FUM_File::SetLength(DWORD dwNewLen)
{
    Forget();
    MoveOs(dwNewLen);
    if (!::SetEndOfFile(m_hFile))
        CFileException::ThrowOsError((LONG)::GetLastError(), m_strFileName);
    pos_ = dwNewLen;
}

void FUM_File::Close()
{
    Forget();
    CFile::Close();
}

void FUM_File::Abort()
{
    Forget();
    CFile::Abort();
}

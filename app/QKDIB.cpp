#include "QKDIB.h"

#include <afxdlgs.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header layout");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "information header layout");
static_assert(sizeof(BITMAPCOREHEADER) == 12, "core header layout");
static_assert(CQKDIB::HEADER_BLOCK_SIZE == 1064, "header block layout");
static_assert(CQKDIB::WRITTEN_DATA_OFFSET == 1078, "written data offset");

IMPLEMENT_SERIAL(CQKDIB, CObject, 0)

namespace {

const WORD kSignature = 0x4D42; // "BM"
const char kFilter[] = "Image files (*.DIB, *.BMP)|*.DIB;*.BMP|All files (*.*)|*.*||";

// A picture larger than this is not a bitmap this program would draw; the limit keeps a
// forged header from asking for gigabytes.
const ULONGLONG kMaxBitsSize = 256u * 1024 * 1024;

ULONGLONG RowBytes(LONG width, WORD bitCount)
{
    return ((ULONGLONG)width * bitCount + 31) / 32 * 4;
}

ULONGLONG AbsHeight(const BITMAPINFOHEADER& h)
{
    return h.biHeight < 0 ? (ULONGLONG)(-(LONGLONG)h.biHeight) : (ULONGLONG)h.biHeight;
}

bool IsCompressed(const BITMAPINFOHEADER& h)
{
    return h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
}

} // namespace

CQKDIB::CQKDIB() = default;

CQKDIB::~CQKDIB()
{
    Free();
}

int CQKDIB::NumColors(const BITMAPINFOHEADER& header)
{
    int implied = 0;
    switch (header.biBitCount) {
    case 1: implied = 2; break;
    case 4: implied = 16; break;
    case 8: implied = 256; break;
    default: implied = 0; break;
    }
    if (header.biClrUsed != 0 && header.biClrUsed < (DWORD)implied)
        return (int)header.biClrUsed;
    return implied;
}

int CQKDIB::NumColors()
{
    return m_pInfo ? NumColors(m_pInfo->bmiHeader) : 0;
}

DWORD CQKDIB::NeededBitsSize(const BITMAPINFOHEADER& h)
{
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return 0;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return 0;
    }
    ULONGLONG size = 0;
    switch (h.biCompression) {
    case BI_RGB:
        size = RowBytes(h.biWidth, h.biBitCount) * AbsHeight(h);
        break;
    case BI_BITFIELDS:
        if (h.biBitCount != 16 && h.biBitCount != 32)
            return 0;
        size = RowBytes(h.biWidth, h.biBitCount) * AbsHeight(h);
        break;
    case BI_RLE8:
    case BI_RLE4:
        // Run-length rows have no fixed size: the header's image size is the data.
        if (h.biBitCount != (h.biCompression == BI_RLE8 ? 8 : 4) || h.biHeight < 0)
            return 0;
        size = h.biSizeImage;
        break;
    default:
        return 0;
    }
    if (size == 0 || size > kMaxBitsSize)
        return 0;
    return (DWORD)size;
}

BOOL CQKDIB::ParseFile(const BYTE* data, size_t size, BITMAPINFO* info, size_t* bitsOffset,
                       DWORD* bitsSize)
{
    BITMAPFILEHEADER fileHeader;
    if (size < sizeof fileHeader)
        return FALSE;
    std::memcpy(&fileHeader, data, sizeof fileHeader);
    if (fileHeader.bfType != kSignature)
        return FALSE;

    size_t pos = sizeof fileHeader;
    BITMAPINFOHEADER& h = info->bmiHeader;
    std::memset(info, 0, HEADER_BLOCK_SIZE);
    DWORD headerSize = 0;
    if (size - pos < sizeof headerSize)
        return FALSE;
    std::memcpy(&headerSize, data + pos, sizeof headerSize);
    bool core = headerSize == sizeof(BITMAPCOREHEADER);
    if (core) {
        if (size - pos < sizeof(BITMAPCOREHEADER))
            return FALSE;
        BITMAPCOREHEADER c;
        std::memcpy(&c, data + pos, sizeof c);
        h.biSize = sizeof(BITMAPINFOHEADER);
        h.biWidth = c.bcWidth;
        h.biHeight = c.bcHeight;
        h.biPlanes = c.bcPlanes;
        h.biBitCount = c.bcBitCount;
        pos += sizeof c;
    } else if (headerSize == sizeof(BITMAPINFOHEADER)) {
        if (size - pos < sizeof h)
            return FALSE;
        std::memcpy(&h, data + pos, sizeof h);
        pos += sizeof h;
    } else {
        return FALSE;
    }

    DWORD needed = NeededBitsSize(h);
    if (needed == 0)
        return FALSE;

    int colours = NumColors(h);
    if (core) {
        if ((size - pos) / 3 < (size_t)colours)
            return FALSE;
        for (int i = 0; i < colours; ++i, pos += 3) {
            info->bmiColors[i].rgbBlue = data[pos];
            info->bmiColors[i].rgbGreen = data[pos + 1];
            info->bmiColors[i].rgbRed = data[pos + 2];
        }
    } else {
        // Bit-field masks stand where a colour table would, where GDI expects them.
        size_t entries = h.biCompression == BI_BITFIELDS ? 3 : (size_t)colours;
        if ((size - pos) / sizeof(RGBQUAD) < entries)
            return FALSE;
        std::memcpy(info->bmiColors, data + pos, entries * sizeof(RGBQUAD));
        pos += entries * sizeof(RGBQUAD);
    }

    // The pixels start at the data offset: never inside the headers, and the whole block
    // the header needs must be there (a truncated file is refused, not read past).
    size_t offset = fileHeader.bfOffBits;
    if (offset < pos || offset > size || size - offset < needed)
        return FALSE;
    *bitsOffset = offset;
    *bitsSize = needed;
    return TRUE;
}

void CQKDIB::Free()
{
    if (m_hHeader) {
        ::GlobalUnlock(m_hHeader);
        ::GlobalFree(m_hHeader);
    }
    if (m_bOwnsBits)
        delete[] m_pBits;
    m_hHeader = nullptr;
    m_pInfo = nullptr;
    m_pBits = nullptr;
    m_nBitsSize = 0;
    m_bOwnsBits = FALSE;
}

// Replaces the contents only once the new ones are complete, so a failure keeps the old.
BOOL CQKDIB::Take(const BITMAPINFO* info, BYTE* bits, DWORD bitsSize, BOOL owns)
{
    HGLOBAL block = ::GlobalAlloc(GHND, HEADER_BLOCK_SIZE);
    if (!block)
        return FALSE;
    Free();
    m_hHeader = block;
    m_pInfo = (BITMAPINFO*)::GlobalLock(block);
    std::memcpy(m_pInfo, info, HEADER_BLOCK_SIZE);
    m_pBits = bits;
    m_nBitsSize = bitsSize;
    m_bOwnsBits = owns;
    return TRUE;
}

BOOL CQKDIB::Create(int width, int height)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    std::vector<BYTE> block(HEADER_BLOCK_SIZE);
    BITMAPINFO* info = (BITMAPINFO*)block.data();
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    DWORD size = NeededBitsSize(h);
    if (size == 0)
        return FALSE;
    h.biSizeImage = size;
    h.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
        info->bmiColors[i] = RGBQUAD{(BYTE)i, (BYTE)i, (BYTE)i, 0};
    BYTE* bits = new (std::nothrow) BYTE[size]();
    if (!bits)
        return FALSE;
    if (!Take(info, bits, size, TRUE)) {
        delete[] bits;
        return FALSE;
    }
    return TRUE;
}

BOOL CQKDIB::Attach(const BITMAPINFO* info, BYTE* bits)
{
    if (!info || !bits)
        return FALSE;
    DWORD size = NeededBitsSize(info->bmiHeader);
    if (size == 0)
        return FALSE;
    std::vector<BYTE> block(HEADER_BLOCK_SIZE);
    std::memcpy(block.data(), &info->bmiHeader, sizeof(BITMAPINFOHEADER));
    size_t entries = info->bmiHeader.biCompression == BI_BITFIELDS
                         ? 3 : (size_t)NumColors(info->bmiHeader);
    std::memcpy(block.data() + sizeof(BITMAPINFOHEADER), info->bmiColors, entries * sizeof(RGBQUAD));
    return Take((BITMAPINFO*)block.data(), bits, size, FALSE);
}

BOOL CQKDIB::LoadResource(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(id), "DIB");
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCE(id), "DIB");
    if (!found)
        return FALSE;
    DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    BYTE* data = loaded ? (BYTE*)::LockResource(loaded) : nullptr;
    if (!data)
        return FALSE;
    std::vector<BYTE> block(HEADER_BLOCK_SIZE);
    size_t offset = 0;
    DWORD bitsSize = 0;
    if (!ParseFile(data, size, (BITMAPINFO*)block.data(), &offset, &bitsSize))
        return FALSE;
    // Palette mapping rewrites the pixels in place; the image's pages become private
    // copies on the first write.
    DWORD old = 0;
    if (!::VirtualProtect(data + offset, bitsSize, PAGE_WRITECOPY, &old)
        && !::VirtualProtect(data + offset, bitsSize, PAGE_READWRITE, &old))
        return FALSE;
    return Take((BITMAPINFO*)block.data(), data + offset, bitsSize, FALSE);
}

BOOL CQKDIB::Read(CFile* file)
{
    ULONGLONG start = file->GetPosition();
    ULONGLONG length = file->GetLength();
    if (length < start)
        return FALSE;
    BYTE signature[sizeof(BITMAPFILEHEADER)];
    if (file->Read(signature, sizeof signature) != sizeof signature
        || (signature[0] | signature[1] << 8) != kSignature)
        return FALSE;
    ULONGLONG available = length - start;
    if (available > kMaxBitsSize + 64 * 1024)
        available = kMaxBitsSize + 64 * 1024;
    std::vector<BYTE> data;
    try {
        data.resize((size_t)available);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    std::memcpy(data.data(), signature, sizeof signature);
    size_t rest = data.size() - sizeof signature;
    if (file->Read(data.data() + sizeof signature, (UINT)rest) != rest)
        return FALSE;

    std::vector<BYTE> block(HEADER_BLOCK_SIZE);
    size_t offset = 0;
    DWORD bitsSize = 0;
    if (!ParseFile(data.data(), data.size(), (BITMAPINFO*)block.data(), &offset, &bitsSize))
        return FALSE;
    BYTE* bits = new (std::nothrow) BYTE[bitsSize];
    if (!bits)
        return FALSE;
    std::memcpy(bits, data.data() + offset, bitsSize);
    if (!Take((BITMAPINFO*)block.data(), bits, bitsSize, TRUE)) {
        delete[] bits;
        return FALSE;
    }
    return TRUE;
}

BOOL CQKDIB::Write(CFile* file)
{
    if (!m_pInfo || !m_pBits)
        return FALSE;
    BITMAPFILEHEADER header = {};
    header.bfType = kSignature;
    header.bfSize = m_nBitsSize + WRITTEN_DATA_OFFSET;
    header.bfOffBits = WRITTEN_DATA_OFFSET;
    try {
        file->Write(&header, sizeof header);
        file->Write(m_pInfo, HEADER_BLOCK_SIZE);
        file->Write(m_pBits, m_nBitsSize);
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CQKDIB::Serialize(CArchive& ar)
{
    ar.Flush();
    if (ar.IsStoring())
        Write(ar.GetFile());
    else
        Read(ar.GetFile());
}

// The path given, or one the user picks in an Open or Save dialog; false when cancelled.
static bool ChoosePath(LPCTSTR path, BOOL open, CString& name)
{
    name = path ? path : "";
    if (!name.IsEmpty())
        return true;
    CFileDialog dialog(open, nullptr, nullptr,
                       OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT), kFilter);
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetPathName();
    return true;
}

BOOL CQKDIB::LoadFile(LPCTSTR path)
{
    CString name;
    if (!ChoosePath(path, TRUE, name))
        return FALSE;
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    try {
        return Read(&file);
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CQKDIB::SaveFile(LPCTSTR path)
{
    CString name;
    if (!ChoosePath(path, FALSE, name))
        return FALSE;
    CFile file;
    if (!file.Open(name, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        AfxMessageBox("Failed to open file");
        return FALSE;
    }
    if (!Write(&file)) {
        AfxMessageBox("Failed to save file");
        return FALSE;
    }
    return TRUE;
}

BOOL CQKDIB::Draw(CDC* dc, const RECT* rect)
{
    if (!m_pInfo || !m_pBits || !dc)
        return FALSE;
    int width = GetWidth();
    int height = GetHeight();
    RECT whole = {0, 0, width, height};
    const RECT& r = rect ? *rect : whole;
    return ::StretchDIBits(dc->m_hDC, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           0, 0, width, height, m_pBits, m_pInfo, DIB_RGB_COLORS, SRCCOPY)
           != 0;
}

int CQKDIB::GetWidth()
{
    return m_pInfo ? m_pInfo->bmiHeader.biWidth : 0;
}

int CQKDIB::GetHeight()
{
    return m_pInfo ? (int)AbsHeight(m_pInfo->bmiHeader) : 0;
}

void CQKDIB::GetRect(CRect& rect)
{
    rect.SetRect(0, 0, GetWidth(), GetHeight());
}

BYTE* CQKDIB::GetPixelAddress(int x, int y)
{
    if (!m_pInfo || !m_pBits)
        return nullptr;
    const BITMAPINFOHEADER& h = m_pInfo->bmiHeader;
    if (IsCompressed(h) || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return nullptr;
    ULONGLONG row = h.biHeight > 0 ? (ULONGLONG)(GetHeight() - 1 - y) : (ULONGLONG)y;
    return m_pBits + row * RowBytes(h.biWidth, h.biBitCount) + (ULONGLONG)x * h.biBitCount / 8;
}

BOOL CQKDIB::MapColorsToPalette(CPalette* palette)
{
    if (!palette || !m_pInfo || !m_pBits)
        return FALSE;
    BITMAPINFOHEADER& h = m_pInfo->bmiHeader;
    if (h.biBitCount != 8 || IsCompressed(h))
        return FALSE;
    BYTE map[256];
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = m_pInfo->bmiColors[i];
        map[i] = (BYTE)palette->GetNearestPaletteIndex(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
    }
    for (DWORD i = 0; i < m_nBitsSize; ++i)
        m_pBits[i] = map[m_pBits[i]];
    PALETTEENTRY entries[256] = {};
    UINT count = palette->GetPaletteEntries(0, 256, entries);
    for (int i = 0; i < 256; ++i) {
        m_pInfo->bmiColors[i] = (UINT)i < count
            ? RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0}
            : RGBQUAD{0, 0, 0, 0};
    }
    h.biClrUsed = 256;
    return TRUE;
}

void CQKDIB::CopyBits(CQKDIB* target, int targetX, int targetY, int width, int height,
                      int sourceX, int sourceY, int transparent)
{
    if (!target || width <= 0 || height <= 0 || !m_pInfo || !target->m_pInfo)
        return;
    if (m_pInfo->bmiHeader.biBitCount != 8 || target->m_pInfo->bmiHeader.biBitCount != 8)
        return;
    // Clip the block to the source and to the target, so no row or column reaches outside
    // either bitmap.
    if (sourceX < 0) { width += sourceX; targetX -= sourceX; sourceX = 0; }
    if (sourceY < 0) { height += sourceY; targetY -= sourceY; sourceY = 0; }
    if (targetX < 0) { width += targetX; sourceX -= targetX; targetX = 0; }
    if (targetY < 0) { height += targetY; sourceY -= targetY; targetY = 0; }
    width = std::min({width, GetWidth() - sourceX, target->GetWidth() - targetX});
    height = std::min({height, GetHeight() - sourceY, target->GetHeight() - targetY});
    if (width <= 0 || height <= 0)
        return;
    for (int row = 0; row < height; ++row) {
        const BYTE* from = GetPixelAddress(sourceX, sourceY + row);
        BYTE* to = target->GetPixelAddress(targetX, targetY + row);
        if (!from || !to)
            return;
        if (transparent == -1) {
            std::memmove(to, from, (size_t)width);
        } else {
            for (int i = 0; i < width; ++i) {
                if (from[i] != (BYTE)transparent)
                    to[i] = from[i];
            }
        }
    }
}

BOOL CQKDIBPal::Create(CQKDIB& dib)
{
    int count = dib.NumColors();
    if (count == 0 || !dib.GetInfo())
        return FALSE;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = (LOGPALETTE*)block.data();
    palette->palVersion = 0x300;
    palette->palNumEntries = (WORD)count;
    const RGBQUAD* colours = dib.GetInfo()->bmiColors;
    for (int i = 0; i < count; ++i)
        palette->palPalEntry[i] = PALETTEENTRY{colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0};
    return CreatePalette(palette);
}

// The symbol catalogue (QKSymbolManager.h).
#include "QKSymbolManager.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKGraphObjects.h"
#include "QKObjects.h"
#include "QKScript.h"

namespace {

// Geometric shapes in the gallery: every shape but "None".
const int kGalleryShapes = QK_SYMBOL_SHAPE_COUNT - 1;

const char kUDSSection[] = "UserDefinedSymbols";

std::string Extension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = (char)tolower((unsigned char)c);
    return ext;
}

bool ReadFile(const std::string& path, std::vector<BYTE>& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    BYTE buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        // A symbol is a small picture; a file this large is not one.
        if (bytes.size() > 64u * 1024 * 1024) {
            fclose(f);
            return false;
        }
    }
    fclose(f);
    return true;
}

// A Windows metafile, with or without the 22-byte placeable header, as an enhanced one.
HENHMETAFILE ReadWindowsMetafile(const std::string& path)
{
    std::vector<BYTE> bytes;
    if (!ReadFile(path, bytes))
        return nullptr;
    size_t start = 0;
    if (bytes.size() >= 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A)
        start = 22;
    // The metafile header is 18 bytes; its size field counts 16-bit words.
    if (bytes.size() < start + 18)
        return nullptr;
    return SetWinMetaFileBits((UINT)(bytes.size() - start), bytes.data() + start, nullptr, nullptr);
}

// A bitmap file's header and pixels as StretchDIBits takes them (the file without its
// 14-byte file header); false unless the sizes it states fit in the file.
bool ReadBitmap(const std::string& path, std::vector<BYTE>& dib, size_t& bitsOffset)
{
    std::vector<BYTE> bytes;
    if (!ReadFile(path, bytes) || bytes.size() < 14 + sizeof(BITMAPINFOHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    BITMAPINFOHEADER h;
    memcpy(&h, bytes.data() + 14, sizeof h);
    DWORD offset;
    memcpy(&offset, bytes.data() + 10, sizeof offset);
    if (h.biSize < sizeof h || h.biWidth <= 0 || h.biWidth > 4096 || h.biHeight == 0 || h.biHeight > 4096 ||
        h.biHeight < -4096 || h.biPlanes != 1)
        return false;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24 &&
        h.biBitCount != 32)
        return false;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return false;
    const size_t stride = ((size_t)h.biWidth * h.biBitCount + 31) / 32 * 4;
    const size_t rows = (size_t)(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    if (offset < 14 + h.biSize || offset > bytes.size() || bytes.size() - offset < stride * rows)
        return false;
    dib.assign(bytes.begin() + 14, bytes.end());
    bitsOffset = offset - 14;
    return true;
}

// The picture of a file: a bitmap or an enhanced metafile; false and why when it cannot
// be read.
bool LoadPicture(const std::string& path, std::vector<BYTE>& dib, size_t& bitsOffset, HENHMETAFILE& metafile,
                 std::string& why)
{
    dib.clear();
    metafile = nullptr;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        why = "the file " + path + " is not there";
        return false;
    }
    const std::string ext = Extension(path);
    bool read = false;
    if (ext == "bmp" || ext == "dib")
        read = ReadBitmap(path, dib, bitsOffset);
    else if (ext == "emf")
        read = (metafile = GetEnhMetaFileA(path.c_str())) != nullptr;
    else if (ext == "wmf")
        read = (metafile = ReadWindowsMetafile(path)) != nullptr;
    else {
        why = "the file " + path + " is not a bitmap (.bmp) or metafile (.emf, .wmf)";
        return false;
    }
    if (!read)
        why = "the file " + path + " cannot be read as a picture";
    return read;
}

std::string FileTitle(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CQKSymbolManager::~CQKSymbolManager()
{
    DropPictures();
}

int CQKSymbolManager::GetGalleryCount(BOOL withCharacters) const
{
    return 2 * kGalleryShapes + (withCharacters ? 26 : 0);
}

int CQKSymbolManager::GetGalleryColumns()
{
    return kGalleryShapes;
}

BOOL CQKSymbolManager::GetGalleryEntry(int cell, QKGalleryEntry& entry) const
{
    if (cell < 0 || cell >= GetGalleryCount(TRUE))
        return FALSE;
    entry = QKGalleryEntry();
    if (cell < 2 * kGalleryShapes) {
        entry.kind = 0;
        entry.shape = 1 + cell % kGalleryShapes;
        entry.fill = cell < kGalleryShapes ? QK_SYMFILL_SOLID : QK_SYMFILL_OPEN;
        return TRUE;
    }
    entry.kind = 1;
    entry.shape = m_galleryFont;
    entry.character = 'A' + cell - 2 * kGalleryShapes;
    return TRUE;
}

int CQKSymbolManager::FindGalleryCell(int style, int shape, int fill) const
{
    if (style >= 'A' && style <= 'Z')
        return 2 * kGalleryShapes + style - 'A';
    if (style != 0 || shape < 1 || shape > kGalleryShapes)
        return -1;
    if (fill == QK_SYMFILL_SOLID)
        return shape - 1;
    return fill == QK_SYMFILL_OPEN ? kGalleryShapes + shape - 1 : -1;
}

// ---- user-defined symbols ----

void CQKSymbolManager::DropPictures()
{
    for (Picture& p : m_pictures) {
        if (p.metafile)
            DeleteEnhMetaFile(p.metafile);
    }
    m_pictures.clear();
}

std::string CQKSymbolManager::GetUDSFile(int index) const
{
    return index >= 0 && index < (int)m_uds.size() ? m_uds[index] : std::string();
}

std::string CQKSymbolManager::GetUDSName(int index) const
{
    if (index < 0 || index >= (int)m_uds.size())
        return std::string();
    return std::to_string(index + 1) + ": " + (m_uds[index].empty() ? std::string("(removed)") : FileTitle(m_uds[index]));
}

void CQKSymbolManager::SetUDSFiles(const std::vector<std::string>& files)
{
    DropPictures();
    m_uds.assign(files.begin(), files.begin() + std::min<size_t>(files.size(), kMaxUDSs));
    while (!m_uds.empty() && m_uds.back().empty())
        m_uds.pop_back();
}

int CQKSymbolManager::FreeSlot(const std::vector<std::string>& files)
{
    for (size_t i = 0; i < files.size(); ++i)
        if (files[i].empty())
            return (int)i;
    return files.size() < (size_t)kMaxUDSs ? (int)files.size() : -1;
}

BOOL CQKSymbolManager::CanReadPicture(const std::string& path, std::string* why)
{
    std::vector<BYTE> dib;
    size_t bits = 0;
    HENHMETAFILE metafile;
    std::string reason;
    if (!LoadPicture(path, dib, bits, metafile, reason)) {
        if (why)
            *why = reason;
        return FALSE;
    }
    if (metafile)
        DeleteEnhMetaFile(metafile);
    return TRUE;
}

int CQKSymbolManager::AddUDS(const std::string& path, std::string* why)
{
    const int slot = FreeSlot(m_uds);
    if (slot < 0) {
        if (why)
            *why = "there are already " + std::to_string(kMaxUDSs) + " user-defined symbols";
        return -1;
    }
    if (!CanReadPicture(path, why))
        return -1;
    std::vector<std::string> files = m_uds;
    if (slot == (int)files.size())
        files.push_back(path);
    else
        files[slot] = path;
    SetUDSFiles(files);
    return slot;
}

BOOL CQKSymbolManager::RemoveUDS(int index)
{
    if (index < 0 || index >= (int)m_uds.size() || m_uds[index].empty())
        return FALSE;
    std::vector<std::string> files = m_uds;
    files[index].clear();
    SetUDSFiles(files);
    return TRUE;
}

BOOL CQKSymbolManager::SaveUDSsToINIFile() const
{
    const std::string file = qkfxGetINIFileFullPathName();
    // Symbols of an older, longer list go first, so that none of them is read back.
    WritePrivateProfileStringA(kUDSSection, nullptr, nullptr, file.c_str());
    CQKSettingsStore store(file);
    for (size_t i = 0; i < m_uds.size(); ++i)
        store.Write(kUDSSection, "Symbol" + std::to_string(i + 1), m_uds[i]);
    // The count last: a file cut short reads as no saved list.
    store.Write(kUDSSection, "Count", std::to_string(m_uds.size()));
    std::string check;
    return store.Read(kUDSSection, "Count", check) && check == std::to_string(m_uds.size());
}

BOOL CQKSymbolManager::ReadUDSsFromINIFile()
{
    CQKSettingsStore store(qkfxGetINIFileFullPathName());
    std::string text;
    if (!store.Read(kUDSSection, "Count", text))
        return FALSE;
    char* end = nullptr;
    const long count = strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end || count < 0 || count > kMaxUDSs)
        return FALSE;
    std::vector<std::string> files;
    for (long i = 1; i <= count; ++i) {
        std::string path;
        if (!store.Read(kUDSSection, "Symbol" + std::to_string(i), path))
            return FALSE;
        files.push_back(path);
    }
    SetUDSFiles(files);
    return TRUE;
}

BOOL CQKSymbolManager::DrawUserDefinedSymbol(HDC dc, const RECT& rect, int index, BOOL report)
{
    if (index < 0 || index >= (int)m_uds.size() || m_uds[index].empty())
        return FALSE;
    if (m_pictures.size() < m_uds.size())
        m_pictures.resize(m_uds.size());
    Picture& p = m_pictures[index];
    if (!p.tried) {
        p.tried = true;
        std::string why;
        if (!LoadPicture(m_uds[index], p.dib, p.bitsOffset, p.metafile, why) && report &&
            m_reported.insert(m_uds[index]).second) {
            const std::string text = "user-defined symbol " + std::to_string(index + 1) + ": " + why +
                                     "; a square is drawn in its place";
            qkfxGetCallLog().Add("CQKSymbolManager::DrawUserDefinedSymbol", text);
            qkfxGetScript().Print(text, 2);
        }
    }
    if (p.metafile)
        return PlayEnhMetaFile(dc, p.metafile, &rect);
    if (p.dib.empty())
        return FALSE;
    const BITMAPINFO* info = (const BITMAPINFO*)p.dib.data();
    const int height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    const int rows = StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                                   info->bmiHeader.biWidth, height, p.dib.data() + p.bitsOffset, info, DIB_RGB_COLORS,
                                   SRCCOPY);
    SetStretchBltMode(dc, mode);
    return rows != 0 && rows != (int)GDI_ERROR;
}

CQKSymbolManager* qkfxGetSymbolManager()
{
    static CQKSymbolManager manager;
    return &manager;
}

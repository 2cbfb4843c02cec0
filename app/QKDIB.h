// Device-independent bitmaps of the main program: the splash picture comes from a "DIB"
// resource, and bitmap files can be read and written.
//
// The header block always holds a 40-byte information header and room for 256 colour
// entries, whatever the bit depth, so that a bitmap can be handed to GDI as it is and
// written out with a fixed data offset. The pixel rows are either owned (read from a file,
// or created) or borrowed from a resource, which must then outlive the bitmap.
//
// Everything read from outside (files, resources) is checked against the header before it
// is kept: the pixel block is always at least as large as the header says it must be, so
// drawing and pixel access never reach past it.
#pragma once
#include <afxwin.h>

class CQKDIB : public CObject
{
    DECLARE_SERIAL(CQKDIB)
public:
    // The header block: information header and 256 colour entries.
    enum { HEADER_BLOCK_SIZE = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) };
    // The data offset of every file this class writes: file header and header block.
    enum { WRITTEN_DATA_OFFSET = sizeof(BITMAPFILEHEADER) + HEADER_BLOCK_SIZE };

    CQKDIB();
    ~CQKDIB() override;

    void Serialize(CArchive& ar) override;
    virtual BOOL LoadResource(UINT id);
    // With no path, an Open dialog asks for one; 0 when cancelled or not read.
    virtual BOOL LoadFile(LPCTSTR path = nullptr);
    virtual BOOL Read(CFile* file);
    virtual BOOL Write(CFile* file);
    // With no path, a Save dialog asks for one; failures are reported in a message box.
    virtual BOOL SaveFile(LPCTSTR path = nullptr);
    virtual BOOL Draw(CDC* dc, const RECT* rect = nullptr);
    virtual int GetWidth();
    virtual int GetHeight();
    virtual BOOL MapColorsToPalette(CPalette* palette);
    virtual void GetRect(CRect& rect);
    // Copies a block of 8-bit pixels into `target`, clipped to both bitmaps; bytes equal to
    // `transparent` are left out unless it is -1. Coordinates count from the top.
    virtual void CopyBits(CQKDIB* target, int targetX, int targetY, int width, int height,
                          int sourceX, int sourceY, int transparent = -1);

    // An 8-bit bitmap with a grey ramp colour table, all pixels 0.
    BOOL Create(int width, int height);
    // Copies the header and colour table and borrows the bits; 0 when the header is not
    // one this class can draw.
    BOOL Attach(const BITMAPINFO* info, BYTE* bits);
    // The byte holding pixel (x, y), y from the top; null outside the bitmap or for
    // compressed rows, which have no fixed addresses.
    BYTE* GetPixelAddress(int x, int y);
    int NumColors();

    BITMAPINFO* GetInfo() { return m_pInfo; }
    BYTE* GetBits() { return m_pBits; }
    BOOL OwnsBits() const { return m_bOwnsBits; }
    // Bytes in the pixel block.
    DWORD GetBitsSize() const { return m_nBitsSize; }

    // The colour count a header implies: 2, 16 or 256 by bit depth, or the header's
    // used-colour count when that is nonzero and smaller; 0 above 8 bits.
    static int NumColors(const BITMAPINFOHEADER& header);
    // Parses a whole bitmap file held in memory. On success `info` holds the header
    // (a 12-byte core header widened to 40 bytes) and its colour table, and the pixel
    // block lies at `bitsOffset`, `bitsSize` bytes long, inside the data.
    static BOOL ParseFile(const BYTE* data, size_t size, BITMAPINFO* info, size_t* bitsOffset,
                          DWORD* bitsSize);
    // Bytes of pixel data a valid header needs; 0 when the header is not one this class
    // can draw.
    static DWORD NeededBitsSize(const BITMAPINFOHEADER& header);

private:
    void Free();
    BOOL Take(const BITMAPINFO* info, BYTE* bits, DWORD bitsSize, BOOL owns);

    HGLOBAL m_hHeader = nullptr;
    BITMAPINFO* m_pInfo = nullptr; // the header block, locked while the bitmap has it
    BYTE* m_pBits = nullptr;
    DWORD m_nBitsSize = 0;
    BOOL m_bOwnsBits = FALSE;
};

// A logical palette made from a bitmap's colour table.
class CQKDIBPal : public CPalette
{
public:
    BOOL Create(CQKDIB& dib);
};

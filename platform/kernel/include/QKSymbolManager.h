// The symbol catalogue the symbol pages and wells choose from: which symbol styles are
// geometric, characters or user-defined, the incremental kinds (letters counting up from
// a start letter, row numbers), and the gallery's cells.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "QKDefs.h"

// Shape codes of the incremental kinds, past the geometric shapes: each point shows its
// own letter (from the start letter kept as the symbol's fill) or its row number.
enum {
    QK_SYMBOL_ABCD = 50,
    QK_SYMBOL_abcd = 51,
    QK_SYMBOL_NUM = 52,
};

// One cell of the symbol gallery.
struct QKGalleryEntry {
    int kind = 0;  // 0 geometric, 1 character, 2 user-defined
    int shape = 0; // geometric: the shape; character: the font index
    int fill = 0;  // geometric: the interior; character: the style flags
    int character = 0; // character: the character; user-defined: the style (index + 1)
};

class QK_API CQKSymbolManager {
public:
    // A plot's symbol style: 0 geometric, 33 to 255 a character, 1 to 32 a user-defined
    // symbol (its index + 1).
    static BOOL IsGeometrySymbol(int style) { return style == 0; }
    static BOOL IsCharacterSymbol(int style) { return style >= 33 && style <= 255; }
    BOOL IsUserDefinedSymbol(int style) const { return style >= 1 && style <= GetNumOfUDSs(); }
    static BOOL IsNumType(int type) { return type == QK_SYMBOL_NUM; }
    static BOOL IsABCDType(int type) { return type == QK_SYMBOL_ABCD; }
    static BOOL IsabcdType(int type) { return type == QK_SYMBOL_abcd; }
    static BOOL IsIncrementalType(int type) { return type >= QK_SYMBOL_ABCD && type <= QK_SYMBOL_NUM; }
    static int GetABCDType() { return QK_SYMBOL_ABCD; }
    static int GetabcdType() { return QK_SYMBOL_abcd; }
    static int GetNumType() { return QK_SYMBOL_NUM; }

    // User-defined symbols: pictures from bitmap (.bmp) or metafile (.emf, .wmf) files,
    // kept by slot; a plot shows slot i with the style i + 1. The files are named, not
    // copied, and the list is kept with the startup settings (section [UserDefinedSymbols]
    // of the INI file), read when the settings are read at start. A removed slot stays
    // empty until a new symbol fills it, so that removing one symbol never gives the
    // plots of another a different look; empty slots at the end are dropped.
    static const int kMaxUDSs = 32;
    int GetNumOfUDSs() const { return (int)m_uds.size(); }
    const std::vector<std::string>& GetUDSFiles() const { return m_uds; }
    // The file of a slot; empty for an empty slot or an index out of range.
    std::string GetUDSFile(int index) const;
    // How the lists name a slot: "1: star.bmp", "2: (removed)".
    std::string GetUDSName(int index) const;
    // The whole list (the Options well's copy); empty slots at the end are dropped and the
    // pictures read again when drawn.
    void SetUDSFiles(const std::vector<std::string>& files);
    // Adds a symbol in the first empty slot (else at the end): its slot, or -1 and why
    // (a file that is not a picture this system reads, or every slot taken).
    int AddUDS(const std::string& path, std::string* why = nullptr);
    BOOL RemoveUDS(int index);
    BOOL SaveUDSsToINIFile() const;
    // The list of the INI file; FALSE (the list left as it is) when the section is missing
    // or damaged.
    BOOL ReadUDSsFromINIFile();
    // Slots in a list of files: the first empty one, else the end; -1 when all are taken.
    static int FreeSlot(const std::vector<std::string>& files);
    // Whether the file is a bitmap or metafile this system draws; else why not.
    static BOOL CanReadPicture(const std::string& path, std::string* why = nullptr);
    // Draws a slot's picture stretched over the rectangle. FALSE when it cannot (an empty
    // slot, a file gone or unreadable): the caller draws a plain symbol instead. A file
    // that cannot be read is reported once (script window and call log), not at every
    // point; `report` FALSE keeps it quiet (a well showing the list marks such a cell).
    BOOL DrawUserDefinedSymbol(HDC dc, const RECT& rect, int index, BOOL report = TRUE);

    // The gallery: the thirteen shapes solid, then open, then the characters A to Z in
    // the gallery's font when the graph settings ask for characters; a row of the gallery
    // holds the thirteen shapes, so the characters fill two rows.
    int GetGalleryCount(BOOL withCharacters) const;
    static int GetGalleryColumns();
    BOOL GetGalleryEntry(int cell, QKGalleryEntry& entry) const;
    // The gallery's cell of a symbol (style, shape, interior as a plot keeps them); -1
    // when the gallery has none like it.
    int FindGalleryCell(int style, int shape, int fill) const;
    void SetFontForAllCharacters(int font) { m_galleryFont = font; }
    int GetGalleryFont() const { return m_galleryFont; }

    ~CQKSymbolManager();

private:
    void DropPictures();

    int m_galleryFont = 0;
    std::vector<std::string> m_uds;
    // Pictures read from the files, by slot (null until read, or when the file could
    // not be read), and the files already reported unreadable.
    struct Picture {
        std::vector<BYTE> dib; // a bitmap: its header and pixels
        size_t bitsOffset = 0;
        HENHMETAFILE metafile = nullptr;
        bool tried = false;
    };
    std::vector<Picture> m_pictures;
    std::set<std::string> m_reported;
};

QK_API CQKSymbolManager* qkfxGetSymbolManager();

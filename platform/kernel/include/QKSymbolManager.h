// The symbol catalogue the symbol pages and wells choose from: which symbol styles are
// geometric, characters or user-defined, the incremental kinds (letters counting up from
// a start letter, row numbers), and the gallery's cells.
#pragma once

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
    // The user-defined symbols: none can be made in this version (their editor is not
    // built), so the pages say there are none.
    int GetNumOfUDSs() const { return 0; }

    // The gallery: the fourteen shapes solid, then open, then the characters A to Z in
    // the gallery's font when the graph settings ask for characters.
    int GetGalleryCount(BOOL withCharacters) const;
    BOOL GetGalleryEntry(int cell, QKGalleryEntry& entry) const;
    void SetFontForAllCharacters(int font) { m_galleryFont = font; }
    int GetGalleryFont() const { return m_galleryFont; }

private:
    int m_galleryFont = 0;
};

QK_API CQKSymbolManager* qkfxGetSymbolManager();

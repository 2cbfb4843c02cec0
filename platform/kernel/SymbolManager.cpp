// The symbol catalogue (QKSymbolManager.h).
#include "QKSymbolManager.h"

#include "QKGraphObjects.h"

namespace {

// Geometric shapes in the gallery: every shape but "None".
const int kGalleryShapes = QK_SYMBOL_SHAPE_COUNT - 1;

} // namespace

int CQKSymbolManager::GetGalleryCount(BOOL withCharacters) const
{
    return 2 * kGalleryShapes + (withCharacters ? 26 : 0);
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

CQKSymbolManager* qkfxGetSymbolManager()
{
    static CQKSymbolManager manager;
    return &manager;
}

// What a graph page draws: the paper, then each layer in page order.
#include "KernelInternal.h"
#include "QKData.h"
#include "QKGraphObjects.h"

BOOL CQKGraphPage::Draw(HDC dc, const RECT& rect)
{
    if (!dc || IsRectEmpty(&rect))
        return FALSE;
    FillRect(dc, &rect, (HBRUSH)GetStockObject(WHITE_BRUSH));
    return TRUE;
}

void CQKGraphPage::DrawScreenItems(HDC) {}

CQKGrElement* CQKGraphPage::FindGrElement(int, int)
{
    return nullptr;
}

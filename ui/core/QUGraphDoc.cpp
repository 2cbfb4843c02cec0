#include "QUGraphDoc.h"

IMPLEMENT_DYNCREATE(CQUGraphDoc, CQuorixDoc)
IMPLEMENT_DYNCREATE(CQULayoutDoc, CQUGraphDoc)

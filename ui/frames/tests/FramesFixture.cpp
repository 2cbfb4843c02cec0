#include "FramesFixture.h"

namespace framestest {

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
IMPLEMENT_DYNCREATE(CWksDoc, CTestDoc)
IMPLEMENT_DYNCREATE(CGraphDoc, CTestDoc)
IMPLEMENT_DYNCREATE(CNotesDoc, CTestDoc)
IMPLEMENT_DYNCREATE(CTestView, CView)

} // namespace framestest

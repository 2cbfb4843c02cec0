// OLE for programs: automation and the message filter (afxdisp.h). OLE server and
// container documents and items are not part of this framework yet.
#pragma once
#include "afxdisp.h"

// The program's one application object: the framework's entry runs it.
#include "AppQuorix.h"

CAppQuorix theApp;

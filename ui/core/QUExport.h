// What qxuser exports to the main program and the other user-interface libraries.
#pragma once

#ifdef QXUSER_BUILD
#define QU_API __declspec(dllexport)
#else
#define QU_API __declspec(dllimport)
#endif

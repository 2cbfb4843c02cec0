// What qxdialogs exports to the other user-interface libraries.
#pragma once

#ifdef QXDIALOGS_BUILD
#define QD_API __declspec(dllexport)
#else
#define QD_API __declspec(dllimport)
#endif

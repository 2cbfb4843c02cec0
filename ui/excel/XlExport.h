// What the Excel link of qxuser exports to the program and the tests.
#pragma once

#ifdef QXUSER_BUILD
#define QUXL_API __declspec(dllexport)
#else
#define QUXL_API __declspec(dllimport)
#endif

// The replicas page (page 915): how many times a block of parameters repeats, and the peak
// options of functions that fit several peaks.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 1200).
extern "C" INT_PTR CALLBACK AdvOptions(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the replica count and the peak options into the definition.
int LeaveReplicaPage(HWND page, FittingSession* s);

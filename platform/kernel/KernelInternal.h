// Declarations shared by the kernel's own source files; not part of its interface.
#pragma once

#include "QKDefs.h"
#include "QmHost.h"

// Calls one operation of a plug-in script object (qfit, Stat, fum, ...), loading its
// library on first use. Returns the entry's answer (0 not a member, 1 handled, 2 not
// handled) or -1 when the object cannot be reached, with the reason in *error.
int qkCallPluginObject(const std::string& object, const char* methodName, const char* name,
                       int op, void* result, std::string* error);
bool qkIsPluginObject(const std::string& name);
// The names of all script objects the kernel knows, its own and the plug-ins'.
std::vector<std::string> qkGetPluginObjectNames();

// The hidden window that stands for the host: plug-ins send it script text as WM_USER
// messages, and the fitter keys its sessions by its thread.
HWND qkGetHostWindow();

INT_PTR WINAPI qkFitterHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b);
INT_PTR WINAPI qkFrameworkHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b);

// Deletes the temporary datasets plug-ins made during the call that is ending.
void qkBeginPluginCall();
void qkEndPluginCall();
void qkAddTemporary(INT_PTR datasetHandle);

// The stop request (Ctrl+C in the console host); loops of scripts end on it.
bool qkIsAbortRequested();

std::string qkGetProgramFolder();
std::string qkGetIniFolder();

std::string qkTrim(const std::string& text);

// The script language's exp and ^ (ScriptMath.cpp), shared by the interpreter and the
// compiled form.
double qkExp(double x);
double qkPow(double a, double b);
// Splits at blanks; a double-quoted text is one word, without its quotes. False when a
// quote is not closed (the words up to it are kept).
bool qkSplitWords(const std::string& text, std::vector<std::string>* words);

// Shortest text that reads back as the same double, with at most `digits` significant
// digits; "--" for the missing value.
std::string qkFormatNumber(double value, int digits = 15);
// printf into a string of at most 255 characters, for the call log and object descriptions.
std::string qkFormatText(const char* format, ...);

// Deletes the system object (the access object's Uninit); the next use makes a new one.
void qkDeleteQrxSystem();
// One operation of the plug-in protocol on the system object; its answers are the
// protocol's.
int qkCallSystemObject(const char* methodName, const char* name, int op, void* result);

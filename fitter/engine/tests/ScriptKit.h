// Running scripts through the kernel's interpreter in this process, with the fitter library
// loaded from the program folder as the console host loads it, and a settings folder of the
// test's own so that qfit.ini and function files never touch the program folder's.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"

namespace scriptkit {

// A fresh settings folder under the temporary folder, with a trailing backslash; it becomes
// the kernel's INI folder.
inline std::string UseSettingsFolder(const char* tag)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%sqx%s%lu\\", temp, tag, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    DeleteFileA((std::string(folder) + "qfit.ini").c_str());
    qkfxSetGlobalINIPath(folder);
    return folder;
}

inline void Catch(const char* text, int kind, void* user)
{
    if (kind != 2)
        *static_cast<std::string*>(user) += std::string(text) + "\n";
}

// Runs a script file (or text when file is empty) on a new project; what `type` printed is
// in out, an error in error.
inline bool Run(const std::string& file, const std::string& text, const std::vector<std::string>& args,
                std::string* out, std::string* error, bool newProject = true)
{
    if (newProject)
        qkfxGetProject().New();
    CQKScript& script = qkfxGetScript();
    if (newProject)
        script.Reset();
    out->clear();
    script.SetOutput(Catch, out);
    const bool ran = file.empty() ? script.Execute(text) : script.RunFile(file, args);
    script.SetOutput(nullptr, nullptr);
    *error = script.GetLastError();
    return ran;
}

}  // namespace scriptkit

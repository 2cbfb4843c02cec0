// The user reference's examples that need the program's own objects (system, excel) run
// in the tests of those objects: each prints exactly its .expected text, and its page
// shows the script and that text as they are.
#pragma once

#include <string>

#include "QKScript.h"
#include "qxtest/FileText.h"

namespace qxtest {

// The reference folder, as the test's compile definition QX_REFERENCE_DIR names it.
// Empty when the example ran, printed what it should and is shown on its page; else why not.
inline std::string CheckReferenceExample(const std::string& referenceDir, const std::string& name,
                                         const std::string& page)
{
    std::string script = FileText(referenceDir + "/examples/" + name + ".qgs");
    std::string expected = FileText(referenceDir + "/examples/" + name + ".expected");
    std::string shown = FileText(referenceDir + "/" + page);
    if (script.empty() || expected.empty() || shown.empty())
        return "cannot read the example " + name + " or its page " + page + " in " + referenceDir;
    std::string printed;
    QKOutputProc oldProc;
    void* oldUser;
    CQKScript& interpreter = qkfxGetScript();
    interpreter.GetOutput(&oldProc, &oldUser);
    interpreter.SetOutput([](const char* text, int, void* user) { *static_cast<std::string*>(user) += std::string(text) + "\n"; },
                          &printed);
    bool ran = interpreter.Execute(script);
    interpreter.SetOutput(oldProc, oldUser);
    if (!ran)
        return name + " stopped: " + interpreter.GetLastError() + "\nit printed:\n" + printed;
    if (printed != expected)
        return name + " printed:\n" + printed + "expected:\n" + expected;
    if (shown.find(script) == std::string::npos || shown.find(expected) == std::string::npos)
        return page + " does not show " + name + " and what it prints as they are";
    return std::string();
}

} // namespace qxtest

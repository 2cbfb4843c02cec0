// A converter of old-format function files for the tests, loaded by the engine from the
// program folder under the converter's name. It converts files whose first line is "OLD":
// the function is named after the file, and the second line is its formula in a and b.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "FitSession.h"

extern "C" int WINAPI ReadOldFunctionFile(const char* path, FunctionDef* def)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return -1;
    char first[16] = "", formula[256] = "";
    const bool old = fgets(first, sizeof first, f) && strncmp(first, "OLD", 3) == 0;
    if (old && fgets(formula, sizeof formula, f))
        formula[strcspn(formula, "\r\n")] = 0;
    fclose(f);
    if (!old)
        return -1;
    if (!def)
        return 0;
    const char* name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    snprintf(def->name, sizeof def->name, "%.*s", static_cast<int>(strcspn(name, ".")), name);
    snprintf(def->formula, sizeof def->formula, "%s", formula);
    snprintf(def->paramNames, sizeof def->paramNames, "a,b");
    def->nParams = 2;
    def->nIndependent = def->nDependent = 1;
    return 0;
}

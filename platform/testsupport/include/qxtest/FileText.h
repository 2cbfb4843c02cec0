// A file's bytes for tests that compare what was written with what was expected.
#pragma once

#include <stdio.h>

#include <string>

namespace qxtest {

// Empty when the file cannot be read.
inline std::string FileText(const std::string& path)
{
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

}  // namespace qxtest

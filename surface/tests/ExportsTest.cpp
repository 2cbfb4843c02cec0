// The library's exports, by the names the kernel binds.
#include <gtest/gtest.h>

#include <set>

#include "qxtest/Exports.h"

TEST(Exports, TheKernelFindsEveryEntryByName)
{
    std::set<std::string> names;
    for (const auto& e : qxtest::ReadExports("qxsurface.dll"))
        names.insert(e.name);
    for (const char* name : {"SCX3D", "_BucketGrids@24", "_BucketControl@20", "ScxColorControl", "ColorMapControl", "ScxCmdObj", "Contour", "qc3dxEntry"})
        EXPECT_TRUE(names.count(name)) << name;
}

// The export table of qxutil.dll: callers bind by ordinal, so every ordinal they use
// must be there, with its name where it has one and without one where it has none.
#include <gtest/gtest.h>

#include "qxtest/Exports.h"

namespace {

TEST(Exports, TableHoldsEveryOrdinalWithItsName)
{
    // The expected table, kept here apart from the .def file so that a slip in either shows.
    const std::vector<qxtest::ExportEntry> expected = {
        {3, "UtilTextToInt"},         {4, "UtilTextToDouble"},        {5, "UtilIntToText"},
        {7, "UtilFormatNumber"},      {8, "UtilStripBlanks"},         {9, "UtilScanNumber"},
        {14, "UtilFindSeparator"},    {15, "UtilQuotedText"},         {20, "UtilCalendarToNumber"},
        {22, ""},                     {92, "UtilNextWord"},           {120, "UtilCopyBytes"},
        {150, "UtilPrepareDC"},       {520, "UtilProgressBox"},       {530, "UtilPaletteService"},
        {600, "UtilCompareBytes"},    {930, "UtilSplitIndexedName"},  {955, ""},
        {957, ""},                    {958, "UtilReadProfileString"}, {980, "UtilReadContainerMember"},
        {985, ""},                    {2004, "UtilInvertMatrix"},     {2005, ""},
        {2006, ""},                   {2007, ""},                     {2030, "UtilStudentTInverse"},
        {2036, "UtilIncompleteBeta"}, {2038, "UtilErf"},              {2108, "UtilBinomial"},
        {2110, "UtilVectorAngle"},
    };
    EXPECT_EQ(qxtest::CompareExports("qxutil.dll", expected), "");
}

} // namespace

#include <gtest/gtest.h>

#include "qxtest/Exports.h"

namespace {

TEST(Exports, ReadsNamesAndOrdinalsIncludingNoname)
{
    std::vector<qxtest::ExportEntry> expected = {{1, "Alpha"}, {5, "Beta"}, {7, ""}};
    EXPECT_EQ(qxtest::ReadExports("qxts_sample.dll"), expected);
    EXPECT_EQ(qxtest::CompareExports("qxts_sample.dll", {{7, ""}, {1, "Alpha"}, {5, "Beta"}}), "");
}

TEST(Exports, ReportsMissingExtraAndRenamed)
{
    std::string report = qxtest::CompareExports("qxts_sample.dll", {{1, "Alpha"}, {5, "Gamma"}, {9, "Delta"}});
    EXPECT_NE(report.find("expected @5 Gamma, found @5 Beta"), std::string::npos) << report;
    EXPECT_NE(report.find("missing @9 Delta"), std::string::npos) << report;
    EXPECT_NE(report.find("extra @7 (no name)"), std::string::npos) << report;
    EXPECT_THROW(qxtest::ReadExports("no_such_library.dll"), std::runtime_error);
}

} // namespace

// Reads the data block of a reference file in the statistical reference datasets'
// layout: a 60-line header (which holds the certified values), then one observation per
// line, blank-separated numbers. Lines that hold no numbers are passed over.
#pragma once
#include <string>
#include <vector>

namespace qxstats_test {

// Rows of numbers of the named file in the test data folder; fails the calling test
// (and gives no rows) when the file cannot be read.
std::vector<std::vector<double>> ReadNistRows(const std::string &fileName);

// Column k of the rows.
std::vector<double> Column(const std::vector<std::vector<double>> &rows, size_t k);

} // namespace qxstats_test

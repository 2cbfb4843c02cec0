#include "NistData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace qxstats_test {

std::vector<std::vector<double>> ReadNistRows(const std::string &fileName)
{
    std::vector<std::vector<double>> rows;
    std::string path = std::string(QXSTATS_TEST_DATA) + "/" + fileName;
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (number < 61)
            continue;
        std::vector<double> row;
        const char *p = line.c_str();
        for (;;) {
            char *end = nullptr;
            double v = std::strtod(p, &end);
            if (end == p)
                break;
            row.push_back(v);
            p = end;
        }
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

std::vector<double> Column(const std::vector<std::vector<double>> &rows, size_t k)
{
    std::vector<double> c;
    for (const auto &r : rows)
        c.push_back(k < r.size() ? r[k] : 0.0);
    return c;
}

} // namespace qxstats_test

// Layer, worksheet and memory objects against the test host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "TestHost.h"

namespace {

class Worksheets : public HostedTest {
protected:
    void SetUp() override
    {
        HostedTest::SetUp();
        TestHost::Get().AddWorksheet("Data1", {"A", "B"}, 4);
        name.SetText("Data1");
    }

    QmWksName name;
};

TEST_F(Worksheets, ColumnsNamesAndFormats)
{
    TestHost& host = TestHost::Get();
    QmQuorixWks wks(name);
    ASSERT_EQ(wks.CheckExists(), 1);
    EXPECT_STREQ(wks.worksheetName.text, "Data1");
    EXPECT_EQ(host.Requests(HOST_FIND_WINDOW).at(0).number, 1 * 100 - 1);
    EXPECT_EQ(wks.GetNumCols(), 2);

    char buffer[32];
    ASSERT_EQ(wks.GetDatasetName(buffer, sizeof buffer, 2), 0);
    EXPECT_STREQ(buffer, "Data1_B");
    ASSERT_EQ(wks.GetDatasetName(buffer, 5, 1), 0);
    EXPECT_STREQ(buffer, "Data");
    EXPECT_EQ(wks.GetDatasetName(buffer, sizeof buffer, 9), 1);
    EXPECT_EQ(wks.GetDatasetName(nullptr, 8, 1), 1);

    wks.SetColumnName(2, "Y");
    wks.SetColumnLabel(1, "time (s)");
    EXPECT_EQ(host.Worksheet("Data1")->columnNames[1], "Y");
    EXPECT_EQ(host.Worksheet("Data1")->labels[1], "time (s)");
    wks.AddColumn(3, 0, 0);
    EXPECT_EQ(host.Requests(HOST_WKS_REQ_6806).at(0).number, 9);
    wks.ColumnNotify(2);
    wks.RowsNotify(40);
    EXPECT_EQ(host.Requests(HOST_WKS_REQ_681A).at(0).number, 40);

    host.log.clear();
    EXPECT_EQ(wks.GetColumnFormat(0), 1);
    EXPECT_EQ(wks.SetColumnFormat(0, 5), 1);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(wks.GetColumnFormat(2), -1);
    EXPECT_EQ(wks.SetColumnFormat(2, 5), 0);
    EXPECT_EQ(wks.GetColumnFormat(2), 5);
}

TEST_F(Worksheets, UnknownWorksheetFailsEveryOperation)
{
    QmWksName other;
    other.SetText(std::string(150, 'w').c_str());
    QmQuorixWks wks(other);
    EXPECT_EQ(TestHost::Get().Requests(HOST_FIND_WINDOW).at(0).text, std::string(119, 'w'));
    EXPECT_EQ(wks.handle, 0);
    EXPECT_EQ(wks.CheckExists(), 0);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_NO_WORKSHEET);
    EXPECT_STREQ(QmErrorTextAt(1), "QmQuorixWks");
    EXPECT_EQ(wks.GetNumCols(), 0);
    char buffer[16];
    EXPECT_EQ(wks.GetDatasetName(buffer, sizeof buffer, 1), 1);
    EXPECT_EQ(wks.SetCell(1, 0, 1.0), 1);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_BAD_COLUMN);
    // An empty name asks the host nothing.
    TestHost::Get().log.clear();
    QmWksName empty;
    QmQuorixWks none(empty);
    EXPECT_TRUE(TestHost::Get().log.empty());
}

TEST_F(Worksheets, CellWritersHonourProtection)
{
    TestHost& host = TestHost::Get();
    QmQuorixWks wks(name);
    ASSERT_EQ(wks.SetCell(1, 2, 6.5), 0);
    ASSERT_EQ(wks.SetCellText(2, 1, "label"), 0);
    HostDataset* a = host.DatasetByName("Data1_A");
    HostDataset* b = host.DatasetByName("Data1_B");
    EXPECT_EQ(a->values[2], 6.5);
    EXPECT_EQ(b->texts[1], "label");
    // A row past the end grows the column, reported when the cell object goes.
    ASSERT_EQ(wks.SetCell(1, 6, 1.0), 0);
    EXPECT_EQ(a->values.size(), 7u);

    struct Case {
        const char* what;
        int column;
        bool protect;
    };
    const Case cases[] = {{"protected", 1, true}, {"no such column", 3, false}, {"column 0", 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        a->readOnly = c.protect;
        std::vector<double> before = a->values;
        QmClearErrors();
        EXPECT_EQ(wks.SetCell(c.column, 0, 9.0), 1);
        EXPECT_EQ(QmErrorCodeAt(1), QM_ERR_BAD_COLUMN);
        QmClearErrors();
        EXPECT_EQ(wks.SetCellText(c.column, 0, "x"), 1);
        EXPECT_EQ(QmErrorCodeAt(1), QM_ERR_BAD_COLUMN);
        EXPECT_EQ(a->values, before);
        EXPECT_EQ(a->texts.count(0), 0u);
    }

    QmSourceData byColumn(wks, 1);
    EXPECT_EQ(byColumn.GetAt(2), 6.5);
}

TEST_F(Worksheets, MemoryBlocksAreReleased)
{
    TestHost& host = TestHost::Get();
    QmWksName ownName;
    ownName.SetText("Settings");
    {
        QmLayer layer(name, 1, -1, &ownName);
        EXPECT_STREQ(layer.name.text, "Settings");
        void* block = layer.MemoryBlock();
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(layer.MemoryBlock(), block);
        EXPECT_EQ(host.memoryBlocksOut, 1);
        EXPECT_EQ(host.Requests(HOST_MEMBLOCK_GET).at(0).text, "Settings");
        // An attached object refuses a second attach.
        EXPECT_EQ(layer.memory->Attach(1, "Other", 0), nullptr);
    }
    EXPECT_EQ(host.memoryBlocksOut, 0);
    EXPECT_EQ(host.Requests(HOST_MEMBLOCK_RELEASE).at(0).text, "Settings");

    // Re-attaching by the stored name after a release.
    QmMemoryObject memory;
    ASSERT_NE(memory.Attach(7, "Block", 32), nullptr);
    memory.Release();
    EXPECT_EQ(memory.block, nullptr);
    ASSERT_NE(memory.Attach(7, nullptr, 0), nullptr);
    EXPECT_STREQ(memory.blockName.text, "Block");
    memory.Release();
    EXPECT_EQ(host.memoryBlocksOut, 0);

    QmBindHost(nullptr, nullptr);
    EXPECT_EQ(memory.Attach(7, "Block", 0), nullptr);
    host.refuseAll = true;
    QmBindHost(TestHost::Context(), &TestHost::Callback);
    QmLayer refused(name, 1, -1);
    EXPECT_EQ(refused.MemoryBlock(), nullptr);
    EXPECT_EQ(refused.memory, nullptr);
}

} // namespace

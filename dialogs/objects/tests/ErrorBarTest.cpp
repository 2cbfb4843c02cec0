// "Error Bar Options" driven as a user would: what OK writes, that Cancel and a refused
// width write nothing, and what "Worksheet" and "Delete" do to the layer and the data.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <memory>

#include "ObjectsResources.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QUErrorBar.h"

using qxtest::DialogDriver;

namespace {

class ErrorBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        column = wks->AddColumn();
        columnName = column->GetName();
    }

    // An error bar in a layer of a new page of the given kind, on the column or on a
    // free dataset.
    CQUErrorBar* MakeBar(QKPageType pageType, bool external)
    {
        page = qkfxGetProject().CreatePage(pageType);
        layer.reset(new CQKLayer(page));
        auto* bar = new CQUErrorBar;
        CQKDataset* data = external ? qkfxGetProject().CreateDataset("Errs", 2) : column;
        bar->SetData(data->GetHandle());
        barId = layer->AddObject(bar);
        return bar;
    }

    INT_PTR Run(CQUErrorBar* bar, DialogDriver& driver)
    {
        INT_PTR result = driver.Run([&] { return (INT_PTR)bar->DoDialog(nullptr, 0, 0); });
        EXPECT_FALSE(driver.TimedOut());
        return result;
    }

    CQKWksPage* wks = nullptr;
    CQKDataset* column = nullptr;
    std::string columnName;
    CQKPage* page = nullptr;
    std::unique_ptr<CQKLayer> layer;
    int barId = 0;
};

TEST_F(ErrorBarTest, OkWritesEveryControlCancelWritesNothing)
{
    CQUErrorBar* bar = MakeBar(QK_PAGE_GRAPH, false);
    bar->SetColor(2);
    bar->SetLineWidth(1.5);
    bar->SetCapWidth(12);

    for (bool ok : {false, true}) {
        qkfxGetCallLog().Clear();
        std::string shownName, shownWidth;
        bool colorEnabledAtStart = true, relativeAtStart = true;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            shownName = qxtest::GetText(h, IDC_QD_EB_DATASET);
            shownWidth = qxtest::GetText(h, IDC_QD_EB_LINE_WIDTH);
            colorEnabledAtStart = qxtest::IsEnabled(h, IDC_QD_EB_COLOR);
            relativeAtStart = qxtest::IsChecked(h, IDC_QD_EB_RELATIVE);
            qxtest::SetCheck(h, IDC_QD_EB_COLOR_CHECK, true);
            qxtest::ComboSelect(h, IDC_QD_EB_COLOR, 3);
            qxtest::SetText(h, IDC_QD_EB_LINE_WIDTH, "2.5");
            qxtest::SetText(h, IDC_QD_EB_CAP_WIDTH, "15");
            qxtest::SetCheck(h, IDC_QD_EB_THROUGH, true);
            qxtest::SetCheck(h, IDC_QD_EB_MINUS, false);
            qxtest::SetCheck(h, IDC_QD_EB_X, true);
            qxtest::Click(h, IDC_QD_EB_RELATIVE);
            qxtest::SetCheck(h, IDC_QD_EB_APPLY_ALL, true);
            qxtest::Click(h, ok ? IDOK : IDCANCEL);
        });
        EXPECT_EQ(0, Run(bar, driver));
        EXPECT_EQ(columnName, shownName);
        EXPECT_EQ("1.5", shownWidth);
        EXPECT_FALSE(colorEnabledAtStart); // the plot's own colour is in use
        EXPECT_FALSE(relativeAtStart);

        EXPECT_EQ(ok ? 3 : 2, bar->GetColor());
        EXPECT_EQ(!ok, (bool)bar->IsOwnerColor());
        EXPECT_EQ(ok ? 2.5 : 1.5, bar->GetLineWidth());
        EXPECT_EQ(ok ? 15 : 12, bar->GetCapWidth());
        EXPECT_EQ(ok, (bool)bar->IsThroughSymbol());
        EXPECT_TRUE(bar->IsDirectionPlus());
        EXPECT_EQ(!ok, (bool)bar->IsDirectionMinus());
        EXPECT_EQ(ok, (bool)bar->IsDirectionX());
        EXPECT_EQ(ok, (bool)bar->IsDirectionRelative());
        const CQKCallLog& log = qkfxGetCallLog();
        int update = log.Find("CQKErrorBar::UpdateData"), apply = log.Find("CQKErrorBar::ApplyToAll");
        if (ok) {
            EXPECT_GE(update, 0) << log.ToString();
            EXPECT_GT(apply, update) << log.ToString();
        } else {
            EXPECT_EQ(0u, log.GetCount()) << log.ToString();
        }
    }
}

TEST_F(ErrorBarTest, AWidthThatIsNoNumberIsRefusedAndNothingIsWritten)
{
    CQUErrorBar* bar = MakeBar(QK_PAGE_GRAPH, false);
    bar->SetLineWidth(1);
    std::string caption, message;
    bool stillOpen = false;
    DialogDriver driver;
    driver.Then([&](HWND h) {
            qxtest::SetCheck(h, IDC_QD_EB_THROUGH, true);
            qxtest::SetText(h, IDC_QD_EB_CAP_WIDTH, "wide");
            qxtest::Click(h, IDOK);
            stillOpen = ::IsWindowVisible(h) != FALSE;
            qxtest::Click(h, IDCANCEL);
        })
        .Then([&](HWND box) {
            caption = qxtest::WindowText(box);
            message = qxtest::MessageBoxText(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    Run(bar, driver);
    EXPECT_EQ(2, driver.StepsRun());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ("Attention", caption);
    EXPECT_NE(std::string::npos, message.find("number")) << message;
    EXPECT_FALSE(bar->IsThroughSymbol());
    EXPECT_EQ(-1, qkfxGetCallLog().Find("CQKErrorBar::UpdateData"));
}

TEST_F(ErrorBarTest, WorksheetOpensTheDataAndDeleteAsksAsThePageRequires)
{
    CQUErrorBar* bar = MakeBar(QK_PAGE_GRAPH, false);
    DialogDriver worksheet;
    worksheet.Then([](HWND h) { qxtest::Click(h, IDC_QD_EB_WORKSHEET); });
    EXPECT_EQ(0, Run(bar, worksheet));
    EXPECT_EQ(wks, qkfxGetProject().GetActivePage());
    EXPECT_GE(qkfxGetCallLog().Find("CQKDataObj::OpenWorksheet"), 0);

    // Page kind, dataset outside the worksheets, the answer (0: no question expected)
    // -> whether the error bar and the dataset remain.
    struct Case {
        QKPageType page;
        bool external;
        int answer;
        bool barRemains, dataRemains;
        const char* question;
    } cases[] = {
        {QK_PAGE_GRAPH, true, 0, false, true, nullptr},
        {QK_PAGE_LAYOUT, true, 0, true, true, nullptr},
        {QK_PAGE_GRAPH, false, IDYES, false, false, "Do you also want to delete the data set %s from its worksheet?"},
        {QK_PAGE_GRAPH, false, IDNO, false, true, "Do you also want to delete the data set %s from its worksheet?"},
        {QK_PAGE_GRAPH, false, IDCANCEL, true, true, "Do you also want to delete the data set %s from its worksheet?"},
        {QK_PAGE_LAYOUT, false, IDYES, false, false, "Are you sure you want to delete the dataset %s from this worksheet?"},
        {QK_PAGE_LAYOUT, false, IDNO, true, true, "Are you sure you want to delete the dataset %s from this worksheet?"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n++);
        SetUp();
        CQUErrorBar* target = MakeBar(c.page, c.external);
        std::string dataName = target->GetData()->GetName();
        std::string asked, caption;
        DialogDriver driver;
        driver.Then([](HWND h) { qxtest::Click(h, IDC_QD_EB_DELETE); });
        if (c.question)
            driver.Then([&](HWND box) {
                asked = qxtest::MessageBoxText(box);
                caption = qxtest::WindowText(box);
                ::PostMessageA(box, WM_COMMAND, c.answer, 0);
            });
        int result = (int)Run(target, driver);
        EXPECT_EQ(c.question ? 2 : 1, driver.StepsRun());
        if (c.question) {
            std::string expected = c.question;
            expected.replace(expected.find("%s"), 2, dataName);
            EXPECT_EQ(expected, asked);
            EXPECT_EQ("Attention", caption);
        }
        EXPECT_EQ(c.barRemains, layer->GetObject(barId) != nullptr);
        EXPECT_EQ(c.barRemains ? 0 : QU_ERRORBAR_REMOVED, result);
        EXPECT_EQ(c.dataRemains, qkfxGetProject().FindDataset(dataName) != nullptr);
    }
}

} // namespace

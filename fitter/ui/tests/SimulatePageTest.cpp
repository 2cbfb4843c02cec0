// The simulate page on the test library's parabola y = a + b x + c x^2: curves at uniform
// X and at the X of the fitting data, compared with the parabola evaluated here; counts
// that make no curve are refused; default names never take a dataset's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "SimulatePage.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"
#include "qxtest/Numeric.h"

namespace {

const double kA = 0.5, kB = -1.0, kC = 2.0;

double Parabola(double x) { return kA + kB * x + kC * x * x; }

class SimulatePageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseFunction("Quad", "a b c");
        UseData(kLineX, kLineY);
        s = Session();
        host.createDatasets = true;
        OpenAtPage(window, s, PAGE_ID_SIMULATE);
        page = s->pageWindow;
    }
    void TearDown() override
    {
        FinishFit(s, 0);
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    void TypeParameters()
    {
        qxtest::SetText(page, IDC_PARAM_VALUE + 1, "0.5");
        qxtest::SetText(page, IDC_PARAM_VALUE + 2, "-1");
        qxtest::SetText(page, IDC_PARAM_VALUE + 3, "2");
    }
    const TestDataset* Named(const char* name)
    {
        const QFitDataset h = host.FindByName(name);
        return h ? &host.Dataset(h) : nullptr;
    }
    FittingSession* s = nullptr;
    HWND page = nullptr;
};

}  // namespace

TEST_F(SimulatePageTest, UniformCurveMatchesTheModel)
{
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(PAGE_ID_SIMULATE, s->pageId);
    EXPECT_EQ(1, s->fitActive) << "the page runs on a begun fitting session";
    EXPECT_EQ("Quad_B", qxtest::GetText(page, IDC_SIM_NAME));
    EXPECT_EQ(0, qxtest::ListSelection(page, IDC_DEPENDENT_LIST));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_SIM_MATRIX)) << "one independent variable";

    TypeParameters();
    qxtest::Click(page, IDC_AFTER_UNIFORM);
    qxtest::SetText(page, IDC_VAR_BEGIN + 1, "-1");
    qxtest::SetText(page, IDC_VAR_END + 1, "3");
    qxtest::SetText(page, IDC_DEP_POINTS, "9");
    qxtest::Click(page, IDC_SIM_CREATE);

    const TestDataset* y = Named("Quad_B");
    const TestDataset* x = Named("Quad_A");
    ASSERT_TRUE(y != nullptr);
    ASSERT_TRUE(x != nullptr);
    EXPECT_EQ("Quad simulation", y->label);
    EXPECT_EQ("Independent variable", x->label);
    EXPECT_EQ(host.FindByName("Quad_A"), y->x);
    ASSERT_EQ(9u, y->values.size());
    for (int i = 0; i < 9; ++i) {
        const double xi = -1 + 0.5 * i;
        EXPECT_TRUE(qxtest::Close("x " + std::to_string(i), xi, x->values[i], 1e-12, 1e-12));
        EXPECT_TRUE(qxtest::Close("y " + std::to_string(i), Parabola(xi), y->values[i], 1e-12, 1e-12));
    }
    EXPECT_EQ("Quad_C", qxtest::GetText(page, IDC_SIM_NAME)) << "the next free name";
    EXPECT_EQ("rescale", host.scripts.back());

    // Counts that make no curve keep the count there was; a sheet name of the user's own.
    for (const char* points : {"1", "0", "x", "-5"}) {
        qxtest::SetText(page, IDC_DEP_POINTS, points);
        qxtest::SetText(page, IDC_SIM_NAME, "Mine_Y");
        qxtest::Click(page, IDC_SIM_CREATE);
        const TestDataset* mine = Named("Mine_Y");
        ASSERT_TRUE(mine != nullptr) << points;
        EXPECT_EQ(9u, mine->values.size()) << points;
    }
}

TEST_F(SimulatePageTest, SameXAsFittingData)
{
    ASSERT_TRUE(page != nullptr);
    TypeParameters();
    qxtest::Click(page, IDC_AFTER_SAME_X);
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_VAR_BEGIN + 1)) << "limits only for uniform X";
    qxtest::SetText(page, IDC_SIM_NAME, "Fit");
    qxtest::Click(page, IDC_SIM_CREATE);
    const TestDataset* y = Named("SIMULATE_Fit");
    ASSERT_TRUE(y != nullptr) << "without a '_' the worksheet is SIMULATE";
    EXPECT_EQ(host.FindByName("ydata"), y->x) << "at the X of the fitting data";
    ASSERT_EQ(kLineX.size(), y->values.size());
    for (size_t i = 0; i < kLineX.size(); ++i)
        EXPECT_TRUE(qxtest::Close("y " + std::to_string(i), Parabola(kLineX[i]), y->values[i], 1e-12, 1e-12));

    // The values typed are the session's when the page is left.
    qxtest::SetText(page, IDC_PARAM_VALUE + 1, "7");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_EQ(7.0, s->value[1]);
}

TEST_F(SimulatePageTest, DefaultNameNeverTakesADataset)
{
    ASSERT_TRUE(page != nullptr);
    for (char letter = 'B'; letter <= 'Y'; ++letter)
        host.AddDataset(std::string("Quad_") + letter, {1.0});
    char name[64];
    DefaultSimulationName(s, name, sizeof name);
    EXPECT_STREQ("Quad_B1", name);
}


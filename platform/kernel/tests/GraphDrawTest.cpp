// What a graph page draws, checked on its pixels. Expected places come from the model:
// the layer's frame (its area in percent of the page), the axis scale formulas and the
// plot's colour; text is checked by where its ink lies, never by its glyphs.
#include "KernelTest.h"
#include "TestDib.h"

#include <stdint.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <tuple>

#include "QKContour.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKAccess.h"
#include "QKFile.h"
#include "QKPlotModel.h"
#include "QKSysMethod.h"
#include "qxtest/Pixels.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kBlack = RGB(0, 0, 0);
const COLORREF kLtGray = RGB(192, 192, 192);
// Colour indexes of the kernel's table.
const int kRedIndex = 1, kGreenIndex = 2, kBlueIndex = 3, kMagentaIndex = 5, kYellowIndex = 6;

bool IsEmpty(RECT r)
{
    return IsRectEmpty(&r) != FALSE;
}

std::string Describe(const RECT& r)
{
    char buf[80];
    snprintf(buf, sizeof buf, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return buf;
}

// The scale formulas, written out again here: fraction along the axis of a value.
double Transform(int type, double v)
{
    switch (type) {
    case 1: return std::log10(v);
    case 7: return std::log(v);
    case 8: return std::log2(v);
    case 2: { // the normal quantile of a percentage, by bisection on erfc
        double lo = -10, hi = 10;
        for (int i = 0; i < 200; ++i) {
            const double mid = (lo + hi) / 2;
            (0.5 * std::erfc(-mid / std::sqrt(2.0)) < v / 100 ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }
    case 6: return std::log(v / (100 - v));
    case 4: return 1 / v;
    case 5: return 1 / (v + 273.15);
    default: return v;
    }
}

// The cases' lambdas take the fixture, so its helpers are public.
class DrawTest : public KernelTest {
public:
    static const int W = 800, H = 600;

    void SetUp() override
    {
        KernelTest::SetUp();
        page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
        layer = page->GetLayerByIndex(0, 1);
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        Range(QK_AXIS_X, 0, 10, 2);
        Range(QK_AXIS_Y, 0, 10, 2);
    }

    void Range(int axisType, double from, double to, double inc, int type = 0)
    {
        CQKAxes axes;
        ASSERT_TRUE(layer->GetAxes(&axes, axisType));
        axes.SetRangeFrom(Text(from));
        axes.SetRangeTo(Text(to));
        axes.SetRangeInc(Text(inc));
        axes.SetType(type);
        axes.SetMinorTickNum(1);
        layer->UpdateFromTemporary();
        xType = axisType == QK_AXIS_X ? type : xType;
        yType = axisType == QK_AXIS_Y ? type : yType;
        (axisType == QK_AXIS_X ? xFrom : yFrom) = from;
        (axisType == QK_AXIS_X ? xTo : yTo) = to;
    }
    // Changes the committed record of a dimension through the axes' working copy.
    void EditAxes(int axisType, std::function<void(CQKAxes&)> edit)
    {
        CQKAxes axes;
        ASSERT_TRUE(layer->GetAxes(&axes, axisType));
        edit(axes);
        layer->UpdateFromTemporary();
    }
    static std::string Text(double v)
    {
        char buf[40];
        snprintf(buf, sizeof buf, "%.17g", v);
        return buf;
    }

    CQKDataset* Column(const std::vector<double>& values)
    {
        CQKDataset* c = wks->AddColumn();
        for (size_t i = 0; i < values.size(); ++i)
            c->SetValue((int)i, values[i]);
        return c;
    }
    static QKPlotData Data(int role, CQKDataset* d)
    {
        QKPlotData p;
        p.role = role;
        p.dataset = d->GetName();
        p.handle = d->GetHandle();
        return p;
    }
    CQKPlotObj* Plot(int type, std::vector<QKPlotData> data, int color = kRedIndex)
    {
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(layer, type, data, &error);
        EXPECT_NE(nullptr, plot) << error;
        if (plot)
            plot->SetColor(color);
        return plot;
    }
    CQKPlotObj* XY(int type, const std::vector<double>& x, const std::vector<double>& y, int color = kRedIndex)
    {
        return Plot(type, {Data(QK_ROLE_Y, Column(y)), Data(QK_ROLE_X, Column(x))}, color);
    }
    // Drops the legend so that it covers nothing a case looks at.
    void NoLegend()
    {
        if (CQKTextObj* legend = layer->FindTextObj("Legend"))
            layer->RemoveDataObj(legend->GetId());
    }

    void Render(Dib& dib, RECT rect = {0, 0, W, H})
    {
        FillRect(dib.dc, &rect, (HBRUSH)GetStockObject(GRAY_BRUSH));
        ASSERT_TRUE(page->Draw(dib.dc, rect));
    }

    // The frame: 15 % from the left, 10 % from the top, 70 % of the page each way.
    double Left() const { return std::lround(0.15 * W); }
    double Top() const { return std::lround(0.10 * H); }
    double Right() const { return std::lround(0.85 * W); }
    double Bottom() const { return std::lround(0.80 * H); }
    double MapX(double v) const
    {
        return Left() + (Transform(xType, v) - Transform(xType, xFrom)) / (Transform(xType, xTo) - Transform(xType, xFrom)) * (Right() - Left());
    }
    double MapY(double v) const
    {
        return Bottom() - (Transform(yType, v) - Transform(yType, yFrom)) / (Transform(yType, yTo) - Transform(yType, yFrom)) * (Bottom() - Top());
    }
    double PixelsPerPoint() const { return W / 10.0 / 72.0; }

    // A new graph of three points plotted by the word (a 3D scatter's X, Y, Z columns, or
    // XYY for the walls, which stand at 1 along Y) on axes 0 to 10, small red symbols.
    CQKPlotObj* ThreePointsIn3D(const std::string& word, std::vector<std::array<double, 3>>& points)
    {
        qkfxGetProject().New();
        const bool xyy = word == "Walls";
        if (!Run("win -t wks; wks.ncols = 3"))
            return nullptr;
        auto* w = qkfxGetProject().GetActiveWks();
        w->GetColumn(3)->m_type = xyy ? QK_COLTYPE_DISREGARD : QK_COLTYPE_Z;
        points.clear();
        for (int row = 0; row < 3; ++row) {
            const double x = 2 + row, y = xyy ? 1 : 2 + row, z = 4 + 2 * row;
            w->GetColumn(1)->SetValue(row, x);
            w->GetColumn(2)->SetValue(row, xyy ? z : y);
            w->GetColumn(3)->SetValue(row, z);
            points.push_back({x, y, z});
        }
        if (!Run("worksheet -p 0 " + word))
            return nullptr;
        page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
        layer = page->GetActiveLayer();
        if (!dynamic_cast<CQK3DLayer*>(layer))
            return nullptr;
        // No point on a plane: every drop line has a length.
        for (int axis : {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z})
            Range(axis, 0, 10, 2);
        CQKPlotObj* plot = layer->PlotObjByIndex(0, 1);
        if (plot) {
            plot->SetColor(kRedIndex);
            plot->SetSymbolSize(3);
        }
        NoLegend();
        return plot;
    }

    // A drawing made on a fresh graph and the places its colours are looked for: each
    // colour must be within the case's radius of its place, or, not present, must not be.
    struct Probe {
        double x, y; // data coordinates
        COLORREF color;
        bool present = true;
    };
    struct Case {
        const char* kind;
        std::function<void(DrawTest&)> make;
        std::vector<Probe> probes;
        int radius = 1; // pixels
    };
    void ExpectDrawings(const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            qkfxGetProject().New();
            SetUp();
            c.make(*this);
            NoLegend();
            Dib dib(W, H);
            Render(dib);
            for (const Probe& p : c.probes)
                EXPECT_EQ(p.present, dib.Near(MapX(p.x), MapY(p.y), p.color, c.radius))
                    << c.kind << " at (" << p.x << ", " << p.y << ") colour " << std::hex << p.color;
        }
    }

    CQKGraphPage* page = nullptr;
    CQKGraphicLayer* layer = nullptr;
    CQKWksPage* wks = nullptr;
    int xType = 0, yType = 0;
    double xFrom = 0, xTo = 10, yFrom = 0, yTo = 10;
};

} // namespace

TEST_F(DrawTest, PaperFrameAndAxesLinesAreWhereTheLayerPutsThem)
{
    layer->SetBkgColor(TRUE);
    layer->SetBkgColorValue(kYellowIndex);
    Dib dib(W, H);
    Render(dib);
    EXPECT_EQ(kWhite, dib.At(5, 5)) << "paper";
    EXPECT_EQ(RGB(255, 255, 0), dib.At((int)MapX(5), (int)MapY(5))) << "layer background";
    // The four axis lines close the frame.
    EXPECT_TRUE(dib.Near(MapX(5), Bottom(), kBlack, 0));
    EXPECT_TRUE(dib.Near(MapX(5), Top(), kBlack, 0));
    EXPECT_TRUE(dib.Near(Left(), MapY(5), kBlack, 0));
    EXPECT_TRUE(dib.Near(Right(), MapY(5), kBlack, 0));
    EXPECT_EQ(kWhite, dib.At((int)Left() - 30, (int)Top() - 20)) << "outside the frame";
}

// Each plot kind, drawn alone: where its colour must be, and where it must not.
TEST_F(DrawTest, EachPlotKindDrawsItsDataWhereTheScalesPutThem)
{
    ExpectDrawings({
        {"line", [](DrawTest& t) { t.XY(QK_PLOT_LINE, {0, 10}, {0, 10}); },
         {{5, 5, kRed, true}, {2.5, 2.5, kRed, true}, {5, 2, kRed, false}}},
        {"scatter", [](DrawTest& t) { t.XY(QK_PLOT_SCATTER, {3, 7}, {3, 7}); },
         {{3, 3, kRed, true}, {7, 7, kRed, true}, {5, 5, kRed, false}}},
        {"line and symbol", [](DrawTest& t) { t.XY(QK_PLOT_LINE_SYMBOL, {2, 8}, {2, 2}); },
         {{2, 2, kRed, true}, {5, 2, kRed, true}, {5, 5, kRed, false}}},
        {"column", [](DrawTest& t) { t.XY(QK_PLOT_COLUMN, {5}, {6}); },
         {{5, 3, kLtGray, true}, {5, 8, kLtGray, false}, {2, 3, kLtGray, false}}},
        {"bar", [](DrawTest& t) { t.XY(QK_PLOT_BAR, {5}, {6}); },
         {{3, 5, kLtGray, true}, {8, 5, kLtGray, false}}},
        {"stacked columns",
         [](DrawTest& t) {
             t.XY(QK_PLOT_STACK_COLUMN, {5}, {2});
             CQKPlotObj* top = t.XY(QK_PLOT_STACK_COLUMN, {5}, {3});
             top->SetBKColor(kBlueIndex, 0);
         },
         {{5, 1, kLtGray, true}, {5, 4, kBlue, true}, {5, 6, kBlue, false}}},
        {"floating column",
         [](DrawTest& t) { t.Plot(QK_PLOT_FLOAT_COLUMN, {Data(QK_ROLE_Y, t.Column({7})), Data(QK_ROLE_X, t.Column({5})), Data(QK_ROLE_LOW, t.Column({3}))}); },
         {{5, 5, kLtGray, true}, {5, 2, kLtGray, false}, {5, 8, kLtGray, false}}},
        {"area with a pattern",
         [](DrawTest& t) {
             CQKPlotObj* p = t.XY(QK_PLOT_AREA, {0, 10}, {6, 6});
             p->SetBKColor(kGreenIndex, 0);
         },
         {{5, 3, kGreen, true}, {5, 8, kGreen, false}}},
        {"fill area between two curves",
         [](DrawTest& t) {
             CQKPlotObj* p = t.Plot(QK_PLOT_FILL_AREA, {Data(QK_ROLE_Y, t.Column({8, 8})), Data(QK_ROLE_X, t.Column({0, 10})), Data(QK_ROLE_LOW, t.Column({4, 4}))});
             p->SetBKColor(kGreenIndex, 0);
         },
         {{5, 6, kGreen, true}, {5, 2, kGreen, false}, {5, 9, kGreen, false}}},
        {"vertical drop lines", [](DrawTest& t) { t.XY(QK_PLOT_VERT_DROP_LINE, {5}, {6}); },
         {{5, 3, kRed, true}, {3, 3, kRed, false}}},
        {"horizontal drop lines", [](DrawTest& t) { t.XY(QK_PLOT_HORZ_DROP_LINE, {5}, {6}); },
         {{2, 6, kRed, true}, {2, 3, kRed, false}}},
        {"error bars",
         [](DrawTest& t) {
             CQKDataset* y = t.Column({5});
             t.Plot(QK_PLOT_SCATTER, {Data(QK_ROLE_Y, y), Data(QK_ROLE_X, t.Column({5}))}, kRedIndex);
             t.Plot(QK_PLOT_ERROR_BAR, {Data(QK_ROLE_Y_ERROR, t.Column({3})), Data(QK_ROLE_Y, y)}, kRedIndex);
         },
         {{5, 7.5, kRed, true}, {5, 2.5, kRed, true}, {5, 9, kRed, false}}},
        {"error bars along X",
         [](DrawTest& t) {
             CQKDataset* y = t.Column({5});
             t.Plot(QK_PLOT_SCATTER, {Data(QK_ROLE_Y, y), Data(QK_ROLE_X, t.Column({5}))}, kRedIndex);
             auto* bar = static_cast<CQKErrorBar*>(t.Plot(QK_PLOT_ERROR_BAR, {Data(QK_ROLE_Y_ERROR, t.Column({3})), Data(QK_ROLE_Y, y)}, kRedIndex));
             bar->EnableDirectionX(TRUE);
         },
         {{7.5, 5, kRed, true}, {2.5, 5, kRed, true}, {5, 7.5, kRed, false}, {9, 5, kRed, false}}},
        {"vectors from ends",
         [](DrawTest& t) { t.Plot(QK_PLOT_VECTOR, {Data(QK_ROLE_Y, t.Column({2})), Data(QK_ROLE_X, t.Column({2})), Data(QK_ROLE_X_END, t.Column({8})), Data(QK_ROLE_Y_END, t.Column({8}))}); },
         {{5, 5, kRed, true}, {5, 3, kRed, false}}},
        {"high-low-close",
         [](DrawTest& t) { t.Plot(QK_PLOT_HIGH_LOW_CLOSE, {Data(QK_ROLE_HIGH, t.Column({8})), Data(QK_ROLE_LOW, t.Column({2})), Data(QK_ROLE_Y, t.Column({5})), Data(QK_ROLE_X, t.Column({5}))}); },
         {{5, 3, kRed, true}, {5, 7, kRed, true}, {5, 9, kRed, false}}},
        {"pie", [](DrawTest& t) { t.Plot(QK_PLOT_PIE, {Data(QK_ROLE_Y, t.Column({1}))}); },
         {{5, 6, kLtGray, true}, {5, 9.9, kLtGray, false}}},
        {"box",
         [](DrawTest& t) {
             t.Range(QK_AXIS_X, 0, 2, 1);
             t.Plot(QK_PLOT_BOX, {Data(QK_ROLE_Y, t.Column({1, 2, 3, 4, 5, 6, 7, 8, 9}))});
         },
         {{0.9, 4, kLtGray, true}, {0.9, 8.5, kLtGray, false}, {1, 8.3, kRed, true}}},
        {"histogram",
         [](DrawTest& t) { t.Plot(QK_PLOT_HISTOGRAM, {Data(QK_ROLE_Y, t.Column({2.5, 3, 3.5, 7}))}); },
         {{3, 2.5, kLtGray, true}, {3, 3.5, kLtGray, false}, {7, 0.5, kLtGray, true}, {5, 0.5, kLtGray, false}}},
        {"bubble",
         [](DrawTest& t) { t.Plot(QK_PLOT_BUBBLE, {Data(QK_ROLE_Y, t.Column({5})), Data(QK_ROLE_X, t.Column({5})), Data(QK_ROLE_SIZE, t.Column({40}))}); },
         // 40 points across: 20 points from the centre is 0.36 of an X unit here.
         {{5.3, 5, kRed, true}, {5.5, 5, kRed, false}}},
        {"colour-mapped",
         [](DrawTest& t) { t.Plot(QK_PLOT_COLOR_MAPPED, {Data(QK_ROLE_Y, t.Column({5})), Data(QK_ROLE_X, t.Column({5})), Data(QK_ROLE_COLOR, t.Column({4}))}); },
         {{5, 5, kBlue, true}, {5, 5, kRed, false}}},
    });
}

// A point at a known value on every scale type lands where the type's formula puts it,
// and the major ticks stand at their values.
TEST_F(DrawTest, EveryScaleTypeMapsValuesAndTicksByItsFormula)
{
    struct Case {
        int type;
        double from, to, inc, value, tick;
    } cases[] = {
        {0, 0, 10, 2, 3, 4},           // linear
        {0, 10, 0, 2, 3, 4},           // linear, reversed
        {1, 1, 1000, 1, 30, 100},      // log10
        {2, 1, 99, 10, 70, 50},        // probability
        {3, 2, 8, 1, 6.5, 5},          // probit
        {4, 1, 10, 1, 2, 5},           // reciprocal
        {5, 0, 100, 20, 50, 60},       // offset reciprocal
        {6, 1, 99, 10, 80, 50},        // logit
        {7, 1, 100, 1, 5, std::exp(2.0)},   // ln
        {8, 1, 1024, 1, 40, 256},      // log2
    };
    for (const Case& c : cases) {
        qkfxGetProject().New();
        SetUp();
        Range(QK_AXIS_X, c.from, c.to, c.inc, c.type);
        Range(QK_AXIS_Y, c.from, c.to, c.inc, c.type);
        XY(QK_PLOT_SCATTER, {c.value}, {c.value});
        NoLegend();
        Dib dib(W, H);
        Render(dib);
        EXPECT_TRUE(dib.Near(MapX(c.value), MapY(c.value), kRed)) << "type " << c.type;
        // The major tick below the bottom axis (ticks go out by default).
        EXPECT_TRUE(dib.Near(MapX(c.tick), Bottom() + 3, kBlack)) << "tick of type " << c.type;
        EXPECT_FALSE(dib.Near(MapX(c.tick) + 0.5 * (MapX(c.to) - MapX(c.from)) / 40, Bottom() + 3, kBlack, 0))
            << "no tick beside the tick of type " << c.type;
    }
}

// The axis elements the axis dialog sets: ticks by type and length, minor ticks, grids,
// a break, tick labels with their custom ends and titles.
TEST_F(DrawTest, AxisElementsFollowTheirSettings)
{
    const double majorLen = 8 * PixelsPerPoint(); // 80 tenths of a point by default
    struct Case {
        const char* what;
        std::function<void(DrawTest&)> set;
        std::function<void(DrawTest&, const Dib&)> check;
    };
    const Case cases[] = {
        {"ticks out, minor ticks half as long",
         [](DrawTest&) {},
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(4), t.Bottom() + majorLen - 2, kBlack, 0));
             EXPECT_TRUE(d.Near(t.MapX(5), t.Bottom() + 2, kBlack, 0));
             EXPECT_FALSE(d.Near(t.MapX(5), t.Bottom() + majorLen - 2, kBlack, 0));
             EXPECT_FALSE(d.Near(t.MapX(4), t.Bottom() - 3, kBlack, 0)) << "no tick inside";
         }},
        {"ticks in",
         [](DrawTest& t) { t.EditAxes(QK_AXIS_X, [](CQKAxes& a) { a.Get1stAxis()->SetMajorTickType(1); }); },
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(4), t.Bottom() - 3, kBlack, 0));
             EXPECT_FALSE(d.Near(t.MapX(4), t.Bottom() + 3, kBlack, 0));
         }},
        {"no major ticks",
         [](DrawTest& t) { t.EditAxes(QK_AXIS_X, [](CQKAxes& a) { a.Get1stAxis()->SetMajorTickType(3); }); },
         [&](DrawTest& t, const Dib& d) { EXPECT_FALSE(d.Near(t.MapX(4), t.Bottom() + 3, kBlack, 0)); }},
        {"major and minor grids",
         [](DrawTest& t) {
             t.EditAxes(QK_AXIS_Y, [](CQKAxes& a) {
                 a.GetMajorGrid()->SetShow(TRUE);
                 a.GetMajorGrid()->SetColor(kBlueIndex);
                 a.GetMinorGrid()->SetShow(TRUE);
                 a.GetMinorGrid()->SetColor(kGreenIndex);
             });
         },
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(3), t.MapY(4), kBlue, 0));
             EXPECT_TRUE(d.Near(t.MapX(3), t.MapY(5), kGreen, 0));
             EXPECT_FALSE(d.Near(t.MapX(3), t.MapY(4.5), kBlue, 1));
         }},
        {"a break leaves 4 to 6 out at half the axis",
         [](DrawTest& t) {
             t.EditAxes(QK_AXIS_X, [](CQKAxes& a) {
                 CQKAxisBreak b;
                 b.SetEnable(TRUE);
                 b.SetRegionFrom("4");
                 b.SetRegionTo("6");
                 b.SetPosition(50);
                 a.SetBreak(b, 0);
             });
             t.XY(QK_PLOT_SCATTER, {2, 8}, {5, 5});
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             const double width = t.Right() - t.Left();
             EXPECT_TRUE(d.Near(t.Left() + 0.5 * 2 / 4 * width, t.MapY(5), kRed)) << "2 before the break";
             EXPECT_TRUE(d.Near(t.Left() + (0.5 + 0.5 * 2 / 4) * width, t.MapY(5), kRed)) << "8 after it";
             EXPECT_FALSE(d.Near(t.Left() + 0.5 * width, t.Bottom(), kBlack, 0)) << "the axis line has a gap";
         }},
        {"tick labels centred under their ticks, the first hidden by a custom label",
         [](DrawTest& t) { t.EditAxes(QK_AXIS_X, [](CQKAxes& a) { a.Get1stTickLabel()->SetManuBeginType(1); }); },
         [&](DrawTest& t, const Dib& d) {
             const int top = (int)(t.Bottom() + majorLen + 2), bottom = top + 40; // below the ticks
             for (double v : {2.0, 4.0, 10.0}) {
                 RECT region = {(int)t.MapX(v) - 20, top, (int)t.MapX(v) + 20, bottom};
                 RECT ink = d.Ink(region);
                 ASSERT_FALSE(IsRectEmpty(&ink)) << "label of " << v;
                 EXPECT_NEAR(t.MapX(v), (ink.left + ink.right) / 2.0, 3) << "label of " << v << Describe(ink);
             }
             // Narrow: the left axis's lowest label ends just left of here.
             RECT first = {(int)t.MapX(0) - 8, top, (int)t.MapX(0) + 8, bottom};
             EXPECT_TRUE(IsEmpty(d.Ink(first))) << "the first label is hidden";
         }},
        {"custom end label and minor labels",
         [](DrawTest& t) {
             t.EditAxes(QK_AXIS_X, [](CQKAxes& a) {
                 a.Get1stTickLabel()->SetManuEndType(3);
                 a.Get1stTickLabel()->SetManuEndLabel("END OF AXIS");
                 a.Get1stTickLabel()->SetMinorLabel(TRUE);
             });
         },
         [&](DrawTest& t, const Dib& d) {
             const int top = (int)(t.Bottom() + majorLen + 2), bottom = top + 40; // below the ticks
             RECT end = d.Ink({(int)t.MapX(10) - 80, top, (int)t.MapX(10) + 80, bottom});
             EXPECT_GT(end.right - end.left, 60) << "the long text stands at the end " << Describe(end);
             RECT minor = d.Ink({(int)t.MapX(5) - 10, top, (int)t.MapX(5) + 10, bottom});
             EXPECT_FALSE(IsRectEmpty(&minor)) << "a label at the minor tick";
         }},
        {"text tick labels from a dataset",
         [](DrawTest& t) {
             CQKDataset* names = t.Column({});
             names->SetText(1, "WWWWWW");
             const std::string name = names->GetName();
             t.EditAxes(QK_AXIS_X, [&](CQKAxes& a) {
                 a.Get1stTickLabel()->SetLabelType(1);
                 a.Get1stTickLabel()->SetDataSetName(name);
             });
         },
         [&](DrawTest& t, const Dib& d) {
             const int top = (int)(t.Bottom() + majorLen + 2), bottom = top + 40; // below the ticks
             RECT two = d.Ink({(int)t.MapX(2) - 60, top, (int)t.MapX(2) + 60, bottom});
             EXPECT_GT(two.right - two.left, 40) << "row 2's text at 2 " << Describe(two);
             EXPECT_TRUE(IsEmpty(d.Ink({(int)t.MapX(4) - 10, top, (int)t.MapX(4) + 10, bottom})))
                 << "no text for row 4";
         }},
        {"titles below the labels and left of them, reading upward",
         [](DrawTest& t) {
             CQKTextObj* xb = t.page->PgCreateCQKTextObj();
             xb->SetObjName("XB");
             xb->SetTextString("Time");
             t.layer->AddObject(xb);
             CQKTextObj* yl = t.page->PgCreateCQKTextObj();
             yl->SetObjName("YL");
             yl->SetTextString("Amplitude");
             t.layer->AddObject(yl);
         },
         [&](DrawTest& t, const Dib& d) {
             const double labelsBottom = t.Bottom() + majorLen + 3 * t.PixelsPerPoint() + 22 * t.PixelsPerPoint();
             RECT x = d.Ink({(int)t.Left(), (int)labelsBottom, (int)t.Right(), H});
             ASSERT_FALSE(IsRectEmpty(&x));
             EXPECT_NEAR((t.Left() + t.Right()) / 2, (x.left + x.right) / 2.0, 4) << Describe(x);
             RECT y = d.Ink({0, (int)t.Top(), (int)(t.Left() - 40), (int)t.Bottom()});
             ASSERT_FALSE(IsRectEmpty(&y));
             EXPECT_GT(y.bottom - y.top, 2 * (y.right - y.left)) << "rotated " << Describe(y);
             EXPECT_NEAR((t.Top() + t.Bottom()) / 2, (y.top + y.bottom) / 2.0, 4) << Describe(y);
         }},
        {"the top axis with ticks and labels when shown",
         [](DrawTest& t) {
             t.EditAxes(QK_AXIS_X, [](CQKAxes& a) {
                 a.Get2ndAxis()->SetMajorTickType(2);
                 a.Get2ndTickLabel()->SetShow(TRUE);
             });
         },
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(4), t.Top() - 3, kBlack, 0));
             RECT ink = d.Ink({(int)t.MapX(4) - 20, 0, (int)t.MapX(4) + 20, (int)(t.Top() - majorLen - 2)});
             ASSERT_FALSE(IsEmpty(ink));
             EXPECT_NEAR(t.MapX(4), (ink.left + ink.right) / 2.0, 3) << Describe(ink);
         }},
        {"numbers with thousands separated",
         [](DrawTest& t) {
             t.Range(QK_AXIS_X, 0, 20000, 10000);
             t.EditAxes(QK_AXIS_X, [](CQKAxes& a) { a.Get1stTickLabel()->SetFormatType(3); });
         },
         [&](DrawTest& t, const Dib& d) {
             const int top = (int)(t.Bottom() + majorLen + 2), bottom = top + 40;
             // "10,000" is wider than "10000" by the comma; both are centred on the tick.
             RECT ink = d.Ink({(int)t.MapX(10000) - 60, top, (int)t.MapX(10000) + 60, bottom});
             CQKTextStyle style;
             CQKTextDC text(d.dc, style, 0, t.PixelsPerPoint());
             EXPECT_NEAR(text.MeasureQuorixText("10,000", FALSE).cx, ink.right - ink.left, 4) << Describe(ink);
         }},
        {"axis at a value of the other axis",
         [](DrawTest& t) {
             t.EditAxes(QK_AXIS_X, [](CQKAxes& a) {
                 a.Get1stAxis()->SetPosition(2);
                 a.Get1stAxis()->SetPositionValue("5");
             });
         },
         [&](DrawTest& t, const Dib& d) { EXPECT_TRUE(d.Near(t.MapX(3), t.MapY(5), kBlack, 0)); }},
    };
    for (const Case& c : cases) {
        qkfxGetProject().New();
        SetUp();
        c.set(*this);
        Dib dib(W, H);
        Render(dib);
        SCOPED_TRACE(c.what);
        c.check(*this, dib);
    }
}

TEST_F(DrawTest, LegendShowsEachPlotsSampleAndName)
{
    XY(QK_PLOT_LINE, {0, 10}, {1, 1}, kRedIndex);
    XY(QK_PLOT_LINE, {0, 10}, {2, 2}, kBlueIndex);
    ASSERT_NE(nullptr, layer->FindTextObj("Legend"));
    Dib dib(W, H);
    Render(dib);
    // Inside the frame's top right: two sample lines, red above blue, then the names.
    const RECT corner = {(int)MapX(5), (int)Top() + 1, (int)Right() - 1, (int)MapY(5)};
    const RECT red = dib.Ink(corner, [](COLORREF c) { return c == kRed; });
    const RECT blue = dib.Ink(corner, [](COLORREF c) { return c == kBlue; });
    ASSERT_FALSE(IsRectEmpty(&red));
    ASSERT_FALSE(IsRectEmpty(&blue));
    EXPECT_LT(red.bottom, blue.top);
    const RECT names = dib.Ink({red.right + 1, red.top - 10, (int)Right() - 1, blue.bottom + 10},
                               [](COLORREF c) { return c != kWhite && c != kRed && c != kBlue; });
    EXPECT_GT(names.right - names.left, 30) << Describe(names);
}

// Inline codes change the run's size, place and colour; the measured box holds the ink.
TEST_F(DrawTest, TextCodesFormatTheirRuns)
{
    Dib dib(400, 200);
    CQKTextStyle style;
    style.size = 30;
    CQKTextDC text(dib.dc, style, 0, 1.0);
    const SIZE plain = text.MeasureQuorixText("AB", FALSE);
    const SIZE sup = text.MeasureQuorixText("A\\+(B)", FALSE);
    const SIZE two = text.MeasureQuorixText("A\r\nB", FALSE);
    EXPECT_GT(sup.cy, plain.cy) << "a superscript rises above the line";
    EXPECT_LT(sup.cx, plain.cx) << "and is smaller";
    EXPECT_NEAR(2 * plain.cy, two.cy, 2) << "two lines";
    EXPECT_GT(text.MeasureQuorixText("\\q(B)", FALSE).cx, text.MeasureQuorixText("B", FALSE).cx)
        << "an unknown code stays as text";

    const RECT all = {0, 0, 400, 200};
    FillRect(dib.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    const RECT at = {50, 50, 350, 150};
    const std::string s = "x\\c2(RED)\\-(i) \\g(abc) \\b(\\i(\\u(bold)))";
    text.DrawQuorixText(s, at, FALSE);
    const SIZE size = text.MeasureQuorixText(s, FALSE);
    const RECT ink = dib.Ink(all);
    EXPECT_GE(ink.left, at.left - 1);
    EXPECT_GE(ink.top, at.top - 1);
    EXPECT_LE(ink.right, at.left + size.cx + 2) << Describe(ink);
    EXPECT_LE(ink.bottom, at.top + size.cy + 2) << Describe(ink);
    const RECT red = dib.Ink(all, [](COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80; });
    EXPECT_FALSE(IsRectEmpty(&red)) << "\\c2 draws in red";
}

TEST_F(DrawTest, FindGrElementWalksBackwardsAndTheSelectionOutlivesNoElement)
{
    CQKPlotObj* line = XY(QK_PLOT_LINE, {0, 10}, {0, 10});
    RECT client = {0, 0, W, H};
    page->SetViewMode(2, 1); // the page fills the client area
    ASSERT_TRUE(page->SetDrawRect(client));
    EXPECT_EQ(line, page->FindGrElement((int)MapX(3), (int)MapY(3) + 2));
    EXPECT_EQ(layer->GetAxisPart(0, 0), page->FindGrElement((int)MapX(7), (int)Bottom() + 1));
    EXPECT_EQ(layer->GetAxisPart(1, 2), page->FindGrElement((int)Left() - 20, (int)MapY(4)));
    EXPECT_EQ(nullptr, page->FindGrElement((int)MapX(7), (int)MapY(2)));
    CQKTextObj* legend = layer->FindTextObj("Legend");
    ASSERT_NE(nullptr, legend);
    // The legend lies over the plot line where they cross: the later drawn wins.
    XY(QK_PLOT_LINE, {0, 10}, {9.3, 9.3});
    legend = layer->FindTextObj("Legend");
    EXPECT_EQ(legend, page->FindGrElement((int)MapX(8.5), (int)MapY(9.3)));

    LRESULT result = 1;
    const LPARAM at = MAKELPARAM((int)MapX(3), (int)MapY(3));
    EXPECT_TRUE(page->WindowProc(nullptr, WM_LBUTTONDOWN, 0, at, &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(line, page->GetStoredGrElement());
    EXPECT_EQ((int)MapX(3), page->GetCurrentPoint().x);
    // A double click selects too and leaves the dialog to the view.
    EXPECT_FALSE(page->WindowProc(nullptr, WM_LBUTTONDBLCLK, 0, MAKELPARAM((int)MapX(7), (int)Bottom()), &result));
    EXPECT_EQ(layer->GetAxisPart(0, 0), page->GetStoredGrElement());
    EXPECT_EQ(1, page->OnKeyDown(VK_ESCAPE, 1, 0));
    EXPECT_EQ(nullptr, page->GetStoredGrElement());
    EXPECT_EQ(0, page->OnKeyDown(VK_ESCAPE, 1, 0));

    page->SetStoredGrElement(line);
    EXPECT_EQ(line, page->GetStoredGrElement());
    layer->RemoveDataObj(line->GetId());
    EXPECT_EQ(nullptr, page->GetStoredGrElement()) << "a deleted element is no longer answered";
}

TEST_F(DrawTest, ScreenItemsMarkTheSelection)
{
    CQKPlotObj* line = XY(QK_PLOT_LINE, {2, 8}, {2, 8});
    NoLegend();
    page->SetViewMode(2, 1);
    RECT client = {0, 0, W, H};
    page->SetDrawRect(client);
    page->SetStoredGrElement(line);
    Dib dib(W, H);
    Render(dib);
    EXPECT_TRUE(dib.Near(MapX(2), MapY(8), kWhite, 0));
    page->DrawScreenItems(dib.dc);
    // Handles at the corners of the line's box.
    EXPECT_TRUE(dib.Near(MapX(2), MapY(8), kBlack, 2));
    EXPECT_TRUE(dib.Near(MapX(8), MapY(2), kBlack, 2));
}

// Merging points on one pixel column must not change a single pixel.
TEST_F(DrawTest, MergedLineIsTheFullDrawingPixelForPixel)
{
    std::vector<double> x, y;
    const int n = 200000;
    unsigned seed = 12345;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245 + 12345;
        x.push_back(10.0 * i / (n - 1));
        y.push_back(5 + 4 * std::sin(x.back() * 3) + ((seed >> 16) % 1000) / 1000.0);
    }
    XY(QK_PLOT_LINE, x, y);
    NoLegend();
    Dib merged(W, H), full(W, H);
    qkfxSetPointMerging(TRUE);
    Render(merged);
    qkfxSetPointMerging(FALSE);
    Render(full);
    qkfxSetPointMerging(TRUE);
    size_t differ = 0;
    for (size_t i = 0; i < (size_t)W * H; ++i)
        differ += merged.bits[i] != full.bits[i];
    EXPECT_EQ(0u, differ);
    EXPECT_FALSE(IsEmpty(merged.Ink({0, 0, W, H}, [](COLORREF c) { return c == kRed; })));
}

TEST_F(DrawTest, LayoutDrawsItsGraphsScaledIntoTheirPlaces)
{
    XY(QK_PLOT_SCATTER, {5}, {5}, kRedIndex);
    NoLegend();
    CQKGraphPage* second = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    CQKGraphicLayer* first = layer;
    layer = second->GetLayerByIndex(0, 1);
    Range(QK_AXIS_X, 0, 10, 2);
    Range(QK_AXIS_Y, 0, 10, 2);
    XY(QK_PLOT_SCATTER, {2}, {8}, kBlueIndex);
    NoLegend();
    layer = first;
    CQKGraphPage* layout = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_LAYOUT));
    std::string error;
    ASSERT_NE(nullptr, qkfxAddLayoutGraph(layout, page->GetName(), 0, 0, 0.5, 0.5, &error)) << error;
    ASSERT_NE(nullptr, qkfxAddLayoutGraph(layout, second->GetName(), 0.5, 0.5, 1, 1, &error)) << error;
    ASSERT_NE(nullptr, qkfxAddLayoutText(layout, "Figure 1", 0.6, 0.1));
    EXPECT_EQ(nullptr, qkfxAddLayoutGraph(layout, wks->GetName(), 0, 0, 1, 1, &error));
    EXPECT_NE(std::string::npos, error.find("not a graph"));
    EXPECT_EQ(nullptr, qkfxAddLayoutGraph(page, second->GetName(), 0, 0, 1, 1, &error)) << "a graph holds no graphs";

    Dib dib(W, H);
    const RECT whole = {0, 0, W, H};
    FillRect(dib.dc, &whole, (HBRUSH)GetStockObject(GRAY_BRUSH));
    ASSERT_TRUE(layout->Draw(dib.dc, whole));
    // Each graph's frame, at half the scale, in its quarter of the layout.
    EXPECT_TRUE(dib.Near(MapX(5) / 2, MapY(5) / 2, kRed));
    EXPECT_TRUE(dib.Near(W / 2 + MapX(2) / 2, H / 2 + MapY(8) / 2, kBlue));
    EXPECT_FALSE(dib.Near(MapX(5) / 2 + W / 2, MapY(5) / 2, kRed, 3));
    const RECT text = dib.Ink({(int)(0.6 * W) - 2, (int)(0.1 * H) - 2, W, H / 2});
    EXPECT_GE(text.left, (int)(0.6 * W) - 1) << Describe(text);
    EXPECT_GE(text.top, (int)(0.1 * H) - 1) << Describe(text);
}

// Add Graph and Add Worksheet: each window at the next quarter of the layout, keeping its
// shape; the worksheet's table drawn there; both kept in the project.
TEST_F(DrawTest, LayoutAddsGraphsAndWorksheetsAtTheNextFreePlace)
{
    XY(QK_PLOT_SCATTER, {5}, {5}, kRedIndex);
    NoLegend();
    CQKAccess* access = qkfxGetAccess();
    CQKGraphPage* layout = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_LAYOUT));
    qkfxGetProject().SetActivePage(page);
    EXPECT_EQ(0, access->on_before_run_command("STANDARD", 33045)) << "a graph is no layout";
    qkfxGetProject().SetActivePage(layout);
    EXPECT_EQ(1, access->on_before_run_command("STANDARD", 33045));
    EXPECT_EQ(1, access->on_before_run_command("STANDARD", 33046));
    EXPECT_FALSE(Run("layout -g " + wks->GetName()));
    EXPECT_NE(std::string::npos, err.find("not a graph")) << err;
    EXPECT_FALSE(Run("layout -g")) << "no window to ask in";
    ASSERT_TRUE(Run("layout -g " + page->GetName())) << err;
    ASSERT_TRUE(Run("layout -w " + wks->GetName())) << err;

    std::vector<CQKLayoutGraphObj*> placed;
    CQKGraphicLayer* held = layout->GetLayerByIndex(0, 1);
    for (int id : held->GetObjectIds())
        placed.push_back(dynamic_cast<CQKLayoutGraphObj*>(held->GetObject(id)));
    ASSERT_EQ(2u, placed.size());
    ASSERT_NE(nullptr, placed[0]);
    ASSERT_NE(nullptr, dynamic_cast<CQKLayoutWksObj*>(placed[1]));
    // The graph in the top-left quarter with the page's shape, the worksheet beside it.
    double pw, ph;
    page->GetPageSizeInches(pw, ph);
    const CQKLayoutGraphObj& g = *placed[0];
    EXPECT_LT(g.m_right, 0.5);
    EXPECT_LT(g.m_bottom, 0.5);
    EXPECT_NEAR((g.m_right - g.m_left) / (g.m_bottom - g.m_top), 1.0, 1e-9) << "the layout shares the graph's page size";
    const CQKLayoutGraphObj& t = *placed[1];
    EXPECT_GT(t.m_left, 0.5);
    EXPECT_LT(t.m_top, 0.5);

    for (int c = 1; c <= 2; ++c)
        for (int r = 0; r < 3; ++r)
            wks->GetColumn(c)->SetValue(r, 10 * c + r);
    Dib dib(W, H);
    const RECT whole = {0, 0, W, H};
    ASSERT_TRUE(layout->Draw(dib.dc, whole));
    EXPECT_TRUE(dib.Near(g.m_left * W + MapX(5) * (g.m_right - g.m_left), g.m_top * H + MapY(5) * (g.m_bottom - g.m_top), kRed));
    const RECT cell = {(int)std::lround(t.m_left * W), (int)std::lround(t.m_top * H), (int)std::lround(t.m_right * W),
                       (int)std::lround(t.m_bottom * H)};
    const RECT ink = dib.Ink(cell, [](COLORREF c) { return c == RGB(0, 0, 0); });
    EXPECT_FALSE(IsRectEmpty(&ink)) << "the worksheet's numbers and headings";
    const RECT outside = dib.Ink({cell.right + 2, cell.top, W, cell.bottom}, [](COLORREF c) { return c == RGB(0, 0, 0); });
    EXPECT_TRUE(IsRectEmpty(&outside)) << Describe(outside);

    const std::string dump = qkfxDumpProject();
    EXPECT_NE(std::string::npos, dump.find("layoutWks")) << dump;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ("", Diff(dump, qkfxDumpProject()));
}

// Printing: the page placed by PrepareDCForPrinting on a printer-sized DIB is the screen
// drawing scaled. Tolerance: one screen pixel for the places of marks, lines and ink
// boxes, since both round to their own device grid.
TEST_F(DrawTest, PrintedPageIsTheScreenDrawingScaled)
{
    XY(QK_PLOT_LINE_SYMBOL, {1, 5, 9}, {2, 8, 3});
    CQKTextObj* xb = page->PgCreateCQKTextObj();
    xb->SetObjName("XB");
    xb->SetTextString("Concentration");
    layer->AddObject(xb);
    const int scale = 4;
    Dib screen(W, H);
    Render(screen);
    Dib printer(W * scale + 200, H * scale + 100);
    QKPrintInfo info;
    info.rectDraw = {100, 50, 100 + W * scale, 50 + H * scale};
    page->OnBeginDC(printer.dc, 0);
    ASSERT_TRUE(page->PrepareDCForPrinting(printer.dc, info));
    EXPECT_EQ(W * scale, info.pageRect.right - info.pageRect.left);
    const RECT sheet = {0, 0, printer.w, printer.h};
    FillRect(printer.dc, &sheet, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ASSERT_TRUE(page->Draw(printer.dc, info.pageRect));
    page->OnEndDC(printer.dc, 0);

    auto scaled = [&](const RECT& r) {
        return RECT{(r.left - info.pageRect.left) / scale, (r.top - info.pageRect.top) / scale,
                    (r.right - info.pageRect.left + scale - 1) / scale, (r.bottom - info.pageRect.top + scale - 1) / scale};
    };
    auto red = [](COLORREF c) { return c == kRed; };
    const RECT s = screen.Ink({0, 0, W, H}, red);
    const RECT p = scaled(printer.Ink({0, 0, printer.w, printer.h}, red));
    const int tol = 2; // a symbol's half size rounds on each device
    EXPECT_NEAR(s.left, p.left, tol) << Describe(s) << Describe(p);
    EXPECT_NEAR(s.top, p.top, tol);
    EXPECT_NEAR(s.right, p.right, tol);
    EXPECT_NEAR(s.bottom, p.bottom, tol);
    // All ink (axes, labels, title): the same box.
    const RECT sa = screen.Ink({0, 0, W, H});
    const RECT pa = scaled(printer.Ink({info.pageRect.left, info.pageRect.top, info.pageRect.right, info.pageRect.bottom}));
    EXPECT_NEAR(sa.left, pa.left, 3) << Describe(sa) << Describe(pa);
    EXPECT_NEAR(sa.top, pa.top, 3);
    EXPECT_NEAR(sa.right, pa.right, 3);
    EXPECT_NEAR(sa.bottom, pa.bottom, 3);
}

// Contours are the 3D library's drawing: its lines lie inside the frame, over the part of
// the matrix the axes show, and stay clear of the part they do not.
TEST_F(DrawTest, ContourPlotIsDrawnByTheLibraryInsideTheLayerFrame)
{
    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 9 9")) << err;
    auto* matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().GetActiveMatrix());
    matrix->m_x1 = matrix->m_y1 = 0;
    matrix->m_x2 = matrix->m_y2 = 8;
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c)
            matrix->SetCell(r, c, (c - 5) * (c - 5) + (r - 5) * (r - 5));
    ASSERT_TRUE(Run("matrix -p 0 ContourBW")) << err;
    page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
    layer = page->GetActiveLayer();
    Range(QK_AXIS_X, 0, 16, 2);
    Range(QK_AXIS_Y, 0, 16, 2);
    NoLegend();
    Dib dib(W, H);
    Render(dib);
    auto ink = [](COLORREF c) { return c != kWhite; };
    const RECT inside = dib.Ink({(int)Left() + 2, (int)Top() + 2, (int)Right() - 1, (int)Bottom() - 1}, ink);
    ASSERT_FALSE(IsEmpty(inside)) << "the contour lines";
    EXPECT_LE(inside.right, MapX(8) + 2) << Describe(inside);
    EXPECT_GE(inside.top, MapY(8) - 2) << Describe(inside);
}

// Plots keep their colour indexes: an edited colour shows at once, and an index past a
// shortened table still draws, in the colour it wraps round to.
TEST_F(DrawTest, PlotsDrawInTheEditedColourTable)
{
    NoLegend();
    XY(QK_PLOT_LINE, {0, 10}, {5, 5}, kRedIndex);
    XY(QK_PLOT_LINE, {0, 10}, {2, 2}, 3);
    const COLORREF teal = RGB(0, 128, 96), plum = RGB(120, 40, 100);
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, DWORD>> table;
        COLORREF at5, at2;
    } cases[] = {
        {"index 1 edited", {{"Black", 0}, {"Teal", teal}, {"Green", RGB(0, 255, 0)}, {"Blue", RGB(0, 0, 255)}}, teal, RGB(0, 0, 255)},
        {"index 3 past a table of two", {{"Plum", plum}, {"Teal", teal}}, teal, teal},
        {"one colour", {{"Plum", plum}}, plum, plum},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CQKColor::SetColors(c.table)) << c.what;
        Dib dib(W, H);
        Render(dib);
        EXPECT_TRUE(dib.Near(MapX(5), MapY(5), c.at5, 1)) << c.what;
        EXPECT_TRUE(dib.Near(MapX(5), MapY(2), c.at2, 1)) << c.what;
    }
    CQKColor::RestoreQuorixDefaultColors();
}

// Each 3D kind, from a matrix or from columns, drawn by the 3D library into the layer's
// box: the plot's colour (or its band's) lies where the layer maps a data point, and the
// axes of a new graph span the data.
TEST_F(DrawTest, Each3DKindDrawsItsColourWhereTheLayerMapsItsData)
{
    struct Case {
        const char* word;
        bool fromMatrix;
        double x, y, z;     // a data point on the plot's visible face
        COLORREF color;     // what must be near it
    };
    // The matrix: 5 x 5 over X 0..4, Y 0..4, a plane Z = X + Y rising away from the eye.
    const Case cases[] = {
        {"ColorFill", true, 2.5, 2.5, 5, kRed},
        {"WireFrame", true, 2, 2, 4, kRed},
        {"WireSurface", true, 2, 2, 4, kRed},
        {"ColorMap", true, 2.5, 2, 4.5, RGB(160, 220, 0)}, // Z 4.5 of 0..8: the fifth of eight bands
        {"3DBars", true, 2, 2, 4, kRed},
        {"3DScatter", false, 3, 3, 6, kRed},
        {"Trajectory", false, 2.5, 2.5, 5, kRed}, // midway between two joined points
        // XYY: the first plot stands at 1 along Y, its values rise along Z.
        {"Ribbon", false, 2.5, 1, 5, kRed},
        {"Walls", false, 2.5, 1, 2.5, kRed},
        {"3DBar", false, 3, 1, 3, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        qkfxGetProject().New();
        if (c.fromMatrix) {
            ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 5 5")) << err;
            auto* matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().GetActiveMatrix());
            matrix->m_x1 = matrix->m_y1 = 0;
            matrix->m_x2 = matrix->m_y2 = 4;
            for (int r = 1; r <= 5; ++r)
                for (int col = 1; col <= 5; ++col)
                    matrix->SetCell(r, col, (r - 1) + (col - 1));
            ASSERT_TRUE(Run(std::string("matrix -p 0 ") + c.word)) << err;
        } else {
            ASSERT_TRUE(Run("win -t wks; wks.ncols = 3")) << err;
            auto* w = qkfxGetProject().GetActiveWks();
            const bool xyy = c.y == 1;
            w->GetColumn(3)->m_type = xyy ? QK_COLTYPE_DISREGARD : QK_COLTYPE_Z;
            for (int row = 0; row < 3; ++row) {
                w->GetColumn(1)->SetValue(row, 2 + row);
                w->GetColumn(2)->SetValue(row, xyy ? 4 + 2 * row : 2 + row);
                w->GetColumn(3)->SetValue(row, 4 + 2 * row);
            }
            ASSERT_TRUE(Run(std::string("worksheet -p 0 ") + c.word)) << err;
        }
        page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
        layer = page->GetActiveLayer();
        ASSERT_TRUE(layer->Is3DLayer());
        // A new graph's axes span the data with round ends.
        for (int axis : {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z}) {
            double lo, hi;
            ASSERT_TRUE(qkfxGetDataRange(layer, axis, lo, hi));
            const QKAxisRecord& r = layer->GetAxisRecord(axis);
            EXPECT_LE(atof(r.from.c_str()), lo) << axis;
            EXPECT_GE(atof(r.to.c_str()), hi) << axis;
        }
        CQKPlotObj* plot = layer->PlotObjByIndex(0, 1);
        ASSERT_NE(nullptr, plot);
        plot->SetColor(kRedIndex);
        NoLegend();
        Dib dib(W, H);
        Render(dib);
        const RECT frame = {(LONG)Left(), (LONG)Top(), (LONG)Right(), (LONG)Bottom()};
        POINT at;
        ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, c.x, c.y, c.z, at));
        EXPECT_TRUE(dib.Near(at.x, at.y, c.color, 3)) << "at " << at.x << ", " << at.y;
        const RECT ink = dib.Ink(frame, [&](COLORREF p) { return p == c.color; });
        EXPECT_FALSE(IsEmpty(ink));
        // The drawing stays inside the layer's frame.
        const RECT all = dib.Ink({0, 0, W, H}, [&](COLORREF p) { return p == c.color; });
        EXPECT_GE(all.left, frame.left - 2);
        EXPECT_LE(all.right, frame.right + 2);
        if (const char* dir = getenv("QX_SHOT_DIR"))
            qxtest::CaptureDC(dib.dc, {0, 0, W, H}).WritePng(std::string(dir) + "\\3d-" + c.word + ".png");
    }
}

// Drop lines of 3D plots run from each point parallel to an axis to the plane across it
// (parallel to Z to the XY plane, to X the YZ plane, to Y the ZX plane), in their own
// style, width and colour. Expected: a point of the data segment from the point to where
// the plane stands (read back from the layer after drawing) maps onto the line; beside
// the line, across its projected direction, only a wide pen leaves its colour.
TEST_F(DrawTest, ThreeDDropLinesRunFromEachPointToThePlanes)
{
    enum { TO_Z, TO_X, TO_Y };
    struct Probe {
        int row, toward;
        double across; // pixels beside the line, across it
        COLORREF color;
        bool present;
    };
    struct Case {
        const char* name;
        const char* word;
        std::function<void(CQKPlotObj*)> set;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"none", "3DScatter", [](CQKPlotObj*) {},
         {{1, TO_Z, 0, kBlue, false}, {1, TO_X, 0, kBlue, false}, {1, TO_Y, 0, kBlue, false}}},
        {"parallel to Z", "3DScatter", [](CQKPlotObj* p) { p->SetDropLineType(4); p->SetZLineColor(kBlueIndex); },
         {{0, TO_Z, 0, kBlue, true}, {1, TO_Z, 0, kBlue, true}, {2, TO_Z, 0, kBlue, true}, {1, TO_X, 0, kBlue, false},
          {1, TO_Y, 0, kBlue, false}}},
        {"parallel to X", "3DScatter", [](CQKPlotObj* p) { p->SetDropLineType(2); p->SetHoriLineColor(kBlueIndex); },
         {{1, TO_X, 0, kBlue, true}, {1, TO_Z, 0, kBlue, false}, {1, TO_Y, 0, kBlue, false}}},
        {"parallel to Y", "3DScatter", [](CQKPlotObj* p) { p->SetDropLineType(1); p->SetVertLineColor(kBlueIndex); },
         {{1, TO_Y, 0, kBlue, true}, {1, TO_Z, 0, kBlue, false}, {1, TO_X, 0, kBlue, false}}},
        {"all three, each its colour", "3DScatter",
         [](CQKPlotObj* p) {
             p->SetDropLineType(7);
             p->SetZLineColor(kBlueIndex);
             p->SetHoriLineColor(kGreenIndex);
             p->SetVertLineColor(kMagentaIndex);
         },
         {{1, TO_Z, 0, kBlue, true}, {1, TO_X, 0, kGreen, true}, {1, TO_Y, 0, RGB(255, 0, 255), true}}},
        {"automatic colour", "3DScatter", [](CQKPlotObj* p) { p->SetDropLineType(4); },
         {{1, TO_Z, 0, kRed, true}}},
        {"thin", "3DScatter", [](CQKPlotObj* p) { p->SetDropLineType(4); p->SetZLineColor(kBlueIndex); },
         {{1, TO_Z, 2, kBlue, false}, {1, TO_Z, -2, kBlue, false}}},
        {"wide", "3DScatter",
         [](CQKPlotObj* p) {
             p->SetDropLineType(4);
             p->SetZLineColor(kBlueIndex);
             p->SetZLineWidth(6);
         },
         {{1, TO_Z, 2, kBlue, true}, {1, TO_Z, -2, kBlue, true}}},
        {"skip every 2nd", "3DScatter",
         [](CQKPlotObj* p) {
             p->SetDropLineType(4);
             p->SetZLineColor(kBlueIndex);
             p->SetSkipPlottingSymbols(TRUE);
             p->SetSkipFrequency(2);
         },
         {{0, TO_Z, 0, kBlue, true}, {1, TO_Z, 0, kBlue, false}, {2, TO_Z, 0, kBlue, true}}},
        {"trajectory", "Trajectory", [](CQKPlotObj* p) { p->SetDropLineType(4); p->SetZLineColor(kBlueIndex); },
         {{0, TO_Z, 0, kBlue, true}, {2, TO_Z, 0, kBlue, true}}},
        // Walls stand at 1 along Y; their points' lines parallel to Y leave the wall.
        {"walls", "Walls", [](CQKPlotObj* p) { p->SetDropLineType(1); p->SetVertLineColor(kBlueIndex); },
         {{0, TO_Y, 0, kBlue, true}, {1, TO_Y, 0, kBlue, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::array<double, 3>> points;
        CQKPlotObj* plot = ThreePointsIn3D(c.word, points);
        ASSERT_NE(nullptr, plot) << err;
        auto* layer3D = dynamic_cast<CQK3DLayer*>(layer);
        c.set(plot);
        Dib dib(W, H);
        Render(dib);
        // Where each plane stands after the drawing put the planes on the far sides.
        double plane[3];
        const double percent[3] = {layer3D->GetYZPosition(), layer3D->GetZXPosition(), layer3D->GetXYPosition()};
        for (int d = 0; d < 3; ++d) {
            const QKAxisRecord& r = layer->GetAxisRecord(d == 0 ? QK_AXIS_X : d == 1 ? QK_AXIS_Y : QK_AXIS_Z);
            const double from = atof(r.from.c_str()), to = atof(r.to.c_str());
            plane[d] = from + percent[d] / 100 * (to - from);
        }
        const RECT frame = {(LONG)Left(), (LONG)Top(), (LONG)Right(), (LONG)Bottom()};
        for (const Probe& pr : c.probes) {
            const int dim = pr.toward == TO_Z ? 2 : pr.toward == TO_X ? 0 : 1;
            const auto& at = points[pr.row];
            std::array<double, 3> end = at, mid = at;
            end[dim] = plane[dim];
            mid[dim] = (at[dim] + end[dim]) / 2;
            POINT a, b, m;
            ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, at[0], at[1], at[2], a));
            ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, end[0], end[1], end[2], b));
            ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, mid[0], mid[1], mid[2], m));
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            ASSERT_GT(len, 20) << "row " << pr.row << ": the line is long enough to probe";
            const double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;
            const double px = m.x + nx * pr.across, py = m.y + ny * pr.across;
            EXPECT_EQ(pr.present, dib.Near(px, py, pr.color, pr.across ? 0 : 1))
                << "row " << pr.row << " toward " << pr.toward << " at " << px << ", " << py;
        }
        if (const char* dir = getenv("QX_SHOT_DIR"))
            qxtest::CaptureDC(dib.dc, {0, 0, W, H}).WritePng(std::string(dir) + "\\drop3d-" + c.word + "-" + std::to_string(&c - cases) + ".png");
    }
}

// A drop line's style reaches its pen: dashes leave gaps along the same lines.
TEST_F(DrawTest, ThreeDDropLineStyleDashesTheLine)
{
    std::vector<std::array<double, 3>> points;
    CQKPlotObj* plot = ThreePointsIn3D("3DScatter", points);
    ASSERT_NE(nullptr, plot) << err;
    plot->SetDropLineType(4);
    plot->SetZLineColor(kBlueIndex);
    plot->SetZLineWidth(1);
    auto blue = [&] {
        Dib dib(W, H);
        Render(dib);
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                n += dib.At(x, y) == kBlue;
        return n;
    };
    const int solid = blue();
    plot->SetZLineType(1); // dash
    const int dashed = blue();
    EXPECT_GT(solid, 150);
    EXPECT_LT(dashed, solid * 0.85);
    EXPECT_GT(dashed, solid * 0.3);
}

// The 3D view commands turn, tilt and deepen the layer's box; the view is saved with the
// project, and reset brings back the first view.
TEST_F(DrawTest, ThreeDViewCommandsMoveTheBoxAndTheProjectKeepsTheView)
{
    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 3 3; matrix -p 0 WireFrame")) << err;
    page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
    layer = page->GetActiveLayer();
    // A click inside the box finds the 3D plot, so that a double click opens its dialog.
    RECT client = {0, 0, W, H};
    page->SetViewMode(2, 1);
    ASSERT_TRUE(page->SetDrawRect(client));
    EXPECT_EQ(layer->PlotObjByIndex(0, 1), page->FindGrElement((int)(Left() + Right()) / 2, (int)(Top() + Bottom()) / 2));
    const RECT frame = {100, 100, 500, 400};
    POINT first;
    ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, 1, 1, 1, first));
    struct Case {
        const char* section;
        const char* args;
    };
    const Case cases[] = {{"OneToSix", "1"}, {"OneToSix", "2"}, {"OneToSix", "3"}, {"OneToSix", "4"},
                          {"OneToSix", "5"}, {"OneToSix", "6"}, {"Per3Plus", ""},  {"Per3Minus", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.args);
        ASSERT_TRUE(Run("run.section(3d, RotRestore)")) << err;
        POINT before, after;
        ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, 1, 1, 1, before));
        EXPECT_EQ(first.x, before.x);
        EXPECT_EQ(first.y, before.y);
        ASSERT_TRUE(Run(std::string("run.section(3d, ") + c.section + (*c.args ? std::string(", ") + c.args : "") + ")")) << err;
        ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, 1, 1, 1, after));
        EXPECT_TRUE(after.x != before.x || after.y != before.y);
    }
    ASSERT_TRUE(Run("run.section(3d, OneToSix, 2)")) << err;
    POINT turned, reopened;
    ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, 1, 1, 1, turned));
    const std::string before = qkfxDumpProject();
    EXPECT_NE(std::string::npos, before.find("view3D")) << before;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(before, qkfxDumpProject());
    layer = qkfxGetProject().GetActiveGraph()->GetActiveLayer();
    ASSERT_TRUE(qkfxMap3DPoint(*layer, frame, 1, 1, 1, reopened));
    EXPECT_EQ(turned.x, reopened.x);
    EXPECT_EQ(turned.y, reopened.y);
    // The rotation toolbar runs on a 3D layer and is grey elsewhere; a 2D layer has no
    // view to turn. The quick fits need a layer with plots.
    for (int id = 35552; id <= 35561; ++id)
        EXPECT_EQ(1, qkfxGetAccess()->on_before_run_command(nullptr, id)) << id;
    for (int id = 34163; id <= 34173; ++id)
        EXPECT_EQ(1, qkfxGetAccess()->on_before_run_command(nullptr, id)) << id;
    ASSERT_TRUE(Run("win -t plot")) << err;
    for (int id = 35552; id <= 35561; ++id)
        EXPECT_EQ(0, qkfxGetAccess()->on_before_run_command(nullptr, id)) << id;
    EXPECT_EQ(0, qkfxGetAccess()->on_before_run_command(nullptr, 36321)) << "Rescale with no plots";
    for (int id = 34163; id <= 34173; ++id)
        EXPECT_EQ(0, qkfxGetAccess()->on_before_run_command(nullptr, id)) << "a quick fit with no plots: " << id;
    EXPECT_FALSE(Run("layer -3d 1"));
    EXPECT_NE(std::string::npos, err.find("no 3D layer")) << err;
}

// Each setting of a 3D layer that Plot Details edits changes what the layer draws.
TEST_F(DrawTest, ThreeDLayerSettingsChangeTheDrawing)
{
    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 5 5")) << err;
    auto* matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().GetActiveMatrix());
    for (int r = 1; r <= 5; ++r)
        for (int col = 1; col <= 5; ++col)
            matrix->SetCell(r, col, r + col);
    ASSERT_TRUE(Run("matrix -p 0 ColorFill")) << err;
    page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
    auto* layer3D = dynamic_cast<CQK3DLayer*>(page->GetActiveLayer());
    ASSERT_NE(nullptr, layer3D);
    auto draw = [&](Dib& dib) { Render(dib); };
    const struct Case {
        const char* name;
        std::function<void(CQK3DLayer*)> change, undo;
    } cases[] = {
        {"length", [](CQK3DLayer* l) { l->SetZAxisLength(2); }, [](CQK3DLayer* l) { l->SetZAxisLength(1); }},
        {"rotation", [](CQK3DLayer* l) { l->CalcRotAngles(); l->SetZRotation(l->GetZRotation() + 40, 1); },
         [](CQK3DLayer* l) { l->SetZRotation(l->GetZRotation() - 40, 1); }},
        {"perspective", [](CQK3DLayer* l) { l->SetPerspectiveAngle(30); }, [](CQK3DLayer* l) { l->SetPerspectiveAngle(1); }},
        {"projection", [](CQK3DLayer* l) { l->SetPerspectiveAngle(30); l->SetProjectionPrespective(FALSE); },
         [](CQK3DLayer* l) { l->SetPerspectiveAngle(1); l->SetProjectionPrespective(TRUE); }},
        {"labels", [](CQK3DLayer* l) { l->SetRotateLabel(TRUE); }, [](CQK3DLayer* l) { l->SetRotateLabel(FALSE); }},
        {"clipping", [](CQK3DLayer* l) { l->SetXTo(50); l->SetXYClipping(TRUE); },
         [](CQK3DLayer* l) { l->SetXYClipping(FALSE); }},
        {"plane", [](CQK3DLayer* l) { l->SetXYPlaneShown(FALSE); }, [](CQK3DLayer* l) { l->SetXYPlaneShown(TRUE); }},
        {"plane colour", [](CQK3DLayer* l) { l->SetZXColor(kYellowIndex); }, [](CQK3DLayer* l) { l->SetZXColor(18); }},
        {"plane position", [](CQK3DLayer* l) { l->SetAutoPosition(FALSE); l->SetXYPosition(50); },
         [](CQK3DLayer* l) { l->SetAutoPosition(TRUE); }},
        {"outline", [](CQK3DLayer* l) { l->SetEnableCubeOutline(TRUE); }, [](CQK3DLayer* l) { l->SetEnableCubeOutline(FALSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dib before(W, H), after(W, H);
        draw(before);
        c.change(layer3D);
        draw(after);
        c.undo(layer3D);
        int differ = 0;
        for (int y = 0; y < H; y += 2)
            for (int x = 0; x < W; x += 2)
                differ += before.At(x, y) != after.At(x, y);
        EXPECT_GT(differ, 20);
    }
}

// Each symbol shape and interior, drawn large at the middle of the layer: the edge and
// fill colours lie where the shape puts them (offsets in half sizes from the centre).
TEST_F(DrawTest, SymbolShapesAndInteriorsDrawTheirColoursWhereTheyBelong)
{
    struct Probe {
        double dx, dy;
        COLORREF color;
        bool present;
    };
    struct Case {
        int shape, fill;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {QK_SYMBOL_NONE, 0, {{0, 0, kRed, false}}},
        {QK_SYMBOL_SQUARE, 0, {{0, 0, kRed, true}, {0.8, 0.8, kRed, true}, {1.3, 0, kRed, false}}},
        {QK_SYMBOL_CIRCLE, 0, {{0, 0, kRed, true}, {0.85, 0.85, kRed, false}}},
        {QK_SYMBOL_UP_TRIANGLE, 0, {{0, 0.8, kRed, true}, {-0.8, -0.8, kRed, false}}},
        {QK_SYMBOL_DOWN_TRIANGLE, 0, {{0, -0.8, kRed, true}, {-0.8, 0.8, kRed, false}}},
        {QK_SYMBOL_DIAMOND, 0, {{0, 0, kRed, true}, {0.8, 0.8, kRed, false}}},
        {QK_SYMBOL_CROSS, 0, {{0.8, 0, kRed, true}, {0.5, 0.5, kRed, false}}},
        {QK_SYMBOL_X_CROSS, 0, {{0.5, 0.5, kRed, true}, {0.8, 0, kRed, false}}},
        {QK_SYMBOL_STAR, 0, {{0.8, 0, kRed, true}, {0.5, 0.5, kRed, true}, {0.7, 0.3, kRed, false}}},
        {QK_SYMBOL_HORIZONTAL_BAR, 0, {{0.8, 0, kRed, true}, {0, 0.8, kRed, false}}},
        {QK_SYMBOL_VERTICAL_BAR, 0, {{0, 0.8, kRed, true}, {0.8, 0, kRed, false}}},
        {QK_SYMBOL_LEFT_TRIANGLE, 0, {{0.8, 0, kRed, true}, {-0.8, 0.8, kRed, false}}},
        {QK_SYMBOL_RIGHT_TRIANGLE, 0, {{-0.8, 0, kRed, true}, {0.8, 0.8, kRed, false}}},
        {QK_SYMBOL_HEXAGON, 0, {{0.9, 0, kRed, true}, {0, 0.97, kRed, false}}},
        {QK_SYMBOL_PENTAGON, 0, {{0, -0.9, kRed, true}, {0.8, -0.8, kRed, false}}},
        // Interiors of a square, red edge, blue fill.
        {QK_SYMBOL_SQUARE, QK_SYMFILL_OPEN, {{0, 0, kBlue, true}, {0.95, 0, kRed, true}, {0, 0, kRed, false}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_DOT_CENTER, {{0, 0, kRed, true}, {0.6, 0, kBlue, true}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_HOLLOW, {{0, 0, kRed, false}, {0, 0, kBlue, false}, {0.95, 0, kRed, true}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_PLUS_CENTER, {{0.3, 0, kRed, true}, {0, 0.3, kRed, true}, {0.3, 0.3, kRed, false}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_MINUS_CENTER, {{0.3, 0, kRed, true}, {0, 0.3, kRed, false}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_BAR_CENTER, {{0, 0.3, kRed, true}, {0.3, 0, kRed, false}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_X_CENTER, {{0.25, 0.25, kRed, true}, {0.3, 0, kRed, false}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_HALF_UP, {{0, -0.5, kRed, true}, {0, 0.5, kBlue, true}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_HALF_RIGHT, {{0.5, 0, kRed, true}, {-0.5, 0, kBlue, true}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_HALF_DOWN, {{0, 0.5, kRed, true}, {0, -0.5, kBlue, true}}},
        {QK_SYMBOL_SQUARE, QK_SYMFILL_HALF_LEFT, {{-0.5, 0, kRed, true}, {0.5, 0, kBlue, true}}},
    };
    const double size = 40; // points
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(qkfxGetSymbolShapeName(c.shape)) + " " + qkfxGetSymbolFillName(c.fill));
        qkfxGetProject().New();
        SetUp();
        CQKPlotObj* plot = XY(QK_PLOT_SCATTER, {5}, {5});
        ASSERT_TRUE(plot->SetSymbolType(c.shape));
        ASSERT_TRUE(plot->SetSymbolFill(c.fill));
        ASSERT_TRUE(plot->SetSymbolSize(size));
        plot->SetFillColor(kBlueIndex);
        NoLegend();
        Dib dib(W, H);
        Render(dib);
        const double half = size * PixelsPerPoint() / 2;
        for (const Probe& p : c.probes)
            EXPECT_EQ(p.present, dib.Near(MapX(5) + p.dx * half, MapY(5) + p.dy * half, p.color))
                << "at (" << p.dx << ", " << p.dy << ") colour " << std::hex << p.color;
        if (const char* dir = getenv("QX_SHOT_DIR"))
            qxtest::CaptureDC(dib.dc, {(LONG)MapX(4), (LONG)MapY(6), (LONG)MapX(6), (LONG)MapY(4)})
                .WritePng(std::string(dir) + "\\symbol-" + std::to_string(c.shape + 100) + "-" + std::to_string(c.fill + 100) + ".png");
    }
    // A new plot's symbols take the Options' border width and fill colour.
    qkfxGetQrxSystem().GetRefSymbol().SetBorderWidth(20);
    qkfxGetQrxSystem().GetRefGraph().SetDefaultFillColor(kYellowIndex);
    CQKPlotObj* fresh = XY(QK_PLOT_SCATTER, {1}, {1});
    EXPECT_EQ(20, fresh->GetSymbolThickness());
    EXPECT_EQ(kYellowIndex, fresh->GetFillColor());
    qkfxGetQrxSystem().GetRefSymbol().SetBorderWidth(10);
    qkfxGetQrxSystem().GetRefGraph().SetDefaultFillColor(17);
    // Out-of-range values are refused and change nothing; a character symbol shows ink in
    // the edge colour where the point is.
    CQKPlotObj* plot = layer->PlotObjByIndex(0, 1);
    EXPECT_FALSE(plot->SetSymbolType(QK_SYMBOL_SHAPE_COUNT));
    EXPECT_FALSE(plot->SetSymbolFill(-1));
    EXPECT_FALSE(plot->SetSymbolSize(0));
    EXPECT_FALSE(plot->SetSymbolThickness(0));
    EXPECT_EQ(QK_SYMFILL_HALF_LEFT, plot->GetSymbolFill());
    ASSERT_TRUE(plot->SetSymbolStyle('W'));
    Dib dib(W, H);
    Render(dib);
    const double half = size * PixelsPerPoint() / 2;
    const RECT around = {(LONG)(MapX(5) - half), (LONG)(MapY(5) - half), (LONG)(MapX(5) + half), (LONG)(MapY(5) + half)};
    const RECT ink = dib.Ink(around, [](COLORREF p) { return p == kRed; });
    ASSERT_FALSE(IsEmpty(ink));
    EXPECT_GT(ink.right - ink.left, half / 2) << Describe(ink);
}

// A polar layer puts a point at its angle (X, degrees counter-clockwise from the right) and
// radius (Y, from the centre of the frame); its X axis is the circle, its Y axis the radius
// to the right. A layer that exchanges its axes puts X up the vertical and Y along the
// horizontal: plots, ticks and tick labels alike. The step words join points across, then
// up (or up, then across). A stacking layer draws a group's plots on one another. A ternary
// layer puts each row's X, Y and Z fractions into a triangle whose sides carry them.
TEST_F(DrawTest, PolarTernaryExchangedAndStepLayersPlaceTheDataByTheirOwnMapping)
{
    const double majorLen = 8 * PixelsPerPoint();
    const double kDegree = std::acos(-1.0) / 180;
    struct Case {
        const char* what;
        std::function<void(DrawTest&)> make;
        std::function<void(DrawTest&, const Dib&)> check;
    };
    // Exchanged: the device point of (x, y) with X from 0 to 10 and Y from 0 to 100.
    auto ex = [](DrawTest& t, double x, double y) {
        return POINT{(LONG)std::lround(t.Left() + y / 100 * (t.Right() - t.Left())),
                     (LONG)std::lround(t.Bottom() - x / 10 * (t.Bottom() - t.Top()))};
    };
    const Case cases[] = {
        {"polar",
         [](DrawTest& t) {
             t.layer->SetPolar(TRUE);
             t.Range(QK_AXIS_X, 0, 360, 30);
             t.XY(QK_PLOT_SCATTER, {0, 90, 225}, {5, 10, 8});
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             const double cx = (t.Left() + t.Right()) / 2, cy = (t.Top() + t.Bottom()) / 2;
             const double radius = std::min(t.Right() - t.Left(), t.Bottom() - t.Top()) / 2;
             auto at = [&](double degrees, double r, COLORREF color) {
                 return d.Near(cx + r / 10 * radius * std::cos(degrees * kDegree),
                               cy - r / 10 * radius * std::sin(degrees * kDegree), color, 1);
             };
             EXPECT_TRUE(at(0, 5, kRed));
             EXPECT_TRUE(at(90, 10, kRed));
             EXPECT_TRUE(at(225, 8, kRed));
             EXPECT_FALSE(d.Near(t.MapX(0), t.MapY(5), kRed, 3)) << "not where a plain layer puts it";
             EXPECT_TRUE(at(45, 10, kBlack)) << "the X axis circle";
             EXPECT_TRUE(at(160, 10, kBlack)) << "the X axis circle";
             EXPECT_FALSE(at(45, 6, kBlack));
             EXPECT_TRUE(at(0, 3, kBlack)) << "the Y axis radius";
             EXPECT_FALSE(d.Near(t.Left() + 3, t.Top() + 3, kBlack, 2)) << "no frame";
             // The angles' labels stand outside the circle, 90 degrees above it.
             RECT top = d.Ink({(LONG)cx - 20, (LONG)(cy - radius - 40), (LONG)cx + 20, (LONG)(cy - radius - majorLen)});
             EXPECT_FALSE(IsEmpty(top)) << "the label of 90 degrees";
         }},
        {"ternary",
         [](DrawTest& t) {
             // A triangle layer in place of the plain one, its fractions from 0 to 1.
             t.layer = t.page->AddLayer(false, true);
             t.page->DeleteLayer(0);
             for (int axis : {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z})
                 t.layer->SetAxisRange(axis, 0, 1, 0.2);
             t.Plot(QK_PLOT_SCATTER, {Data(QK_ROLE_Z, t.Column({2, 0})), Data(QK_ROLE_X, t.Column({1, 3})), Data(QK_ROLE_Y, t.Column({1, 1}))});
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             // The largest upright equilateral triangle in the frame, centred in it.
             const double side = std::min(t.Right() - t.Left(), (t.Bottom() - t.Top()) * 2 / std::sqrt(3.0));
             const double height = side * std::sqrt(3.0) / 2;
             const double left = (t.Left() + t.Right()) / 2 - side / 2, bottom = (t.Top() + t.Bottom()) / 2 + height / 2;
             auto at = [&](double u, double v) { return std::make_pair(left + u * side, bottom - v * height); };
             // (1, 1, 2): a quarter X, a quarter Y, half Z; (3, 1, 0) on the bottom side.
             auto [x1, y1] = at(0.25 + 0.5 / 2, 0.5);
             auto [x2, y2] = at(0.25, 0);
             EXPECT_TRUE(d.Near(x1, y1, kRed));
             EXPECT_TRUE(d.Near(x2, y2, kRed));
             auto [bx, by] = at(0.75, 0);
             auto [lx, ly] = at(0.25 / 2, 0.25);
             auto [rx, ry] = at(1 - 0.25 / 2, 0.25);
             EXPECT_TRUE(d.Near(bx, by, kBlack, 0)) << "the bottom side";
             EXPECT_TRUE(d.Near(lx, ly, kBlack, 1)) << "the left side";
             EXPECT_TRUE(d.Near(rx, ry, kBlack, 1)) << "the right side";
             EXPECT_FALSE(d.Near(t.Left() + 3, t.Top() + 3, kBlack, 2)) << "no frame";
             // Y's label of 0.4 below the bottom side, under its tick.
             auto [tx, ty] = at(0.4, 0);
             RECT label = d.Ink({(LONG)tx - 20, (LONG)(ty + majorLen), (LONG)tx + 20, (LONG)(ty + majorLen + 40)});
             EXPECT_FALSE(IsEmpty(label));
             EXPECT_NEAR((label.left + label.right) / 2.0, tx, 3) << Describe(label);
         }},
        {"exchanged",
         [](DrawTest& t) {
             t.Range(QK_AXIS_Y, 0, 100, 25);
             t.layer->SetExchangeAxes(TRUE);
             t.XY(QK_PLOT_SCATTER, {2}, {80});
             t.XY(QK_PLOT_COLUMN, {5}, {60});
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             const POINT p = ex(t, 2, 80);
             EXPECT_TRUE(d.Near(p.x, p.y, kRed));
             EXPECT_FALSE(d.Near(t.MapX(2), t.MapY(80), kRed, 3)) << "not where a plain layer puts it";
             // The column at X = 5 grows from the left to 60.
             for (auto [x, y, present] : {std::tuple<double, double, bool>{5, 30, true}, {5, 80, false}, {3.5, 30, false}}) {
                 const POINT q = ex(t, x, y);
                 EXPECT_EQ(present, d.Near(q.x, q.y, kLtGray, 0)) << "column at (" << x << ", " << y << ")";
             }
             // X's ticks stand out to the left, Y's below.
             const POINT x4 = ex(t, 4, 0), y50 = ex(t, 0, 50);
             EXPECT_TRUE(d.Near(t.Left() - majorLen + 2, x4.y, kBlack, 0));
             EXPECT_TRUE(d.Near(y50.x, t.Bottom() + majorLen - 2, kBlack, 0));
             EXPECT_FALSE(d.Near(t.MapX(4), t.Bottom() + majorLen - 2, kBlack, 0)) << "no X tick below";
             // X's label of 2 beside its tick on the left, where no Y label stands.
             const POINT x2 = ex(t, 2, 0);
             RECT label = d.Ink({(LONG)(t.Left() - 60), x2.y - 8, (LONG)(t.Left() - majorLen - 1), x2.y + 8});
             EXPECT_FALSE(IsEmpty(label)) << "the label of X = 2";
         }},
        {"stacked group",
         [](DrawTest& t) {
             CQKPlotObj* low = t.XY(QK_PLOT_LINE, {0, 10}, {2, 2});
             CQKPlotObj* high = t.XY(QK_PLOT_LINE, {0, 10}, {3, 3}, kBlueIndex);
             CQKPlotObj* alone = t.XY(QK_PLOT_LINE, {0, 10}, {7, 7}, kGreenIndex);
             low->SetGroup(1, TRUE);
             high->SetGroup(1, FALSE);
             alone->SetGroup(2, TRUE);
             t.layer->SetStackPlots(TRUE);
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(5), t.MapY(2), kRed, 0));
             EXPECT_TRUE(d.Near(t.MapX(5), t.MapY(5), kBlue, 0)) << "3 on top of 2";
             EXPECT_FALSE(d.Near(t.MapX(5), t.MapY(3), kBlue, 1));
             EXPECT_TRUE(d.Near(t.MapX(5), t.MapY(7), kGreen, 0)) << "another group stands alone";
         }},
        {"horizontal step",
         [](DrawTest& t) {
             t.XY(QK_PLOT_LINE, {2, 6}, {2, 8})->SetConnectType(qkfxFindPlotWord("HorzStep")->connect);
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             EXPECT_TRUE(d.Near(t.MapX(6), t.MapY(2), kRed, 0)) << "the corner";
             EXPECT_TRUE(d.Near(t.MapX(4), t.MapY(2), kRed, 0));
             EXPECT_TRUE(d.Near(t.MapX(6), t.MapY(5), kRed, 0));
             EXPECT_FALSE(d.Near(t.MapX(2), t.MapY(8), kRed, 2)) << "no other corner";
             EXPECT_FALSE(d.Near(t.MapX(4), t.MapY(5), kRed, 2)) << "no straight line";
         }},
        {"vertical step, exchanged",
         [](DrawTest& t) {
             t.Range(QK_AXIS_Y, 0, 100, 25);
             t.layer->SetExchangeAxes(TRUE);
             t.XY(QK_PLOT_LINE, {2, 6}, {20, 80})->SetConnectType(qkfxFindPlotWord("VertStep")->connect);
             t.NoLegend();
         },
         [&](DrawTest& t, const Dib& d) {
             // Up, then across on the device: from X = 2 at Y = 20 up to X = 6, then right.
             const POINT corner = ex(t, 6, 20), other = ex(t, 2, 80);
             EXPECT_TRUE(d.Near(corner.x, corner.y, kRed, 0)) << "the corner";
             EXPECT_FALSE(d.Near(other.x, other.y, kRed, 2)) << "no other corner";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qkfxGetProject().New();
        SetUp();
        c.make(*this);
        Dib dib(W, H);
        Render(dib);
        c.check(*this, dib);
        if (const char* dir = getenv("QX_SHOT_DIR"))
            qxtest::CaptureDC(dib.dc, {0, 0, W, H}).WritePng(std::string(dir) + "\\mapping-" + c.what + ".png");
    }
}

// Each connection type joins the same five points its own way: where its line must be and
// where it must not.
TEST_F(DrawTest, ConnectionTypesJoinThePointsTheirOwnWay)
{
    struct Probe {
        double x, y;
        bool present;
    };
    struct Case {
        int connect;
        std::vector<Probe> probes;
    };
    // Points (1, 5), (3, 8), (5, 2), (7, 8), (9, 5).
    const Case cases[] = {
        {QK_CONNECT_NONE, {{2, 6.5, false}}},
        {QK_CONNECT_STRAIGHT, {{2, 6.5, true}, {4, 5, true}, {8, 6.5, true}}},
        {QK_CONNECT_2_POINT_SEGMENT, {{2, 6.5, true}, {4, 5, false}, {6, 5, true}, {8, 6.5, false}}},
        {QK_CONNECT_3_POINT_SEGMENT, {{2, 6.5, true}, {4, 5, true}, {6, 5, false}, {8, 6.5, true}}},
        {QK_CONNECT_STEP_HORIZONTAL, {{2, 5, true}, {3, 6.5, true}, {2, 6.5, false}}},
        {QK_CONNECT_STEP_VERTICAL, {{1, 6.5, true}, {2, 8, true}, {2, 6.5, false}}},
        // Through every point, and not along the straight chords.
        {QK_CONNECT_SPLINE, {{3, 8, true}, {5, 2, true}, {7, 8, true}, {2, 6.5, false}}},
        // The curve keeps its ends but passes inside the inner points: at the third it
        // stands at (p2 + 4 p3 + p4) / 6 = (5, 4).
        {QK_CONNECT_B_SPLINE, {{1, 5, true}, {9, 5, true}, {5, 4, true}, {5, 2, false}, {3, 8, false}}},
        // A cubic over points 1-4, through 1 and 4, at its middle (4, 5.375); then straight.
        {QK_CONNECT_BEZIER, {{4, 5.375, true}, {3, 8, false}, {7, 8, true}, {8, 6.5, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qkfxGetConnectTypeName(c.connect));
        qkfxGetProject().New();
        SetUp();
        CQKPlotObj* plot = XY(QK_PLOT_LINE, {1, 3, 5, 7, 9}, {5, 8, 2, 8, 5});
        plot->SetConnectType(c.connect);
        NoLegend();
        Dib dib(W, H);
        Render(dib);
        for (const Probe& p : c.probes)
            EXPECT_EQ(p.present, dib.Near(MapX(p.x), MapY(p.y), kRed, 2)) << "at (" << p.x << ", " << p.y << ")";
        if (const char* dir = getenv("QX_SHOT_DIR"))
            qxtest::CaptureDC(dib.dc, {0, 0, W, H}).WritePng(std::string(dir) + "\\connect-" + std::to_string(c.connect) + ".png");
    }
    EXPECT_EQ(nullptr, qkfxGetConnectTypeName(QK_CONNECT_TYPE_COUNT));
}

// ---- colours taken per point -------------------------------------------------------------

// Which colours of which plots may be taken per point: those a 2D plot from a worksheet
// draws once a point; never for a special point, whose look is one.
TEST_F(DrawTest, PlotsOfferPerPointColoursWhereTheyDrawThemPointByPoint)
{
    struct Case {
        int type, contents;
        bool perPoint;
    } const cases[] = {
        {QK_PLOT_LINE_SYMBOL, QK_COLOR_LINE, true},   {QK_PLOT_LINE, QK_COLOR_LINE, false},
        {QK_PLOT_SCATTER, QK_COLOR_SYMBOL_EDGE, true}, {QK_PLOT_SCATTER, QK_COLOR_SYMBOL_FILL, true},
        {QK_PLOT_SCATTER, QK_COLOR_LINE, false},       {QK_PLOT_COLUMN, QK_COLOR_PATTERN_FILL, true},
        {QK_PLOT_BAR, QK_COLOR_PATTERN, true},         {QK_PLOT_STACK_COLUMN, QK_COLOR_BORDER, true},
        {QK_PLOT_COLUMN, QK_COLOR_SYMBOL_EDGE, false}, {QK_PLOT_AREA, QK_COLOR_PATTERN_FILL, false},
        {QK_PLOT_VECTOR, QK_COLOR_VECTOR, true},       {QK_PLOT_PIE, QK_COLOR_PATTERN_FILL, false},
    };
    for (const Case& c : cases) {
        CQKPlotObj* plot = XY(c.type, {1, 2}, {3, 4});
        ASSERT_NE(nullptr, plot);
        const int contents = plot->GetColorContents(c.contents, 0);
        EXPECT_EQ(QK_CONTENTS_COLORS, contents & 0x0F) << c.type << "/" << c.contents;
        EXPECT_EQ(c.perPoint ? QK_CONTENTS_BY_COLUMN | QK_CONTENTS_BY_COLORMAP : 0, contents & QK_CONTENTS_PER_POINT)
            << c.type << "/" << c.contents;
    }
    // The Line page's colour list and colour button follow the same answer.
    CQKPlotObj* line = XY(QK_PLOT_LINE, {1, 2}, {3, 4});
    CQKPlotObj* lineSymbol = XY(QK_PLOT_LINE_SYMBOL, {1, 2}, {3, 4});
    EXPECT_TRUE(line->HasLine(6) && !line->HasLine(7));
    EXPECT_TRUE(!lineSymbol->HasLine(6) && lineSymbol->HasLine(7));
    // A special point is one look.
    CQKPlotObj* scatter = XY(QK_PLOT_SCATTER, {1, 2}, {3, 4});
    std::unique_ptr<CQKPlotObj> point(scatter->CreateSpecialPoint(1));
    ASSERT_NE(nullptr, point);
    EXPECT_EQ(0, point->GetColorContents(QK_COLOR_SYMBOL_EDGE, 0) & QK_CONTENTS_PER_POINT);
}

// Each point takes its colour from a worksheet column: colour-table numbers from 1
// (2 red, 3 green, 4 blue), or values through the plot's colour map (levels 0 red,
// 5 blue: values below 5 red, from 5 up blue).
TEST_F(DrawTest, ColoursTakenPerPointDrawEachPointInItsOwnColour)
{
    auto redBlueMap = [](CQKPlotObj* p) {
        QKColorMapState s;
        s.levels.resize(2);
        s.levels[0].level = 0;
        s.levels[0].fillColor = kRed;
        s.levels[1].level = 5;
        s.levels[1].fillColor = kBlue;
        CQKColorMapData map(s);
        p->SaveColorMapData(&map);
    };
    // Each point's colour within 2 pixels of its place.
    ExpectDrawings({
        {"scatter, edges by column",
         [](DrawTest& t) {
             CQKPlotObj* p = t.XY(QK_PLOT_SCATTER, {2, 5, 8}, {5, 5, 5}, 0);
             t.Column({2, 3, 4});
             p->SetEdgeColor(qkColumnQCOLOR(t.wks->GetNumCols(), false));
         },
         {{2, 5, kRed}, {5, 5, kGreen}, {8, 5, kBlue}},
         2},
        {"scatter, open symbols filled through the colour map",
         [&](DrawTest& t) {
             CQKPlotObj* p = t.XY(QK_PLOT_SCATTER, {2, 5, 8}, {5, 5, 5}, 0);
             t.Column({1, 7, 3});
             p->SetSymbolFill(QK_SYMFILL_OPEN);
             p->SetSymbolSize(20);
             p->SetFillColor(qkColumnQCOLOR(t.wks->GetNumCols(), true));
             redBlueMap(p);
         },
         {{2, 5, kRed}, {5, 5, kBlue}, {8, 5, kRed}},
         2},
        {"line and symbols, the line's pieces by column",
         [](DrawTest& t) {
             CQKPlotObj* p = t.XY(QK_PLOT_LINE_SYMBOL, {2, 5, 8}, {5, 5, 5}, 0);
             t.Column({2, 4, 3});
             p->SetColor(qkColumnQCOLOR(t.wks->GetNumCols(), false));
         },
         {{3.5, 5, kRed}, {6.5, 5, kBlue}, {2, 5, kRed}, {5, 5, kBlue}, {8, 5, kGreen}},
         2},
        {"columns filled by column",
         [](DrawTest& t) {
             CQKPlotObj* p = t.XY(QK_PLOT_COLUMN, {2, 5, 8}, {6, 6, 6}, 0);
             t.Column({4, 2, 3});
             p->SetBKColor(qkColumnQCOLOR(t.wks->GetNumCols(), false), 0);
         },
         {{2, 3, kBlue}, {5, 3, kRed}, {8, 3, kGreen}},
         2},
        {"vectors through the colour map",
         [&](DrawTest& t) {
             CQKPlotObj* p = t.Plot(QK_PLOT_VECTOR,
                                    {Data(QK_ROLE_Y, t.Column({2, 6})), Data(QK_ROLE_X, t.Column({2, 2})),
                                     Data(QK_ROLE_X_END, t.Column({8, 8})), Data(QK_ROLE_Y_END, t.Column({2, 6}))},
                                    0);
             t.Column({9, 1});
             p->SetVectorColor(qkColumnQCOLOR(t.wks->GetNumCols(), true));
             redBlueMap(p);
         },
         {{5, 2, kBlue}, {5, 6, kRed}},
         2},
    });
}

// A plot whose colours are taken per point keeps them, and its colour map, in the project
// file, and draws the same after reading; a plot without levels gets the default levels
// spread over the column the colour is mapped from.
TEST_F(DrawTest, PerPointColoursAndTheirColourMapComeBackFromTheProjectFile)
{
    CQKPlotObj* plot = XY(QK_PLOT_SCATTER, {2, 5, 8}, {5, 5, 5}, 0);
    Column({10, 20, 30});
    const int mapped = qkColumnQCOLOR(wks->GetNumCols(), true);
    plot->SetEdgeColor(mapped);
    std::unique_ptr<CQKColorMapData> made(plot->GetColorMapDataOrCreateWithDefRange());
    ASSERT_GE(made->GetState().levels.size(), 2u);
    EXPECT_EQ(10.0, made->GetState().levels.front().level);
    EXPECT_EQ(30.0, made->GetState().levels.back().level);
    plot->SaveColorMapData(made.get());
    NoLegend();
    Dib before(W, H);
    Render(before);
    const std::string dump = qkfxDumpProject();

    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(dump, qkfxDumpProject());
    page = static_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph1"));
    ASSERT_NE(nullptr, page);
    CQKPlotObj* read = page->GetLayerByIndex(0, 1)->PlotObjByIndex(0, 1);
    EXPECT_EQ(mapped, read->GetEdgeColor());
    EXPECT_TRUE(read->GetColorMapState() == made->GetState());
    Dib after(W, H);
    Render(after);
    // The lowest value takes the first level's fill, the highest the last's.
    const COLORREF low = made->GetState().levels.front().fillColor, high = made->GetState().levels.back().fillColor;
    EXPECT_NE(low, high);
    for (const Dib* d : {&before, &after}) {
        EXPECT_TRUE(d->Near(MapX(2), MapY(5), low, 2));
        EXPECT_TRUE(d->Near(MapX(8), MapY(5), high, 2));
    }
}

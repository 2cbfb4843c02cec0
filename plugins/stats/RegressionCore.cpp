#include "RegressionCore.h"

#include "StatCore.h"
#include "qxdefs.h"
#include "qxutil.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace qxstats {

namespace {

const double M = MISSING_VALUE;

// Two-sided tail probability I_x(a, b) from the utility library; MISSING_VALUE when the
// arguments are outside its domain (x outside [0, 1], a or b not positive).
double IncompleteBeta(double x, double a, double b)
{
    if (!(x >= 0 && x <= 1) || !(a > 0) || !(b > 0))
        return M;
    double args[3] = {x, a, b};
    return UtilIncompleteBeta(args);
}

// Two-sided probability of a Student t value with df degrees of freedom.
double TProbability(double t, double df)
{
    if (IsMissingValue(t) || !(df > 0))
        return M;
    return IncompleteBeta(df / (df + t * t), df / 2, 0.5);
}

double Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

void ClearLine(LineResult &r)
{
    r.A = r.B = r.ASE = r.BSE = r.T = r.AP = r.BP = M;
    r.df[0] = r.df[1] = r.df[2] = 0;
    r.R = r.SD = r.XMEAN = r.YMEAN = r.COD = r.ADRSQ = M;
    r.SSR = r.SSE = r.SSTO = r.SXX = r.MSR = r.MSE = r.WTOTAL = r.Fvalue = r.Pvalue = M;
}

// An exactly determined line (two points, or one with A or B fixed): A, B and the sign
// of the correlation are known; nothing that needs residual degrees of freedom is.
void ExactLine(LineResult &r)
{
    r.df[0] = 1;
    r.df[1] = 0;
    r.df[2] = 1;
    r.SSE = 0;
    r.status = LineResult::Fitted;
    if (IsMissingValue(r.B))
        return;
    r.R = Sign(r.B);
    r.COD = r.R * r.R;
    if (r.mode != LineMode::Ordinary)
        r.ADRSQ = r.COD;
}

} // namespace

LineResult FitLine(const LineInput &in)
{
    LineResult r;
    ClearLine(r);
    r.mode = in.mode;
    const int n = int(in.x.size());
    auto weight = [&](int i) { return in.w.empty() ? 1.0 : in.w[i]; };
    r.npts = n;
    if (n < (in.mode == LineMode::Ordinary ? 2 : 1)) {
        r.error = 804;
        return r;
    }

    // Means first, then the sums of deviations from them.
    KahanSum sw, swx, swy;
    for (int i = 0; i < n; ++i) {
        sw.Add(weight(i));
        swx.Add(weight(i) * in.x[i]);
        swy.Add(weight(i) * in.y[i]);
    }
    const double W = sw.Value();
    const double xm = swx.Value() / W, ym = swy.Value() / W;
    KahanSum sxxc, syyc, sxyc, sxx0, syy0, sxy0;
    for (int i = 0; i < n; ++i) {
        double w = weight(i), dx = in.x[i] - xm, dy = in.y[i] - ym;
        sxxc.Add(w * dx * dx);
        syyc.Add(w * dy * dy);
        sxyc.Add(w * dx * dy);
        sxx0.Add(w * in.x[i] * in.x[i]);
        syy0.Add(w * in.y[i] * in.y[i]);
        sxy0.Add(w * in.x[i] * in.y[i]);
    }
    r.XMEAN = xm;
    r.YMEAN = ym;
    r.WTOTAL = W;

    // The sums that describe the fit belong to one model: uncentred through the origin
    // (the total has n degrees of freedom there), centred otherwise. Mixing the two gives
    // correlations outside [-1, 1] and negative regression sums of squares.
    const bool zero = in.mode == LineMode::ThroughZero;
    const double Sxx = zero ? sxx0.Value() : sxxc.Value();
    const double Syy = zero ? syy0.Value() : syyc.Value();
    const double Sxy = zero ? sxy0.Value() : sxyc.Value();
    r.SXX = in.mode == LineMode::Ordinary ? sxxc.Value() : sxx0.Value();
    r.SSTO = Syy;

    switch (in.mode) {
    case LineMode::ThroughZero:
        r.A = 0;
        if (n == 1) {
            if (swx.Value() != 0)
                r.B = in.y[0] / in.x[0];
            else
                r.warning = "sum of x values is zero!";
            ExactLine(r);
            if (r.warning)
                r.status = LineResult::Warned;
            return r;
        }
        r.df[0] = 1; r.df[1] = n - 1; r.df[2] = n;
        if (sxx0.Value() == 0) {
            r.A = M;
            r.warning = "sum of X value squares is zero!";
            r.status = LineResult::Warned;
            return r;
        }
        r.B = sxy0.Value() / sxx0.Value();
        break;
    case LineMode::GivenSlope:
        r.B = in.givenSlope;
        if (n == 1) {
            r.A = in.y[0] - r.B * in.x[0];
            ExactLine(r);
            return r;
        }
        r.df[0] = 1; r.df[1] = n - 1; r.df[2] = n;
        r.A = ym - r.B * xm;
        break;
    case LineMode::Ordinary:
        if (n == 2) {
            if (std::fabs(in.x[1] - in.x[0]) >= 1e-20) {
                r.B = (in.y[1] - in.y[0]) / (in.x[1] - in.x[0]);
                r.A = in.y[0] - r.B * in.x[0];
                ExactLine(r);
            } else {
                ExactLine(r);
                r.warning = "Two points have the same x values.";
                r.status = LineResult::Warned;
            }
            return r;
        }
        r.df[0] = 1; r.df[1] = n - 2; r.df[2] = n - 1;
        if (sxxc.Value() == 0) {
            r.warning = "The X coordinates have the same value!";
            r.status = LineResult::Warned;
            return r;
        }
        r.B = sxyc.Value() / sxxc.Value();
        r.A = ym - r.B * xm;
        break;
    }

    r.residuals.resize(n);
    KahanSum sse;
    for (int i = 0; i < n; ++i) {
        double e = in.y[i] - (r.A + r.B * in.x[i]);
        r.residuals[i] = e;
        sse.Add(weight(i) * e * e);
    }
    const double df1 = r.df[0], df2 = r.df[1];
    if (df2 == 0) {
        r.error = 802;
        return r;
    }
    r.SSE = sse.Value();
    r.MSE = r.SSE / df2;
    r.SD = std::sqrt(r.MSE);
    r.SSR = r.SSTO - r.SSE;
    r.MSR = r.SSR / df1;
    r.status = LineResult::Fitted;

    if (r.SD < 1e-20) {
        r.ASE = r.BSE = 0;
        r.R = r.B > 0 ? 1 : r.B < 0 ? -1 : M;
        r.COD = IsMissingValue(r.R) ? M : r.R * r.R;
        return r;
    }

    switch (in.mode) {
    case LineMode::Ordinary:
        r.ASE = r.SD * std::sqrt(1 / W + xm * xm / sxxc.Value());
        r.BSE = r.SD * std::sqrt(1 / sxxc.Value());
        break;
    case LineMode::ThroughZero:
        r.BSE = r.SD / std::sqrt(sxx0.Value());
        break;
    case LineMode::GivenSlope:
        r.ASE = r.SD / std::sqrt(W);
        break;
    }
    if (!in.chiSqrErr) {
        if (!IsMissingValue(r.ASE))
            r.ASE /= r.SD;
        if (!IsMissingValue(r.BSE))
            r.BSE /= r.SD;
    }

    // With no spread in x or y the correlation is undefined: it is reported missing,
    // and the rest of the fit stands.
    if (Sxx > 0 && Syy > 0) {
        r.R = std::max(-1.0, std::min(1.0, Sxy / (std::sqrt(Syy) * std::sqrt(Sxx))));
        r.COD = r.R * r.R;
        r.ADRSQ = in.mode == LineMode::Ordinary ? 1 - (n - 1) / df2 * (1 - r.COD) : r.COD;
    }
    r.T = TQuantileForLevel(in.confLevel, df2);
    if (r.MSE < 1e-20)
        r.MSE = 1e-20;
    r.Fvalue = r.MSR / r.MSE;

    if (in.mode != LineMode::GivenSlope && !IsMissingValue(r.R))
        r.BP = IncompleteBeta((1 - r.R) * (1 + r.R), df2 / 2, 0.5);
    if (in.mode != LineMode::ThroughZero && !IsMissingValue(r.ASE) && r.ASE >= 1e-20)
        r.AP = TProbability(r.A / r.ASE, df2);
    r.Pvalue = IncompleteBeta(df2 / (df2 + df1 * r.Fvalue), df2 / 2, df1 / 2);
    return r;
}

double LineHalfWidth(const LineResult &fit, double x, bool prediction)
{
    if (IsMissingValue(fit.T) || IsMissingValue(fit.SD))
        return M;
    if (fit.SXX == 0)
        return 0;
    double q;
    if (fit.mode == LineMode::ThroughZero)
        q = x * x / fit.SXX;
    else
        q = 1 / fit.WTOTAL + (x - fit.XMEAN) * (x - fit.XMEAN) / fit.SXX;
    if (prediction)
        q += 1;
    return fit.T * fit.SD * std::sqrt(q);
}

namespace {

// Euclidean norm of v[first..] with stride, scaled so that no square overflows.
double Norm(const double *v, int count, int stride)
{
    double big = 0;
    for (int i = 0; i < count; ++i)
        big = std::max(big, std::fabs(v[size_t(i) * stride]));
    if (big == 0 || !std::isfinite(big))
        return big;
    double s = 0;
    for (int i = 0; i < count; ++i) {
        double t = v[size_t(i) * stride] / big;
        s += t * t;
    }
    return big * std::sqrt(s);
}

// Column-major dense matrix, just enough for the solver: its passes run down columns.
struct Dense {
    int rows = 0, cols = 0;
    std::vector<double> a;
    Dense(int r, int c, double v = 0) : rows(r), cols(c), a(size_t(r) * c, v) {}
    double &operator()(int i, int j) { return a[size_t(j) * rows + i]; }
    double operator()(int i, int j) const { return a[size_t(j) * rows + i]; }
};

// Least squares of ys on the design X (rows already divided by sigma, column 0 the
// constant column 1 / sigma): b and C = (X'X)^-1, the residuals ys - X b. Answers false
// when X has no full column rank to working precision.
//
// Columns 1.. are first centred against column 0 (X~ = X S with S = I - e0 m',
// m_j = <X_j, X_0> / <X_0, X_0>, the weighted means) and scaled to unit length, then
// factorised X~ D^-1 = Q R by Householder reflections. Back in the original columns
// b = S D^-1 R^-1 Q'ys and C = S D^-1 R^-1 R^-T D^-1 S'.
bool SolveLeastSquares(const Dense &X, const std::vector<double> &ys, std::vector<double> &b,
                       Dense &C, std::vector<double> &residuals)
{
    const int n = X.rows, m = X.cols;
    Dense Z = X;
    std::vector<double> means(m, 0.0);
    KahanSum w0;
    for (int i = 0; i < n; ++i)
        w0.Add(X(i, 0) * X(i, 0));
    if (!(w0.Value() > 0))
        return false;
    for (int j = 1; j < m; ++j) {
        KahanSum s;
        for (int i = 0; i < n; ++i)
            s.Add(X(i, j) * X(i, 0));
        means[j] = s.Value() / w0.Value();
        for (int i = 0; i < n; ++i)
            Z(i, j) = X(i, j) - means[j] * X(i, 0);
    }
    std::vector<double> scale(m);
    for (int j = 0; j < m; ++j) {
        double s = Norm(&Z(0, j), n, 1);
        if (!(s > 0) || !std::isfinite(s))
            return false;
        scale[j] = s;
        for (int i = 0; i < n; ++i)
            Z(i, j) /= s;
    }

    std::vector<double> qty = ys;
    for (int k = 0; k < m; ++k) {
        double norm = Norm(&Z(k, k), n - k, 1);
        // Columns have unit length, so the diagonal of R measures how far each column
        // lies from the span of the ones before it.
        if (norm <= 64 * DBL_EPSILON)
            return false;
        double alpha = Z(k, k) > 0 ? -norm : norm;
        // v = z - alpha e_k, stored in place of the column below the diagonal.
        Z(k, k) -= alpha;
        double vtv = 0;
        for (int i = k; i < n; ++i)
            vtv += Z(i, k) * Z(i, k);
        for (int j = k + 1; j < m; ++j) {
            double dot = 0;
            for (int i = k; i < n; ++i)
                dot += Z(i, k) * Z(i, j);
            double f = 2 * dot / vtv;
            for (int i = k; i < n; ++i)
                Z(i, j) -= f * Z(i, k);
        }
        double dot = 0;
        for (int i = k; i < n; ++i)
            dot += Z(i, k) * qty[i];
        double f = 2 * dot / vtv;
        for (int i = k; i < n; ++i)
            qty[i] -= f * Z(i, k);
        Z(k, k) = alpha;   // R(k, k); R above the diagonal is already in Z
        for (int i = k + 1; i < n; ++i)
            Z(i, k) = 0;
    }

    // Rinv = R^-1 (upper triangular), by back substitution column by column.
    Dense Rinv(m, m);
    for (int j = m - 1; j >= 0; --j) {
        Rinv(j, j) = 1 / Z(j, j);
        for (int i = j - 1; i >= 0; --i) {
            double s = 0;
            for (int k = i + 1; k <= j; ++k)
                s += Z(i, k) * Rinv(k, j);
            Rinv(i, j) = -s / Z(i, i);
        }
    }
    // Coefficients of the centred, scaled columns, then of the centred ones.
    std::vector<double> bc(m, 0.0);
    for (int i = 0; i < m; ++i) {
        double s = 0;
        for (int k = i; k < m; ++k)
            s += Rinv(i, k) * qty[k];
        bc[i] = s / scale[i];
    }
    // Residuals from the centred columns, formed again from X rather than kept.
    residuals.assign(n, 0.0);
    for (int i = 0; i < n; ++i) {
        double fit = X(i, 0) * bc[0];
        for (int j = 1; j < m; ++j)
            fit += (X(i, j) - means[j] * X(i, 0)) * bc[j];
        residuals[i] = ys[i] - fit;
    }
    // Ct = D^-1 Rinv Rinv' D^-1, the inverse for the centred columns.
    Dense Ct(m, m);
    for (int i = 0; i < m; ++i)
        for (int j = i; j < m; ++j) {
            double s = 0;
            for (int k = std::max(i, j); k < m; ++k)
                s += Rinv(i, k) * Rinv(j, k);
            Ct(i, j) = Ct(j, i) = s / (scale[i] * scale[j]);
        }
    // Back to the original columns: b = S bc, C = S Ct S' with S = I - e0 m'.
    b = bc;
    for (int j = 1; j < m; ++j)
        b[0] -= means[j] * bc[j];
    C = Ct;
    for (int j = 0; j < m; ++j) {
        double s = Ct(0, j);
        for (int k = 1; k < m; ++k)
            s -= means[k] * Ct(k, j);
        C(0, j) = s;
    }
    for (int i = 0; i < m; ++i) {
        double s = C(i, 0);
        for (int k = 1; k < m; ++k)
            s -= means[k] * C(i, k);
        C(i, 0) = s;
    }
    for (int i = 1; i < m; ++i)
        C(0, i) = C(i, 0);
    return true;
}

void ClearModel(ModelResult &r, int parameters)
{
    r.df[0] = r.df[1] = r.df[2] = 0;
    r.A = r.ASE = r.AP = r.T = M;
    r.B.assign(parameters, M);
    r.BSE.assign(parameters, M);
    r.BP.assign(parameters, M);
    r.WTOTAL = r.YMEAN = r.SSTO = r.SSR = r.SSE = r.MSR = r.MSE = r.Fvalue = M;
    r.SD = r.R = r.COD = r.ADRSQ = r.Pvalue = r.XMEAN = r.SXX = M;
}

// Weighted totals: W = sum 1 / sigma^2 and the weighted mean of y.
void WeightedTotals(ModelResult &r, const std::vector<double> &y, const std::vector<double> &sigma)
{
    KahanSum wsum, wy;
    for (size_t i = 0; i < y.size(); ++i) {
        double w = 1 / (sigma[i] * sigma[i]);
        wsum.Add(w);
        wy.Add(w * y[i]);
    }
    r.WTOTAL = wsum.Value();
    r.YMEAN = wy.Value() / r.WTOTAL;
}

// Analysis of variance from the residuals of the sigma-scaled fit and the deviations of
// y from its weighted mean; the residuals are kept in the units of y.
void AnovaTable(ModelResult &r, const std::vector<double> &scaledResiduals,
                const std::vector<double> &y, const std::vector<double> &sigma)
{
    const double df1 = r.df[0], df2 = r.df[1];
    KahanSum sse, ssto;
    r.residuals.resize(y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        double e = scaledResiduals[i];
        sse.Add(e * e);
        r.residuals[i] = e * sigma[i];
        double d = (y[i] - r.YMEAN) / sigma[i];
        ssto.Add(d * d);
    }
    r.SSE = sse.Value();
    r.SSTO = ssto.Value();
    r.SSR = r.SSTO - r.SSE;
    r.MSR = df1 != 0 ? r.SSR / df1 : M;
    r.MSE = (std::fabs(df2) >= 1 || std::fabs(df2) * 1.7e308 > std::fabs(r.SSE)) ? r.SSE / df2 : M;
    if (IsMissingValue(r.MSE) || r.MSE < 1e-20)
        r.MSE = 1e-20;
    r.Fvalue = df2 == 0 ? 0 : IsMissingValue(r.MSR) ? M : r.MSR / r.MSE;
}

// Coefficients and their standard errors: from the weights alone, or scaled by the
// residual standard deviation with CHISQRERR.
void CoefficientErrors(ModelResult &r, const std::vector<double> &b, const Dense &C, bool chiSqrErr)
{
    const double df2 = r.df[1];
    r.SD = df2 != 0 ? std::sqrt(r.SSE / df2) : 0;
    const double s = chiSqrErr ? r.SD : 1;
    r.A = b[0];
    r.ASE = s * std::sqrt(C(0, 0));
    for (size_t k = 1; k < b.size(); ++k) {
        r.B[k - 1] = b[k];
        r.BSE[k - 1] = s * std::sqrt(C(int(k), int(k)));
    }
}

// Correlation, t quantile and the probabilities of the coefficients and of F.
void TestStatistics(ModelResult &r, double confLevel)
{
    const double df1 = r.df[0], df2 = r.df[1];
    // A constant y leaves nothing to explain: the correlation is undefined.
    if (r.SSTO > 0) {
        r.COD = std::max(0.0, 1 - r.SSE / r.SSTO);
        r.R = std::sqrt(r.COD);
        if (df2 != 0)
            r.ADRSQ = 1 - (r.npts - 1) / df2 * (1 - r.COD);
    }
    // With no residual degrees of freedom there is no t distribution to consult.
    if (df2 > 0) {
        r.T = TQuantileForLevel(confLevel, df2);
        if (std::fabs(r.ASE) >= 1 || std::fabs(r.ASE) * 1.7e308 > std::fabs(r.A))
            r.AP = TProbability(r.A / r.ASE, df2);
        else
            r.AP = 0;
    }
    for (size_t k = 0; k < r.B.size(); ++k) {
        if (IsMissingValue(r.B[k]))
            continue;
        if (r.BSE[k] < 1e-20)
            r.BSE[k] = 1e-20;
        if (df2 == 0) {
            r.BP[k] = 0;
            r.BSE[k] = 0;
        } else {
            r.BP[k] = TProbability(r.B[k] / r.BSE[k], df2);
        }
    }
    if (!IsMissingValue(r.Fvalue) && df2 > 0)
        r.Pvalue = IncompleteBeta(df2 / (df2 + df1 * r.Fvalue), df2 / 2, df1 / 2);
}

// The statistics of a solved model, in the order the results depend on each other.
void ModelStatistics(ModelResult &r, const std::vector<double> &b, const Dense &C,
                     const std::vector<double> &scaledResiduals, const std::vector<double> &y,
                     const std::vector<double> &sigma, double confLevel, bool chiSqrErr)
{
    WeightedTotals(r, y, sigma);
    AnovaTable(r, scaledResiduals, y, sigma);
    CoefficientErrors(r, b, C, chiSqrErr);
    TestStatistics(r, confLevel);
}

} // namespace

ModelResult FitMultiple(const std::vector<std::vector<double>> &columns,
                        const std::vector<double> &y, double confLevel, bool chiSqrErr)
{
    ModelResult r;
    const int p = int(columns.size());
    const int n = int(y.size());
    ClearModel(r, std::min(p, 9));
    if (p > 9) {
        r.error = 200;
        return r;
    }
    if (n - p - 1 <= 0) {
        r.error = 705;
        return r;
    }
    r.npts = n;
    r.df[0] = p;
    r.df[1] = n - p - 1;
    r.df[2] = r.df[0] + r.df[1];
    Dense X(n, p + 1);
    for (int i = 0; i < n; ++i) {
        X(i, 0) = 1;
        for (int j = 0; j < p; ++j)
            X(i, j + 1) = columns[j][i];
    }
    std::vector<double> b, e;
    Dense C(p + 1, p + 1);
    if (!SolveLeastSquares(X, y, b, C, e)) {
        r.error = 704;
        return r;
    }
    ModelStatistics(r, b, C, e, y, std::vector<double>(n, 1.0), confLevel, chiSqrErr);
    return r;
}

ModelResult FitPolynomial(const std::vector<double> &x, const std::vector<double> &y,
                          const std::vector<double> &sigmaIn, int order, double confLevel,
                          bool chiSqrErr)
{
    ModelResult r;
    ClearModel(r, 9);
    if (order < 0 || order > 9) {
        r.error = 606;
        return r;
    }
    const int n = int(x.size()), m = order + 1;
    if (n < m) {
        r.error = 705;
        return r;
    }
    std::vector<double> sigma = sigmaIn.empty() ? std::vector<double>(n, 1.0) : sigmaIn;
    r.npts = n;
    r.order = order;
    r.df[0] = order;
    r.df[1] = n - order - 1;
    r.df[2] = r.df[0] + r.df[1];

    // Centre x and y on their plain means before forming powers: powers of values far
    // from the origin are nearly collinear.
    KahanSum sx, sy;
    for (int i = 0; i < n; ++i) {
        sx.Add(x[i]);
        sy.Add(y[i]);
    }
    const double xShift = sx.Value() / n, yShift = sy.Value() / n;
    Dense Q(n, m);
    std::vector<double> ys(n);
    for (int i = 0; i < n; ++i) {
        double u = x[i] - xShift, p = 1 / sigma[i];
        for (int j = 0; j < m; ++j) {
            Q(i, j) = p;
            p *= u;
        }
        ys[i] = (y[i] - yShift) / sigma[i];
    }
    std::vector<double> bs, e;
    Dense Cs(m, m);
    if (!SolveLeastSquares(Q, ys, bs, Cs, e)) {
        r.error = 704;
        return r;
    }
    r.xShift = xShift;
    r.shiftedCovariance = Cs.a;

    // Back to powers of x: M[i][j] = C(j, i) (-xShift)^(j - i), b = M bs, C = M Cs M'.
    Dense Mx(m, m);
    for (int j = 0; j < m; ++j)
        for (int i = 0; i <= j; ++i) {
            double binomial = 0;
            UtilBinomial(i, j, j - i, &binomial);
            Mx(i, j) = binomial * std::pow(-xShift, j - i);
        }
    std::vector<double> b(m, 0.0);
    for (int i = 0; i < m; ++i)
        for (int j = i; j < m; ++j)
            b[i] += Mx(i, j) * bs[j];
    b[0] += yShift;
    Dense MC(m, m), C(m, m);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            for (int k = i; k < m; ++k)
                MC(i, j) += Mx(i, k) * Cs(k, j);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            for (int k = j; k < m; ++k)
                C(i, j) += MC(i, k) * Mx(j, k);

    ModelStatistics(r, b, C, e, y, sigma, confLevel, chiSqrErr);

    // The weighted mean of x and the weighted sum of squared deviations about it.
    KahanSum wx;
    for (int i = 0; i < n; ++i)
        wx.Add(x[i] / (sigma[i] * sigma[i]));
    r.XMEAN = wx.Value() / r.WTOTAL;
    KahanSum sxx;
    for (int i = 0; i < n; ++i) {
        double d = (x[i] - r.XMEAN) / sigma[i];
        sxx.Add(d * d);
    }
    r.SXX = sxx.Value();
    return r;
}

double PolynomialBandFactor(const ModelResult &fit, double x)
{
    const int m = fit.order + 1;
    std::vector<double> v(m);
    double p = 1, u = x - fit.xShift;
    for (int j = 0; j < m; ++j) {
        v[j] = p;
        p *= u;
    }
    double q = 0;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            q += v[i] * fit.shiftedCovariance[size_t(i) * m + j] * v[j];
    return q;
}

double PolynomialValue(const ModelResult &fit, double x)
{
    double v = 0;
    for (int k = fit.order; k >= 1; --k)
        v = (v + fit.B[k - 1]) * x;
    return v + fit.A;
}

} // namespace qxstats

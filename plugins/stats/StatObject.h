// The script object Stat: its properties (shared settings and results of the
// regressions, names of the datasets that receive their curves) and its methods DS, LR,
// MR, PR, MAKEX and RESET. The methods gather their data from the host through the
// framework's dataset objects, hand them to the numeric core (StatCore, RegressionCore)
// and write the results back into their sub-properties, the root's properties and the
// host's datasets.
#pragma once

#include "QmData.h"
#include "QmFramework.h"
#include "QmMatrix.h"
#include "QmVector.h"
#include "QmWks.h"
#include "RegressionCore.h"

#include <functional>
#include <vector>

// Codes of the statistics methods.
enum StatError {
    STAT_ERR_PR_CURVE = 600,      // PR: the fitted curve or a band could not be written
    STAT_ERR_PR_BAND = 601,       // PR: the band matrix could not be formed
    STAT_ERR_PR_CONFIDENCE = 602, // PR: the confidence band failed
    STAT_ERR_PR_PREDICTION = 603, // PR: the prediction band failed
    STAT_ERR_PR_DATA = 604,       // PR: a sigma could not be had while collecting
    STAT_ERR_PR_ORDER = 606,      // ORDER outside 0 to 9 (1 to 9 for bands)
    STAT_ERR_SINGULAR = 704,      // the design has no full rank
    STAT_ERR_TOO_FEW = 705,       // too few points for the parameters
    STAT_ERR_LR_CURVE = 800,      // LR: a curve dataset could not be written
    STAT_ERR_LR_NO_DATA = 801,    // LR: DATA names no dataset
    STAT_ERR_LR_NO_ROWS = 802,    // LR: no row in range, or no residual degree of freedom
    STAT_ERR_LR_WEIGHT = 803,     // LR: a weight could not be taken from ERRBARDATA
    STAT_ERR_LR_TOO_FEW = 804,    // LR: too few points
    STAT_ERR_NO_COLUMN = 1801,    // MR/PR: the Y column or DATA dataset does not exist
    STAT_ERR_NO_ROWS = 1802,      // MR/PR: it has no row in the host's range
};

class Stat;

// The (x, y) points of a dataset's rows, with each point's sigma and row.
struct StatPoints {
    std::vector<double> x, y, sigma;
    std::vector<int> rows;
};

// Half width of a band at x into *h (MISSING_VALUE where it is undefined); nonzero is an
// error code that refuses the band.
typedef std::function<int(double x, bool prediction, double* h)> StatHalfWidth;

// Common base of the statistics methods: the host's bracket around each call, the sweep
// of intermediate objects at its end, and the data access the fits share.
class StatMethod : public QmMethod {
    DECLARE_DYNAMIC(StatMethod)
public:
    INT_PTR scaleToken = 0;

    int Begin(const char* argText, QmDLL* root) override;
    void End(QmDLL* root) override;
    // Names the sub-properties of a table.
    void SetTable(QmTableEntry* table);

protected:
    // Gives the host back the token of Begin's bracket request; End does it, and so must
    // a subclass whose Begin refuses the call after the bracket was opened.
    void CloseBracket();
    // The rows of `data` whose pair the host gives with both coordinates, sigma from
    // `errors` (1 when it names no dataset). 0 when done; 1 at the first sigma that cannot
    // be had (error 1003 recorded).
    static int CollectPoints(QmSourceData& data, QmErrData& errors, StatPoints& points);
    // Writes values into RESDATA, when it names a dataset, at the given rows; with
    // start >= 0 at RESDATA's first row + (row - start) instead.
    static void WriteResiduals(Stat& stat, const std::vector<int>& rows,
                               const std::vector<double>& values, int start = -1);
    // At the rows of FITXDATA (nothing without rows): FITYDATA := curve(x); then each named
    // band, UCLDATA and LCLDATA (confidence), UPLDATA and LPLDATA (prediction), := y +- h
    // with y read back from FITYDATA; a missing x, y or h gives a missing value. A dataset
    // that cannot be had or written, or a refused band, records the band's code (if any)
    // and `curveError`, and gives 1.
    int WriteCurves(Stat& stat, const std::function<double(double)>& curve,
                    const StatHalfWidth& halfWidth, int curveError, int confidenceError,
                    int predictionError);
};

// MAKEX: FITNPTS evenly spaced X values over [FITX1, FITX2] widened by MARGIN percent.
class MakeXdata : public StatMethod {
    DECLARE_DYNAMIC(MakeXdata)
public:
    MakeXdata();
    QmTableEntry* GetTable() override { return m_table; }
    int Process(double* result, QmDLL* root) override;

    QmInt m_fitNpts;
    QmReal m_fitX1, m_fitX2, m_margin;

private:
    QmTableEntry m_table[5];
};

// DS: descriptive statistics of the dataset named by its DATA.
class StatDS : public StatMethod {
    DECLARE_DYNAMIC(StatDS)
public:
    StatDS();
    QmTableEntry* GetTable() override { return m_table; }
    void InitTableSubproperties(QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

    QmDataSetName m_data;
    QmStringVector m_cname{80, 5};
    QmInt m_size, m_missing;
    QmReal m_mean, m_se, m_cil, m_ciu, m_sd, m_min, m_max, m_range, m_median, m_medcil,
        m_medciu, m_sum, m_ssq, m_var, m_ad, m_skew, m_kurt, m_geomean, m_testnorm, m_conflev,
        m_q25, m_q50, m_q75;
    QmInt m_more;
    QmReal m_percent, m_percentile;
    QmInt m_interpolate;

private:
    QmTableEntry m_table[32];
};

// LR: the straight line, ordinary, through zero ("z") or with the slope B given ("b").
class StatLR : public StatMethod {
    DECLARE_DYNAMIC(StatLR)
public:
    StatLR();
    QmTableEntry* GetTable() override { return m_table; }
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;

    QmReal m_a, m_b, m_ase, m_bse, m_t, m_ap, m_bp;
    int throughZero = 0;
    int givenSlope = 0;

private:
    // 0 fitted; 1 no line, the call done all the same (a warning, a bad weight); 2 too
    // few points, the call fails.
    int Fit(Stat& stat, qxstats::LineResult& fit);
    QmTableEntry m_table[8];
};

// The results that multiple and polynomial regression share, and how they are written.
class MRPRRegression : public StatMethod {
    DECLARE_DYNAMIC(MRPRRegression)
public:
    MRPRRegression();
    QmTableEntry* GetTable() override { return m_coreTable; }
    // Sub-properties: the derived method's own table (GetTable) first, then the shared one.
    int FindSubproperty(QmDLL* root, const char* subName, int flags, void* value) override;
    void ListSubproperties(const char* prefix, QmDLL* root) override;
    void InitTableSubproperties(QmDLL* root) override;

    QmReal m_a, m_ap, m_ase;
    QmParaVector m_b, m_bse;
    QmReal m_t;
    QmParaVector m_bp;

protected:
    // Writes a fitted model into the root's properties and the shared sub-properties.
    void WriteResults(Stat& stat, const qxstats::ModelResult& fit);

    QmTableEntry m_coreTable[8];
};

// MR: Y column of a worksheet on the columns named in XDATA.
class StatMR : public MRPRRegression {
    DECLARE_DYNAMIC(StatMR)
public:
    StatMR();
    QmTableEntry* GetTable() override { return m_table; }
    int Process(double* result, QmDLL* root) override;

    QmReal m_pin, m_pout;
    QmDataSetName m_ydata;
    QmStringVector m_xdata{80, 5};
    QmInt m_numx;
    QmWksName m_bestR2Wks;

private:
    int Fit(Stat& stat);
    QmTableEntry m_table[7];
};

// PR: polynomial of order ORDER through the points of DATA, weighted by ERRBARDATA.
class StatPR : public MRPRRegression {
    DECLARE_DYNAMIC(StatPR)
public:
    StatPR();
    QmTableEntry* GetTable() override { return m_table; }
    int Process(double* result, QmDLL* root) override;

    QmInt m_order;

private:
    int Fit(Stat& stat, qxstats::ModelResult& fit);
    QmTableEntry m_table[2];
};

class Stat : public QmWks {
    DECLARE_DYNAMIC(Stat)
public:
    Stat();

    int Property(const char* name, int flags, void* value) override;
    void ListAll() override;
    int Command(const char* methodName, const char* argText, double* result) override;
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override;
    void ResetAll() override;

    QmReal m_confLevel;
    QmParaVector m_df;
    QmReal m_r, m_sd, m_xmean, m_ymean, m_cod, m_adrsq;
    QmInt m_npts, m_chiSqrErr;
    QmReal m_ssr, m_sse, m_ssto, m_sxx, m_msr, m_mse, m_wtotal, m_fvalue, m_pvalue;
    QmDataSetName m_fitYData, m_fitXData, m_uclData, m_lclData, m_uplData, m_lplData,
        m_errBarData, m_resData;

    StatLR m_lr;
    StatPR m_pr;
    StatMR m_mr;
    MakeXdata m_makeX;
    StatDS m_ds;

    // The text of a dataset-name property, or null when it holds none.
    static const char* NameOf(QmString& name) { return name.HasText() ? name.text : nullptr; }

private:
    void SetStatDefaults();

    QmTableEntry m_props[28];
    QmTableEntry m_meths[7];
};

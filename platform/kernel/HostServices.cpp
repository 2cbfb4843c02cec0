// The host callbacks: every request of the fitter and of the framework plug-ins, answered
// from the data model and the interpreter.
//
// The fitter and the framework plug-ins share the callback's shape and most request codes,
// but not every record: HOST_FIND_DATASET fills a {first; end} record for the fitter and a
// {request; requestEnd; hostFirst; hostEnd} record for the framework, and the two ask for
// texts in buffers of different sizes. Each therefore gets its own entry point, and both
// lead to one handler that knows which protocol it serves.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <map>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"
#include "QKHost.h"
#include "QKScript.h"
#include "QKUtil.h"
#include "QxText.h"

namespace {

// Set from the console's control handler, which runs on a thread of its own.
std::atomic<bool> g_abort{false};
std::map<HWND, void*> g_sessions;
std::string g_status;
// The progress text: the host's words for the id, then the text the request carried.
int g_progressId;
bool g_progressShown;
char g_progressText[1024];

struct MemBlock {
    std::vector<char> data;
    int users = 0;
};
std::map<std::string, MemBlock> g_blocks; // by upper-cased name
std::map<std::string, std::string> g_savedTexts; // by upper-cased name

// Size of a block a plug-in asks for without saying how much it needs.
const size_t kDefaultBlockSize = 4096;
const size_t kMaxBlockSize = 16 << 20;

// Text progress ids 16007 .. 16012 show, with the "%s"/"%d" parts the plug-in sends as text.
const char* ProgressText(int id)
{
    switch (id) {
    case 16007: return "Fitting: ";
    case 16008: return "Parsing the function...";
    case 16009: return "Iterations: ";
    case 16010: return "Chi-square rounds: ";
    case 16011: return "Trial ";
    case 16012: return "Computing parameter confidence limits...";
    }
    return "";
}

void CopyOut(char* buffer, size_t capacity, const std::string& text)
{
    if (!buffer || capacity == 0)
        return;
    size_t n = std::min(text.size(), capacity - 1);
    memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

std::string Text(INT_PTR p)
{
    return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
}

CQKDataset* DS(INT_PTR handle)
{
    return qkfxGetProject().GetDatasetFromHandle(handle);
}

CQKWksPage* Wks(INT_PTR handle)
{
    return dynamic_cast<CQKWksPage*>(qkfxGetProject().GetPageFromHandle(handle));
}

// The X dataset of a dataset: the one a plug-in linked, else for a worksheet column the
// nearest X column to its left; 0 when there is none.
INT_PTR XDatasetOf(CQKDataset* d)
{
    if (d->m_xDataset && DS(d->m_xDataset))
        return d->m_xDataset;
    if (CQKWksPage* wks = d->GetOwner())
        for (int c = wks->GetColumnIndex(d) - 1; c >= 1; --c)
            if (wks->GetColumn(c)->m_type == QK_COLTYPE_X)
                return wks->GetColumn(c)->GetHandle();
    return 0;
}

// X of a row: from the X dataset, else the row number (1-based).
double XOf(CQKDataset* d, int row)
{
    if (CQKDataset* x = DS(XDatasetOf(d)))
        return x->GetValue(row);
    return row + 1;
}

int GetValue(CQKDataset* d, QFitValueRecord* rec)
{
    if (!d || !rec)
        return 1;
    // Masked rows are left out of fits and every other analysis.
    rec->value = d->IsMasked(rec->row) ? MISSING_VALUE : d->GetValue(rec->row);
    return IsMissingValue(rec->value) ? 1 : 0;
}

int SetValue(CQKDataset* d, const QFitValueRecord* rec)
{
    if (!d || !rec)
        return 1;
    return d->SetValue(rec->row, rec->value) ? 0 : 1;
}

// The rows holding values: first to last non-missing, end exclusive; {first, first}
// when none does.
void UsedRows(CQKDataset* d, int* first, int* end)
{
    int f = d->GetFirst(), e = d->GetEnd();
    while (f < e && IsMissingValue(d->GetValue(f)) && !d->IsText(f))
        ++f;
    while (e > f && IsMissingValue(d->GetValue(e - 1)) && !d->IsText(e - 1))
        --e;
    *first = f;
    *end = e;
}

CQKDataset* CreateOrReuse(const std::string& name, INT_PTR size)
{
    if (size < 0 || size > QK_MAX_ROWS)
        return nullptr;
    CQKProject& project = qkfxGetProject();
    CQKDataset* d = project.FindDataset(name);
    if (d) {
        // A result dataset made again (a second fit) is refilled from scratch; a worksheet
        // column of that name holds the user's data and is not given away.
        if (d->IsColumn())
            return nullptr;
        d->SetRange(0, 0);
        d->SetRange(0, (int)size);
        return d;
    }
    return project.CreateDataset(name, (int)size);
}

INT_PTR Handle(CQKDataset* d)
{
    return d ? d->GetHandle() : 0;
}

INT_PTR FindPageHandle(const std::string& name)
{
    CQKPage* page = qkfxGetProject().FindPage(name);
    return page ? page->GetHandle() : 0;
}

CQKWksPage* FindWksByHandle(INT_PTR handle)
{
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        CQKPage* page = project.GetPage(i);
        if (page->GetHandle() == handle)
            return dynamic_cast<CQKWksPage*>(page);
    }
    return nullptr;
}

// One row of numbers for a worksheet, after the last row in use of its first columns.
INT_PTR PutRow(HWND context, const QmRowRecord* row)
{
    CQKWksPage* wks = FindWksByHandle(reinterpret_cast<INT_PTR>(context));
    if (!wks || !row || row->kind != QM_ROW_RECORD_KIND || !row->values || row->count == 0 ||
        row->count > wks->GetNumCols())
        return 1;
    int next = 0;
    for (int c = 1; c <= row->count; ++c)
        next = std::max(next, wks->GetColumn(c)->GetEnd());
    for (int c = 1; c <= row->count; ++c)
        if (!wks->GetColumn(c)->SetValue(next, row->values[c - 1]))
            return 1;
    return 0;
}

// Sent several times an iteration of a fit, so kept as the request's id and a copy of its
// text, made into the shown text only when asked for.
INT_PTR SetProgress(INT_PTR id, INT_PTR text)
{
    g_progressId = (int)id;
    g_progressShown = id || text;
    g_progressText[0] = 0;
    if (text)
        qxtext::CopyUpTo(g_progressText, sizeof g_progressText, reinterpret_cast<const char*>(text));
    return 0;
}

INT_PTR EvalPreparedRows(CQKScript& script, QFitRowsRecord* r)
{
    if (!r)
        return 1;
    int done = 0;
    const bool ok = script.EvaluatePreparedRows(r->handle, r->nColumns, reinterpret_cast<const int*>(r->slots),
                                                r->columns, r->rows, r->out, &done);
    r->done = done;
    return ok ? 0 : 1;
}

INT_PTR Handle(bool framework, HWND context, UINT request, INT_PTR a, INT_PTR b)
{
    // The requests a reader or writer sends for every line or value come first: they need
    // nothing of what the others fetch below.
    switch (request) {
    case HOST_IS_DATASET_NAME:
        return DS(a) ? 0 : 1;
    case HOST_GET_VALUE:
    case HOST_GET_VALUE_ALT:
    case HOST_GET_VALUE_K2:
    case HOST_GET_VALUE_K4:
        return GetValue(DS(a), reinterpret_cast<QFitValueRecord*>(b));
    case HOST_SET_VALUE:
    case HOST_SET_VALUE_K2:
    case HOST_SET_VALUE_K4:
        return SetValue(DS(a), reinterpret_cast<const QFitValueRecord*>(b));
    case HOST_SET_SIZE_FORMAT: {
        CQKDataset* d = DS(a);
        const QmSizeFormatRecord* r = reinterpret_cast<const QmSizeFormatRecord*>(b);
        return d && r && d->SetRange(r->first, r->end) ? 0 : 1;
    }
    case HOST_WKS_NUM_COLUMNS: {
        CQKWksPage* wks = Wks(a);
        return wks ? wks->GetNumCols() : 0;
    }
    case HOST_WKS_CHANGE_STAMP: {
        CQKWksPage* wks = Wks(a);
        return wks ? static_cast<INT_PTR>(wks->GetChangeStamp()) : 0;
    }
    case HOST_WKS_GET_COLUMN_ATTR: {
        CQKWksPage* wks = Wks(a);
        int* r = reinterpret_cast<int*>(b);
        CQKDataset* c = wks && r && r[0] == 1 ? wks->GetColumn(r[1]) : nullptr;
        if (!c)
            return 1;
        r[0] = c->m_format - 1;
        return 0;
    }
    case HOST_REQ_300C:
        return 0;
    }

    CQKProject& project = qkfxGetProject();
    CQKScript& script = qkfxGetScript();
    CQKCallLog& log = qkfxGetCallLog();
    const size_t textCapacity = framework ? QM_STRING_RESULT_SIZE : QFIT_HOST_TEXT_CAPACITY;

    switch (request) {
    // ---- script and variables ----
    case HOST_RUN_SCRIPT:
        return script.Execute(Text(a)) ? 0 : 1;
    case HOST_GET_VARIABLE: {
        double v = 0;
        if (!a || !script.GetVariable(Text(a), &v))
            return 1;
        if (b)
            *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_SET_VARIABLE: {
        std::string name = Text(a);
        if (name.empty())
            return 1;
        if (b) {
            const QFitVariableRecord* r = reinterpret_cast<const QFitVariableRecord*>(b);
            script.SetVariable(name, r->value, r->kind, r->index);
        } else if (!script.FindVariable(name)) {
            script.SetVariable(name, 0);
        }
        return 0;
    }
    case HOST_DELETE_VARIABLE:
        script.DeleteVariables(Text(a));
        return 0;
    case HOST_SET_STRING_VAR:
        return script.SetStringVar((int)b, Text(a)) ? 0 : 1;
    case HOST_GET_STRING_VAR: {
        std::string v;
        if (!a || !script.GetStringVar((int)b, &v))
            return 1;
        CopyOut(reinterpret_cast<char*>(a), textCapacity, v);
        return 0;
    }
    case HOST_EVAL_NUMBER:
    case HOST_EVAL_RECORD: {
        std::string expr = request == HOST_EVAL_NUMBER
                               ? Text(a)
                               : (a ? Text((INT_PTR)reinterpret_cast<const QFitTextRecord*>(a)->text) : std::string());
        double v = 0;
        // A failed evaluation is an answer, not an error of the running script: the callers
        // use it to ask whether a name is defined.
        if (expr.empty() || !script.Evaluate(expr, &v))
            return 1;
        if (b)
            *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_PREPARE_FORMULA: {
        int handle = a ? script.PrepareExpression(Text(a)) : 0;
        if (b)
            *reinterpret_cast<int*>(b) = handle;
        return handle ? 0 : 1;
    }
    case HOST_EVAL_PREPARED: {
        double v = 0;
        if (!script.EvaluatePrepared((int)a, &v))
            return 1;
        if (b)
            *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_EVAL_PREPARED_ROWS:
        return EvalPreparedRows(script, reinterpret_cast<QFitRowsRecord*>(b));
    case HOST_VARIABLE_SLOT: {
        std::string name = Text(a);
        if (name.empty())
            return 1;
        if (!script.FindVariable(name))
            script.SetVariable(name, 0);
        if (b)
            *reinterpret_cast<int*>(b) = script.GetVariableSlot(name);
        return 0;
    }
    case HOST_SET_VARIABLE_SLOT: {
        const QFitVariableRecord* r = reinterpret_cast<const QFitVariableRecord*>(b);
        return r && script.SetVariableBySlot((int)a, r->value, r->kind, r->index) ? 0 : 1;
    }
    case HOST_IS_RESERVED_NAME:
        return script.IsReservedName(Text(b)) ? 1 : 0;
    case HOST_TRANSLATE_FORMULA:
        // The interpreter reads formulas as the fitter writes them.
        CopyOut(reinterpret_cast<char*>(a), QFIT_FORMULA_CAPACITY, Text(b));
        return a ? 0 : 1;
    case HOST_PRINT_TEXT:
        script.Print(Text(a));
        return 0;
    case HOST_FAILURE_REASON:
        qkSetFailureReason(Text(a));
        log.Add("HOST_FAILURE_REASON", Text(a));
        return 0;
    case HOST_STATUS_TEXT:
        g_status = Text(a);
        log.Add("HOST_STATUS_TEXT", g_status);
        return 0;
    case HOST_FORMAT_NUMBER: {
        const QmFormatRecord* r = reinterpret_cast<const QmFormatRecord*>(b);
        if (!a || !r || !r->output)
            return 1;
        std::string s = CQKCString::DoubleToStrByFormat(*reinterpret_cast<const double*>(a), r->format ? r->format : "*");
        CopyOut(r->output, 64, s);
        return 0;
    }

    // ---- folders and windows ----
    case HOST_GET_FALLBACK_DIR:
    case HOST_GET_PROGRAM_DIR:
        CopyOut(reinterpret_cast<char*>(a), QFIT_HOST_TEXT_CAPACITY, qkGetProgramFolder());
        return a ? 0 : 1;
    case HOST_GET_SETTINGS_DIR:
        CopyOut(reinterpret_cast<char*>(a), QFIT_HOST_TEXT_CAPACITY, qkGetIniFolder());
        return a ? 0 : 1;
    case HOST_REQ_1019:
        CopyOut(reinterpret_cast<char*>(a), QFIT_HOST_TEXT_CAPACITY, CQKPath::Combine(qkGetIniFolder(), "quorix61.ini"));
        return a ? 0 : 1;
    case HOST_GET_WINDOW_NAME: {
        CQKPage* page = project.GetActivePage();
        CopyOut(reinterpret_cast<char*>(b), QFIT_HOST_TEXT_CAPACITY, page ? page->GetName() : std::string());
        return b && page ? 0 : 1;
    }
    case HOST_REQ_1023: {
        INT_PTR h = FindPageHandle(Text(a));
        if (b)
            *reinterpret_cast<INT_PTR*>(b) = h;
        return h ? 0 : 1;
    }
    case HOST_GET_WINDOW_ID: {
        CQKPage* page = project.GetActivePage();
        if (b)
            *reinterpret_cast<int*>(b) = page ? (int)(page->GetHandle() & 0xFFFF) : 0;
        return page ? 0 : 1;
    }
    case HOST_ACTIVATE_WINDOW: {
        CQKPage* page = project.FindPage(Text(a));
        if (!page)
            return 1;
        project.SetActivePage(page);
        return 0;
    }
    case HOST_FIND_OBJECT: {
        INT_PTR h = FindPageHandle(Text(a));
        if (b)
            *reinterpret_cast<INT_PTR*>(b) = h;
        return h ? 0 : 1;
    }
    case HOST_FIND_WINDOW: {
        std::string name = b ? Text(b) : a ? std::string(reinterpret_cast<const QmWindowRecord*>(a)->name) : std::string();
        return FindPageHandle(name.substr(0, QM_MAX_WINDOW_NAME));
    }
    case HOST_NAME_IN_USE:
        return project.IsNameInUse(Text(a)) ? 1 : 0;

    // ---- progress, errors, stop requests ----
    case HOST_POLL_ABORT:
        return g_abort ? 1 : 0;
    case HOST_REPORT_PROGRESS:
        return SetProgress(a, b);
    case HOST_REPORT_ERROR: {
        // The messages are the fitter's own strings; its "%s" takes the text.
        std::string message;
        char format[512] = "";
        HMODULE fitter = GetModuleHandleA("qxfitter.dll");
        if (fitter && LoadStringA(fitter, (UINT)a, format, sizeof format) > 0) {
            std::string f = format;
            size_t s = f.find("%s");
            message = s == std::string::npos ? f : f.substr(0, s) + Text(b) + f.substr(s + 2);
        } else {
            message = "Fit error " + std::to_string((int)a) + (b ? ": " + Text(b) : std::string());
        }
        log.Add("HOST_REPORT_ERROR", std::to_string((int)a) + (b ? " " + Text(b) : std::string()));
        script.Print(message, 2);
        return 0;
    }

    // ---- datasets ----
    case HOST_FIND_DATASET: {
        std::string name = Text(a);
        if (framework)
            name = name.substr(0, QM_MAX_DATASET_NAME);
        CQKDataset* d = a ? project.FindDataset(name) : nullptr;
        if (d && b) {
            if (framework) {
                QmRangeRecord* r = reinterpret_cast<QmRangeRecord*>(b);
                r->hostFirst = d->GetFirst();
                r->hostEnd = d->GetEnd();
            } else {
                QFitRowRange* r = reinterpret_cast<QFitRowRange*>(b);
                r->first = d->GetFirst();
                r->end = d->GetEnd();
            }
        }
        return Handle(d);
    }
    case HOST_OPEN_DATASET:
    case HOST_FIND_DATASET_EX: {
        QmRangeRecord* r = reinterpret_cast<QmRangeRecord*>(b);
        CQKWksPage* wks = dynamic_cast<CQKWksPage*>(project.FindPage(Text(a)));
        if (!wks || !r)
            return 0;
        CQKDataset* d = nullptr;
        if (request == HOST_FIND_DATASET_EX) {
            d = wks->FindColumn(Text(r->request));
        } else {
            // Results go to a column that may not exist yet: the worksheet grows to it.
            INT_PTR n = r->request;
            if (n >= 1 && n <= 4096)
                while (wks->GetNumCols() < n)
                    wks->AddColumn();
            d = wks->GetColumn((int)n);
        }
        if (d) {
            r->hostFirst = d->GetFirst();
            r->hostEnd = d->GetEnd();
        }
        return Handle(d);
    }
    case HOST_GET_COLUMN_DATASET: {
        CQKWksPage* wks = dynamic_cast<CQKWksPage*>(project.FindPage(Text(b).substr(0, QM_MAX_DATASET_NAME)));
        return wks ? Handle(wks->GetColumn((int)a + 1)) : 0;
    }
    case HOST_CREATE_DATASET:
    case HOST_REQ_3009:
        return Handle(CreateOrReuse(Text(a), b));
    case HOST_NEW_TEMP_DATASET: {
        CQKDataset* d = nullptr;
        for (int n = 1; !d && n < 100000; ++n)
            if (!project.FindDataset("Temp" + std::to_string(n)))
                d = project.CreateDataset("Temp" + std::to_string(n), 0);
        if (!d)
            return 0;
        d->m_temporary = true;
        qkAddTemporary(d->GetHandle());
        return d->GetHandle();
    }
    case HOST_DATASET_TEXT: {
        static std::string name;
        CQKDataset* d = DS(a);
        name = d ? d->GetName() : std::string();
        return d ? (INT_PTR)name.c_str() : 0;
    }
    case HOST_CHECK_DATASET:
        return DS(a) ? 0 : 1;
    case HOST_GET_DATASET_NAME: {
        CQKDataset* d = DS(a);
        CopyOut(reinterpret_cast<char*>(b), QFIT_HOST_TEXT_CAPACITY, d ? d->GetName() : std::string());
        return d && b ? 0 : 1;
    }
    case HOST_SET_DATASET_LABEL: {
        CQKDataset* d = DS(a);
        if (!d)
            return 1;
        d->m_label = Text(b);
        return 0;
    }
    case HOST_GET_PAIR: {
        CQKDataset* d = DS(a);
        QFitPairRecord* r = reinterpret_cast<QFitPairRecord*>(b);
        if (!d || !r || r->row < 0 || r->row >= d->GetEnd())
            return 1;
        r->first = XOf(d, r->row);
        r->second = d->GetValue(r->row);
        return 0;
    }
    case HOST_SET_PAIR: {
        CQKDataset* d = DS(a);
        const QmPairRecord* r = reinterpret_cast<const QmPairRecord*>(b);
        if (!d || !r || !d->SetValue(r->row, r->pair[1]))
            return 1;
        if (CQKDataset* x = DS(XDatasetOf(d)))
            x->SetValue(r->row, r->pair[0]);
        return 0;
    }
    case HOST_GET_VALUE_AT: {
        // By key: the value at the row whose X equals the key.
        CQKDataset* d = DS(a);
        QmKeyRecord* r = reinterpret_cast<QmKeyRecord*>(b);
        if (!d || !r)
            return 1;
        for (int row = d->GetFirst(); row < d->GetEnd(); ++row)
            if (XOf(d, row) == r->key) {
                r->value = d->GetValue(row);
                return IsMissingValue(r->value) ? 1 : 0;
            }
        r->value = MISSING_VALUE;
        return 1;
    }
    case HOST_GET_TEXT: {
        CQKDataset* d = DS(a);
        QmTextRecord* r = reinterpret_cast<QmTextRecord*>(b);
        if (!d || !r || !r->text)
            return 1;
        bool empty = !d->IsText(r->row) && IsMissingValue(d->GetValue(r->row));
        CopyOut(r->text, QM_STRING_RESULT_SIZE, empty ? std::string() : d->GetText(r->row));
        return 0;
    }
    case HOST_SET_TEXT: {
        CQKDataset* d = DS(a);
        const QmTextRecord* r = reinterpret_cast<const QmTextRecord*>(b);
        if (!d || !r || !r->text)
            return 1;
        return d->SetText(r->row, r->text) ? 0 : 1;
    }
    case HOST_SET_RANGE: {
        CQKDataset* d = DS(a);
        const QFitRowRange* r = reinterpret_cast<const QFitRowRange*>(b);
        return d && r && d->SetRange(r->first, r->end) ? 0 : 1;
    }
    case HOST_GET_RANGE: {
        CQKDataset* d = DS(a);
        QmRangeRecord* r = reinterpret_cast<QmRangeRecord*>(b);
        if (!d || !r)
            return 1;
        r->request = d->GetFirst();
        r->requestEnd = d->GetEnd();
        return 0;
    }
    case HOST_GET_ROW_RANGE: {
        CQKDataset* d = DS(a);
        QFitRowRanges* r = reinterpret_cast<QFitRowRanges*>(b);
        if (!d || !r)
            return 1;
        r->full = {d->GetFirst(), d->GetEnd()};
        UsedRows(d, &r->used.first, &r->used.end);
        return 0;
    }
    case HOST_GET_X_BOUNDS: {
        CQKDataset* d = DS(a);
        QFitXBounds* r = reinterpret_cast<QFitXBounds*>(b);
        if (!d || !r)
            return 1;
        int first, end;
        UsedRows(d, &first, &end);
        r->first = r->last = MISSING_VALUE;
        for (int row = first; row < end; ++row) {
            double x = XOf(d, row);
            if (IsMissingValue(x))
                continue;
            if (IsMissingValue(r->first))
                r->first = x;
            r->last = x;
        }
        return IsMissingValue(r->first) ? 1 : 0;
    }
    case HOST_REQ_3422: {
        // The linked dataset: the X dataset the values are plotted against.
        CQKDataset* d = DS(a);
        return d ? XDatasetOf(d) : 0;
    }
    case HOST_REQ_3423: {
        // X bounds of a dataset without X: its first and last row numbers.
        CQKDataset* d = DS(a);
        QFitXBounds* r = reinterpret_cast<QFitXBounds*>(b);
        if (!d || !r)
            return 1;
        int first, end;
        UsedRows(d, &first, &end);
        r->first = first + 1;
        r->last = end;
        return 0;
    }
    case HOST_GET_X_DATASET: {
        CQKDataset* d = DS(a);
        return d ? XDatasetOf(d) : 0;
    }
    case HOST_SET_X_DATASET:
    case HOST_SET_X_OTHER: {
        CQKDataset* d = DS(a);
        if (!d || (b && !DS(b)))
            return 1;
        d->m_xDataset = b;
        return 0;
    }
    case HOST_GET_PLOT_X_DATASET: {
        CQKDataset* d = DS(a);
        CQKGraphPage* g = project.GetActiveGraph();
        if (!d || !g)
            return 0;
        for (int i = 0; i < g->GetNumLayers(); ++i) {
            CQKGraphicLayer* layer = g->GetLayerByIndex(i, 1);
            for (int p = 0; p < layer->GetNumPlots(); ++p)
                if (auto* plot = dynamic_cast<CQKDataObj*>(layer->PlotObjByIndex(p, 1)))
                    if (plot->GetDataHandle() == a)
                        return XDatasetOf(d);
        }
        return 0;
    }
    case HOST_REQ_3005: {
        // A uniform result curve: its X dataset gets start + row * step.
        CQKDataset* d = DS(a);
        const QFitXStartStep* r = reinterpret_cast<const QFitXStartStep*>(b);
        if (!d || !r)
            return 1;
        std::string xname = d->GetName() + "_X";
        CQKDataset* x = project.FindDataset(xname);
        if (!x)
            x = project.CreateDataset(xname, d->GetEnd());
        if (!x)
            return 1;
        x->SetRange(0, d->GetEnd());
        for (int row = 0; row < d->GetEnd(); ++row)
            x->SetValue(row, r->start + row * r->step);
        d->m_xDataset = x->GetHandle();
        return 0;
    }
    case HOST_REQ_3004: {
        // Prepared for refilling: every value becomes missing, the rows stay.
        CQKDataset* d = DS(a);
        if (!d)
            return 1;
        int first = d->GetFirst(), end = d->GetEnd();
        d->SetRange(0, 0);
        d->SetRange(first, end);
        return 0;
    }
    case HOST_DATASET_UPDATE: {
        CQKDataset* d = DS(a);
        if (!d)
            return 1;
        int kind = b ? reinterpret_cast<const QFitPlotRecord*>(b)->values[0] : 0;
        log.Add("HOST_DATASET_UPDATE", d->GetName() + " " + std::to_string(kind));
        // A result curve appears as a line in the active layer beside the data it fits,
        // once: updating it again redraws the same plot.
        CQKGraphPage* graph = project.GetActiveGraph();
        CQKGraphicLayer* layer = graph ? graph->GetActiveLayer() : nullptr;
        if (kind && layer && !qkfxFindPlot(layer, d->GetName())) {
            std::vector<QKPlotData> data(1);
            data[0].dataset = d->GetName();
            data[0].handle = a;
            if (CQKDataset* x = project.GetDatasetFromHandle(XDatasetOf(d))) {
                QKPlotData xd;
                xd.role = QK_ROLE_X;
                xd.dataset = x->GetName();
                xd.handle = x->GetHandle();
                data.push_back(xd);
            }
            std::string error;
            if (!qkfxAddPlot(layer, QK_PLOT_LINE, data, &error))
                log.Add("HOST_DATASET_UPDATE", error);
        }
        // The graph shows the curve as it now is (a window is drawn only when asked).
        if (kind && layer)
            qkShowLayerAgain(*layer);
        return 0;
    }
    case HOST_REQ_3018: {
        QFitColumnQuery* q = reinterpret_cast<QFitColumnQuery*>(a);
        CQKDataset* d = q ? DS(q->dataset) : nullptr;
        if (!d || !d->GetOwner())
            return 1;
        CopyOut(q->buffer, q->bufferCapacity > 0 ? (size_t)q->bufferCapacity : 0, d->GetOwner()->GetName());
        q->column = d->GetOwner()->GetColumnIndex(d);
        return 0;
    }
    case HOST_REQ_3416: {
        // A new result worksheet's name: the stem given ("FIT") with the lowest free number.
        char* buf = reinterpret_cast<char*>(b);
        std::string stem = Text(b);
        if (!buf || !CQKProject::IsValidName(stem))
            return 1;
        for (int n = 1;; ++n)
            if (!project.IsNameInUse(stem + std::to_string(n))) {
                CopyOut(buf, QFIT_HOST_TEXT_CAPACITY, stem + std::to_string(n));
                return 0;
            }
    }
    case HOST_LIST_DATASETS: {
        // Names separated by blanks.
        std::string list;
        for (CQKDataset* d : project.GetAllDatasets())
            if (!d->m_temporary)
                list += (list.empty() ? "" : " ") + d->GetName();
        CopyOut(reinterpret_cast<char*>(a), QFIT_DATASET_LIST_CAPACITY, list);
        return a ? 0 : 1;
    }
    case HOST_TO_AXIS_SCALE:
    case HOST_FROM_AXIS_SCALE:
        // Axes are linear until graphs carry their scale types.
        if (!a || !b)
            return 1;
        *reinterpret_cast<double*>(b) = *reinterpret_cast<const double*>(a);
        return 0;
    case HOST_ADD_COLUMN: {
        // A result column in the active worksheet.
        CQKWksPage* wks = project.GetActiveWks();
        CQKDataset* d = wks ? wks->AddColumn(Text(b)) : nullptr;
        log.Add("HOST_ADD_COLUMN", Text(b));
        return Handle(d);
    }

    // ---- sessions ----
    case HOST_ATTACH_SESSION:
        g_sessions[context] = reinterpret_cast<void*>(a);
        return 0;
    case HOST_DETACH_SESSION:
        // Sent with context 0: the host's one window loses its session.
        g_sessions.erase(context ? context : qkGetHostWindow());
        return 0;
    case HOST_FIND_SESSION: {
        auto it = g_sessions.find(context);
        if (it == g_sessions.end() || !it->second)
            return 1;
        if (a)
            *reinterpret_cast<void**>(a) = it->second;
        return 0;
    }

    // ---- worksheets (framework) ----
    case HOST_WKS_REQ_6801: {
        CQKWksPage* wks = Wks(a);
        char* buf = reinterpret_cast<char*>(b);
        if (!wks || !buf)
            return 1;
        CQKDataset* c = wks->GetColumn(*reinterpret_cast<int*>(buf));
        if (!c)
            return 1;
        CopyOut(buf, QM_COLUMN_NAME_BUFFER, c->m_columnName);
        return 0;
    }
    case HOST_WKS_SET_COLUMN_NAME: {
        CQKWksPage* wks = Wks(a);
        const QmColumnTextRecord* r = reinterpret_cast<const QmColumnTextRecord*>(b);
        return wks && r && r->text && wks->RenameColumn(r->column, r->text) ? 0 : 1;
    }
    case HOST_WKS_REQ_6818: {
        CQKWksPage* wks = Wks(a);
        const QmColumnTextRecord* r = reinterpret_cast<const QmColumnTextRecord*>(b);
        CQKDataset* c = wks && r ? wks->GetColumn(r->column) : nullptr;
        if (!c)
            return 1;
        c->m_label = r->text ? r->text : "";
        return 0;
    }
    case HOST_WKS_SET_COLUMN_ATTR: {
        CQKWksPage* wks = Wks(a);
        const int* r = reinterpret_cast<const int*>(b);
        CQKDataset* c = wks && r && r[0] == 1 ? wks->GetColumn(r[1]) : nullptr;
        if (!c)
            return 1;
        // The protocol counts formats from 0 (QM_FORMAT_NUMBER), the data model from 1.
        c->SetFormat(r[2] + 1);
        return 0;
    }
    case HOST_WKS_REQ_6806: {
        // Code 9 appends a column.
        CQKWksPage* wks = Wks(a);
        const int* r = reinterpret_cast<const int*>(b);
        if (!wks || !r)
            return 1;
        if (r[1] == 9)
            return wks->AddColumn() ? 0 : 1;
        log.Add("HOST_WKS_REQ_6806", std::to_string(r[0]) + " " + std::to_string(r[1]));
        return 0;
    }
    case HOST_WKS_REQ_6804:
        log.Add("HOST_WKS_REQ_6804", std::to_string((int)b));
        return 0;
    case HOST_WKS_REQ_681A:
        log.Add("HOST_WKS_REQ_681A", std::to_string((int)b));
        return 0;

    // ---- memory blocks ----
    case HOST_MEMBLOCK_GET: {
        const QmMemBlockRecord* r = reinterpret_cast<const QmMemBlockRecord*>(a);
        std::string name = Text(b);
        if (name.empty())
            return 0;
        for (char& ch : name)
            ch = (char)toupper((unsigned char)ch);
        MemBlock& block = g_blocks[name];
        if (block.data.empty()) {
            size_t size = r && r->value > 0 ? (size_t)r->value : kDefaultBlockSize;
            if (size > kMaxBlockSize) {
                g_blocks.erase(name);
                return 0;
            }
            block.data.assign(size, 0);
        }
        ++block.users;
        return (INT_PTR)block.data.data();
    }
    case HOST_MEMBLOCK_RELEASE: {
        // Named memory outlives its users: a later request finds the same contents.
        std::string name = Text(b);
        for (char& ch : name)
            ch = (char)toupper((unsigned char)ch);
        auto it = g_blocks.find(name);
        if (it != g_blocks.end() && it->second.users > 0)
            --it->second.users;
        return 0;
    }

    // ---- named texts: saved queries of the database plug-in ----
    case HOST_REQ_9600: {
        QmSavedTextRead* r = reinterpret_cast<QmSavedTextRead*>(a);
        std::string name = Text(b);
        for (char& ch : name)
            ch = (char)toupper((unsigned char)ch);
        auto it = g_savedTexts.find(name);
        if (!r || !r->buffer || r->size <= 0 || it == g_savedTexts.end())
            return 1;
        CopyOut(r->buffer, (size_t)r->size, it->second);
        return 0;
    }
    case HOST_REQ_9601: {
        const QmSavedTextWrite* r = reinterpret_cast<const QmSavedTextWrite*>(a);
        std::string name = Text(b);
        if (!r || !r->text || name.empty())
            return 1;
        for (char& ch : name)
            ch = (char)toupper((unsigned char)ch);
        g_savedTexts[name] = r->text;
        return 0;
    }

    case HOST_OBJECT_PUT_ROW:
        if (!framework)
            break;
        return PutRow(context, reinterpret_cast<const QmRowRecord*>(a));
    case HOST_LIST_SEPARATOR:
        // Scripts here do not split lists by a separator of their own: any one is accepted.
        log.Add("HOST_LIST_SEPARATOR", Text(a));
        return 0;
    case HOST_REQ_300B:
        // Axis scales (apparent values) come with the graphs; until then values pass as
        // they are and the token is 0.
        return 0;

    // ---- notifications without effect here ----
    case HOST_REQ_1018:
        return 0;
    case HOST_REQ_3412:
        return b;
    case HOST_REQ_101F:
        // A line of the fit report, for the Results Log.
        script.Print(Text(a));
        log.Add("HOST_REQ_101F", Text(a));
        return 0;
    case HOST_REQ_101E:
    case HOST_REQ_1025:
    case HOST_REQ_1027:
    case HOST_REQ_1030:
    case HOST_REQ_1033:
    case HOST_REQ_1034:
    case HOST_REQ_103B:
    case HOST_REQ_340D:
    case HOST_REQ_344C: {
        // Requests of the fitter's window; they take effect when the user interface is there.
        char code[16];
        snprintf(code, sizeof code, "0x%04X", request);
        log.Add("HOST_REQ", code);
        return 0;
    }
    }
    // A request this host does not know is refused, so that the plug-in reports a failure
    // instead of going on as if the work were done.
    char code[16];
    snprintf(code, sizeof code, "0x%04X", request);
    log.Add("unknown host request", code);
    return 1;
}

} // namespace

// The requests a fit makes for every data point, answered before the general handler and
// its set-up: they are most of the callback's traffic.
INT_PTR WINAPI qkFitterHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b)
{
    static CQKScript* const script = &qkfxGetScript();
    switch (request) {
    case HOST_GET_VALUE:
    case HOST_GET_VALUE_ALT:
        return GetValue(DS(a), reinterpret_cast<QFitValueRecord*>(b));
    case HOST_SET_VALUE:
        return SetValue(DS(a), reinterpret_cast<const QFitValueRecord*>(b));
    case HOST_POLL_ABORT:
        return g_abort ? 1 : 0;
    case HOST_REPORT_PROGRESS:
        return SetProgress(a, b);
    case HOST_EVAL_PREPARED: {
        double v = 0;
        if (!script->EvaluatePrepared((int)a, &v))
            return 1;
        if (b)
            *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_EVAL_PREPARED_ROWS:
        return EvalPreparedRows(*script, reinterpret_cast<QFitRowsRecord*>(b));
    case HOST_SET_VARIABLE_SLOT: {
        const QFitVariableRecord* r = reinterpret_cast<const QFitVariableRecord*>(b);
        return r && script->SetVariableBySlot((int)a, r->value, r->kind, r->index) ? 0 : 1;
    }
    }
    return Handle(false, context, request, a, b);
}

INT_PTR WINAPI qkFrameworkHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b)
{
    return Handle(true, context, request, a, b);
}

void qkfxRequestAbort(bool on)
{
    g_abort = on;
}

bool qkIsAbortRequested()
{
    return g_abort;
}

void* qkfxGetMemoryBlock(const char* name, size_t* size)
{
    std::string n = name ? name : "";
    for (char& ch : n)
        ch = (char)toupper((unsigned char)ch);
    auto it = g_blocks.find(n);
    if (it == g_blocks.end())
        return nullptr;
    if (size)
        *size = it->second.data.size();
    return it->second.data.data();
}

void* qkfxGetAttachedSession()
{
    auto it = g_sessions.find(qkGetHostWindow());
    return it == g_sessions.end() ? nullptr : it->second;
}

std::string qkfxGetProgressText()
{
    return g_progressShown ? ProgressText(g_progressId) + std::string(g_progressText) : std::string();
}

std::string qkfxGetStatusText()
{
    return g_status;
}

std::map<std::string, std::vector<BYTE>> qkGetHostBlocks()
{
    std::map<std::string, std::vector<BYTE>> blocks;
    for (const auto& b : g_blocks)
        blocks[b.first].assign(b.second.data.begin(), b.second.data.end());
    return blocks;
}

bool qkSetHostBlock(const std::string& name, const std::vector<BYTE>& bytes)
{
    std::string n = name;
    for (char& ch : n)
        ch = (char)toupper((unsigned char)ch);
    MemBlock& block = g_blocks[n];
    // A plug-in holding the block keeps its address: only the contents may change.
    if (block.users > 0 && block.data.size() != bytes.size())
        return false;
    block.data.assign(bytes.begin(), bytes.end());
    return true;
}

void qkClearHostBlocks()
{
    for (auto it = g_blocks.begin(); it != g_blocks.end();)
        it = it->second.users > 0 ? std::next(it) : g_blocks.erase(it);
}

std::map<std::string, std::string>& qkSavedTexts()
{
    return g_savedTexts;
}

// The fitting session page: the parameter table, the iteration buttons, the history of
// parameter sets and a log of what each action did.
#include "SessionPage.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"

namespace {

// The log keeps its tail: past this many characters its oldest lines go.
const size_t kLogLimit = 3584;
const size_t kLogCutFrom = 512;

std::string LoadText(int id)
{
    char text[512] = "";
    LoadStringA(FitterInstance, id, text, sizeof text);
    return text;
}

std::string Formatted(int id, const char* a, int n = 0)
{
    const std::string format = LoadText(id);
    char text[1024];
    if (strstr(format.c_str(), "%d") && strstr(format.c_str(), "%s"))
        snprintf(text, sizeof text, format.c_str(), n, a);
    else if (strstr(format.c_str(), "%d"))
        snprintf(text, sizeof text, format.c_str(), n);
    else
        snprintf(text, sizeof text, format.c_str(), a ? a : "");
    return text;
}

std::string ReducedChiSquare(FittingSession* s)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(s->chiSqr, 0, text);
    return text;
}

void SetCaptions(HWND page, FittingSession* s)
{
    SetDlgItemTextA(page, IDC_SESSION_NITER, Formatted(IDS_N_ITER, nullptr, s->iterationCount).c_str());
    SetDlgItemTextA(page, IDC_SESSION_SIMPLEX, Formatted(IDS_N_SIMPLEX, nullptr, s->iterationCount).c_str());
}

void ShowLogEnd(HWND page)
{
    HWND log = GetDlgItem(page, IDC_SESSION_LOG);
    const int lines = static_cast<int>(SendMessageA(log, EM_GETLINECOUNT, 0, 0));
    const int top = static_cast<int>(SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(log, EM_LINESCROLL, 0, lines - 8 - top);
}

// Drops the head of a long log: the cut lies past the first kLogCutFrom characters and
// after at least four line ends, so that only whole lines go.
std::string TrimLog(const std::string& log)
{
    if (log.size() < kLogLimit)
        return log;
    size_t feeds = 0;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\n')
            ++feeds;
        if (i > kLogCutFrom && feeds >= 4 && log[i] == '\n')
            return log.substr(i + 1);
    }
    return std::string();
}

void RefillRows(HWND page, FittingSession* s)
{
    FreeParamTexts(s);
    PrepareParamTexts(page, s, IDD_PAGE_SESSION);
    FillParamRows(page, s, IDD_PAGE_SESSION);
}

// Datasets the fit needs; when they are missing the user is told and sent to the
// datasets page. Nonzero refuses the action.
int RequireDatasets(HWND page, FittingSession* s)
{
    ClearMissingDatasets(s);
    bool missing = CheckCurrentFunction(s) != 0;
    for (int d = 1; !missing && d <= s->nDep; ++d)
        missing = s->dep[d].dataset == 0;
    if (!missing)
        return 0;
    FitMessageDialog(page, s, 1, IDS_NO_DATASETS, nullptr, nullptr, nullptr, "Ok");
    if (s->fitterWindow)
        PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_DATASETS, 0);
    return 1;
}

void RunAction(HWND page, FittingSession* s, int action)
{
    if (RequireDatasets(page, s))
        return;
    RefreshParamPanel(s, page, IDD_PAGE_SESSION);
    if (action == IDC_SESSION_CHISQR) {
        RunIterations(s, 0, 0, 0, nullptr);
        AppendIterationLog(page, s, action, 0);
        return;
    }
    const int kind = action == IDC_SESSION_SIMPLEX ? 3 : 0;
    const int count = action == IDC_SESSION_ONE_ITER ? 1 : s->iterationCount;
    const int result = RunIterations(s, kind, 0, count, nullptr);
    if (s->nIter > 0) {
        PushParamHistory(s);
        EnableHistoryButtons(s, page);
    }
    AppendIterationLog(page, s, action == IDC_SESSION_SIMPLEX ? action : IDC_SESSION_ONE_ITER, result);
}

void MoveInHistory(HWND page, FittingSession* s, bool back)
{
    if ((back ? ParamHistoryBack(s) : ParamHistoryForward(s)) < 0)
        return;
    EnableHistoryButtons(s, page);
    s->valuesEdited = 0;
    RefillRows(page, s);
    if (s->basicFitter == KW_YES)
        SetDlgItemTextA(page, IDC_SESSION_REDUCED, ReducedChiSquare(s).c_str());
}

void OnInitDialog(HWND page, FittingSession* s)
{
    s->valuesEdited = 0;
    SetupParamPanel(page, s, IDC_PARAM_SCROLL, IDD_PAGE_SESSION);
    RefillRows(page, s);
    SetCaptions(page, s);
    if (!s->history)
        InitParamHistory(s);
    EnableHistoryButtons(s, page);
    if (s->savedLog) {
        SetDlgItemTextA(page, IDC_SESSION_LOG, s->savedLog);
        FreeAndClear(s->savedLog);
        ShowLogEnd(page);
    } else {
        SetDlgItemTextA(page, IDC_SESSION_LOG, LoadText(IDS_ESC_TO_STOP).c_str());
        s->actionCount = 0;
    }
    if (s->basicFitter == KW_YES)
        SetDlgItemTextA(page, IDC_SESSION_REDUCED, ReducedChiSquare(s).c_str());
    SetFocus(GetDlgItem(page, IDC_SESSION_NITER));
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    HWND main = s->fitterWindow;
    switch (id) {
    case IDC_SESSION_ONE_ITER:
    case IDC_SESSION_NITER:
    case IDC_SESSION_SIMPLEX:
    case IDC_SESSION_CHISQR:
        RunAction(page, s, id);
        return;
    case IDC_SESSION_DONE:
        FinishFit(s, -1);
        SetDlgItemTextA(page, IDC_SESSION_LOG, "");
        CloseFitterWindow(s);
        return;
    case IDC_HISTORY_BACK:
    case IDC_HISTORY_FORWARD:
        MoveInHistory(page, s, id == IDC_HISTORY_BACK);
        return;
    case IDC_SESSION_SELECT:
        PostMessageA(main, WM_COMMAND, PAGE_ID_SELECT, 0);
        return;
    case IDC_BASIC_DATASETS:
        PostMessageA(main, WM_COMMAND, PAGE_ID_DATASETS, 0);
        return;
    case CMD_PAGE_BASIC_MODE:
        s->rebuildPage = 1;
        PostMessageA(main, WM_COMMAND, CMD_PAGE_BASIC_MODE, 0);
        return;
    }
}

}  // namespace

void AppendIterationLog(HWND page, FittingSession* s, int action, int result)
{
    if (s->basicFitter == KW_YES)
        SetDlgItemTextA(page, IDC_SESSION_REDUCED, ReducedChiSquare(s).c_str());
    ++s->actionCount;
    if (action != IDC_SESSION_CHISQR)
        RefillRows(page, s);

    HWND control = GetDlgItem(page, IDC_SESSION_LOG);
    const int length = GetWindowTextLengthA(control);
    std::string log(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, &log[0], length + 1);
    log.resize(strlen(log.c_str()));
    log = TrimLog(log);

    const bool lm = action == IDC_SESSION_ONE_ITER;
    const std::string dashes(lm ? 24 : 32, '-');
    char head[32];
    snprintf(head, sizeof head, "(%u)", static_cast<unsigned>(s->actionCount));
    const int nameId = action == IDC_SESSION_CHISQR ? IDS_LOG_CHISQR : lm ? IDS_LOG_LM : IDS_LOG_SIMPLEX;
    log += head + dashes + LoadText(nameId) + dashes + "\r\n";
    const std::string reduced = ReducedChiSquare(s);
    if (action == IDC_SESSION_CHISQR) {
        log += Formatted(IDS_LOG_REDUCED, reduced.c_str());
    } else {
        if (result == FIT_ERR_STOPPED)
            log += LoadText(IDS_LOG_STOPPED);
        if (action == IDC_SESSION_SIMPLEX)
            log += Formatted(IDS_LOG_VERTICES, nullptr, s->trials);
        log += s->nIter > 0 ? Formatted(IDS_LOG_PROGRESSED, reduced.c_str(), s->nIter)
                            : Formatted(IDS_LOG_NOT_REDUCED, reduced.c_str());
        log += Formatted(IDS_LOG_TOTAL, nullptr, s->iterationsSinceBegin);
        if (result == FIT_WARN_DEPENDENCY) {
            log += Formatted(IDS_MUTUAL_DEPENDENCY, s->pendingText) + "\r\n";
        } else if (result != 0) {
            ReportFitError(s, s->callback, page, result);
        }
    }
    SetWindowTextA(control, log.c_str());
    ShowLogEnd(page);
}

INT_PTR CALLBACK FitSession(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, IDD_PAGE_SESSION};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveSessionPage(HWND page, FittingSession* s)
{
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    CommitParamValues(page, s);
    FreeParamTexts(s);
    if (!s->rebuildPage)
        FreeParamHistory(s);
    FreeAndClear(s->savedLog);
    HWND control = GetDlgItem(page, IDC_SESSION_LOG);
    const int length = control ? GetWindowTextLengthA(control) : 0;
    if (IsFitActive(s) && length > 0) {
        s->savedLog = AllocArray<char>(static_cast<size_t>(length) + 1);
        if (s->savedLog)
            GetWindowTextA(control, s->savedLog, length + 1);
    }
    return 0;
}

#include "AppQuorix.h"

#include "PageClasses.h"
#include "QKAccess.h"
#include "QrxMultiDocTemplate.h"
#include "Splash.h"
#include "TipDlg.h"
#include "XlChildFrame.h"
#include "XlView.h"
#include "resource.h"

// {6A1D2C40-3B7E-4F51-9C2A-51D0E8A3B611}
const CLSID CAppQuorix::clsid = {0x6a1d2c40, 0x3b7e, 0x4f51, {0x9c, 0x2a, 0x51, 0xd0, 0xe8, 0xa3, 0xb6, 0x11}};

BEGIN_MESSAGE_MAP(CAppQuorix, CQuorixApp)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
    ON_COMMAND(ID_HELP_TIPOFTHEDAY, OnHelpTipOfTheDay)
END_MESSAGE_MAP()

BOOL CAppQuorix::InitInstance()
{
    qkfxAddScriptResource("QDAREAD.QGS", AfxGetResourceHandle(), IDR_QDAREAD);
    BOOL result = CQuorixApp::InitInstance();
    // The start is over once the main window shows: a start screen kept until the tip has
    // gone would stand as a window of its own, without a caption, behind the tip.
    DeleteStartScreen();
    if (result) {
        // A hidden start shows nothing, so it shows no tip either, whatever the splash
        // setting says: a modal dialog would hold up whoever started the program hidden.
        CQUCommandLineInfo cmdInfo;
        ParseCommandLine(cmdInfo);
        CTipDlg tip(m_pMainWnd);
        if (cmdInfo.m_bShowSplash && !cmdInfo.m_bHidden
            && cmdInfo.m_nShellCommand != CCommandLineInfo::FileDDE && tip.m_bStartup)
            tip.DoModal();
    }
    OnAfterSplashScreen(result);
    return result;
}

CQUOpenScreen* CAppQuorix::CreateSplashScreen(BOOL)
{
    if (GetCustomModification())
        return new CQUOpenScreen;
    return new CAppSplash;
}

UINT CAppQuorix::get_mainframe_resource_id()
{
    return IDR_MAINFRAME_QUORIX;
}

UINT CAppQuorix::get_IDP_OLE_INIT_FAILED_id()
{
    return IDP_OLE_INIT_FAILED;
}

CMDIFrameWnd* CAppQuorix::create_main_frame_object()
{
    return new CMainFrameQuorix;
}

void CAppQuorix::init_document_templates()
{
    CRuntimeClass* frame = RUNTIME_CLASS(CChildFrameQuorix);
    CMultiDocTemplate* graph = nullptr;
    CMultiDocTemplate* templates[] = {
        new CWorksheetMultiDocTemplate(IDR_WKSTYPE, RUNTIME_CLASS(CWksDocQuorix), frame, RUNTIME_CLASS(CWksViewQuorix)),
        graph = new CGraphMultiDocTemplate(IDR_GRAPHTYPE, RUNTIME_CLASS(CGraphDocQuorix), frame, RUNTIME_CLASS(CGraphViewQuorix)),
        new CLayoutMultiDocTemplate(IDR_LAYOUTTYPE, RUNTIME_CLASS(CQULayoutDoc), frame, RUNTIME_CLASS(CQULayoutView)),
        new CMatrixMultiDocTemplate(IDR_MATRIXTYPE, RUNTIME_CLASS(CMatrixDocQuorix), frame, RUNTIME_CLASS(CMatrixViewQuorix)),
        new CxlMultiDocTemplate(IDR_EXCELTYPE, RUNTIME_CLASS(CQUExcelDoc), RUNTIME_CLASS(CxlChildFrame),
                                RUNTIME_CLASS(CQUxlView)),
        new CNotesMultiDocTemplate(IDR_NOTESTYPE, RUNTIME_CLASS(CNotesDocQuorix), RUNTIME_CLASS(CNotesChildFrame),
                                   RUNTIME_CLASS(CNotesViewQuorix)),
    };
    for (CMultiDocTemplate* t : templates) {
        AddDocTemplate(t);
        add_doc_template(t);
        if (t == graph) {
            // Embedded: the graph's own menu; in place: menu 4 merged into the container's.
            graph->SetServerInfo(IDR_GRAPHTYPE, IDR_GRAPH_SRVR_INPLACE, RUNTIME_CLASS(CInPlaceFrameQuorix));
            NewTemplateServer(clsid, graph, TRUE);
        }
    }
}

int CAppQuorix::GetStrFromAppRes(UINT id, CString& text)
{
    if (id == ID_VIEW_GRAPH_EXPORT_SERVER_STATUS)
        text.LoadString(IDS_GRAPH_EXPORT_SERVER_STATUS);
    return 1;
}

void CAppQuorix::OnHelpTipOfTheDay()
{
    CTipDlg tip;
    tip.DoModal();
}

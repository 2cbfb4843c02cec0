#include "TipDlg.h"
#include "resource.h"

#include <QKAccess.h>
#include <ctime>
#include <sys/stat.h>

namespace {

const char kSection[] = "Tip";
const char kStartup[] = "StartUp";
const char kFilePos[] = "FilePos";
const char kTimeStamp[] = "TimeStamp";

// Lines starting so are comments or continuations and never show as a tip.
bool IsSkippedLine(const CString& line)
{
    return line.IsEmpty() || line[0] == ' ' || line[0] == '\t' || line[0] == '\n' || line[0] == ';';
}

// One whole line, its line feed kept (a carriage return before it dropped); false at the
// end of the file. Lines of any length come back whole, so the tail of a long tip never
// shows up as a tip of its own.
bool ReadLine(FILE* stream, CString& line)
{
    line.Empty();
    char buffer[1000];
    while (std::fgets(buffer, sizeof buffer, stream)) {
        line += buffer;
        if (line.Right(1) == "\n") {
            if (line.Right(2) == "\r\n")
                line = line.Left(line.GetLength() - 2) + "\n";
            return true;
        }
    }
    return !line.IsEmpty();
}

} // namespace

BEGIN_MESSAGE_MAP(CTipDlg, CDialog)
    ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
    ON_BN_CLICKED(IDC_TIP_STARTUP, OnStartup)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CString CTipDlg::GetTipsFilePath()
{
    CString folder = qkfxGetExePath().c_str();
    if (!folder.IsEmpty() && folder.Right(1) != "\\" && folder.Right(1) != "/")
        folder += "\\";
    return folder + "tips.txt";
}

CTipDlg::CTipDlg(CWnd* pParent)
    : CDialog(IDD_TIP, pParent)
{
    CWinApp* app = AfxGetApp();
    m_bStartup = app->GetProfileInt(kSection, kStartup, 0) == 0;
    long offset = (long)app->GetProfileInt(kSection, kFilePos, 0);

    CString path = GetTipsFilePath();
    // Binary, so that the offsets kept in the profile are plain byte offsets whatever line
    // ends the file was written with; ReadLine drops the carriage returns.
    m_pStream = std::fopen(path, "rb");
    if (!m_pStream) {
        m_strTip.LoadString(IDS_TIP_FILE_ABSENT);
        return;
    }
    struct _stat info;
    if (_stat(path, &info) == 0) {
        time_t modified = info.st_mtime;
        CString stamp = std::ctime(&modified);
        stamp.TrimRight();
        if (stamp != app->GetProfileString(kSection, kTimeStamp)) {
            app->WriteProfileString(kSection, kTimeStamp, stamp);
            offset = 0;
        }
    }
    if (offset < 0 || std::fseek(m_pStream, offset, SEEK_SET) != 0)
        AfxMessageBox(IDS_TIP_CORRUPT_FILE);
    else
        GetNextTipString(m_strTip);
}

CTipDlg::~CTipDlg()
{
    if (m_pStream) {
        AfxGetApp()->WriteProfileInt(kSection, kFilePos, (int)std::ftell(m_pStream));
        std::fclose(m_pStream);
    }
}

void CTipDlg::GetNextTipString(CString& tip)
{
    CString line;
    // The file is read from the current tip to its end and then once from its start; a
    // file without a single tip line ends the search there instead of going round for ever.
    bool wrapped = false;
    for (;;) {
        if (!ReadLine(m_pStream, line)) {
            if (wrapped) {
                tip.LoadString(IDS_TIP_CORRUPT_FILE);
                return;
            }
            if (std::fseek(m_pStream, 0, SEEK_SET) != 0) {
                AfxMessageBox(IDS_TIP_CORRUPT_FILE);
                return;
            }
            wrapped = true;
            continue;
        }
        if (!IsSkippedLine(line)) {
            tip = line;
            return;
        }
    }
}

void CTipDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_TIP_STARTUP, m_bStartup);
    DDX_Text(pDX, IDC_TIP_TEXT, m_strTip);
}

BOOL CTipDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_pStream)
        GetDlgItem(IDC_TIP_NEXT)->EnableWindow(FALSE);
    return TRUE;
}

void CTipDlg::OnNextTip()
{
    GetNextTipString(m_strTip);
    UpdateData(FALSE);
}

void CTipDlg::OnStartup()
{
    UpdateData(TRUE);
}

void CTipDlg::OnPaint()
{
    CPaintDC dc(this);
    CString heading;
    heading.LoadString(IDS_TIP_DIDYOUKNOW);
    GetDlgItem(IDC_TIP_HEADING)->SetWindowText(heading);
}

void CTipDlg::OnOK()
{
    CDialog::OnOK();
    AfxGetApp()->WriteProfileInt(kSection, kStartup, m_bStartup ? 0 : 1);
}

#include "QUTextObj.h"

#include <afxcmn.h>
#include <afxwin.h>
#include <math.h>

#include <string>

#include "ObjectsResources.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKPageDraw.h"
#include "QKSysMethod.h"
#include "QKUtil.h"
#include "QUControls.h"

namespace {

// Inline format codes: a run is a backslash, the code, its argument, "(", the text, ")".
enum FormatCode {
    kSubscript = 1,
    kSuperscript,
    kBold,
    kColor,
    kFont,
    kGreek,
    kItalic,
    kUnderline,
};

const char* const kCodes[] = {"", "-", "+", "b", "c", "f:", "g", "i", "u"};

const int kMinTab = 2, kMaxTab = 100;

// The code a toolbar command applies; 0 for "Normal", -1 for none.
int CodeOfCommand(UINT id)
{
    switch (id) {
    case 1121: return 0;
    case 1122: return kBold;
    case 1123: return kItalic;
    case 1124: return kUnderline;
    case 1125: return kSuperscript;
    case 1126: return kSubscript;
    case 1127: return kGreek;
    default: return -1;
    }
}

// Where the ")" closing the "(" at `open` is; -1 when it is not closed.
int MatchingParen(const CString& text, int open)
{
    int depth = 0;
    for (int i = open; i < text.GetLength(); ++i) {
        if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i;
    }
    return -1;
}

// Shows the label's text as the graph will: formatted by the kernel, on the colour of the
// page the label stands on (taken when the dialog opens).
class CQUTextPreviewWnd : public CWnd
{
public:
    CQUTextPreviewWnd()
    {
        CQKPage* page = qkfxGetProject().GetActivePage();
        m_background = page ? page->GetBackgroundColorRef(1) : RGB(255, 255, 255);
    }
    CString m_strText;
    CQKTextStyle m_style;
    int m_nColor = 0;
    int m_nTabWidth = 8;
    BOOL m_bShowLinkVars = FALSE;
    COLORREF m_background;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, m_background);
        CQKTextDC text(dc.m_hDC, m_style, m_nColor);
        text.ApplyTextTabWidth(m_nTabWidth);
        text.DrawQuorixText((const char*)m_strText, client, m_bShowLinkVars);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQUTextPreviewWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class CQUTextDialog : public CDialog
{
public:
    explicit CQUTextDialog(CQKTextObj* text) : CDialog(IDD_QD_TEXT), m_pText(text) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_TEXT_EDIT, m_edit);
        DDX_Control(pDX, IDC_QD_TEXT_FONT, m_font);
        DDX_Control(pDX, IDC_QD_TEXT_SIZE, m_size);
        DDX_Control(pDX, IDC_QD_TEXT_COLOR, m_color);
        DDX_Control(pDX, IDC_QD_TEXT_ROTATE, m_rotate);
        DDX_Control(pDX, IDC_QD_TEXT_BACKGROUND, m_background);
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CRect place;
        GetDlgItem(IDC_QD_TEXT_TOOLBAR_PLACE)->GetWindowRect(&place);
        ScreenToClient(&place);
        m_toolbar.Create(WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_TOOLTIPS,
                         place, this, IDC_QD_TEXT_TOOLBAR);

        m_pText->GetTextStyle(m_style);
        int height = m_size.GetItemHeight(-1);
        SetUpImageCombo(m_font, height);
        m_font.AddFontNames();
        m_font.SetCurSel(m_style.font);
        m_size.INIResStringComboBox(IDS_QD_FONT_SIZES, -1);
        m_size.SetIntegerToComboBoxText(m_style.size);
        SetUpImageCombo(m_color, height);
        m_color.AddColorNames();
        m_nColor = m_pText->GetColor();
        m_color.SetCurSel(m_nColor);
        m_rotate.INIResStringComboBox(IDS_QD_ROTATIONS, -1);
        m_rotate.SetIntegerToComboBoxText(m_style.rotation / 10);
        m_style.rotation = 0; // the preview is drawn unrotated
        m_nBackground = m_pText->IsBorder() ? m_pText->GetBorderStyle() + 1 : 0;
        m_background.INIResStringComboBox(IDS_QD_BACKGROUNDS, m_nBackground);
        CheckDlgButton(IDC_QD_TEXT_SYSTEM_FONT, (m_style.flags & QK_TEXT_SYSTEM_FONT) != 0);
        CheckDlgButton(IDC_QD_TEXT_CENTER, m_style.alignment == QK_TEXT_CENTER_MULTILINE);
        CheckDlgButton(IDC_QD_TEXT_WHITE_OUT, (m_style.flags & QK_TEXT_WHITE_OUT) != 0);
        EnableFontControls();
        SendDlgItemMessage(IDC_QD_TEXT_TAB_SPIN, UDM_SETRANGE32, kMinTab, kMaxTab);
        m_nTab = m_pText->GetTabWidth();
        ShowTab();

        m_edit.SetFont(CFont::FromHandle((HFONT)GetStockObject(SYSTEM_FIXED_FONT)));
        m_edit.SetWindowText(m_pText->GetTextString().c_str());
        m_edit.SetSel(0, -1);

        m_preview.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), this,
                           IDC_QD_TEXT_PREVIEW);
        Layout();
        UpdatePreview();
        return TRUE;
    }

    void OnOK() override
    {
        if (!Save())
            return;
        if (IsDlgButtonChecked(IDC_QD_TEXT_APPLY_ALL))
            m_pText->ApplyStyleToAll(0);
        EndDialog(IDOK);
    }

    void OnSize(UINT, int, int)
    {
        if (m_preview.m_hWnd)
            Layout();
    }

    void OnTextChange() { UpdatePreview(); }

    void OnFontChange()
    {
        int font = m_font.GetCurSel();
        if (font < 0)
            return;
        if (IsWholeText()) {
            m_style.font = font;
        } else {
            std::string name;
            CQKFontManager::GetFontName(font, name);
            ApplyFormat(kFont, name.c_str());
        }
        UpdatePreview();
    }

    void OnColorChange()
    {
        int colour = m_color.GetCurSel();
        if (colour < 0)
            return;
        if (IsWholeText()) {
            m_nColor = colour;
        } else {
            CString argument;
            argument.Format("%d", colour + 1);
            ApplyFormat(kColor, argument);
        }
        UpdatePreview();
    }

    void OnSizeSelect()
    {
        CString text;
        m_size.GetLBText(m_size.CComboBox::GetCurSel(), text);
        TakeSize(text);
    }

    void OnSizeEdit()
    {
        CString text;
        m_size.GetWindowText(text);
        TakeSize(text);
    }

    void OnCheck()
    {
        SetFlag(QK_TEXT_SYSTEM_FONT, IsDlgButtonChecked(IDC_QD_TEXT_SYSTEM_FONT));
        SetFlag(QK_TEXT_WHITE_OUT, IsDlgButtonChecked(IDC_QD_TEXT_WHITE_OUT));
        m_style.alignment = IsDlgButtonChecked(IDC_QD_TEXT_CENTER) ? QK_TEXT_CENTER_MULTILINE : 0;
        EnableFontControls();
        UpdatePreview();
    }

    // The border is kept with the other choices until OK, so that Cancel leaves the
    // label as it was.
    void OnBackgroundChange()
    {
        m_nBackground = m_background.CComboBox::GetCurSel();
        UpdatePreview();
    }

    void OnTabKillFocus()
    {
        CString text;
        GetDlgItemText(IDC_QD_TEXT_TAB, text);
        double value = 0;
        if (CQKCString((LPCTSTR)text).GetReal(&value))
            m_nTab = (int)fmin(fmax(value, kMinTab), kMaxTab);
        ShowTab();
        UpdatePreview();
    }

    void OnTabSpin(NMHDR* pNotify, LRESULT* pResult)
    {
        NMUPDOWN* updown = reinterpret_cast<NMUPDOWN*>(pNotify);
        int tab = updown->iPos + updown->iDelta;
        if (tab >= kMinTab && tab <= kMaxTab) {
            m_nTab = tab;
            SetDlgItemInt(IDC_QD_TEXT_TAB, m_nTab);
            UpdatePreview();
        }
        *pResult = 0;
    }

    void OnFormat(UINT id)
    {
        int code = CodeOfCommand(id);
        if (code == 0)
            RemoveFormat();
        else if (code > 0)
            ApplyFormat(code, "");
        UpdatePreview();
    }

    // Makes the dialog's values the default of new labels; this label keeps its own
    // until OK.
    void OnSetDefault()
    {
        std::string text = m_pText->GetTextString();
        int colour = m_pText->GetColor();
        BOOL border = m_pText->IsBorder();
        int borderStyle = m_pText->GetBorderStyle();
        int tab = m_pText->GetTabWidth();
        CQKTextStyle style;
        m_pText->GetTextStyle(style);
        CQKTextStyle copy = m_style;
        if (!Save())
            return;
        // The new default goes into the saved property settings as they are in the file,
        // and the session's own settings (which the user may not have saved) come back.
        CQKQrxSystem* system = qkfxGetAccess()->GetQrxSystem();
        system->SaveTemporary();
        system->LoadPropertySettings(nullptr, nullptr);
        m_pText->SetDefault(0);
        system->SavePropertySettings(nullptr, nullptr);
        system->LoadTemporary();
        m_pText->SetDefault(0);
        m_pText->SetTextString(text);
        m_pText->SetColor(colour);
        m_pText->EnableBorder(border);
        if (border)
            m_pText->SetBorderStyle(borderStyle);
        m_pText->SetTabWidth(tab);
        m_pText->SetTextStyle(style);
        m_style = copy;
    }

    BOOL OnHelpInfo(HELPINFO*)
    {
        WinHelp(IDD_QD_TEXT, HELP_CONTEXT);
        return TRUE;
    }

    DECLARE_MESSAGE_MAP()

private:
    template <class Combo> void SetUpImageCombo(Combo& combo, int height)
    {
        combo.SetItemHeight(-1, height);
        combo.SetItemHeight(0, height);
        combo.SetRectSize(CSize(height, height));
    }

    void SetFlag(BYTE flag, BOOL on)
    {
        m_style.flags = on ? (BYTE)(m_style.flags | flag) : (BYTE)(m_style.flags & ~flag);
    }

    void EnableFontControls()
    {
        BOOL system = IsDlgButtonChecked(IDC_QD_TEXT_SYSTEM_FONT);
        m_font.EnableWindow(!system);
        m_size.EnableWindow(!system);
    }

    void TakeSize(const CString& text)
    {
        int size = 0;
        if (CQKCString((LPCTSTR)text).GetInt(&size) && size > 0) {
            m_style.size = size;
            UpdatePreview();
        }
    }

    void ShowTab()
    {
        SetDlgItemInt(IDC_QD_TEXT_TAB, m_nTab);
        SendDlgItemMessage(IDC_QD_TEXT_TAB_SPIN, UDM_SETPOS32, 0, m_nTab);
    }

    bool IsWholeText()
    {
        int start, end;
        m_edit.GetSel(start, end);
        return start == end || (start == 0 && end == m_edit.GetWindowTextLength());
    }

    void Message(UINT id)
    {
        CString text, caption;
        text.LoadString(id);
        caption.LoadString(IDS_QD_ATTENTION);
        MessageBox(text, caption, MB_OK | MB_ICONEXCLAMATION);
    }

    // Wraps the selection in a run of the code; a run of the same code around the
    // selection is removed instead (a colour or font run is replaced by the new one).
    void ApplyFormat(int code, const CString& argument)
    {
        int start, end;
        m_edit.GetSel(start, end);
        if (m_edit.LineFromChar(start) != m_edit.LineFromChar(end > start ? end - 1 : start)) {
            Message(IDS_QD_MULTILINE_FORMAT);
            return;
        }
        CString text;
        m_edit.GetWindowText(text);
        if (end > start + 1 && text[start] == '\\' && text[start + 1] == kCodes[code][0] && RemoveFormat()) {
            if (argument.IsEmpty())
                return;
            m_edit.GetSel(start, end);
        }
        CString open = CString("\\") + kCodes[code] + argument + "(";
        m_edit.SetSel(end, end);
        m_edit.ReplaceSel(")");
        m_edit.SetSel(start, start);
        m_edit.ReplaceSel(open);
        int close = end + open.GetLength();
        if (end > start)
            m_edit.SetSel(start, close + 1);
        else
            m_edit.SetSel(close, close);
    }

    // Replaces a selected run by its text; only a selection that is one whole run.
    bool RemoveFormat()
    {
        int start, end;
        m_edit.GetSel(start, end);
        CString text;
        m_edit.GetWindowText(text);
        if (end - start < 3 || text[start] != '\\' || text[end - 1] != ')')
            return false;
        int open = text.Find('(', start);
        if (open < 0 || open >= end || MatchingParen(text, open) != end - 1)
            return false;
        CString inner = text.Mid(open + 1, end - 1 - open - 1);
        m_edit.ReplaceSel(inner);
        m_edit.SetSel(start, start + inner.GetLength());
        return true;
    }

    // Writes the dialog's values into the label; false (and nothing written) when the
    // rotation is not a number.
    bool Save()
    {
        CString rotation;
        m_rotate.GetWindowText(rotation);
        double degrees = 0;
        if (!CQKCString((LPCTSTR)rotation).GetReal(&degrees)) {
            Message(IDS_QD_ROTATION_NOT_A_NUMBER);
            m_rotate.SetFocus();
            return false;
        }
        // Tenths of a degree are kept in 16 bits: a full turn or more is reduced first.
        CQKTextStyle style = m_style;
        style.rotation = (short)lround(fmod(degrees, 360.0) * 10);
        CString text;
        m_edit.GetWindowText(text);
        m_pText->SetTextString((LPCTSTR)text);
        m_pText->SetTextStyle(style);
        m_pText->SetColor(m_nColor);
        m_pText->EnableBorder(m_nBackground > 0);
        if (m_pText->IsBorder())
            m_pText->SetBorderStyle(m_nBackground - 1);
        m_pText->SetTabWidth(m_nTab);
        return true;
    }

    void Layout()
    {
        CRect area, client;
        GetDlgItem(IDC_QD_TEXT_AREA)->GetWindowRect(&area);
        ScreenToClient(&area);
        GetClientRect(&client);
        int middle = area.top + (client.bottom - area.top) / 2;
        m_edit.MoveWindow(area.left, area.top, client.right - area.left, middle - 2 - area.top);
        m_preview.MoveWindow(0, middle + 2, client.right, client.bottom - middle - 2);
    }

    void UpdatePreview()
    {
        if (!m_preview.m_hWnd)
            return;
        m_edit.GetWindowText(m_preview.m_strText);
        m_preview.m_style = m_style;
        m_preview.m_nColor = m_nColor;
        m_preview.m_nTabWidth = m_nTab;
        m_preview.m_bShowLinkVars = m_pText->IsShowLinkVars();
        m_preview.Invalidate();
    }

    CQKTextObj* m_pText;
    CQKTextStyle m_style;
    int m_nColor = 0;
    int m_nBackground = 0;
    int m_nTab = 8;
    CEdit m_edit;
    CQUFontComboBox m_font;
    CQUStringComBox m_size, m_rotate, m_background;
    CQUColorComboBox m_color;
    CQUImageToolBarCtrl m_toolbar;
    CQUTextPreviewWnd m_preview;
};

BEGIN_MESSAGE_MAP(CQUTextDialog, CDialog)
    ON_WM_SIZE()
    ON_WM_HELPINFO()
    ON_EN_CHANGE(IDC_QD_TEXT_EDIT, OnTextChange)
    ON_CBN_SELCHANGE(IDC_QD_TEXT_FONT, OnFontChange)
    ON_CBN_SELCHANGE(IDC_QD_TEXT_COLOR, OnColorChange)
    ON_CBN_SELCHANGE(IDC_QD_TEXT_SIZE, OnSizeSelect)
    ON_CBN_EDITCHANGE(IDC_QD_TEXT_SIZE, OnSizeEdit)
    ON_CBN_SELCHANGE(IDC_QD_TEXT_ROTATE, OnTextChange)
    ON_CBN_EDITCHANGE(IDC_QD_TEXT_ROTATE, OnTextChange)
    ON_CBN_SELCHANGE(IDC_QD_TEXT_BACKGROUND, OnBackgroundChange)
    ON_BN_CLICKED(IDC_QD_TEXT_SYSTEM_FONT, OnCheck)
    ON_BN_CLICKED(IDC_QD_TEXT_CENTER, OnCheck)
    ON_BN_CLICKED(IDC_QD_TEXT_WHITE_OUT, OnCheck)
    ON_BN_CLICKED(IDC_QD_TEXT_SET_DEFAULT, OnSetDefault)
    ON_EN_KILLFOCUS(IDC_QD_TEXT_TAB, OnTabKillFocus)
    ON_NOTIFY(UDN_DELTAPOS, IDC_QD_TEXT_TAB_SPIN, OnTabSpin)
    ON_COMMAND_RANGE(1120, 1128, OnFormat)
END_MESSAGE_MAP()

} // namespace

int CQUTextObj::DoDialog(CWnd*, int, UINT)
{
    // The template holds an up-down control, whose class must exist before the dialog
    // is made, also in a host that did not start through the framework.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
    CQUTextDialog dialog(this);
    return (int)dialog.DoModal();
}

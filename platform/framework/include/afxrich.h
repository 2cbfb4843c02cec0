// The rich-edit document and view: a view whose client area is one rich edit control, and
// a document that reads and writes that control's text (plain bytes, or RTF when asked).
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

class CRichEditDoc;

class QXAFX_API CRichEditView : public CView
{
    DECLARE_DYNCREATE(CRichEditView)
public:
    // Word-wrap modes.
    enum WordWrapType { WrapNone = 0, WrapToWindow = 1 };

    CRichEditView();
    ~CRichEditView() override;

    CRichEditCtrl& GetRichEditCtrl() const { return const_cast<CRichEditCtrl&>(m_edit); }
    CRichEditDoc* GetDocument() const;
    // The control's whole text.
    CString GetText() const;
    void SetText(LPCTSTR text);
    // Puts the text after the last character; the caret ends after it.
    void AppendText(LPCTSTR text);
    // Applies m_nWordWrap to the control.
    void WrapChanged();
    int m_nWordWrap = WrapNone;

    void OnDraw(CDC* pDC) override;
    // Reads (bRTF false: plain bytes) the archive's file into the control, or writes the
    // control's text to it.
    void Stream(CArchive& ar, BOOL bRTF);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    // The control's notifications reach the frame as the view's own, as they would if the
    // view were the control.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

    CRichEditCtrl m_edit;
};

class QXAFX_API CRichEditDoc : public CDocument
{
    DECLARE_DYNAMIC(CRichEditDoc)
public:
    // The view that holds the text; null before the view is made.
    CRichEditView* GetView() const;
    // Serialize writes and reads the view's control: RTF when set, else the plain text.
    BOOL m_bRTF = TRUE;
    void Serialize(CArchive& ar) override;
};

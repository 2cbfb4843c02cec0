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

    // Finds the text after the selection (down) or before it, selects it; FALSE when it
    // is not there.
    BOOL FindText(LPCTSTR lpszFind, BOOL bCase, BOOL bWord, BOOL bNext = TRUE);

    // The edit commands. Paste takes only the clipboard's plain text.
    afx_msg void OnEditUndo();
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditPaste();
    afx_msg void OnEditClear();
    afx_msg void OnEditSelectAll();
    afx_msg void OnEditFind();
    afx_msg void OnEditReplace();
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNeedSel(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNeedText(CCmdUI* pCmdUI);
    // What the find and replace dialog asks for.
    afx_msg LRESULT OnFindReplaceCmd(WPARAM wParam, LPARAM lParam);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    // The control's notifications reach the frame as the view's own, as they would if the
    // view were the control.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Opens the find dialog, or the replace dialog (bFindOnly FALSE).
    void OnEditFindReplace(BOOL bFindOnly);
    // The message box when the text is not found.
    virtual void OnTextNotFound(LPCTSTR lpszFind);

    CRichEditCtrl m_edit;
    CWnd* m_pFindDialog = nullptr;
    BOOL m_bFindOnly = TRUE;
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

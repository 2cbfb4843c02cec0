// The bases of every Plot Details page. A page edits the object the tab manager hands it
// (a plot object, a layer or the graph page); all three bases tell the dialog of a change
// (which enables Apply) and decide when the page reads and writes its object:
// - plot pages read the plot each time they become active and write it when a changed
//   page is left or Apply is pressed;
// - layer and graph-page pages fill members from the object once, move them through data
//   exchange, and write them on Apply (SaveMembers). Notifications while a page fills
//   itself are not changes.
#pragma once

#include <afxdlgs.h>

#include <vector>

#include "QDExport.h"
#include "QKData.h"
#include "QKControls.h"
#include "QKGraphObjects.h"

class CQUPlotDetailsTabChecker;

class QD_API CQUPlotDetailsPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CQUPlotDetailsPage)
public:
    // nIDTemplate is the page's own template id (what the dialog's first tab names);
    // nIDResource the template it is built from, when that differs.
    explicit CQUPlotDetailsPage(UINT nIDTemplate, UINT nIDResource = 0);

    virtual void SetEditedObject(CQKBase* pObject) { m_pObject = pObject; }
    virtual void ObjectToControls() {}
    virtual void ControlsToObject() {}
    virtual BOOL OnSheetReady(CPropertySheet*) { return TRUE; }
    // The change filter: clicks, selection and edit changes mark the page changed.
    virtual BOOL OnControlNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT CommitNow(WPARAM, LPARAM) { return 0; }

    void BeginModalState() override { EnableWindow(FALSE); }
    void EndModalState() override { EnableWindow(TRUE); }

    // Sends a message to the dialog (the parent of the sheet).
    LRESULT NotifyDialog(UINT message, WPARAM wParam, LPARAM lParam);
    void MarkChanged();
    void EnableAllControls(BOOL bEnable);
    // The page's tab text, now (when it stands in a sheet) and whenever it is added.
    void SetCaption(const char* text, CPropertySheet* pSheet = nullptr);
    void SetCaptionFromString(UINT nID, CPropertySheet* pSheet = nullptr);

    CQKBase* GetEditedObject() const { return m_pObject; }
    BOOL IsChanged() const { return m_bChanged; }
    void ClearChanged() { m_bChanged = FALSE; }
    UINT GetTemplateID() const { return m_nTemplateID; }

protected:
    void DoDataExchange(CDataExchange*) override {}
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg LRESULT OnCommitNow(WPARAM wParam, LPARAM lParam);

    CQKBase* m_pObject;
    BOOL m_bChanged;
    UINT m_nTemplateID;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsPlotObjTab : public CQUPlotDetailsPage
{
    DECLARE_DYNAMIC(CQUPlotDetailsPlotObjTab)
public:
    explicit CQUPlotDetailsPlotObjTab(UINT nIDTemplate, UINT nIDResource = 0);

    virtual void InitControls() {}
    // The kind the tab checker files the page under; -1 for none.
    virtual int GetPageKind() const { return -1; }
    virtual void ShowControlsForObject() {}
    virtual void BindColorControls() {}
    virtual void UnbindColorControls() {}

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    CQKPlotObj* GetPlot() const { return static_cast<CQKPlotObj*>(m_pObject); }
    CQUPlotDetailsTabChecker* GetTabChecker() const;
    BOOL IsActivated() const { return m_bActivated; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The inside of the page's preview frame, filled white, in *r; FALSE when the frame is
    // not there yet.
    BOOL PaintPreviewArea(CDC& dc, UINT nFrameID, CRect* r);
    // After a colour button's choice: a colour taken through the colour map gives the
    // plot a colour map of its own (the default levels over the column when it has none),
    // which the colour-map pages then edit.
    void KeepColorMapFor(int qcolor);
    // The base handling of a colour button's choice: a change, as a click is.
    void ColorMenuChosen(WPARAM nID);

    BOOL m_bInitialized;
    BOOL m_bGroupDependent; // in a group that is not independent
    BOOL m_bActivated;
    BOOL m_bSpecialPoint;
};

class QD_API CQUPlotDetailsLayerTab : public CQUPlotDetailsPage
{
    DECLARE_DYNAMIC(CQUPlotDetailsLayerTab)
public:
    explicit CQUPlotDetailsLayerTab(UINT nIDTemplate);

    virtual void InitControls() {}
    virtual void LoadMembers() {}
    virtual void SaveMembers() {}
    BOOL OnControlNotify(WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    CQKGraphicLayer* GetLayer() const { return dynamic_cast<CQKGraphicLayer*>(m_pObject); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL m_bLoaded;
};

class QD_API CQUPlotDetailsPageTab : public CQUPlotDetailsPage
{
    DECLARE_DYNAMIC(CQUPlotDetailsPageTab)
public:
    explicit CQUPlotDetailsPageTab(UINT nIDTemplate);

    virtual void InitControls() {}
    virtual void LoadMembers() {}
    virtual void SaveMembers() {}
    BOOL OnInitDialog() override;

    CQKGraphPage* GetGraphPage() const { return dynamic_cast<CQKGraphPage*>(m_pObject); }
    // A layout page hides what only graphs have.
    BOOL IsLayout() const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL m_bLoaded;
};

// Stands in the sheet for a page this version does not have, saying so, so that the
// tabs a plot needs are all there and none pretends to edit anything.
class QD_API CQUPlotDetailsNotAvailable : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsNotAvailable(UINT nIDTemplate, int nKind, const char* caption);
    int GetPageKind() const override { return m_nKind; }
    void InitControls() override;

private:
    int m_nKind;
    CString m_strName;
};

// Whether a control notification counts as a change (a click, a selection or edit change).
bool PDIsChangeNotification(UINT code);

// The worksheet of a plot's Y dataset (its columns fill the pages' column lists); null
// when the plot draws no worksheet column.
CQKWksPage* PDPlotWorksheet(const CQKPlotObj* plot);

// Fills a combo box with the items of a list string: items in double quotes, one after
// another ("None" "Raster"). A doubled ampersand stays as it is (the list shows prefixes).
std::vector<CString> PDSplitList(const char* list);
void PDFillComboFromText(CComboBox& combo, const char* list);
void PDFillComboFromString(CComboBox& combo, UINT nID);

// Shows the colour list or the colour button of one colour of a plot at their common
// place, as the plot's colour contents say; answers whether the button is in use.
BOOL PDShowColorPair(CWnd* page, UINT nComboID, CQKColorMenuButtonCtrl& button, BOOL bShown = TRUE);

// Colour lists that start with "Automatic": entry 0 is the automatic colour (-9), entry
// i + 1 the kernel's colour i.
const int PD_AUTO_COLOR = -9;
inline int PDColorToIndex(int color) { return color == PD_AUTO_COLOR ? 0 : color + 1; }
inline int PDIndexToColor(int index) { return index <= 0 ? PD_AUTO_COLOR : index - 1; }
// Shows a number rounded to hundredths, halves away from zero.
void PDShowRounded(CComboBox& combo, double value);
// The whole text as a number; false when it is not one.
bool PDReadNumber(const CString& text, double& value);

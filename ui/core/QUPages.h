// The user interface's page classes.
//
// The kernel keeps every window's data in a page and calls the page's virtual operations
// when it needs the window: to close, activate, minimise or title it, to install a menu
// of its own, to ask whether closing prompts, and to create the objects that live on the
// page. These subclasses route those calls to the page's document and frame, and create
// the user interface's subclasses of the graphic objects (whose dialogs are ours), so the
// kernel never names a user-interface class. The bridge makes them for the kernel.
#pragma once

#include <new>
#include <utility>

#include "QDGraphPage.h"
#include "QKData.h"
#include "QUExport.h"
#include "QUSelection.h"

class CQuorixDoc;

// The window operations every page kind shares, over the page's document and frame.
namespace QUPageWindow {
QU_API CQuorixDoc* GetDoc(const CQKPage* page);
QU_API int CloseWnd(CQKPage* page);
// show: SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE, or SW_SHOW for an activation.
QU_API int ShowFrame(CQKPage* page, int show);
QU_API int GetWindowState(CQKPage* page, std::string& text);
QU_API int OnDestroy(CQKPage* page);
QU_API int OnInternalActivate(CQKPage* page, BOOL bRestore);
QU_API void OnPageChange(CQKPage* page, WORD change);
QU_API int SetPagespecificMenu(CQKPage* page, HMENU menu, BOOL bUpdate);
QU_API int ClearPagespecificMenu(CQKPage* page, BOOL bUpdate);
QU_API int OnInternalSetTitle(CQKPage* page, const char* title);
QU_API CQKTextObj* NewTextObj();
} // namespace QUPageWindow

// A kernel page class with its window reached through the document and frame.
template <class Base>
class CQUPageWithWindow : public Base {
public:
    template <class... Args>
    explicit CQUPageWithWindow(Args&&... args) : Base(&qkfxGetProject(), std::string(), std::forward<Args>(args)...)
    {
    }
    int OnCloseWnd() override { return QUPageWindow::CloseWnd(this); }
    int Minimize() override { return QUPageWindow::ShowFrame(this, SW_MINIMIZE); }
    int Restore() override { return QUPageWindow::ShowFrame(this, SW_RESTORE); }
    int Activate() override { return QUPageWindow::ShowFrame(this, SW_SHOW); }
    int Maximize() override { return QUPageWindow::ShowFrame(this, SW_MAXIMIZE); }
    int GetWindowState(std::string& text) override { return QUPageWindow::GetWindowState(this, text); }
    int OnDestroy() override { return QUPageWindow::OnDestroy(this) && Base::OnDestroy(); }
    int OnInternalActivate(BOOL bRestore) override { return QUPageWindow::OnInternalActivate(this, bRestore); }
    void SetPageChange(WORD change) override
    {
        Base::SetPageChange(change);
        QUPageWindow::OnPageChange(this, change);
    }
    int SetPagespecificMenu(HMENU menu, BOOL bUpdate) override
    {
        return QUPageWindow::SetPagespecificMenu(this, menu, bUpdate);
    }
    int ClearPagespecificMenu(BOOL bUpdate) override { return QUPageWindow::ClearPagespecificMenu(this, bUpdate); }
    int OnInternalSetTitle(const char* title) override { return QUPageWindow::OnInternalSetTitle(this, title); }
    CQKTextObj* PgCreateCQKTextObj() override { return QUPageWindow::NewTextObj(); }
    CQuorixDoc* get_doc() const { return QUPageWindow::GetDoc(this); }
};

class QU_API CQUWksPage : public CQUTableElements<CQUPageWithWindow<CQKWksPage>> {
public:
    int GetImageListIndex() override { return 0; }
    // The layer contents dialog, modal without parent; 1 however it ends.
    int LayerPlotContentsDialog(int* reserved) override;
    // The column format dialog over the page's frame (the main window when it has none); 1.
    int ColumnFormatDialog(int column) override;
    // The worksheet script dialog over the page's frame; Do It runs the script after it,
    // and a script that fails says why in a message box. 1.
    int WorksheetScriptDialog() override;
    int GetClosePrompt() override;
    CQKErrorBar* PgCreateCQKErrorBar() override;
};

// The dialog library's graph page, so that the kernel's Plot Details requests (a
// double-click on a plot, `set %C`) open the dialog on this page.
class QU_API CQUGraphPage : public CQUPageWithWindow<CQDGraphPage> {
public:
    CQUGraphPage() = default;
    int GetImageListIndex() override { return 1; }
    int GetClosePrompt() override;
    CQKAxes* PgCreateCQKAxes() override;
    CQKErrorBar* PgCreateCQKErrorBar() override;
    // The page's document registers the graph as running under path.
    int RegisterGraphAsRunning(const char* path) override;
    int OnBeforeCloseWnd(DWORD reserved) override;

protected:
    explicit CQUGraphPage(QKPageType type) : CQUPageWithWindow<CQDGraphPage>(type) {}
};

class QU_API CQULayoutPage : public CQUGraphPage {
public:
    CQULayoutPage() : CQUGraphPage(QK_PAGE_LAYOUT) {}
    int GetImageListIndex() override { return 4; }
    int IsLayoutPage() override { return 1; }
    int GetClosePrompt() override;
};

class QU_API CQUMatrixPage : public CQUTableElements<CQUPageWithWindow<CQKMatrixPage>> {
public:
    CQKSelAllColsRows* PgCreateCQKSelAllColsRows() override { return new (std::nothrow) CQUSelAllColsRows; }
    int GetImageListIndex() override { return 2; }
    int GetClosePrompt() override;
    // The matrix dialogs, over the page's frame (the main window when it has none).
    int OnEditProperties(int reserved) override;
    int OnEditDimensions() override;
    int EditMatrixValues() override;
};

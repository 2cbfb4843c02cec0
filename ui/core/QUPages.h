// The user interface's page classes.
//
// The kernel keeps every window's data in a page and calls the page's virtual operations
// when it needs the window: to close, activate, minimise or title it, to install a menu
// of its own, to ask whether closing prompts, and to create the objects that live on the
// page. These subclasses route those calls to the page's document and frame, and create
// the user interface's subclasses of the graphic objects (whose dialogs are ours), so the
// kernel never names a user-interface class. The bridge makes them for the kernel.
#pragma once

#include "QKData.h"
#include "QUExport.h"

class CQuorixDoc;

class QU_API CQUWksPage : public CQKWksPage {
public:
    CQUWksPage();
    int GetImageListIndex() override { return 0; }
    int OnCloseWnd() override;
    int Minimize() override;
    int Restore() override;
    int Activate() override;
    int Maximize() override;
    int GetWindowState(std::string& text) override;
    int GetClosePrompt() override;
    int OnDestroy() override;
    int OnInternalActivate(BOOL bRestore) override;
    void SetPageChange(WORD change) override;
    int SetPagespecificMenu(HMENU menu, BOOL bUpdate) override;
    int ClearPagespecificMenu(BOOL bUpdate) override;
    int OnInternalSetTitle(const char* title) override;
    CQKTextObj* PgCreateCQKTextObj() override;
    CQKErrorBar* PgCreateCQKErrorBar() override;
    CQuorixDoc* get_doc() const;
};

class QU_API CQUGraphPage : public CQKGraphPage {
public:
    CQUGraphPage();
    int GetImageListIndex() override { return 1; }
    int OnCloseWnd() override;
    int Minimize() override;
    int Restore() override;
    int Activate() override;
    int Maximize() override;
    int GetWindowState(std::string& text) override;
    int GetClosePrompt() override;
    int OnDestroy() override;
    int OnInternalActivate(BOOL bRestore) override;
    void SetPageChange(WORD change) override;
    int SetPagespecificMenu(HMENU menu, BOOL bUpdate) override;
    int ClearPagespecificMenu(BOOL bUpdate) override;
    int OnInternalSetTitle(const char* title) override;
    CQKTextObj* PgCreateCQKTextObj() override;
    CQKAxes* PgCreateCQKAxes() override;
    CQKErrorBar* PgCreateCQKErrorBar() override;
    CQuorixDoc* get_doc() const;

protected:
    explicit CQUGraphPage(QKPageType type);
};

class QU_API CQULayoutPage : public CQUGraphPage {
public:
    CQULayoutPage();
    int GetImageListIndex() override { return 4; }
    int IsLayoutPage() override { return 1; }
    int GetClosePrompt() override;
};

class QU_API CQUMatrixPage : public CQKMatrixPage {
public:
    CQUMatrixPage();
    int GetImageListIndex() override { return 2; }
    int OnCloseWnd() override;
    int Minimize() override;
    int Restore() override;
    int Activate() override;
    int Maximize() override;
    int GetWindowState(std::string& text) override;
    int GetClosePrompt() override;
    int OnDestroy() override;
    int OnInternalActivate(BOOL bRestore) override;
    void SetPageChange(WORD change) override;
    int SetPagespecificMenu(HMENU menu, BOOL bUpdate) override;
    int ClearPagespecificMenu(BOOL bUpdate) override;
    int OnInternalSetTitle(const char* title) override;
    CQKTextObj* PgCreateCQKTextObj() override;
    CQuorixDoc* get_doc() const;
};

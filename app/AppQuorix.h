// The application object of the main program. It names the program's own resources and
// classes (start screen, main frame, document templates) and shows the tip of the day
// after start-up; everything else is the application base's.
#pragma once
#include "QuorixApp.h"

class CAppQuorix : public CQuorixApp
{
public:
    // The class identifier under which other programs find graph documents.
    static const CLSID clsid;

    BOOL InitInstance() override;
    CQUOpenScreen* CreateSplashScreen(BOOL bShow) override;
    UINT get_mainframe_resource_id() override;
    UINT get_IDP_OLE_INIT_FAILED_id() override;
    CMDIFrameWnd* create_main_frame_object() override;
    void init_document_templates() override;
    int GetStrFromAppRes(UINT id, CString& text) override;

protected:
    afx_msg void OnHelpTipOfTheDay();
    DECLARE_MESSAGE_MAP()
};

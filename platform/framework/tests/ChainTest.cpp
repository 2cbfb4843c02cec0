// The resource chain across the program and two extension libraries, and strings and
// objects handed between modules.
#include <afxwin.h>
#include <gtest/gtest.h>
#include "TestResources.h"

namespace {

// Loads both test libraries; each joins the chain from its DllMain.
class ResourceChain : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hA = ::LoadLibraryA("qxafxtesta.dll");
        m_hB = ::LoadLibraryA("qxafxtestb.dll");
        ASSERT_NE(m_hA, nullptr);
        ASSERT_NE(m_hB, nullptr);
    }
    void TearDown() override
    {
        if (m_hB)
            ::FreeLibrary(m_hB);
        if (m_hA)
            ::FreeLibrary(m_hA);
    }
    HMODULE m_hA = nullptr;
    HMODULE m_hB = nullptr;
};

}

TEST_F(ResourceChain, EachKindIsFoundInTheModuleThatHoldsIt)
{
    struct Case { const char* name; LPCTSTR id; LPCTSTR type; HMODULE* pExpected; };
    HMODULE hProgram = ::GetModuleHandleA(nullptr);
    const Case cases[] = {
        {"string of A", MAKEINTRESOURCE(IDS_A_GREETING / 16 + 1), RT_STRING, &m_hA},
        {"string of B", MAKEINTRESOURCE(IDS_B_GREETING / 16 + 1), RT_STRING, &m_hB},
        {"dialog of A", MAKEINTRESOURCE(IDD_A_DIALOG), RT_DIALOG, &m_hA},
        {"bitmap of A", MAKEINTRESOURCE(IDB_A_BITMAP), RT_BITMAP, &m_hA},
        {"icon of A", MAKEINTRESOURCE(IDI_A_ICON), RT_GROUP_ICON, &m_hA},
        {"accelerators of A", MAKEINTRESOURCE(IDR_A_ACCEL), RT_ACCELERATOR, &m_hA},
        {"menu of B", MAKEINTRESOURCE(IDR_B_MENU), RT_MENU, &m_hB},
        {"cursor of B", MAKEINTRESOURCE(IDC_B_CURSOR), RT_GROUP_CURSOR, &m_hB},
        {"dialog of the program", MAKEINTRESOURCE(IDD_VALUES), RT_DIALOG, &hProgram},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AfxFindResourceHandle(c.id, c.type), *c.pExpected) << c.name;

    CString s;
    EXPECT_TRUE(s.LoadString(IDS_A_GREETING));
    EXPECT_STREQ(s, "Greeting from A");
    EXPECT_TRUE(s.LoadString(IDS_B_GREETING));
    EXPECT_STREQ(s, "Greeting from B");
    EXPECT_TRUE(s.LoadString(IDS_PROGRAM_ONLY));
    EXPECT_STREQ(s, "Text of the program");
    // The program's own resource module comes first in the search.
    EXPECT_TRUE(s.LoadString(IDS_SHADOWED));
    EXPECT_STREQ(s, "Shadowed text from the program");
    // A string the program does not hold comes from A, though the program holds others of
    // its block of sixteen.
    EXPECT_TRUE(s.LoadString(IDS_A_BESIDE_SHADOWED));
    EXPECT_STREQ(s, "Beside the shadowed text, from A");

    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_B_MENU));
    CString item;
    menu.GetSubMenu(0)->GetMenuString(ID_B_SECOND, item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "&Second");
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_A_BITMAP));
    BITMAP bm;
    bitmap.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 8);
    EXPECT_EQ(bm.bmHeight, 4);
    CWinApp app;
    EXPECT_NE(app.LoadIcon(IDI_A_ICON), nullptr);
    EXPECT_NE(app.LoadCursor(IDC_B_CURSOR), nullptr);

    // A dialog whose template lives in A.
    CDialog dlg(IDD_A_DIALOG);
    ASSERT_TRUE(dlg.Create(IDD_A_DIALOG));
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_STREQ(caption, "Dialog of A");
    dlg.DestroyWindow();
}

TEST_F(ResourceChain, ResourceHandleOverrideAndLeavingTheChain)
{
    HINSTANCE hOld = AfxGetResourceHandle();
    EXPECT_EQ(hOld, ::GetModuleHandleA(nullptr));
    // With B as the resource module, B's resources are found there first.
    AfxSetResourceHandle(m_hB);
    EXPECT_EQ(AfxGetResourceHandle(), m_hB);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(IDR_B_MENU), RT_MENU), m_hB);
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_SHADOWED));   // the program is no longer first: A has it
    EXPECT_STREQ(s, "Shadowed text from A");
    AfxSetResourceHandle(hOld);

    // A library that is unloaded takes its resources out of the chain.
    ::FreeLibrary(m_hA);
    m_hA = nullptr;
    EXPECT_FALSE(s.LoadString(IDS_A_GREETING));
    EXPECT_TRUE(s.LoadString(IDS_B_GREETING));
}

TEST_F(ResourceChain, StringsAndObjectsCrossModules)
{
    typedef void (*MakeString)(CString*, int);
    typedef void (*Append)(CString&, LPCTSTR);
    typedef CObject* (*CreateArray)();
    typedef void (*Release)(CString*);
    auto pfnMake = (MakeString)::GetProcAddress(m_hA, "ExtensionA_MakeString");
    auto pfnAppend = (Append)::GetProcAddress(m_hA, "ExtensionA_Append");
    auto pfnCreate = (CreateArray)::GetProcAddress(m_hA, "ExtensionA_CreateArray");
    auto pfnRelease = (Release)::GetProcAddress(m_hB, "ExtensionB_Release");
    ASSERT_TRUE(pfnMake && pfnAppend && pfnCreate && pfnRelease);

    // Made in A, grown and freed here.
    CString s;
    pfnMake(&s, 3);
    EXPECT_STREQ(s, "A:3!!!");
    s += CString('x', 1000);
    EXPECT_EQ(s.GetLength(), 1006);

    // Made here, reallocated in A.
    CString t("program");
    pfnAppend(t, " and a long tail that forces the buffer to move");
    EXPECT_STREQ(t, "program and a long tail that forces the buffer to move");

    // Allocated in A, freed in B.
    CString* pHeap = new CString;
    pfnMake(pHeap, 2);
    pfnRelease(pHeap);

    // An object made in A is a framework object here: one class registry.
    CObject* pObject = pfnCreate();
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CStringArray)));
    CStringArray* pArray = (CStringArray*)pObject;
    EXPECT_STREQ(pArray->GetAt(0), "made in A");
    pArray->Add("added here");
    delete pObject;
}

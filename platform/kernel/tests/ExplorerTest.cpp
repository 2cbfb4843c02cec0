// The project explorer's folders: the model, project files, and the tree and list
// controls driven as the explorer bar drives them.
#include "KernelTest.h"

#include "QKExplorer.h"
#include "QKFile.h"
#include <qxtest/ProjectRecords.h>

namespace {

class ExplorerTest : public KernelTest {
protected:
    CQKProject& P() { return qkfxGetProject(); }
    CQKFolder* Root() { return P().GetRootFolder(); }
};

TEST_F(ExplorerTest, FolderNamesPathsAndMoves)
{
    CQKFolder* a = P().CreateFolder(Root(), "");
    CQKFolder* b = P().CreateFolder(Root(), "");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetName(), "Folder1");
    EXPECT_EQ(b->GetName(), "Folder2");
    CQKFolder* c = P().CreateFolder(a, "Runs 2026");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetPath(), "/Folder1/Runs 2026/");
    EXPECT_EQ(P().FindFolderByPath("/folder1/RUNS 2026/"), c);
    EXPECT_EQ(P().FindFolderByPath("/"), Root());
    EXPECT_EQ(P().FindFolderByPath("/Folder9/"), nullptr);

    // Names refused with the reason, nothing changed.
    const struct {
        const char* name;
        const char* why;
    } refused[] = {{"a/b", "cannot hold"},
                  {"A123456789B123456789C123456789D123456789E123456789F123456789G1234", "at most 64"}, {"x\"y", "cannot hold"}, {"folder2", "already holds"}};
    for (const auto& r : refused) {
        std::string error;
        EXPECT_EQ(P().CreateFolder(Root(), r.name, &error), nullptr) << r.name;
        EXPECT_NE(error.find(r.why), std::string::npos) << r.name << ": " << error;
    }
    EXPECT_EQ(Root()->GetNumFolders(), 2);
    std::string error;
    EXPECT_FALSE(P().RenameFolder(b, "FOLDER1", &error));
    EXPECT_FALSE(P().RenameFolder(b, "", &error));
    EXPECT_NE(error.find("needs a name"), std::string::npos) << error;
    EXPECT_TRUE(P().RenameFolder(b, "Spectra", &error));
    EXPECT_EQ(b->GetPath(), "/Spectra/");

    // New pages go into the current folder; a folder moves with what it holds, never below
    // itself.
    P().SetCurrentFolder(c);
    CQKPage* wks = P().CreatePage(QK_PAGE_WKS);
    ASSERT_NE(wks, nullptr);
    EXPECT_EQ(wks->GetFolder(), c);
    EXPECT_FALSE(P().MoveFolder(a, c));
    EXPECT_TRUE(P().MoveFolder(c, b));
    EXPECT_EQ(wks->GetFolder()->GetPath(), "/Spectra/Runs 2026/");
    EXPECT_EQ(P().GetPagesInFolder(b, true).size(), 1u);
    EXPECT_EQ(P().GetPagesInFolder(b, false).size(), 0u);

    // A folder goes only once it is empty; the current folder then moves up.
    EXPECT_FALSE(P().DeleteFolder(c));
    EXPECT_TRUE(P().MovePageToFolder(wks, Root()));
    EXPECT_TRUE(P().DeleteFolder(c));
    EXPECT_EQ(P().GetCurrentFolder(), b);
    EXPECT_FALSE(P().DeleteFolder(Root()));
}

TEST_F(ExplorerTest, FoldersLabelsAndCurrentFolderSurviveTheProjectFile)
{
    CQKFolder* a = P().CreateFolder(Root(), "Raw");
    CQKFolder* b = P().CreateFolder(a, "Day 1");
    ASSERT_TRUE(a && b);
    P().SetCurrentFolder(b);
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 5; win -t plot"));
    P().SetCurrentFolder(a);
    ASSERT_TRUE(Run("win -t matrix"));
    P().FindPage("Data1")->SetLabel("first run");
    std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("folder = \"/Raw/Day 1/\""), std::string::npos) << before;

    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    P().New();
    EXPECT_EQ(Root()->GetNumFolders(), 0);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    std::string after = qkfxDumpProject();
    EXPECT_EQ(after, before);
    EXPECT_EQ(P().GetCurrentFolder()->GetPath(), "/Raw/");
    EXPECT_EQ(P().FindPage("Graph1")->GetFolder()->GetPath(), "/Raw/Day 1/");
    EXPECT_EQ(P().FindPage("Data1")->GetLabel(), "first run");

    // Appended, the file's folders and windows go into a folder of their own.
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), true, &error)) << error;
    CQKFolder* appended = P().GetCurrentFolder()->GetFolder(P().GetCurrentFolder()->GetNumFolders() - 1);
    ASSERT_NE(appended, nullptr);
    EXPECT_EQ(appended->GetPath(), "/Raw/Appended/");
    EXPECT_NE(P().FindFolderByPath("/Raw/Appended/Raw/Day 1/"), nullptr);
    EXPECT_EQ(P().FindPage("Graph2")->GetFolder()->GetPath(), "/Raw/Appended/Raw/Day 1/");
}

TEST_F(ExplorerTest, DamagedFolderRecordIsRefused)
{
    P().CreateFolder(Root(), "Raw");
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    // The folder record's path loses its leading slash; its checksum is made again so
    // that only the path is wrong.
    std::string text(bytes.begin(), bytes.end());
    size_t at = text.find("FOLD");
    ASSERT_NE(at, std::string::npos);
    size_t path = text.find("/Raw/", at);
    ASSERT_NE(path, std::string::npos);
    bytes[path] = 'x';
    qxtest::FixRecordChecksums(bytes, 12, bytes.size());
    std::string error;
    EXPECT_FALSE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error));
    EXPECT_NE(error.find("no folder path"), std::string::npos) << error;
    EXPECT_EQ(Root()->GetNumFolders(), 1); // the open project stays as it was
}

// The controls as the explorer bar holds them: a tree and a report list in one window.
class ExplorerControlsTest : public ExplorerTest {
protected:
    void SetUp() override
    {
        ExplorerTest::SetUp();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
        treeWnd = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_EDITLABELS, 0, 0,
                                  200, 300, parent, (HMENU)1104, nullptr, nullptr);
        listWnd = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS, 200, 0,
                                  400, 300, parent, (HMENU)1105, nullptr, nullptr);
        ASSERT_TRUE(tree.Init(treeWnd, &list));
        ASSERT_TRUE(list.Init(listWnd, &tree));
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ExplorerTest::TearDown();
    }
    std::vector<std::string> ListNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetItemCount(); ++i) {
            char text[128] = "";
            ListView_GetItemText(listWnd, i, 0, text, sizeof text);
            names.push_back(text);
        }
        return names;
    }
    HWND parent = nullptr, treeWnd = nullptr, listWnd = nullptr;
    CQKTreeExplorer tree;
    CQKListExplorer list;
};

TEST_F(ExplorerControlsTest, TreeAndListFollowTheCurrentFolder)
{
    ASSERT_TRUE(Run("win -t wks; win -t plot"));
    list.UpdateListExplorer(1);
    HTREEITEM root = TreeView_GetRoot(treeWnd);
    EXPECT_EQ(tree.GetFolderLabel(root), "UNTITLED");
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Data1", "Graph1"}));

    // New Folder from the tree's menu: a subfolder of the item the menu was opened on.
    tree.SetCommandItem(root);
    EXPECT_TRUE(tree.OnCommandTreeExplorer(QK_PE_TREE_NEW_FOLDER));
    HTREEITEM item = TreeView_GetChild(treeWnd, root);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(tree.CreatePathString(item, 0), "/Folder1/");
    EXPECT_EQ(tree.CreatePathString(item, 1), "UNTITLED/Folder1/");
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Folder1", "Data1", "Graph1"}));
    std::string error;
    EXPECT_TRUE(tree.RenameFolder(item, "Fits", &error)) << error;
    EXPECT_FALSE(tree.RenameFolder(root, "Other", &error));

    // A window moved there; selecting the folder makes it current and lists its window.
    ASSERT_TRUE(P().MovePageToFolder(P().FindPage("Graph1"), tree.GetFolder(item)));
    // The bar hands the tree's notifications back to it.
    TreeView_SelectItem(treeWnd, item);
    tree.OnSelchanged();
    EXPECT_EQ(tree.GetCurrentPath(), "/Fits/");
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Graph1"}));
    int windows = 0, folders = 0;
    tree.GetContainedCount(root, &windows, &folders);
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(folders, 1);
    std::string contained;
    EXPECT_TRUE(tree.GetContainedText(root, contained));
    EXPECT_EQ(contained, "1 Windows, 1 Folders");

    // Pages made now go into the current folder.
    ASSERT_TRUE(Run("win -t matrix"));
    EXPECT_EQ(P().FindPage("Matrix1")->GetFolder()->GetPath(), "/Fits/");
    list.UpdateListExplorer(1);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Graph1", "Matrix1"}));

    // The view-mode commands and their numbers.
    EXPECT_EQ(CQKTreeExplorer::ConvertIdToViewMode(41033), 0);
    EXPECT_EQ(CQKTreeExplorer::ConvertIdToViewMode(41035), 2);
    EXPECT_TRUE(tree.OnCommandTreeExplorer(41035));
    EXPECT_EQ(tree.GetPEViewMode(), 2);
}

TEST_F(ExplorerControlsTest, FindWalksNamesLabelsAndFolders)
{
    ASSERT_NE(P().CreatePage(QK_PAGE_WKS, "Spectrum"), nullptr);
    CQKPage* baseline = P().CreatePage(QK_PAGE_WKS, "Baseline");
    ASSERT_NE(baseline, nullptr);
    CQKFolder* fits = P().CreateFolder(Root(), "SpecFits");
    P().SetCurrentFolder(fits);
    ASSERT_NE(P().CreatePage(QK_PAGE_GRAPH, "SpecPlot"), nullptr);
    baseline->SetLabel("spectrum without peaks");
    P().SetCurrentFolder(Root());
    tree.Rebuild();
    tree.SetSearchItem(TreeView_GetRoot(treeWnd));

    const int names = QK_PEFIND_NAMES | QK_PEFIND_PARTIAL | QK_PEFIND_SUBFOLDERS;
    std::vector<std::string> found;
    while (tree.Find("spec", names | QK_PEFIND_FOLDER_NAMES | QK_PEFIND_LABELS)) {
        CQKPage* active = P().GetActivePage();
        found.push_back(tree.GetCurrentPath() + (active ? active->GetName() : ""));
        ASSERT_LT(found.size(), 10u);
    }
    // Root windows first (a name, a label), then the folder, then what it holds.
    ASSERT_EQ(found.size(), 4u);
    tree.ResetPrevSearchItem();
    tree.SetSearchItem(TreeView_GetRoot(treeWnd));
    EXPECT_FALSE(tree.Find("spec", QK_PEFIND_NAMES | QK_PEFIND_CASE | QK_PEFIND_PARTIAL | QK_PEFIND_SUBFOLDERS));
    EXPECT_TRUE(tree.Find("Spec", QK_PEFIND_NAMES | QK_PEFIND_CASE | QK_PEFIND_PARTIAL | QK_PEFIND_SUBFOLDERS));
    EXPECT_FALSE(tree.Find("Spec", QK_PEFIND_NAMES | QK_PEFIND_CASE)); // whole names only
}

TEST_F(ExplorerControlsTest, DeletingAFolderTakesItsWindowsAndSubfolders)
{
    CQKFolder* a = P().CreateFolder(Root(), "A");
    CQKFolder* b = P().CreateFolder(a, "B");
    P().SetCurrentFolder(b);
    ASSERT_TRUE(Run("win -t wks; win -t wks"));
    P().SetCurrentFolder(Root());
    ASSERT_TRUE(Run("win -t plot"));
    tree.Rebuild();
    tree.SetCommandItem(tree.GetItem(a));
    EXPECT_TRUE(tree.OnCommandTreeExplorer(QK_PE_TREE_DELETE));
    EXPECT_EQ(Root()->GetNumFolders(), 0);
    EXPECT_EQ(P().GetNumPages(), 1);
    EXPECT_EQ(TreeView_GetChild(treeWnd, TreeView_GetRoot(treeWnd)), nullptr);
}

TEST_F(ExplorerControlsTest, ColumnStateRoundTrips)
{
    list.SetLEColumnsPercentageWidth(0, 0.25);
    list.SetLEColumnsOrder(0, 1);
    list.SetLEColumnsOrder(1, 0);
    CQKListExplorer other;
    other.SetLEColumnsPercentageWidth(0, 0.25);
    EXPECT_DOUBLE_EQ(other.GetLEColumnsPercentageWidth(0), 0.25);
    EXPECT_DOUBLE_EQ(other.GetLEColumnsPercentageWidth(3), -1.0); // not set
    list.StoreLEConfig();
    EXPECT_EQ(list.GetLEColumnsOrder(0), 0);
    EXPECT_GT(list.GetLEColumnsPercentageWidth(0), 0.0);
}

} // namespace

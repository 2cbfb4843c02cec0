// The new project and its configurations, and the writing of its files.
#include "WizardHost.h"

#include <vector>

CBuildConfiguration::CBuildConfiguration(LPCTSTR lpszName, const CStringArray& tools)
    : m_strName(lpszName)
{
    m_tools.Copy(tools);
    m_settings.SetSize(tools.GetSize());
}

HRESULT CBuildConfiguration::AddToolSettings(LPCTSTR lpszTool, LPCTSTR lpszSettings)
{
    CString settings(lpszSettings ? lpszSettings : "");
    settings.TrimLeft();
    settings.TrimRight();
    if (!lpszTool || settings.IsEmpty())
        return E_INVALIDARG;
    for (INT_PTR i = 0; i < m_tools.GetSize(); ++i) {
        if (m_tools[i].CompareNoCase(lpszTool) != 0)
            continue;
        if (!m_settings[i].IsEmpty())
            m_settings[i] += ' ';
        m_settings[i] += settings;
        return S_OK;
    }
    return E_INVALIDARG;
}

CString CBuildConfiguration::GetToolSettings(LPCTSTR lpszTool) const
{
    for (INT_PTR i = 0; i < m_tools.GetSize(); ++i)
        if (m_tools[i].CompareNoCase(lpszTool) == 0)
            return m_settings[i];
    return CString();
}

CBuildProject::CBuildProject() : m_bDynamicLibrary(FALSE) {}

CBuildProject::~CBuildProject()
{
    Reset("", "");
}

void CBuildProject::Reset(LPCTSTR lpszName, LPCTSTR lpszFolder)
{
    for (INT_PTR i = 0; i < m_configurations.GetSize(); ++i)
        delete static_cast<CBuildConfiguration*>(m_configurations[i]);
    m_configurations.RemoveAll();
    m_files.RemoveAll();
    m_excluded.RemoveAll();
    m_strName = lpszName;
    m_strFolder = lpszFolder;
    m_bDynamicLibrary = FALSE;
}

CBuildConfiguration* CBuildProject::AddConfiguration(LPCTSTR lpszName, const CStringArray& tools)
{
    CBuildConfiguration* pConfig = new CBuildConfiguration(lpszName, tools);
    m_configurations.Add(pConfig);
    return pConfig;
}

void CBuildProject::AddFile(LPCTSTR lpszName, BOOL bExcludedFromBuild)
{
    m_files.Add(lpszName);
    m_excluded.Add(bExcludedFromBuild ? 1 : 0);
}

CBuildConfiguration* CBuildProject::GetConfiguration(long nIndex) const
{
    if (nIndex < 1 || nIndex > GetConfigurationCount())
        return nullptr;
    return static_cast<CBuildConfiguration*>(m_configurations[nIndex - 1]);
}

namespace {

// Targets come from dictionary values a user typed: only a plain name may be written, so
// that no answer can place a file outside the project folder or name a device.
BOOL IsPlainFileName(const CString& name)
{
    if (name.IsEmpty() || name.GetLength() > 200 || name == "." || name == "..")
        return FALSE;
    if (name.FindOneOf("\\/:*?\"<>|") >= 0)
        return FALSE;
    for (int i = 0; i < name.GetLength(); ++i)
        if ((unsigned char)name[i] < 32)
            return FALSE;
    TCHAR lastChar = name[name.GetLength() - 1];
    if (lastChar == '.' || lastChar == ' ' || name[0] == ' ')
        return FALSE;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3",
                                          "COM4", "LPT1", "LPT2", "LPT3"};
    CString stem = name;
    int dot = stem.Find('.');
    if (dot >= 0)
        stem = stem.Left(dot);
    for (const char* device : devices)
        if (stem.CompareNoCase(device) == 0)
            return FALSE;
    return TRUE;
}

struct PlannedFile {
    CString target;
    CString text;
    BOOL excluded;
};

BOOL WriteNewFile(const CString& path, const CString& text)
{
    // CREATE_NEW: a file that appeared since the check is still never overwritten.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(file, (LPCTSTR)text, (DWORD)text.GetLength(), &written, nullptr)
              && written == (DWORD)text.GetLength();
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(path);
    return ok;
}

} // namespace

BOOL CWizardHost::GenerateProject(LPCTSTR lpszName, LPCTSTR lpszFolder, CString& rError)
{
    if (!m_pWizard) {
        rError = "No wizard is loaded.";
        return FALSE;
    }
    const CMapStringToString& dictionary = m_pWizard->m_Dictionary;

    CString list, expanded;
    if (!LoadTemplate("NEWPROJ.INF", list, rError))
        return FALSE;
    if (!ExpandTemplate(list, dictionary, expanded, rError)) {
        rError = "NEWPROJ.INF, " + rError;
        return FALSE;
    }

    std::vector<PlannedFile> files;
    int pos = 0;
    while (pos < expanded.GetLength()) {
        int end = expanded.Find('\n', pos);
        if (end < 0)
            end = expanded.GetLength();
        CString line = expanded.Mid(pos, end - pos);
        pos = end + 1;
        line.TrimRight("\r");
        if (line.IsEmpty())
            continue;
        PlannedFile file;
        file.excluded = line[0] == '!';
        if (file.excluded)
            line = line.Mid(1);
        int tab = line.Find('\t');
        if (tab <= 0) {
            rError.Format("NEWPROJ.INF: \"%s\" is not a template name, a tab and a file name.", (LPCTSTR)line);
            return FALSE;
        }
        CString templateName = line.Left(tab);
        file.target = line.Mid(tab + 1);
        if (!IsPlainFileName(file.target)) {
            rError.Format("\"%s\" is not a valid file name; the project was not created.", (LPCTSTR)file.target);
            return FALSE;
        }
        for (size_t i = 0; i < files.size(); ++i) {
            if (files[i].target.CompareNoCase(file.target) == 0) {
                rError.Format("Two templates would both write \"%s\"; the project was not created.",
                              (LPCTSTR)file.target);
                return FALSE;
            }
        }
        CString text;
        if (!LoadTemplate(templateName, text, rError))
            return FALSE;
        if (!ExpandTemplate(text, dictionary, file.text, rError)) {
            rError = templateName + ", " + rError;
            return FALSE;
        }
        files.push_back(file);
    }

    CString folder(lpszFolder);
    folder.TrimRight("\\/");
    BOOL madeFolder = CreateDirectoryA(folder, nullptr);
    if (!madeFolder && GetLastError() != ERROR_ALREADY_EXISTS) {
        rError.Format("The folder %s cannot be made; the project was not created.", (LPCTSTR)folder);
        return FALSE;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        CString path = folder + "\\" + files[i].target;
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            rError.Format("%s already exists; the project was not created, so that it is not overwritten.",
                          (LPCTSTR)path);
            return FALSE;
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        CString path = folder + "\\" + files[i].target;
        if (!WriteNewFile(path, files[i].text)) {
            // Only files written by this call are taken back; they did not exist before.
            for (size_t j = 0; j < i; ++j)
                DeleteFileA(folder + "\\" + files[j].target);
            if (madeFolder)
                RemoveDirectoryA(folder);
            rError.Format("%s cannot be written; the project was not created.", (LPCTSTR)path);
            return FALSE;
        }
    }

    m_project.Reset(lpszName, folder);
    CString value;
    m_project.m_bDynamicLibrary = dictionary.Lookup("PROJTYPE_DLL", value);
    CStringArray tools;
    tools.Add("rc.exe");
    tools.Add("link.exe");
    m_project.AddConfiguration("Release", tools);
    m_project.AddConfiguration("Debug", tools);
    for (size_t i = 0; i < files.size(); ++i)
        m_project.AddFile(files[i].target, files[i].excluded);
    rError.Empty();
    return TRUE;
}

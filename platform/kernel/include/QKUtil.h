// String, path and INI-file utilities of the kernel. In the application these classes sit
// on the framework's CString; here they carry a standard string, with the same members.
#pragma once

#include "QKDefs.h"

class QK_API CQKCString {
public:
    CQKCString(const char* text = "") : m_text(text ? text : "") {}
    CQKCString(const std::string& text) : m_text(text) {}

    const std::string& GetString() const { return m_text; }
    const char* c_str() const { return m_text.c_str(); }
    int GetLength() const { return (int)m_text.size(); }

    // The whole text (blanks around it allowed) as a number; false when it is not one.
    bool GetReal(double* value) const;
    bool GetInt(int* value) const;
    // The text becomes the number in the given format (see DoubleToStrByFormat).
    void NumToStr(double value, const char* format = "*");
    // "*": the shortest text that reads back as the same number; "*n": n significant
    // digits; anything else is a printf format for one double. "--" for the missing value.
    static std::string DoubleToStrByFormat(double value, const char* format);
    // The number the text ends with ("Data12" gives 12); false when it ends otherwise.
    bool GetEndNumber(int* value) const;

    void DeleteMid(int start, int count);
    void InsertString(int pos, const char* text);
    // A path whose folder exists and whose name has no character Windows refuses; a path
    // ending in a separator, a folder that exists.
    bool IsPathValid() const;

    // Does a numeric script variable of that name exist? Its value into `value` when given.
    static BOOL FindQuorixNumericVariable(const char* name, double* value);

private:
    std::string m_text;
};

class QK_API CQKPath {
public:
    explicit CQKPath(const char* path) : m_path(path ? path : "") {}
    const std::string& GetPath() const { return m_path; }
    std::string GetFolder() const;    // without the trailing separator; "" for a bare name
    std::string GetFileName() const;  // name with extension
    std::string GetTitle() const;     // name without extension
    std::string GetExtension() const; // with the dot; "" when there is none
    void SetExtension(const char* ext);
    bool IsAbsolute() const;
    bool Exists() const;
    static std::string Combine(const std::string& folder, const std::string& name);

private:
    std::string m_path;
};

// Sections and keys of an INI file, through the profile functions of the system.
class QK_API CQKINIFile {
public:
    explicit CQKINIFile(const char* path) : m_path(path ? path : "") {}
    const std::string& GetPath() const { return m_path; }
    std::string ReadString(const char* section, const char* key, const char* def = "") const;
    BOOL WriteString(const char* section, const char* key, const char* value) const;
    int ReadInt(const char* section, const char* key, int def = 0) const;
    BOOL WriteInt(const char* section, const char* key, int value) const;
    // A window rectangle as "left top right bottom" under the key "WinPos" of the section;
    // the default text when there is none.
    BOOL ReadWinPos(const char* section, RECT& rect, const char* def = "0 0 0 0") const;
    BOOL WriteWinPos(const char* section, const RECT& rect) const;

private:
    std::string m_path;
};

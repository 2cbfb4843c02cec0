// The template language of the project wizard. Templates are small, so the engine works
// line by line on whole texts: a directive is a whole line and never reaches the output.
#include "WizardHost.h"

#include <cctype>
#include <string>
#include <vector>

namespace {

struct Expander {
    const CMapStringToString& dictionary;
    std::string out;
    std::string error;

    bool Fail(size_t line, const std::string& message)
    {
        error = "line " + std::to_string(line + 1) + ": " + message;
        return false;
    }

    // Inside a loop a key stands first for its numbered form of the current pass, so a
    // block can name per-item keys and shared keys alike.
    bool Lookup(const std::string& key, int pass, CString& value) const
    {
        if (pass >= 0 && dictionary.Lookup((key + "_" + std::to_string(pass)).c_str(), value))
            return true;
        return dictionary.Lookup(key.c_str(), value) != FALSE;
    }

    static std::string Trim(const std::string& s)
    {
        size_t b = s.find_first_not_of(" \t");
        size_t e = s.find_last_not_of(" \t");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    }

    // The text between the parentheses of "$$WORD(...)", or false when there are none.
    static bool Argument(const std::string& line, size_t prefix, std::string& arg)
    {
        size_t close = line.rfind(')');
        if (line.size() <= prefix || line[prefix] != '(' || close == std::string::npos || close < prefix)
            return false;
        if (!Trim(line.substr(close + 1)).empty())
            return false;
        arg = Trim(line.substr(prefix + 1, close - prefix - 1));
        return true;
    }

    static bool IsKey(const std::string& s)
    {
        if (s.empty())
            return false;
        for (char c : s)
            if (!std::isalnum((unsigned char)c) && c != '_')
                return false;
        return true;
    }

    bool Condition(const std::string& arg, int pass, size_t line, bool& result)
    {
        result = false;
        size_t start = 0;
        for (;;) {
            size_t bar = arg.find("||", start);
            std::string key = Trim(arg.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
            if (!IsKey(key))
                return Fail(line, "\"" + key + "\" is no key");
            CString value;
            if (Lookup(key, pass, value))
                result = true;
            if (bar == std::string::npos)
                return true;
            start = bar + 2;
        }
    }

    bool Substitute(const std::string& text, int pass, size_t line)
    {
        size_t pos = 0;
        for (;;) {
            size_t open = text.find("$$", pos);
            if (open == std::string::npos)
                break;
            size_t close = text.find("$$", open + 2);
            std::string key = close == std::string::npos ? std::string() : text.substr(open + 2, close - open - 2);
            if (!IsKey(key)) {
                // Dollars that enclose no key are text.
                out.append(text, pos, open + 2 - pos);
                pos = open + 2;
                continue;
            }
            CString value;
            if (!Lookup(key, pass, value))
                return Fail(line, "the key " + key + " is not in the dictionary");
            out.append(text, pos, open - pos);
            out += (LPCTSTR)value;
            pos = close + 2;
        }
        out.append(text, pos, std::string::npos);
        out += "\r\n";
        return true;
    }

    // Expands lines [first, last); pass is the loop pass, or -1 outside loops.
    bool Run(const std::vector<std::string>& lines, size_t first, size_t last, int pass)
    {
        struct Branch {
            bool outerActive; // the lines around the $$IF are kept
            bool taken;       // some branch of this $$IF was chosen already
            bool active;      // the current branch is kept
            size_t line;
        };
        std::vector<Branch> branches;
        auto active = [&] { return branches.empty() || branches.back().active; };

        for (size_t i = first; i < last; ++i) {
            const std::string& line = lines[i];
            std::string arg;
            if (line.compare(0, 4, "$$//") == 0)
                continue;
            if (line.compare(0, 4, "$$IF") == 0 && (line.size() == 4 || line[4] == '(' || line[4] == ' ')) {
                if (!Argument(line, 4, arg))
                    return Fail(i, "$$IF needs a key in parentheses");
                bool outer = active(), value = false;
                if (outer && !Condition(arg, pass, i, value))
                    return false;
                branches.push_back({outer, outer && value, outer && value, i});
            } else if (line.compare(0, 6, "$$ELIF") == 0) {
                if (branches.empty())
                    return Fail(i, "$$ELIF without $$IF");
                if (!Argument(line, 6, arg))
                    return Fail(i, "$$ELIF needs a key in parentheses");
                Branch& b = branches.back();
                bool value = false;
                if (b.outerActive && !b.taken && !Condition(arg, pass, i, value))
                    return false;
                b.active = b.outerActive && !b.taken && value;
                b.taken = b.taken || b.active;
            } else if (line.compare(0, 7, "$$ENDIF") == 0) {
                if (branches.empty())
                    return Fail(i, "$$ENDIF without $$IF");
                branches.pop_back();
            } else if (line.compare(0, 11, "$$BEGINLOOP") == 0) {
                if (!Argument(line, 11, arg) || !IsKey(arg))
                    return Fail(i, "$$BEGINLOOP needs a count key in parentheses");
                if (pass >= 0)
                    return Fail(i, "loops do not nest");
                size_t end = i + 1;
                while (end < last && lines[end].compare(0, 9, "$$ENDLOOP") != 0) {
                    if (lines[end].compare(0, 11, "$$BEGINLOOP") == 0)
                        return Fail(end, "loops do not nest");
                    ++end;
                }
                if (end == last)
                    return Fail(i, "$$BEGINLOOP without $$ENDLOOP");
                if (active()) {
                    CString count;
                    if (!Lookup(arg, -1, count))
                        return Fail(i, "the key " + arg + " is not in the dictionary");
                    std::string text = (LPCTSTR)count;
                    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
                        return Fail(i, "the count " + arg + " is \"" + text + "\", not a decimal number");
                    int n = std::stoi(text);
                    for (int p = 0; p < n; ++p)
                        if (!Run(lines, i + 1, end, p))
                            return false;
                }
                i = end;
            } else if (line.compare(0, 9, "$$ENDLOOP") == 0) {
                return Fail(i, "$$ENDLOOP without $$BEGINLOOP");
            } else if (active()) {
                if (!Substitute(line, pass, i))
                    return false;
            }
        }
        if (!branches.empty())
            return Fail(branches.back().line, "$$IF without $$ENDIF");
        return true;
    }
};

} // namespace

BOOL ExpandTemplate(LPCTSTR lpszTemplate, const CMapStringToString& dictionary,
                    CString& rResult, CString& rError)
{
    std::vector<std::string> lines;
    std::string text = lpszTemplate ? lpszTemplate : "";
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (nl == std::string::npos)
            break;
        pos = nl + 1;
    }

    Expander expander{dictionary, {}, {}};
    if (!expander.Run(lines, 0, lines.size(), -1)) {
        rError = expander.error.c_str();
        return FALSE;
    }
    rResult = expander.out.c_str();
    rError.Empty();
    return TRUE;
}

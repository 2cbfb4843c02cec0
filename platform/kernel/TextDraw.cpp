// Label text with its inline format codes, measured and drawn.
#include <string.h>

#include <algorithm>
#include <cmath>

#include "PageRender.h"

struct CQKTextDC::Run {
    std::string text;
    bool bold = false, italic = false, underline = false, greek = false;
    int script = 0; // -1 subscript, 1 superscript, nested levels add up
    int color = -1; // -1 the label's colour
    std::string face;
    int x = 0, width = 0, ascent = 0, descent = 0, shift = 0;
};

namespace {

// The font of a run: the face (a run's own, the style's font list entry, else the
// system's), the size shrunk for sub- and superscripts, bold, italic, underline.
HFONT MakeFont(const CQKTextStyle& style, const std::string& face, bool bold, bool italic, bool underline, int script,
               double pixelsPerPoint)
{
    std::string name = face;
    if (name.empty() && !(style.flags & QK_TEXT_SYSTEM_FONT) && style.font > 0)
        CQKFontManager::GetFontName(style.font, name);
    if (name.empty())
        name = "Arial";
    double size = style.size * pixelsPerPoint;
    if (script)
        size *= std::pow(0.7, std::abs(script));
    const int height = -std::max(1, (int)std::lround(size));
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                       DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, DEFAULT_PITCH, name.c_str());
}

// The text of a run as drawn: Latin letters of a Greek run become the Greek letters in
// the order of the classic symbol fonts (a alpha, b beta, c chi, ...), drawn with the
// run's own font, which has them; no symbol font needs to be installed.
std::wstring Shown(const std::string& text, bool greek)
{
    std::wstring w;
    if (!greek) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0);
        w.resize(n);
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), &w[0], n);
        return w;
    }
    static const wchar_t lower[] = L"\x03B1\x03B2\x03C7\x03B4\x03B5\x03C6\x03B3\x03B7\x03B9\x03D5\x03BA\x03BB\x03BC"
                                   L"\x03BD\x03BF\x03C0\x03B8\x03C1\x03C3\x03C4\x03C5\x03D6\x03C9\x03BE\x03C8\x03B6";
    static const wchar_t upper[] = L"\x0391\x0392\x03A7\x0394\x0395\x03A6\x0393\x0397\x0399\x03D1\x039A\x039B\x039C"
                                   L"\x039D\x039F\x03A0\x0398\x03A1\x03A3\x03A4\x03A5\x03C2\x03A9\x039E\x03A8\x0396";
    for (char c : text) {
        if (c >= 'a' && c <= 'z')
            w += lower[c - 'a'];
        else if (c >= 'A' && c <= 'Z')
            w += upper[c - 'A'];
        else
            w += (wchar_t)(unsigned char)c;
    }
    return w;
}

} // namespace

CQKTextDC::CQKTextDC(HDC dc, const CQKTextStyle& style, int color, double pixelsPerPoint)
    : m_dc(dc), m_style(style), m_color(color), m_pixelsPerPoint(pixelsPerPoint)
{
    if (m_pixelsPerPoint <= 0)
        m_pixelsPerPoint = GetDeviceCaps(dc, LOGPIXELSY) / 72.0;
}

// Splits the text into lines of runs. A code that is not one of ours, or a run whose
// closing parenthesis is missing, stays as plain text: nothing the user typed is lost.
void CQKTextDC::Layout(const std::string& text, std::vector<std::vector<Run>>& lines, std::vector<SIZE>& sizes) const
{
    lines.assign(1, {});
    Run base;
    std::vector<Run> stack{base};
    std::string pending;
    auto flush = [&]() {
        if (pending.empty())
            return;
        Run r = stack.back();
        r.text = pending;
        lines.back().push_back(r);
        pending.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r')
            continue;
        if (c == '\n') {
            flush();
            lines.emplace_back();
            continue;
        }
        if (c == ')' && stack.size() > 1) {
            flush();
            stack.pop_back();
            continue;
        }
        if (c == '\\' && i + 1 < text.size()) {
            Run next = stack.back();
            size_t j = i + 1;
            bool known = true;
            switch (text[j]) {
            case '-': next.script -= 1; ++j; break;
            case '+': next.script += 1; ++j; break;
            case 'b': next.bold = true; ++j; break;
            case 'i': next.italic = true; ++j; break;
            case 'u': next.underline = true; ++j; break;
            case 'g': next.greek = true; ++j; break;
            case 'c': {
                ++j;
                size_t k = j;
                while (k < text.size() && isdigit((unsigned char)text[k]))
                    ++k;
                if (k == j)
                    known = false;
                else
                    next.color = atoi(text.substr(j, k - j).c_str()) - 1;
                j = k;
                break;
            }
            case 'f':
                if (j + 1 < text.size() && text[j + 1] == ':') {
                    size_t k = text.find('(', j + 2);
                    if (k == std::string::npos)
                        known = false;
                    else {
                        next.face = text.substr(j + 2, k - (j + 2));
                        j = k;
                    }
                } else
                    known = false;
                break;
            default: known = false;
            }
            // The run must open here and close on this line.
            const size_t close = text.find(')', j);
            const size_t eol = text.find('\n', j);
            if (known && j < text.size() && text[j] == '(' && close != std::string::npos &&
                (eol == std::string::npos || close < eol)) {
                flush();
                stack.push_back(next);
                i = j;
                continue;
            }
        }
        if (c == '\t') {
            // Tab stops count in average characters of the label's font.
            flush();
            Run r = stack.back();
            r.text = "\t";
            lines.back().push_back(r);
            continue;
        }
        pending += c;
    }
    flush();

    // Measure: each run in its font, shifted for sub- and superscripts.
    sizes.clear();
    HFONT baseFont = MakeFont(m_style, "", false, false, false, 0, m_pixelsPerPoint);
    HGDIOBJ old = SelectObject(m_dc, baseFont);
    TEXTMETRICA tmBase = {};
    GetTextMetricsA(m_dc, &tmBase);
    const int tabPixels = std::max(1, (int)tmBase.tmAveCharWidth * m_tabWidth);
    for (auto& line : lines) {
        int x = 0, ascent = tmBase.tmAscent, descent = tmBase.tmDescent;
        for (Run& r : line) {
            r.x = x;
            if (r.text == "\t") {
                r.width = (x / tabPixels + 1) * tabPixels - x;
                x += r.width;
                continue;
            }
            HFONT f = MakeFont(m_style, r.face, r.bold, r.italic, r.underline, r.script, m_pixelsPerPoint);
            SelectObject(m_dc, f);
            SIZE s = {};
            const std::wstring shown = Shown(r.text, r.greek);
            GetTextExtentPoint32W(m_dc, shown.c_str(), (int)shown.size(), &s);
            TEXTMETRICA tm = {};
            GetTextMetricsA(m_dc, &tm);
            SelectObject(m_dc, baseFont);
            DeleteObject(f);
            r.width = s.cx;
            r.ascent = tm.tmAscent;
            r.descent = tm.tmDescent;
            // Superscripts rise by a third of the base ascent a level, subscripts sink
            // by a quarter.
            r.shift = r.script > 0 ? -(int)(tmBase.tmAscent * 0.4 * r.script) : r.script < 0 ? (int)(tmBase.tmAscent * 0.3 * -r.script) : 0;
            ascent = std::max(ascent, r.ascent - r.shift);
            descent = std::max(descent, r.descent + r.shift);
            x += s.cx;
        }
        // A line's height: its ascent above the baseline, descent below it.
        SIZE size = {x, ascent + descent};
        sizes.push_back(size);
        for (Run& r : line)
            r.ascent = ascent; // the line's baseline offset, for drawing
    }
    SelectObject(m_dc, old);
    DeleteObject(baseFont);
}

SIZE CQKTextDC::MeasureQuorixText(const std::string& text, BOOL) const
{
    std::vector<std::vector<Run>> lines;
    std::vector<SIZE> sizes;
    Layout(text, lines, sizes);
    SIZE total = {0, 0};
    for (const SIZE& s : sizes) {
        total.cx = std::max(total.cx, s.cx);
        total.cy += s.cy;
    }
    return total;
}

void CQKTextDC::DrawQuorixText(const std::string& text, const RECT& rect, BOOL) const
{
    std::vector<std::vector<Run>> lines;
    std::vector<SIZE> sizes;
    Layout(text, lines, sizes);
    int widest = 0;
    for (const SIZE& s : sizes)
        widest = std::max(widest, (int)s.cx);
    const double angle = m_style.rotation / 10.0 * 3.14159265358979323846 / 180.0;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const int oldAlign = SetTextAlign(m_dc, TA_BASELINE | TA_LEFT);
    const int oldMode = SetBkMode(m_dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(m_dc);
    int y = 0;
    for (size_t l = 0; l < lines.size(); ++l) {
        const int indent = m_style.alignment == QK_TEXT_CENTER_MULTILINE ? (widest - sizes[l].cx) / 2 : 0;
        for (const Run& r : lines[l]) {
            if (r.text == "\t")
                continue;
            HFONT f = MakeFont(m_style, r.face, r.bold, r.italic, r.underline, r.script, m_pixelsPerPoint);
            LOGFONTA lf = {};
            GetObjectA(f, sizeof lf, &lf);
            DeleteObject(f);
            lf.lfEscapement = lf.lfOrientation = m_style.rotation;
            f = CreateFontIndirectA(&lf);
            HGDIOBJ old = SelectObject(m_dc, f);
            SetTextColor(m_dc, qkColorOf(r.color >= 0 ? r.color : m_color));
            // The run's baseline point in the unrotated label, turned about the corner
            // (device y grows downward, angles counter-clockwise).
            const double px = indent + r.x, py = y + r.ascent + r.shift;
            const int dx = rect.left + (int)std::lround(px * ca + py * sa);
            const int dy = rect.top + (int)std::lround(-px * sa + py * ca);
            const std::wstring shown = Shown(r.text, r.greek);
            TextOutW(m_dc, dx, dy, shown.c_str(), (int)shown.size());
            SelectObject(m_dc, old);
            DeleteObject(f);
        }
        y += sizes[l].cy;
    }
    SetTextColor(m_dc, oldColor);
    SetBkMode(m_dc, oldMode);
    SetTextAlign(m_dc, oldAlign);
}

// Build tool: the equation pictures and sample curves of the library's models, drawn from
// the name table FitTable.inc into the two containers the fitter's function view reads
// ("curvelib.qqs" with <row>.wmf, "curvelib.qcs" with <row>.cuv).
//   qxmakepictures FitTable.inc <folder of QCLB60.dll> <output folder>
// An equation picture is the row's formula text set in type, exponents raised; a sample
// curve is the library's own function evaluated at the row's start values over its X
// range. Both are Windows metafiles behind a placeable header (1440 units per inch).
#include <windows.h>

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Container.h"
#include "FitFunction.h"

namespace {

#pragma pack(push, 2)
struct PlaceableHeader {
    uint32_t key;
    uint16_t handle;
    int16_t left, top, right, bottom;
    uint16_t unitsPerInch;
    uint32_t reserved;
    uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(PlaceableHeader) == 22, "placeable header is 22 bytes");

const int kUnitsPerInch = 1440;
// The fitter's view shows pictures at 124 pixels per inch: runs are measured in the type of
// that size, so that each starts where the one before ends on the screen.
const int kViewPixelsPerInch = 124;

struct Form {
    std::string row, meanings, formula;
    std::vector<double> start;
    double xFrom = 0, xTo = 1;
    int nIndependent = 1, nParams = 0;
};

// A path given the Unix way (by the build) as the Windows side sees it.
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool ReadTable(const std::string& path, std::vector<Form>* forms, std::string* error)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open " + path;
        return false;
    }
    std::map<std::string, std::pair<int, int>> counts;
    char line[2048];
    while (fgets(line, sizeof line, f)) {
        char row[64], fn[64], exp[64], group[64];
        int ordinal = 0, nIndep = 0, nParams = 0;
        if (sscanf(line, "QX_ROW(%63[^,], %63[^,], %63[^,], %d, %d, %d, %63[^)])", row, fn, exp, &ordinal, &nIndep,
                   &nParams, group) == 7) {
            std::string name = row;
            name.erase(name.find_last_not_of(" \t") + 1);
            counts[name] = {nIndep, nParams};
            continue;
        }
        if (strncmp(line, "QX_FORM(", 8) != 0)
            continue;
        // QX_FORM(row, "meanings", "start values", x from, x to, "formula")
        Form form;
        const char* p = line + 8;
        const char* comma = strchr(p, ',');
        const char* q1 = comma ? strchr(comma, '"') : nullptr;
        const char* q2 = q1 ? strchr(q1 + 1, '"') : nullptr;
        const char* q3 = q2 ? strchr(q2 + 1, '"') : nullptr;
        const char* q4 = q3 ? strchr(q3 + 1, '"') : nullptr;
        const char* q5 = q4 ? strchr(q4 + 1, '"') : nullptr;
        const char* q6 = q5 ? strrchr(q5 + 1, '"') : nullptr;
        if (!q6 || sscanf(q4 + 1, ", %lf, %lf,", &form.xFrom, &form.xTo) != 2) {
            *error = std::string("cannot read the line ") + line;
            fclose(f);
            return false;
        }
        form.row.assign(p, comma);
        form.meanings.assign(q1 + 1, q2);
        form.formula.assign(q5 + 1, q6);
        const std::string start(q3 + 1, q4);
        for (const char* s = start.c_str(); *s;) {
            char* end = nullptr;
            const double v = strtod(s, &end);
            if (end == s)
                break;
            form.start.push_back(v);
            s = end;
        }
        forms->push_back(form);
    }
    fclose(f);
    for (Form& form : *forms) {
        auto it = counts.find(form.row);
        if (it == counts.end()) {
            *error = "QX_FORM names no row: " + form.row;
            return false;
        }
        form.nIndependent = it->second.first;
        form.nParams = it->second.second;
    }
    return true;
}

// The metafile's bits behind a placeable header for the extent w x h.
std::string Placeable(HMETAFILE metafile, int w, int h)
{
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::string bits(size, '\0');
    GetMetaFileBitsEx(metafile, size, &bits[0]);
    DeleteMetaFile(metafile);
    PlaceableHeader header = {0x9AC6CDD7u, 0, 0, 0, static_cast<int16_t>(w), static_cast<int16_t>(h),
                              kUnitsPerInch, 0, 0};
    const uint16_t* words = reinterpret_cast<const uint16_t*>(&header);
    for (int i = 0; i < 10; ++i)
        header.checksum ^= words[i];
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + bits;
}

HFONT Font(int height, bool italic = false)
{
    return CreateFontA(-height, 0, 0, 0, FW_NORMAL, italic, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
}

// One run of text at one level: the base line or an exponent.
struct Run {
    std::string text;
    int level;
};

// The formula text as runs: "^(...)" and "^token" become the next level up; "*" is a
// centred dot.
void Split(const std::string& text, int level, std::vector<Run>* runs)
{
    std::string plain;
    auto flush = [&] {
        if (!plain.empty())
            runs->push_back({plain, level});
        plain.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '*') {
            plain += '\xB7';
            continue;
        }
        if (c != '^' || i + 1 >= text.size()) {
            plain += c;
            continue;
        }
        flush();
        size_t j = i + 1;
        std::string exponent;
        if (text[j] == '(') {
            int depth = 0;
            size_t k = j;
            for (; k < text.size(); ++k) {
                depth += text[k] == '(' ? 1 : text[k] == ')' ? -1 : 0;
                if (depth == 0)
                    break;
            }
            exponent = text.substr(j + 1, k - j - 1);
            i = k;
        } else {
            size_t k = j;
            if (text[k] == '-')
                ++k;
            while (k < text.size() && (isalnum(static_cast<unsigned char>(text[k])) || text[k] == '.'))
                ++k;
            exponent = text.substr(j, k - j);
            i = k - 1;
        }
        if (level >= 1)
            runs->push_back({"^(" + exponent + ")", level});
        else
            Split(exponent, level + 1, runs);
    }
    flush();
}


// Lays out (dc 0: measures only) one line of runs from x at base line y; the width.
int DrawLine(HDC dc, HDC measure, const std::vector<Run>& runs, int x, int y, int height)
{
    int width = 0;
    for (const Run& r : runs) {
        const int h = r.level ? height * 7 / 10 : height;
        const int raise = r.level ? height * 45 / 100 : 0;
        HFONT font = Font(h);
        HGDIOBJ old = SelectObject(measure, font);
        SIZE size = {};
        GetTextExtentPoint32A(measure, r.text.c_str(), static_cast<int>(r.text.size()), &size);
        SelectObject(measure, old);
        if (dc) {
            HGDIOBJ before = SelectObject(dc, font);
            TextOutA(dc, x + width, y - raise, r.text.c_str(), static_cast<int>(r.text.size()));
            SelectObject(dc, before);
        }
        DeleteObject(font);
        width += size.cx;
    }
    return width;
}

std::vector<std::string> Lines(const std::string& formula)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t bar = formula.find(" | ", start);
        lines.push_back(formula.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return lines;
        start = bar + 3;
    }
}

// The equation picture: the equation, then the names it uses, each on a line of its own.
std::string EquationPicture(const Form& form, HDC measure)
{
    const int big = 180, small = 150, margin = 90, gap = 60;
    const std::vector<std::string> lines = Lines(form.formula);
    std::vector<std::vector<Run>> runs(lines.size());
    int width = 0, height = margin;
    for (size_t i = 0; i < lines.size(); ++i) {
        Split(i == 0 ? lines[i] : "where " + lines[i], 0, &runs[i]);
        const int h = i == 0 ? big : small;
        width = std::max(width, DrawLine(nullptr, measure, runs[i], 0, 0, h));
        height += h * 3 / 2 + (i == 0 ? gap : 0);
    }
    width += 2 * margin;
    height += margin;
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetTextColor(dc, RGB(0, 0, 0));
    int y = margin;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int h = i == 0 ? big : small;
        y += h * 3 / 2 - h / 3 + (i == 1 ? gap : 0);
        DrawLine(dc, measure, runs[i], margin, y, h);
        y += h / 3;
    }
    return Placeable(CloseMetaFile(dc), width, height);
}

// A value at the frame, to three digits; what is below a millionth of the range is 0.
std::string Number(double v, double range)
{
    char text[32];
    snprintf(text, sizeof text, "%.3g", fabs(v) < 1e-6 * range ? 0.0 : v);
    return text;
}

// The sample curve: the function over its X range in a frame, the range's ends written at
// the frame. Empty when fewer than two points evaluate.
std::string SampleCurve(const Form& form, FitFunction function)
{
    const int points = 200;
    std::vector<double> xs, ys;
    double params[32], x[4], y[40], d[32];
    for (int i = 0; i < 32; ++i)
        params[i] = i >= 1 && i <= static_cast<int>(form.start.size()) ? form.start[i - 1] : 1;
    for (int i = 0; i <= points; ++i) {
        x[1] = form.xFrom + (form.xTo - form.xFrom) * i / points;
        x[2] = 1;
        y[1] = 0;
        if (function(FITMODE_VALUE, nullptr, form.nParams, 0, 0, params, nullptr, x, y, d) == 0 && isfinite(y[1]) &&
            y[1] != MISSING_VALUE) {
            xs.push_back(x[1]);
            ys.push_back(y[1]);
        } else {
            xs.push_back(x[1]);
            ys.push_back(NAN);
        }
    }
    double low = INFINITY, high = -INFINITY;
    int good = 0;
    for (double v : ys)
        if (isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
            ++good;
        }
    if (good < 2)
        return "";
    if (high - low < 1e-12 * (fabs(high) + 1)) {
        low -= 1;
        high += 1;
    }
    const int width = 1600, height = 1100, left = 300, right = 60, top = 60, bottom = 160;
    const int plotW = width - left - right, plotH = height - top - bottom;
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    SetBkMode(dc, TRANSPARENT);
    HPEN frame = CreatePen(PS_SOLID, 4, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, frame);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, top, left + plotW, top + plotH);
    HPEN curve = CreatePen(PS_SOLID, 12, RGB(200, 0, 0));
    SelectObject(dc, curve);
    std::vector<POINT> run;
    auto flush = [&] {
        if (run.size() >= 2)
            Polyline(dc, run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (size_t i = 0; i < xs.size(); ++i) {
        if (!isfinite(ys[i])) {
            flush();
            continue;
        }
        const double fx = (xs[i] - form.xFrom) / (form.xTo - form.xFrom);
        const double fy = (high - ys[i]) / (high - low);
        run.push_back({left + static_cast<LONG>(lround(fx * plotW)), top + static_cast<LONG>(lround(fy * plotH))});
    }
    flush();
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(curve);
    DeleteObject(frame);
    HFONT font = Font(80);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    auto text = [&](int x, int y, UINT align, const std::string& s) {
        SetTextAlign(dc, align);
        TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    };
    text(left, top + plotH + 20, TA_LEFT | TA_TOP, Number(form.xFrom, form.xTo - form.xFrom));
    text(left + plotW, top + plotH + 20, TA_RIGHT | TA_TOP, Number(form.xTo, form.xTo - form.xFrom));
    text(left - 20, top, TA_RIGHT | TA_TOP, Number(high, high - low));
    text(left - 20, top + plotH, TA_RIGHT | TA_BOTTOM, Number(low, high - low));
    text(left + plotW / 2, top + plotH + 20, TA_CENTER | TA_TOP, "x");
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return Placeable(CloseMetaFile(dc), width, height);
}

bool WriteContainer(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    qxutil::ContainerHeader header = {{'Q', 'X', 'C', 'F'}, 1, static_cast<uint32_t>(members.size()), 0};
    std::string directory, data;
    uint32_t offset = static_cast<uint32_t>(sizeof header + members.size() * sizeof(qxutil::ContainerEntry));
    for (const auto& m : members) {
        qxutil::ContainerEntry entry = {};
        snprintf(entry.name, sizeof entry.name, "%s", m.first.c_str());
        entry.offset = offset;
        entry.length = static_cast<uint32_t>(m.second.size());
        directory.append(reinterpret_cast<const char*>(&entry), sizeof entry);
        data += m.second;
        offset += entry.length;
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(&header, sizeof header, 1, f) == 1 &&
                    fwrite(directory.data(), 1, directory.size(), f) == directory.size() &&
                    fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: qxmakepictures FitTable.inc <folder of QCLB60.dll> <output folder>\n");
        return 2;
    }
    std::vector<Form> forms;
    std::string error;
    if (!ReadTable(WindowsPath(argv[1]), &forms, &error)) {
        fprintf(stderr, "qxmakepictures: %s\n", error.c_str());
        return 1;
    }
    const std::string library = WindowsPath(argv[2]) + "\\" CURVELIB_FILE_NAME;
    HMODULE module = LoadLibraryA(library.c_str());
    GetFuncProc getFunc = module ? reinterpret_cast<GetFuncProc>(GetProcAddress(module, "Get_Func")) : nullptr;
    if (!getFunc) {
        fprintf(stderr, "qxmakepictures: cannot load %s\n", library.c_str());
        return 1;
    }
    // Text is measured in the picture's units as the view scales them.
    HDC measure = CreateCompatibleDC(nullptr);
    SetMapMode(measure, MM_ANISOTROPIC);
    SetWindowExtEx(measure, kUnitsPerInch, kUnitsPerInch, nullptr);
    SetViewportExtEx(measure, kViewPixelsPerInch, kViewPixelsPerInch, nullptr);
    std::vector<std::pair<std::string, std::string>> pictures, curves;
    for (const Form& form : forms) {
        if (!form.formula.empty())
            pictures.push_back({form.row + ".wmf", EquationPicture(form, measure)});
        FitFunction function = getFunc(form.row.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (!function) {
            fprintf(stderr, "qxmakepictures: the library has no function %s\n", form.row.c_str());
            return 1;
        }
        const std::string curve = SampleCurve(form, function);
        if (!curve.empty())
            curves.push_back({form.row + ".cuv", curve});
    }
    DeleteDC(measure);
    const std::string out = WindowsPath(argv[3]) + "\\";
    if (!WriteContainer(out + "curvelib.qqs", pictures) || !WriteContainer(out + "curvelib.qcs", curves)) {
        fprintf(stderr, "qxmakepictures: cannot write the containers in %s\n", out.c_str());
        return 1;
    }
    printf("qxmakepictures: %zu equation pictures, %zu sample curves\n", pictures.size(), curves.size());
    return 0;
}

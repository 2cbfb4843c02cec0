// The kernel's readers: project, window and template files (their checksums put right
// after each mutation) and the ASCII import.
#include "Fuzz.h"

#include <cmath>

#include "QKAsciiImport.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKScript.h"
#include "qxtest/ProjectRecords.h"

namespace {

using qxfuzz::Bytes;

void Quiet(const char*, int, void*) {}

// A fresh project and interpreter, and nothing printed.
void Fresh()
{
    qkfxGetProject().New();
    qkfxGetScript().Reset();
    qkfxGetScript().SetOutput(qxfuzz::Verbose() ? nullptr : &Quiet, nullptr);
}

// A project with every kind of page, plots of several kinds, a free dataset and a block:
// what the writer makes of it is the seed, so the seeds are always in today's format.
void MakeSample()
{
    Fresh();
    qkfxGetScript().Execute(
        "win -t matrix; matrix -ps dim 3 3; matrix -p 0 ContourColor; win -a Matrix1; matrix -p 0 WireFrame;"
        "win -t wks; wks.ncols = 4; wks.col4.type = 3; col(A)[2] = 3; col(B)[3] = 1; col(C)[1]$ = text;"
        "worksheet -p 201 YError; label -x X; win -t layout; win -n x Notes1");
    qkfxGetProject().CreateDataset("Free", 4)->SetText(2, "t");
    qkfxGetProject().CreateNamedBlock("ZCOLORS", 8);
}

void ProjectSeeds(std::vector<Bytes>& seeds)
{
    MakeSample();
    seeds.emplace_back();
    qkfxSaveProjectToMemory(seeds.back());
    Fresh();
}

void PageSeeds(std::vector<Bytes>& seeds, bool asTemplate)
{
    MakeSample();
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        Bytes b;
        std::string error;
        if (qkfxSavePageToMemory(project.GetPage(i), asTemplate, b, &error))
            seeds.push_back(b);
    }
    Fresh();
}

void WindowSeeds(std::vector<Bytes>& seeds) { PageSeeds(seeds, false); }
void TemplateSeeds(std::vector<Bytes>& seeds) { PageSeeds(seeds, true); }

void FixChecksums(Bytes& b)
{
    if (b.size() >= 12)
        qxtest::FixRecordChecksums(b, 12, b.size());
}

// Read or refused: a file that is read saves and reads back to the same project; a refused
// one says why and leaves the project as it was.
std::string RunProject(const Bytes& input)
{
    Fresh();
    std::string empty = qkfxDumpProject(), error;
    if (!qkfxOpenProjectFromMemory(input.data(), input.size(), false, &error)) {
        qxfuzz::Tally("refused");
        if (error.empty())
            return "a refused project file gave no reason";
        if (qkfxDumpProject() != empty)
            return "a refused project file changed the project: " + error;
        return std::string();
    }
    qxfuzz::Tally("read");
    std::string first = qkfxDumpProject();
    Bytes again;
    qkfxSaveProjectToMemory(again);
    Fresh();
    if (!qkfxOpenProjectFromMemory(again.data(), again.size(), false, &error))
        return "a project read from the file was saved and could not be read back: " + error;
    if (qkfxDumpProject() != first)
        return "a project read from the file changed when saved and read back";
    return std::string();
}

std::string RunPage(const Bytes& input)
{
    Fresh();
    std::string empty = qkfxDumpProject(), error;
    CQKPage* page = qkfxReadPageFromMemory(input.data(), input.size(), "", "", &error);
    if (!page) {
        qxfuzz::Tally("refused");
        if (error.empty())
            return "a refused window file gave no reason";
        if (qkfxDumpProject() != empty)
            return "a refused window file changed the project: " + error;
        return std::string();
    }
    qxfuzz::Tally("read");
    qkfxDumpProject(); // what was read holds together
    return std::string();
}

// Imported or refused with a reason; never more rows than lines, more columns than fields,
// or a cell that is not a number and not missing.
std::string RunAscii(const Bytes& input)
{
    Fresh();
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    QKAsciiImportOptions options;
    static const char delimiters[] = {0, ',', '\t', ';', ' '};
    size_t variant = input.size() + (input.empty() ? 0 : input[0]);
    options.delimiter = delimiters[variant % 5];
    options.headerLines = static_cast<int>(variant % 3);
    options.namesLine = options.headerLines ? 1 : 0;
    options.labelsLine = options.headerLines > 1 ? 2 : 0;
    QKAsciiImportResult result;
    if (!qkfxImportAsciiText(wks, reinterpret_cast<const char*>(input.data()), input.size(), options, &result)) {
        qxfuzz::Tally("refused");
        return result.error.empty() ? "a refused import gave no reason" : std::string();
    }
    qxfuzz::Tally(result.rows ? "read" : "read, no rows");
    size_t lines = qxfuzz::CountByte(input, '\n') + qxfuzz::CountByte(input, '\r') + 1;
    if (static_cast<size_t>(result.rows) > lines)
        return "more rows (" + std::to_string(result.rows) + ") than lines in the file";
    if (static_cast<size_t>(wks->GetNumCols()) > input.size() + 2)
        return "more columns than the file has bytes";
    for (int c = 1; c <= wks->GetNumCols(); ++c) {
        CQKDataset* column = wks->GetColumn(c);
        for (int r = 0; r < column->GetEnd(); ++r)
            if (!column->IsText(r) && !std::isfinite(column->GetValue(r)) && column->GetValue(r) != MISSING_VALUE)
                return "a cell holds a value that is neither a number nor missing";
    }
    return std::string();
}

qxfuzz::Registration project({"project", nullptr, RunProject, ProjectSeeds, FixChecksums, {}});
qxfuzz::Registration window({"window", nullptr, RunPage, WindowSeeds, FixChecksums, {}});
qxfuzz::Registration templ({"template", nullptr, RunPage, TemplateSeeds, FixChecksums, {}});
qxfuzz::Registration ascii({"ascii", "ascii", RunAscii, nullptr, nullptr,
                            {",", "\t", ";", " ", "\r\n", "\n", "\r", "\"", "\"\"", "--", "1e308", "-0.5", "NaN",
                             "inf", "1,5", "\xEF\xBB\xBF", "\xFF\xFE"}});

} // namespace

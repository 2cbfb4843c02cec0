// The file plug-in's readers, driven by scripts as a user drives them: text, binary
// values, records, and the SigmaPlot, Mathematica and WAVE imports. Each reads a file that
// holds the input; a script that stops must say why.
#include "Fuzz.h"

#include <ctype.h>
#include <string.h>

#include <cmath>

#include "QKData.h"
#include "QKScript.h"

namespace {

using qxfuzz::Bytes;

void Quiet(const char*, int, void*) {}

// A fresh project with the worksheet Data1 and the input opened as file h.
bool Open(const Bytes& input, std::string* broken)
{
    qkfxGetProject().New();
    CQKScript& s = qkfxGetScript();
    s.Reset();
    s.SetOutput(qxfuzz::Verbose() ? nullptr : &Quiet, nullptr);
    qxfuzz::WriteScratch(input);
    if (!s.Execute("fum.closeall(); fum.reset(); win -t wks; h = fum.open(" + qxfuzz::ScratchFile() + ", 0)")) {
        *broken = "the file could not be opened: " + s.GetLastError();
        return false;
    }
    return true;
}

// Runs a script; a stop is a refusal, which must give its reason.
std::string Run(const std::string& text)
{
    CQKScript& s = qkfxGetScript();
    if (s.Execute(text)) {
        qxfuzz::Tally("read");
        return std::string();
    }
    qxfuzz::Tally("refused");
    if (s.GetLastError().empty())
        return "the script stopped without a reason: " + text;
    return std::string();
}

CQKWksPage* Data1() { return dynamic_cast<CQKWksPage*>(qkfxGetProject().FindPage("Data1")); }

struct Cells {
    size_t values = 0, texts = 0, rows = 0;
    int columns = 0;
    bool bad = false; // a value that is neither a number nor missing
};

Cells Count(CQKWksPage* wks)
{
    Cells c;
    if (!wks)
        return c;
    c.columns = wks->GetNumCols();
    for (int i = 1; i <= wks->GetNumCols(); ++i) {
        CQKDataset* column = wks->GetColumn(i);
        c.rows = std::max(c.rows, static_cast<size_t>(column->GetEnd()));
        for (int r = 0; r < column->GetEnd(); ++r) {
            if (column->IsText(r)) {
                // An empty element or field keeps its place; it is not one the file holds.
                if (!column->GetText(r).empty())
                    ++c.texts;
                continue;
            }
            double v = column->GetValue(r);
            if (v == MISSING_VALUE)
                continue;
            if (!std::isfinite(v))
                c.bad = true;
            ++c.values;
        }
    }
    return c;
}

std::string Check(const Cells& c, size_t maxValues, const char* what)
{
    if (c.bad)
        return "a cell holds a value that is neither a number nor missing";
    if (c.values + c.texts > maxValues)
        return std::to_string(c.values + c.texts) + " cells from a file that holds at most " +
               std::to_string(maxValues) + " " + what;
    return std::string();
}

// Runs of digits: a number read from text needs one at least.
size_t DigitRuns(const Bytes& input)
{
    size_t runs = 0;
    for (size_t i = 0; i < input.size(); ++i)
        if (isdigit(input[i]) && (i == 0 || !isdigit(input[i - 1])))
            ++runs;
    return runs;
}

// Text: no number without a digit of the file behind it, no more cells than bytes.
std::string CheckText(const Cells& c, const Bytes& input)
{
    if (c.bad)
        return "a cell holds a value that is neither a number nor missing";
    if (c.values > DigitRuns(input))
        return std::to_string(c.values) + " numbers from a text with " + std::to_string(DigitRuns(input)) +
               " runs of digits";
    if (c.texts > input.size())
        return "more text cells than the file has bytes";
    return std::string();
}

// One line per call, LINEROW, until the end, each call moving on; then READASCII from the
// start.
std::string RunText(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    static const int separators[] = {44, 9, 59, 32};
    size_t variant = input.size();
    std::string setup = "fum.nlinesmode = " + std::to_string(variant % 3) +
                        "; fum.listsep = " + std::to_string(separators[(variant / 3) % 4]);
    if (!(broken = Run(setup)).empty())
        return broken;
    CQKScript& s = qkfxGetScript();
    double position = 0, size = 0;
    size_t calls = 0;
    while (s.Evaluate("fum.getpos(h)", &position) && s.Evaluate("fum.size(h)", &size) && position < size) {
        if (++calls > input.size() + 1)
            return "LINEROW was called more often than the file has bytes";
        if (!s.Execute("fum.linerow(Data1, $(h))"))
            break;
        double after = 0;
        if (s.Evaluate("fum.getpos(h)", &after) && after <= position)
            return "LINEROW did not move on through the file";
    }
    if (!(broken = CheckText(Count(Data1()), input)).empty())
        return broken;
    if (!(broken = Run("fum.rewind(h); win -t wks; fum.readascii(A, Data2, $(h))")).empty())
        return broken;
    return CheckText(Count(dynamic_cast<CQKWksPage*>(qkfxGetProject().FindPage("Data2"))), input);
}

// AREAD of the elements the file holds, in every width and kind, then of one more (refused
// or cut short), then READROWBIN of a row of three.
std::string RunBinary(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    struct Kind {
        int bytes, kind;
    } static const kinds[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {8, 1}, {10, 1}, {10, 2}};
    const Kind& k = kinds[input.size() % 8];
    size_t skip = (input.size() / 8) % 3, stride = k.bytes + skip;
    size_t count = (input.size() + skip) / stride;
    std::string settings = "fum.nbytes = " + std::to_string(k.bytes) + "; fum.skip = " + std::to_string(skip) +
                           "; fum.signed = " + std::to_string(input.size() % 2) +
                           "; fum.byteorder = " + std::to_string((input.size() / 2) % 3);
    std::string kind = std::to_string(k.kind);
    const std::string reads[] = {
        count ? "fum.aread(Data1_A, 1, " + std::to_string(count) + ", " + kind + ", $(h))" : std::string(),
        "fum.rewind(h); fum.aread(Data1_B, 1, " + std::to_string(count + 1) + ", " + kind + ", $(h))",
        "fum.rewind(h); fum.readrowbin(Data1, 3, " + kind + ", $(h))",
    };
    if (!(broken = Run(settings)).empty())
        return broken;
    for (const std::string& read : reads)
        if (!read.empty() && !(broken = Run(read)).empty())
            return broken;
    return Check(Count(Data1()), 2 * count + 3, "elements");
}

// READRECORD of the whole records the file holds, by a few templates, then of two more.
std::string RunRecords(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    struct Template {
        const char* text;
        int bytes, values;
    } static const templates[] = {{"sh|d", 10, 2}, {"-lo 2|4|f", 16, 3}, {"by 3|ld", 13, 4}, {"t|BC", 13, 2}};
    const Template& t = templates[input.size() % 4];
    size_t records = input.size() / t.bytes;
    for (size_t n : {records, records + 2}) {
        if (!n)
            continue;
        std::string script = "fum.rewind(h); fum.readrecord(Data1, " + std::to_string(n) + ", " + t.text + ", $(h))";
        if (!(broken = Run(script)).empty())
            return broken;
    }
    return Check(Count(Data1()), 2 * records * t.values, "values in whole records, read twice");
}

// The SigmaPlot imports: every value takes at least eight bytes of the file.
std::string RunSigmaPlot(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    const char* method = input.size() % 2 ? "sigmados" : "sigmawin";
    if (!(broken = Run(std::string("fum.") + method + "(Data1, $(h))")).empty())
        return broken;
    Cells c = Count(Data1());
    if (static_cast<size_t>(c.columns) > input.size() / 8 + 2)
        return std::to_string(c.columns) + " columns from a file of " + std::to_string(input.size()) + " bytes";
    return Check(c, input.size() / 8, "values of eight bytes");
}

// A Mathematica list: each element is made of at least one byte that is no brace or comma.
std::string RunMathematica(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    if (!(broken = Run("fum.mathematica(Data1, $(h))")).empty())
        return broken;
    size_t elements = 0;
    auto apart = [](BYTE b) { return b == '{' || b == '}' || b == ','; };
    for (size_t i = 0; i < input.size(); ++i)
        if (!apart(input[i]) && (i == 0 || apart(input[i - 1])))
            ++elements;
    std::string text = CheckText(Count(Data1()), input);
    return text.empty() ? Check(Count(Data1()), elements, "elements") : text;
}

// A WAVE file: no more samples than the file has bytes (and a time for each).
std::string RunWave(const Bytes& input)
{
    std::string broken;
    if (!Open(input, &broken))
        return broken;
    if (!(broken = Run("fum.wav(Data1, $(h))")).empty())
        return broken;
    return Check(Count(Data1()), 3 * input.size(), "samples, each with its time");
}

qxfuzz::Registration text({"fumtext", "text", RunText, nullptr, nullptr,
                           {",", "\t", ";", " ", "\r\n", "\n", "\r", "\"", "--", "1e308", "-.5e-3", "NaN", "1,5",
                            "\xFF\xFE"}});
qxfuzz::Registration binary({"fumbinary", "binary", RunBinary, nullptr, nullptr, {}});
qxfuzz::Registration records({"fumrecords", "binary", RunRecords, nullptr, nullptr, {}});
qxfuzz::Registration sigmaplot({"sigmaplot", "sigmaplot", RunSigmaPlot, nullptr, nullptr,
                                {"JSDataWorksheet", "\x1A"}});
qxfuzz::Registration mathematica({"mathematica", "mathematica", RunMathematica, nullptr, nullptr,
                                  {"{", "}", ",", "*^", "{{", "}}", "\r\n", "-", "."}});
qxfuzz::Registration wave({"wave", "wave", RunWave, nullptr, nullptr, {"RIFF", "WAVE", "fmt ", "data", "fact", "LIST"}});

} // namespace

// Project, window and template files: the writer, the reader and the safe save.
//
// One routine per node kind (Exchange...) lists the node's properties once; it writes
// them when saving and reads them back when loading, so the two cannot drift apart. The
// reader first builds everything off to the side ("staging") and puts it into the
// project only when the whole file was read without a fault, so a refused file changes
// nothing. The byte layout is in the README ("Files").
#include "QKFile.h"
#include "KernelInternal.h"

#include <string.h>

#include <algorithm>
#include <map>
#include <memory>
#include <type_traits>

#include <afx.h>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKExternal.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKScript.h"
#include "QKSysMethod.h"

namespace {

const char kMagic[4] = {'Q', 'X', 'P', 'F'};
const WORD kFormatVersion = 1;
const size_t kFileHeader = 12;   // magic, version, kind, body length
const size_t kRecordHeader = 16; // tag, version, reserved, length, checksum
const WORD kRecordVersion = 1;
const size_t kView3DBytes = 731; // the 3D library's view record of a 3D layer

// The fields meet the file with these sizes, little-endian as the processor keeps them.
static_assert(sizeof(int) == 4 && sizeof(unsigned) == 4 && sizeof(short) == 2 && sizeof(double) == 8,
              "file fields have fixed sizes");
static_assert(sizeof(WORD) == 2 && sizeof(DWORD) == 4, "record headers have fixed sizes");

size_t g_readLimit = (size_t)1 << 30;
size_t g_writeLimit = 0;

// CRC-32 (as in zip files); `crc` carries a checksum on over more bytes.
DWORD Crc32(const BYTE* p, size_t n, DWORD crc = 0)
{
    static DWORD table[256];
    static bool ready = false;
    if (!ready) {
        for (DWORD i = 0; i < 256; ++i) {
            DWORD c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    DWORD c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
        c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A record's checksum covers its tag, version and length as well as its contents, so
// that a damaged tag does not pass for a record of a kind unknown and skipped.
DWORD RecordChecksum(const BYTE* record, size_t length)
{
    return Crc32(record + kRecordHeader, length, Crc32(record, 12));
}

std::string Upper(std::string s)
{
    for (char& ch : s)
        ch = (char)toupper((unsigned char)ch);
    return s;
}

// ---- the writer's bytes ------------------------------------------------------------------

class Out {
public:
    std::vector<BYTE> b;
    void Raw(const void* p, size_t n)
    {
        const BYTE* c = static_cast<const BYTE*>(p);
        b.insert(b.end(), c, c + n);
    }
    void U32(DWORD v) { Raw(&v, 4); }
    // A record: its header now, its length and checksum at End.
    size_t Begin(const char* tag)
    {
        size_t at = b.size();
        Raw(tag, 4);
        WORD version = kRecordVersion, reserved = 0;
        Raw(&version, 2);
        Raw(&reserved, 2);
        U32(0);
        U32(0);
        U32(0); // the length of the fields
        return at;
    }
    void EndFields(size_t at)
    {
        DWORD n = (DWORD)(b.size() - (at + kRecordHeader + 4));
        memcpy(&b[at + kRecordHeader], &n, 4);
    }
    void End(size_t at)
    {
        DWORD length = (DWORD)(b.size() - (at + kRecordHeader));
        memcpy(&b[at + 8], &length, 4);
        DWORD crc = RecordChecksum(&b[at], length);
        memcpy(&b[at + 12], &crc, 4);
    }
};

// ---- fields, both ways -------------------------------------------------------------------

// Reads or writes a record's fields in one order. Reading: a field past the end of the
// fields is one an older writer did not know and keeps its default; a field cut in the
// middle is a fault. Every count is checked against the bytes left and against the
// memory the read may still use before anything is allocated.
class IO {
public:
    IO(Out* out) : m_out(out) {}
    IO(const BYTE* p, size_t n, size_t* budget, std::string where)
        : m_p(p), m_end(p + n), m_budget(budget), m_where(std::move(where))
    {
    }
    bool Loading() const { return m_out == nullptr; }
    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    void Fail(const std::string& what)
    {
        if (m_error.empty())
            m_error = m_where + ": " + what;
    }

    template <typename T>
    void Num(T& v)
    {
        static_assert(sizeof(T) <= 8 && std::is_arithmetic<T>::value, "a field of a fixed size");
        if (m_out) {
            m_out->Raw(&v, sizeof v);
            return;
        }
        if (!Ok() || m_p == m_end)
            return;
        if (!Need(sizeof v))
            return;
        memcpy(&v, m_p, sizeof v);
        m_p += sizeof v;
    }
    void I(int& v) { Num(v); }
    void D(double& v) { Num(v); }
    void B(bool& v)
    {
        BYTE x = v ? 1 : 0;
        Num(x);
        v = x != 0;
    }
    void W(BOOL& v)
    {
        bool x = v != FALSE;
        B(x);
        v = x;
    }
    void Sh(short& v) { Num(v); }
    void By(BYTE& v) { Num(v); }
    void U(unsigned& v) { Num(v); }
    void S(std::string& s)
    {
        if (m_out) {
            m_out->U32((DWORD)s.size());
            m_out->Raw(s.data(), s.size());
            return;
        }
        DWORD n = 0;
        if (!Count(n, 1, "a text"))
            return;
        s.assign(reinterpret_cast<const char*>(m_p), n);
        m_p += n;
    }
    // A count of items of `size` bytes each that follow: checked against the bytes left
    // and charged to the memory budget. false (and nothing read) when absent or wrong.
    bool Count(DWORD& n, size_t size, const char* what)
    {
        if (!Ok() || m_p == m_end)
            return false;
        if (!Need(4))
            return false;
        memcpy(&n, m_p, 4);
        m_p += 4;
        if ((size_t)(m_end - m_p) / size < n) {
            Fail(qkFormatText("%s of %lu items runs past the end of its record", what, (unsigned long)n));
            return false;
        }
        return Charge((size_t)n * size);
    }
    bool Charge(size_t bytes)
    {
        if (!m_budget)
            return true;
        if (bytes > *m_budget) {
            Fail("the file needs more memory than a read may use");
            return false;
        }
        *m_budget -= bytes;
        return true;
    }
    void Doubles(std::vector<double>& v)
    {
        if (m_out) {
            m_out->U32((DWORD)v.size());
            m_out->Raw(v.data(), v.size() * sizeof(double));
            return;
        }
        DWORD n = 0;
        if (!Count(n, sizeof(double), "a list of values"))
            return;
        v.resize(n);
        memcpy(v.data(), m_p, (size_t)n * sizeof(double));
        m_p += (size_t)n * sizeof(double);
    }
    void Bytes(std::vector<BYTE>& v)
    {
        if (m_out) {
            m_out->U32((DWORD)v.size());
            m_out->Raw(v.data(), v.size());
            return;
        }
        DWORD n = 0;
        if (!Count(n, 1, "a block"))
            return;
        v.assign(m_p, m_p + n);
        m_p += n;
    }

private:
    bool Need(size_t n)
    {
        if ((size_t)(m_end - m_p) < n) {
            Fail("a field is cut off at the end of its record");
            return false;
        }
        return true;
    }

    Out* m_out = nullptr;
    const BYTE* m_p = nullptr;
    const BYTE* m_end = nullptr;
    size_t* m_budget = nullptr;
    std::string m_where;
    std::string m_error;
};

// ---- records, read -----------------------------------------------------------------------

struct Record {
    char tag[5] = {};
    WORD version = 0;
    size_t offset = 0; // of its header in the file
    const BYTE* fields = nullptr;
    size_t fieldBytes = 0;
    const BYTE* children = nullptr;
    size_t childBytes = 0;
    std::string Where() const { return qkFormatText("record %s at byte %lu", tag, (unsigned long)offset); }
};

// Walks the records that fill a span, checking each before it is handed out.
class Records {
public:
    Records(const BYTE* base, const BYTE* p, size_t n) : m_base(base), m_p(p), m_end(p + n) {}
    // false at the end of the span, or with *error set for a damaged record.
    bool Next(Record& r, std::string* error)
    {
        if (m_p == m_end)
            return false;
        size_t left = (size_t)(m_end - m_p);
        r.offset = (size_t)(m_p - m_base);
        if (left < kRecordHeader) {
            *error = qkFormatText("the record at byte %lu is cut off (%lu bytes left of a 16-byte header)",
                                  (unsigned long)r.offset, (unsigned long)left);
            return false;
        }
        memcpy(r.tag, m_p, 4);
        r.tag[4] = 0;
        for (int i = 0; i < 4; ++i)
            if (r.tag[i] < 0x20 || r.tag[i] > 0x7E)
                r.tag[i] = '?';
        DWORD length, crc;
        memcpy(&r.version, m_p + 4, 2);
        memcpy(&length, m_p + 8, 4);
        memcpy(&crc, m_p + 12, 4);
        if (length > left - kRecordHeader) {
            *error = r.Where() + qkFormatText(": its length of %lu bytes runs past the end (%lu bytes left)",
                                              (unsigned long)length, (unsigned long)(left - kRecordHeader));
            return false;
        }
        const BYTE* payload = m_p + kRecordHeader;
        if (RecordChecksum(m_p, length) != crc) {
            *error = r.Where() + ": its checksum does not match its contents (the file is damaged)";
            return false;
        }
        DWORD fields = 0;
        if (length < 4 || (memcpy(&fields, payload, 4), fields > length - 4)) {
            *error = r.Where() + ": its fields do not fit in it";
            return false;
        }
        r.fields = payload + 4;
        r.fieldBytes = fields;
        r.children = payload + 4 + fields;
        r.childBytes = length - 4 - fields;
        m_p = payload + length;
        return true;
    }
    const BYTE* Base() const { return m_base; }

private:
    const BYTE* m_base;
    const BYTE* m_p;
    const BYTE* m_end;
};

bool Is(const Record& r, const char* tag)
{
    return memcmp(r.tag, tag, 4) == 0;
}

// ---- dataset references ------------------------------------------------------------------

// How a file names a dataset or a matrix: by the page (and sheet) and column that hold
// it, or a free dataset's name; the name as it was is kept as well.
enum { REF_NONE = 0, REF_COLUMN = 1, REF_FREE = 2, REF_SHEET = 3, REF_PAGE = 4 };

struct Ref {
    int kind = REF_NONE;
    std::string page;
    int sheet = 0;
    int column = 0;
    std::string name;
    void Exchange(IO& io)
    {
        io.I(kind);
        io.S(page);
        io.I(sheet);
        io.I(column);
        io.S(name);
    }
};

} // namespace

// ---- the node routines -------------------------------------------------------------------

struct QKFileAccess {
    // ---- saving: where each dataset and page lives ----
    struct SaveMap {
        std::map<INT_PTR, Ref> refs;
    };

    static SaveMap MapProject()
    {
        SaveMap m;
        CQKProject& project = qkfxGetProject();
        for (const auto& page : project.m_pages) {
            Ref pr;
            pr.kind = REF_PAGE;
            pr.page = pr.name = page->GetName();
            m.refs[page->GetHandle()] = pr;
            if (auto* wks = dynamic_cast<CQKWksPage*>(page.get())) {
                for (int c = 1; c <= wks->GetNumCols(); ++c) {
                    Ref r;
                    r.kind = REF_COLUMN;
                    r.page = page->GetName();
                    r.column = c;
                    r.name = wks->GetColumn(c)->GetName();
                    m.refs[wks->GetColumn(c)->GetHandle()] = r;
                }
            }
            if (auto* ext = dynamic_cast<CQKWksExternPage*>(page.get()))
                for (const auto& layer : ext->m_layers)
                    for (int c = 1; c <= layer->GetNumCols(); ++c) {
                        Ref r;
                        r.kind = REF_SHEET;
                        r.page = page->GetName();
                        r.sheet = layer->GetID();
                        r.column = c;
                        r.name = layer->GetColumn(c)->GetName();
                        m.refs[layer->GetColumn(c)->GetHandle()] = r;
                    }
        }
        for (const auto& d : project.m_datasets) {
            Ref r;
            r.kind = REF_FREE;
            r.name = d->GetName();
            m.refs[d->GetHandle()] = r;
        }
        return m;
    }

    static Ref RefOf(const SaveMap& m, INT_PTR handle, const std::string& name)
    {
        auto it = m.refs.find(handle);
        if (it != m.refs.end())
            return it->second;
        Ref r;
        r.name = name;
        return r;
    }

    // ---- loading: what was built and what is still to be bound ----
    struct Binding {
        CQKDataset* dataset = nullptr; // an X to bind
        CQKPlotObj* plot = nullptr;    // or a plot's data
        Ref ref;
        int index = -1; // the plot's data entry; -1 the data object's own dataset
        std::string where;
    };

    struct Stage {
        size_t budget = 0;
        bool window = false; // a page read alone: names resolve in the project
        bool templ = false;
        std::vector<std::unique_ptr<CQKPage>> pages;
        std::map<std::string, CQKPage*> pageByName; // saved names, upper-cased
        std::vector<std::unique_ptr<CQKDataset>> datasets;
        std::map<std::string, CQKDataset*> freeByName;
        std::map<std::string, std::vector<BYTE>> blocks, hostBlocks;
        std::map<std::string, std::string> queries;
        std::string log;
        bool hasLog = false;
        std::string activePage;
        // The explorer's folders ("/A/B/", parents first) with their creation times, the
        // current one, and each page's folder.
        std::vector<std::pair<std::string, double>> folders;
        std::string currentFolder;
        std::map<const CQKPage*, std::string> pageFolders;
        std::vector<Binding> bindings;
        std::vector<CQKContourPlotObj*> contours;
        std::string error;
        const BYTE* base = nullptr; // the file's first byte, which offsets count from
        bool Fail(const std::string& e)
        {
            if (error.empty())
                error = e;
            return false;
        }
        bool Take(IO& io) { return io.Ok() || Fail(io.Error()); }
        bool Charge(size_t bytes)
        {
            if (bytes > budget)
                return Fail("the file needs more memory than a read may use");
            budget -= bytes;
            return true;
        }
    };

    // ---- datasets ----
    static void ExchangeDataset(IO& io, CQKDataset& d, Ref& x, bool templ)
    {
        io.S(d.m_label);
        io.I(d.m_format);
        io.I(d.m_subformat);
        io.I(d.m_width);
        io.I(d.m_type);
        x.Exchange(io);
        int first = templ ? 0 : d.m_first, end = templ ? 0 : d.m_end;
        io.I(first);
        io.I(end);
        std::vector<double> values;
        if (!io.Loading() && !templ)
            values = d.m_values;
        io.Doubles(values);
        DWORD texts = templ ? 0 : (DWORD)d.m_texts.size();
        if (!io.Loading()) {
            io.Num(texts);
            if (!templ)
                for (auto& t : d.m_texts) {
                    int row = t.first;
                    io.I(row);
                    io.S(t.second);
                }
            return;
        }
        if (!io.Ok())
            return;
        if (first < 0 || end < first || end > QK_MAX_ROWS || values.size() != (size_t)end) {
            io.Fail(qkFormatText("the rows %d to %d do not match its %lu values", first, end,
                                 (unsigned long)values.size()));
            return;
        }
        d.m_first = first;
        d.m_end = end;
        d.m_values.swap(values);
        if (!io.Count(texts, 5, "a list of text cells"))
            return;
        for (DWORD i = 0; i < texts && io.Ok(); ++i) {
            int row = -1;
            std::string text;
            io.I(row);
            io.S(text);
            if (io.Ok() && (row < 0 || row >= end))
                io.Fail(qkFormatText("a text cell lies in row %d, outside the dataset", row));
            else if (io.Ok())
                d.m_texts[row] = text;
        }
    }

    static void SaveColumn(Out& out, const SaveMap& m, CQKDataset& d, bool templ)
    {
        size_t at = out.Begin("COLM");
        IO io(&out);
        std::string name = d.IsColumn() ? d.m_columnName : d.GetName();
        io.S(name);
        CQKDataset* x = d.m_xDataset ? qkfxGetProject().GetDatasetFromHandle(d.m_xDataset) : nullptr;
        Ref xr = x ? RefOf(m, x->GetHandle(), x->GetName()) : Ref();
        ExchangeDataset(io, d, xr, templ);
        out.EndFields(at);
        // The formula the column's values were set from, a child record: readers that do
        // not know it pass over it.
        if (!d.m_function.empty()) {
            size_t f = out.Begin("FORM");
            IO fio(&out);
            fio.S(d.m_function);
            out.EndFields(f);
            out.End(f);
        }
        if (!templ && (!d.GetMaskedRows().empty() || !d.m_maskOn || d.m_maskHidden || d.m_maskColor != 1)) {
            size_t m0 = out.Begin("MASK");
            IO mio(&out);
            ExchangeMask(mio, d);
            out.EndFields(m0);
            out.End(m0);
        }
        out.End(at);
    }

    // The masked rows follow their count, which is checked against the record before
    // anything is allocated; the reader takes them into a set.
    static void ExchangeMask(IO& io, CQKDataset& d)
    {
        io.B(d.m_maskOn);
        io.B(d.m_maskHidden);
        io.I(d.m_maskColor);
        if (!io.Loading()) {
            unsigned n = (unsigned)d.m_mask.size();
            io.U(n);
            for (int row : d.m_mask)
                io.I(row);
            return;
        }
        DWORD n = 0;
        if (!io.Count(n, sizeof(int), "a list of masked rows"))
            return;
        std::set<int> rows;
        for (DWORD i = 0; i < n; ++i) {
            int row = 0;
            io.I(row);
            rows.insert(row);
        }
        d.m_mask = rows;
    }

    // A column record into a worksheet (owner) or a free dataset (no owner).
    static bool LoadColumn(Stage& st, const Record& r, CQKWksPage* owner)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        std::string name;
        io.S(name);
        if (!st.Take(io))
            return false;
        if (!st.Charge(sizeof(CQKDataset) + 64))
            return false;
        CQKDataset* d;
        if (owner) {
            d = owner->AddColumn(name);
            if (!d)
                return st.Fail(r.Where() + ": \"" + name + "\" is no column name, or the worksheet has it twice");
        } else {
            if (!CQKProject::IsValidDatasetName(name) || st.freeByName.count(Upper(name)))
                return st.Fail(r.Where() + ": \"" + name + "\" is no dataset name, or the file has it twice");
            st.datasets.push_back(std::make_unique<CQKDataset>(&qkfxGetProject(), name, nullptr));
            d = st.datasets.back().get();
            st.freeByName[Upper(name)] = d;
        }
        Binding x;
        ExchangeDataset(io, *d, x.ref, st.templ);
        if (!st.Take(io))
            return false;
        if (x.ref.kind != REF_NONE) {
            x.dataset = d;
            x.where = r.Where();
            st.bindings.push_back(x);
        }
        // Children: the formula of the values, the masked rows; others are passed over.
        Records kids(st.base, r.children, r.childBytes);
        Record k;
        std::string error;
        while (kids.Next(k, &error)) {
            if (Is(k, "FORM")) {
                IO fio(k.fields, k.fieldBytes, &st.budget, k.Where());
                fio.S(d->m_function);
                if (!st.Take(fio))
                    return false;
                continue;
            }
            if (!Is(k, "MASK"))
                continue;
            IO mio(k.fields, k.fieldBytes, &st.budget, k.Where());
            ExchangeMask(mio, *d);
            if (!st.Take(mio))
                return false;
            const int n = CQKColor::GetColorNumber();
            if (d->m_maskColor < 0 || d->m_maskColor >= n)
                return st.Fail(k.Where() + qkFormatText(": %d is no colour", d->m_maskColor));
        }
        return error.empty() || st.Fail(error);
    }

    // ---- graph elements ----
    static void ExchangeLine(IO& io, CQKPlotObj& p)
    {
        io.I(p.m_s.color);
        io.B(p.m_s.show);
        io.I(p.m_s.lineType);
        io.D(p.m_s.lineWidth);
        io.I(p.m_s.connectType);
    }

    static void ExchangeAxisRecord(IO& io, QKAxisRecord& a)
    {
        io.S(a.from);
        io.S(a.to);
        io.S(a.inc);
        io.S(a.firstTick);
        io.I(a.type);
        io.I(a.rescale);
        io.B(a.useMajor);
        io.I(a.major);
        io.I(a.minorTicks);
        io.B(a.opposite);
        io.B(a.center);
        CQKAxisBreak& b = a.axisBreak;
        io.B(b.m_enable);
        io.S(b.m_from);
        io.S(b.m_to);
        io.I(b.m_position);
        io.B(b.m_logAfter);
        io.S(b.m_incBefore);
        io.S(b.m_incAfter);
        io.I(b.m_ticksBefore);
        io.I(b.m_ticksAfter);
        ExchangeLine(io, a.majorGrid);
        ExchangeLine(io, a.minorGrid);
        for (int side = 0; side < 2; ++side) {
            CQKAxisTicksObj& t = a.ticks[side];
            ExchangeLine(io, t);
            io.I(t.m_axisType);
            io.S(t.m_title);
            io.I(t.m_tickLength);
            io.I(t.m_majorTicks);
            io.I(t.m_minorTicks);
            io.I(t.m_position);
            io.S(t.m_positionValue);
            io.B(t.m_labelNextAxis);
            CQKAxisLabelsObj& l = a.labels[side];
            ExchangeLine(io, l);
            io.I(l.m_font);
            io.I(l.m_size);
            io.D(l.m_rotation);
            io.I(l.m_labelType);
            io.S(l.m_dataset);
            io.I(l.m_format);
            io.D(l.m_factor);
            io.B(l.m_manualDec);
            io.I(l.m_decDigits);
            io.S(l.m_prefix);
            io.S(l.m_suffix);
            io.B(l.m_bold);
            io.I(l.m_alignment);
            io.D(l.m_hOffset);
            io.D(l.m_vOffset);
            for (QKSpecialTick* s : {&l.m_begin, &l.m_end, &l.m_special}) {
                io.I(s->type);
                io.S(s->label);
            }
            io.D(l.m_specialPosition);
            io.B(l.m_minorLabel);
            io.B(l.m_minorOnMajor);
            io.I(l.m_majorOffset);
            io.B(l.m_plus);
            io.B(l.m_minus);
            io.B(l.m_box);
        }
    }

    static void ExchangePlotState(IO& io, QKPlotState& s)
    {
        io.I(s.plotType);
        io.S(s.dataset);
        io.I(s.color);
        io.B(s.show);
        io.I(s.lineType);
        io.D(s.lineWidth);
        io.I(s.connectType);
        io.B(s.symbolsConnected);
        io.B(s.areaFilled);
        io.I(s.fillAreaMode);
        io.B(s.lineSymbolGap);
        io.B(s.lineInFront);
        io.I(s.group);
        io.B(s.groupBegin);
        io.B(s.independent);
        io.B(s.hiddenFromLegend);
        io.B(s.errorBar);
        io.B(s.matrixData);
        io.B(s.onePoint);
        io.I(s.numPatterns);
        io.I(s.activeTabID);
        io.B(s.colorMapData);
        io.B(s.frame3D);
        io.I(s.boxGap);
        io.I(s.gapWithinGroup);
        io.I(s.barThickness);
        io.I(s.objectColumns);
        for (QKPatternState& p : s.pattern) {
            io.I(p.borderColor);
            io.I(p.borderType);
            io.D(p.borderWidth);
            io.I(p.bkColor);
            io.I(p.fillPattern);
            io.I(p.barFillColor);
            io.D(p.fillWidth);
            io.I(p.patternType);
        }
    }

    enum { PLOT_PLAIN = 0, PLOT_DATA = 1, PLOT_ERROR_BAR = 2, PLOT_CONTOUR = 3 };

    static void SavePlot(Out& out, const SaveMap& m, int id, CQKPlotObj& p)
    {
        size_t at = out.Begin("PLOT");
        IO io(&out);
        io.I(id);
        auto* data = dynamic_cast<CQKDataObj*>(&p);
        auto* bar = dynamic_cast<CQKErrorBar*>(&p);
        auto* contour = dynamic_cast<CQKContourPlotObj*>(&p);
        int kind = contour ? PLOT_CONTOUR : bar ? PLOT_ERROR_BAR : data ? PLOT_DATA : PLOT_PLAIN;
        io.I(kind);
        ExchangePlotState(io, p.m_s);
        DWORD n = (DWORD)p.m_s.data.size();
        io.Num(n);
        for (QKPlotData& d : p.m_s.data) {
            io.I(d.role);
            io.S(d.dataset);
            io.I(d.first);
            io.I(d.end);
            Ref r = RefOf(m, d.handle, d.dataset);
            r.Exchange(io);
        }
        Ref own = data ? RefOf(m, data->GetDataHandle(), p.m_s.dataset) : Ref();
        own.Exchange(io);
        ExchangeKind(io, p);
        out.EndFields(at);
        size_t s0 = out.Begin("SYMB");
        IO sio(&out);
        ExchangeSymbol(sio, p.m_s.symbol);
        out.EndFields(s0);
        out.End(s0);
        for (const PartRecord& part : kParts) {
            size_t k = out.Begin(part.tag);
            IO kio(&out);
            part.exchange(kio, p.m_s);
            out.EndFields(k);
            out.End(k);
        }
        if (p.Is3DPlot()) {
            size_t f0 = out.Begin("SURF");
            IO fio(&out);
            ExchangeSurface(fio, p.m_s.surface);
            out.EndFields(f0);
            out.End(f0);
        }
        if (!p.m_s.specialPoints.empty()) {
            size_t q0 = out.Begin("SPTS");
            IO qio(&out);
            DWORD n = (DWORD)p.m_s.specialPoints.size();
            qio.Num(n);
            for (QKSpecialPoint& point : p.m_s.specialPoints) {
                qio.I(point.row);
                ExchangeLook(qio, point.look);
            }
            out.EndFields(q0);
            out.End(q0);
        }
        if (p.Is3DScatterPlot()) {
            size_t q0 = out.Begin("SCAT");
            IO qio(&out);
            ExchangeScatter(qio, p.m_s.scatter);
            out.EndFields(q0);
            out.End(q0);
        }
        if (!p.m_s.cmap.levels.empty()) {
            size_t c0 = out.Begin("CMAP");
            IO cio(&out);
            ExchangeColorMap(cio, p.m_s.cmap);
            out.EndFields(c0);
            out.End(c0);
        }
        if (p.IsBoxPlot()) {
            size_t b0 = out.Begin("BOXS");
            IO bio(&out);
            ExchangeBox(bio, p.m_s.box);
            out.EndFields(b0);
            out.End(b0);
        }
        out.End(at);
    }

    // The parts of a plot some kinds draw, one child record each; a plot record without
    // one (an older file) keeps that part's defaults.
    static void ExchangeDropLines(IO& io, QKPlotState& s)
    {
        QKDropLineState& d = s.drop;
        io.I(d.type);
        io.I(d.vertType);
        io.D(d.vertWidth);
        io.I(d.vertColor);
        io.I(d.horiType);
        io.D(d.horiWidth);
        io.I(d.horiColor);
        io.I(d.zType);
        io.D(d.zWidth);
        io.I(d.zColor);
        io.B(d.skip);
        io.I(d.skipFrequency);
    }

    static void ExchangeLabels(IO& io, QKPlotState& s)
    {
        QKLabelState& l = s.label;
        io.I(l.font);
        io.I(l.color);
        io.I(l.size);
        io.I(l.justify);
        io.I(l.attachment);
        io.D(l.rotation);
        io.D(l.xOffset);
        io.D(l.yOffset);
        io.I(l.style);
        io.B(l.whiteOut);
    }

    static void ExchangeVector(IO& io, QKPlotState& s)
    {
        QKVectorState& v = s.vector;
        io.I(v.arrowLength);
        io.I(v.arrowAngle);
        io.B(v.arrowClosed);
        io.I(v.position);
        io.D(v.angle);
        io.D(v.magnitude);
    }

    static void ExchangePie(IO& io, QKPlotState& s)
    {
        QKPieState& e = s.pie;
        io.B(e.labelRewrite);
        io.B(e.labelValue);
        io.B(e.labelPercent);
        io.B(e.labelCategory);
        io.B(e.labelReposition);
        io.D(e.labelDistance);
        io.B(e.labelHide);
        io.B(e.labelDrawArrow);
        io.I(e.viewAngle);
        io.D(e.skirtHeight);
        io.I(e.azimuth);
        io.B(e.counterClockwise);
        io.I(e.radiusScale);
        io.I(e.horizontalOffset);
        int mask = (int)e.explodedWedges;
        io.I(mask);
        e.explodedWedges = (unsigned)mask;
        io.I(e.wedgeDisplacement);
    }

    static void ExchangeFunction(IO& io, QKPlotState& s)
    {
        io.S(s.function.name);
        io.S(s.function.formula);
        io.D(s.function.density);
        io.B(s.function.show);
    }

    static void ExchangeGroup(IO& io, QKPlotState& s)
    {
        io.I(s.groupEnum);
    }

    static void ExchangeBoxData(IO& io, QKPlotState& s)
    {
        QKBoxDataState& b = s.boxData;
        io.I(b.dotType);
        io.B(b.singleBlock);
        io.B(b.snapData);
        io.B(b.binUserDef);
        io.D(b.binSize);
        io.D(b.binBegin);
        io.D(b.binEnd);
        io.D(b.binHeight);
        io.I(b.curveType);
        io.D(b.curveScale);
        io.I(b.binAlign);
        for (QKPercentileSymbol& p : b.perc) {
            io.I(p.style);
            io.I(p.shape);
            io.I(p.fill);
            io.I(p.charFont);
            io.I(p.charStyle);
        }
        io.I(b.percSize);
        io.I(b.symbolColor);
        io.I(b.symbolFill);
    }

    struct PartRecord {
        const char* tag;
        void (*exchange)(IO&, QKPlotState&);
    };
    static constexpr PartRecord kParts[] = {{"DROP", ExchangeDropLines},
                                            {"LABL", ExchangeLabels},
                                            {"VECT", ExchangeVector},
                                            {"PIEG", ExchangePie},
                                            {"FUNC", ExchangeFunction},
                                            {"GRPE", ExchangeGroup},
                                            {"BOXD", ExchangeBoxData}};

    static bool BoxDataInRange(const QKBoxDataState& b)
    {
        CQKPlotObj check;
        if (!check.SetDotPlotType(b.dotType) || !check.SetCurveType(b.curveType) || !check.SetBinAlign(b.binAlign) ||
            !check.SetPercSymbolSize(b.percSize))
            return false;
        for (int p = 1; p <= 5; ++p)
            if (!check.SetSymbolStyle(b.perc[p - 1].style, p) || !check.SetSymbolType(b.perc[p - 1].shape, p) ||
                !check.SetSymbolFill(b.perc[p - 1].fill, p))
                return false;
        return true;
    }

    static bool LoadPart(Stage& st, const Record& r, const PartRecord& part, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKPlotState s = plot.m_s;
        part.exchange(io, s);
        if (!st.Take(io))
            return false;
        // What the setters refuse would draw nothing sensible: the record is damaged.
        CQKPlotObj check;
        const QKPieState& e = s.pie;
        if (s.drop.vertWidth < 0 || s.drop.horiWidth < 0 || s.drop.zWidth < 0 || s.drop.skipFrequency < 0 ||
            !check.SetFontSize(s.label.size) || s.vector.arrowLength < 0 || s.vector.arrowAngle < 0 ||
            s.vector.arrowAngle > 180 || s.vector.position < 0 || s.vector.position > 2 ||
            !check.SetAngle3D(e.viewAngle) || !check.SetSkirtHeight(e.skirtHeight) ||
            !check.SetAzimuthAngle(e.azimuth) || !check.SetRadiusScale(e.radiusScale) ||
            !check.SetHorizontalOffset(e.horizontalOffset) || !check.SetWedgeDisplacement(e.wedgeDisplacement) ||
            !check.SetFunctionDensity(s.function.density) || !BoxDataInRange(s.boxData))
            return st.Fail(r.Where() + ": a value of the plot's " + part.tag + " record is out of range");
        plot.m_s = s;
        return true;
    }

    // A plot's symbols; a plot record without them (an older file) keeps the defaults.
    static void ExchangeSymbol(IO& io, QKSymbolState& s)
    {
        io.I(s.style);
        io.I(s.shape);
        io.I(s.fill);
        io.D(s.size);
        io.I(s.sizeColumn);
        io.D(s.scalingFactor);
        io.I(s.thickness);
        io.I(s.edgeColor);
        io.I(s.fillColor);
        io.B(s.outline);
        io.I(s.charFont);
        io.I(s.charStyle);
        io.B(s.offsetOverlapped);
    }

    // A 3D scatter's parts: which are shown and the projections' looks.
    static void ExchangeScatter(IO& io, QKScatterParts& c)
    {
        for (bool& shown : c.shown)
            io.B(shown);
        for (int i = 0; i < QK_SCATTER_PARTS - 1; ++i) {
            io.B(c.ownLook[i]);
            ExchangeLook(io, c.look[i]);
        }
    }

    static void ExchangeLook(IO& io, QKPartLook& k)
    {
        io.I(k.color);
        io.I(k.lineType);
        io.D(k.lineWidth);
        io.I(k.connectType);
        io.B(k.symbolsConnected);
        ExchangeSymbol(io, k.symbol);
    }

    static bool GoodLook(const QKPartLook& k)
    {
        CQKPlotObj check;
        return check.SetSymbolStyle(k.symbol.style) && check.SetSymbolType(k.symbol.shape) &&
               check.SetSymbolFill(k.symbol.fill) && check.SetSymbolSize(k.symbol.size, k.symbol.sizeColumn) &&
               check.SetScalingFactor(k.symbol.scalingFactor) && check.SetSymbolThickness(k.symbol.thickness) &&
               k.lineWidth >= 0;
    }

    // A plot's special points: rising rows from 0, each with its look.
    static bool LoadSpecialPoints(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        DWORD n = 0;
        io.Num(n);
        std::vector<QKSpecialPoint> points;
        for (DWORD i = 0; i < n && io.Ok(); ++i) {
            QKSpecialPoint p;
            io.I(p.row);
            ExchangeLook(io, p.look);
            points.push_back(p);
        }
        if (!st.Take(io))
            return false;
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].row < 0 || (i && points[i].row <= points[i - 1].row) || !GoodLook(points[i].look))
                return st.Fail(r.Where() + ": a special point's row, symbol or line width is out of range");
        plot.m_s.specialPoints = points;
        return true;
    }

    static bool LoadScatter(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKScatterParts c;
        ExchangeScatter(io, c);
        if (!st.Take(io))
            return false;
        for (const QKPartLook& k : c.look)
            if (!GoodLook(k))
                return st.Fail(r.Where() + ": a projection's symbol or line width is out of range");
        plot.m_s.scatter = c;
        return true;
    }

    static bool LoadSymbol(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKSymbolState s;
        ExchangeSymbol(io, s);
        if (!st.Take(io))
            return false;
        // Values no setter takes would draw nothing sensible: the record is damaged.
        CQKPlotObj check;
        if (!check.SetSymbolStyle(s.style) || !check.SetSymbolType(s.shape) || !check.SetSymbolFill(s.fill) ||
            !check.SetSymbolSize(s.size, s.sizeColumn) || !check.SetScalingFactor(s.scalingFactor) ||
            !check.SetSymbolThickness(s.thickness))
            return st.Fail(r.Where() + ": the symbol's shape, interior, size or thickness is out of range");
        plot.m_s.symbol = s;
        return true;
    }

    // A plot's colour map: its levels, the missing fill and the settings; a plot record
    // without one (an older file) gets the default levels when it is drawn.
    static void ExchangeColorEntry(IO& io, ColorMapEntry& e)
    {
        int fill = (int)e.fillColor, pattern = e.pattern, patternColor = (int)e.patternColor, style = e.lineStyle,
            width = e.lineWidth, lineColor = (int)e.lineColor, flags = (int)e.flags;
        io.D(e.level);
        io.I(fill);
        io.I(pattern);
        io.I(patternColor);
        io.I(e.patternWidth);
        io.I(style);
        io.I(width);
        io.I(lineColor);
        io.I(flags);
        e.fillColor = (uint32_t)fill;
        e.pattern = (uint8_t)pattern;
        e.patternColor = (uint32_t)patternColor;
        e.lineStyle = (uint8_t)style;
        e.lineWidth = (int16_t)width;
        e.lineColor = (uint32_t)lineColor;
        e.flags = (uint32_t)flags;
    }

    static void ExchangeColorMap(IO& io, QKColorMapState& c)
    {
        DWORD n = (DWORD)c.levels.size();
        io.Num(n);
        if (n > 100000)
            n = 0; // a damaged count; the record is refused when it is checked
        c.levels.resize(n);
        for (ColorMapEntry& e : c.levels)
            ExchangeColorEntry(io, e);
        ExchangeColorEntry(io, c.missing);
        io.D(c.missingValue);
        io.I(c.rescaleMode);
        io.B(c.setLevelsByNumber);
        io.B(c.setLevelsLog);
        io.B(c.otherColorsInMixing);
        io.D(c.clipLow);
        io.D(c.clipHigh);
        io.I(c.labelsFormat);
        io.D(c.labelsDivideBy);
        io.B(c.labelsByDecPlaces);
        io.I(c.labelsSigDigits);
        io.S(c.labelsPrefix);
        io.S(c.labelsSuffix);
    }

    // A 3D plot's surface, grid, side walls and bars; a record without them keeps the defaults.
    static void ExchangeSurface(IO& io, QKSurfaceState& f)
    {
        auto colour = [&](COLORREF& c) {
            int v = (int)c;
            io.I(v);
            c = (COLORREF)v;
        };
        io.B(f.fill);
        io.B(f.contourLines);
        colour(f.lineColor);
        io.D(f.lineWidth);
        for (int i = 0; i < 2; ++i) {
            io.B(f.fillProjection[i]);
            io.B(f.linesProjection[i]);
            colour(f.projectionLineColor[i]);
            io.D(f.projectionLineWidth[i]);
        }
        io.B(f.sideWalls);
        colour(f.sideWallX);
        colour(f.sideWallY);
        io.I(f.showGrid);
        io.D(f.gridWidth);
        colour(f.gridColor);
        io.B(f.wireSingle);
        io.I(f.secondaryGridLines);
        colour(f.secondColor);
        io.B(f.gridByColorMap);
        colour(f.surfaceFillColor);
        io.B(f.backColorEnabled);
        colour(f.backColor);
        colour(f.barEdgeColor);
        io.D(f.barEdgeWidth);
        colour(f.firstRowColor);
        io.B(f.sameFillColor);
        io.D(f.xBarWidth);
        io.D(f.yBarWidth);
        io.I(f.grouping);
    }

    static bool LoadSurface(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKSurfaceState f;
        ExchangeSurface(io, f);
        if (!st.Take(io))
            return false;
        CQKPlotObj check;
        if (f.showGrid < 0 || f.showGrid > 3 || f.grouping < 0 || f.grouping > 2 || f.secondaryGridLines < 0 ||
            !check.SetXBarWidthPercent(f.xBarWidth) || !check.SetYBarWidthPercent(f.yBarWidth) || f.lineWidth < 0 ||
            f.gridWidth < 0 || f.barEdgeWidth < 0)
            return st.Fail(r.Where() + ": a value of the plot's surface record is out of range");
        plot.m_s.surface = f;
        return true;
    }

    static bool LoadColorMap(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKColorMapState c;
        ExchangeColorMap(io, c);
        if (!st.Take(io))
            return false;
        bool rising = c.levels.size() >= 2;
        for (size_t i = 1; i < c.levels.size(); ++i)
            rising = rising && c.levels[i].level > c.levels[i - 1].level;
        if (!rising || c.rescaleMode < CMAP_RESCALE_MANUAL || c.rescaleMode > CMAP_RESCALE_FIXED_TO)
            return st.Fail(r.Where() + ": the plot's colour map has no rising levels or an unknown rescale mode");
        plot.m_s.cmap = c;
        return true;
    }

    // A box chart's box and whiskers; a box plot record without them keeps the defaults.
    static void ExchangeBox(IO& io, QKBoxState& b)
    {
        io.I(b.type);
        io.I(b.boxRange);
        io.D(b.boxCoef);
        io.D(b.boxCap);
        io.I(b.whiskerRange);
        io.D(b.whiskerCoef);
        io.B(b.outliers);
        io.B(b.diamondBox);
        io.B(b.boxLabel);
        io.B(b.whiskerLabel);
    }

    static bool LoadBox(Stage& st, const Record& r, CQKPlotObj& plot)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        QKBoxState b;
        ExchangeBox(io, b);
        if (!st.Take(io))
            return false;
        CQKPlotObj check;
        if (!check.SetBoxType(b.type) || !check.SetBoxRange(b.boxRange) || !check.SetWhiskerRange(b.whiskerRange))
            return st.Fail(r.Where() + ": the box chart's type or range is out of range");
        plot.m_s.box = b;
        return true;
    }

    // What the plot's own class keeps.
    static void ExchangeKind(IO& io, CQKPlotObj& p)
    {
        if (auto* bar = dynamic_cast<CQKErrorBar*>(&p)) {
            io.B(bar->m_ownerColor);
            io.D(bar->m_lineWidth);
            io.D(bar->m_capWidth);
            io.B(bar->m_throughSymbol);
            io.B(bar->m_plus);
            io.B(bar->m_minus);
            io.B(bar->m_x);
            io.B(bar->m_relative);
            io.B(bar->m_before60);
        }
        if (auto* c = dynamic_cast<CQKContourPlotObj*>(&p)) {
            io.B(c->m_s.contourGrids);
            io.B(c->m_contourNeeded);
            io.B(c->m_s.contourFill);
            io.D(c->m_s.contourLabelMinArea);
        }
    }

    static bool LoadPlot(Stage& st, const Record& r, CQKGraphicLayer& layer)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        int id = 0, kind = -1;
        io.I(id);
        io.I(kind);
        if (!st.Take(io) || !st.Charge(sizeof(CQKContourPlotObj) + 256))
            return false;
        std::unique_ptr<CQKPlotObj> plot;
        std::string reason;
        switch (kind) {
        case PLOT_PLAIN: plot = std::make_unique<CQKPlotObj>(); break;
        case PLOT_DATA: plot = std::make_unique<CQKDataObj>(); break;
        case PLOT_ERROR_BAR: {
            CQKPage* page = layer.GetValidPagePtr();
            plot.reset(page ? page->PgCreateCQKErrorBar() : nullptr);
            if (!plot)
                return st.Fail(r.Where() + ": error bars cannot be made on this page");
            break;
        }
        case PLOT_CONTOUR:
            plot.reset(qkCreateContourPlot(&reason));
            if (!plot)
                return st.Fail(r.Where() + ": a contour plot cannot be made: " + reason);
            break;
        default: return st.Fail(r.Where() + qkFormatText(": %d is no kind of plot", kind));
        }
        ExchangePlotState(io, plot->m_s);
        DWORD n = 0;
        std::vector<Ref> refs;
        if (io.Count(n, 4 * 4 + 4 * 3, "a list of plot data")) {
            plot->m_s.data.resize(n);
            refs.resize(n);
            for (DWORD i = 0; i < n && io.Ok(); ++i) {
                QKPlotData& d = plot->m_s.data[i];
                io.I(d.role);
                io.S(d.dataset);
                io.I(d.first);
                io.I(d.end);
                refs[i].Exchange(io);
            }
        }
        Ref own;
        own.Exchange(io);
        ExchangeKind(io, *plot);
        if (!st.Take(io))
            return false;
        Records kids(st.base, r.children, r.childBytes);
        Record k;
        std::string kidError;
        while (kids.Next(k, &kidError)) {
            if ((Is(k, "SYMB") && !LoadSymbol(st, k, *plot)) || (Is(k, "BOXS") && !LoadBox(st, k, *plot)) ||
                (Is(k, "CMAP") && !LoadColorMap(st, k, *plot)) || (Is(k, "SURF") && !LoadSurface(st, k, *plot)) ||
                (Is(k, "SCAT") && !LoadScatter(st, k, *plot)) || (Is(k, "SPTS") && !LoadSpecialPoints(st, k, *plot)))
                return false;
            for (const PartRecord& part : kParts)
                if (Is(k, part.tag) && !LoadPart(st, k, part, *plot))
                    return false;
        }
        if (!kidError.empty())
            return st.Fail(kidError);
        if (st.templ)
            return true; // a template keeps no plots: they draw the data of the page it came from
        if (!qkIsKnownPlotType(plot->m_s.plotType))
            return st.Fail(r.Where() + qkFormatText(": %d is no plot type", plot->m_s.plotType));
        if (id <= 0 || layer.GetObject(id))
            return st.Fail(r.Where() + qkFormatText(": the id %d is not free in its layer", id));
        CQKPlotObj* p = plot.release();
        layer.AddObjectAt(p, id);
        for (DWORD i = 0; i < n; ++i) {
            Binding b;
            b.plot = p;
            b.index = (int)i;
            b.ref = refs[i];
            b.where = r.Where();
            st.bindings.push_back(b);
        }
        if (kind != PLOT_PLAIN) {
            Binding b;
            b.plot = p;
            b.ref = own;
            b.where = r.Where();
            st.bindings.push_back(b);
        }
        if (auto* c = dynamic_cast<CQKContourPlotObj*>(p))
            st.contours.push_back(c);
        return true;
    }

    static void ExchangeText(IO& io, CQKTextObj& t)
    {
        io.S(t.m_name);
        io.S(t.m_text);
        io.I(t.m_style.font);
        io.Sh(t.m_style.rotation);
        io.I(t.m_style.size);
        io.By(t.m_style.alignment);
        io.By(t.m_style.flags);
        io.I(t.m_color);
        io.B(t.m_border);
        io.I(t.m_borderStyle);
        io.I(t.m_tabWidth);
        io.B(t.m_showLinkVars);
        io.D(t.m_posX);
        io.D(t.m_posY);
    }

    static void ExchangeDraw(IO& io, CQKDrawObj& d)
    {
        int kind = d.GetKind();
        io.I(kind);
        d.SetKind(kind);
        io.D(d.m_x1);
        io.D(d.m_y1);
        io.D(d.m_x2);
        io.D(d.m_y2);
        io.B(d.m_arrowEnd);
        io.D(d.m_headLength);
        io.D(d.m_headWidth);
        io.D(d.m_lineWidth);
        io.I(d.m_color);
    }

    static void SaveLayer(Out& out, const SaveMap& m, CQKGraphicLayer& layer, bool templ)
    {
        size_t at = out.Begin("LAYR");
        IO io(&out);
        ExchangeLayer(io, layer);
        out.EndFields(at);
        if (layer.m_view3D.size() == kView3DBytes) {
            size_t v0 = out.Begin("VW3D");
            IO vio(&out);
            vio.Bytes(layer.m_view3D);
            out.EndFields(v0);
            out.End(v0);
        }
        for (int id : layer.GetObjectIds()) {
            CQKGrElement* e = layer.GetObject(id);
            // An object behind the data: a record of its own after the object's, which a
            // file from before it does not have.
            auto behind = [&](int objectId) {
                size_t b0 = out.Begin("BHND");
                IO bio(&out);
                bio.I(objectId);
                out.EndFields(b0);
                out.End(b0);
            };
            // The group of a grouped object, likewise.
            auto grouped = [&](int objectId, int group) {
                size_t g0 = out.Begin("GRUP");
                IO gio(&out);
                gio.I(objectId);
                gio.I(group);
                out.EndFields(g0);
                out.End(g0);
            };
            if (auto* t = dynamic_cast<CQKTextObj*>(e)) {
                // The legend names the plots, which a template does not keep.
                if (templ && t->m_name == "Legend")
                    continue;
                size_t t0 = out.Begin("TEXT");
                IO tio(&out);
                tio.I(id);
                ExchangeText(tio, *t);
                out.EndFields(t0);
                out.End(t0);
                if (t->m_behindData)
                    behind(id);
                if (t->m_group)
                    grouped(id, t->m_group);
            } else if (auto* d = dynamic_cast<CQKDrawObj*>(e)) {
                size_t d0 = out.Begin("DRAW");
                IO dio(&out);
                dio.I(id);
                ExchangeDraw(dio, *d);
                out.EndFields(d0);
                out.End(d0);
                if (d->m_behindData)
                    behind(id);
                if (d->m_group)
                    grouped(id, d->m_group);
            } else if (auto* g = dynamic_cast<CQKLayoutGraphObj*>(e)) {
                // A graph or worksheet on a layout: which window, by name, and where.
                size_t g0 = out.Begin("LOBJ");
                IO gio(&out);
                gio.I(id);
                int kind = dynamic_cast<CQKLayoutWksObj*>(g) ? 1 : 0;
                gio.I(kind);
                std::string name = g->GetGraphName();
                gio.S(name);
                gio.D(g->m_left);
                gio.D(g->m_top);
                gio.D(g->m_right);
                gio.D(g->m_bottom);
                gio.B(g->m_border);
                out.EndFields(g0);
                out.End(g0);
            } else if (auto* a = dynamic_cast<CQKAxes*>(e)) {
                size_t a0 = out.Begin("AXES");
                IO aio(&out);
                aio.I(id);
                aio.I(a->m_type);
                out.EndFields(a0);
                out.End(a0);
            } else if (auto* p = dynamic_cast<CQKPlotObj*>(e)) {
                if (!templ)
                    SavePlot(out, m, id, *p);
            }
        }
        out.End(at);
    }

    static void ExchangeLayer(IO& io, CQKGraphicLayer& layer)
    {
        // The name and kind come first: the reader makes the layer from them.
        io.S(layer.m_name);
        io.B(layer.m_3D);
        io.B(layer.m_triangle);
        io.I(layer.m_lastId);
        QKLayerState& s = layer.m_st;
        io.B(s.bkgBorder);
        io.I(s.bkgBorderStyle);
        io.B(s.bkgColor);
        io.I(s.bkgColorValue);
        io.I(s.measUnits);
        io.D(s.measLeft);
        io.D(s.measTop);
        io.D(s.measWidth);
        io.D(s.measHeight);
        io.I(s.bufferingType);
        io.B(s.matrixSkip);
        io.I(s.matrixXPoints);
        io.I(s.matrixYPoints);
        io.B(s.wksSkip);
        io.I(s.wksPoints);
        io.I(s.axisDisplay);
        io.B(s.labelShown);
        io.B(s.dataShown);
        io.B(s.clipToFrame);
        io.B(s.dataOnTopAxes);
        io.B(s.gridOnTopData);
        io.I(s.scaleWithLayer);
        io.D(s.scalingFactor);
        io.I(s.clipHorizPercent);
        io.I(s.clipVertPercent);
        io.I(s.linkTo);
        io.I(s.xLink);
        io.I(s.yLink);
        io.S(s.x1);
        io.S(s.x2);
        io.S(s.y1);
        io.S(s.y2);
        for (QKAxisRecord& a : layer.m_axes)
            ExchangeAxisRecord(io, a);
        io.Doubles(layer.m_restorePlace);
        // Added later: a record without them keeps the defaults.
        io.B(s.rotateLabels);
        io.B(s.perspective);
        for (int& c : s.planeColor)
            io.I(c);
        io.B(s.cubeOutline);
        io.I(s.cubeOutlineColor);
        io.I(s.cubeOutlineStyle);
        io.D(s.cubeOutlineWidth);
        io.D(s.waterfallX);
        io.D(s.waterfallY);
        io.B(s.exchangeAxes);
        io.B(s.polar);
        io.B(s.stackPlots);
    }

    static bool LoadLayer(Stage& st, const Record& r, CQKGraphPage& page)
    {
        if (!st.Charge(sizeof(CQKGraphicLayer) + 4096))
            return false;
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        std::string name;
        bool is3D = false, triangle = false;
        io.S(name);
        io.B(is3D);
        io.B(triangle);
        if (!st.Take(io))
            return false;
        std::unique_ptr<CQKGraphicLayer> layer(is3D ? new CQK3DLayer(&page, triangle)
                                                    : new CQKGraphicLayer(&page, false, triangle));
        // Read the whole record again into the layer: the routine lists the fields once.
        IO all(r.fields, r.fieldBytes, &st.budget, r.Where());
        ExchangeLayer(all, *layer);
        if (!st.Take(all))
            return false;
        if (layer->m_st.linkTo < -1 || layer->m_st.linkTo > 1000)
            return st.Fail(r.Where() + qkFormatText(": it links to layer %d", layer->m_st.linkTo));
        const QKLayerState& ls = layer->m_st;
        for (int c : {ls.planeColor[0], ls.planeColor[1], ls.planeColor[2], ls.cubeOutlineColor})
            if (c < 0 || c > 255)
                return st.Fail(r.Where() + qkFormatText(": %d is no colour of a 3D plane or outline", c));
        if (!(fabs(ls.waterfallX) <= 100 && fabs(ls.waterfallY) <= 100))
            return st.Fail(r.Where() + ": a waterfall offset beyond the frame");
        if (!(ls.cubeOutlineWidth >= 0 && ls.cubeOutlineWidth <= 100) || ls.cubeOutlineStyle < 0 || ls.cubeOutlineStyle > 255)
            return st.Fail(r.Where() + ": the 3D outline's width or style is out of range");
        layer->m_lastId = std::max(layer->m_lastId, 0);
        if (!layer->m_restorePlace.empty() && layer->m_restorePlace.size() != 5)
            return st.Fail(r.Where() + qkFormatText(": a place before maximising of %d values", (int)layer->m_restorePlace.size()));
        CQKGraphicLayer* l = layer.get();
        page.m_graphicLayers.push_back(std::move(layer));
        return LoadElements(st, r, *l);
    }

    static bool LoadElements(Stage& st, const Record& parent, CQKGraphicLayer& layer)
    {
        Records kids(st.base, parent.children, parent.childBytes);
        Record r;
        std::string error;
        while (kids.Next(r, &error)) {
            if (Is(r, "PLOT")) {
                if (!LoadPlot(st, r, layer))
                    return false;
            } else if (Is(r, "TEXT")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0;
                io.I(id);
                CQKPage* page = layer.GetValidPagePtr();
                std::unique_ptr<CQKTextObj> t(page ? page->PgCreateCQKTextObj() : nullptr);
                if (!t)
                    return st.Fail(r.Where() + ": text objects cannot be made on this page");
                ExchangeText(io, *t);
                if (!st.Take(io) || !st.Charge(sizeof(CQKTextObj)))
                    return false;
                if (id <= 0 || layer.GetObject(id))
                    return st.Fail(r.Where() + qkFormatText(": the id %d is not free in its layer", id));
                layer.AddObjectAt(t.release(), id);
            } else if (Is(r, "DRAW")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0;
                io.I(id);
                auto d = std::make_unique<CQKDrawObj>();
                ExchangeDraw(io, *d);
                if (!st.Take(io) || !st.Charge(sizeof(CQKDrawObj)))
                    return false;
                if (d->GetKind() < QK_DRAW_LINE || d->GetKind() > QK_DRAW_COLORSCALE)
                    return st.Fail(r.Where() + qkFormatText(": %d is no kind of drawn object", d->GetKind()));
                if (id <= 0 || layer.GetObject(id))
                    return st.Fail(r.Where() + qkFormatText(": the id %d is not free in its layer", id));
                layer.AddObjectAt(d.release(), id);
            } else if (Is(r, "BHND")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0;
                io.I(id);
                if (!st.Take(io))
                    return false;
                auto* o = dynamic_cast<CQKGrObj*>(layer.GetObject(id));
                if (!o)
                    return st.Fail(r.Where() + qkFormatText(": there is no label or drawn object %d to put behind the data", id));
                o->m_behindData = true;
            } else if (Is(r, "LOBJ")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0, kind = 0;
                std::string name;
                io.I(id);
                io.I(kind);
                io.S(name);
                std::unique_ptr<CQKLayoutGraphObj> g(kind == 1 ? new CQKLayoutWksObj : new CQKLayoutGraphObj);
                io.D(g->m_left);
                io.D(g->m_top);
                io.D(g->m_right);
                io.D(g->m_bottom);
                io.B(g->m_border);
                if (!st.Take(io) || !st.Charge(sizeof(CQKLayoutWksObj)))
                    return false;
                if (kind != 0 && kind != 1)
                    return st.Fail(r.Where() + qkFormatText(": %d is no kind of window on a layout", kind));
                if (id <= 0 || layer.GetObject(id))
                    return st.Fail(r.Where() + qkFormatText(": the id %d is not free in its layer", id));
                g->SetGraphName(name);
                layer.AddObjectAt(g.release(), id);
            } else if (Is(r, "GRUP")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0, group = 0;
                io.I(id);
                io.I(group);
                if (!st.Take(io))
                    return false;
                auto* o = dynamic_cast<CQKGrObj*>(layer.GetObject(id));
                if (!o)
                    return st.Fail(r.Where() + qkFormatText(": there is no label or drawn object %d to group", id));
                if (group <= 0)
                    return st.Fail(r.Where() + qkFormatText(": %d is no group number", group));
                o->m_group = group;
            } else if (Is(r, "VW3D")) {
                // The 3D view; a record of another size is no view of this program's and
                // leaves the layer with the first view.
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                std::vector<BYTE> view;
                io.Bytes(view);
                if (!st.Take(io))
                    return false;
                if (view.size() == kView3DBytes) {
                    // Its first bytes held a callback address of the process that saved it.
                    memset(view.data(), 0, sizeof(void*));
                    layer.m_view3D = view;
                }
            } else if (Is(r, "AXES")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                int id = 0, type = 0;
                io.I(id);
                io.I(type);
                if (!st.Take(io))
                    return false;
                CQKPage* page = layer.GetValidPagePtr();
                std::unique_ptr<CQKAxes> a(page ? page->PgCreateCQKAxes() : nullptr);
                if (!a)
                    return st.Fail(r.Where() + ": axes cannot be made on this page");
                if (id <= 0 || layer.GetObject(id))
                    return st.Fail(r.Where() + qkFormatText(": the id %d is not free in its layer", id));
                layer.GetAxes(a.get(), type);
                layer.AddObjectAt(a.release(), id);
            }
        }
        return error.empty() || st.Fail(error);
    }

    // ---- pages ----
    static void ExchangePageHeader(IO& io, CQKPage& p)
    {
        io.S(p.m_templateName);
        io.S(p.m_path);
        io.B(p.m_hiddenWnd);
        io.B(p.m_showCropmark);
    }

    // The fields every page writes last: its explorer folder (the path; read into
    // *folder), label and times.
    static void ExchangePageTail(IO& io, CQKPage& p, std::string* folder)
    {
        std::string path = folder ? std::string() : p.GetFolder()->GetPath();
        io.S(folder ? *folder : path);
        io.S(p.m_label);
        io.D(p.m_created);
        io.D(p.m_modifiedTime);
    }

    static void ExchangeWks(IO& io, CQKWksPage& w)
    {
        io.I(w.m_selC1);
        io.I(w.m_selC2);
        io.I(w.m_selR1);
        io.I(w.m_selR2);
        io.B(w.m_labelsShown);
        io.S(w.m_fileNameForLoading);
        io.W(w.m_externalHidden);
    }

    static void ExchangeExtern(IO& io, CQKWksExternPage& e)
    {
        io.S(e.m_externalName);
        io.B(e.m_externalSource);
        io.B(e.m_noSourceFile);
        io.B(e.m_internalSaving);
        io.B(e.m_automaticUpdate);
        io.I(e.m_activeLayer);
        io.I(e.m_nextLayerId);
    }

    static void ExchangeGraph(IO& io, CQKGraphPage& g)
    {
        io.I(g.m_activeLayer);
        QKGraphPageState& p = g.m_pageState;
        io.I(p.viewMode);
        io.U(p.displRedraw);
        io.B(p.speedModeForExport);
        io.B(p.displSetActive);
        io.I(p.colorCntl);
        io.I(p.colorBase);
        io.I(p.colorGradient);
        io.I(p.colorGradientCntl);
        io.B(p.connectBreak);
        io.B(p.connectMiss);
        io.B(p.masterItems);
        io.B(p.legendFullName);
        io.B(p.legendAutoUpdate);
        io.B(p.legendActiveIndicate);
        io.I(p.legendSymbolWidth);
        io.I(p.dimUnits);
        io.D(p.dimWidth);
        io.D(p.dimHeight);
        io.B(p.dimPrinter);
        io.B(p.customWidth);
        io.B(p.customHeight);
    }

    // A notes page's own record (NOTE, a child of its PAGE): a file written before has none,
    // and its notes keep the defaults.
    static void ExchangeNotes(IO& io, CQKNotesPage& n)
    {
        io.D(n.m_created);
        io.D(n.m_modified);
        io.I(n.m_selStart);
        io.I(n.m_selEnd);
        io.B(n.m_wordWrap);
    }

    // Added after the cells: a file written before has none, and its matrices keep the
    // defaults.
    static void ExchangeMatrixDisplay(IO& io, CQKMatrixPage& mx)
    {
        io.I(mx.m_dataFormat);
        io.I(mx.m_numDisplay);
        io.I(mx.m_digits);
        io.I(mx.m_columnWidth);
        io.I(mx.m_internalType);
        io.S(mx.m_expression);
    }

    static void SavePage(Out& out, const SaveMap& m, CQKPage& page, bool templ, const std::string* nameAs = nullptr,
                         const std::string* textAs = nullptr)
    {
        size_t at = out.Begin("PAGE");
        IO io(&out);
        int type = page.GetType();
        std::string name = nameAs ? *nameAs : page.GetName();
        io.I(type);
        io.S(name);
        ExchangePageHeader(io, page);
        if (auto* w = dynamic_cast<CQKWksPage*>(&page))
            ExchangeWks(io, *w);
        if (auto* e = dynamic_cast<CQKWksExternPage*>(&page))
            ExchangeExtern(io, *e);
        if (auto* g = dynamic_cast<CQKGraphPage*>(&page))
            ExchangeGraph(io, *g);
        if (auto* mx = dynamic_cast<CQKMatrixPage*>(&page)) {
            io.I(mx->m_rows);
            io.I(mx->m_cols);
            io.D(mx->m_x1);
            io.D(mx->m_x2);
            io.D(mx->m_y1);
            io.D(mx->m_y2);
            std::vector<double> cells;
            if (!templ)
                cells = mx->m_cells;
            io.Doubles(cells);
            ExchangeMatrixDisplay(io, *mx);
        }
        if (auto* n = dynamic_cast<CQKNotesPage*>(&page)) {
            std::string text = textAs ? *textAs : n->m_text;
            io.S(text);
        }
        ExchangePageTail(io, page, nullptr);
        out.EndFields(at);
        if (auto* w = dynamic_cast<CQKWksPage*>(&page)) {
            for (int c = 1; c <= w->GetNumCols(); ++c)
                SaveColumn(out, m, *w->GetColumn(c), templ);
            // The worksheet's own script, in a record of its own: files without one read
            // as before.
            if (!w->m_script.empty()) {
                size_t s0 = out.Begin("WSCR");
                IO sio(&out);
                std::string script = w->m_script;
                sio.S(script);
                out.EndFields(s0);
                out.End(s0);
            }
        }
        // A workbook kept inside the project: its file's bytes, in a record of their own.
        if (auto* e = dynamic_cast<CQKWksExternPage*>(&page)) {
            std::string bytes;
            if (!templ && e->IsInternalSaving() && e->GetInternalWorkbook(bytes)) {
                size_t s0 = out.Begin("XLWB");
                IO xio(&out);
                xio.S(bytes);
                out.EndFields(s0);
                out.End(s0);
            }
        }
        if (auto* e = dynamic_cast<CQKWksExternPage*>(&page))
            for (const auto& layer : e->m_layers) {
                size_t s0 = out.Begin("SHET");
                IO sio(&out);
                int id = layer->GetID();
                std::string sheet = layer->GetName();
                sio.I(id);
                sio.S(sheet);
                sio.I(layer->m_r1);
                sio.I(layer->m_r2);
                sio.I(layer->m_c1);
                sio.I(layer->m_c2);
                out.EndFields(s0);
                for (int c = 1; c <= layer->GetNumCols(); ++c)
                    SaveColumn(out, m, *layer->GetColumn(c), templ);
                out.End(s0);
            }
        if (auto* g = dynamic_cast<CQKGraphPage*>(&page))
            for (const auto& layer : g->m_graphicLayers)
                SaveLayer(out, m, *layer, templ);
        if (auto* n = dynamic_cast<CQKNotesPage*>(&page)) {
            size_t s0 = out.Begin("NOTE");
            IO nio(&out);
            ExchangeNotes(nio, *n);
            out.EndFields(s0);
            out.End(s0);
        }
        out.End(at);
    }

    static bool LoadPage(Stage& st, const Record& r, CQKPage** made)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        int type = -1;
        std::string name;
        io.I(type);
        io.S(name);
        if (!st.Take(io))
            return false;
        if (type < QK_PAGE_WKS || type > QK_PAGE_NOTES)
            return st.Fail(r.Where() + qkFormatText(": %d is no kind of window", type));
        if (!CQKProject::IsValidName(name) || st.pageByName.count(Upper(name)))
            return st.Fail(r.Where() + ": \"" + name + "\" is no window name, or the file has it twice");
        if (!st.Charge(sizeof(CQKMatrixPage) + 32 * 32 * sizeof(double) + 1024))
            return false;
        std::unique_ptr<CQKPage> page(qkfxGetProject().MakePage((QKPageType)type, name));
        if (!page)
            return st.Fail(r.Where() + ": a window of kind " + std::to_string(type) + " cannot be made");
        ExchangePageHeader(io, *page);
        if (auto* w = dynamic_cast<CQKWksPage*>(page.get())) {
            ExchangeWks(io, *w);
            while (w->GetNumCols() > 0)
                w->DeleteColumn(1);
        }
        if (auto* e = dynamic_cast<CQKWksExternPage*>(page.get())) {
            ExchangeExtern(io, *e);
            e->m_layers.clear();
        }
        if (auto* g = dynamic_cast<CQKGraphPage*>(page.get())) {
            ExchangeGraph(io, *g);
            g->m_graphicLayers.clear();
        }
        if (auto* mx = dynamic_cast<CQKMatrixPage*>(page.get())) {
            int rows = 0, cols = 0;
            std::vector<double> cells;
            io.I(rows);
            io.I(cols);
            io.D(mx->m_x1);
            io.D(mx->m_x2);
            io.D(mx->m_y1);
            io.D(mx->m_y2);
            if (io.Ok() && (rows < 1 || cols < 1 || (long long)rows * cols > QK_MAX_ROWS))
                io.Fail(qkFormatText("a matrix of %d x %d cells cannot be made", rows, cols));
            io.Doubles(cells);
            ExchangeMatrixDisplay(io, *mx);
            if (io.Ok() && (mx->m_dataFormat < 0 || mx->m_dataFormat > 3 || mx->m_numDisplay < 0 ||
                            mx->m_numDisplay > 2 || mx->m_digits < 0 || mx->m_digits > 17 ||
                            mx->m_columnWidth < 1 || mx->m_columnWidth > 200 || mx->m_internalType < 0 ||
                            mx->m_internalType > 3))
                io.Fail("the matrix's display settings are out of range");
            if (!st.Take(io))
                return false;
            if (cells.empty()) {
                // A template keeps the size and coordinates, not the cells.
                if (!st.Charge((size_t)rows * cols * sizeof(double)))
                    return false;
                cells.assign((size_t)rows * cols, MISSING_VALUE);
            } else if (cells.size() != (size_t)rows * cols) {
                return st.Fail(r.Where() + qkFormatText(": %lu cells do not fill %d x %d",
                                                        (unsigned long)cells.size(), rows, cols));
            }
            mx->m_rows = rows;
            mx->m_cols = cols;
            mx->m_cells.swap(cells);
        }
        if (auto* n = dynamic_cast<CQKNotesPage*>(page.get()))
            io.S(n->m_text);
        std::string folder;
        ExchangePageTail(io, *page, &folder);
        if (!st.Take(io))
            return false;
        if (!folder.empty())
            st.pageFolders[page.get()] = folder;
        if (st.templ)
            page->m_path.clear();
        // Reading the columns and layers below marks the page changed: it keeps the time
        // it was last changed by its user.
        const double modified = page->m_modifiedTime;

        Records kids(st.base, r.children, r.childBytes);
        Record k;
        std::string error;
        while (kids.Next(k, &error)) {
            if (Is(k, "COLM")) {
                auto* w = dynamic_cast<CQKWksPage*>(page.get());
                if (w && !LoadColumn(st, k, w))
                    return false;
            } else if (Is(k, "SHET")) {
                auto* e = dynamic_cast<CQKWksExternPage*>(page.get());
                if (e && !LoadSheet(st, k, *e))
                    return false;
            } else if (Is(k, "LAYR")) {
                auto* g = dynamic_cast<CQKGraphPage*>(page.get());
                if (g && !LoadLayer(st, k, *g))
                    return false;
            } else if (Is(k, "XLWB")) {
                auto* e = dynamic_cast<CQKWksExternPage*>(page.get());
                IO xio(k.fields, k.fieldBytes, &st.budget, k.Where());
                if (e) {
                    std::string bytes;
                    xio.S(bytes);
                    if (!st.Take(xio))
                        return false;
                    e->SetKeptWorkbook(std::move(bytes));
                }
            } else if (Is(k, "WSCR")) {
                auto* w = dynamic_cast<CQKWksPage*>(page.get());
                IO sio(k.fields, k.fieldBytes, &st.budget, k.Where());
                if (w) {
                    sio.S(w->m_script);
                    if (!st.Take(sio))
                        return false;
                }
            } else if (Is(k, "NOTE")) {
                auto* n = dynamic_cast<CQKNotesPage*>(page.get());
                IO nio(k.fields, k.fieldBytes, &st.budget, k.Where());
                if (n) {
                    ExchangeNotes(nio, *n);
                    if (nio.Ok() && (n->m_selStart < 0 || n->m_selEnd < n->m_selStart))
                        nio.Fail(qkFormatText("the selection %d to %d is no range", n->m_selStart, n->m_selEnd));
                    if (!st.Take(nio))
                        return false;
                }
            }
        }
        if (!error.empty())
            return st.Fail(error);
        if (auto* g = dynamic_cast<CQKGraphPage*>(page.get())) {
            if (g->m_activeLayer < 0 || g->m_activeLayer >= std::max(1, g->GetNumLayers()))
                g->m_activeLayer = 0;
            if (type == QK_PAGE_GRAPH && g->GetNumLayers() == 0)
                return st.Fail(r.Where() + ": the graph has no layer");
        }
        if (auto* e = dynamic_cast<CQKWksExternPage*>(page.get()))
            if (e->m_activeLayer >= e->GetNumLayers())
                e->m_activeLayer = e->GetNumLayers() - 1;
        page->m_modifiedTime = modified;
        st.pageByName[Upper(name)] = page.get();
        if (made)
            *made = page.get();
        st.pages.push_back(std::move(page));
        return true;
    }

    // The Results Log: the text of the notes record "ResultsLog" the writer puts last.
    static bool LoadLog(Stage& st, const Record& r)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        int type = 0;
        std::string name, templ, path, text;
        bool hidden = false, crop = false;
        io.I(type);
        io.S(name);
        io.S(templ);
        io.S(path);
        io.B(hidden);
        io.B(crop);
        io.S(text);
        if (!st.Take(io))
            return false;
        st.log += text;
        st.hasLog = true;
        return true;
    }

    static bool LoadSheet(Stage& st, const Record& r, CQKWksExternPage& e)
    {
        IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
        int id = 0;
        std::string name;
        io.I(id);
        io.S(name);
        if (!st.Take(io) || !st.Charge(sizeof(CQKWksExternLayer) + sizeof(CQKWksPage) + 256))
            return false;
        for (const auto& l : e.m_layers)
            if (l->GetID() == id)
                return st.Fail(r.Where() + qkFormatText(": the workbook has sheet %d twice", id));
        if (id <= 0 || id >= e.m_nextLayerId)
            return st.Fail(r.Where() + qkFormatText(": %d is no sheet identifier of this workbook", id));
        auto layer = std::make_unique<CQKWksExternLayer>(&qkfxGetProject(), name, id);
        io.I(layer->m_r1);
        io.I(layer->m_r2);
        io.I(layer->m_c1);
        io.I(layer->m_c2);
        if (!st.Take(io))
            return false;
        CQKWksPage* data = layer->m_data.get();
        e.m_layers.push_back(std::move(layer));
        Records kids(st.base, r.children, r.childBytes);
        Record k;
        std::string error;
        while (kids.Next(k, &error))
            if (Is(k, "COLM") && !LoadColumn(st, k, data))
                return false;
        return error.empty() || st.Fail(error);
    }

    // ---- the project ----
    static void SaveProjectBody(Out& out)
    {
        CQKProject& project = qkfxGetProject();
        SaveMap m = MapProject();
        size_t at = out.Begin("PROJ");
        IO io(&out);
        CQKPage* active = project.GetActivePage();
        std::string activeName = active ? active->GetName() : std::string();
        io.S(activeName);
        std::string current = project.GetCurrentFolder()->GetPath();
        io.S(current);
        out.EndFields(at);
        out.End(at);
        SaveFolders(out, *project.GetRootFolder());
        for (const auto& page : project.m_pages)
            SavePage(out, m, *page, false);
        for (const auto& d : project.m_datasets)
            SaveColumn(out, m, *d, false);
        for (auto& b : project.m_namedBlocks)
            SaveBlock(out, "BLCK", b.first, b.second);
        for (auto& b : qkGetHostBlocks())
            SaveBlock(out, "MBLK", b.first, b.second);
        for (auto& q : qkSavedTexts()) {
            size_t q0 = out.Begin("QURY");
            IO qio(&out);
            std::string name = q.first, text = q.second;
            qio.S(name);
            qio.S(text);
            out.EndFields(q0);
            out.End(q0);
        }
        // The Results Log goes last, as one more notes record.
        CQKNotesPage log(&project, "ResultsLog");
        // A page made only to write the text: it has no times of its own to keep, and a
        // project saved twice makes the same file.
        log.CQKPage::m_created = log.m_modifiedTime = 0;
        std::string name = "ResultsLog", text = project.m_resultsLog;
        SavePage(out, m, log, false, &name, &text);
    }

    // The folders below the root, each before its subfolders.
    static void SaveFolders(Out& out, const CQKFolder& folder)
    {
        for (int i = 0; i < folder.GetNumFolders(); ++i) {
            const CQKFolder& sub = *folder.GetFolder(i);
            size_t at = out.Begin("FOLD");
            IO io(&out);
            std::string path = sub.GetPath();
            double created = sub.GetTimeCreated();
            io.S(path);
            io.D(created);
            out.EndFields(at);
            out.End(at);
            SaveFolders(out, sub);
        }
    }

    static void SaveBlock(Out& out, const char* tag, std::string name, std::vector<BYTE> bytes)
    {
        size_t at = out.Begin(tag);
        IO io(&out);
        io.S(name);
        io.Bytes(bytes);
        out.EndFields(at);
        out.End(at);
    }

    static bool LoadBody(Stage& st, const BYTE* body, size_t n, const std::string& onlyPage, CQKPage** made)
    {
        Records recs(st.base, body, n);
        Record r, log;
        bool hasLog = false;
        std::string error;
        while (recs.Next(r, &error)) {
            if (Is(r, "PAGE")) {
                IO io(r.fields, r.fieldBytes, nullptr, r.Where());
                int type = 0;
                std::string name;
                io.I(type);
                io.S(name);
                if (!st.Take(io))
                    return false;
                // Only the named page: the others are passed over by their length.
                if (!onlyPage.empty() && _stricmp(name.c_str(), onlyPage.c_str()) != 0)
                    continue;
                // The Results Log is the last notes record so named; one before it is a
                // notes window the user gave that name.
                if (onlyPage.empty() && type == QK_PAGE_NOTES && name == "ResultsLog") {
                    if (hasLog && !LoadPage(st, log, made))
                        return false;
                    log = r;
                    hasLog = true;
                    continue;
                }
                if (!LoadPage(st, r, made))
                    return false;
                if (!onlyPage.empty())
                    return true;
            } else if (!onlyPage.empty()) {
                continue;
            } else if (Is(r, "PROJ")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                io.S(st.activePage);
                io.S(st.currentFolder);
                if (!st.Take(io))
                    return false;
            } else if (Is(r, "FOLD")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                std::string path;
                double created = 0;
                io.S(path);
                io.D(created);
                if (io.Ok() && !ValidFolderPath(path))
                    io.Fail("\"" + path + "\" is no folder path");
                if (!st.Take(io) || !st.Charge(sizeof(CQKFolder) + path.size()))
                    return false;
                st.folders.emplace_back(path, created);
            } else if (Is(r, "COLM")) {
                if (!LoadColumn(st, r, nullptr))
                    return false;
            } else if (Is(r, "BLCK") || Is(r, "MBLK") || Is(r, "QURY")) {
                IO io(r.fields, r.fieldBytes, &st.budget, r.Where());
                std::string name;
                io.S(name);
                if (Is(r, "QURY")) {
                    io.S(st.queries[Upper(name)]);
                } else {
                    std::vector<BYTE> bytes;
                    io.Bytes(bytes);
                    if (io.Ok() && (name.empty() || bytes.size() > QK_MAX_NAMED_BLOCK))
                        io.Fail(qkFormatText("a block of %lu bytes named \"%s\" cannot be kept",
                                             (unsigned long)bytes.size(), name.c_str()));
                    (Is(r, "BLCK") ? st.blocks : st.hostBlocks)[Upper(name)].swap(bytes);
                }
                if (!st.Take(io))
                    return false;
            }
            // Records of kinds this version does not know are passed over by their length.
        }
        if (!error.empty())
            return st.Fail(error);
        if (!onlyPage.empty())
            return st.Fail("the project has no window named \"" + onlyPage + "\"");
        return !hasLog || LoadLog(st, log);
    }

    // "/A/B/": names between slashes, each a folder name.
    static bool ValidFolderPath(const std::string& path)
    {
        if (path.size() < 2 || path.front() != '/' || path.back() != '/')
            return false;
        size_t at = 1;
        while (at < path.size()) {
            size_t slash = path.find('/', at);
            if (!CQKProject::IsValidFolderName(path.substr(at, slash - at)))
                return false;
            at = slash + 1;
        }
        return true;
    }

    // The folder of a path below `base`, made with its parents where missing; `base` for
    // a path that names no folder.
    static CQKFolder* MakeFolderPath(CQKProject& project, CQKFolder* base, const std::string& path,
                                     double created = 0)
    {
        if (!ValidFolderPath(path))
            return base;
        CQKFolder* folder = base;
        size_t at = 1;
        while (at < path.size()) {
            size_t slash = path.find('/', at);
            std::string name = path.substr(at, slash - at);
            CQKFolder* sub = folder->FindFolder(name);
            if (sub == nullptr) {
                sub = project.CreateFolder(folder, name);
                if (sub == nullptr)
                    return folder;
            }
            folder = sub;
            at = slash + 1;
        }
        if (created > 0)
            folder->m_created = created;
        return folder;
    }

    // Binds every X and plot to the dataset or matrix it names: in the file, or (for a
    // page read alone) in the project by name.
    static bool Bind(Stage& st)
    {
        CQKProject& project = qkfxGetProject();
        for (Binding& b : st.bindings) {
            INT_PTR handle = 0;
            const Ref& r = b.ref;
            auto page = st.pageByName.find(Upper(r.page));
            switch (r.kind) {
            case REF_NONE: break;
            case REF_COLUMN:
                if (page != st.pageByName.end())
                    if (auto* w = dynamic_cast<CQKWksPage*>(page->second))
                        if (CQKDataset* d = w->GetColumn(r.column))
                            handle = d->GetHandle();
                break;
            case REF_SHEET:
                if (page != st.pageByName.end())
                    if (auto* e = dynamic_cast<CQKWksExternPage*>(page->second))
                        for (const auto& l : e->m_layers)
                            if (l->GetID() == r.sheet)
                                if (CQKDataset* d = l->GetColumn(r.column))
                                    handle = d->GetHandle();
                break;
            case REF_FREE: {
                auto f = st.freeByName.find(Upper(r.name));
                if (f != st.freeByName.end())
                    handle = f->second->GetHandle();
                break;
            }
            case REF_PAGE:
                if (page != st.pageByName.end() && page->second->GetType() == QK_PAGE_MATRIX)
                    handle = page->second->GetHandle();
                break;
            default: return st.Fail(b.where + qkFormatText(": %d is no kind of dataset reference", r.kind));
            }
            if (!handle && r.kind != REF_NONE && st.window) {
                if (r.kind == REF_PAGE) {
                    CQKPage* p = project.FindPage(r.name);
                    handle = p && p->GetType() == QK_PAGE_MATRIX ? p->GetHandle() : 0;
                } else if (CQKDataset* d = project.FindDataset(r.name)) {
                    handle = d->GetHandle();
                }
            }
            if (!handle && r.kind != REF_NONE) {
                if (st.window)
                    return st.Fail("the window draws \"" + r.name + "\", which is not in the project: open its " +
                                   "window first");
                return st.Fail(b.where + ": it names \"" + r.name + "\", which is not in the file");
            }
            if (b.dataset) {
                b.dataset->m_xDataset = handle;
            } else if (b.index >= 0) {
                b.plot->m_s.data[b.index].handle = handle;
            } else if (auto* d = dynamic_cast<CQKDataObj*>(b.plot)) {
                d->SetData(handle);
            }
        }
        return true;
    }

    // ---- putting what was read into the project ----
    // A page keeps its name when it is free, else takes its kind's next one; a free
    // dataset gets a number.
    static std::string FreePageName(CQKProject& project, const CQKPage& page)
    {
        return project.IsNameInUse(page.m_name) ? project.GetNewPageName(page.GetType()) : page.m_name;
    }
    static std::string FreeDatasetName(CQKProject& project, const std::string& name)
    {
        if (!project.FindDataset(name))
            return name;
        for (int i = 2;; ++i) {
            std::string n = name + "_" + std::to_string(i);
            if (!project.FindDataset(n))
                return n;
        }
    }

    static void Commit(Stage& st, bool append, const std::string& path)
    {
        CQKProject& project = qkfxGetProject();
        if (!append) {
            project.New();
            qkClearHostBlocks();
            qkSavedTexts().clear();
        }
        bool renamed = false;
        std::vector<CQKPage*> added;
        // An appended project's folders and windows go into a folder of their own, named
        // after its file, in the current folder.
        CQKFolder* base = project.GetRootFolder();
        if (append) {
            std::string title = path.substr(path.find_last_of("\\/:") == std::string::npos
                                                ? 0
                                                : path.find_last_of("\\/:") + 1);
            if (title.rfind('.') != std::string::npos && title.rfind('.') > 0)
                title.erase(title.rfind('.'));
            std::string name = CQKProject::IsValidFolderName(title) ? title : "Appended";
            for (int i = 2; project.GetCurrentFolder()->FindFolder(name) != nullptr; ++i)
                name = (CQKProject::IsValidFolderName(title) ? title : "Appended") + std::to_string(i);
            base = project.CreateFolder(project.GetCurrentFolder(), name);
            if (base == nullptr)
                base = project.GetCurrentFolder();
        }
        for (auto& f : st.folders)
            MakeFolderPath(project, base, f.first, f.second);
        for (auto& page : st.pages) {
            auto folder = st.pageFolders.find(page.get());
            page->m_folder = folder == st.pageFolders.end() ? base : MakeFolderPath(project, base, folder->second);
            std::string n = FreePageName(project, *page);
            renamed |= n != page->m_name;
            page->m_name = n;
            added.push_back(page.get());
            project.m_pages.push_back(std::move(page));
        }
        for (auto& d : st.datasets) {
            std::string n = FreeDatasetName(project, d->m_name);
            renamed |= n != d->m_name;
            d->m_name = n;
            project.m_datasets.push_back(std::move(d));
        }
        for (auto& b : st.blocks)
            if (!append || !project.m_namedBlocks.count(b.first))
                project.m_namedBlocks[b.first].swap(b.second);
        std::map<std::string, std::vector<BYTE>> present = qkGetHostBlocks();
        for (auto& b : st.hostBlocks)
            if ((!append || !present.count(b.first)) && !qkSetHostBlock(b.first, b.second))
                qkfxGetScript().Print("the memory block \"" + b.first +
                                          "\" is in use with another size and keeps its contents",
                                      1);
        for (auto& q : st.queries)
            if (!append || !qkSavedTexts().count(q.first))
                qkSavedTexts()[q.first] = q.second;
        if (st.hasLog) {
            project.m_resultsLog += st.log;
            qkfxGetAccess()->OutputLog(QK_LOG_SET, 0, (LPARAM)project.m_resultsLog.c_str());
        }
        for (CQKContourPlotObj* c : st.contours)
            c->UpdateGridInfo();
        if (renamed)
            qkRefreshPlotNames();
        CQKPage* active = st.activePage.empty() ? nullptr : project.FindPage(st.activePage);
        if (append || !active)
            active = added.empty() ? nullptr : added.back();
        if (!append) {
            project.m_path = path;
            if (CQKFolder* current = project.FindFolderByPath(st.currentFolder))
                project.SetCurrentFolder(current);
        }
        // Windows for the pages that had them; the active one last, so it is on top.
        for (CQKPage* page : added)
            if (page != active && !page->IsHiddenPEWnd())
                qkfxGetAccess()->OnInternalNewPage(page, TRUE);
        if (active && !active->IsHiddenPEWnd())
            qkfxGetAccess()->OnInternalNewPage(active, TRUE);
        if (active)
            project.SetActivePage(active);
        project.m_modified = append;
    }

    static CQKPage* CommitPage(Stage& st, const std::string& name)
    {
        CQKProject& project = qkfxGetProject();
        CQKPage* page = st.pages.front().get();
        std::string n = name.empty() ? FreePageName(project, *page) : name;
        if (!CQKProject::IsValidName(n) || project.IsNameInUse(n)) {
            st.Fail("\"" + n + "\" is not a free window name");
            return nullptr;
        }
        page->m_name = n;
        // A window read alone goes into the current folder, wherever it was saved from.
        page->m_folder = project.GetCurrentFolder();
        project.m_pages.push_back(std::move(st.pages.front()));
        st.pages.clear();
        for (CQKContourPlotObj* c : st.contours)
            c->UpdateGridInfo();
        project.SetActivePage(page);
        project.m_modified = true;
        return page;
    }
};

namespace {

// ---- whole files -------------------------------------------------------------------------

void Header(Out& out, QKFileKind kind)
{
    out.Raw(kMagic, 4);
    WORD version = kFormatVersion, k = (WORD)kind;
    out.Raw(&version, 2);
    out.Raw(&k, 2);
    out.U32(0);
}

void FinishBody(Out& out)
{
    DWORD n = (DWORD)(out.b.size() - kFileHeader);
    memcpy(&out.b[8], &n, 4);
}

// The header checked: the kind of file and its body.
bool ReadHeader(const BYTE* data, size_t size, QKFileKind* kind, const BYTE** body, size_t* bodySize,
                std::string* error)
{
    if (size < kFileHeader || memcmp(data, kMagic, 4) != 0) {
        *error = size < 4 ? "the file is too short to be one of this program's files"
                          : "it is not one of this program's project, window or template files";
        return false;
    }
    WORD version, k;
    DWORD n;
    memcpy(&version, data + 4, 2);
    memcpy(&k, data + 6, 2);
    memcpy(&n, data + 8, 4);
    if (version == 0 || version > kFormatVersion) {
        *error = qkFormatText("it was written in format version %d, newer than this program's %d", version,
                              kFormatVersion);
        return false;
    }
    if (k < QK_FILE_PROJECT || k > QK_FILE_TEMPLATE) {
        *error = qkFormatText("its header names file kind %d, which does not exist", k);
        return false;
    }
    if (n != size - kFileHeader) {
        *error = n > size - kFileHeader
                     ? qkFormatText("it is cut off: it holds %lu bytes of the %lu its header promises",
                                    (unsigned long)(size - kFileHeader), (unsigned long)n)
                     : qkFormatText("%lu bytes follow the end its header gives", (unsigned long)(size - kFileHeader - n));
        return false;
    }
    *kind = (QKFileKind)k;
    *body = data + kFileHeader;
    *bodySize = n;
    return true;
}

bool SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

// ---- files on disk -----------------------------------------------------------------------

std::string SystemMessage(DWORD code)
{
    char text[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.'))
        s.pop_back();
    return s.empty() ? qkFormatText("system error %lu", (unsigned long)code) : s;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Writes the file beside the old one and puts it in the old one's place only when it
// is complete and on the disk: a failure at any step leaves the old file as it was.
bool WriteFileSafely(const std::string& path, const std::vector<BYTE>& bytes, std::string* error)
{
    // A file marked read-only is not written over (the system would let a rename do it).
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return SetError(error, "the file is read-only");
    char temp[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(path).c_str(), "qx", 0, temp))
        return SetError(error, "no new file can be made in its folder: " + SystemMessage(GetLastError()));
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        DeleteFileA(temp);
        return SetError(error, "no new file can be made in its folder: " + SystemMessage(code));
    }
    DWORD code = 0;
    size_t done = 0;
    while (done < bytes.size() && !code) {
        DWORD chunk = (DWORD)std::min<size_t>(bytes.size() - done, 1 << 20), written = 0;
        if (g_writeLimit && done + chunk > g_writeLimit) {
            code = ERROR_DISK_FULL;
            break;
        }
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written != chunk)
            code = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        done += written;
    }
    if (!code && !FlushFileBuffers(h))
        code = GetLastError();
    CloseHandle(h);
    if (code) {
        DeleteFileA(temp);
        return SetError(error, "the file cannot be written: " + SystemMessage(code));
    }
    if (qkfxGetQrxSystem().GetRefProject().GetBackupBeforeSave() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::string backup = path + ".bak";
        if (!CopyFileA(path.c_str(), backup.c_str(), FALSE)) {
            code = GetLastError();
            DeleteFileA(temp);
            return SetError(error, "its backup \"" + backup + "\" cannot be made: " + SystemMessage(code));
        }
    }
    if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        code = GetLastError();
        DeleteFileA(temp);
        return SetError(error, "the new file cannot take the old one's place: " + SystemMessage(code));
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes, std::string* error)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return SetError(error, SystemMessage(GetLastError()));
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    if (ok && (unsigned long long)size.QuadPart > g_readLimit) {
        CloseHandle(h);
        return SetError(error, "the file is larger than a read may use");
    }
    if (ok) {
        bytes.resize((size_t)size.QuadPart);
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(h, bytes.data(), (DWORD)bytes.size(), &got, nullptr) && got == bytes.size());
    }
    DWORD code = GetLastError();
    CloseHandle(h);
    return ok || SetError(error, SystemMessage(code));
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

bool HasExtension(const std::string& path)
{
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("\\/");
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// Reads a page out of a file's bytes into the stage.
bool StagePage(QKFileAccess::Stage& st, const void* data, size_t size, const std::string& pageName,
               CQKPage** made)
{
    QKFileKind kind;
    const BYTE* body;
    size_t n;
    std::string error;
    if (!ReadHeader(static_cast<const BYTE*>(data), size, &kind, &body, &n, &error))
        return st.Fail(error);
    if (kind == QK_FILE_PROJECT && pageName.empty())
        return st.Fail("it is a project file: open it as a project");
    st.window = true;
    st.templ = kind == QK_FILE_TEMPLATE;
    st.base = static_cast<const BYTE*>(data);
    if (!QKFileAccess::LoadBody(st, body, n, kind == QK_FILE_PROJECT ? pageName : std::string(), made))
        return false;
    if (st.pages.size() != 1)
        return st.Fail(st.pages.empty() ? "it holds no window" : "it holds more than one window");
    return QKFileAccess::Bind(st);
}

} // namespace

bool qkWriteFileSafely(const std::string& path, const std::vector<BYTE>& bytes, std::string* error)
{
    return WriteFileSafely(path, bytes, error);
}

bool qkPeekPage(const std::vector<BYTE>& bytes, std::string& name, int& type, std::string* error)
{
    QKFileAccess::Stage st;
    st.budget = g_readLimit;
    QKFileKind kind;
    const BYTE* body;
    size_t n;
    std::string why;
    const bool modified = qkfxGetProject().IsModified();
    if (!ReadHeader(bytes.data(), bytes.size(), &kind, &body, &n, &why))
        return SetError(error, why);
    st.window = true;
    st.templ = kind == QK_FILE_TEMPLATE;
    st.base = bytes.data();
    CQKPage* made = nullptr;
    const bool loaded = kind != QK_FILE_PROJECT && QKFileAccess::LoadBody(st, body, n, std::string(), &made);
    qkfxGetProject().SetProjectModified(modified);
    if (!loaded || st.pages.size() != 1)
        return SetError(error, !st.error.empty() ? st.error : "it holds no single window");
    name = st.pages.front()->GetName();
    type = st.pages.front()->GetType();
    return true;
}

// ---- the interface -----------------------------------------------------------------------

std::string qkfxWindowFileExtension(QKPageType type)
{
    switch (type) {
    case QK_PAGE_WKS: return ".qgw";
    case QK_PAGE_GRAPH: return ".qgg";
    case QK_PAGE_LAYOUT: return ".qgl";
    case QK_PAGE_MATRIX: return ".qgm";
    default: return std::string();
    }
}

void qkfxSaveProjectToMemory(std::vector<BYTE>& bytes)
{
    Out out;
    Header(out, QK_FILE_PROJECT);
    QKFileAccess::SaveProjectBody(out);
    FinishBody(out);
    bytes.swap(out.b);
}

bool qkfxSavePageToMemory(CQKPage* page, bool asTemplate, std::vector<BYTE>& bytes, std::string* error)
{
    if (!page)
        return SetError(error, "there is no window to save");
    std::string ext;
    if (asTemplate ? !qkfxGetQrxTemplateFileExtension(page->GetType(), ext)
                   : qkfxWindowFileExtension(page->GetType()).empty())
        return SetError(error, page->GetName() + (asTemplate ? " is a kind of window that has no templates"
                                                             : " is a kind of window that has no window files"));
    Out out;
    Header(out, asTemplate ? QK_FILE_TEMPLATE : QK_FILE_WINDOW);
    QKFileAccess::SaveMap m = QKFileAccess::MapProject();
    QKFileAccess::SavePage(out, m, *page, asTemplate);
    FinishBody(out);
    bytes.swap(out.b);
    return true;
}

bool qkfxOpenProjectFromMemory(const void* data, size_t size, bool append, std::string* error)
{
    QKFileKind kind;
    const BYTE* body;
    size_t n;
    if (!ReadHeader(static_cast<const BYTE*>(data), size, &kind, &body, &n, error))
        return false;
    if (kind != QK_FILE_PROJECT)
        return SetError(error, "it is a window or template file, not a project");
    QKFileAccess::Stage st;
    st.budget = g_readLimit;
    st.base = static_cast<const BYTE*>(data);
    // Making the staged pages touches the project's modified flag: a refusal puts it back.
    bool modified = qkfxGetProject().IsModified();
    if (!QKFileAccess::LoadBody(st, body, n, std::string(), nullptr) || !QKFileAccess::Bind(st)) {
        qkfxGetProject().SetProjectModified(modified);
        return SetError(error, st.error);
    }
    QKFileAccess::Commit(st, append, std::string());
    return true;
}

CQKPage* qkfxReadPageFromMemory(const void* data, size_t size, const std::string& pageName, const std::string& name,
                                std::string* error)
{
    QKFileAccess::Stage st;
    st.budget = g_readLimit;
    CQKPage* made = nullptr;
    bool modified = qkfxGetProject().IsModified();
    if (!StagePage(st, data, size, pageName, &made)) {
        qkfxGetProject().SetProjectModified(modified);
        SetError(error, st.error);
        return nullptr;
    }
    CQKPage* page = QKFileAccess::CommitPage(st, name);
    if (!page)
        SetError(error, st.error);
    return page;
}

namespace {
// Every graph and layout page of the project is now found under the project's path.
void RegisterProjectGraphsAsRunning(const std::string& path)
{
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i)
        if (CQKGraphPage* graph = dynamic_cast<CQKGraphPage*>(project.GetPage(i)))
            graph->RegisterGraphAsRunning(path.c_str());
}
} // namespace

bool qkfxSaveProject(const std::string& path, std::string* error)
{
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string why;
    if (!WriteFileSafely(path, bytes, &why))
        return SetError(error, "cannot save " + Quoted(path) + ": " + why + "; the old file is kept as it was");
    CQKProject& project = qkfxGetProject();
    project.SetProjectPath(path);
    project.SetProjectModified(false);
    qkfxGetCallLog().Add("qkfxSaveProject", path);
    RegisterProjectGraphsAsRunning(path);
    return true;
}

bool qkfxOpenProject(const std::string& path, bool append, std::string* error)
{
    std::vector<BYTE> bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, &why) || !qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), append, &why))
        return SetError(error, "cannot " + std::string(append ? "append " : "open ") + Quoted(path) + ": " + why);
    if (!append)
        qkfxGetProject().SetProjectPath(path);
    qkfxGetCallLog().Add(append ? "qkfxAppendProject" : "qkfxOpenProject", path);
    if (!append)
        RegisterProjectGraphsAsRunning(path);
    return true;
}

bool qkfxSavePage(CQKPage* page, const std::string& path, bool asTemplate, std::string* error)
{
    std::vector<BYTE> bytes;
    std::string why;
    if (!qkfxSavePageToMemory(page, asTemplate, bytes, &why) || !WriteFileSafely(path, bytes, &why))
        return SetError(error, "cannot save " + Quoted(path) + ": " + why);
    if (!asTemplate) {
        page->SetFullPathFileName(path.c_str());
        if (CQKGraphPage* graph = dynamic_cast<CQKGraphPage*>(page))
            graph->RegisterGraphAsRunning(path.c_str());
    }
    return true;
}

CQKPage* qkfxReadPage(const std::string& path, const std::string& pageName, const std::string& name,
                      std::string* error)
{
    std::vector<BYTE> bytes;
    std::string why;
    CQKPage* page = nullptr;
    if (ReadWholeFile(path, bytes, &why))
        page = qkfxReadPageFromMemory(bytes.data(), bytes.size(), pageName, name, &why);
    if (!page) {
        SetError(error, "cannot read " + Quoted(path) + ": " + why);
        return nullptr;
    }
    // A window file is the window's file from now on; a template or a project is not.
    if (bytes[6] == QK_FILE_WINDOW)
        page->SetFullPathFileName(path.c_str());
    return page;
}

CQKPage* qkfxNewPageFromTemplate(QKPageType type, const std::string& templ, const std::string& name,
                                 std::string* error)
{
    std::string ext;
    if (!qkfxGetQrxTemplateFileExtension(type, ext)) {
        SetError(error, "windows of this kind have no templates");
        return nullptr;
    }
    bool isPath = templ.find_first_of("\\/:") != std::string::npos;
    std::string path = isPath ? templ : qkfxGetQrxSystem().GetRefPath().GetTemplate();
    if (!isPath) {
        if (!path.empty() && path.back() != '\\' && path.back() != '/')
            path += "\\";
        path += templ;
    }
    if (!HasExtension(path))
        path += ext;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // A template without a file is the kind's standard window: the standard templates
        // the New dialog names ("Quorix" in the program folder) are built in.
        CQKPage* page = qkfxGetProject().CreatePage(type, name);
        if (!page)
            SetError(error, Quoted(name) + " is not a free window name");
        else
            page->SetTemplateName(templ);
        return page;
    }
    std::vector<BYTE> bytes;
    std::string why;
    CQKPage* page = nullptr;
    if (ReadWholeFile(path, bytes, &why)) {
        QKFileKind kind;
        const BYTE* body;
        size_t n;
        if (ReadHeader(bytes.data(), bytes.size(), &kind, &body, &n, &why) && kind != QK_FILE_TEMPLATE)
            why = "it is not a template";
        else if (why.empty())
            page = qkfxReadPageFromMemory(bytes.data(), bytes.size(), std::string(),
                                          name.empty() ? qkfxGetProject().GetNewPageName(type) : name, &why);
    }
    if (page && page->GetType() != type && !(type == QK_PAGE_GRAPH && page->GetType() == QK_PAGE_LAYOUT)) {
        why = "it is the template of another kind of window";
        page->Destroy();
        page = nullptr;
    }
    if (!page) {
        SetError(error, "cannot use the template " + Quoted(path) + ": " + why);
        return nullptr;
    }
    page->SetTemplateName(templ);
    return page;
}

size_t qkfxSetFileReadLimit(size_t bytes)
{
    size_t before = g_readLimit;
    g_readLimit = bytes;
    return before;
}

void qkfxSetFileWriteLimit(size_t bytes)
{
    g_writeLimit = bytes;
}

// ---- the page's own writer and the application's entries ---------------------------------

// The worksheets and matrices a graph or layout page draws, each once, in the order its
// plots name them.
static std::vector<CQKPage*> DataPagesOf(CQKPage* page)
{
    std::vector<CQKPage*> pages;
    CQKGraphPage* graph = dynamic_cast<CQKGraphPage*>(page);
    if (!graph)
        return pages;
    CQKProject& project = qkfxGetProject();
    auto add = [&](CQKPage* p) {
        if (p && p != page && std::find(pages.begin(), pages.end(), p) == pages.end())
            pages.push_back(p);
    };
    for (int i = 0; i < graph->GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = graph->GetLayerByIndex(i, 1);
        for (int j = 0; layer && j < layer->GetNumPlots(); ++j) {
            CQKPlotObj* plot = layer->PlotObjByIndex(j, 1);
            for (const QKPlotData& d : plot ? plot->GetDataList() : std::vector<QKPlotData>()) {
                if (d.role == QK_ROLE_MATRIX) {
                    add(d.handle ? project.GetPageFromHandle(d.handle) : project.FindPage(d.dataset));
                    continue;
                }
                CQKDataset* set = d.handle ? project.GetDatasetFromHandle(d.handle) : project.FindDataset(d.dataset);
                if (set)
                    add(set->GetOwner());
            }
        }
    }
    return pages;
}

BOOL CQKPage::SavePageFile(CFile* file, BOOL embedded)
{
    // An embedded page carries the windows of the data it draws before its own: the
    // container's storage is all a server has when it loads the page again.
    std::vector<CQKPage*> pages = embedded ? DataPagesOf(this) : std::vector<CQKPage*>();
    pages.push_back(this);
    std::vector<BYTE> bytes, one;
    std::string error;
    for (CQKPage* p : pages) {
        if (!file || !qkfxSavePageToMemory(p, false, one, &error)) {
            qkfxGetScript().Print("cannot save " + GetName() + ": " + (file ? error : "there is no file"), 2);
            return FALSE;
        }
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    try {
        file->Write(bytes.data(), (UINT)bytes.size());
    } catch (CException* e) {
        char text[256] = "";
        e->GetErrorMessage(text, sizeof text);
        e->Delete();
        qkfxGetScript().Print("cannot save " + GetName() + ": " + text, 2);
        return FALSE;
    }
    qkfxGetCallLog().Add("CQKPage::SavePageFile", GetName() + (embedded ? " embedded" : ""));
    return TRUE;
}

// Reads one window file's bytes from an archive: its header says how many follow.
bool qkReadPageBytes(CArchive* ar, std::vector<BYTE>& bytes, std::string* error)
{
    try {
        bytes.resize(kFileHeader);
        if (ar->Read(bytes.data(), (UINT)kFileHeader) != kFileHeader)
            return SetError(error, "the stored window is cut off in its header");
        DWORD n;
        memcpy(&n, bytes.data() + 8, 4);
        if (memcmp(bytes.data(), kMagic, 4) != 0)
            return SetError(error, "the stored data are not a window of this program");
        CFile* file = ar->GetFile();
        if (n > g_readLimit || (file && n > file->GetLength()))
            return SetError(error, qkFormatText("the stored window claims %lu bytes, more than its storage holds",
                                                (unsigned long)n));
        bytes.resize(kFileHeader + n);
        if (ar->Read(bytes.data() + kFileHeader, n) != n)
            return SetError(error, "the stored window is cut off");
    } catch (CException* e) {
        char text[256] = "";
        e->GetErrorMessage(text, sizeof text);
        e->Delete();
        return SetError(error, text);
    }
    return true;
}

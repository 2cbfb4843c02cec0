#include "Fuzz.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <stdexcept>

namespace qxfuzz {
namespace {

std::map<std::string, long long>& Tallies()
{
    static std::map<std::string, long long> tallies;
    return tallies;
}

std::vector<Target>& Targets()
{
    static std::vector<Target> targets;
    return targets;
}

// SplitMix64: every run number gives the same mutations on every machine.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
};

const size_t kMaxInput = 1 << 20;

void Mutate(Bytes& b, const std::vector<Bytes>& seeds, const std::vector<std::string>& tokens, Random& r)
{
    static const uint64_t wide[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000,
                                    0xFFFFFFFF, 0x10000000, 0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull,
                                    0xFFFFFFFFFFFFFFFFull, 0x7FF0000000000000ull /* inf */,
                                    0x7FF8000000000000ull /* NaN */};
    static const char narrow[] = {0, '\r', '\n', ',', ';', '\t', ' ', '"', '-', '.', 'e', '{', '}', '0', '9'};
    int edits = 1 + static_cast<int>(r.Below(4));
    for (int e = 0; e < edits; ++e) {
        size_t at = r.Below(b.size() + 1);
        switch (r.Below(11)) {
        case 0:
            if (at < b.size())
                b[at] ^= static_cast<BYTE>(1u << r.Below(8));
            break;
        case 1:
            if (at < b.size())
                b[at] = static_cast<BYTE>(r.Next());
            break;
        case 2:
            if (at < b.size())
                b[at] = static_cast<BYTE>(narrow[r.Below(sizeof narrow)]);
            break;
        case 3: {
            // A count, length or value made huge, small, negative or not a number.
            size_t width = size_t(1) << (1 + r.Below(3));
            uint64_t v = wide[r.Below(sizeof wide / sizeof wide[0])];
            if (at + width <= b.size())
                memcpy(&b[at], &v, width);
            break;
        }
        case 4: {
            size_t n = 1 + r.Below(16);
            for (size_t i = 0; i < n; ++i)
                b.insert(b.begin() + at, static_cast<BYTE>(r.Next()));
            break;
        }
        case 5:
            if (at < b.size())
                b.erase(b.begin() + at, b.begin() + std::min(b.size(), at + 1 + r.Below(32)));
            break;
        case 6:
            if (at < b.size()) {
                size_t n = std::min(b.size() - at, 1 + r.Below(64));
                Bytes piece(b.begin() + at, b.begin() + at + n);
                b.insert(b.begin() + r.Below(b.size() + 1), piece.begin(), piece.end());
            }
            break;
        case 7:
            b.resize(at);
            break;
        case 8:
            if (!tokens.empty()) {
                const std::string& t = tokens[r.Below(tokens.size())];
                b.insert(b.begin() + at, t.begin(), t.end());
            }
            break;
        case 9: {
            // The tail of another seed from some place on.
            const Bytes& other = seeds[r.Below(seeds.size())];
            size_t from = r.Below(other.size() + 1);
            b.resize(at);
            b.insert(b.end(), other.begin() + from, other.end());
            break;
        }
        default: {
            size_t n = std::min(b.size() - std::min(at, b.size()), 1 + r.Below(256));
            BYTE v = static_cast<BYTE>(r.Next());
            if (at < b.size())
                memset(&b[at], v, n);
            break;
        }
        }
        if (b.size() > kMaxInput)
            b.resize(kMaxInput);
    }
}

// What the watchdog and the crash filter need to leave the input behind.
struct Current {
    const Target* target = nullptr;
    long long run = -1;
    const Bytes* input = nullptr;
    std::string findings;
    std::atomic<ULONGLONG> started{0};
    DWORD limitMs = 10000;
    bool verbose = false;
} g_current;

std::string Save(const char* what)
{
    std::string path = g_current.findings + "\\" + g_current.target->name + "-" + std::to_string(g_current.run) +
                       "-" + what + ".bin";
    CreateDirectoryA(g_current.findings.c_str(), nullptr);
    if (FILE* f = fopen(path.c_str(), "wb")) {
        if (g_current.input && !g_current.input->empty())
            fwrite(g_current.input->data(), 1, g_current.input->size(), f);
        fclose(f);
    }
    return path;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
{
    if (g_current.target) {
        std::string path = Save("crash");
        fprintf(stderr, "%s: run %lld crashed (exception 0x%08lX); the input is %s\n", g_current.target->name,
                g_current.run, info->ExceptionRecord->ExceptionCode, path.c_str());
        fflush(stderr);
    }
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI Watchdog(void*)
{
    for (;;) {
        Sleep(50);
        ULONGLONG started = g_current.started.load();
        if (started && GetTickCount64() - started > g_current.limitMs) {
            std::string path = Save("hang");
            fprintf(stderr, "%s: run %lld took longer than %lu ms; the input is %s\n", g_current.target->name,
                    g_current.run, g_current.limitMs, path.c_str());
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

bool LoadSeeds(const Target& t, const std::string& corpusRoot, std::vector<Bytes>& seeds)
{
    if (t.makeSeeds)
        t.makeSeeds(seeds);
    if (t.corpus) {
        std::string folder = corpusRoot + "\\" + t.corpus;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
        std::vector<std::string> names;
        if (h != INVALID_HANDLE_VALUE) {
            do
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    names.push_back(found.cFileName);
            while (FindNextFileA(h, &found));
            FindClose(h);
        }
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            Bytes b;
            if (FILE* f = fopen((folder + "\\" + n).c_str(), "rb")) {
                BYTE buf[4096];
                size_t got;
                while ((got = fread(buf, 1, sizeof buf, f)) > 0)
                    b.insert(b.end(), buf, buf + got);
                fclose(f);
            }
            seeds.push_back(b);
        }
    }
    if (seeds.empty()) {
        fprintf(stderr, "%s: no seeds (corpus folder %s\\%s)\n", t.name, corpusRoot.c_str(), t.corpus ? t.corpus : "");
        return false;
    }
    return true;
}

// One input through the target, under the watchdog; false when something broke.
bool RunOne(const Target& t, long long run, const Bytes& input)
{
    g_current.target = &t;
    g_current.run = run;
    g_current.input = &input;
    g_current.started = GetTickCount64();
    std::string broken;
    try {
        broken = t.run(input);
    } catch (const std::exception& e) {
        broken = std::string("an exception escaped the reader: ") + e.what();
    } catch (...) {
        broken = "an exception escaped the reader";
    }
    g_current.started = 0;
    if (broken.empty())
        return true;
    std::string path = Save("broken");
    fprintf(stderr, "%s: run %lld broke an invariant: %s\nthe input is %s\n", t.name, run, broken.c_str(),
            path.c_str());
    return false;
}

int Usage()
{
    fprintf(stderr, "usage: qxfuzz TARGET|all|list [--runs N] [--first RUN] [--seed S] [--only RUN] [--limit-ms MS]\n"
                    "       [--corpus FOLDER] [--findings FOLDER] [--verbose]\n");
    return 2;
}

} // namespace

Registration::Registration(const Target& target)
{
    Targets().push_back(target);
}

const std::string& ScratchFile()
{
    static std::string path = [] {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        return std::string(folder) + "qxfuzz-" + std::to_string(GetCurrentProcessId()) + ".bin";
    }();
    return path;
}

void WriteScratch(const Bytes& input)
{
    FILE* f = fopen(ScratchFile().c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + ScratchFile());
    if (!input.empty())
        fwrite(input.data(), 1, input.size(), f);
    fclose(f);
}

bool Verbose()
{
    return g_current.verbose;
}

void Tally(const char* outcome)
{
    ++Tallies()[outcome];
}

size_t CountByte(const Bytes& input, BYTE b)
{
    return static_cast<size_t>(std::count(input.begin(), input.end(), b));
}

} // namespace qxfuzz

int main(int argc, char** argv)
{
    using namespace qxfuzz;
    if (argc < 2)
        return Usage();
    std::string which = argv[1];
    long long runs = 1000, only = -1, first = 0;
    uint64_t seed = 20261210;
    std::string corpus = "corpus", findings = "fuzz-findings";
    for (int i = 2; i < argc; i += 2) {
        std::string k = argv[i];
        if (k == "--verbose") {
            g_current.verbose = true;
            --i;
            continue;
        }
        if (i + 1 >= argc)
            return Usage();
        if (k == "--runs")
            runs = atoll(argv[i + 1]);
        else if (k == "--seed")
            seed = strtoull(argv[i + 1], nullptr, 10);
        else if (k == "--first")
            first = atoll(argv[i + 1]);
        else if (k == "--only")
            only = atoll(argv[i + 1]);
        else if (k == "--limit-ms")
            g_current.limitMs = strtoul(argv[i + 1], nullptr, 10);
        else if (k == "--corpus")
            corpus = argv[i + 1];
        else if (k == "--findings")
            findings = argv[i + 1];
        else
            return Usage();
    }
    g_current.findings = findings;
    if (which == "list") {
        for (const Target& t : Targets())
            printf("%s\n", t.name);
        return 0;
    }
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    int done = 0;
    for (const Target& t : Targets()) {
        if (which != "all" && which != t.name)
            continue;
        ++done;
        std::vector<Bytes> seeds;
        if (!LoadSeeds(t, corpus, seeds))
            return 1;
        ULONGLONG began = GetTickCount64();
        Tallies().clear();
        // The seeds themselves first, then the mutations; run r mutates seed r mod n.
        if (only < 0 && first == 0)
            for (size_t s = 0; s < seeds.size(); ++s)
                if (!RunOne(t, -1 - static_cast<long long>(s), seeds[s]))
                    return 1;
        long long from = only < 0 ? first : only, to = only < 0 ? first + runs : only + 1;
        for (long long r = from; r < to; ++r) {
            Random random(seed ^ (static_cast<uint64_t>(r) * 0x9E3779B97F4A7C15ull) ^ std::hash<std::string>()(t.name));
            Bytes input = seeds[static_cast<size_t>(r) % seeds.size()];
            Mutate(input, seeds, t.tokens, random);
            if (t.fixup)
                t.fixup(input);
            if (!RunOne(t, r, input))
                return 1;
        }
        std::string outcomes;
        for (const auto& tally : Tallies())
            outcomes += (outcomes.empty() ? "" : ", ") + tally.first + " " + std::to_string(tally.second);
        printf("%s: %zu seeds and %lld mutated inputs, no crash, no hang, no broken invariant (%.1f s; %s)\n",
               t.name, seeds.size(), only < 0 ? runs : 1, (GetTickCount64() - began) / 1000.0, outcomes.c_str());
        fflush(stdout);
    }
    if (!done) {
        fprintf(stderr, "no target named %s (qxfuzz list names them)\n", which.c_str());
        return 2;
    }
    DeleteFileA(ScratchFile().c_str());
    return 0;
}

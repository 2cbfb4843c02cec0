// A fuzzing harness that runs inside one Windows process under Wine: each target hands one
// reader the bytes of a seed file changed by a deterministic mutator, many times over,
// and checks what the reader did. A crash, a hang (an input that takes longer than the
// limit), an exception that escapes or a broken invariant stops the run and leaves the
// input behind, named by the target and the run number that made it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qxfuzz {

typedef std::vector<BYTE> Bytes;

struct Target {
    const char* name;
    // The folder of tests/fuzz/corpus that holds the seeds; seeds may also come from
    // makeSeeds (files the program writes itself, made by the program as it is).
    const char* corpus;
    // Reads one input. Empty when the reader read it or refused it as it should; else
    // the invariant it broke.
    std::string (*run)(const Bytes& input);
    // Seeds made in the process (may be null).
    void (*makeSeeds)(std::vector<Bytes>& seeds) = nullptr;
    // Puts right what would stop every mutated input at the door (checksums), so the
    // parser behind it meets the damage (may be null).
    void (*fixup)(Bytes& input) = nullptr;
    // Pieces of text the format is made of, which the mutator inserts now and then.
    std::vector<std::string> tokens;
};

// Each target file registers its targets with a static Registration.
struct Registration {
    explicit Registration(const Target& target);
};

// A file of the run's temporary folder, for readers that read files by name.
const std::string& ScratchFile();
void WriteScratch(const Bytes& input);

// Counts an outcome of the current input ("read", "refused"), so a run tells how far its
// inputs got; the counts are printed with the target's summary.
void Tally(const char* outcome);

// --verbose: the targets let the program print what it says (to look into a finding).
bool Verbose();

// Small helpers for invariants.
size_t CountByte(const Bytes& input, BYTE b);

} // namespace qxfuzz

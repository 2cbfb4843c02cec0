// Timing for benchmarks. A benchmark runs the code under study and a reference
// computation in the same process, many times each, and prints the ratio of their best
// times: ratios stay comparable between machines where raw seconds do not.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>

namespace bench {

// Best wall time in seconds of `reps` runs of `fn`, each run repeated `inner` times.
inline double BestTime(const std::function<void()> &fn, int reps = 7, int inner = 1)
{
    double best = 1e300;
    for (int r = 0; r < reps; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < inner; ++i)
            fn();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (s < best)
            best = s;
    }
    return best;
}

// Prints one line: name, time of the subject, time of the reference, their ratio.
inline void Report(const char *name, double subject, double reference)
{
    std::printf("%-40s %12.6f s %12.6f s  ratio %8.3f\n", name, subject, reference,
                reference > 0 ? subject / reference : 0.0);
}

} // namespace bench

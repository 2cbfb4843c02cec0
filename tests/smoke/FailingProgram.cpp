// A test program that fails on purpose, run by ExitCodeTest (never by CTest directly):
// "fail" makes a GoogleTest assertion fail, "crash" writes through a null pointer,
// "overflow" recurses until the stack is exhausted.
#include <gtest/gtest.h>
#include <cstring>

static const char *g_mode = "";

// Calls itself through a volatile pointer, so the compiler can neither see the endless
// recursion nor turn it into a loop: the stack really runs out.
static int (*volatile g_recurse)(int);

static int Recurse(int depth)
{
    volatile char frame[4096];
    frame[0] = char(depth);
    return g_recurse(depth + 1) + frame[0];
}

TEST(Failing, AsAsked)
{
    if (std::strcmp(g_mode, "crash") == 0) {
        volatile int *p = nullptr;
        *p = 1;
    }
    if (std::strcmp(g_mode, "overflow") == 0) {
        EXPECT_NE(Recurse(0), 0);
    }
    EXPECT_STRNE(g_mode, "fail");
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    g_recurse = Recurse;
    if (argc > 1)
        g_mode = argv[1];
    return RUN_ALL_TESTS();
}

// A test program that fails on purpose, run by ExitCodeTest (never by CTest directly):
// "fail" makes a GoogleTest assertion fail, "crash" writes through a null pointer.
#include <gtest/gtest.h>
#include <cstring>

static const char *g_mode = "";

TEST(Failing, AsAsked)
{
    if (std::strcmp(g_mode, "crash") == 0) {
        volatile int *p = nullptr;
        *p = 1;
    }
    EXPECT_STRNE(g_mode, "fail");
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        g_mode = argv[1];
    return RUN_ALL_TESTS();
}

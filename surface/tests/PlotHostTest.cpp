// The plot-host link: one binding for the life of the process, requests before it do
// nothing, and the host sees only the low 16 bits of a code.
#include <gtest/gtest.h>

#include "TestHost.h"

namespace {
INT_PTR WINAPI OtherHost(INT_PTR, UINT, INT_PTR, INT_PTR)
{
    ADD_FAILURE() << "a second binding replaced the first";
    return 0;
}
}

TEST(PlotHost, UnboundRequestsDoNothingThenTheFirstBindingStays)
{
    TestHost host;
    PlotHostRunScript(";doc -uw;clr");
    EXPECT_EQ(0, PlotHostRequest(PLOTHOST_BLOCK_GET, 342, (INT_PTR) "ZCOLORS"));
    EXPECT_EQ(0, PlotHostRequest(PLOTHOST_BLOCK_CREATE, 342, (INT_PTR) "ZCOLORS"));
    EXPECT_TRUE(host.calls.empty());

    PlotHostRequest(0x10000 | PLOTHOST_BIND, 77, (INT_PTR)host.callback());
    PlotHostRequest(PLOTHOST_BIND, 78, (INT_PTR)&OtherHost);

    INT_PTR created = PlotHostRequest(PLOTHOST_BLOCK_CREATE, 16, (INT_PTR) "ZCOLORS");
    EXPECT_NE(0, created);
    EXPECT_EQ(created, PlotHostRequest(PLOTHOST_BLOCK_GET, 16, (INT_PTR) "ZCOLORS"));
    PlotHostRequest(0x10000 | PLOTHOST_RUN_SCRIPT, 0, (INT_PTR) "ty -a [x]");

    ASSERT_EQ(3u, host.calls.size());
    for (const auto& c : host.calls)
        EXPECT_EQ(77, c.context);
    EXPECT_EQ((UINT)PLOTHOST_RUN_SCRIPT, host.calls[2].code);
    EXPECT_EQ("ty -a [x]", host.calls[2].text);
}

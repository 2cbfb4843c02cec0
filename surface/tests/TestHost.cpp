#include "TestHost.h"

TestHost* TestHost::current = nullptr;

TestHost::TestHost() { current = this; }
TestHost::~TestHost() { current = nullptr; }

INT_PTR WINAPI TestHost::Callback(INT_PTR context, UINT code, INT_PTR argument, INT_PTR pointer)
{
    TestHost* host = current;
    if (!host)
        return 0;
    HostCall call{context, code, argument, {}};
    bool named = code == PLOTHOST_RUN_SCRIPT || code == PLOTHOST_BLOCK_CREATE ||
                 code == PLOTHOST_BLOCK_GET || code == PLOTHOST_BLOCK_RELEASE;
    if (named && pointer)
        call.text = reinterpret_cast<const char*>(pointer);
    host->calls.push_back(call);
    switch (code) {
    case PLOTHOST_BLOCK_CREATE: {
        auto& block = host->blocks[call.text];
        block.assign((size_t)argument, 0);
        return reinterpret_cast<INT_PTR>(block.data());
    }
    case PLOTHOST_BLOCK_GET: {
        auto it = host->blocks.find(call.text);
        return it == host->blocks.end() ? 0 : reinterpret_cast<INT_PTR>(it->second.data());
    }
    case PLOTHOST_QUERY_054A: return host->colourHook;
    default: return 0;
    }
}

std::vector<std::string> TestHost::Scripts() const
{
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.code == PLOTHOST_RUN_SCRIPT)
            out.push_back(c.text);
    return out;
}

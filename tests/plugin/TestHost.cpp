#include "TestHost.h"

TestHost& TestHost::get()
{
    static TestHost host;
    return host;
}

VstIntPtr TestHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt)
{
    TestHost& host = get();
    std::lock_guard<std::mutex> hold(host.mutex);
    host.recorded.push_back({effect, opcode, index, value, opt});
    switch (opcode) {
    case audioMasterVersion:
        return host.version;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(host.timeInfo);
    case audioMasterSizeWindow:
        return host.sizeWindowAnswer;
    case audioMasterIOChanged:
        return 1;
    default:
        return 0;
    }
}

void TestHost::reset()
{
    std::lock_guard<std::mutex> hold(mutex);
    recorded.clear();
    version = 2400;
    timeInfo = nullptr;
    sizeWindowAnswer = 1;
}

std::vector<TestHost::Call> TestHost::calls() const
{
    std::lock_guard<std::mutex> hold(mutex);
    return recorded;
}

std::vector<TestHost::Call> TestHost::callsOf(VstInt32 opcode) const
{
    std::vector<Call> matching;
    for (const Call& call : calls())
        if (call.opcode == opcode)
            matching.push_back(call);
    return matching;
}

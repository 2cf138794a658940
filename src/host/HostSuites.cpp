// Declared host suites: acquisition on first use, release when the module is unloaded.
#include "host/HostSuites.h"

SPBasicSuite* gBasicSuite = nullptr;

namespace {

constexpr std::uint32_t kParameterError = 0x5061726D; // 'Parm'

SuiteHolder gHolders[kDeclaredSuiteCount] = {
    {nullptr, 3, "df135115-c769-11d0-8079-00c04fd7ec47", 0}, // action descriptor
    {nullptr, 3, "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee", 0}, // action control
    {nullptr, 2, "3eb7c480-8797-11d1-8da7-00c04fd5f7ee", 0}, // basic action control
    {nullptr, 3, "df135117-c769-11d0-8079-00c04fd7ec47", 0}, // action list
    {nullptr, 2, "df135116-c769-11d0-8079-00c04fd7ec47", 0}, // action reference
    {nullptr, 1, "61e608b0-40fd-11d1-8da3-00c04fd5f7ee", 0}, // descriptor registry
    {nullptr, 1, "Photoshop UIHooks Suite for Plug-ins", 0},
    {nullptr, 2, "Photoshop Handle Suite for Plug-ins", 0},
    {nullptr, 1, "AS ZString Suite", 0},
    {nullptr, 3, "SP Access Suite", 0},
    {nullptr, 4, "Photoshop GetFileList Suite for Plug-ins", 0},
    {nullptr, 1, "Photoshop Buffer Suite for Plug-ins", 0},
    {nullptr, 3, "Photoshop ChannelPorts Suite for Plug-ins", 0},
    {nullptr, 5, "SP Runtime Suite", 0},
    {nullptr, 1, "Photoshop Property Suite for Plug-ins", 0},
    {nullptr, 1, "Photoshop Alias Utility Suite", 0},
    {nullptr, 3, "Photoshop Resource Suite for Plug-ins", 0},
    {nullptr, 2, "JavaScript Scripting Suite", 0},
};

// Registered with the runtime's exit list when the module is loaded, so that it runs
// when the host unloads the module (or the process ends).
struct ReleaseAtUnload {
    ~ReleaseAtUnload() { ReleaseDeclaredSuites(); }
} gReleaseAtUnload;

} // namespace

SuiteHolder* DeclaredSuites() { return gHolders; }

const void* AcquireDeclaredSuite(SuiteHolder& holder) {
    if (holder.suite != nullptr)
        return holder.suite;
    if (gBasicSuite == nullptr || gBasicSuite->AcquireSuite == nullptr)
        throw kParameterError;
    holder.lastError = gBasicSuite->AcquireSuite(holder.name, holder.version, &holder.suite);
    if (holder.lastError != 0) {
        holder.suite = nullptr;
        throw static_cast<std::uint32_t>(holder.lastError);
    }
    return holder.suite;
}

void ReleaseDeclaredSuites() {
    for (SuiteHolder& holder : gHolders) {
        if (holder.suite == nullptr || gBasicSuite == nullptr ||
            gBasicSuite->ReleaseSuite == nullptr)
            continue;
        gBasicSuite->ReleaseSuite(holder.name, holder.version);
        holder.suite = nullptr;
    }
}

// The host's smaller records: platform data, about record, handle procs and basic suite.
//
// These keep the compiler's natural alignment (unlike the FilterRecord); the checks
// below pin every offset for 32-bit and 64-bit Windows (Linux x86_64 = 64-bit layout).
#pragma once

#include "host/HostTypes.h"

#include <cstddef>

struct PlatformData {
    std::intptr_t hwnd; // the host's main window, owner of our dialogs and timer
};

struct SPBasicSuite;

struct AboutRecord {
    void* platformData;
    SPBasicSuite* sSPBasic;
    void* plugInRef;
    char reserved[244];
};

typedef Handle(HOST_API* NewPIHandleProc)(std::int32_t size);
typedef void(HOST_API* DisposePIHandleProc)(Handle h);
typedef std::int32_t(HOST_API* GetPIHandleSizeProc)(Handle h);
typedef OSErr(HOST_API* SetPIHandleSizeProc)(Handle h, std::int32_t newSize);
typedef Ptr(HOST_API* LockPIHandleProc)(Handle h, Boolean moveHigh);
typedef void(HOST_API* UnlockPIHandleProc)(Handle h);
typedef void(HOST_API* RecoverSpaceProc)(std::int32_t size);
typedef void(HOST_API* DisposeRegularHandlePIHandleProc)(Handle h);

struct HandleProcs {
    std::int16_t handleProcsVersion;
    std::int16_t numHandleProcs;
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    GetPIHandleSizeProc getSizeProc;
    SetPIHandleSizeProc setSizeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
    RecoverSpaceProc recoverSpaceProc;
    DisposeRegularHandlePIHandleProc disposeRegularHandleProc;
};

using SPErr = std::int32_t;
using SPBoolean = std::int32_t; // the Windows BOOL, four bytes

struct SPBasicSuite {
    SPErr(HOST_API* AcquireSuite)(const char* name, std::int32_t version, const void** suite);
    SPErr(HOST_API* ReleaseSuite)(const char* name, std::int32_t version);
    SPBoolean(HOST_API* IsEqual)(const char* token1, const char* token2);
    SPErr(HOST_API* AllocateBlock)(std::size_t size, void** block);
    SPErr(HOST_API* FreeBlock)(void* block);
    SPErr(HOST_API* ReallocateBlock)(void* block, std::size_t newSize, void** newblock);
    SPErr(HOST_API* Undefined)();
};

constexpr std::int16_t kCurrentHandleProcsVersion = 1;
constexpr std::int16_t kMinimumHandleProcs = 8;

namespace host_layout {
constexpr bool k32 = sizeof(void*) == 4;
constexpr std::size_t pick(std::size_t x86, std::size_t x64) { return k32 ? x86 : x64; }
} // namespace host_layout

#define LUMETRA_CHECK_OFFSET(record, field, x86, x64)                                       \
    static_assert(offsetof(record, field) == host_layout::pick(x86, x64),                   \
                  #record "." #field " is not where the host expects it")

static_assert(sizeof(PlatformData) == host_layout::pick(4, 8), "PlatformData size");

LUMETRA_CHECK_OFFSET(AboutRecord, platformData, 0, 0);
LUMETRA_CHECK_OFFSET(AboutRecord, sSPBasic, 4, 8);
LUMETRA_CHECK_OFFSET(AboutRecord, plugInRef, 8, 16);
LUMETRA_CHECK_OFFSET(AboutRecord, reserved, 12, 24);
static_assert(sizeof(AboutRecord) == host_layout::pick(256, 272), "AboutRecord size");

LUMETRA_CHECK_OFFSET(HandleProcs, handleProcsVersion, 0, 0);
LUMETRA_CHECK_OFFSET(HandleProcs, numHandleProcs, 2, 2);
LUMETRA_CHECK_OFFSET(HandleProcs, newProc, 4, 8);
LUMETRA_CHECK_OFFSET(HandleProcs, disposeProc, 8, 16);
LUMETRA_CHECK_OFFSET(HandleProcs, getSizeProc, 12, 24);
LUMETRA_CHECK_OFFSET(HandleProcs, setSizeProc, 16, 32);
LUMETRA_CHECK_OFFSET(HandleProcs, lockProc, 20, 40);
LUMETRA_CHECK_OFFSET(HandleProcs, unlockProc, 24, 48);
LUMETRA_CHECK_OFFSET(HandleProcs, recoverSpaceProc, 28, 56);
LUMETRA_CHECK_OFFSET(HandleProcs, disposeRegularHandleProc, 32, 64);
static_assert(sizeof(HandleProcs) == host_layout::pick(36, 72), "HandleProcs size");

LUMETRA_CHECK_OFFSET(SPBasicSuite, AcquireSuite, 0, 0);
LUMETRA_CHECK_OFFSET(SPBasicSuite, ReleaseSuite, 4, 8);
LUMETRA_CHECK_OFFSET(SPBasicSuite, IsEqual, 8, 16);
LUMETRA_CHECK_OFFSET(SPBasicSuite, AllocateBlock, 12, 24);
LUMETRA_CHECK_OFFSET(SPBasicSuite, FreeBlock, 16, 32);
LUMETRA_CHECK_OFFSET(SPBasicSuite, ReallocateBlock, 20, 40);
LUMETRA_CHECK_OFFSET(SPBasicSuite, Undefined, 24, 48);
static_assert(sizeof(SPBasicSuite) == host_layout::pick(28, 56), "SPBasicSuite size");

// The host's basic suite of the current call and the host suites this module declares.
//
// Every service a run uses comes through the FilterRecord, so no holder is ever filled
// today; the holders and their release at unload exist so that a suite can be taken up
// later without touching the module's lifetime rules.
#pragma once

#include "host/HostRecords.h"

#include <cstdint>

// The basic suite of the call in progress; null whenever no PluginMain call is running.
extern SPBasicSuite* gBasicSuite;

struct SuiteHolder {
    const void* suite;      // null until acquired
    std::int32_t version;   // requested version
    const char* name;       // suite name
    std::int32_t lastError; // last acquisition error, 0 initially
};

constexpr int kDeclaredSuiteCount = 18;

// The holders, in declaration order.
SuiteHolder* DeclaredSuites();

// Acquires the holder's suite on first use. Throws the four-character code 'Parm' as an
// unsigned 32-bit value when no basic suite is known, and any nonzero acquisition error
// the same way.
const void* AcquireDeclaredSuite(SuiteHolder& holder);

// Releases every acquired suite while a basic suite is known. Runs at module unload.
void ReleaseDeclaredSuites();

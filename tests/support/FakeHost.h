// A minimal in-memory host for driving PluginMain from tests: a FilterRecord with a
// big-document block and platform data, and handle procs that count every call and
// track each handle's lock count.
#pragma once

#include "host/FilterRecord.h"

#include <cstdint>
#include <string>

struct HandleProcCalls {
    int newHandle = 0;
    int dispose = 0;
    int getSize = 0;
    int setSize = 0;
    int lock = 0;
    int unlock = 0;
    int notOurs = 0; // lock, unlock or dispose calls with a handle the host never made
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // A 16-bit RGB document of the given size, big-document block present.
    void SetDocument(std::int16_t mode, std::int32_t depth, std::int16_t planes,
                     std::int32_t height, std::int32_t width);

    FilterRecord record{};
    BigDocumentStruct big{};
    HandleProcs procs{};
    PlatformData platform{};
    std::intptr_t slot = 0;
    std::int16_t result = 0;

    // Calls made to the handle procs since construction, and handles still locked.
    static HandleProcCalls calls;
    // What the lock proc returns for a handle it never made: null, or memory it guesses
    // the value points at, as GIMP's does.
    static Ptr notOursLocksTo;
    static int LockedHandles();
    static int LiveHandles();
    static std::int32_t HandleSize(Handle handle);
};

// The module under test, loaded from the folder of the test program, and its entry point.
using PluginMainFunction = void(HOST_API*)(std::int16_t, void*, std::intptr_t*, std::int16_t*);

class LoadedModule {
public:
    LoadedModule();
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return entry != nullptr; }
    const std::string& Error() const { return error; }
    void Call(std::int16_t selector, void* block, std::intptr_t* slot, std::int16_t* result);

private:
    void* module = nullptr;
    PluginMainFunction entry = nullptr;
    std::string error;
};

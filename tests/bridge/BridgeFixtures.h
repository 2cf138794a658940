// Fixtures shared by the bridge tests: pointing the product at a temporary folder and a
// settings file, and a state block for a document of a given kind.
#pragma once

#include "TestSystem.h"
#include "core/PluginState.h"
#include "host/FilterRecord.h"

#include <memory>
#include <string>
#include <vector>

// Points the product's temporary folder at `folder` (given with its trailing separator)
// until destruction.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::string& folder);

private:
    std::vector<std::unique_ptr<ScopedVariable>> variables;
};

// The settings file "Lumetra/plugin.ini" in the profile folder the product will look in.
// On Linux the profile is a scratch folder whose name holds a blank; under Wine it is the
// test user's own profile, from which the file and its folder are removed again.
class SettingsProfile {
public:
    SettingsProfile();
    ~SettingsProfile();
    SettingsProfile(const SettingsProfile&) = delete;
    SettingsProfile& operator=(const SettingsProfile&) = delete;

    void Write(const std::string& bytes);
    void WriteApplicationPath(const std::string& folder);
    void Remove();
    std::string FolderPath() const;
    std::string FilePath() const;

private:
    std::unique_ptr<ScratchFolder> scratch;
    std::unique_ptr<ScopedVariable> home;
    std::string profile;
};

// A state block and FilterRecord for a document of the given mode and depth.
struct TestDocument {
    TestDocument(std::int16_t mode, std::int32_t depth, std::int16_t planes);

    FilterRecord record{};
    PluginState state{};
};

std::string WithSeparator(const std::string& folder);

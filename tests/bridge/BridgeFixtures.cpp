// Fixtures shared by the bridge tests.
#include "BridgeFixtures.h"

#include "bridge/Paths.h"
#include "platform/HostProcess.h"

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

std::string WithSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == PathSeparator())
        return folder;
    return folder + PathSeparator();
}

TempFolderOverride::TempFolderOverride(const std::string& folder) {
    for (const std::string& name : TemporaryFolderVariables())
        variables.push_back(std::make_unique<ScopedVariable>(name, folder));
}

SettingsProfile::SettingsProfile() {
    const std::string variable = ProfileFolderVariable();
    if (!variable.empty()) {
        scratch = std::make_unique<ScratchFolder>("profile");
        const std::string folder = scratch->Sub("Ann Lee", true);
        home = std::make_unique<ScopedVariable>(variable, folder);
    }
    if (!GetProfileFolder(profile))
        throw std::runtime_error("the product finds no profile folder");
}

SettingsProfile::~SettingsProfile() {
    Remove();
}

std::string SettingsProfile::FolderPath() const {
    return JoinPath(profile, "Lumetra");
}

std::string SettingsProfile::FilePath() const {
    return JoinPath(FolderPath(), "plugin.ini");
}

void SettingsProfile::Write(const std::string& bytes) {
    fs::create_directories(FolderPath());
    WriteFileBytes(FilePath(), bytes);
}

void SettingsProfile::WriteApplicationPath(const std::string& folder) {
    Write("[General]\r\nApplicationPath=" + folder + "\r\n");
}

void SettingsProfile::Remove() {
    std::error_code error;
    fs::remove(FilePath(), error);
    fs::remove(FolderPath(), error); // only when empty
}

TestDocument::TestDocument(std::int16_t mode, std::int32_t depth, std::int16_t planes) {
    record.imageMode = mode;
    record.depth = depth;
    record.planes = planes;
    InitialisePluginState(state);
    state.filterRecord = &record;
}

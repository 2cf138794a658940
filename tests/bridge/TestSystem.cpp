// Scratch folders and whole-file reads and writes for the bridge tests.
#include "TestSystem.h"

#include "platform/HostProcess.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Taken once, before any test moves the product's temporary folder.
const fs::path& SystemTempFolder() {
    static const fs::path folder = fs::temp_directory_path();
    return folder;
}

} // namespace

ScopedVariable::ScopedVariable(const std::string& variableName, const std::string& value)
    : name(variableName) {
    wasSet = GetEnvironmentValue(name, saved);
    SetEnvironmentValue(name, value);
}

ScopedVariable::~ScopedVariable() {
    SetEnvironmentValue(name, wasSet ? saved : "");
}

ScratchFolder::ScratchFolder(const std::string& label) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            SystemTempFolder() / ("lumetra-bridge-" + label + "-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("no scratch folder could be created");
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    fs::remove_all(path, error);
}

std::string ScratchFolder::Sub(const std::string& name, bool create) const {
    const std::string sub = path + PathSeparator() + name;
    if (create)
        fs::create_directories(sub);
    return sub;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

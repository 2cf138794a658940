// What the bridge tests need from the system around the product: variables set for a
// while, scratch folders and whole files.
#pragma once

#include "platform/HostFolders.h"

#include <string>
#include <vector>

// Sets a variable for the lifetime of the object, then restores the earlier state.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name;
    std::string saved;
    bool wasSet;
};

// A fresh folder under the system's temporary folder (as it was when the test program
// started), with `label` in its name; removed with everything in it on destruction.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, without a trailing separator.
    const std::string& Path() const { return path; }

    // A path inside the folder; creates the subfolder `name` when `create` is set.
    std::string Sub(const std::string& name, bool create = false) const;

private:
    std::string path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

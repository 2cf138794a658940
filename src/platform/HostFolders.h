// Steering the folder services from tests: the environment through which the product
// finds its folders, for this process and the programs it starts, and the file
// attributes that differ between the platforms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The variables from which the product takes the temporary folder (Linux: TMPDIR;
// Windows: TMP and TEMP), and the one from which it takes the profile folder (Linux:
// HOME; "" on Windows, where the user's profile cannot be moved by a process).
std::vector<std::string> TemporaryFolderVariables();
std::string ProfileFolderVariable();

// A variable of this process's environment; false when it is not set.
bool GetEnvironmentValue(const std::string& name, std::string& value);

// Sets a variable of this process's environment, which programs started afterwards
// inherit; an empty value removes it.
void SetEnvironmentValue(const std::string& name, const std::string& value);

// Points this process's temporary folder at `path`; programs started afterwards inherit
// it. An empty path unsets the variables.
void SetTemporaryFolder(const std::string& path);

// The same setting as environment entries ("NAME=value") for RunProgram.
std::vector<std::string> TemporaryFolderEnvironment(const std::string& path);

// Makes an existing file hidden: the hidden attribute on Windows; on Linux a name that
// starts with a full stop already is, so nothing is done. True on success.
bool MakeFileHidden(const std::string& path);

// Gives an existing folder to another user (Linux: chown to "nobody", which needs root).
// False where that is not possible, and always on Windows.
bool GiveFolderToAnotherUser(const std::string& path);

// Keeps an existing file from being deleted or replaced, as another program that has it
// open does: on Windows the file is opened without delete sharing (what an image viewer
// or a virus scanner does); on Linux it is marked immutable (FS_IOC_SETFLAGS, which needs
// root and a file system that has the flag). Returns the hold for ReleaseFile, or -1 with
// the reason in `why`.
std::intptr_t HoldFile(const std::string& path, std::string& why);

// Lets a held file go again (closes the handle; clears the flag). -1 does nothing.
void ReleaseFile(std::intptr_t hold);

// Folder lookups and the path operations every file name of a run is built with.
//
// The separator is the platform's (a backslash on Windows, a slash on Linux), used in
// exactly the places named "Backslash" here; nothing else in a path is interpreted.
#pragma once

#include <string>
#include <vector>

// The user's temporary folder with a trailing separator; false (and empty) when it cannot
// be had, its path has 260 characters or more, or it cannot be written into the job
// document as itself (control characters, bytes that are not text).
bool GetTempFolder(std::string& output);

// The user's profile folder with a trailing separator; false (and empty) on failure.
bool GetProfileFolder(std::string& output);

bool EndsWithBackslash(const std::string& path);
std::string WithTrailingBackslash(const std::string& path);
std::string WithoutTrailingBackslash(const std::string& path); // removes one only

// The folder with a trailing separator, then the name unchanged; an empty folder gives
// the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);

// Plain files and folders both exist. Throws EError for an empty path.
bool PathExists(const std::string& path);

// Creates one folder level. Throws EError for an empty path.
bool CreateFolder(const std::string& path);

// Names of the plain files directly inside the folder (hidden ones included), in the
// order the system lists them; empty for an empty folder string or a failed search.
std::vector<std::string> ListFiles(const std::string& folder);

// Deletes every plain file directly inside the folder; files that cannot be deleted are
// skipped, subfolders stay.
void DeleteAllFiles(const std::string& folder);

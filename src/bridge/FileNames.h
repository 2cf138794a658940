// The names of the files a run exchanges, and the bounded copy into the state's fields.
#pragma once

#include "core/PluginState.h"

#include <cstddef>
#include <string>

constexpr const char* kWorkingFolderName = "lumetrafilter";
constexpr const char* kJobDocumentName = "Data.lif";
// Held by the run that uses the working folder; kept there between runs, never cleaned.
constexpr const char* kLockFileName = "Lumetra.lock";

// True for the 67 characters allowed in our file names: ASCII letters, digits, + - ( ) _.
bool IsFileNameChar(char character);

// Every character outside the alphabet becomes an underscore; the length stays.
std::string MakeFileNameSafe(const std::string& text);

// "Lumetra", made safe. Throws EError for a null record.
std::string GetBaseFileName(const FilterRecord* record);

// "Lumetra.ppm" for 8- and 16-bit documents, "Lumetra.pfm" for 32-bit ones; false and
// empty for an unsupported document. Throw EError without a state or FilterRecord.
bool GetExportFileName(PluginState* state, std::string& output);

// As GetExportFileName with "_Processed" before the full stop.
bool GetProcessedFileName(PluginState* state, std::string& output);

// Whether a full path fits a path field of the state block (at most 259 characters). A
// path that does not fit is refused, never cut: a cut path would name some other file.
bool FitsPathField(const std::string& path);

// Copies at most capacity - 1 characters and always terminates the field. Throws EError
// for a null destination or source.
void CopyPathTruncated(char* destination, std::size_t capacity, const char* source);

// The working folder under the temporary folder, and the paths of a run's exchange files.
#pragma once

#include "core/PluginState.h"

#include <cstdint>
#include <string>

// The temporary folder followed by "lumetrafilter", without a trailing separator; created
// when missing, emptied of its plain files when `clean` is set. False when it cannot be
// had.
bool GetWorkingFolder(std::string& output, bool clean);

// Fill exportFilePath / processedFilePath (each run empties the working folder first).
// 0, or -50 when the folder or the name cannot be formed or the path does not fit.
std::int16_t PrepareExportFilePath(PluginState* state);
std::int16_t PrepareProcessedFilePath(PluginState* state);

// Creates (or truncates) the export file into exportFile. 0, or -23.
std::int16_t OpenExportFile(PluginState* state);

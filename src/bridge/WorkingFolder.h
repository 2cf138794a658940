// The working folder under the temporary folder, and the paths of a run's exchange files.
#pragma once

#include "core/PluginState.h"
#include "ui/ProblemText.h"

#include <cstdint>
#include <string>

// The temporary folder followed by "lumetrafilter", without a trailing separator; created
// when missing, emptied of its plain files when `clean` is set. False when it cannot be
// had.
bool GetWorkingFolder(std::string& output, bool clean);

// Fill exportFilePath / processedFilePath; the working folder is created when missing but
// not emptied (LockWorkingFolder does that). 0, or -50 when the folder or the name cannot
// be formed or the path does not fit.
// With `problem`, a folder that cannot be used is recorded there.
std::int16_t PrepareExportFilePath(PluginState* state, RunProblem* problem = nullptr);
std::int16_t PrepareProcessedFilePath(PluginState* state, RunProblem* problem = nullptr);

// Takes the working folder for this run alone (into lockFile), then empties it of the
// files of an earlier run. 0; -50 when another run holds it or the folder cannot be had,
// with nothing deleted, created or truncated; -23 when the lock file cannot be opened (a
// plain file in place of the folder, a folder the user may not write). With `problem`,
// the other run or the unusable folder is recorded there.
std::int16_t LockWorkingFolder(PluginState* state, RunProblem* problem = nullptr);

// Run after LockWorkingFolder: makes sure that nothing of an earlier run stands under the
// names of this run's files (the export and processed images, the job document), so that
// the file read back after the program has ended can only be one this run's program
// wrote. An empty folder under such a name is removed. 0; -50 when something stays there
// (a file another program holds or that may not be deleted, a folder with contents),
// recorded in `problem` with its path.
std::int16_t FreeExchangeFileNames(PluginState* state, RunProblem* problem = nullptr);

// Lets the next run have the working folder; the lock file stays in it.
void UnlockWorkingFolder(PluginState* state);

// Creates (or truncates) the export file into exportFile. 0, or -23.
std::int16_t OpenExportFile(PluginState* state);

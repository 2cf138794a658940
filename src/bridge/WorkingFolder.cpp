// The working folder under the temporary folder, the full paths of a run's exchange
// files, and the creation of the export file.
#include "bridge/WorkingFolder.h"

#include "bridge/FileNames.h"
#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"

#include <cstring>

namespace {

using NameMaker = bool (*)(PluginState*, std::string&);

// A folder the run cannot use: the user is told which, and which variable picks another.
void NoteFolderProblem(RunProblem* problem, const std::string& folder) {
    NoteProblem(problem, eProblemTempFolder, folder, OsTempFolderVariable());
}

// GetWorkingFolder, telling which folder failed: the temporary folder itself, or the
// working folder that could not be created or may not be used.
bool FindWorkingFolder(std::string& output, bool clean, RunProblem* problem) {
    output.clear();
    std::string temporary;
    if (!GetTempFolder(temporary)) {
        NoteFolderProblem(problem, OsTempFolderForMessage());
        return false;
    }
    const std::string folder = JoinPath(temporary, kWorkingFolderName);
    // Another run may create the folder between the look and the creation; finding it
    // there afterwards is as good as having made it.
    if ((!PathExists(folder) && !CreateFolder(folder) && !PathExists(folder)) ||
        !OsIsTrustedFolder(folder.c_str())) {
        NoteFolderProblem(problem, folder);
        return false;
    }
    // Files that cannot be deleted stay; the run goes on without them.
    if (clean)
        DeleteAllFiles(folder, kLockFileName);
    output = folder;
    return true;
}

std::int16_t PrepareFilePath(PluginState* state, char* field, NameMaker makeName,
                             RunProblem* problem) {
    ValidatePluginState(state);
    std::memset(field, 0, kPathFieldSize);
    std::string folder;
    if (!FindWorkingFolder(folder, false, problem))
        return paramErr;
    std::string name;
    if (!makeName(state, name))
        return paramErr;
    const std::string path = JoinPath(folder, name);
    if (!FitsPathField(path)) {
        NoteFolderProblem(problem, folder);
        return paramErr;
    }
    CopyPathTruncated(field, kPathFieldSize, path.c_str());
    return noErr;
}

} // namespace

bool GetWorkingFolder(std::string& output, bool clean) {
    return FindWorkingFolder(output, clean, nullptr);
}

std::int16_t PrepareExportFilePath(PluginState* state, RunProblem* problem) {
    return PrepareFilePath(state, ValidatePluginState(state)->exportFilePath, GetExportFileName,
                           problem);
}

std::int16_t PrepareProcessedFilePath(PluginState* state, RunProblem* problem) {
    return PrepareFilePath(state, ValidatePluginState(state)->processedFilePath,
                           GetProcessedFileName, problem);
}

std::int16_t LockWorkingFolder(PluginState* state, RunProblem* problem) {
    ValidatePluginState(state);
    if (!CloseFile(state->lockFile))
        return paramErr;
    std::string folder;
    if (!FindWorkingFolder(folder, false, problem))
        return paramErr;
    bool busy = false;
    state->lockFile = OsLockFile(JoinPath(folder, kLockFileName).c_str(), busy);
    if (state->lockFile == -1) {
        if (busy)
            NoteProblem(problem, eProblemFolderBusy, folder);
        else
            NoteFolderProblem(problem, folder);
        return busy ? paramErr : openErr;
    }
    DeleteAllFiles(folder, kLockFileName);
    return noErr;
}

std::int16_t FreeExchangeFileNames(PluginState* state, RunProblem* problem) {
    ValidatePluginState(state);
    std::string folder;
    if (!FindWorkingFolder(folder, false, problem))
        return paramErr;
    // The processed image first: it is the one that would otherwise reach the document.
    const std::string paths[] = {state->processedFilePath, state->exportFilePath,
                                 JoinPath(folder, kJobDocumentName)};
    for (const std::string& path : paths) {
        const char* name = path.c_str();
        // The cleaning has tried every plain file already; a link or an empty folder may
        // still go. A deleted file that another program keeps open may keep its name.
        if (!OsPathIsFree(name) && !OsRemoveFile(name))
            OsRemoveEmptyFolder(name);
        if (!OsPathIsFree(name)) {
            NoteProblem(problem, eProblemEarlierFileHeld, path);
            return paramErr;
        }
    }
    return noErr;
}

void UnlockWorkingFolder(PluginState* state) {
    // A failed close still gives the descriptor, and with it the lock, back to the
    // system; the run's result does not depend on it.
    CloseFile(ValidatePluginState(state)->lockFile);
}

std::int16_t OpenExportFile(PluginState* state) {
    ValidatePluginState(state);
    if (!CloseFile(state->exportFile))
        return openErr;
    return OpenFile(state->exportFile, state->exportFilePath, true, true) ? noErr : openErr;
}

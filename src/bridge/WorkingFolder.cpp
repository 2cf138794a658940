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

std::int16_t PrepareFilePath(PluginState* state, char* field, NameMaker makeName) {
    ValidatePluginState(state);
    std::memset(field, 0, kPathFieldSize);
    std::string folder;
    if (!GetWorkingFolder(folder, false))
        return paramErr;
    std::string name;
    if (!makeName(state, name))
        return paramErr;
    const std::string path = JoinPath(folder, name);
    if (!FitsPathField(path))
        return paramErr;
    CopyPathTruncated(field, kPathFieldSize, path.c_str());
    return noErr;
}

} // namespace

bool GetWorkingFolder(std::string& output, bool clean) {
    output.clear();
    std::string temporary;
    if (!GetTempFolder(temporary))
        return false;
    const std::string folder = JoinPath(temporary, kWorkingFolderName);
    // Another run may create the folder between the look and the creation; finding it
    // there afterwards is as good as having made it.
    if (!PathExists(folder) && !CreateFolder(folder) && !PathExists(folder))
        return false;
    if (!OsIsTrustedFolder(folder.c_str()))
        return false;
    // Files that cannot be deleted stay; the run goes on without them.
    if (clean)
        DeleteAllFiles(folder, kLockFileName);
    output = folder;
    return true;
}

std::int16_t PrepareExportFilePath(PluginState* state) {
    return PrepareFilePath(state, ValidatePluginState(state)->exportFilePath, GetExportFileName);
}

std::int16_t PrepareProcessedFilePath(PluginState* state) {
    return PrepareFilePath(state, ValidatePluginState(state)->processedFilePath,
                           GetProcessedFileName);
}

std::int16_t LockWorkingFolder(PluginState* state) {
    ValidatePluginState(state);
    if (!CloseFile(state->lockFile))
        return paramErr;
    std::string folder;
    if (!GetWorkingFolder(folder, false))
        return paramErr;
    bool busy = false;
    state->lockFile = OsLockFile(JoinPath(folder, kLockFileName).c_str(), busy);
    if (state->lockFile == -1)
        return busy ? paramErr : openErr;
    DeleteAllFiles(folder, kLockFileName);
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

// The working folder under the temporary folder, the full paths of a run's exchange
// files, and the creation of the export file.
#include "bridge/WorkingFolder.h"

#include "bridge/FileNames.h"
#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "platform/Folders.h"

#include <cstring>

namespace {

using NameMaker = bool (*)(PluginState*, std::string&);

std::int16_t PrepareFilePath(PluginState* state, char* field, NameMaker makeName) {
    ValidatePluginState(state);
    std::memset(field, 0, kPathFieldSize);
    std::string folder;
    if (!GetWorkingFolder(folder, true))
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
    if (PathExists(folder)) {
        if (!OsIsTrustedFolder(folder.c_str()))
            return false;
        // Files that cannot be deleted stay; the run goes on without them.
        if (clean)
            DeleteAllFiles(folder);
    } else if (!CreateFolder(folder)) {
        return false;
    }
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

std::int16_t OpenExportFile(PluginState* state) {
    ValidatePluginState(state);
    if (!CloseFile(state->exportFile))
        return openErr;
    return OpenFile(state->exportFile, state->exportFilePath, true, true) ? noErr : openErr;
}

// The launch: the program's folder comes fresh from the settings file on every run, so
// a changed installation takes effect without restarting the host.
#include "bridge/Launcher.h"

#include "bridge/IniFile.h"
#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "host/HostRecords.h"
#include "platform/Folders.h"
#include "platform/Process.h"

#include <string>

namespace {

// What the user reads for a settings file that gave no folder.
void NoteSettingsProblem(RunProblem* problem, const SettingsLookup& lookup) {
    switch (lookup.refusal) {
    case eIniAccepted:
    case eIniEmptyValue:
        NoteProblem(problem, eProblemSettingsEmptyValue, lookup.filePath);
        return;
    case eIniNoProfile:
        NoteProblem(problem, eProblemProfileFolder, OsProfileFolderForMessage());
        return;
    case eIniNoFile:
        NoteProblem(problem, eProblemSettingsMissing, lookup.filePath);
        return;
    case eIniUnreadable:
        NoteProblem(problem, eProblemSettingsUnreadable, lookup.filePath);
        return;
    case eIniTooLong:
        NoteProblem(problem, eProblemSettingsTooLong, lookup.filePath);
        return;
    case eIniByteOrderMark:
        NoteProblem(problem, eProblemSettingsByteOrderMark, lookup.filePath);
        return;
    case eIniLineEnds:
        NoteProblem(problem, eProblemSettingsLineEnds, lookup.filePath);
        return;
    case eIniNoKey:
        NoteProblem(problem, eProblemSettingsNoKey, lookup.filePath);
        return;
    case eIniBracketsInKey:
        NoteProblem(problem, eProblemSettingsBrackets, lookup.filePath);
        return;
    }
}

} // namespace

std::int16_t LaunchApplication(void* platformData, const char* jobPath, bool wait,
                               RunProblem* problem) {
    Require(jobPath != nullptr && jobPath[0] != '\0');
    if (platformData == nullptr)
        return kResultLaunchFailed;
    std::string folder;
    SettingsLookup lookup;
    // An empty folder would leave a bare program name, which Windows looks for in the
    // host's own folders and the search path: start nothing rather than whatever is
    // found there.
    if (!ReadApplicationPath(folder, lookup) || folder.empty()) {
        NoteSettingsProblem(problem, lookup);
        return kResultLaunchFailed;
    }
    const std::string program = JoinPath(folder, kApplicationFileName);
    const auto* platform = static_cast<const PlatformData*>(platformData);
    std::uint32_t error = 0;
    switch (OsLaunchProgram(program.c_str(), jobPath, platform->hwnd, wait, error)) {
    case eLaunchStarted:
    case eLaunchEnded:
        return noErr;
    case eLaunchQuitAfterError:
        return paramErr;
    case eLaunchNotStarted:
        NoteProblem(problem, eProblemProgramNotStarted, program, OsSystemErrorText(error));
        break;
    case eLaunchQuit:
        break;
    }
    return kResultLaunchFailed;
}

std::int16_t CheckProfileFolder(RunProblem* problem) {
    std::string profile;
    if (GetProfileFolder(profile))
        return noErr;
    NoteProblem(problem, eProblemProfileFolder, OsProfileFolderForMessage());
    return kResultLaunchFailed;
}

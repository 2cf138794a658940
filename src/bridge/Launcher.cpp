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

// The cause the user reads for each rule by which a settings file gave no folder.
ERunProblem SettingsProblem(EIniRefusal refusal) {
    switch (refusal) {
    case eIniNoProfile:
        return eProblemProfileFolder;
    case eIniNoFile:
        return eProblemSettingsMissing;
    case eIniUnreadable:
        return eProblemSettingsUnreadable;
    case eIniTooLong:
        return eProblemSettingsTooLong;
    case eIniByteOrderMark:
        return eProblemSettingsByteOrderMark;
    case eIniLineEnds:
        return eProblemSettingsLineEnds;
    case eIniNoKey:
        return eProblemSettingsNoKey;
    case eIniBracketsInKey:
        return eProblemSettingsBrackets;
    case eIniAccepted: // a file that was read but named an empty folder
    case eIniEmptyValue:
        break;
    }
    return eProblemSettingsEmptyValue;
}

// Without a profile folder there is no settings file to name: the folder is named instead.
void NoteSettingsProblem(RunProblem* problem, const SettingsLookup& lookup) {
    const ERunProblem cause = SettingsProblem(lookup.refusal);
    NoteProblem(problem, cause,
                cause == eProblemProfileFolder ? OsProfileFolderForMessage() : lookup.filePath);
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

// The launch: the program's folder comes fresh from the settings file on every run, so
// a changed installation takes effect without restarting the host.
#include "bridge/Launcher.h"

#include "bridge/IniFile.h"
#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "host/HostRecords.h"
#include "platform/Process.h"

#include <string>

std::int16_t LaunchApplication(void* platformData, const char* jobPath, bool wait) {
    Require(jobPath != nullptr && jobPath[0] != '\0');
    if (platformData == nullptr)
        return kResultLaunchFailed;
    std::string folder;
    // An empty folder would leave a bare program name, which Windows looks for in the
    // host's own folders and the search path: start nothing rather than whatever is
    // found there.
    if (!ReadApplicationPath(folder) || folder.empty())
        return kResultLaunchFailed;
    const std::string program = JoinPath(folder, kApplicationFileName);
    const auto* platform = static_cast<const PlatformData*>(platformData);
    switch (OsLaunchProgram(program.c_str(), jobPath, platform->hwnd, wait)) {
    case eLaunchStarted:
    case eLaunchEnded:
        return noErr;
    case eLaunchQuitAfterError:
        return paramErr;
    case eLaunchNotStarted:
    case eLaunchQuit:
        break;
    }
    return kResultLaunchFailed;
}

std::int16_t CheckProfileFolder() {
    std::string profile;
    return GetProfileFolder(profile) ? noErr : kResultLaunchFailed;
}

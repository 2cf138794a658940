// Fuzz target: the settings file. Each input becomes the whole of Lumetra/plugin.ini in a
// private profile folder, read by the plug-in's own ReadApplicationPath.
//
// Besides the sanitizers' checks: files outside 1 to 1022 bytes and files without a
// line ended by CR LF never give a folder, and a folder that is given is an empty text
// or one ending in the separator whose value stands in the file as it was read. Asking
// why a file gave no folder reads the same: a reason exactly when there is no folder.
#include "FuzzSupport.h"

#include "bridge/IniFile.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

std::string gSettingsPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string& profile = PrivateFolder();
    if (::mkdir((profile + "/Lumetra").c_str(), 0700) != 0 || ::setenv("HOME", profile.c_str(), 1))
        Violation("cannot prepare the profile folder");
    gSettingsPath = profile + "/Lumetra/plugin.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteWholeFile(gSettingsPath, data, size);
    std::string folder;
    const bool found = ReadApplicationPath(folder);
    std::string explained;
    SettingsLookup lookup;
    if (ReadApplicationPath(explained, lookup) != found || explained != folder)
        Violation("asking why read the file differently");
    if ((lookup.refusal == eIniAccepted) != found)
        Violation("a reason without a refusal, or a refusal without one");
    if (size > IniFile::kMaxFileLength && !found && lookup.refusal != eIniTooLong)
        Violation("a file too long was refused for another reason");
    if (!found) {
        if (!folder.empty())
            Violation("a failed lookup left a folder");
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size < 1 || size > IniFile::kMaxFileLength)
        Violation("a file outside 1 to 1022 bytes gave a folder");
    if (bytes.find("\r\n") == std::string::npos)
        Violation("a file without a CR LF line gave a folder");
    if (folder.empty())
        return 0;
    if (folder.back() != '/')
        Violation("the folder lacks its trailing separator");
    // The value either ended in the separator already or had it added.
    const std::string withoutAdded = folder.substr(0, folder.size() - 1);
    if (bytes.find(folder) == std::string::npos && bytes.find(withoutAdded) == std::string::npos)
        Violation("the folder is not a value of the file");
    return 0;
}

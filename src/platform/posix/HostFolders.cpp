// Test-side folder steering on Linux.
#include "platform/HostFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// The flag takes an int, whatever the ioctl's name suggests.
bool SetImmutable(int fd, bool immutable) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
}

} // namespace

std::vector<std::string> TemporaryFolderVariables() {
    return {"TMPDIR"};
}

std::string ProfileFolderVariable() {
    return "HOME";
}

bool GetEnvironmentValue(const std::string& name, std::string& value) {
    const char* text = std::getenv(name.c_str());
    value = text != nullptr ? text : "";
    return text != nullptr;
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
    if (value.empty())
        ::unsetenv(name.c_str());
    else
        ::setenv(name.c_str(), value.c_str(), 1);
}

void SetTemporaryFolder(const std::string& path) {
    SetEnvironmentValue("TMPDIR", path);
}

std::vector<std::string> TemporaryFolderEnvironment(const std::string& path) {
    return {"TMPDIR=" + path};
}

bool MakeFileHidden(const std::string&) {
    return true;
}

bool GiveFolderToAnotherUser(const std::string& path) {
    return ::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) == 0;
}

std::intptr_t HoldFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd != -1 && SetImmutable(fd, true))
        return fd;
    why = "cannot mark " + path + " immutable: " + std::strerror(errno);
    if (fd != -1)
        ::close(fd);
    return -1;
}

void ReleaseFile(std::intptr_t hold) {
    if (hold == -1)
        return;
    SetImmutable(static_cast<int>(hold), false);
    ::close(static_cast<int>(hold));
}

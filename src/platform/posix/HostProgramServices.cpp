// Process-level services of the stand-in program and the tests on Linux.
#include "platform/HostProgramServices.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

std::string RawCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            line += ' ';
        line += argv[i];
    }
    return line;
}

void CrashProcess() {
    std::abort();
}

int CountOpenFiles() {
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr)
        return -1;
    int count = 0;
    while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.')
            ++count;
    closedir(folder);
    return count - 1; // the listing's own descriptor
}

int CountSystemHandles() {
    return CountOpenFiles();
}

long NextThreadSlots() {
    return 0;
}

bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool MakeSymbolicLink(const std::string& target, const std::string& path) {
    return ::symlink(target.c_str(), path.c_str()) == 0;
}

// Process-level services of the stand-in program on Linux.
#include "platform/HostProgramServices.h"

#include <cstdlib>

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

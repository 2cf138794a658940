// posix_spawn of the program with exactly the argument vector {program, argument}: no
// shell, so nothing in either path is split or interpreted.
#include "platform/Process.h"

#include <cerrno>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

ELaunchOutcome OsLaunchProgram(const char* program, const char* argument, std::intptr_t,
                               bool wait) {
    std::string programText = program;
    std::string argumentText = argument;
    char* arguments[] = {&programText[0], &argumentText[0], nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return eLaunchNotStarted;
    if (!wait)
        return eLaunchStarted;
    int status = 0;
    // Any failure other than an interruption means there is no child left to wait for
    // (the host may reap its children itself).
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return eLaunchEnded;
}

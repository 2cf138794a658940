// posix_spawn of the program with exactly the argument vector {program, argument}: no
// shell, so nothing in either path is split or interpreted.
#include "platform/Process.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

ELaunchOutcome OsLaunchProgram(const char* program, const char* argument, std::intptr_t, bool wait,
                               std::uint32_t& error) {
    error = 0;
    std::string programText = program;
    std::string argumentText = argument;
    char* arguments[] = {&programText[0], &argumentText[0], nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, nullptr, nullptr, arguments, environ);
    if (spawned != 0) {
        error = static_cast<std::uint32_t>(spawned);
        return eLaunchNotStarted;
    }
    if (!wait)
        return eLaunchStarted;
    int status = 0;
    // Any failure other than an interruption means there is no child left to wait for
    // (the host may reap its children itself).
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return eLaunchEnded;
}

std::string OsSystemErrorText(std::uint32_t error) {
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(error), buffer, sizeof buffer);
    std::string message = text != nullptr && text[0] != '\0' ? text : std::to_string(error);
    if (message.back() != '.')
        message += '.';
    return message;
}

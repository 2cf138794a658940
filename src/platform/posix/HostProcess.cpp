// Starting and waiting for a program with posix_spawn.
#include "platform/HostProcess.h"

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry)
        merged.emplace_back(*entry);
    for (const std::string& item : overrides) {
        const std::string name = item.substr(0, item.find('=') + 1);
        bool replaced = false;
        for (std::string& existing : merged) {
            if (existing.compare(0, name.size(), name) == 0) {
                existing = item;
                replaced = true;
            }
        }
        if (!replaced)
            merged.push_back(item);
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

int RunProgram(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& outputPath) {
    if (arguments.empty())
        return -1;
    std::vector<std::string> argv = arguments;
    std::vector<std::string> envp = MergedEnvironment(environment);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const char* output = outputPath.empty() ? "/dev/null" : outputPath.c_str();
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0].c_str(), &actions, nullptr,
                                  argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

char PathSeparator() { return '/'; }

std::string ProgramFileName(const std::string& name) { return name; }

bool UnprivilegedCommandPrefix(std::vector<std::string>& prefix) {
    prefix.clear();
    if (::geteuid() != 0)
        return true;
    constexpr const char* kSetpriv = "/usr/bin/setpriv";
    if (::access(kSetpriv, X_OK) != 0)
        return false;
    prefix = {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    return true;
}

// Starting and waiting for a program with CreateProcess.
#include "platform/HostProcess.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cctype>
#include <cstring>

namespace {

// Quotes one argument so that the C runtime's command-line parser gives it back unchanged.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == '\\') {
            ++i;
            ++backslashes;
        }
        if (i == argument.size()) {
            quoted.append(backslashes * 2, '\\');
            break;
        }
        if (argument[i] == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        quoted.push_back(argument[i]);
    }
    quoted.push_back('"');
    return quoted;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string EnvironmentBlock(const std::vector<std::string>& overrides) {
    std::vector<std::string> entries;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsA(strings);
    for (const std::string& item : overrides) {
        const std::string name = item.substr(0, item.find('='));
        bool replaced = false;
        for (std::string& existing : entries) {
            // Entries such as "=C:=C:\" start with '='; their name is never overridden.
            if (SameName(existing.substr(0, existing.find('=', 1)), name)) {
                existing = item;
                replaced = true;
            }
        }
        if (!replaced)
            entries.push_back(item);
    }
    std::string block;
    for (const std::string& entry : entries) {
        block += entry;
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

// The file that takes a program's output, inheritable by it. The previous program run with
// the same file may have ended a moment before Wine has closed its copy of the handle, which
// then refuses the file for a short while: a refusal for sharing is tried again.
HANDLE OpenOutput(const std::string& outputPath) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    for (int attempt = 0;; ++attempt) {
        HANDLE output = CreateFileA(outputPath.empty() ? "NUL" : outputPath.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
            attempt == 200)
            return output;
        Sleep(10);
    }
}

} // namespace

int RunProgram(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& outputPath) {
    if (arguments.empty())
        return -1;
    std::string commandLine;
    for (const std::string& argument : arguments)
        commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(argument);
    std::string block = EnvironmentBlock(environment);

    HANDLE output = OpenOutput(outputPath);
    if (output == INVALID_HANDLE_VALUE)
        return -1;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0,
                                        &block[0], nullptr, &startup, &process);
    CloseHandle(output);
    if (!started)
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

char PathSeparator() { return '\\'; }

std::string ProgramFileName(const std::string& name) { return name + ".exe"; }

bool UnprivilegedCommandPrefix(std::vector<std::string>& prefix) {
    prefix.clear();
    return false;
}

// RunProgram passes every argument through unchanged, sets the environment it is given,
// captures the output and reports the exit code; the end-to-end tests rely on all four.
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    std::string clean;
    for (char c : s)
        if (c != '\r')
            clean.push_back(c);
    return clean;
}

TEST(RunProgramTest, PassesArgumentsEnvironmentAndExitCode) {
    const std::string probe = ExecutableFolder() + ProgramFileName("args_probe");
    const std::string output = "run-program-test.txt";
    const int code = RunProgram({probe, "7", "two words", "quote\"inside", "back\\slash\\",
                                 "", "C:\\Program Files\\x\\"},
                                {"PROBE_VALUE=a b&c"}, output);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(ReadText(output), "[7]\n[two words]\n[quote\"inside]\n[back\\slash\\]\n[]\n"
                                "[C:\\Program Files\\x\\]\nPROBE_VALUE=a b&c\n");
    std::remove(output.c_str());
}

TEST(RunProgramTest, MissingProgramIsReported) {
    EXPECT_EQ(RunProgram({ExecutableFolder() + ProgramFileName("no_such_program")}, {}, ""), -1);
}

} // namespace

// A tiny program for the tests of RunProgram: prints each argument on its own line,
// then the value of PROBE_VALUE, and exits with the code given as its first argument.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        std::printf("[%s]\n", argv[i]);
    const char* value = std::getenv("PROBE_VALUE");
    std::printf("PROBE_VALUE=%s\n", value != nullptr ? value : "(unset)");
    return argc > 1 ? std::atoi(argv[1]) : 0;
}

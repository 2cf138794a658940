// A small program to launch in the tests: like the stand-in program it logs its
// arguments to the file named by LUMETRA_APP_LOG and sleeps for LUMETRA_APP_MODE=sleep=<ms>,
// then it leaves "Lumetra_Processed.ppm" beside the job document it was given.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (const char* log = std::getenv("LUMETRA_APP_LOG")) {
        if (std::FILE* out = std::fopen(log, "ab")) {
            std::fprintf(out, "argc %d\n", argc);
            for (int i = 0; i < argc; ++i)
                std::fprintf(out, "argv[%d] %s\n", i, argv[i]);
            std::fclose(out);
        }
    }
    const char* mode = std::getenv("LUMETRA_APP_MODE");
    if (mode != nullptr && std::strcmp(mode, "none") == 0)
        return 0;
    if (mode != nullptr && std::strncmp(mode, "sleep=", 6) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(mode + 6)));
    if (argc < 2)
        return 1;
    std::string result = argv[1];
    result = result.substr(0, result.find_last_of("/\\") + 1) + "Lumetra_Processed.ppm";
    if (std::FILE* out = std::fopen(result.c_str(), "wb")) {
        std::fputs("processed", out);
        std::fclose(out);
    }
    return 0;
}

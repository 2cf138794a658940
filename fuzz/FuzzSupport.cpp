// The private folder, file writes and violations of the fuzz targets.
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <unistd.h>

namespace {

std::string gFolder;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

void RemovePrivateFolder() {
    if (!gFolder.empty())
        ::nftw(gFolder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace

const std::string& PrivateFolder() {
    if (gFolder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (base != nullptr && base[0] != '\0') ? base : "/tmp";
        pattern += "/lumetra-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            Violation("cannot create the private folder");
        gFolder = pattern;
        std::atexit(RemovePrivateFolder);
    }
    return gFolder;
}

void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    // A new file rather than a truncated one: some file systems flush a file that was
    // truncated and written again when it is closed, which slows fuzzing a hundredfold.
    std::remove(path.c_str());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size) ||
        std::fclose(file) != 0)
        Violation("cannot write the input file");
}

void Violation(const char* what) {
    std::fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}

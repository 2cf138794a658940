// The export when the file system refuses a write in the middle of the raster: a file
// size limit (RLIMIT_FSIZE, with SIGXFSZ ignored so that the write fails instead of ending
// the process) stands for a full disk.
#include "BatchHost.h"

#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ImageExport.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* kPath = "export-write-limit-test.ppm";

int OpenDescriptors() {
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr)
            ++count;
        closedir(folder);
    }
    return count;
}

TEST(ExportWriteLimit, ARefusedWriteInsideTheRasterEndsTheExportWithWritErr) {
    // 8-bit RGB, 1500 pixels a row (segments of 6000 and 3000 bytes), 240 rows: more than
    // eight blocks. The limit falls inside the third block.
    BatchHost host(plugInModeRGBColor, 8, 3, 240, 1500);
    for (std::size_t i = 0; i < host.input.size(); ++i)
        host.input[i] = static_cast<std::uint8_t>(i * 131);
    std::string expected = "P6\n1500\n240\n65535\n";
    for (const std::uint8_t v : host.input)
        expected.append(2, static_cast<char>(v));
    const rlim_t limit = 2 * kExportBlockBytes + 4321;

    const int descriptors = OpenDescriptors();
    PluginState& state = host.State();
    ASSERT_TRUE(OpenFile(state.exportFile, kPath, true, true));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedSignal)(int) = signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{limit, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::int16_t result = ExportDocument(&state);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedSignal);

    EXPECT_EQ(result, writErr);
    EXPECT_EQ(state.converter, nullptr);
    EXPECT_EQ(CloseExportFile(&state), noErr);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    // On disk exactly what the file system took; no batch asked for after the refused
    // write, which came at the latest one block after the limit.
    std::ifstream in(kPath, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected.substr(0, limit));
    std::size_t requested = 0;
    for (const BatchRequest& r : host.requests)
        requested += std::size_t(r.in.right - r.in.left) * 6;
    EXPECT_GT(requested, std::size_t(limit) - 19);
    EXPECT_LE(requested, std::size_t(limit) + kExportBlockBytes + 6000);
    std::remove(kPath);
}

} // namespace

// Export alone and import alone, for every document format at three sizes, each beside
// two floors measured in the same run on the same folder, each the file I/O plus one copy
// of the document: the physical floor, the same bytes written in large calls and read in
// whichever of segment-sized and large calls the machine serves faster, and the segment
// floor, the same bytes in the same segment-sized calls as the transfers make them. Each
// transfer runs with the kernel set this processor gets and, in turn with it, with the
// SSE2 set (the portable loops), so that the kernels' gain shows. Prints the ratios as a
// table at the end, with the plug-in's peak heap during each transfer.
#include "BenchHost.h"
#include "HeapCounter.h"

#include "convert/ConvertKernels.h"
#include "core/FileAccess.h"
#include "exchange/ImageExport.h"
#include "exchange/ResultImport.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"
#include "platform/ProcessorFeatures.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

const BenchFormat kFormats[] = {
    {"RGB 8", plugInModeRGBColor, 8, 3},  {"RGB 16", plugInModeRGB48, 16, 3},
    {"RGB 32", plugInModeRGB96, 32, 3},   {"gray 8", plugInModeGrayScale, 8, 1},
    {"gray 16", plugInModeGray16, 16, 1}, {"gray 32", plugInModeGray32, 32, 1},
};

struct BenchSize {
    const char* name;
    std::int32_t width, height;
    int pairs; // measurements of the plug-in and of its floor, taken in turn
};

// Camera-like shapes; no width is a multiple of the 1000-pixel segment.
const BenchSize kSizes[] = {
    {"1 MP", 1224, 816, 15}, {"12 MP", 4240, 2832, 7}, {"48 MP", 8480, 5664, 7}};

struct Figures {
    double plugin = 0;    // median seconds, with the kernel set this processor gets
    double reference = 0; // the same with the reference (SSE2) set
    double floor = 0;     // the physical floor
    double segmentFloor = 0;
    double pluginCpu = 0;    // median seconds of this thread's processor time
    double floorCpu = 0;     // the same for the physical floor
    bool largeReads = false; // the import's physical floor read in large calls
    std::size_t heap = 0;    // largest peak of all measurements
};

// The set the plug-in chooses here, and the one its gain is measured against: the first
// set of the build, the portable loops (SSE2 code on x86).
const ConvertKernels& ChosenKernels() {
    return ChooseKernels(QueryProcessorFeatures());
}
const ConvertKernels& ReferenceKernels() {
    return GetKernelSet(0);
}

struct CaseResult {
    std::string format, size;
    double megapixels = 0;
    Figures exported, imported;
};

std::vector<CaseResult> gResults;
std::string gFolder;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Wall time, and the processor time of this thread (user and kernel): on a shared machine
// the second stays close to what a quiet one would show for work that does not wait.
struct Lap {
    double wall = -1;
    double cpu = -1;
};

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

class CStopwatch {
public:
    CStopwatch() : m_wall(Clock::now()), m_cpu(ThreadSeconds()) {}
    Lap Stop() const { return {Seconds(m_wall, Clock::now()), ThreadSeconds() - m_cpu}; }

private:
    Clock::time_point m_wall;
    double m_cpu;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The shape of the exchange file: its header and the bytes of every segment in order.
struct FileShape {
    std::size_t headerBytes;
    std::vector<std::uint32_t> segments; // one row's segments, in bytes
    std::int32_t rows;
};

FileShape ShapeOf(const BenchFormat& format, const BenchSize& size) {
    const bool isFloat = format.depth == 32;
    const std::string header = std::string(isFloat ? "PF" : "P6") + "\n" +
                               std::to_string(size.width) + "\n" + std::to_string(size.height) +
                               "\n" + (isFloat ? "-1" : "65535") + "\n";
    FileShape shape{header.size(), {}, size.height};
    const std::uint32_t pixelBytes = isFloat ? 12 : 6;
    for (std::int32_t left = 0; left < size.width; left += 1000)
        shape.segments.push_back(static_cast<std::uint32_t>(std::min(1000, size.width - left)) *
                                 pixelBytes);
    return shape;
}

std::size_t FileBytes(const FileShape& shape) {
    std::size_t row = 0;
    for (const std::uint32_t bytes : shape.segments)
        row += bytes;
    return shape.headerBytes + row * std::size_t(shape.rows);
}

// The segment floor's buffer is the largest segment, one of float samples. The physical
// floor's calls move kLargeCallBytes: on this machine writes of 256 KiB took less time
// than those of 64 KiB and of 1 MiB, and reads of 256 KiB about as little as 1 MiB.
unsigned char gChunk[12000];
constexpr std::size_t kLargeCallBytes = 256 * 1024;
std::vector<unsigned char> gLarge(kLargeCallBytes);

// The calls a floor makes: the header and each segment of each row, or the whole file in
// large calls.
template <typename Call>
bool EachCall(const FileShape& shape, bool large, Call call) {
    bool complete = true;
    if (large) {
        for (std::size_t left = FileBytes(shape); left > 0;) {
            const std::size_t bytes = std::min(left, kLargeCallBytes);
            complete &= call(gLarge.data(), bytes);
            left -= bytes;
        }
        return complete;
    }
    complete &= call(gChunk, shape.headerBytes);
    for (std::int32_t row = 0; row < shape.rows; ++row)
        for (const std::uint32_t bytes : shape.segments)
            complete &= call(gChunk, bytes);
    return complete;
}

Lap ExportFloor(const std::string& path, const FileShape& shape, const CBenchHost& host,
                std::vector<std::uint8_t>& copy, bool large) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0)
        return {};
    const CStopwatch watch;
    std::memcpy(copy.data(), host.Pixels(), host.DocumentBytes());
    const bool complete = EachCall(shape, large, [file](unsigned char* bytes, std::size_t count) {
        return write(file, bytes, count) == ssize_t(count);
    });
    const Lap lap = watch.Stop();
    benchmark::DoNotOptimize(copy.data());
    close(file);
    return complete ? lap : Lap{};
}

Lap ImportFloor(const std::string& path, const FileShape& shape, const CBenchHost& host,
                std::vector<std::uint8_t>& copy, bool large) {
    const int file = open(path.c_str(), O_RDONLY);
    if (file < 0)
        return {};
    const CStopwatch watch;
    const bool complete = EachCall(shape, large, [file](unsigned char* bytes, std::size_t count) {
        return read(file, bytes, count) == ssize_t(count);
    });
    std::memcpy(copy.data(), host.Pixels(), host.DocumentBytes());
    const Lap lap = watch.Stop();
    benchmark::DoNotOptimize(copy.data());
    close(file);
    return complete ? lap : Lap{};
}

Lap TimeExport(CBenchHost& host, const std::string& path, std::size_t& heap,
               const ConvertKernels& kernels) {
    PluginState& state = host.State();
    if (!OpenFile(state.exportFile, path.c_str(), true, true))
        return {};
    const CStopwatch watch;
    StartHeapCount();
    const std::int16_t result = ExportDocument(&state, kernels);
    heap = StopHeapCount();
    const Lap lap = watch.Stop();
    return CloseExportFile(&state) == 0 && result == 0 ? lap : Lap{};
}

Lap TimeImport(CBenchHost& host, const std::string& path, std::size_t& heap,
               const ConvertKernels& kernels) {
    PluginState& state = host.State();
    std::snprintf(state.processedFilePath, sizeof state.processedFilePath, "%s", path.c_str());
    if (OpenProcessedFile(&state) != 0)
        return {};
    const CStopwatch watch;
    StartHeapCount();
    const std::int16_t result = ImportDocument(&state, kernels);
    heap = StopHeapCount();
    const Lap lap = watch.Stop();
    return CloseProcessedFile(&state) == 0 && result == 0 ? lap : Lap{};
}

// One case: the plug-in with its chosen kernels, the plug-in with the reference kernels,
// the segment floor and the large-call floor, measured in turn (the order rotates), the
// plug-in's times reported to the library, the medians kept for the table. The physical
// floor is the large-call one for the export, the faster of the two for the import.
void RunCase(benchmark::State& state, const BenchFormat& format, const BenchSize& size,
             bool isExport) {
    CBenchHost host(format, size.height, size.width);
    std::vector<std::uint8_t> copy(host.DocumentBytes(), 1);
    const FileShape shape = ShapeOf(format, size);
    const std::string extension = format.depth == 32 ? ".pfm" : ".ppm";
    const std::string exportPath = gFolder + "Lumetra" + extension;
    const std::string processedPath = gFolder + "Lumetra_Processed" + extension;
    std::size_t heap = 0;
    if (!isExport && TimeExport(host, processedPath, heap, ChosenKernels()).wall < 0) {
        state.SkipWithError("the processed file could not be written");
        return;
    }
    const auto transfer = [&](const ConvertKernels& kernels) {
        return isExport ? TimeExport(host, exportPath, heap, kernels)
                        : TimeImport(host, processedPath, heap, kernels);
    };

    const auto floorLap = [&](bool large) {
        return isExport ? ExportFloor(exportPath, shape, host, copy, large)
                        : ImportFloor(processedPath, shape, host, copy, large);
    };

    std::vector<double> plugin, reference, segment, large, pluginCpu, segmentCpu, largeCpu;
    Figures figures;
    for (auto _ : state) {
        Lap mine, baseline, small, big;
        for (std::size_t turn = 0; turn < 4; ++turn) {
            switch ((turn + plugin.size()) % 4) {
            case 0:
                mine = transfer(ChosenKernels());
                figures.heap = std::max(figures.heap, heap);
                break;
            case 1:
                baseline = transfer(ReferenceKernels());
                figures.heap = std::max(figures.heap, heap);
                break;
            case 2:
                small = floorLap(false);
                break;
            default:
                big = floorLap(true);
            }
        }
        if (mine.wall < 0 || baseline.wall < 0 || small.wall < 0 || big.wall < 0) {
            state.SkipWithError("a transfer failed");
            return;
        }
        plugin.push_back(mine.wall);
        reference.push_back(baseline.wall);
        segment.push_back(small.wall);
        large.push_back(big.wall);
        pluginCpu.push_back(mine.cpu);
        segmentCpu.push_back(small.cpu);
        largeCpu.push_back(big.cpu);
        state.SetIterationTime(mine.wall);
    }
    figures.reference = Median(reference);
    figures.plugin = Median(plugin);
    figures.segmentFloor = Median(segment);
    figures.largeReads = !isExport && Median(large) < figures.segmentFloor;
    const bool largeFloor = isExport || figures.largeReads;
    figures.floor = largeFloor ? Median(large) : figures.segmentFloor;
    figures.pluginCpu = Median(pluginCpu);
    figures.floorCpu = Median(largeFloor ? largeCpu : segmentCpu);
    const double megapixels = double(size.width) * double(size.height) / 1e6;
    state.counters["MP/s"] = megapixels / figures.plugin;
    state.counters["floor_MP/s"] = megapixels / figures.floor;
    state.counters["ratio"] = figures.plugin / figures.floor;
    state.counters["segment_ratio"] = figures.plugin / figures.segmentFloor;
    state.counters["ratio_sse2"] = figures.reference / figures.floor;
    state.counters["cpu_ratio"] = figures.pluginCpu / figures.floorCpu;
    state.counters["heap_peak"] = double(figures.heap);

    auto found = std::find_if(gResults.begin(), gResults.end(), [&](const CaseResult& r) {
        return r.format == format.name && r.size == size.name;
    });
    if (found == gResults.end()) {
        gResults.push_back({format.name, size.name, megapixels, {}, {}});
        found = gResults.end() - 1;
    }
    (isExport ? found->exported : found->imported) = figures;
    std::remove(exportPath.c_str());
    std::remove(processedPath.c_str());
}

// The whole start call of the built module, from the host's side: the working folder, the
// export, the job document, the stand-in program in copy mode and the import. Its figure
// is the module's peak heap during that call; the time includes the program's run.
struct StartResult {
    std::string size;
    double seconds = 0;
    std::size_t heap = 0;
    int result = 0;
};
std::vector<StartResult> gStarts;

void RunStart(benchmark::State& state, const BenchSize& size) {
    const BenchFormat& format = kFormats[1];
    CBenchHost host(format, size.height, size.width);
    LoadedModule module;
    if (!module.Loaded()) {
        state.SkipWithError(module.Error().c_str());
        return;
    }
    FakeHost& fake = host.Host();
    std::vector<double> times;
    StartResult figures{size.name, 0, 0, 0};
    for (auto _ : state) {
        fake.result = 0;
        module.Call(filterSelectorPrepare, &fake.record, &fake.slot, &fake.result);
        const CStopwatch watch;
        StartHeapCount();
        module.Call(filterSelectorStart, &fake.record, &fake.slot, &fake.result);
        figures.heap = std::max(figures.heap, StopHeapCount());
        const Lap lap = watch.Stop();
        if (fake.result != 0) {
            figures.result = fake.result;
            state.SkipWithError("the start call failed");
            break;
        }
        times.push_back(lap.wall);
        state.SetIterationTime(times.back());
    }
    if (times.empty())
        return;
    figures.seconds = Median(times);
    state.counters["heap_peak"] = double(figures.heap);
    gStarts.push_back(figures);
}

// The settings file and environment of the start calls: the stand-in program beside this
// benchmark, copy mode, a profile and temporary folder inside the benchmark's folder.
bool PrepareStartCalls() {
    const std::string profile = gFolder + "profile/";
    const std::string temp = gFolder + "temp/";
    if (mkdir(profile.c_str(), 0700) != 0 || mkdir((profile + "Lumetra").c_str(), 0700) != 0 ||
        mkdir(temp.c_str(), 0700) != 0)
        return false;
    std::FILE* settings = std::fopen((profile + "Lumetra/plugin.ini").c_str(), "wb");
    if (settings == nullptr)
        return false;
    std::fprintf(settings, "[General]\r\nApplicationPath=%s\r\n", ExecutableFolder().c_str());
    std::fclose(settings);
    return setenv("HOME", profile.c_str(), 1) == 0 && setenv("TMPDIR", temp.c_str(), 1) == 0 &&
           setenv("LUMETRA_APP_MODE", "copy", 1) == 0;
}

// The table as the README shows it: per transfer the rates, the ratio to the physical floor
// (wall clock and thread time) with the chosen kernels, the wall-clock ratio with the
// reference kernels, and the segment floor with the ratio to it.
void PrintTable() {
    std::printf("\nkernels: %s (reference: %s); medians; ratio = plug-in time / physical floor "
                "time (wall clock), cpu = the same for this thread's processor time, %s = the "
                "wall-clock ratio with the reference kernels, seg = the segment floor and the "
                "ratio to it\n",
                ChosenKernels().name, ReferenceKernels().name, ReferenceKernels().name);
    std::printf("the plug-in writes blocks of %u bytes and reads blocks of %u bytes; the "
                "physical floor writes calls of %zu bytes and reads the faster of segment calls "
                "and calls of %zu bytes (reads: seg or large)\n",
                static_cast<unsigned>(kExportBlockBytes), static_cast<unsigned>(kImportBlockBytes),
                kLargeCallBytes, kLargeCallBytes);
    const char* head = "%-8s %-6s | %6s %6s %5s %5s %5s %6s %5s | %6s %6s %5s %5s %5s %6s %5s %5s "
                       "| %8s %8s\n";
    std::printf(head, "format", "size", "export", "floor", "ratio", "cpu", ReferenceKernels().name,
                "seg", "ratio", "import", "floor", "ratio", "cpu", ReferenceKernels().name, "seg",
                "ratio", "reads", "heap exp", "heap imp");
    std::printf(head, "", "", "MP/s", "MP/s", "", "", "", "MP/s", "", "MP/s", "MP/s", "", "", "",
                "MP/s", "", "", "bytes", "bytes");
    for (const CaseResult& r : gResults) {
        const auto rate = [&r](double seconds) { return seconds > 0 ? r.megapixels / seconds : 0; };
        const auto ratio = [](double mine, double theirs) {
            return theirs > 0 ? mine / theirs : 0;
        };
        const Figures& e = r.exported;
        const Figures& i = r.imported;
        std::printf(
            "%-8s %-6s | %6.0f %6.0f %5.2f %5.2f %5.2f %6.0f %5.2f | %6.0f %6.0f %5.2f "
            "%5.2f %5.2f %6.0f %5.2f %5s | %8zu %8zu\n",
            r.format.c_str(), r.size.c_str(), rate(e.plugin), rate(e.floor),
            ratio(e.plugin, e.floor), ratio(e.pluginCpu, e.floorCpu), ratio(e.reference, e.floor),
            rate(e.segmentFloor), ratio(e.plugin, e.segmentFloor), rate(i.plugin), rate(i.floor),
            ratio(i.plugin, i.floor), ratio(i.pluginCpu, i.floorCpu), ratio(i.reference, i.floor),
            rate(i.segmentFloor), ratio(i.plugin, i.segmentFloor), i.largeReads ? "large" : "seg",
            e.heap, i.heap);
    }
    if (!gStarts.empty())
        std::printf("\nwhole start call, RGB 16 (export, program in copy mode, import):\n");
    for (const StartResult& r : gStarts)
        std::printf("  %-6s %8.0f ms  module heap peak %zu bytes\n", r.size.c_str(),
                    r.seconds * 1000, r.heap);
}

std::string BenchFolder() {
    const char* temp = std::getenv("TMPDIR");
    std::string folder = (temp != nullptr && temp[0] != '\0') ? temp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    folder += "lumetra-bench-" + std::to_string(getpid()) + "/";
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("transfer_bench: kernels %s, each transfer also with %s\n", ChosenKernels().name,
                ReferenceKernels().name);
    gFolder = BenchFolder();
    if (mkdir(gFolder.c_str(), 0700) != 0) {
        std::perror(gFolder.c_str());
        return 1;
    }
    for (const BenchSize& size : kSizes)
        for (const BenchFormat& format : kFormats)
            for (const bool isExport : {true, false}) {
                std::string name =
                    std::string(isExport ? "Export/" : "Import/") + format.name + "/" + size.name;
                name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                benchmark::RegisterBenchmark(name.c_str(), RunCase, format, size, isExport)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(size.pairs);
            }
    if (!PrepareStartCalls()) {
        std::perror("settings for the start calls");
        return 1;
    }
    for (const BenchSize& size : kSizes) {
        std::string name = std::string("Start/RGB16/") + size.name;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        benchmark::RegisterBenchmark(name.c_str(), RunStart, size)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string remove = "rm -rf '" + gFolder + "'";
    if (std::system(remove.c_str()) != 0)
        std::perror(remove.c_str());
    PrintTable();
    return 0;
}

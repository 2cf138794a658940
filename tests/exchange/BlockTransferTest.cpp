// The transfers over files of many write and read blocks: the bytes that reach the file
// and the host, and where a cancel or a short file leaves them.
#include "BatchHost.h"

#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ImageExport.h"
#include "exchange/ResultImport.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* kPath = "block-transfer-test.ppm";

// 8-bit RGB, 1500 pixels a row (segments of 6000 and 3000 bytes in the file), 240 rows:
// a raster of more than eight blocks either way.
constexpr std::int32_t kWidth = 1500;
constexpr std::int32_t kHeight = 240;
const std::string kHeader = "P6\n1500\n240\n65535\n";

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Fill(BatchHost& host) {
    for (std::size_t i = 0; i < host.input.size(); ++i)
        host.input[i] = static_cast<std::uint8_t>((i * 131 + i / 4099) & 0xFF);
}

// The export file of the filled document: each 8-bit sample v as v × 257.
std::string ExpectedFile(const BatchHost& host) {
    std::string file = kHeader;
    for (const std::uint8_t v : host.input)
        file.append(2, static_cast<char>(v));
    return file;
}

// The file bytes of the first `batches` batches, in the row order of the transfers.
std::size_t BatchBytes(std::size_t batches) {
    return (batches / 2) * 9000 + (batches % 2) * 6000;
}

class BlockTransferTest : public testing::Test {
protected:
    void TearDown() override { std::remove(kPath); }
};

TEST_F(BlockTransferTest, ExportWholeAndCancelledInsideABlock) {
    ASSERT_GT(BatchBytes(2 * kHeight), 8 * std::size_t(kExportBlockBytes));
    struct Case {
        const char* name;
        std::int32_t abortAfter;
        std::int16_t result;
        std::size_t batches; // in the file afterwards
    };
    const Case cases[] = {
        {"every batch", -1, noErr, 2 * kHeight},
        {"cancel after batch 101", 101, userCanceledErr, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost host(plugInModeRGBColor, 8, 3, kHeight, kWidth);
        Fill(host);
        host.abortAfter = c.abortAfter;
        PluginState& state = host.State();
        ASSERT_TRUE(OpenFile(state.exportFile, kPath, true, true));
        EXPECT_EQ(ExportDocument(&state), c.result);
        EXPECT_EQ(CloseExportFile(&state), noErr);
        EXPECT_EQ(host.requests.size(), c.batches);
        EXPECT_EQ(ReadFile(kPath),
                  ExpectedFile(host).substr(0, kHeader.size() + BatchBytes(c.batches)));
    }
}

TEST_F(BlockTransferTest, ImportWholeAndCutInsideALaterBlock) {
    // The high byte of each exchange sample is the 8-bit host sample.
    BatchHost source(plugInModeRGBColor, 8, 3, kHeight, kWidth);
    Fill(source);
    std::string file = kHeader;
    for (std::size_t i = 0; i < source.input.size(); ++i) {
        file += static_cast<char>(source.input[i]);
        file += static_cast<char>(i * 7);
    }
    struct Case {
        const char* name;
        std::size_t rasterBytes;
        std::int16_t result;
        std::size_t batches; // delivered
    };
    const std::size_t cut = 5 * std::size_t(kImportBlockBytes) + 777;
    std::size_t whole = 0; // the batches that end before the cut
    while (BatchBytes(whole + 1) <= cut)
        ++whole;
    const Case cases[] = {
        {"whole file", file.size() - kHeader.size(), noErr, 2 * kHeight},
        {"cut in the sixth block", cut, readErr, whole},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost host(plugInModeRGBColor, 8, 3, kHeight, kWidth);
        std::ofstream(kPath, std::ios::binary) << file.substr(0, kHeader.size() + c.rasterBytes);
        PluginState& state = host.State();
        std::strcpy(state.processedFilePath, kPath);
        ASSERT_EQ(OpenProcessedFile(&state), noErr);
        EXPECT_EQ(ImportDocument(&state), c.result);
        EXPECT_EQ(CloseProcessedFile(&state), noErr);
        EXPECT_EQ(host.requests.size(), c.batches);
        const std::size_t delivered = BatchBytes(c.batches) / 2;
        for (std::size_t i = 0; i < host.output.size(); ++i)
            ASSERT_EQ(host.output[i], i < delivered ? source.input[i] : 0) << "sample " << i;
    }
}

} // namespace

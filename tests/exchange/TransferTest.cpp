// The export and import loops in-process, against the batch host: the requests they make,
// the bytes they write and deliver, and every way they can stop.
#include "BatchHost.h"

#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "exchange/ImageExport.h"
#include "exchange/ResultImport.h"
#include "host/HostConstants.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char* kExportPath = "transfer-test-export.bin";
const char* kProcessedPath = "transfer-test-processed.bin";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The exchange sample of a host 16-bit value: times 65535/32768 in single precision,
// limited to 65535 and truncated, big-endian.
std::string Exchange16(std::uint16_t host) {
    const float scaled = static_cast<float>(static_cast<double>(host) * (65535.0 / 32768.0));
    const auto value = static_cast<std::uint16_t>(std::fmin(scaled, 65535.0f));
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

std::string BigEndian16(std::uint16_t value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

std::uint16_t Host16(const std::vector<std::uint8_t>& samples, std::size_t index) {
    std::uint16_t value;
    std::memcpy(&value, samples.data() + index * 2, 2);
    return value;
}

void SetHost16(std::vector<std::uint8_t>& samples, std::size_t index, std::uint16_t value) {
    std::memcpy(samples.data() + index * 2, &value, 2);
}

bool NoMessageBoxes() {
    return PathSeparator() == '/';
}

class TransferTest : public testing::Test {
protected:
    void SetUp() override {
        std::remove(kExportPath);
        std::remove(kProcessedPath);
    }
    void TearDown() override {
        std::remove(kExportPath);
        std::remove(kProcessedPath);
    }
    static void OpenExport(PluginState& state) {
        ASSERT_TRUE(OpenFile(state.exportFile, kExportPath, true, true));
    }
    // The result a run reports: an escaping EError becomes its code, as at the entry point.
    static std::int16_t Export(BatchHost& host) {
        PluginState& state = host.State();
        OpenExport(state);
        std::int16_t result = noErr;
        try {
            result = ExportDocument(&state);
        } catch (EError error) {
            result = static_cast<std::int16_t>(error);
        }
        EXPECT_EQ(state.converter, nullptr);
        EXPECT_EQ(CloseExportFile(&state), noErr);
        EXPECT_EQ(state.exportFile, -1);
        return result;
    }
    static std::int16_t Import(BatchHost& host, const std::string& bytes) {
        PluginState& state = host.State();
        WriteFile(kProcessedPath, bytes);
        std::strcpy(state.processedFilePath, kProcessedPath);
        EXPECT_EQ(OpenProcessedFile(&state), noErr);
        const std::int16_t result = ImportDocument(&state);
        EXPECT_EQ(state.converter, nullptr);
        EXPECT_EQ(CloseProcessedFile(&state), noErr);
        EXPECT_EQ(state.processedFile, -1);
        return result;
    }
};

TEST_F(TransferTest, WideRowsGoOutInThreeSegmentsWithTheirPixels) {
    BatchHost host(plugInModeRGB48, 16, 3, 8, 2500);
    for (std::size_t i = 0; i < host.input.size() / 2; ++i)
        SetHost16(host.input, i, static_cast<std::uint16_t>((i * 7919) % 32769));
    ASSERT_EQ(Export(host), noErr);

    ASSERT_EQ(host.requests.size(), 24u);
    const BatchRequest& second = host.requests[7 * 3 + 1]; // row 7, second segment
    EXPECT_EQ(second.in.top, 7);
    EXPECT_EQ(second.in.left, 1000);
    EXPECT_EQ(second.in.bottom, 8);
    EXPECT_EQ(second.in.right, 2000);
    for (std::size_t n = 0; n < host.requests.size(); ++n) {
        const BatchRequest& r = host.requests[n];
        const std::int32_t left[] = {0, 1000, 2000};
        const std::int32_t right[] = {1000, 2000, 2500};
        EXPECT_EQ(r.in.top, static_cast<std::int32_t>(n / 3));
        EXPECT_EQ(r.in.bottom, static_cast<std::int32_t>(n / 3 + 1));
        EXPECT_EQ(r.in.left, left[n % 3]);
        EXPECT_EQ(r.in.right, right[n % 3]);
        EXPECT_EQ(std::memcmp(&r.in, &r.out, sizeof r.in), 0);
        EXPECT_EQ(r.inLoPlane, 0);
        EXPECT_EQ(r.inHiPlane, 2);
        EXPECT_EQ(r.outLoPlane, 0);
        EXPECT_EQ(r.outHiPlane, 2);
        EXPECT_EQ(r.inputRate, kFixedOne);
        EXPECT_EQ(r.maskRate, kFixedOne);
    }
    std::string expected = "P6\n2500\n8\n65535\n";
    for (std::size_t i = 0; i < host.input.size() / 2; ++i)
        expected += Exchange16(Host16(host.input, i));
    EXPECT_EQ(ReadFile(kExportPath), expected);
    // The export only reads: nothing was written into the host's output.
    EXPECT_EQ(host.output, std::vector<std::uint8_t>(host.output.size(), 0));
}

TEST_F(TransferTest, SegmentCountsAtTheCapacity) {
    struct Case {
        std::int32_t width;
        std::vector<std::int32_t> rights;
    };
    const Case cases[] = {
        {1, {1}}, {999, {999}}, {1000, {1000}}, {1001, {1000, 1001}}, {2000, {1000, 2000}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        BatchHost host(plugInModeRGBColor, 8, 3, 1, c.width);
        ASSERT_EQ(Export(host), noErr);
        ASSERT_EQ(host.requests.size(), c.rights.size());
        for (std::size_t n = 0; n < c.rights.size(); ++n) {
            EXPECT_EQ(host.requests[n].in.left, static_cast<std::int32_t>(n * 1000));
            EXPECT_EQ(host.requests[n].in.right, c.rights[n]);
        }
        EXPECT_EQ(ReadFile(kExportPath).size(),
                  ("P6\n" + std::to_string(c.width) + "\n1\n65535\n").size() +
                      static_cast<std::size_t>(c.width) * 6);
    }
}

TEST_F(TransferTest, SixteenBitCoordinatesUseTheSmallRectangles) {
    BatchHost host(plugInModeGrayScale, 8, 1, 2, 3);
    host.fake.big.PluginUsing32BitCoordinates = 0;
    host.fake.big.imageSize32 = {999, 999}; // not consulted without 32-bit coordinates
    host.input = {0, 1, 128, 254, 255, 7};
    ASSERT_EQ(Export(host), noErr);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].in.top, 1);
    EXPECT_EQ(host.requests[1].in.right, 3);
    EXPECT_EQ(host.requests[1].inHiPlane, 0); // gray: plane 0 only
    EXPECT_EQ(host.fake.big.inRect32.bottom, 0);
    std::string expected = "P6\n3\n2\n65535\n";
    for (std::uint8_t v : host.input)
        for (int c = 0; c < 3; ++c)
            expected += BigEndian16(static_cast<std::uint16_t>(v * 257));
    EXPECT_EQ(ReadFile(kExportPath), expected);
}

TEST_F(TransferTest, FloatSamplesAreLittleEndianAndUnchanged) {
    BatchHost host(plugInModeRGB96, 32, 3, 1, 2);
    const float samples[] = {1.0f, 0.5f, 0.25f, 2.5f, -0.25f, 0.0f};
    std::memcpy(host.input.data(), samples, sizeof samples);
    ASSERT_EQ(Export(host), noErr);
    EXPECT_EQ(ReadFile(kExportPath), std::string("PF\n2\n1\n-1\n"
                                                 "\x00\x00\x80\x3F\x00\x00\x00\x3F\x00\x00\x80\x3E"
                                                 "\x00\x00\x20\x40\x00\x00\x80\xBE\x00\x00\x00\x00",
                                                 10 + 24));
}

TEST_F(TransferTest, ExportStopsAtTheFirstFailure) {
    struct Case {
        const char* name;
        std::int32_t abortAfter;
        std::int32_t failRequest;
        OSErr failCode;
        std::int32_t inRowBytes; // -1: the whole row
        std::int16_t result;
        std::size_t batchesWritten;
    };
    const Case cases[] = {
        {"cancel after the first batch", 1, 0, 0, -1, userCanceledErr, 1},
        {"host error on the second request", -1, 2, memFullErr, -1, memFullErr, 1},
        {"host error on the first request", -1, 1, -36, -1, -36, 0},
        {"host row one byte shorter than the batch", -1, 0, 0, 2999, paramErr, 0},
        {"host row of no bytes", -1, 0, 0, 0, kResultMissingArgument, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost host(plugInModeRGBColor, 8, 3, 3, 1500);
        host.abortAfter = c.abortAfter;
        host.failRequest = c.failRequest;
        host.failCode = c.failCode;
        host.inRowBytes = c.inRowBytes;
        ASSERT_EQ(Export(host), c.result);
        EXPECT_EQ(ReadFile(kExportPath).size(),
                  std::string("P6\n1500\n3\n65535\n").size() + c.batchesWritten * 1000 * 6);
    }
}

TEST_F(TransferTest, ExportRefusesDocumentsItCannotServe) {
    struct Case {
        const char* name;
        std::int16_t mode;
        std::int16_t planes;
        std::int16_t outLayerPlanes;
        std::int16_t result;
    };
    const Case cases[] = {
        {"Lab", plugInModeLabColor, 3, 0, paramErr},
        {"RGB with transparency, layer planes 3", plugInModeRGBColor, 4, 3, noErr},
        {"RGB with four planes, no layer planes", plugInModeRGBColor, 4, 0, paramErr},
        {"gray with an extra plane, layer plane 1", plugInModeGrayScale, 2, 1, noErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost host(c.mode, 8, 3, 1, 2);
        host.fake.record.planes = c.planes;
        host.fake.record.outLayerPlanes = c.outLayerPlanes;
        EXPECT_EQ(Export(host), c.result);
        if (c.result != noErr) {
            EXPECT_EQ(ReadFile(kExportPath), "");
            EXPECT_TRUE(host.requests.empty());
        }
    }
}

TEST_F(TransferTest, HostWithoutAdvanceState) {
    if (!NoMessageBoxes())
        GTEST_SKIP() << "the warning would wait for a click on Windows";
    BatchHost host(plugInModeRGBColor, 8, 3, 1, 2);
    host.fake.record.advanceState = nullptr;
    EXPECT_EQ(Export(host), paramErr);
    EXPECT_EQ(ReadFile(kExportPath), "P6\n2\n1\n65535\n"); // the header went out first
    EXPECT_EQ(Import(host, "P6\n2\n1\n65535\n" + std::string(12, '\x7F')), paramErr);
}

TEST_F(TransferTest, FailingWriteAndMisuse) {
    BatchHost host(plugInModeRGBColor, 8, 3, 1, 2);
    PluginState& state = host.State();
    WriteFile(kExportPath, "");
    ASSERT_TRUE(OpenFile(state.exportFile, kExportPath, false, false)); // cannot write
    EXPECT_EQ(ExportDocument(&state), writErr);
    EXPECT_EQ(state.converter, nullptr);
    CloseFile(state.exportFile);
    EXPECT_THROW(ExportDocument(&state), EError); // file closed: the converter still goes
    EXPECT_EQ(state.converter, nullptr);

    const void* data = nullptr;
    std::uint32_t bytes = 0;
    EXPECT_THROW(FetchHostBatch(&state, nullptr, &data, &bytes), EError);
    EXPECT_THROW(ConvertHostBatch(&state, &data, &bytes, 1), EError); // no converter
}

TEST_F(TransferTest, ImportDeliversEverySegmentTopRowFirst) {
    BatchHost host(plugInModeRGB48, 16, 3, 3, 1200);
    std::string file = "P6\n1200\n3\n65535\n";
    std::vector<std::uint16_t> expected;
    for (std::uint32_t i = 0; i < 3u * 1200u * 3u; ++i) {
        const auto w = static_cast<std::uint16_t>((i * 40503u) & 0xFFFF);
        file += BigEndian16(w);
        const float scaled = static_cast<float>(w * (32768.0 / 65535.0));
        expected.push_back(static_cast<std::uint16_t>(std::fmin(scaled, 32768.0f)));
    }
    file += "bytes after the raster are ignored";
    ASSERT_EQ(Import(host, file), noErr);
    ASSERT_EQ(host.requests.size(), 6u);
    EXPECT_EQ(host.requests[3].in.top, 1);
    EXPECT_EQ(host.requests[3].out.left, 1000);
    EXPECT_EQ(host.requests[3].out.right, 1200);
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(Host16(host.output, i), expected[i]) << "sample " << i;
}

TEST_F(TransferTest, ImportByteOrderAndGrayAverage) {
    BatchHost host(plugInModeGray16, 16, 1, 1, 2);
    // 0x1234 is read big-endian: 4660 × 32768/65535 truncates to 2330.
    ASSERT_EQ(Import(host, "P6\n2\n1\n65535\n" + std::string("\x12\x34\x12\x34\x12\x34", 6) +
                               std::string("\xFF\xFF\x00\x00\x00\x00", 6)),
              noErr);
    EXPECT_EQ(Host16(host.output, 0), 2330);
    EXPECT_EQ(Host16(host.output, 1), 10923);
    EXPECT_EQ(host.requests[0].outHiPlane, 0);
}

TEST_F(TransferTest, ImportRefusesFilesThatDoNotMatch) {
    struct Case {
        const char* name;
        std::int16_t mode;
        std::int32_t depth;
        std::string file;
        std::int16_t result;
        std::size_t requests; // delivered batches before the failure, plus the failing one
    };
    const std::string raster8(2 * 2 * 6, '\x40');
    const Case cases[] = {
        {"one pixel narrower", plugInModeRGBColor, 8, "P6\n1\n2\n65535\n" + raster8, readErr, 0},
        {"one pixel wider", plugInModeRGBColor, 8, "P6\n3\n2\n65535\n" + raster8 + raster8, readErr,
         0},
        {"maxval 255 for 8 bits", plugInModeRGBColor, 8, "P6\n2\n2\n255\n" + raster8, readErr, 0},
        {"PF for 16 bits", plugInModeRGB48, 16, "PF\n2\n2\n-1\n" + raster8 + raster8, readErr, 0},
        {"P6 for 32 bits", plugInModeRGB96, 32, "P6\n2\n2\n65535\n" + raster8 + raster8, readErr,
         0},
        {"truncated in the last row", plugInModeRGBColor, 8,
         "P6\n2\n2\n65535\n" + raster8.substr(0, 12 + 11), readErr, 1},
        {"no header at all", plugInModeRGBColor, 8, "", paramErr, 0},
        {"Lab document", plugInModeLabColor, 8, "P6\n2\n2\n65535\n" + raster8, paramErr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost host(c.mode, c.depth, 3, 2, 2);
        EXPECT_EQ(Import(host, c.file), c.result);
        EXPECT_EQ(host.requests.size(), c.requests);
        const std::size_t delivered = c.requests * 2 * 3;
        for (std::size_t i = 0; i < host.output.size(); ++i)
            ASSERT_EQ(host.output[i], i < delivered ? 0x40 : 0) << "byte " << i;
    }
}

TEST_F(TransferTest, BatchWiderThanTheHostsRowIsAnError) {
    BatchHost host(plugInModeRGBColor, 8, 3, 2, 2);
    for (const std::int32_t rowBytes : {5, 0}) { // the batch needs 6
        SCOPED_TRACE(rowBytes);
        host.requests.clear();
        host.outRowBytes = rowBytes;
        EXPECT_EQ(Import(host, "P6\n2\n2\n65535\n" + std::string(24, '\x40')), paramErr);
        EXPECT_EQ(host.requests.size(), 1u);
        EXPECT_EQ(host.output, std::vector<std::uint8_t>(host.output.size(), 0));
    }
    host.requests.clear();
    host.outRowBytes = 6; // exactly enough
    EXPECT_EQ(Import(host, "P6\n2\n2\n65535\n" + std::string(24, '\x40')), noErr);
    EXPECT_EQ(host.requests.size(), 2u);
}

TEST_F(TransferTest, ImportCancelAndHostErrors) {
    BatchHost host(plugInModeRGBColor, 8, 3, 3, 2);
    const std::string file = "P6\n2\n3\n65535\n" + std::string(36, '\x40');
    host.abortAfter = 1;
    EXPECT_EQ(Import(host, file), userCanceledErr);
    EXPECT_EQ(host.requests.size(), 1u);
    host.requests.clear();
    host.abortAfter = -1;
    host.failRequest = 3;
    host.failCode = -36;
    EXPECT_EQ(Import(host, file), -36);
    EXPECT_EQ(host.requests.size(), 3u);
}

TEST_F(TransferTest, ProcessedFileOpenAndClose) {
    BatchHost host(plugInModeRGBColor, 8, 3, 1, 1);
    PluginState& state = host.State();
    std::strcpy(state.processedFilePath, kProcessedPath);
    EXPECT_EQ(OpenProcessedFile(&state), openErr); // missing
    EXPECT_EQ(state.processedFile, -1);
    WriteFile(kProcessedPath, "x");
    ASSERT_EQ(OpenProcessedFile(&state), noErr);
    ASSERT_EQ(OpenProcessedFile(&state), noErr); // the open one is closed first
    EXPECT_EQ(CloseProcessedFile(&state), noErr);
    EXPECT_EQ(CloseProcessedFile(&state), noErr);
    std::memset(state.processedFilePath, 0, kPathFieldSize);
    EXPECT_THROW(OpenProcessedFile(&state), EError);
}

} // namespace

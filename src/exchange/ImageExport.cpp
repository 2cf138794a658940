// The export loop. The header goes out before the first pixel is asked for, and batches
// leave top row first and left to right, which is the raster order of the file.
#include "exchange/ImageExport.h"

#include "convert/ConverterFactory.h"
#include "convert/IConvertBuffer.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "platform/ProcessorFeatures.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// The converted batches collected for one write. Each write call costs the file system
// its bookkeeping (and on Windows every file-system filter its look), whatever its size,
// so the raster leaves in blocks rather than one call per segment. Each write ends on a
// multiple of kExportBlockBytes in the file, so that every one after the first fills whole
// pages: a write that leaves a new page partly filled has the kernel clear the rest of it.
// A batch may run past the block's end into the slack behind it; what lies beyond the
// block goes to the front of the next one.
struct ExportBlock {
    std::unique_ptr<unsigned char[]> bytes; // kExportBlockBytes plus one batch
    std::uint32_t size;                     // what the next write takes when full
    std::uint32_t used;
};

// Writes the first `count` bytes and moves the rest to the front. When the write fails the
// block is emptied: what the failed write left in the file stays, and nothing is tried
// again.
std::int16_t WriteBlock(PluginState* state, ExportBlock& block, std::uint32_t count) {
    if (count == 0)
        return noErr;
    const std::int16_t result = WriteBytes(state, block.bytes.get(), count);
    block.used = result == noErr ? block.used - count : 0;
    if (block.used != 0)
        std::memmove(block.bytes.get(), block.bytes.get() + count, block.used);
    block.size = kExportBlockBytes;
    return result;
}

// Converts the batch straight from the host's row behind what the block holds, and
// writes the block once it is full.
std::int16_t ConvertIntoBlock(PluginState* state, IConvertBuffer& converter, ExportBlock& block,
                              std::uint32_t slack, const void* data, std::uint32_t rowBytes,
                              std::uint32_t pixels) {
    const std::int16_t result =
        ConvertHostBatchInto(state, data, rowBytes, pixels, block.bytes.get() + block.used,
                             kExportBlockBytes + slack - block.used);
    if (result != noErr)
        return result;
    block.used += converter.GetDestBytesPerPixel() * pixels;
    return block.used >= block.size ? WriteBlock(state, block, block.size) : noErr;
}

std::int16_t ExportBatches(PluginState* state, IConvertBuffer& converter) {
    if (!converter.Configure())
        return paramErr;
    const std::uint32_t capacity = converter.GetPixelCapacity();
    const std::uint32_t channels = converter.GetSourceChannels();
    if (capacity == 0 || !MatchesExportPlanes(state, channels))
        return paramErr;
    const std::uint32_t slack = converter.GetDestBytesPerPixel() * capacity;
    ExportBlock block{std::unique_ptr<unsigned char[]>(
                          new (std::nothrow) unsigned char[kExportBlockBytes + slack]),
                      kExportBlockBytes, 0};
    if (block.bytes == nullptr)
        return paramErr;

    const ImageSize size = GetImageSize(state->filterRecord);
    const auto width = static_cast<std::uint32_t>(size.width);
    const std::uint32_t segments = GetSegmentCount(width, capacity);
    std::int16_t result = WriteExchangeHeader(state, converter.GetDestHeader(&size));
    // The first write ends where the header's block ends.
    if (result == noErr)
        block.size -=
            static_cast<std::uint32_t>(GetFileLength(state->exportFile)) % kExportBlockBytes;
    for (std::int32_t row = 0; result == noErr && row < size.height; ++row) {
        for (std::uint32_t segment = 0; result == noErr && segment < segments; ++segment) {
            PlaneRect rect{};
            SetRowBatch(rect, segment, capacity, width, static_cast<std::uint32_t>(row), 0,
                        channels);
            const void* data = nullptr;
            std::uint32_t bytes = 0;
            result = FetchHostBatch(state, &rect, &data, &bytes);
            if (result == noErr)
                result = ConvertIntoBlock(state, converter, block, slack, data, bytes,
                                          GetBatchPixels(rect));
            if (result == noErr)
                result = TestAbort(state);
        }
    }
    // Whatever ended the loop, the batches converted before it reach the file, so that a
    // cancel or a host failure leaves the file as a write per batch would have: the header
    // and every batch before the one that failed.
    const std::int16_t flushed = WriteBlock(state, block, block.used);
    return result != noErr ? result : flushed;
}

} // namespace

std::int16_t ExportDocument(PluginState* state) {
    return ExportDocument(state, ChooseKernels(QueryProcessorFeatures()));
}

std::int16_t ExportDocument(PluginState* state, const ConvertKernels& kernels) {
    return RunWithConverter(state, kernels, CreateExportConverter, ExportBatches);
}

std::int16_t FetchHostBatch(PluginState* state, const PlaneRect* rect, const void** data,
                            std::uint32_t* rowBytes) {
    FilterRecord* record = ValidatePluginState(state)->filterRecord;
    RequirePointer(rect);
    RequirePointer(data);
    RequirePointer(rowBytes);
    *data = nullptr;
    *rowBytes = 0;
    const std::int16_t result = RequestHostBatch(record, *rect);
    if (result == noErr) {
        *data = record->inData;
        *rowBytes = static_cast<std::uint32_t>(record->inRowBytes);
    }
    return result;
}

std::int16_t ConvertHostBatch(PluginState* state, const void** data, std::uint32_t* bytes,
                              std::uint32_t pixels) {
    IConvertBuffer* converter = RequirePointer(ValidatePluginState(state)->converter);
    RequirePointer(data);
    RequirePointer(bytes);
    // From the host's row into the converter's destination buffer, which is what the file
    // receives: no staging copy of the host's samples.
    if (ConvertHostBatchInto(state, *data, *bytes, pixels, converter->GetDestBuffer(),
                             converter->GetDestBufferSize()) != noErr ||
        !converter->GetResult(data, bytes, pixels))
        return paramErr;
    return noErr;
}

std::int16_t ConvertHostBatchInto(PluginState* state, const void* data, std::uint32_t bytes,
                                  std::uint32_t pixels, void* dest, std::uint32_t destBytes) {
    IConvertBuffer* converter = RequirePointer(ValidatePluginState(state)->converter);
    RequirePointer(data);
    RequirePointer(dest);
    Require(pixels != 0);
    return converter->ConvertBatch(data, bytes, dest, destBytes, pixels) ? noErr : paramErr;
}

std::int16_t CloseExportFile(PluginState* state) {
    return CloseFile(ValidatePluginState(state)->exportFile) ? noErr : paramErr;
}

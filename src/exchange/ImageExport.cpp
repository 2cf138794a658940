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

#include <memory>
#include <new>

namespace {

// The converted batches collected for one write. Each write call costs the file system
// its bookkeeping (and on Windows every file-system filter its look), whatever its size,
// so the raster leaves in blocks of kExportBlockBytes rather than one call per segment.
struct ExportBlock {
    std::unique_ptr<unsigned char[]> bytes;
    std::uint32_t used;
};

// Writes what the block holds and empties it, also when the write fails: what a failed
// write left in the file stays, and nothing is tried again.
std::int16_t FlushBlock(PluginState* state, ExportBlock& block) {
    const std::uint32_t used = block.used;
    block.used = 0;
    return used == 0 ? noErr : WriteBytes(state, block.bytes.get(), used);
}

// Converts the batch straight from the host's row into the block, writing the block out
// first when the batch would not fit behind what it holds.
std::int16_t ConvertIntoBlock(PluginState* state, IConvertBuffer& converter, ExportBlock& block,
                              const void* data, std::uint32_t rowBytes, std::uint32_t pixels) {
    const std::uint32_t bytes = converter.GetDestBytesPerPixel() * pixels;
    if (bytes > kExportBlockBytes - block.used) {
        const std::int16_t result = FlushBlock(state, block);
        if (result != noErr)
            return result;
    }
    const std::int16_t result =
        ConvertHostBatchInto(state, data, rowBytes, pixels, block.bytes.get() + block.used,
                             kExportBlockBytes - block.used);
    if (result == noErr)
        block.used += bytes;
    return result;
}

std::int16_t ExportBatches(PluginState* state, IConvertBuffer& converter) {
    if (!converter.Configure())
        return paramErr;
    const std::uint32_t capacity = converter.GetPixelCapacity();
    const std::uint32_t channels = converter.GetSourceChannels();
    if (capacity == 0 || !MatchesExportPlanes(state, channels))
        return paramErr;
    ExportBlock block{
        std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[kExportBlockBytes]), 0};
    if (block.bytes == nullptr)
        return paramErr;

    const ImageSize size = GetImageSize(state->filterRecord);
    const auto width = static_cast<std::uint32_t>(size.width);
    const std::uint32_t segments = GetSegmentCount(width, capacity);
    std::int16_t result = WriteExchangeHeader(state, converter.GetDestHeader(&size));
    for (std::int32_t row = 0; result == noErr && row < size.height; ++row) {
        for (std::uint32_t segment = 0; result == noErr && segment < segments; ++segment) {
            PlaneRect rect{};
            SetRowBatch(rect, segment, capacity, width, static_cast<std::uint32_t>(row), 0,
                        channels);
            const void* data = nullptr;
            std::uint32_t bytes = 0;
            result = FetchHostBatch(state, &rect, &data, &bytes);
            if (result == noErr)
                result =
                    ConvertIntoBlock(state, converter, block, data, bytes, GetBatchPixels(rect));
            if (result == noErr)
                result = TestAbort(state);
        }
    }
    // Whatever ended the loop, the batches converted before it reach the file, so that a
    // cancel or a host failure leaves the file as a write per batch would have: the header
    // and every batch before the one that failed.
    const std::int16_t flushed = FlushBlock(state, block);
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

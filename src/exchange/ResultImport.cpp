// The import loop. The file is read strictly in sequence (header, then the raster in
// blocks, of which each segment of each row from the top takes its bytes), so its rows
// land on the document's rows in the same order in which the export wrote them.
#include "exchange/ResultImport.h"

#include "convert/ConverterFactory.h"
#include "convert/IConvertBuffer.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "platform/ProcessorFeatures.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::int16_t ImportBatches(PluginState* state, IConvertBuffer& converter) {
    if (!converter.Configure())
        return paramErr;
    const std::uint32_t capacity = converter.GetPixelCapacity();
    const std::uint32_t channels = converter.GetDestChannels();
    if (capacity == 0 || !MatchesImportPlanes(state, channels))
        return paramErr;

    const ImageSize size = GetImageSize(state->filterRecord);
    const auto width = static_cast<std::uint32_t>(size.width);
    const std::uint32_t segments = GetSegmentCount(width, capacity);
    ImportBlock block{};
    if (!OpenImportBlock(block, std::uint64_t(converter.GetSourceBytesPerPixel()) * width *
                                    static_cast<std::uint32_t>(size.height)))
        return paramErr;
    ExchangeHeader header;
    std::int16_t result = ReadExchangeHeader(state, header);
    if (result != noErr)
        return result;
    if (!IsSameHeader(header, converter.GetSourceHeader(&size)))
        return readErr;
    for (std::int32_t row = 0; result == noErr && row < size.height; ++row) {
        for (std::uint32_t segment = 0; result == noErr && segment < segments; ++segment) {
            PlaneRect rect{};
            SetRowBatch(rect, segment, capacity, width, static_cast<std::uint32_t>(row), 0,
                        channels);
            result = ReadFileBatch(state, &rect, &converter, block);
            if (result == noErr)
                result = DeliverHostBatch(state, &rect, &converter, block);
            if (result == noErr)
                result = TestAbort(state);
        }
    }
    return result;
}

} // namespace

std::int16_t OpenProcessedFile(PluginState* state) {
    ValidatePluginState(state);
    if (!CloseFile(state->processedFile))
        return openErr;
    // Only a file the program wrote under the name is its result: a link in its place may
    // name anything, an earlier run's image included.
    return OpenFileNoFollow(state->processedFile, state->processedFilePath) ? noErr : openErr;
}

std::int16_t ImportDocument(PluginState* state) {
    return ImportDocument(state, ChooseKernels(QueryProcessorFeatures()));
}

std::int16_t ImportDocument(PluginState* state, const ConvertKernels& kernels) {
    return RunWithConverter(state, kernels, CreateImportConverter, ImportBatches);
}

bool OpenImportBlock(ImportBlock& block, std::uint64_t rasterBytes) {
    block.bytes.reset(new (std::nothrow) unsigned char[kImportBlockBytes]);
    block.start = 0;
    block.end = 0;
    block.unread = rasterBytes;
    return block.bytes != nullptr;
}

std::int16_t ReadFileBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter,
                           ImportBlock& block) {
    ValidatePluginState(state);
    RequirePointer(rect);
    RequirePointer(converter);
    RequirePointer(block.bytes.get());
    const std::uint32_t bytes = converter->GetSourceBytesPerPixel() * GetBatchPixels(*rect);
    if (bytes == 0 || bytes > kImportBlockBytes)
        return readErr;
    if (block.end - block.start >= bytes)
        return noErr;
    // The rest of the last read moves to the front, and the reads go on behind it, never
    // past the raster: bytes after it are not the document's.
    const std::uint32_t kept = block.end - block.start;
    std::memmove(block.bytes.get(), block.bytes.get() + block.start, kept);
    block.start = 0;
    block.end = kept;
    while (block.end < bytes && block.unread > 0) {
        const auto wanted = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(kImportBlockBytes - block.end, block.unread));
        const std::uint32_t read =
            ReadSome(state->processedFile, block.bytes.get() + block.end, wanted);
        if (read == 0)
            break;
        block.end += read;
        block.unread -= read;
    }
    // A file that ends inside the batch fails it; the batches before it are delivered.
    return block.end >= bytes ? noErr : readErr;
}

std::int16_t DeliverHostBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter,
                              ImportBlock& block) {
    FilterRecord* record = ValidatePluginState(state)->filterRecord;
    RequirePointer(rect);
    RequirePointer(converter);
    const std::uint32_t pixels = GetBatchPixels(*rect);
    const std::uint32_t bytes = converter->GetDestBytesPerPixel() * pixels;
    const std::uint32_t sourceBytes = converter->GetSourceBytesPerPixel() * pixels;
    if (bytes == 0 || bytes > converter->GetDestBufferSize() ||
        sourceBytes > block.end - block.start)
        return paramErr;
    const std::int16_t result = RequestHostBatch(record, *rect);
    if (result != noErr)
        return result;
    // A row the host cannot hold would leave this part of the document unprocessed while
    // the run reports success: refuse it instead.
    if (static_cast<std::int64_t>(bytes) > record->outRowBytes)
        return paramErr;
    // The batch goes from the bytes read straight into the host's row.
    const unsigned char* source = block.bytes.get() + block.start;
    block.start += sourceBytes;
    return converter->ConvertBatch(source, sourceBytes, RequirePointer(record->outData), bytes,
                                   pixels)
               ? noErr
               : paramErr;
}

std::int16_t CloseProcessedFile(PluginState* state) {
    return CloseFile(ValidatePluginState(state)->processedFile) ? noErr : paramErr;
}

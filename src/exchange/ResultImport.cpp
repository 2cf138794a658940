// The import loop. The file is read strictly in sequence (header, then each segment of
// each row from the top), so its rows land on the document's rows in the same order in
// which the export wrote them.
#include "exchange/ResultImport.h"

#include "convert/ConverterFactory.h"
#include "convert/IConvertBuffer.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "platform/ProcessorFeatures.h"

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
            result = ReadFileBatch(state, &rect, &converter);
            if (result == noErr)
                result = DeliverHostBatch(state, &rect, &converter);
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

std::int16_t ReadFileBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter) {
    ValidatePluginState(state);
    RequirePointer(rect);
    RequirePointer(converter);
    const std::uint32_t bytes = converter->GetSourceBytesPerPixel() * GetBatchPixels(*rect);
    if (bytes == 0 || bytes > converter->GetSourceBufferSize())
        return readErr;
    return ReadExact(state->processedFile, converter->GetSourceBuffer(), bytes) ? noErr : readErr;
}

std::int16_t DeliverHostBatch(PluginState* state, const PlaneRect* rect,
                              IConvertBuffer* converter) {
    FilterRecord* record = ValidatePluginState(state)->filterRecord;
    RequirePointer(rect);
    RequirePointer(converter);
    const std::uint32_t pixels = GetBatchPixels(*rect);
    const std::uint32_t bytes = converter->GetDestBytesPerPixel() * pixels;
    if (bytes == 0 || bytes > converter->GetDestBufferSize())
        return paramErr;
    const std::int16_t result = RequestHostBatch(record, *rect);
    if (result != noErr)
        return result;
    // A row the host cannot hold would leave this part of the document unprocessed while
    // the run reports success: refuse it instead.
    if (static_cast<std::int64_t>(bytes) > record->outRowBytes)
        return paramErr;
    // The batch read last goes from the converter's source buffer straight into the
    // host's row, without passing through the destination buffer.
    return converter->ConvertBatch(converter->GetSourceBuffer(),
                                   converter->GetSourceBytesPerPixel() * pixels,
                                   RequirePointer(record->outData), bytes, pixels)
               ? noErr
               : paramErr;
}

std::int16_t CloseProcessedFile(PluginState* state) {
    return CloseFile(ValidatePluginState(state)->processedFile) ? noErr : paramErr;
}

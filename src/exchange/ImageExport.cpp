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

namespace {

std::int16_t ExportBatches(PluginState* state, IConvertBuffer& converter) {
    if (!converter.Configure())
        return paramErr;
    const std::uint32_t capacity = converter.GetPixelCapacity();
    const std::uint32_t channels = converter.GetSourceChannels();
    if (capacity == 0 || !MatchesExportPlanes(state, channels))
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
                result = ConvertHostBatch(state, &data, &bytes, GetBatchPixels(rect));
            if (result == noErr)
                result = WriteBytes(state, data, bytes);
            if (result == noErr)
                result = TestAbort(state);
        }
    }
    return result;
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
    RequirePointer(*data);
    Require(pixels != 0);
    // From the host's row into the converter's destination buffer, which is what the file
    // receives: no staging copy of the host's samples.
    if (!converter->ConvertBatch(*data, *bytes, converter->GetDestBuffer(),
                                 converter->GetDestBufferSize(), pixels) ||
        !converter->GetResult(data, bytes, pixels))
        return paramErr;
    return noErr;
}

std::int16_t CloseExportFile(PluginState* state) {
    return CloseFile(ValidatePluginState(state)->exportFile) ? noErr : paramErr;
}

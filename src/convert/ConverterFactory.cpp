// Creation and release of the converter a transfer uses, owned by the state block.
#include "convert/ConverterFactory.h"

#include "convert/ConvertBuffer.h"
#include "convert/PixelFormat.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "platform/ProcessorFeatures.h"

#include <new>

namespace {

// Null when the allocation fails: the caller reports that as a missing converter.
template <typename TConverter>
IConvertBuffer* NewConverter(EPixelFormat destFormat, EPixelFormat sourceFormat,
                             const ConvertKernels& kernels) {
    return new (std::nothrow) TConverter(destFormat, sourceFormat, kernels);
}

// The exchange side is always three channels: 16-bit for 8- and 16-bit documents, float
// for 32-bit ones.
IConvertBuffer* NewExportConverter(EPixelFormat document, const ConvertKernels& kernels) {
    switch (document) {
    case ePixelRGB8:
    case ePixelGray8:
        return NewConverter<CConvertBuffer<unsigned short, unsigned char, kHostToExchange>>(
            ePixelRGB16, document, kernels);
    case ePixelRGB16:
    case ePixelGray16:
        return NewConverter<CConvertBuffer<unsigned short, unsigned short, kHostToExchange>>(
            ePixelRGB16, document, kernels);
    case ePixelRGB32:
    case ePixelGray32:
        return NewConverter<CConvertBuffer<float, float, kHostToExchange>>(ePixelRGB32, document,
                                                                           kernels);
    default:
        return nullptr;
    }
}

IConvertBuffer* NewImportConverter(EPixelFormat document, const ConvertKernels& kernels) {
    switch (document) {
    case ePixelRGB8:
    case ePixelGray8:
        return NewConverter<CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>>(
            document, ePixelRGB16, kernels);
    case ePixelRGB16:
    case ePixelGray16:
        return NewConverter<CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>>(
            document, ePixelRGB16, kernels);
    case ePixelRGB32:
    case ePixelGray32:
        return NewConverter<CConvertBuffer<float, float, kExchangeToHost>>(document, ePixelRGB32,
                                                                           kernels);
    default:
        return nullptr;
    }
}

} // namespace

bool CreateExportConverter(PluginState* state) {
    return CreateExportConverter(state, ChooseKernels(QueryProcessorFeatures()));
}

bool CreateExportConverter(PluginState* state, const ConvertKernels& kernels) {
    ReleaseConverter(state);
    state->converter = NewExportConverter(GetPixelFormat(state->filterRecord), kernels);
    return state->converter != nullptr;
}

bool CreateImportConverter(PluginState* state) {
    return CreateImportConverter(state, ChooseKernels(QueryProcessorFeatures()));
}

bool CreateImportConverter(PluginState* state, const ConvertKernels& kernels) {
    ReleaseConverter(state);
    state->converter = NewImportConverter(GetPixelFormat(state->filterRecord), kernels);
    return state->converter != nullptr;
}

void ReleaseConverter(PluginState* state) {
    ValidatePluginState(state);
    delete state->converter;
    state->converter = nullptr;
}

std::int16_t RunWithConverter(PluginState* state, const ConvertKernels& kernels,
                              bool (*create)(PluginState*, const ConvertKernels&),
                              std::int16_t (*transfer)(PluginState*, IConvertBuffer&)) {
    ValidatePluginState(state);
    if (!create(state, kernels))
        return paramErr;
    std::int16_t result = paramErr;
    try {
        result = transfer(state, *state->converter);
    } catch (...) {
        ReleaseConverter(state);
        throw;
    }
    ReleaseConverter(state);
    return result;
}

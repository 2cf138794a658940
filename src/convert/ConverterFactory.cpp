// Creation and release of the converter a transfer uses, owned by the state block.
#include "convert/ConverterFactory.h"

#include "convert/ConvertBuffer.h"
#include "convert/PixelFormat.h"
#include "core/Error.h"
#include "core/ResultCodes.h"

#include <new>

namespace {

// Null when the allocation fails: the caller reports that as a missing converter.
template <typename TConverter>
IConvertBuffer* NewConverter(EPixelFormat destFormat, EPixelFormat sourceFormat) {
    return new (std::nothrow) TConverter(destFormat, sourceFormat);
}

// The exchange side is always three channels: 16-bit for 8- and 16-bit documents, float
// for 32-bit ones.
IConvertBuffer* NewExportConverter(EPixelFormat document) {
    switch (document) {
    case ePixelRGB8:
    case ePixelGray8:
        return NewConverter<CConvertBuffer<unsigned short, unsigned char, kHostToExchange>>(
            ePixelRGB16, document);
    case ePixelRGB16:
    case ePixelGray16:
        return NewConverter<CConvertBuffer<unsigned short, unsigned short, kHostToExchange>>(
            ePixelRGB16, document);
    case ePixelRGB32:
    case ePixelGray32:
        return NewConverter<CConvertBuffer<float, float, kHostToExchange>>(ePixelRGB32, document);
    default:
        return nullptr;
    }
}

IConvertBuffer* NewImportConverter(EPixelFormat document) {
    switch (document) {
    case ePixelRGB8:
    case ePixelGray8:
        return NewConverter<CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>>(
            document, ePixelRGB16);
    case ePixelRGB16:
    case ePixelGray16:
        return NewConverter<CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>>(
            document, ePixelRGB16);
    case ePixelRGB32:
    case ePixelGray32:
        return NewConverter<CConvertBuffer<float, float, kExchangeToHost>>(document, ePixelRGB32);
    default:
        return nullptr;
    }
}

} // namespace

bool CreateExportConverter(PluginState* state) {
    ReleaseConverter(state);
    state->converter = NewExportConverter(GetPixelFormat(state->filterRecord));
    return state->converter != nullptr;
}

bool CreateImportConverter(PluginState* state) {
    ReleaseConverter(state);
    state->converter = NewImportConverter(GetPixelFormat(state->filterRecord));
    return state->converter != nullptr;
}

void ReleaseConverter(PluginState* state) {
    ValidatePluginState(state);
    delete state->converter;
    state->converter = nullptr;
}

std::int16_t RunWithConverter(PluginState* state, bool (*create)(PluginState*),
                              std::int16_t (*transfer)(PluginState*, IConvertBuffer&)) {
    ValidatePluginState(state);
    if (!create(state))
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

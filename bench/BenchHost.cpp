// The benchmark's host.
#include "BenchHost.h"

#include "HeapCounter.h"

#include "convert/IConvertBuffer.h"
#include "core/FileAccess.h"

#include <cstring>

CBenchHost* CBenchHost::s_current = nullptr;

CBenchHost::CBenchHost(const BenchFormat& format, std::int32_t height, std::int32_t width)
    : m_rowBytes(std::size_t(width) * std::size_t(format.channels) * std::size_t(format.depth / 8)),
      m_pixelBytes(std::size_t(format.channels) * std::size_t(format.depth / 8)),
      m_pixels(m_rowBytes * std::size_t(height)) {
    m_fake.SetDocument(format.mode, format.depth, format.channels, height, width);
    m_fake.big.PluginUsing32BitCoordinates = 1;
    m_fake.record.advanceState = AdvanceState;
    m_fake.record.abortProc = Abort;
    InitialisePluginState(m_state);
    m_state.filterRecord = &m_fake.record;
    m_state.hostResult = &m_fake.result;

    // Values that vary from sample to sample over the whole range of the depth, so that no
    // conversion meets only one kind of value.
    const std::size_t samples = m_pixels.size() / std::size_t(format.depth / 8);
    std::uint32_t value = 12345;
    for (std::size_t i = 0; i < samples; ++i) {
        value = value * 1103515245u + 12345u;
        const std::uint32_t high = value >> 16;
        if (format.depth == 8) {
            m_pixels[i] = static_cast<std::uint8_t>(high);
        } else if (format.depth == 16) {
            const auto sample = static_cast<std::uint16_t>(high % 32769u);
            std::memcpy(&m_pixels[2 * i], &sample, 2);
        } else {
            const float sample = static_cast<float>(high) / 65535.0f;
            std::memcpy(&m_pixels[4 * i], &sample, 4);
        }
    }
    s_current = this;
}

CBenchHost::~CBenchHost() {
    CloseFile(m_state.exportFile);
    CloseFile(m_state.processedFile);
    delete m_state.converter;
    s_current = nullptr;
}

OSErr HOST_API CBenchHost::AdvanceState() {
    const CHostCallScope host;
    CBenchHost& self = *s_current;
    FilterRecord& record = self.m_fake.record;
    const VRect& in = self.m_fake.big.inRect32;
    const VRect& out = self.m_fake.big.outRect32;
    record.inData = self.m_pixels.data() + std::size_t(in.top) * self.m_rowBytes +
                    std::size_t(in.left) * self.m_pixelBytes;
    record.outData = self.m_pixels.data() + std::size_t(out.top) * self.m_rowBytes +
                     std::size_t(out.left) * self.m_pixelBytes;
    record.inRowBytes = static_cast<std::int32_t>(self.m_rowBytes);
    record.outRowBytes = static_cast<std::int32_t>(self.m_rowBytes);
    return 0;
}

Boolean HOST_API CBenchHost::Abort() {
    return 0;
}

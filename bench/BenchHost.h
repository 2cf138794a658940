// The benchmark's host: a document in memory, served to the plug-in's transfers by
// pointing inData and outData straight into it, so that a run costs only the plug-in's own
// work and its file I/O.
#pragma once

#include "core/PluginState.h"
#include "support/FakeHost.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BenchFormat {
    const char* name; // "RGB 16", ...
    std::int16_t mode;
    std::int32_t depth;
    std::int16_t channels;
};

class CBenchHost {
public:
    // A document of `format` with every sample set to a value spread over its range.
    CBenchHost(const BenchFormat& format, std::int32_t height, std::int32_t width);
    ~CBenchHost();
    CBenchHost(const CBenchHost&) = delete;
    CBenchHost& operator=(const CBenchHost&) = delete;

    PluginState& State() { return m_state; }
    // The host's side of a whole PluginMain call: its parameter block, data slot and result.
    FakeHost& Host() { return m_fake; }
    std::size_t RowBytes() const { return m_rowBytes; }
    std::size_t DocumentBytes() const { return m_pixels.size(); }
    const std::uint8_t* Pixels() const { return m_pixels.data(); }

private:
    static OSErr HOST_API AdvanceState();
    static Boolean HOST_API Abort();
    static CBenchHost* s_current;

    FakeHost m_fake;
    PluginState m_state{};
    std::size_t m_rowBytes;
    std::size_t m_pixelBytes;
    std::vector<std::uint8_t> m_pixels;
};

// A converter that does nothing but count its destructions: a stand-in for one left in the
// state block by an earlier transfer, to see who destroys it.
#pragma once

#include "convert/IConvertBuffer.h"

class CountingConverter : public IConvertBuffer {
public:
    explicit CountingConverter(int& counter) : destroyed(counter) {}
    ~CountingConverter() override { ++destroyed; }
    bool Configure() override { return false; }
    void Reset() override {}
    std::uint32_t GetPixelCapacity() override { return 0; }
    std::uint32_t GetSourceChannels() override { return 0; }
    std::uint32_t GetDestChannels() override { return 0; }
    bool LoadSource(const void*, std::uint32_t, std::uint32_t) override { return false; }
    bool Convert(std::uint32_t) override { return false; }
    bool ConvertBatch(const void*, std::uint32_t, void*, std::uint32_t, std::uint32_t) override {
        return false;
    }
    bool GetResult(const void**, std::uint32_t*, std::uint32_t) override { return false; }
    ExchangeHeader GetSourceHeader(const ImageSize*) override { return {}; }
    ExchangeHeader GetDestHeader(const ImageSize*) override { return {}; }
    const void* GetSourceBuffer() const override { return nullptr; }
    void* GetSourceBuffer() override { return nullptr; }
    std::uint32_t GetSourceBufferSize() override { return 0; }
    std::uint32_t GetSourceBytesPerPixel() override { return 0; }
    const void* GetDestBuffer() const override { return nullptr; }
    void* GetDestBuffer() override { return nullptr; }
    std::uint32_t GetDestBufferSize() override { return 0; }
    std::uint32_t GetDestBytesPerPixel() override { return 0; }

private:
    int& destroyed;
};

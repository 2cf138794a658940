// The factories: which converter each document format gets, and ownership in the state.
#include "convert/ConverterFactory.h"

#include "convert/ConvertBuffer.h"
#include "core/Error.h"
#include "host/HostConstants.h"

#include "support/CountingConverter.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

int gDestroyed = 0;

struct FactoryCase {
    std::int16_t mode;
    std::int32_t depth;
    std::int16_t planes;
    const std::type_info* exportType; // null: no converter
    const std::type_info* importType;
    std::uint32_t documentChannels;
    const char* exchangeMagic;
};

const FactoryCase kFactoryCases[] = {
    {plugInModeCMYKColor, 8, 4, nullptr, nullptr, 0, ""},
    {plugInModeRGBColor, 8, 3, &typeid(CConvertBuffer<unsigned short, unsigned char, 0>),
     &typeid(CConvertBuffer<unsigned char, unsigned short, 1>), 3, "P6"},
    {plugInModeRGB48, 16, 3, &typeid(CConvertBuffer<unsigned short, unsigned short, 0>),
     &typeid(CConvertBuffer<unsigned short, unsigned short, 1>), 3, "P6"},
    {plugInModeRGB96, 32, 3, &typeid(CConvertBuffer<float, float, 0>),
     &typeid(CConvertBuffer<float, float, 1>), 3, "PF"},
    {plugInModeGrayScale, 8, 1, &typeid(CConvertBuffer<unsigned short, unsigned char, 0>),
     &typeid(CConvertBuffer<unsigned char, unsigned short, 1>), 1, "P6"},
    {plugInModeGray16, 16, 1, &typeid(CConvertBuffer<unsigned short, unsigned short, 0>),
     &typeid(CConvertBuffer<unsigned short, unsigned short, 1>), 1, "P6"},
    {plugInModeGray32, 32, 1, &typeid(CConvertBuffer<float, float, 0>),
     &typeid(CConvertBuffer<float, float, 1>), 1, "PF"},
};

void PrintTo(const FactoryCase& c, std::ostream* os) {
    *os << "mode " << c.mode << ", depth " << c.depth << ", planes " << c.planes;
}

class ConverterFactoryTest : public testing::TestWithParam<FactoryCase> {
protected:
    void SetUp() override {
        gDestroyed = 0;
        InitialisePluginState(state);
        record.imageMode = GetParam().mode;
        record.depth = GetParam().depth;
        record.planes = GetParam().planes;
        state.filterRecord = &record;
    }
    void TearDown() override { ReleaseConverter(&state); }

    FilterRecord record{};
    PluginState state{};
};

// Both factories replace whatever converter the state held; the new one is unconfigured
// and, once configured, has the document on one side and three exchange channels on the
// other.
TEST_P(ConverterFactoryTest, CreatesTheConverterForTheDocument) {
    const FactoryCase& c = GetParam();
    const ImageSize size{480, 640};

    state.converter = new CountingConverter(gDestroyed);
    EXPECT_EQ(CreateExportConverter(&state), c.exportType != nullptr);
    EXPECT_EQ(gDestroyed, 1);
    if (c.exportType == nullptr) {
        EXPECT_EQ(state.converter, nullptr);
    } else {
        ASSERT_NE(state.converter, nullptr);
        IConvertBuffer& converter = *state.converter;
        EXPECT_EQ(typeid(converter), *c.exportType);
        EXPECT_THROW(converter.GetPixelCapacity(), EError);
        ASSERT_TRUE(converter.Configure());
        EXPECT_EQ(converter.GetPixelCapacity(), 1000u);
        EXPECT_EQ(converter.GetSourceChannels(), c.documentChannels);
        EXPECT_EQ(converter.GetDestChannels(), 3u);
        EXPECT_EQ(converter.GetDestHeader(&size).magic, c.exchangeMagic);
    }

    ReleaseConverter(&state);
    state.converter = new CountingConverter(gDestroyed);
    EXPECT_EQ(CreateImportConverter(&state), c.importType != nullptr);
    EXPECT_EQ(gDestroyed, 2);
    if (c.importType == nullptr) {
        EXPECT_EQ(state.converter, nullptr);
    } else {
        ASSERT_NE(state.converter, nullptr);
        IConvertBuffer& converter = *state.converter;
        EXPECT_EQ(typeid(converter), *c.importType);
        ASSERT_TRUE(converter.Configure());
        EXPECT_EQ(converter.GetSourceChannels(), 3u);
        EXPECT_EQ(converter.GetDestChannels(), c.documentChannels);
        EXPECT_EQ(converter.GetSourceHeader(&size).magic, c.exchangeMagic);
    }
}

INSTANTIATE_TEST_SUITE_P(SevenFormats, ConverterFactoryTest, testing::ValuesIn(kFactoryCases));

TEST(ConverterFactory, MissingStateOrRecordThrows) {
    PluginState state{};
    InitialisePluginState(state);
    EXPECT_THROW(CreateExportConverter(nullptr), EError);
    EXPECT_THROW(CreateImportConverter(nullptr), EError);
    EXPECT_THROW(ReleaseConverter(nullptr), EError);
    EXPECT_THROW(CreateExportConverter(&state), EError);
    EXPECT_THROW(CreateImportConverter(&state), EError);
}

TEST(ConverterFactory, ReleaseDestroysAndClears) {
    gDestroyed = 0;
    FilterRecord record{};
    PluginState state{};
    InitialisePluginState(state);
    state.filterRecord = &record;
    ReleaseConverter(&state); // nothing held: nothing happens
    state.converter = new CountingConverter(gDestroyed);
    ReleaseConverter(&state);
    EXPECT_EQ(gDestroyed, 1);
    EXPECT_EQ(state.converter, nullptr);
}

} // namespace

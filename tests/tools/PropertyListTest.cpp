// Reading a module's property list as a host does: the published x64 example, the
// choice of list and entry point, and malformed data.
#include "PropertyList.h"
#include "PluginLoader.h"
#include "platform/ProcessorFamily.h"

#include <gtest/gtest.h>

namespace {

// A 64-bit filter's list compiled by windres: kind, vers, 8664 "PluginMain", name
// "Example", catg "Demo", modes RGB + RGB48 + RGB96, ms32 and fici.
const unsigned char kExample[] = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x4d, 0x49, 0x42, 0x38, 0x64, 0x6e,
    0x69, 0x6b, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x4d, 0x46, 0x42, 0x38, 0x4d, 0x49,
    0x42, 0x38, 0x73, 0x72, 0x65, 0x76, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x04, 0x00, 0x4d, 0x49, 0x42, 0x38, 0x34, 0x36, 0x36, 0x38, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00,
    0x00, 0x00, 0x50, 0x6c, 0x75, 0x67, 0x69, 0x6e, 0x4d, 0x61, 0x69, 0x6e, 0x00, 0x00, 0x4d, 0x49,
    0x42, 0x38, 0x65, 0x6d, 0x61, 0x6e, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x07, 0x45,
    0x78, 0x61, 0x6d, 0x70, 0x6c, 0x65, 0x00, 0x00, 0x00, 0x00, 0x4d, 0x49, 0x42, 0x38, 0x67, 0x74,
    0x61, 0x63, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x04, 0x44, 0x65, 0x6d, 0x6f, 0x00,
    0x00, 0x00, 0x4d, 0x49, 0x42, 0x38, 0x65, 0x64, 0x6f, 0x6d, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00,
    0x00, 0x00, 0x10, 0x10, 0x80, 0x00, 0x4d, 0x49, 0x42, 0x38, 0x32, 0x33, 0x73, 0x6d, 0x00, 0x00,
    0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0xe0, 0x93, 0x04, 0x00, 0xe0, 0x93, 0x04, 0x00, 0x4d, 0x49,
    0x42, 0x38, 0x69, 0x63, 0x69, 0x66, 0x00, 0x00, 0x00, 0x00, 0x1c, 0x00, 0x00, 0x00, 0x01, 0x01,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

std::string Example() {
    return std::string(reinterpret_cast<const char*>(kExample), sizeof kExample);
}

// A list with one property, for building odd cases.
std::string OneProperty(const std::string& key, const std::string& data, std::uint32_t length) {
    std::string bytes("\x01\x00\x00\x00\x00\x00\x01\x00\x00\x00", 10);
    bytes += "MIB8" + key + std::string(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    return bytes + data;
}

TEST(PropertyListTest, ReadsThePublishedExample) {
    ASSERT_EQ(sizeof kExample, 218u);
    PropertyList list;
    std::string error;
    ASSERT_TRUE(ParsePropertyList(Example(), list, error)) << error;
    EXPECT_EQ(list.kind, kFilterKind);
    EXPECT_EQ(list.name, "Example");
    EXPECT_EQ(list.category, "Demo");
    EXPECT_TRUE(list.hasEntry64);
    EXPECT_EQ(list.entry64, "PluginMain");
    EXPECT_FALSE(list.hasEntry32);
    EXPECT_EQ(EnabledModeNames(list.modes),
              (std::vector<std::string>{"RGBColor", "RGB48", "RGB96"}));
}

TEST(PropertyListTest, ModeFlagsFollowTheFlagSetBitOrder) {
    EXPECT_EQ(
        EnabledModeNames({0x50, 0x30, 0xC0, 0x00}),
        (std::vector<std::string>{"GrayScale", "RGBColor", "Gray16", "RGB48", "RGB96", "Gray32"}));
    EXPECT_EQ(EnabledModeNames({0x88, 0x40}),
              (std::vector<std::string>{"Bitmap", "CMYKColor", "LabColor"}));
    EXPECT_TRUE(EnabledModeNames({}).empty());
}

TEST(PropertyListTest, RefusesMalformedLists) {
    struct Case {
        std::string bytes;
        const char* what;
    };
    const std::string example = Example();
    const Case cases[] = {
        {example.substr(0, 9), "shorter than the header"},
        {std::string("\x02", 1) + example.substr(1), "reserved word not 1"},
        {example.substr(0, 2) + std::string("\x01", 1) + example.substr(3), "version not 0"},
        {example.substr(0, 100), "a record runs past the end"},
        {OneProperty("eman", "\x09short", 6), "a name longer than its data"},
        {OneProperty("4668", "PluginMain", 10), "an entry point without its NUL"},
        {OneProperty("dnik", "MF", 2), "a kind shorter than 4 bytes"},
        {OneProperty("dnik", "MFB8", 0xFFFFFFF0u), "a huge length"},
    };
    for (const Case& c : cases) {
        PropertyList list;
        std::string error;
        EXPECT_FALSE(ParsePropertyList(c.bytes, list, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(PropertyListTest, TheHostTakesTheEntryPointOfItsOwnArchitecture) {
    // This build's key, and the entry point it takes from a list naming all three.
    struct Own {
        const char* key;
        const char* entry;
    };
    const Own own = kThisProcessorFamily == EProcessorFamily::kX86   ? Own{"wx86", "Entry32"}
                    : kThisProcessorFamily == EProcessorFamily::kX64 ? Own{"8664", "Entry64"}
                                                                     : Own{"wa64", "EntryA64"};
    EXPECT_STREQ(EntryPointKeyName(), own.key);
    PropertyList chosen;
    std::string error;
    const bool x64 = kThisProcessorFamily == EProcessorFamily::kX64;
    EXPECT_EQ(ChoosePropertyList({Example()}, chosen, error), x64) << error;
    if (!x64) {
        EXPECT_NE(error.find(std::string("no entry point for this architecture (property ") +
                             own.key + ")"),
                  std::string::npos);
    }

    // A list naming all three architectures, after a list that is not a filter.
    std::string all = OneProperty("dnik", "MFB8", 4);
    all[6] = 4; // four properties
    for (const char* record : {"68xwEntry32", "4668Entry64", "46awEntryA64"}) {
        const std::string text(record);
        const std::string value = text.substr(4) + std::string(8 - (text.size() - 4) % 8, '\0');
        all += "MIB8" + text.substr(0, 4) + std::string(4, '\0') +
               std::string(1, static_cast<char>(value.size())) + std::string(3, '\0') + value;
    }
    const std::string notFilter = OneProperty("dnik", "MFB7", 4);
    ASSERT_TRUE(ChoosePropertyList({notFilter, all}, chosen, error)) << error;
    std::string entry;
    ASSERT_TRUE(EntryPointForThisBuild(chosen, entry));
    EXPECT_EQ(entry, own.entry);

    EXPECT_FALSE(ChoosePropertyList({}, chosen, error));
    EXPECT_NE(error.find("no PiPL resource"), std::string::npos);
    EXPECT_FALSE(ChoosePropertyList({notFilter}, chosen, error));
    EXPECT_NE(error.find("does not describe a filter"), std::string::npos);
    EXPECT_FALSE(ChoosePropertyList({Example().substr(0, 50)}, chosen, error));
    EXPECT_NE(error.find("malformed"), std::string::npos);
}

} // namespace

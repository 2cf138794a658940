// Decoding a module's property list.
#include "PropertyList.h"
#include "platform/ProcessorFamily.h"

namespace {

constexpr std::uint32_t kVendor = 0x3842494D;     // '8BIM'
constexpr std::uint32_t kKind = 0x6B696E64;       // 'kind'
constexpr std::uint32_t kName = 0x6E616D65;       // 'name'
constexpr std::uint32_t kCategory = 0x63617467;   // 'catg'
constexpr std::uint32_t kModes = 0x6D6F6465;      // 'mode'
constexpr std::uint32_t kEntry32 = 0x77783836;    // 'wx86'
constexpr std::uint32_t kEntry64 = 0x38363634;    // '8664'
constexpr std::uint32_t kEntryArm64 = 0x77613634; // 'wa64'

// Every number in the list is stored little-endian, four-character codes included.
std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

std::uint16_t ReadU16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

bool PascalString(const std::string& data, std::string& text) {
    if (data.empty() || std::size_t(static_cast<std::uint8_t>(data[0])) + 1 > data.size())
        return false;
    text = data.substr(1, static_cast<std::uint8_t>(data[0]));
    return true;
}

bool CString(const std::string& data, std::string& text) {
    const std::size_t end = data.find('\0');
    if (end == std::string::npos)
        return false;
    text = data.substr(0, end);
    return true;
}

const char* const kModeNames[] = {
    "Bitmap",   "GrayScale",    "IndexedColor",     "RGBColor",  "CMYKColor", "HSLColor",
    "HSBColor", "Multichannel", "Duotone",          "LabColor",  "Gray16",    "RGB48",
    "Lab48",    "CMYK64",       "DeepMultichannel", "Duotone16", "RGB96",     "Gray32"};

} // namespace

bool ParsePropertyList(const std::string& bytes, PropertyList& list, std::string& error) {
    list = PropertyList{};
    if (bytes.size() < 10) {
        error = "the property list is shorter than its header";
        return false;
    }
    if (ReadU16(bytes, 0) != 1 || ReadU32(bytes, 2) != 0) {
        error = "the property list header is not reserved 1, version 0";
        return false;
    }
    const std::uint32_t count = ReadU32(bytes, 6);
    std::size_t at = 10;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 16) {
            error = "property " + std::to_string(i) + " runs past the end of the list";
            return false;
        }
        const std::uint32_t vendor = ReadU32(bytes, at);
        const std::uint32_t key = ReadU32(bytes, at + 4);
        const std::uint32_t length = ReadU32(bytes, at + 12);
        at += 16;
        if (length > bytes.size() - at) {
            error = "property " + std::to_string(i) + " runs past the end of the list";
            return false;
        }
        const std::string data = bytes.substr(at, length);
        // The next record starts at the length rounded up to 4; the last one may end
        // unpadded at the end of the resource.
        const std::size_t padded = (std::size_t(length) + 3) & ~std::size_t(3);
        at = padded <= bytes.size() - at ? at + padded : bytes.size();
        if (vendor != kVendor)
            continue;
        bool ok = true;
        switch (key) {
        case kKind:
            ok = data.size() >= 4;
            list.kind = ok ? ReadU32(data, 0) : 0;
            break;
        case kName:
            ok = PascalString(data, list.name);
            break;
        case kCategory:
            ok = PascalString(data, list.category);
            break;
        case kModes:
            list.modes.assign(data.begin(), data.end());
            list.hasModes = true;
            break;
        case kEntry32:
            ok = list.hasEntry32 = CString(data, list.entry32);
            break;
        case kEntry64:
            ok = list.hasEntry64 = CString(data, list.entry64);
            break;
        case kEntryArm64:
            ok = list.hasEntryArm64 = CString(data, list.entryArm64);
            break;
        default:
            break;
        }
        if (!ok) {
            error = "property " + std::to_string(i) + " holds a malformed value";
            return false;
        }
    }
    return true;
}

const char* EntryPointKeyName() {
    switch (kThisProcessorFamily) {
    case EProcessorFamily::kX86:
        return "wx86";
    case EProcessorFamily::kX64:
        return "8664";
    case EProcessorFamily::kArm64:
        return "wa64";
    }
    return "";
}

bool EntryPointForThisBuild(const PropertyList& list, std::string& entry) {
    const std::string* own = nullptr;
    switch (kThisProcessorFamily) {
    case EProcessorFamily::kX86:
        own = list.hasEntry32 ? &list.entry32 : nullptr;
        break;
    case EProcessorFamily::kX64:
        own = list.hasEntry64 ? &list.entry64 : nullptr;
        break;
    case EProcessorFamily::kArm64:
        own = list.hasEntryArm64 ? &list.entryArm64 : nullptr;
        break;
    }
    if (own == nullptr)
        return false;
    entry = *own;
    return true;
}

std::vector<std::string> EnabledModeNames(const std::vector<std::uint8_t>& flags) {
    std::vector<std::string> names;
    const std::size_t count = sizeof kModeNames / sizeof kModeNames[0];
    for (std::size_t mode = 0; mode < count; ++mode)
        if (mode / 8 < flags.size() && (flags[mode / 8] & (0x80 >> (mode % 8))) != 0)
            names.emplace_back(kModeNames[mode]);
    return names;
}

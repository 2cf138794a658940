// The names of the exchanged files: a fixed base made safe for any file system, and an
// extension chosen by the document's depth.
#include "bridge/FileNames.h"

#include "convert/PixelFormat.h"
#include "core/Error.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kFileNameAlphabet =
    "aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTuUvVwWxXyYzZ0123456789+-()_";
constexpr const char* kBaseText = "Lumetra";
constexpr const char* kUnknownBaseText = "Unknown";
constexpr const char* kProcessedSuffix = "_Processed";

// "ppm" for the 16-bit PPM exchange of 8- and 16-bit documents, "pfm" for 32-bit ones,
// empty for a document the plug-in does not support.
const char* ExtensionFor(EDepthClass depth) {
    switch (depth) {
    case eDepth8:
    case eDepth16:
        return "ppm";
    case eDepth32:
        return "pfm";
    default:
        return "";
    }
}

bool GetFileName(PluginState* state, const char* suffix, std::string& output) {
    const FilterRecord* record = ValidatePluginState(state)->filterRecord;
    output = GetBaseFileName(record);
    if (output.empty())
        return false;
    const char* extension = ExtensionFor(GetDepthClass(record));
    if (extension[0] == '\0') {
        output.clear();
        return false;
    }
    output += suffix;
    output += '.';
    output += extension;
    return true;
}

} // namespace

bool IsFileNameChar(char character) {
    return kFileNameAlphabet.find(character) != std::string_view::npos;
}

std::string MakeFileNameSafe(const std::string& text) {
    std::string safe = text;
    for (char& character : safe) {
        if (!IsFileNameChar(character))
            character = '_';
    }
    return safe;
}

std::string GetBaseFileName(const FilterRecord* record) {
    RequirePointer(record);
    const char* base = kBaseText[0] != '\0' ? kBaseText : kUnknownBaseText;
    return MakeFileNameSafe(base);
}

bool GetExportFileName(PluginState* state, std::string& output) {
    return GetFileName(state, "", output);
}

bool GetProcessedFileName(PluginState* state, std::string& output) {
    return GetFileName(state, kProcessedSuffix, output);
}

void CopyPathTruncated(char* destination, std::size_t capacity, const char* source) {
    RequirePointer(destination);
    RequirePointer(source);
    Require(capacity > 0);
    const std::size_t length = std::min(std::strlen(source), capacity - 1);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
    destination[capacity - 1] = '\0';
}

bool FitsPathField(const std::string& path) {
    return path.size() < static_cast<std::size_t>(kPathFieldSize);
}

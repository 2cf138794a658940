// The settings reader. Parsing writes zeros into the loaded bytes, so that names and
// values become terminated strings inside the buffer without any copy.
#include "bridge/IniFile.h"

#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/TextUtilities.h"

#include <cstring>

namespace {

constexpr IniEntry kNoEntry = {eIniEntryNone, -1, -1};

constexpr const char* kSettingsFolderName = "Lumetra";
constexpr const char* kSettingsFileName = "plugin.ini";
constexpr const char* kGeneralSection = "General";
constexpr const char* kApplicationPathKey = "ApplicationPath";

} // namespace

IniFile::IniFile() : file(-1), length(0), entryCount(0) {
    for (IniEntry& entry : entries)
        entry = kNoEntry;
    Reset();
}

IniFile::~IniFile() {
    Close();
}

void IniFile::Reset() {
    file = -1;
    length = 0;
    entryCount = 0;
    for (IniEntry& entry : entries)
        entry = kNoEntry;
    std::memset(buffer, 0, sizeof buffer);
}

void IniFile::Close() {
    if (file != -1)
        CloseFile(file);
    Reset();
}

bool IniFile::Load(const char* path) {
    EIniRefusal refusal = eIniAccepted;
    return Load(path, refusal);
}

bool IniFile::Load(const char* path, EIniRefusal& refusal) {
    RequirePointer(path);
    Close();
    refusal = eIniAccepted;
    bool loaded = false;
    if (!OpenFile(file, path, false, false)) {
        refusal = PathExists(path) ? eIniUnreadable : eIniNoFile;
        return false;
    }
    const std::int32_t fileLength = GetFileLength(file);
    if (fileLength >= 1 && fileLength <= kMaxFileLength) {
        length = fileLength;
        if (ReadExact(file, buffer, static_cast<std::uint32_t>(fileLength))) {
            buffer[fileLength] = '\0';
            loaded = ParseLines();
            if (!loaded)
                refusal = ExplainMissingValue("");
        } else {
            refusal = eIniUnreadable;
        }
    } else {
        // An empty file (or one whose length cannot be had) holds no key.
        refusal = fileLength > kMaxFileLength ? eIniTooLong : eIniNoKey;
    }
    CloseFile(file);
    return loaded;
}

EIniRefusal IniFile::ExplainMissingValue(const char* key) const {
    RequirePointer(key);
    if (HasByteOrderMark())
        return eIniByteOrderMark;
    if (HasOtherLineEnds())
        return eIniLineEnds;
    // A key line with both brackets became a section named like the whole line: the key's
    // name, blanks, the equals sign and the value with its brackets turned into blanks.
    const std::size_t keyLength = std::strlen(key);
    for (std::int32_t i = 0; keyLength > 0 && i < entryCount; ++i) {
        const char* name = TextAt(entries[i].nameOffset);
        if (entries[i].kind != eIniEntrySection || name == nullptr ||
            std::strncmp(name, key, keyLength) != 0)
            continue;
        const char* rest = name + keyLength;
        while (IsBlank(*rest))
            ++rest;
        if (*rest == '=')
            return eIniBracketsInKey;
    }
    return eIniNoKey;
}

// UTF-8, UTF-16 and UTF-32 files as editors save them with a mark.
bool IniFile::HasByteOrderMark() const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
    return (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ||
           (length >= 2 &&
            ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)));
}

// Parsing has turned every CR LF it read into two zeros, and never writes over a lone CR
// or LF; a last line without a line end was never parsed, so its text is still there.
bool IniFile::HasOtherLineEnds() const {
    for (std::int32_t i = 0; i < length; ++i) {
        const bool pairedCr = buffer[i] == '\r' && i + 1 < length && buffer[i + 1] == '\n';
        const bool pairedLf = buffer[i] == '\n' && i > 0 && buffer[i - 1] == '\r';
        if ((buffer[i] == '\r' && !pairedCr) || (buffer[i] == '\n' && !pairedLf))
            return true;
    }
    std::int32_t last = length - 1;
    while (last >= 0 && IsBlank(buffer[last]))
        --last;
    return last >= 0 && buffer[last] != '\0' && buffer[last] != '\n';
}

bool IniFile::ParseLines() {
    char* lineStart = buffer;
    while (entryCount < kMaxEntries) {
        // strstr also stops at a zero byte, so nothing past one is ever parsed.
        char* lineEnd = std::strstr(lineStart, "\r\n");
        if (lineEnd == nullptr)
            break;
        lineEnd[0] = '\0';
        lineEnd[1] = '\0';
        IniEntry entry = ParseSection(lineStart);
        if (!IsValid(entry))
            entry = ParseKeyValue(lineStart);
        if (IsValid(entry))
            entries[entryCount++] = entry;
        lineStart = lineEnd + 2;
    }
    return entryCount > 0;
}

IniEntry IniFile::ParseSection(char* line) {
    IniEntry entry = kNoEntry;
    char* open = FindChar(line, '[');
    char* close = FindChar(line, ']');
    if (open == nullptr || close == nullptr)
        return entry;
    *open = ' ';
    *close = ' ';
    entry.kind = eIniEntrySection;
    entry.nameOffset = OffsetOf(TrimBlanks(line));
    return entry;
}

IniEntry IniFile::ParseKeyValue(char* line) {
    IniEntry entry = kNoEntry;
    char* equals = FindChar(line, '=');
    if (equals == nullptr)
        return entry;
    *equals = '\0';
    entry.kind = eIniEntryKey;
    entry.nameOffset = OffsetOf(TrimBlanks(line));
    entry.valueOffset = OffsetOf(TrimBlanks(equals + 1));
    return entry;
}

char* IniFile::TrimBlanks(char* text) {
    RequirePointer(text);
    while (IsBlank(*text))
        *text++ = '\0';
    std::size_t end = std::strlen(text);
    while (end > 0 && IsBlank(text[end - 1]))
        text[--end] = '\0';
    return text;
}

bool IniFile::IsValid(const IniEntry& entry) const {
    if (entry.nameOffset == -1)
        return false;
    return entry.kind == eIniEntrySection ||
           (entry.kind == eIniEntryKey && entry.valueOffset != -1);
}

const char* IniFile::GetValue(const char* section, const char* key, const char* defaultValue) {
    Require(section != nullptr && key != nullptr);
    Require(length != 0 && entryCount != 0);
    bool inSection = false;
    for (std::int32_t i = 0; i < entryCount; ++i) {
        const char* name = TextAt(entries[i].nameOffset);
        if (name == nullptr)
            continue;
        if (!inSection) {
            inSection = TextEquals(name, section);
        } else if (TextEquals(name, key)) {
            return TextAt(entries[i].valueOffset);
        }
    }
    return defaultValue;
}

// Offsets are compared unsigned, so -1 never points into the buffer.
const char* IniFile::TextAt(std::int32_t offset) const {
    if (static_cast<std::uint32_t>(offset) >= static_cast<std::uint32_t>(length))
        return nullptr;
    return buffer + offset;
}

std::int32_t IniFile::OffsetOf(const char* position) const {
    return static_cast<std::int32_t>(position - buffer);
}

bool ReadApplicationPath(std::string& output) {
    SettingsLookup lookup;
    return ReadApplicationPath(output, lookup);
}

bool ReadApplicationPath(std::string& output, SettingsLookup& lookup) {
    output.clear();
    lookup = SettingsLookup{};
    std::string profile;
    if (!GetProfileFolder(profile)) {
        lookup.refusal = eIniNoProfile;
        return false;
    }
    lookup.filePath = JoinPath(JoinPath(profile, kSettingsFolderName), kSettingsFileName);
    IniFile settings;
    if (!settings.Load(lookup.filePath.c_str(), lookup.refusal))
        return false;
    const char* value = settings.GetValue(kGeneralSection, kApplicationPathKey, nullptr);
    if (value == nullptr) {
        lookup.refusal = settings.ExplainMissingValue(kApplicationPathKey);
        return false;
    }
    output = WithTrailingBackslash(value);
    return true;
}

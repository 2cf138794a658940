// A fixed-size reader of small settings files, and the lookup of the external program's
// folder in the user's "Lumetra/plugin.ini".
//
// The reader loads a file of at most 1022 bytes into its own buffer in one read and cuts
// it into at most 16 entries in place; it needs no dynamic memory. Only lines ended by
// carriage return and line feed are read. A line holding both square brackets is a
// section header, else a line holding an equals sign is a key with its value; other
// lines are skipped. Blanks (space, tab) around names and values are dropped; names are
// compared case-sensitively.
#pragma once

#include <cstdint>
#include <string>

enum EIniEntryKind : std::int32_t {
    eIniEntryNone = 0,
    eIniEntrySection = 1,
    eIniEntryKey = 2,
};

// Why a settings file gave no value, as the reader found it. The reader's rules are the
// same with or without asking: this only names the rule that stopped it.
enum EIniRefusal : std::int32_t {
    eIniAccepted = 0,
    eIniNoFile,        // nothing to open under the path
    eIniUnreadable,    // there, but it cannot be opened or read whole
    eIniTooLong,       // longer than kMaxFileLength
    eIniByteOrderMark, // a byte-order mark in front of the first line
    eIniLineEnds,      // a line end other than CR LF, or a last line without one
    eIniNoKey,         // no entry of that name after the section
    eIniBracketsInKey, // the key's line holds square brackets and was read as a section
    eIniEmptyValue,    // the value is empty (set by the callers that need a value)
    eIniNoProfile,     // no profile folder to look in
};

// One section header or key, as offsets into the reader's buffer (-1 for none).
struct IniEntry {
    std::int32_t kind;
    std::int32_t nameOffset;
    std::int32_t valueOffset;
};

class IniFile {
public:
    static constexpr std::int32_t kMaxEntries = 16;
    static constexpr std::int32_t kBufferSize = 1024;
    static constexpr std::int32_t kMaxFileLength = 1022;

    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Forgets the file (without closing it), the entries and the buffer's contents.
    void Reset();

    // Closes the file when one is open, then Reset.
    void Close();

    // Reads and parses the file; true when at least one entry was found. The file is
    // closed again before returning. Throws EError for a null or empty path.
    bool Load(const char* path);

    // The same, and when it returns false, why (else eIniAccepted).
    bool Load(const char* path, EIniRefusal& refusal);

    // Why GetValue(section, key, ...) found no value in the loaded file: the rule of the
    // file that kept the key from being read.
    EIniRefusal ExplainMissingValue(const char* key) const;

    // The value of the first entry named `key` after the first entry named `section`, or
    // null when that entry is a section header, or `defaultValue` when there is none.
    // The search does not stop at the next section. The pointer is valid until the next
    // Load, Reset or Close. Throws EError for a null name or when nothing is loaded.
    const char* GetValue(const char* section, const char* key, const char* defaultValue);

    // Drops the blanks at both ends of `text` by overwriting them with zeros; returns the
    // first character that is not a blank.
    static char* TrimBlanks(char* text);

    std::int32_t EntryCount() const { return entryCount; }

private:
    bool ParseLines();
    bool HasByteOrderMark() const;
    bool HasOtherLineEnds() const;
    IniEntry ParseSection(char* line);
    IniEntry ParseKeyValue(char* line);
    bool IsValid(const IniEntry& entry) const;
    const char* TextAt(std::int32_t offset) const;
    std::int32_t OffsetOf(const char* position) const;

    std::int32_t file;
    std::int32_t length;
    std::int32_t entryCount;
    IniEntry entries[kMaxEntries];
    char buffer[kBufferSize];
};

// The external program's folder, with a trailing separator, from the key ApplicationPath
// of the section General of "Lumetra/plugin.ini" in the user's profile folder. False and
// an empty output when the folder, the file or the key cannot be had; an empty value
// gives true and an empty output.
bool ReadApplicationPath(std::string& output);

// What ReadApplicationPath found besides the folder: the settings file's full path (empty
// without a profile folder) and why it gave no folder.
struct SettingsLookup {
    std::string filePath;
    EIniRefusal refusal = eIniAccepted;
};

// The same, telling which file was read and why it gave no folder.
bool ReadApplicationPath(std::string& output, SettingsLookup& lookup);

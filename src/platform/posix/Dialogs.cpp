// The about box and the warning messages on Linux: their texts go to standard error.
#include "platform/Dialogs.h"

#include "resources/ResourceTexts.h"
#include "ui/AboutText.h"

#include <cstdio>
#include <string_view>

namespace {

struct StringEntry {
    int id;
    const char* text;
};

// The same table as the Windows module's resources.
constexpr StringEntry kStrings[] = {
    {LUMETRA_STRING_INTEGER_RANGE_ID, LUMETRA_STRING_INTEGER_RANGE},
    {LUMETRA_STRING_DECIMAL_RANGE_ID, LUMETRA_STRING_DECIMAL_RANGE},
    {LUMETRA_STRING_HOST_VERSION_ID, LUMETRA_STRING_HOST_VERSION},
    {LUMETRA_STRING_HOST_INCOMPATIBLE_ID, LUMETRA_STRING_HOST_INCOMPATIBLE},
    {LUMETRA_STRING_SUITE_MISSING_ID, LUMETRA_STRING_SUITE_MISSING},
    {LUMETRA_STRING_SETTINGS_MISSING_ID, LUMETRA_STRING_SETTINGS_MISSING},
    {LUMETRA_STRING_SETTINGS_LINE_ENDS_ID, LUMETRA_STRING_SETTINGS_LINE_ENDS},
    {LUMETRA_STRING_SETTINGS_BYTE_ORDER_MARK_ID, LUMETRA_STRING_SETTINGS_BYTE_ORDER_MARK},
    {LUMETRA_STRING_SETTINGS_NO_KEY_ID, LUMETRA_STRING_SETTINGS_NO_KEY},
    {LUMETRA_STRING_SETTINGS_EMPTY_VALUE_ID, LUMETRA_STRING_SETTINGS_EMPTY_VALUE},
    {LUMETRA_STRING_SETTINGS_BRACKETS_ID, LUMETRA_STRING_SETTINGS_BRACKETS},
    {LUMETRA_STRING_SETTINGS_TOO_LONG_ID, LUMETRA_STRING_SETTINGS_TOO_LONG},
    {LUMETRA_STRING_SETTINGS_UNREADABLE_ID, LUMETRA_STRING_SETTINGS_UNREADABLE},
    {LUMETRA_STRING_PROGRAM_NOT_STARTED_ID, LUMETRA_STRING_PROGRAM_NOT_STARTED},
    {LUMETRA_STRING_FOLDER_BUSY_ID, LUMETRA_STRING_FOLDER_BUSY},
    {LUMETRA_STRING_TEMP_FOLDER_ID, LUMETRA_STRING_TEMP_FOLDER},
    {LUMETRA_STRING_PROFILE_FOLDER_ID, LUMETRA_STRING_PROFILE_FOLDER},
    {LUMETRA_STRING_EARLIER_FILE_HELD_ID, LUMETRA_STRING_EARLIER_FILE_HELD},
};

// The texts are in the Windows ANSI code page; a Linux terminal reads UTF-8. Bytes from
// 0xA0 up are the same characters in both (Latin-1); the few others that the Windows code
// page has above 0x7F are not used in our texts and show as '?'.
std::string ToUtf8(std::string_view text) {
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            result.push_back(c);
        } else if (byte >= 0xA0) {
            result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        } else {
            result.push_back('?');
        }
    }
    return result;
}

void WriteBytesToStandardError(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void WriteToStandardError(std::string_view text) {
    WriteBytesToStandardError(ToUtf8(text));
}

} // namespace

bool ShowAboutBox(std::intptr_t /*owner*/) {
    WriteToStandardError(AboutText());
    return true;
}

std::string LoadModuleString(int id, std::size_t limit) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id)
            return std::string(entry.text).substr(0, limit);
    }
    return {};
}

int ShowWarningBox(std::intptr_t /*owner*/, const std::string& text) {
    WriteToStandardError(text + "\n");
    return kMessageBoxOk;
}

int ShowPathWarningBox(std::intptr_t /*owner*/, const std::string& text) {
    WriteBytesToStandardError(text + "\n");
    return kMessageBoxOk;
}

// What the user sees of the plug-in itself: the about box, the module's strings and the
// warning message box. On Linux the texts go to standard error instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The value of the OK button a message box returns.
constexpr int kMessageBoxOk = 1;

// Shows the about box modally, owned by the window `owner` (0 for none), inside the
// module's own activation context, until the user closes it. Returns false when the box
// could not be shown.
bool ShowAboutBox(std::intptr_t owner);

// String `id` of the module's string table, at most `limit` characters; empty when the
// table has no such string.
std::string LoadModuleString(int id, std::size_t limit);

// Shows `text` as a warning with an OK button, owned by `owner`, with the system's default
// caption. Without an owner (0) the box is modal to the host's thread and comes to the
// front. Returns the button that closed it, or 0 when it could not be shown.
int ShowWarningBox(std::intptr_t owner, const std::string& text);

// As ShowWarningBox, for a text that names files and folders: the names are in the
// system's own encoding for them (the ANSI code page on Windows, the bytes of the names on
// Linux), so the text goes out as it is, never converted.
int ShowPathWarningBox(std::intptr_t owner, const std::string& text);

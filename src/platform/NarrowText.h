// The system's narrow text as characters: what a document needs to know to carry a path
// in the encoding the system writes it in.
#pragma once

#include <string>
#include <vector>

// The name XML readers know the narrow encoding by: "" where narrow text is UTF-8 (Linux,
// and Windows with the UTF-8 code page), which a document need not declare; on Windows
// "windows-1252", "shift_jis", "gbk", ... after the ANSI code page; null for a code page
// without a name readers agree on.
const char* OsNarrowEncodingName();

// The text as Unicode code points, decoded by the narrow encoding (Linux: UTF-8; Windows:
// the ANSI code page). False when the text is not a sequence of whole characters of it.
bool OsDecodeNarrowText(const std::string& text, std::vector<char32_t>& characters);

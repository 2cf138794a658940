// PFM images (PF colour, Pf gray) in the published convention: the scale's sign gives the
// byte order (negative: little-endian), rows are stored bottom row first.
#pragma once

#include "Document.h"

#include <string>

// Parses a whole file into a 32-bit document. On failure returns false with a reason.
bool ParsePfm(const std::string& bytes, Document& document, std::string& error);

// The file for the document's colour channels: little-endian, scale -1.0, bottom row
// first. Integer documents are written as values between 0 and 1.
std::string FormatPfm(const Document& document);

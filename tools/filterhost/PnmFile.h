// Binary PGM (P5) and PPM (P6) images: reading into a document and writing one.
//
// Maxval 1..65535; up to 255 gives an 8-bit document, more a 16-bit one whose samples are
// mapped into the host's range 0..32768. Comments are allowed between header fields.
#pragma once

#include "Document.h"

#include <string>

// Parses a whole file. On failure returns false with a reason in `error`.
bool ParsePnm(const std::string& bytes, Document& document, std::string& error);

// The file for the document's colour channels: P6 for RGB, P5 for gray; maxval 255 for
// 8-bit documents, 65535 for 16-bit and 32-bit ones (floats clamped to 0..1).
std::string FormatPnm(const Document& document);

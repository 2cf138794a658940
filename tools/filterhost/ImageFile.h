// Image files on disk: reading a document from PGM, PPM or PFM and writing it back.
#pragma once

#include "Document.h"

#include <string>

enum EImageFormat { eFormatPnm, eFormatPfm };

// Reads the file and recognises its format by its magic. On failure returns false with a
// message naming the file.
bool ReadImageFile(const std::string& path, Document& document, EImageFormat& format,
                   std::string& error);

// The format a path asks for by its extension (.ppm, .pgm, .pnm or .pfm, any case), or
// `fallback` for any other name.
EImageFormat FormatForPath(const std::string& path, EImageFormat fallback);

// The natural format of a document: PFM for 32-bit documents, netpbm otherwise.
EImageFormat NaturalFormat(const Document& document);

// Writes the document's colour channels. On failure returns false with a message.
bool WriteImageFile(const std::string& path, const Document& document, EImageFormat format,
                    std::string& error);

// Reads or writes a whole file as bytes.
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

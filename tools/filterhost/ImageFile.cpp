// Image files on disk.
#include "ImageFile.h"

#include "PfmFile.h"
#include "PnmFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <new>

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool ReadImageFile(const std::string& path, Document& document, EImageFormat& format,
                   std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        error = "cannot read the image file " + path;
        return false;
    }
    bool parsed = false;
    try {
        if (bytes.size() >= 2 && bytes[0] == 'P' && (bytes[1] == 'F' || bytes[1] == 'f')) {
            format = eFormatPfm;
            parsed = ParsePfm(bytes, document, error);
        } else if (bytes.size() >= 2 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6')) {
            format = eFormatPnm;
            parsed = ParsePnm(bytes, document, error);
        } else {
            error = "not a binary PGM, PPM or PFM image";
        }
    } catch (const std::bad_alloc&) {
        error = "not enough memory for the image";
    }
    if (!parsed)
        error = path + ": " + error;
    return parsed;
}

EImageFormat FormatForPath(const std::string& path, EImageFormat fallback) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos)
        return fallback;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "pfm")
        return eFormatPfm;
    if (extension == "ppm" || extension == "pgm" || extension == "pnm")
        return eFormatPnm;
    return fallback;
}

EImageFormat NaturalFormat(const Document& document) {
    return document.depth == 32 ? eFormatPfm : eFormatPnm;
}

bool WriteImageFile(const std::string& path, const Document& document, EImageFormat format,
                    std::string& error) {
    try {
        const std::string bytes = format == eFormatPfm ? FormatPfm(document) : FormatPnm(document);
        if (WriteWholeFile(path, bytes))
            return true;
    } catch (const std::bad_alloc&) {
    }
    error = "cannot write the image file " + path;
    return false;
}

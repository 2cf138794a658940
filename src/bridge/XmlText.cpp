// The characters a job document can carry. XML 1.0 has no way to write most control
// characters, not even as references, and every reader folds a carriage return into a
// line feed; a path holding them would be read as another path.
#include "bridge/XmlText.h"

#include "platform/NarrowText.h"

#include <vector>

namespace {

bool IsCarriedCharacter(char32_t character) {
    if (character < 0x20)
        return character == '\t';
    // C1 controls: not characters of some code page tables readers use (0x81 in
    // windows-1252), and only references in XML 1.1.
    if (character >= 0x80 && character <= 0x9F)
        return false;
    if (character >= 0xD800 && character <= 0xDFFF)
        return false;
    return character != 0xFFFE && character != 0xFFFF && character <= 0x10FFFF;
}

bool IsPlainAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

bool GetXmlEncoding(const std::string& text, std::string& encoding) {
    encoding.clear();
    const char* name = IsPlainAscii(text) ? "" : OsNarrowEncodingName();
    if (name == nullptr)
        return false;
    std::vector<char32_t> characters;
    if (!OsDecodeNarrowText(text, characters))
        return false;
    for (const char32_t character : characters) {
        if (!IsCarriedCharacter(character))
            return false;
    }
    encoding = name;
    return true;
}

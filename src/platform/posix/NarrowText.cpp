// Narrow text on Linux: file names are bytes, and they are read as UTF-8.
#include "platform/NarrowText.h"

namespace {

// The number of continuation bytes after `lead`, and the bits the lead byte carries; -1
// for a byte that cannot start a sequence (a continuation byte, or a lead byte of an
// overlong or out-of-range form).
int SequenceLength(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 0;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1Fu;
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0Fu;
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07u;
        return 3;
    }
    return -1;
}

} // namespace

const char* OsNarrowEncodingName() {
    return "";
}

bool OsDecodeNarrowText(const std::string& text, std::vector<char32_t>& characters) {
    characters.clear();
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < text.size();) {
        char32_t value = 0;
        const int continuation = SequenceLength(static_cast<unsigned char>(text[i]), value);
        if (continuation < 0 || text.size() - i <= static_cast<std::size_t>(continuation))
            return false;
        for (int k = 1; k <= continuation; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if ((byte & 0xC0u) != 0x80u)
                return false;
            value = (value << 6) | (byte & 0x3Fu);
        }
        // Overlong forms, UTF-16 surrogates and values beyond U+10FFFF are not UTF-8.
        if (value < kSmallest[continuation] || (value >= 0xD800 && value <= 0xDFFF) ||
            value > 0x10FFFF)
            return false;
        characters.push_back(value);
        i += static_cast<std::size_t>(continuation) + 1;
    }
    return true;
}

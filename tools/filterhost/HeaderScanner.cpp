// Scanning the text header of a netpbm-style image.
#include "HeaderScanner.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

void SkipSpace(HeaderScanner& scanner, bool comments) {
    const std::string& bytes = scanner.bytes;
    while (scanner.position < bytes.size()) {
        const char c = bytes[scanner.position];
        if (IsSpace(c)) {
            ++scanner.position;
        } else if (comments && c == '#') {
            while (scanner.position < bytes.size() && bytes[scanner.position] != '\n')
                ++scanner.position;
        } else {
            return;
        }
    }
}

std::string NextField(HeaderScanner& scanner) {
    const std::size_t start = scanner.position;
    while (scanner.position < scanner.bytes.size() && !IsSpace(scanner.bytes[scanner.position]))
        ++scanner.position;
    const std::size_t length = scanner.position - start;
    return length <= 64 ? scanner.bytes.substr(start, length) : std::string();
}

bool ReadBoundedNumber(HeaderScanner& scanner, bool comments, std::uint32_t low, std::uint32_t high,
                       std::uint32_t& value) {
    SkipSpace(scanner, comments);
    const std::string field = NextField(scanner);
    if (field.empty() || field.size() > 9)
        return false;
    std::uint32_t number = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + std::uint32_t(c - '0');
    }
    if (number < low || number > high)
        return false;
    value = number;
    return true;
}

bool EndHeader(HeaderScanner& scanner) {
    if (scanner.position >= scanner.bytes.size() || !IsSpace(scanner.bytes[scanner.position]))
        return false;
    ++scanner.position;
    return true;
}

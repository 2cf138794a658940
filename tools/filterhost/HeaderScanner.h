// Reading the text header of a netpbm-style image: fields separated by white space.
#pragma once

#include <cstdint>
#include <string>

struct HeaderScanner {
    const std::string& bytes;
    std::size_t position = 0;
};

// Skips white space (and, with `comments`, lines starting with '#').
void SkipSpace(HeaderScanner& scanner, bool comments);

// The next run of non-white-space bytes (at most 64); empty at the end or for a longer run.
std::string NextField(HeaderScanner& scanner);

// Reads an unsigned decimal field between `low` and `high`; false when it is anything else.
bool ReadBoundedNumber(HeaderScanner& scanner, bool comments, std::uint32_t low, std::uint32_t high,
                       std::uint32_t& value);

// Consumes the single white-space byte that ends a header. False when there is none.
bool EndHeader(HeaderScanner& scanner);

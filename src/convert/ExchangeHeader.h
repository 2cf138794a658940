// The header of an exchange image: magic, size and maxval (or PFM scale).
#pragma once

#include <cstdint>
#include <string>

struct ExchangeHeader {
    std::string magic;        // "P6" or "PF"; empty when not set
    std::uint32_t width = 0;  // pixels per row
    std::uint32_t height = 0; // rows
    std::int32_t maxval = 0;  // 65535 for P6, -1 for PF (little-endian floats); 0 when not set
};

// A document's size: rows first, then pixels per row.
struct ImageSize {
    std::int32_t height;
    std::int32_t width;
};

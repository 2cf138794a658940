// A filter module's property list ("PIPL" resource): the properties a host reads to list
// the filter and to find its entry point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PropertyList {
    std::uint32_t kind = 0;          // 'kind'; '8BFM' for a filter
    std::string name;                // 'name', the menu item
    std::string category;            // 'catg', the submenu
    std::vector<std::uint8_t> modes; // 'mode' flag bytes
    bool hasModes = false;
    std::string entry32; // 'wx86', entry point of 32-bit code
    bool hasEntry32 = false;
    std::string entry64; // '8664', entry point of 64-bit code
    bool hasEntry64 = false;
    std::string entryArm64; // 'wa64', entry point of ARM64 code
    bool hasEntryArm64 = false;
};

constexpr std::uint32_t kFilterKind = 0x3842464D; // '8BFM'

// Decodes one resource: the 10-byte header (reserved 1, version 0, count) and the
// property records, each padded to 4 bytes. Returns false with a reason when the data is
// malformed (short, wrong header, a record that runs past the end, a string without end).
bool ParsePropertyList(const std::string& bytes, PropertyList& list, std::string& error);

// The entry-point key of this build's architecture, as text: "wx86", "8664" or "wa64".
const char* EntryPointKeyName();

// The entry point this build's architecture takes from the list; false when there is none.
bool EntryPointForThisBuild(const PropertyList& list, std::string& entry);

// The names of the modes enabled in the flag bytes, in mode order ("RGBColor", "Gray16"...).
std::vector<std::string> EnabledModeNames(const std::vector<std::uint8_t>& flags);

// Narrow text on Windows: the ANSI code page, decoded by the system itself.
#include "platform/NarrowText.h"

#include <windows.h>

namespace {

struct CodePageName {
    UINT codePage;
    const char* name;
};

// The names Windows' own XML readers give these code pages.
constexpr CodePageName kCodePageNames[] = {
    {874, "windows-874"},   {932, "shift_jis"},     {936, "gbk"},           {949, "ks_c_5601-1987"},
    {950, "big5"},          {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, "windows-1252"},
    {1253, "windows-1253"}, {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"},
    {1257, "windows-1257"}, {1258, "windows-1258"}, {CP_UTF8, ""},
};

} // namespace

const char* OsNarrowEncodingName() {
    const UINT codePage = GetACP();
    for (const CodePageName& entry : kCodePageNames) {
        if (entry.codePage == codePage)
            return entry.name;
    }
    return nullptr;
}

bool OsDecodeNarrowText(const std::string& text, std::vector<char32_t>& characters) {
    characters.clear();
    if (text.empty())
        return true;
    const int size = static_cast<int>(text.size());
    const int count =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (count <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], count);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(wide[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                characters.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        // A lone surrogate stays as it is, for the caller to refuse.
        characters.push_back(unit);
    }
    return true;
}

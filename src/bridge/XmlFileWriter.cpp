// The XML writer: the text is assembled in memory and reaches the file only at Flush, so
// an interrupted document leaves an empty file rather than half a document.
#include "bridge/XmlFileWriter.h"

#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/TextUtilities.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\"?>";
constexpr const char* kDeclarationStart = "<?xml version=\"1.0\" encoding=\"";
constexpr const char* kDeclarationEnd = "\"?>";
constexpr const char* kLineEnd = "\r\n";

// Enough for every 32-bit value in decimal, sign included, and the terminating zero.
constexpr std::uint32_t kIntegerTextSize = 12;

void AppendEscaped(std::string& text, const char* value) {
    for (const char* c = value; *c != '\0'; ++c) {
        switch (*c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        default:
            text.push_back(*c);
        }
    }
}

} // namespace

XmlFileWriter::XmlFileWriter() : file(-1) {}

XmlFileWriter::~XmlFileWriter() {
    Close();
}

void XmlFileWriter::Reset() {
    file = -1;
    text.clear();
}

bool XmlFileWriter::Open(const char* path, const char* encoding) {
    RequirePointer(path);
    RequirePointer(encoding);
    // A descriptor left open by an earlier document is closed rather than forgotten.
    Close();
    if (!OpenFile(file, path, true, true)) {
        Reset();
        return false;
    }
    if (encoding[0] == '\0') {
        text = kDeclaration;
    } else {
        text = kDeclarationStart;
        text += encoding;
        text += kDeclarationEnd;
    }
    text += kLineEnd;
    return true;
}

void XmlFileWriter::BeginElement(const char* name, bool lineEnd) {
    RequirePointer(name);
    text += '<';
    text += name;
    text += '>';
    if (lineEnd)
        text += kLineEnd;
}

void XmlFileWriter::EndElement(const char* name) {
    RequirePointer(name);
    text += "</";
    text += name;
    text += '>';
    text += kLineEnd;
}

void XmlFileWriter::WriteElement(const char* name, const char* value) {
    RequirePointer(value);
    BeginElement(name, false);
    AppendEscaped(text, value);
    EndElement(name);
}

void XmlFileWriter::WriteIntElement(const char* name, std::int32_t value) {
    char number[kIntegerTextSize] = {};
    FormatText(number, sizeof number, "%d", static_cast<int>(value));
    WriteElement(name, number);
}

bool XmlFileWriter::Flush() {
    if (file == -1)
        return false;
    Require(!text.empty());
    return WriteExact(file, text.data(), static_cast<std::uint32_t>(text.size()));
}

void XmlFileWriter::Close() {
    if (file != -1)
        CloseFile(file);
    Reset();
}

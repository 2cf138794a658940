// A minimal writer of XML text: start tags, end tags and one-line text elements, built in
// memory and written to one file with a single write.
//
// The writer knows nothing of nesting: the caller balances its elements. Lines end with
// carriage return and line feed; there is no indentation and no attribute. Values have
// their ampersands and angle brackets escaped, so that paths holding them still give a
// well-formed document; element names are written as they are.
#pragma once

#include <cstdint>
#include <string>

class XmlFileWriter {
public:
    XmlFileWriter();
    ~XmlFileWriter();
    XmlFileWriter(const XmlFileWriter&) = delete;
    XmlFileWriter& operator=(const XmlFileWriter&) = delete;

    // Forgets the file (without closing it) and the text.
    void Reset();

    // Creates or truncates `path` and starts the text with the XML declaration line, which
    // names `encoding` unless it is empty. False (and nothing held) when the file cannot be
    // created. Throws EError for a null or empty path or a null encoding.
    bool Open(const char* path, const char* encoding = "");

    // "<name>", followed by a line end when `lineEnd` is set. Throws EError for a null name.
    void BeginElement(const char* name, bool lineEnd);

    // "</name>" and a line end. Throws EError for a null name.
    void EndElement(const char* name);

    // "<name>value</name>" on one line. Throws EError for a null name or value.
    void WriteElement(const char* name, const char* value);

    // WriteElement with the value in decimal.
    void WriteIntElement(const char* name, std::int32_t value);

    // Writes the whole text in one call; true only when every byte was written. False
    // without an open file. The text is kept.
    bool Flush();

    // Closes the file when one is open (the outcome is not reported), then Reset.
    void Close();

    std::int32_t File() const { return file; }
    const std::string& Text() const { return text; }

private:
    std::int32_t file;
    std::string text;
};

// The job document: its exact bytes for each kind of document and run, its place in the
// working folder, and its failures. Documents that must be well-formed are also copied to
// bin/bridge-xml for the xmllint check that runs after this program.
#include "bridge/JobDocument.h"
#include "BridgeFixtures.h"
#include "bridge/WorkingFolder.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

// The document for working folder `folder` (no trailing separator), built line by line.
std::string ExpectedDocument(const std::string& folder, const std::string& kind,
                             const std::string& extension) {
    const std::string lines[] = {
        "<?xml version=\"1.0\"?>",
        "<General>",
        "<SourceApplication>Photoshop</SourceApplication>",
        "<PluginType>" + kind + "</PluginType>",
        "<ImageCount>1</ImageCount>",
        "<ImportPath>" + Escaped(folder) + "</ImportPath>",
        "<SourcePath>NA</SourcePath>",
        "<ImageList>",
        "<Image0000>Lumetra." + extension + "</Image0000>",
        "</ImageList>",
        "<ExportPath>" + Escaped(folder) + "</ExportPath>",
        "<ExportImage>Lumetra_Processed." + extension + "</ExportImage>",
        "</General>",
    };
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Keeps a copy of a written document, and the folder it must name, for the xmllint check.
void KeepForXmlCheck(const std::string& name, const std::string& documentPath,
                     const std::string& folder) {
    fs::create_directories("bridge-xml");
    fs::copy_file(documentPath, "bridge-xml/" + name + ".lif",
                  fs::copy_options::overwrite_existing);
    WriteFileBytes("bridge-xml/" + name + ".folder", folder);
}

class JobDocumentTest : public ::testing::Test {
protected:
    void UseTempFolder(const std::string& temp) {
        override.reset(); // restores the earlier folder before the next one is set
        override = std::make_unique<TempFolderOverride>(WithSeparator(temp));
        working = WithSeparator(temp) + "lumetrafilter";
        document = working + PathSeparator() + "Data.lif";
    }

    ScratchFolder scratch{"job"};
    std::unique_ptr<TempFolderOverride> override;
    std::string working;
    std::string document;
};

TEST_F(JobDocumentTest, SixteenBitFilterDocumentByteForByte) {
    // C:\Temp\ on Windows (395 bytes); a folder of our own natively.
    const bool windows = PathSeparator() == '\\';
    const std::string temp = windows ? "C:\\Temp" : scratch.Sub("Temp", true);
    const bool created = fs::create_directories(temp);
    UseTempFolder(temp);
    TestDocument document16(plugInModeRGB48, 16, 3);

    ASSERT_EQ(WriteJobDocument(&document16.state), noErr);
    EXPECT_STREQ(document16.state.jobFilePath, document.c_str());
    const std::string bytes = ReadFileBytes(document);
    EXPECT_EQ(bytes, ExpectedDocument(working, "FILTER", "ppm"));
    if (windows)
        EXPECT_EQ(bytes.size(), 395u);
    else
        EXPECT_EQ(bytes.size(),
                  395u + 2 * (working.size() - std::strlen("C:\\Temp\\lumetrafilter")));
    KeepForXmlCheck("rgb16-filter", document, working);
    if (windows) {
        fs::remove_all(working);
        if (created)
            fs::remove(temp);
    }
}

TEST_F(JobDocumentTest, NamesFollowTheDepthAndKindFollowsThePluginType) {
    UseTempFolder(scratch.Path());
    const struct {
        std::int16_t mode;
        std::int32_t depth;
        std::int16_t planes;
        std::int32_t pluginType;
        const char* kind;
        const char* extension;
    } cases[] = {
        {plugInModeRGBColor, 8, 3, kPluginTypeFilter, "FILTER", "ppm"},
        {plugInModeRGB48, 16, 3, kPluginTypeFilter, "FILTER", "ppm"},
        {plugInModeRGB96, 32, 3, kPluginTypeFilter, "FILTER", "pfm"},
        {plugInModeGrayScale, 8, 1, kPluginTypeFilter, "FILTER", "ppm"},
        {plugInModeGray32, 32, 1, kPluginTypeFilter, "FILTER", "pfm"},
        {plugInModeRGB48, 16, 3, kPluginTypeExport, "EXPORT", "ppm"},
        {plugInModeRGB48, 16, 3, 7, "UNKNOWN", "ppm"},
        {plugInModeRGB48, 16, 3, -1, "UNKNOWN", "ppm"},
    };
    for (const auto& c : cases) {
        TestDocument doc(c.mode, c.depth, c.planes);
        doc.state.pluginType = c.pluginType;
        ASSERT_EQ(WriteJobDocument(&doc.state), noErr);
        EXPECT_EQ(ReadFileBytes(document), ExpectedDocument(working, c.kind, c.extension))
            << "mode " << c.mode << ", depth " << c.depth << ", plugin type " << c.pluginType;
    }
}

TEST_F(JobDocumentTest, SecondDocumentReplacesTheFirstAndLeavesTheImageAlone) {
    UseTempFolder(scratch.Path());
    TestDocument doc32(plugInModeRGB96, 32, 3);
    ASSERT_EQ(WriteJobDocument(&doc32.state), noErr);
    // The exported image is already in the folder when the document is written.
    const std::string image = working + PathSeparator() + "Lumetra.ppm";
    WriteFileBytes(image, "P6\n1\n1\n65535\n123456");
    TestDocument doc16(plugInModeRGB48, 16, 3);
    ASSERT_EQ(WriteJobDocument(&doc16.state), noErr);
    EXPECT_EQ(ReadFileBytes(document), ExpectedDocument(working, "FILTER", "ppm"));
    EXPECT_EQ(ReadFileBytes(image), "P6\n1\n1\n65535\n123456");
}

TEST_F(JobDocumentTest, SpecialCharactersInTheFolderStayWellFormed) {
    // Angle brackets cannot stand in a Windows file name; the writer's own tests cover them.
    const std::string temp = scratch.Sub("R&D folder", true);
    UseTempFolder(temp);
    TestDocument doc(plugInModeRGB48, 16, 3);
    ASSERT_EQ(WriteJobDocument(&doc.state), noErr);
    EXPECT_STREQ(doc.state.jobFilePath, document.c_str()) << "the path itself is not escaped";
    EXPECT_EQ(ReadFileBytes(document), ExpectedDocument(working, "FILTER", "ppm"));
    EXPECT_NE(ReadFileBytes(document).find("R&amp;D folder"), std::string::npos);
    KeepForXmlCheck("special-characters", document, working);
}

TEST_F(JobDocumentTest, FoldersOutsideAsciiAreWrittenAsUtf8) {
    // Linux names are bytes read as UTF-8, which needs no declaration; a tab is text too.
    if (PathSeparator() == '\\')
        GTEST_SKIP() << "Windows folders outside ASCII have their own tests";
    const char* folders[] = {"Jos\xC3\xA9", "\xE5\xBC\xA0\xE4\xBC\x9F",
                             "\xD0\x94\xD0\xBC\xD0\xB8\xD1\x82\xD1\x80\xD0\xB8\xD0\xB9",
                             "smile \xF0\x9F\x98\x80", "tab\there"};
    int index = 0;
    for (const char* name : folders) {
        UseTempFolder(scratch.Sub(name, true));
        TestDocument doc(plugInModeRGB48, 16, 3);
        ASSERT_EQ(WriteJobDocument(&doc.state), noErr) << name;
        EXPECT_EQ(ReadFileBytes(document), ExpectedDocument(working, "FILTER", "ppm")) << name;
        KeepForXmlCheck("utf8-" + std::to_string(index++), document, working);
    }
}

TEST_F(JobDocumentTest, FoldersNoReaderGetsBackAreRefusedBeforeAnythingIsWritten) {
    // XML 1.0 cannot carry most control characters even as references, a reader turns a
    // carriage return into a line feed, and a document without a declaration is UTF-8.
    std::vector<std::string> names = {"a\x01b", "a\x1Fz", "a\rb", "a\nb"};
    if (PathSeparator() == '/') {
        names.insert(names.end(), {"Jos\xE9", "over\xC0\xAFlong", "cut\xE5\xBC",
                                   "nonchar\xEF\xBF\xBF", "c1\xC2\x85", "sur\xED\xA0\x80"});
    }
    for (const std::string& name : names) {
        // The folder itself exists where the system allows such a name.
        const std::string temp = scratch.Sub(name);
        std::error_code ignored;
        fs::create_directories(temp, ignored);
        UseTempFolder(temp);
        TestDocument doc(plugInModeRGB48, 16, 3);
        std::strcpy(doc.state.jobFilePath, "earlier");
        EXPECT_EQ(PrepareExportFilePath(&doc.state), paramErr) << testing::PrintToString(name);
        EXPECT_EQ(WriteJobDocument(&doc.state), paramErr) << testing::PrintToString(name);
        EXPECT_STREQ(doc.state.jobFilePath, "earlier");
        EXPECT_FALSE(fs::exists(working, ignored)) << testing::PrintToString(name);
    }
}

TEST_F(JobDocumentTest, FailuresLeaveTheEarlierPath) {
    UseTempFolder(scratch.Path());
    TestDocument doc(plugInModeRGB48, 16, 3);
    std::strcpy(doc.state.jobFilePath, "earlier");

    // A folder where the document should be: it cannot be created.
    fs::create_directories(document);
    EXPECT_EQ(WriteJobDocument(&doc.state), paramErr);
    EXPECT_STREQ(doc.state.jobFilePath, "earlier");
    fs::remove(document);

    TestDocument unsupported(plugInModeCMYKColor, 8, 4);
    std::strcpy(unsupported.state.jobFilePath, "earlier");
    EXPECT_EQ(WriteJobDocument(&unsupported.state), paramErr);
    EXPECT_STREQ(unsupported.state.jobFilePath, "earlier");

    // A temporary folder that does not exist: the working folder cannot be created.
    UseTempFolder(scratch.Sub("missing"));
    EXPECT_EQ(WriteJobDocument(&doc.state), paramErr);
    EXPECT_STREQ(doc.state.jobFilePath, "earlier");
}

TEST_F(JobDocumentTest, PathThatDoesNotFitTheFieldIsRefused) {
    // The temporary folder may hold 259 characters, but the document's path must fit the
    // state's field whole: a cut path would send the program to another file.
    std::string temp = scratch.Path();
    while (temp.size() < 240)
        temp = (fs::path(temp) / "deeper-folder").string();
    fs::create_directories(temp);
    UseTempFolder(temp);
    ASSERT_GE(document.size(), 260u);
    TestDocument doc(plugInModeRGB48, 16, 3);
    std::strcpy(doc.state.jobFilePath, "earlier");
    EXPECT_EQ(WriteJobDocument(&doc.state), paramErr);
    EXPECT_STREQ(doc.state.jobFilePath, "earlier");
    EXPECT_FALSE(FileExists(document));
}

TEST_F(JobDocumentTest, MissingStateThrows) {
    UseTempFolder(scratch.Path());
    EXPECT_THROW(WriteJobDocument(nullptr), EError);
    TestDocument doc(plugInModeRGB48, 16, 3);
    doc.state.filterRecord = nullptr;
    EXPECT_THROW(WriteJobDocument(&doc.state), EError);
}

} // namespace

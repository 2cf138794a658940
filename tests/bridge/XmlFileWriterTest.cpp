// The XML writer: exact bytes, nothing on disk before Flush, escaping of values, and the
// writer's behaviour without a file.
#include "bridge/XmlFileWriter.h"
#include "TestSystem.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class XmlFileWriterTest : public ::testing::Test {
protected:
    ScratchFolder folder{"xml"};
    std::string path = folder.Sub("out.xml");
};

TEST_F(XmlFileWriterTest, FreshDocumentIsTheDeclarationLine) {
    XmlFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(writer.Flush());
    writer.Close();
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes, "<?xml version=\"1.0\"?>\r\n");
    EXPECT_EQ(bytes.size(), 23u);

    ASSERT_TRUE(writer.Open(path.c_str(), "windows-1252"));
    ASSERT_TRUE(writer.Flush());
    writer.Close();
    EXPECT_EQ(ReadFileBytes(path), "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n");
}

TEST_F(XmlFileWriterTest, ElementsAreWrittenOnlyAtFlush) {
    XmlFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    writer.BeginElement("A", true);
    writer.WriteElement("B", "x");
    writer.WriteIntElement("C", 1);
    writer.BeginElement("D", false);
    writer.EndElement("D");
    writer.EndElement("A");
    EXPECT_EQ(ReadFileBytes(path), "") << "nothing reaches the file before Flush";
    ASSERT_TRUE(writer.Flush());
    writer.Close();
    EXPECT_EQ(ReadFileBytes(path), "<?xml version=\"1.0\"?>\r\n<A>\r\n<B>x</B>\r\n<C>1</C>\r\n"
                                   "<D></D>\r\n</A>\r\n");
}

TEST_F(XmlFileWriterTest, IntegersAreDecimalAcrossTheWholeRange) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {
        {1, "1"},
        {-5, "-5"},
        {0, "0"},
        {INT_MAX, "2147483647"},
        {-999999999, "-999999999"},
        {INT_MIN, "-2147483648"}, // eleven characters: must not be cut
    };
    for (const auto& c : cases) {
        XmlFileWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        writer.WriteIntElement("N", c.value);
        EXPECT_EQ(writer.Text(),
                  std::string("<?xml version=\"1.0\"?>\r\n<N>") + c.text + "</N>\r\n");
    }
}

TEST_F(XmlFileWriterTest, ValuesAreEscapedNamesAreNot) {
    const struct {
        const char* value;
        const char* written;
    } cases[] = {
        {"C:\\Temp\\lumetrafilter", "C:\\Temp\\lumetrafilter"},
        {"/tmp/R&D/", "/tmp/R&amp;D/"},
        {"a<b>c", "a&lt;b&gt;c"},
        {"&amp;", "&amp;amp;"},
        {"\"quoted\" 'text'", "\"quoted\" 'text'"},
        {"", ""},
    };
    for (const auto& c : cases) {
        XmlFileWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        writer.WriteElement("V", c.value);
        EXPECT_EQ(writer.Text(),
                  std::string("<?xml version=\"1.0\"?>\r\n<V>") + c.written + "</V>\r\n")
            << c.value;
    }
}

TEST_F(XmlFileWriterTest, OpenTruncatesAnExistingFile) {
    WriteFileBytes(path, std::string(500, 'x'));
    XmlFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), "");
    ASSERT_TRUE(writer.Flush());
    writer.Close();
    EXPECT_EQ(ReadFileBytes(path).size(), 23u);
}

TEST_F(XmlFileWriterTest, WithoutAFileNothingIsWritten) {
    XmlFileWriter writer;
    EXPECT_FALSE(writer.Flush()) << "never opened";

    EXPECT_FALSE(writer.Open(folder.Sub("missing-folder/out.xml").c_str()));
    EXPECT_EQ(writer.File(), -1);
    EXPECT_EQ(writer.Text(), "");
    writer.Close();
    EXPECT_EQ(writer.File(), -1);

    ASSERT_TRUE(writer.Open(path.c_str()));
    writer.Close();
    EXPECT_FALSE(writer.Flush()) << "after Close";
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(XmlFileWriterTest, MissingArgumentsThrow) {
    XmlFileWriter writer;
    EXPECT_THROW(writer.Open(nullptr), EError);
    EXPECT_THROW(writer.Open(""), EError);
    ASSERT_TRUE(writer.Open(path.c_str()));
    EXPECT_THROW(writer.BeginElement(nullptr, true), EError);
    EXPECT_THROW(writer.EndElement(nullptr), EError);
    EXPECT_THROW(writer.WriteElement(nullptr, "x"), EError);
    EXPECT_THROW(writer.WriteElement("x", nullptr), EError);
}

} // namespace

// The stand-in's reading of the job document and its command line.
#include "JobFile.h"

#include <gtest/gtest.h>

namespace {

const char kWorkedExample[] =
    "<?xml version=\"1.0\"?>\r\n<General>\r\n<SourceApplication>Photoshop</SourceApplication>\r\n"
    "<PluginType>FILTER</PluginType>\r\n<ImageCount>1</ImageCount>\r\n"
    "<ImportPath>C:\\Temp\\lumetrafilter</ImportPath>\r\n<SourcePath>NA</SourcePath>\r\n"
    "<ImageList>\r\n<Image0000>Lumetra.ppm</Image0000>\r\n</ImageList>\r\n"
    "<ExportPath>C:\\Temp\\lumetrafilter</ExportPath>\r\n"
    "<ExportImage>Lumetra_Processed.ppm</ExportImage>\r\n</General>\r\n";

TEST(JobFileTest, ReadsThePathsOfTheWorkedExample) {
    JobPaths paths;
    std::string error;
    ASSERT_TRUE(ReadJobPaths(kWorkedExample, '\\', paths, error)) << error;
    EXPECT_EQ(paths.input, "C:\\Temp\\lumetrafilter\\Lumetra.ppm");
    EXPECT_EQ(paths.output, "C:\\Temp\\lumetrafilter\\Lumetra_Processed.ppm");
}

TEST(JobFileTest, ElementTextMustStandOnOneLine) {
    std::string text;
    EXPECT_FALSE(FindElementText(kWorkedExample, "ImageList", text)) << "a container";
    EXPECT_FALSE(FindElementText(kWorkedExample, "Missing", text));
    EXPECT_FALSE(FindElementText("<A>open", "A", text));
    ASSERT_TRUE(FindElementText("<A>\nx</A>\n<A>second</A>", "A", text));
    EXPECT_EQ(text, "second");
    ASSERT_TRUE(FindElementText("<Image0000></Image0000>", "Image0000", text));
    EXPECT_EQ(text, "");
}

TEST(JobFileTest, DecodesThePredefinedEntitiesOnly) {
    EXPECT_EQ(DecodeEntities("a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos;"), "a&b <c> \"d\" 'e'");
    EXPECT_EQ(DecodeEntities("&amp;lt; &nbsp; &#65; & &"), "&lt; &nbsp; &#65; & &");
    std::string text;
    ASSERT_TRUE(FindElementText("<ImportPath>/tmp/R&amp;D</ImportPath>", "ImportPath", text));
    EXPECT_EQ(text, "/tmp/R&D");
}

TEST(JobFileTest, JoinsWithOneSeparator) {
    EXPECT_EQ(JoinJobPath("C:\\Temp", "a.ppm", '\\'), "C:\\Temp\\a.ppm");
    EXPECT_EQ(JoinJobPath("C:\\Temp\\", "a.ppm", '\\'), "C:\\Temp\\a.ppm");
    EXPECT_EQ(JoinJobPath("C:/Temp/", "a.ppm", '\\'), "C:/Temp/a.ppm");
    EXPECT_EQ(JoinJobPath("/tmp/x", "a.ppm", '/'), "/tmp/x/a.ppm");
    EXPECT_EQ(JoinJobPath("", "a.ppm", '/'), "a.ppm");
}

TEST(JobFileTest, NamesTheFirstMissingElement) {
    JobPaths paths;
    std::string error;
    EXPECT_FALSE(ReadJobPaths("<ImportPath>/tmp</ImportPath><Image0000>a.ppm</Image0000>"
                              "<ExportPath>/tmp</ExportPath>",
                              '/', paths, error));
    EXPECT_NE(error.find("ExportImage"), std::string::npos);
    EXPECT_FALSE(ReadJobPaths("", '/', paths, error));
    EXPECT_NE(error.find("ImportPath"), std::string::npos);
}

TEST(JobFileTest, AnUnquotedPathSplitAtItsBlanksIsJoinedAgain) {
    char program[] = "Lumetra.exe";
    char first[] = "C:\\Users\\Ann";
    char second[] = "Lee\\Temp\\lumetrafilter\\Data.lif";
    char* split[] = {program, first, second, nullptr};
    EXPECT_EQ(JobPathFromArguments(3, split), "C:\\Users\\Ann Lee\\Temp\\lumetrafilter\\Data.lif");
    char whole[] = "/tmp/a b/Data.lif";
    char* one[] = {program, whole, nullptr};
    EXPECT_EQ(JobPathFromArguments(2, one), "/tmp/a b/Data.lif");
    EXPECT_EQ(JobPathFromArguments(1, one), "");
}

} // namespace

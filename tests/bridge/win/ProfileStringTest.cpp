// A settings file as Windows itself writes it is read by our reader.
#include "BridgeFixtures.h"
#include "bridge/IniFile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(ProfileStringTest, FileWrittenByWritePrivateProfileStringIsRead) {
    SettingsProfile profile;
    std::filesystem::create_directories(profile.FolderPath());
    const std::string path = profile.FilePath();
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "Key", "Value", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("General", "ApplicationPath",
                                           "C:\\Program Files\\Lumetra", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("General", "Version", "1.11", path.c_str()));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); // flush any cache

    const std::string bytes = ReadFileBytes(path);
    EXPECT_NE(bytes.find("[General]\r\n"), std::string::npos) << bytes;
    std::string output;
    ASSERT_TRUE(ReadApplicationPath(output)) << bytes;
    EXPECT_EQ(output, "C:\\Program Files\\Lumetra\\");
}

} // namespace

// Folders outside plain ASCII under the ANSI code page this program runs with: Wine takes
// it from the Unix locale, and CTest runs the program under 1252, 932, 936 and 1251, each
// time with a Unix user whose profile folder is named outside ASCII. Every folder either
// serves the run, which then lands in it and names it in a job document that reads back
// as that folder, or is refused with nothing created anywhere.
#include "BridgeFixtures.h"
#include "WarningWatch.h"
#include "bridge/IniFile.h"
#include "bridge/JobDocument.h"
#include "bridge/Paths.h"
#include "bridge/WorkingFolder.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/Process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::wstring Decode(const std::string& text, UINT codePage) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           &wide[0], static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string text(wide.size() * 4 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                            static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

// The long form of an existing path, as the system names the folder itself.
std::wstring LongPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : L"";
}

bool SameText(const std::wstring& first, const std::wstring& second) {
    return !first.empty() &&
           CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Whether an ANSI path names the folder: as it is, or as its short name.
bool NamesFolder(const std::string& ansi, const std::wstring& folder) {
    const std::wstring decoded = Decode(ansi, CP_ACP);
    return SameText(decoded, folder) || SameText(LongPath(decoded), folder);
}

fs::path ProfileFolder() {
    wchar_t wide[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, wide)))
        return {};
    return wide;
}

// "Lumetra/plugin.ini" written through the profile's UTF-16 name; the folder is removed
// again on destruction.
class WideSettingsFile {
public:
    explicit WideSettingsFile(const std::string& bytes) : folder(ProfileFolder() / L"Lumetra") {
        fs::create_directories(folder);
        if (std::FILE* file = _wfopen((folder / L"plugin.ini").c_str(), L"wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
    ~WideSettingsFile() { fs::remove_all(folder); }
    WideSettingsFile(const WideSettingsFile&) = delete;
    WideSettingsFile& operator=(const WideSettingsFile&) = delete;

private:
    fs::path folder;
};

bool IsEmptyFolder(const fs::path& folder) {
    return fs::is_directory(folder) && fs::directory_iterator(folder) == fs::directory_iterator();
}

std::string ElementText(const std::string& document, const std::string& name) {
    const std::string open = "<" + name + ">";
    const std::size_t start = document.find(open);
    const std::size_t end = document.find("</" + name + ">");
    if (start == std::string::npos || end == std::string::npos)
        return "";
    return document.substr(start + open.size(), end - start - open.size());
}

// The whole file, found by its UTF-16 name.
std::string ReadWide(const fs::path& path) {
    std::string bytes;
    if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
        char chunk[512];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.append(chunk, n);
        std::fclose(file);
    }
    return bytes;
}

std::string FirstLine(const std::string& document) {
    return document.substr(0, document.find("\r\n"));
}

// TMP and TEMP in UTF-16, so that a folder may carry any character.
class WideTempFolder {
public:
    explicit WideTempFolder(const std::wstring& folder) {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH * 2] = {};
            saved.emplace_back(name, value, GetEnvironmentVariableW(name, value, MAX_PATH * 2));
            SetEnvironmentVariableW(name, (folder + L"\\").c_str());
        }
    }
    ~WideTempFolder() {
        for (const auto& [name, value, length] : saved)
            SetEnvironmentVariableW(name.c_str(), length > 0 ? value.c_str() : nullptr);
    }

private:
    std::vector<std::tuple<std::wstring, std::wstring, DWORD>> saved;
};

// filterhost runs the product module on a made 16-bit document, started with
// CreateProcessW so that it inherits this process's UTF-16 environment (TMP with it)
// unchanged; its output goes to `log`. Returns its exit code.
DWORD RunFilterHost(const fs::path& output, const fs::path& log) {
    const fs::path bin = fs::current_path();
    std::wstring line = L"\"" + (bin / L"filterhost.exe").wstring() + L"\" --plugin \"" +
                        (bin / L"Lumetra.8bf").wstring() +
                        L"\" --print-window --make 40x7 --depth 16 --output \"" + output.wstring() +
                        L"\"";
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE logFile = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE)
        return ~DWORD{0};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = logFile;
    startup.hStdError = logFile;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(logFile);
    if (!started)
        return ~DWORD{0};
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = ~DWORD{0};
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The same, closing the warning boxes the run shows; `warnings` receives them.
DWORD RunFilterHost(const fs::path& output, std::vector<SeenWarning>& warnings) {
    const fs::path log = output.wstring() + L".log";
    DWORD code = ~DWORD{0};
    warnings = WatchWarnings([&] { code = RunFilterHost(output, log); }, log.string());
    return code;
}

// Wine now and then loses a new process before any of its code has run; CreateProcess then
// fails with ERROR_INTERNAL_ERROR, which Windows never gives for a program that is there. A
// run the product could not start for that reason says nothing about the folder (TMP), so
// it is run once more, without the files the lost run left there.
DWORD RunFilterHostIn(const fs::path& folder, const fs::path& output,
                      std::vector<SeenWarning>& warnings) {
    const std::string lost = OsSystemErrorText(ERROR_INTERNAL_ERROR);
    const DWORD code = RunFilterHost(output, warnings);
    if (code == 0 || warnings.size() != 1 ||
        warnings[0].text.rfind("Lumetra could not start the program ", 0) != 0 ||
        warnings[0].text.find(": " + lost + " ") == std::string::npos)
        return code;
    fs::remove_all(folder / L"lumetrafilter");
    return RunFilterHost(output, warnings);
}

struct NameCase {
    const wchar_t* name;
    // Code pages under which the folder must serve even where it has no short name.
    std::vector<UINT> exactIn;
};

const NameCase kNames[] = {
    {L"Jos\u00e9", {1252, 936}},
    {L"\u5f20\u4f1f", {936}},
    {L"\u0414\u043c\u0438\u0442\u0440\u0438\u0439", {1251, 932, 936}},
    {L"smile \U0001F600", {}},
    {L"\u8868", {932, 936}},
    {L"\u30bd\u30d5\u30c8\u80fd", {932}},
};

class FolderNamesTest : public ::testing::Test {
protected:
    // A folder on C:, where the system keeps plain ASCII short names, and one in the
    // user's profile, which the test prefix keeps in a place where Wine makes no short
    // names: there only the exact ANSI path can serve.
    void SetUp() override {
        const std::wstring label = L"names-" + std::to_wstring(GetCurrentProcessId());
        bases = {fs::path(L"C:\\") / label, ProfileFolder() / label};
        for (const fs::path& base : bases)
            fs::create_directories(base);
    }
    void TearDown() override {
        std::error_code ignored;
        for (const fs::path& base : bases)
            fs::remove_all(base, ignored);
    }

    std::vector<fs::path> bases;
};

TEST_F(FolderNamesTest, TemporaryFolderServesOnlyAsItself) {
    const UINT codePage = GetACP();
    const std::string keep = "bridge-xml-names";
    const std::string run = std::to_string(codePage) + "-" + std::to_string(GetCurrentProcessId());
    fs::create_directories(keep);
    // The second base lies in the profile, which serves only when its own name does.
    std::string profileFolder;
    const bool profileServes = GetProfileFolder(profileFolder);
    int served = 0;
    for (const fs::path& base : bases) {
        const bool shortNames = base.root_name() == L"C:";
        // Best fit would turn "José" into this one under several code pages.
        const fs::path lookalike = base / L"Jose";
        fs::create_directories(lookalike);
        for (const NameCase& c : kNames) {
            const fs::path folder = base / c.name;
            fs::create_directories(folder);
            const std::string label = Utf8(folder.wstring());
            WideTempFolder temp(folder.wstring());
            TestDocument doc(plugInModeRGB48, 16, 3);
            const std::int16_t prepared = PrepareExportFilePath(&doc.state);
            const bool mustServe =
                shortNames || (profileServes && std::find(c.exactIn.begin(), c.exactIn.end(),
                                                          codePage) != c.exactIn.end());
            if (prepared != noErr) {
                EXPECT_FALSE(mustServe) << label;
                EXPECT_EQ(prepared, paramErr) << label;
                EXPECT_EQ(WriteJobDocument(&doc.state), paramErr) << label;
                EXPECT_TRUE(IsEmptyFolder(folder)) << label;
                continue;
            }
            ASSERT_EQ(OpenExportFile(&doc.state), noErr) << label;
            ASSERT_EQ(WriteJobDocument(&doc.state), noErr) << label;
            EXPECT_TRUE(fs::exists(folder / L"lumetrafilter" / L"Lumetra.ppm")) << label;
            EXPECT_TRUE(fs::exists(folder / L"lumetrafilter" / L"Data.lif")) << label;

            // The document names the folder that was used, in the encoding it declares.
            const std::string document = ReadWide(folder / L"lumetrafilter" / L"Data.lif");
            const std::string named = ElementText(document, "ImportPath");
            EXPECT_EQ(ElementText(document, "ExportPath"), named);
            EXPECT_TRUE(NamesFolder(named, (folder / L"lumetrafilter").wstring())) << label;
            const bool ascii =
                std::all_of(named.begin(), named.end(), [](char b) { return (b & 0x80) == 0; });
            if (shortNames) {
                EXPECT_TRUE(ascii) << label << ": a plain ASCII short name serves first";
            }
            EXPECT_EQ(FirstLine(document) == "<?xml version=\"1.0\"?>", ascii) << label;
            fs::copy_file((folder / L"lumetrafilter" / L"Data.lif"),
                          keep + "/" + run + "-" + std::to_string(served) + ".lif",
                          fs::copy_options::overwrite_existing);
            WriteFileBytes(keep + "/" + run + "-" + std::to_string(served) + ".folder",
                           Utf8(Decode(named, CP_ACP)));
            ++served;
            CloseFile(doc.state.exportFile);
        }
        EXPECT_TRUE(IsEmptyFolder(lookalike)) << "nothing goes to a folder the user did not name";
    }
    EXPECT_GT(served, 0);
}

TEST_F(FolderNamesTest, WholeRunsThroughTheProgramLandInTheFolder) {
    std::string profileFolder;
    if (!GetProfileFolder(profileFolder))
        GTEST_SKIP() << "no settings file can be found in this profile (its own test)";
    WideSettingsFile settings("[General]\r\nApplicationPath=" + fs::current_path().string() +
                              "\r\n");
    const fs::path reference = bases[0] / L"reference.ppm";
    {
        const fs::path plain = bases[0] / L"plain";
        fs::create_directories(plain);
        WideTempFolder temp(plain.wstring());
        std::vector<SeenWarning> warnings;
        ASSERT_EQ(RunFilterHostIn(plain, reference, warnings), 0u);
        EXPECT_TRUE(warnings.empty());
    }
    const std::string expected = ReadWide(reference);
    ASSERT_FALSE(expected.empty());
    int index = 0;
    for (const fs::path& base : bases) {
        for (const wchar_t* name : {L"Jos\u00e9", L"\u8868", L"\u5f20\u4f1f"}) {
            const fs::path folder = base / name;
            // The test host writes its document through an ANSI path of its own.
            const fs::path output = bases[0] / (L"out-" + std::to_wstring(index++) + L".ppm");
            fs::create_directories(folder);
            WideTempFolder temp(folder.wstring());
            std::vector<SeenWarning> warnings;
            const DWORD code = RunFilterHostIn(folder, output, warnings);
            const std::string label = Utf8(folder.wstring());
            if (code != 0) {
                EXPECT_TRUE(IsEmptyFolder(folder)) << label;
                EXPECT_NE(base.root_name(), L"C:") << label << ": short names serve";
                // The user reads which folder could not be used, as the code page can
                // write it, and which variable to set.
                ASSERT_EQ(warnings.size(), 1u) << label;
                EXPECT_TRUE(warnings[0].ownedByHostWindow) << label;
                EXPECT_EQ(warnings[0].text.rfind("Lumetra cannot use the folder ", 0), 0u)
                    << warnings[0].text;
                EXPECT_NE(warnings[0].text.find("Set TMP to a plain temporary folder"),
                          std::string::npos)
                    << warnings[0].text;
                continue;
            }
            EXPECT_TRUE(warnings.empty()) << label;
            EXPECT_EQ(ReadWide(output), expected) << label;
            EXPECT_TRUE(fs::exists(folder / L"lumetrafilter" / L"Lumetra_Processed.ppm")) << label;
        }
    }
}

TEST(FolderNamesSeparatorTest, TrailBytesAreNotBackslashes) {
    // The second byte of "表" under code pages 932 and 936 is 0x5C.
    const std::string folder = "C:\\apps\\\x95\x5C";
    const UINT codePage = GetACP();
    const bool doubleByte = codePage == 932 || codePage == 936;
    EXPECT_EQ(EndsWithBackslash(folder), !doubleByte);
    EXPECT_EQ(JoinPath(folder, "Lumetra.exe"),
              doubleByte ? folder + "\\Lumetra.exe" : folder + "Lumetra.exe");
    EXPECT_EQ(WithoutTrailingBackslash(folder + "\\"), folder);
    EXPECT_EQ(WithoutTrailingBackslash(folder), doubleByte ? folder : "C:\\apps\\\x95");
    EXPECT_TRUE(EndsWithBackslash("\x95\x5C\\"));
    EXPECT_FALSE(EndsWithBackslash(""));

    if (!doubleByte)
        return;
    WideSettingsFile settings("[General]\r\nApplicationPath=" + folder + "\r\n");
    std::string output;
    ASSERT_TRUE(ReadApplicationPath(output));
    EXPECT_EQ(output, folder + "\\");
}

TEST(FolderNamesProfileTest, ProfileServesOnlyAsItself) {
    const fs::path profile = ProfileFolder();
    ASSERT_FALSE(profile.empty());
    const std::wstring name = profile.filename().wstring();
    if (std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; }))
        GTEST_SKIP() << "this run's profile folder is plain ASCII";
    std::string folder;
    std::string application;
    const bool found = GetProfileFolder(folder);
    {
        WideSettingsFile settings("[General]\r\nApplicationPath=C:\\Apps\\Tool\r\n");
        EXPECT_EQ(ReadApplicationPath(application), found);
    }
    const UINT codePage = GetACP();
    // Z: keeps no short names under Wine: "表" serves as its exact double-byte form, whose
    // last byte is 0x5C, and "张伟" has no form at all under 1252.
    if (name == L"\u8868" && codePage == 932) {
        EXPECT_TRUE(found);
    }
    if (name == L"\u5f20\u4f1f") {
        EXPECT_EQ(found, codePage == 936);
    }
    if (!found) {
        EXPECT_TRUE(folder.empty());
        return;
    }
    EXPECT_EQ(application, "C:\\Apps\\Tool\\");
    EXPECT_TRUE(NamesFolder(WithoutTrailingBackslash(folder), profile.wstring()));
}

} // namespace

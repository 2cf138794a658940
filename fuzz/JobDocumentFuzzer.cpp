// Fuzz target: the job document for arbitrary folder names. Each input is a folder path
// below the private folder (its slashes make subfolders); the temporary folder is pointed
// there and the plug-in's own WriteJobDocument writes Data.lif into its working folder.
//
// A written document must be well-formed XML to a real reader (libxml2), and its
// ImportPath and ExportPath must read back as exactly the working folder that was used;
// otherwise the write must be refused with -50. A folder of printable ASCII whose paths
// fit must be written.
#include "FuzzSupport.h"

#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"

#include "bridge/JobDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kLongestPath = 259;

void IgnoreXmlError(void*, const char*, ...) {}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The text of the element `name` among the children of `parent`; false when there is
// none.
bool ChildText(xmlNode* parent, const char* name, std::string& text) {
    for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE ||
            std::strcmp(reinterpret_cast<const char*>(child->name), name) != 0)
            continue;
        xmlChar* content = xmlNodeGetContent(child);
        text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
        xmlFree(content);
        return true;
    }
    return false;
}

// Checks the document written for `folder` with a real XML reader.
void CheckDocument(const std::string& folder) {
    const std::string bytes = ReadWholeFile(folder + "/Data.lif");
    xmlDoc* document =
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "Data.lif", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr)
        Violation("Data.lif is not well-formed XML");
    xmlNode* root = xmlDocGetRootElement(document);
    std::string import, exported;
    if (root == nullptr || std::strcmp(reinterpret_cast<const char*>(root->name), "General") != 0 ||
        !ChildText(root, "ImportPath", import) || !ChildText(root, "ExportPath", exported))
        Violation("Data.lif lacks its folder elements");
    if (import != folder || exported != folder)
        Violation("ImportPath or ExportPath does not read back as the working folder");
    xmlFreeDoc(document);
}

bool IsPrintableAscii(const std::string& text) {
    for (const char c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// Makes every folder of `relative` below the private folder; the ones made are listed so
// that they can go again. False when one cannot be made.
bool MakeFolders(const std::string& relative, std::vector<std::string>& made) {
    std::string path = PrivateFolder();
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string component = relative.substr(start, end - start);
        start = end + 1;
        if (component.empty())
            continue;
        path += '/';
        path += component;
        if (::mkdir(path.c_str(), 0700) != 0)
            return false;
        made.push_back(path);
    }
    return true;
}

bool EscapesPrivateFolder(const std::string& relative) {
    const std::string wrapped = "/" + relative + "/";
    return wrapped.find("/./") != std::string::npos || wrapped.find("/../") != std::string::npos;
}

// TMPDIR lives in this one buffer: setenv keeps every value it ever replaced, which
// would grow by a path per input.
char gTemporaryVariable[1024] = "TMPDIR=";

void SetTemporaryFolder(const std::string& folder) {
    constexpr std::size_t kNameLength = sizeof "TMPDIR=" - 1;
    if (kNameLength + folder.size() >= sizeof gTemporaryVariable)
        Violation("the folder does not fit the variable");
    std::memcpy(gTemporaryVariable + kNameLength, folder.c_str(), folder.size() + 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrivateFolder();
    if (::putenv(gTemporaryVariable) != 0)
        Violation("cannot set TMPDIR");
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, IgnoreXmlError);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Far beyond the longest path the plug-in takes; only the variable's buffer limits it.
    if (size > 900)
        return 0;
    const std::string relative(reinterpret_cast<const char*>(data), size);
    // No folder name holds a zero byte, and "." or ".." would leave the private folder.
    if (relative.find('\0') != std::string::npos || EscapesPrivateFolder(relative))
        return 0;
    std::vector<std::string> made;
    const bool folderMade = MakeFolders(relative, made);
    std::string temporary = PrivateFolder() + "/" + relative;
    SetTemporaryFolder(temporary);
    if (temporary.back() != '/')
        temporary += '/';
    const std::string working = temporary + "lumetrafilter";

    FilterRecord record{};
    record.imageMode = plugInModeRGB48;
    record.depth = 16;
    record.planes = 3;
    PluginState state{};
    InitialisePluginState(state);
    state.filterRecord = &record;
    const std::int16_t result = WriteJobDocument(&state);

    if (result == noErr)
        CheckDocument(working);
    else if (result != paramErr)
        Violation("a result other than 0 and -50");
    else if (folderMade && IsPrintableAscii(relative) &&
             working.size() + std::strlen("/Data.lif") <= kLongestPath)
        Violation("a printable folder whose paths fit was refused");

    std::remove((working + "/Data.lif").c_str());
    ::rmdir(working.c_str());
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        ::rmdir(folder->c_str());
    return 0;
}

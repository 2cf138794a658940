// Reading the job document.
#include "JobFile.h"

namespace {

struct Entity {
    const char* text;
    char character;
};

const Entity kEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};

} // namespace

bool FindElementText(const std::string& document, const std::string& name, std::string& text) {
    const std::string start = "<" + name + ">";
    const std::string end = "</" + name + ">";
    for (std::size_t at = document.find(start); at != std::string::npos;
         at = document.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        const std::size_t to = document.find(end, from);
        if (to == std::string::npos)
            return false;
        const std::string inner = document.substr(from, to - from);
        if (inner.find('\n') != std::string::npos)
            continue; // not on one line: a container element, or a broken one
        text = DecodeEntities(inner);
        return true;
    }
    return false;
}

std::string DecodeEntities(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const Entity& entity : kEntities) {
                const std::string name = entity.text;
                if (text.compare(i, name.size(), name) == 0) {
                    decoded.push_back(entity.character);
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            decoded.push_back(text[i++]);
    }
    return decoded;
}

std::string JoinJobPath(const std::string& folder, const std::string& name, char separator) {
    if (folder.empty())
        return name;
    const char last = folder.back();
    if (last == separator || last == '/')
        return folder + name;
    return folder + separator + name;
}

bool ReadJobPaths(const std::string& document, char separator, JobPaths& paths,
                  std::string& error) {
    const char* const names[] = {"ImportPath", "Image0000", "ExportPath", "ExportImage"};
    std::string values[4];
    for (int i = 0; i < 4; ++i)
        if (!FindElementText(document, names[i], values[i]) || values[i].empty()) {
            error = std::string("the job document has no element ") + names[i];
            return false;
        }
    paths.input = JoinJobPath(values[0], values[1], separator);
    paths.output = JoinJobPath(values[2], values[3], separator);
    return true;
}

std::string JobPathFromArguments(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            path += ' ';
        path += argv[i];
    }
    return path;
}

// The job document. Both folder elements hold the working folder itself: the program
// reads the image from ImportPath + Image0000 and leaves its result at ExportPath +
// ExportImage, which are the state's exportFilePath and processedFilePath.
#include "bridge/JobDocument.h"

#include "bridge/FileNames.h"
#include "bridge/Paths.h"
#include "bridge/WorkingFolder.h"
#include "bridge/XmlFileWriter.h"
#include "bridge/XmlText.h"
#include "core/ResultCodes.h"

#include <string>

namespace {

const char* RunKindText(std::int32_t pluginType) {
    switch (pluginType) {
    case kPluginTypeExport:
        return "EXPORT";
    case kPluginTypeFilter:
        return "FILTER";
    default:
        return "UNKNOWN";
    }
}

} // namespace

std::int16_t WriteJobDocument(PluginState* state) {
    ValidatePluginState(state);
    std::string folder;
    if (!GetWorkingFolder(folder, false))
        return paramErr;
    std::string exportName;
    if (!GetExportFileName(state, exportName))
        return paramErr;
    std::string processedName;
    if (!GetProcessedFileName(state, processedName))
        return paramErr;

    // The folder is the one text of the document that is not fixed: a folder that no
    // reader would give back as written is refused before the file is touched.
    std::string encoding;
    if (!GetXmlEncoding(folder, encoding))
        return paramErr;

    const std::string path = JoinPath(folder, kJobDocumentName);
    if (!FitsPathField(path))
        return paramErr;
    XmlFileWriter writer;
    if (!writer.Open(path.c_str(), encoding.c_str()))
        return paramErr;
    CopyPathTruncated(state->jobFilePath, sizeof state->jobFilePath, path.c_str());

    writer.BeginElement("General", true);
    writer.WriteElement("SourceApplication", "Photoshop");
    writer.WriteElement("PluginType", RunKindText(state->pluginType));
    writer.WriteIntElement("ImageCount", 1);
    writer.WriteElement("ImportPath", folder.c_str());
    writer.WriteElement("SourcePath", "NA");
    writer.BeginElement("ImageList", true);
    writer.WriteElement("Image0000", exportName.c_str());
    writer.EndElement("ImageList");
    writer.WriteElement("ExportPath", folder.c_str());
    writer.WriteElement("ExportImage", processedName.c_str());
    writer.EndElement("General");

    // A document the program cannot read in full must not count as written.
    const bool written = writer.Flush();
    writer.Close();
    return written ? noErr : paramErr;
}

// filterhost: loads a filter plug-in and runs it on a document as a host does.
#include "FilterSession.h"
#include "GradientDocument.h"
#include "HostMemory.h"
#include "HostOptions.h"
#include "ImageFile.h"
#include "PluginLoader.h"
#include "PngPreview.h"
#include "platform/HostFolders.h"
#include "platform/HostProgramServices.h"
#include "platform/HostWindow.h"

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 2;

int Fail(const std::string& message) {
    std::cerr << "filterhost: " << message << std::endl;
    return kExitUsage;
}

bool LoadDocument(const HostOptions& options, Document& document, EImageFormat& format,
                  std::string& error) {
    if (options.make) {
        document = MakeGradientDocument(options.color, options.depth != 0 ? options.depth : 8,
                                        options.makeWidth, options.makeHeight);
        format = NaturalFormat(document);
    } else if (!ReadImageFile(options.input, document, format, error)) {
        return false;
    }
    return FitDocumentToOptions(options, document, error);
}

void PrintInfo(const PluginModule& plugin) {
    if (plugin.hasPropertyList) {
        const PropertyList& list = plugin.properties;
        std::string modes;
        for (const std::string& mode : EnabledModeNames(list.modes))
            modes += (modes.empty() ? "" : " ") + mode;
        std::cout << "filterhost: category " << list.category << "\n"
                  << "filterhost: name " << list.name << "\n"
                  << "filterhost: modes " << modes << "\n";
    }
    std::cout << "filterhost: entry point " << plugin.entryName << std::endl;
}

int WriteResults(const HostOptions& options, const Document& document, EImageFormat readFormat) {
    std::string error;
    if (!options.output.empty() &&
        !WriteImageFile(options.output, document, FormatForPath(options.output, readFormat), error))
        return Fail(error);
    if (!options.preview.empty() && !WritePngPreview(options.preview, document, error))
        return Fail(error);
    return 0;
}

// A host that loads the module for each run unloads it after the run, then disposes of
// the handle the plug-in left in the data slot and starts the next run with an empty one.
bool EndRunOfReloadingHost(const HostOptions& options, PluginModule& plugin, HostProcess& process,
                           bool another, std::string& error) {
    UnloadPlugin(plugin);
    if (options.behaviour.disposeSlotAfterRun && process.dataSlot != 0) {
        const HandleProcs procs = MakeHostHandleProcs();
        procs.disposeProc(reinterpret_cast<Handle>(process.dataSlot));
        process.dataSlot = 0;
    }
    return !another || LoadPlugin(options.plugin, plugin, error);
}

int RunPlugin(const HostOptions& options, PluginModule& plugin, HostProcess& process,
              Document& document) {
    if (options.action == eActionAbout)
        return RunAbout(options, plugin.entry, process, std::cout);
    auto countOpenFiles = [&options](std::int32_t run) {
        if (options.countOpenFiles)
            std::cout << "filterhost: run " << run << " open-files " << CountOpenFiles()
                      << std::endl;
    };
    countOpenFiles(0);
    // A plug-in error ends that run only, as it does in a host: the user may run the filter
    // again. A failure of the host itself ends everything.
    ERunOutcome worst = eRunSucceeded;
    for (std::int32_t run = 1; run <= options.runs; ++run) {
        for (const auto& variable : options.runEnvironment) {
            if (variable.first == run) {
                const std::size_t equals = variable.second.find('=');
                SetEnvironmentValue(variable.second.substr(0, equals),
                                    variable.second.substr(equals + 1));
            }
        }
        const ERunOutcome outcome =
            RunFilterOnce(options, document, plugin.entry, process, run, std::cout, std::cerr);
        std::string error;
        if (options.behaviour.reloadEachRun &&
            !EndRunOfReloadingHost(options, plugin, process, run < options.runs, error))
            return Fail(error);
        countOpenFiles(run);
        if (outcome == eRunHostFailed)
            return outcome;
        if (outcome != eRunSucceeded)
            worst = outcome;
    }
    return worst;
}

int RunHost(const std::vector<std::string>& arguments) {
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(arguments, options, error))
        return Fail(error);
    if (options.action == eActionHelp) {
        std::cout << HostUsage();
        return 0;
    }
    Document document;
    EImageFormat format = eFormatPnm;
    if (options.action == eActionFilter && !LoadDocument(options, document, format, error))
        return Fail(error);

    // The window exists before the module is loaded, as a host's main window does.
    HostProcess process;
    process.window = CreateHostWindow(error);
    if (process.window == 0)
        return Fail(error);
    if (options.printWindow)
        std::cout << "filterhost: window " << process.window << std::endl;
    // A repeat in a new process of a host that kept the slot in 4 bytes: the value comes
    // from a process that no longer exists, and the parameters were asked for back then.
    if (options.repeatGiven) {
        process.dataSlot = static_cast<std::intptr_t>(options.repeatSlot);
        process.parametersAsked = true;
    }
    SetForeignMemoryLock(options.foreignLock == eForeignMemory);
    PluginModule plugin;
    if (!LoadPlugin(options.plugin, plugin, error)) {
        DestroyHostWindow(process.window);
        return Fail(error);
    }
    int status = 0;
    if (options.action == eActionInfo) {
        PrintInfo(plugin);
    } else {
        if (options.windowTimerMs > 0 &&
            !StartHostTimer(process.window, static_cast<std::uint32_t>(options.windowTimerMs)))
            std::cerr << "filterhost: the host's window timer could not be set" << std::endl;
        status = RunPlugin(options, plugin, process, document);
        if (options.windowTimerMs > 0)
            StopHostTimer(process.window);
        if (options.foreignLock != eForeignNone) {
            std::cout << "filterhost: foreign-handle calls " << ForeignHandleCalls() << "\n"
                      << "filterhost: foreign memory "
                      << (ForeignMemoryUnchanged() ? "unchanged" : "changed") << std::endl;
        }
        if (options.action == eActionFilter && status != eRunHostFailed) {
            const int written = WriteResults(options, document, format);
            status = written != 0 ? written : status;
        }
    }
    UnloadPlugin(plugin);
    DisposeAllHostHandles();
    DestroyHostWindow(process.window);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return RunHost(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for the document");
    } catch (const std::exception& failure) {
        return Fail(failure.what());
    }
}

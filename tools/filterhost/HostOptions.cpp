// Parsing the test host's command line.
#include "HostOptions.h"

#include "HostProfiles.h"

#include <limits>

namespace {

// A whole decimal integer within [low, high], nothing before or after it.
bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high,
                  std::int64_t& value) {
    if (text.empty() || text.size() > 12)
        return false;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size())
        return false;
    std::int64_t number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    if (text[0] == '-')
        number = -number;
    if (number < low || number > high)
        return false;
    value = number;
    return true;
}

// Comma-separated integers, exactly `count` of them, each within [low, high].
bool ParseList(const std::string& text, std::size_t count, std::int64_t low, std::int64_t high,
               std::vector<std::int64_t>& values, char separator = ',') {
    values.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        std::int64_t value = 0;
        if (!ParseInteger(text.substr(start, end - start), low, high, value))
            return false;
        values.push_back(value);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return values.size() == count;
}

using Setter = bool (*)(HostOptions& options, const std::string& value);

struct Switch {
    const char* name;
    const char* argument; // null for a switch without value
    const char* help;
    Setter set;
};

constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

const Switch kSwitches[] = {
    {"--plugin", "MODULE", "the plug-in module to load",
     [](HostOptions& o, const std::string& v) {
         o.plugin = v;
         return !v.empty();
     }},
    {"--input", "FILE", "the document: a binary PPM (P6), PGM (P5) or PFM (PF, Pf) file",
     [](HostOptions& o, const std::string& v) {
         o.input = v;
         return !v.empty();
     }},
    {"--make", "WIDTHxHEIGHT", "make a gradient document in memory instead of --input",
     [](HostOptions& o, const std::string& v) {
         std::vector<std::int64_t> size;
         if (!ParseList(v, 2, 1, kMaxDocumentSide, size, 'x'))
             return false;
         o.make = true;
         o.makeWidth = static_cast<std::int32_t>(size[0]);
         o.makeHeight = static_cast<std::int32_t>(size[1]);
         return true;
     }},
    {"--mode", "rgb|gray|cmyk|lab",
     "colour of the made document (default rgb); with an input file it must match it; "
     "cmyk and lab play an image mode the plug-in must refuse (cmyk gets 4 planes)",
     [](HostOptions& o, const std::string& v) {
         if (v == "rgb" || v == "gray") {
             o.colorGiven = true;
             o.color = v == "rgb" ? eColorRgb : eColorGray;
             return true;
         }
         o.modeOverride = v == "cmyk" ? eOverrideCmyk : v == "lab" ? eOverrideLab : eOverrideNone;
         return o.modeOverride != eOverrideNone;
     }},
    {"--depth", "8|16|32",
     "bits per sample of the made document (default 8); with an input file, convert to it",
     [](HostOptions& o, const std::string& v) {
         o.depth = v == "8" ? 8 : v == "16" ? 16 : v == "32" ? 32 : 0;
         return o.depth != 0;
     }},
    {"--output", "FILE",
     "write the document after the runs (also after a plug-in error, as the plug-in left "
     "it): .ppm/.pgm/.pnm or .pfm by extension, else the format read",
     [](HostOptions& o, const std::string& v) {
         o.output = v;
         return !v.empty();
     }},
    {"--preview", "PNG", "write an 8-bit PNG preview of the document after the runs",
     [](HostOptions& o, const std::string& v) {
         o.preview = v;
         return !v.empty();
     }},
    {"--about", nullptr, "run the about selector only",
     [](HostOptions& o, const std::string&) {
         o.action = eActionAbout;
         return true;
     }},
    {"--info", nullptr, "print the module's category, menu name, modes and entry point",
     [](HostOptions& o, const std::string&) {
         o.action = eActionInfo;
         return true;
     }},
    {"--help", nullptr, "print this text",
     [](HostOptions& o, const std::string&) {
         o.action = eActionHelp;
         return true;
     }},
    {"--no-advance-state", nullptr, "offer no advanceState callback",
     [](HostOptions& o, const std::string&) {
         o.advanceState = false;
         return true;
     }},
    {"--handle-procs", "VERSION,COUNT|none",
     "handle procs of another version or count (procs present), or none at all",
     [](HostOptions& o, const std::string& v) {
         if (v == "none") {
             o.handleProcs = false;
             return true;
         }
         std::vector<std::int64_t> values;
         if (!ParseList(v, 2, 0, kInt16Max, values) || values[1] > 8)
             return false;
         o.handleProcs = true;
         o.handleProcsVersion = static_cast<std::int16_t>(values[0]);
         o.handleProcsCount = static_cast<std::int16_t>(values[1]);
         return true;
     }},
    {"--no-big-document", nullptr, "offer no big-document block (bigDocumentData null)",
     [](HostOptions& o, const std::string&) {
         o.bigDocument = false;
         return true;
     }},
    {"--no-basic-suite", nullptr, "offer no basic suite (sSPBasic null), in every record",
     [](HostOptions& o, const std::string&) {
         o.basicSuite = false;
         return true;
     }},
    {"--coords16", nullptr,
     "offer the big-document block but ignore the plug-in's request for 32-bit "
     "coordinates: reset it after prepare and read the 16-bit rectangles",
     [](HostOptions& o, const std::string&) {
         o.coords16 = true;
         return true;
     }},
    {"--abort-after", "N", "abortProc answers true once N advanceState requests were made",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.abortAfter = ParseInteger(v, 0, kInt32Max, n) ? static_cast<std::int32_t>(n) : -1;
         return o.abortAfter >= 0;
     }},
    {"--advance-error", "N,CODE",
     "the N-th advanceState call (from 1) returns CODE and delivers nothing",
     [](HostOptions& o, const std::string& v) {
         std::vector<std::int64_t> values;
         if (!ParseList(v, 2, kInt16Min, kInt32Max, values) || values[0] < 1 ||
             values[1] > kInt16Max)
             return false;
         o.advanceErrorCall = static_cast<std::int32_t>(values[0]);
         o.advanceErrorCode = static_cast<std::int16_t>(values[1]);
         return true;
     }},
    {"--reenter-start", "N",
     "the N-th advanceState call first calls the plug-in's start selector again, with the "
     "same record and data slot, as a host whose menus stay live during a run may: "
     "filterhost: reentered start result <code>",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.reenterStartCall = ParseInteger(v, 1, kInt32Max, n) ? static_cast<std::int32_t>(n) : 0;
         return o.reenterStartCall != 0;
     }},
    {"--planes", "N",
     "total planes (1 to 8); more than the colour planes adds opaque alpha planes "
     "(4 with RGB: a layer with transparency)",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.planes = ParseInteger(v, 1, 8, n) ? static_cast<int>(n) : 0;
         return o.planes != 0;
     }},
    {"--layer-planes", "IN,OUT", "inLayerPlanes and outLayerPlanes (default: colour planes)",
     [](HostOptions& o, const std::string& v) {
         std::vector<std::int64_t> values;
         if (!ParseList(v, 2, 0, 16, values))
             return false;
         o.layerPlanesGiven = true;
         o.inLayerPlanes = static_cast<std::int16_t>(values[0]);
         o.outLayerPlanes = static_cast<std::int16_t>(values[1]);
         return true;
     }},
    {"--selection", "TOP,LEFT,BOTTOM,RIGHT",
     "a selection: filterRect and filterRect32 (filterCase 2); within the document",
     [](HostOptions& o, const std::string& v) {
         std::vector<std::int64_t> values;
         if (!ParseList(v, 4, 0, kMaxDocumentSide, values))
             return false;
         o.selectionGiven = true;
         o.selection = {static_cast<std::int32_t>(values[0]), static_cast<std::int32_t>(values[1]),
                        static_cast<std::int32_t>(values[2]), static_cast<std::int32_t>(values[3])};
         return o.selection.top < o.selection.bottom && o.selection.left < o.selection.right;
     }},
    {"--runs", "N", "run the whole sequence N times in one process, with one data slot",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.runs = ParseInteger(v, 1, 1000000, n) ? static_cast<std::int32_t>(n) : 0;
         return o.runs != 0;
     }},
    {"--faults-in-run", "N",
     "play the host faults (--abort-after, --advance-error, --reenter-start) in run N only, so "
     "that the "
     "other runs show how the plug-in recovers",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.faultRun = ParseInteger(v, 1, 1000000, n) ? static_cast<std::int32_t>(n) : 0;
         return o.faultRun != 0;
     }},
    {"--run-env", "N,NAME=VALUE",
     "set an environment variable of the host before run N (the programs the plug-in "
     "starts inherit it); may be repeated",
     [](HostOptions& o, const std::string& v) {
         const std::size_t comma = v.find(',');
         std::int64_t n = 0;
         if (comma == std::string::npos || !ParseInteger(v.substr(0, comma), 1, 1000000, n))
             return false;
         const std::string assignment = v.substr(comma + 1);
         const std::size_t equals = assignment.find('=');
         if (equals == 0 || equals == std::string::npos)
             return false;
         o.runEnvironment.emplace_back(static_cast<std::int32_t>(n), assignment);
         return true;
     }},
    {"--count-open-files", nullptr,
     "print after each run the files the host process has open: "
     "filterhost: run <n> open-files <k> (the first line before the first run has n 0)",
     [](HostOptions& o, const std::string&) {
         o.countOpenFiles = true;
         return true;
     }},
    {"--request-log", "FILE",
     "append one line per advanceState call: in T L B R lo hi out T L B R lo hi "
     "rate R mask M coords 32|16 result C (R and M: inputRate and maskRate as 16.16 "
     "fixed-point integers)",
     [](HostOptions& o, const std::string& v) {
         o.requestLog = v;
         return !v.empty();
     }},
    {"--no-platform-data", nullptr, "platformData null",
     [](HostOptions& o, const std::string&) {
         o.platformData = false;
         return true;
     }},
    {"--null-window", nullptr, "platform data present, but its window handle 0",
     [](HostOptions& o, const std::string&) {
         o.nullWindow = true;
         return true;
     }},
    {"--window-timer", "MS",
     "set the host's own timer (id 1) on its window and print, after each call, the "
     "timer messages its window received during the call (always 0 on Linux)",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         o.windowTimerMs = ParseInteger(v, 1, 60000, n) ? static_cast<std::int32_t>(n) : 0;
         return o.windowTimerMs != 0;
     }},
    {"--print-window", nullptr,
     "print the host's main window handle as filterhost: window <n> (decimal) before the "
     "module is loaded, so that a watcher can tell the module's boxes by their owner",
     [](HostOptions& o, const std::string&) {
         o.printWindow = true;
         return true;
     }},
    {"--host-profile", "gimp|paintnet|pspihost|bigdoc",
     "play the behaviours of a third-party host (each is described below); switches "
     "after it change what it sets",
     [](HostOptions& o, const std::string& v) { return ApplyHostProfile(v, o); }},
    {"--repeat-slot", "VALUE",
     "repeat the filter as a new process of a host that kept the data slot in 4 bytes: "
     "put VALUE (0 to 4294967295, as printed by an earlier --host-profile gimp process) "
     "into the slot before prepare, and skip parameters",
     [](HostOptions& o, const std::string& v) {
         std::int64_t n = 0;
         if (!ParseInteger(v, 0, std::numeric_limits<std::uint32_t>::max(), n))
             return false;
         o.repeatGiven = true;
         o.repeatSlot = static_cast<std::uint32_t>(n);
         return true;
     }},
    {"--foreign-lock", "null|memory",
     "what the handle procs do with a handle the host did not make: answer null, or take "
     "it for a pointer into this process and hand back a block of foreign memory; after "
     "the runs print 'filterhost: foreign-handle calls <n>' and 'filterhost: foreign "
     "memory unchanged' (or changed)",
     [](HostOptions& o, const std::string& v) {
         o.foreignLock = v == "null" ? eForeignNull : v == "memory" ? eForeignMemory : eForeignNone;
         return o.foreignLock != eForeignNone;
     }},
};

const Switch* FindSwitch(const std::string& name) {
    for (const Switch& candidate : kSwitches)
        if (name == candidate.name)
            return &candidate;
    return nullptr;
}

// The help text of a switch, wrapped to lines of at most 80 columns under its name.
std::string Wrapped(const std::string& text) {
    const std::string indent = "      ";
    std::string wrapped;
    std::string line = indent;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (line.size() > indent.size() && line.size() + 1 + word.size() > 80) {
            wrapped += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + word;
        start = end + 1;
    }
    return wrapped + line + "\n";
}

bool CheckCombination(const HostOptions& options, std::string& error) {
    if (options.action == eActionHelp)
        return true;
    if (options.plugin.empty()) {
        error = "--plugin MODULE is required";
        return false;
    }
    const bool document = options.make || !options.input.empty();
    if (options.action != eActionFilter) {
        if (document) {
            error = "--about and --info take no document";
            return false;
        }
        return true;
    }
    if (options.make == !options.input.empty()) {
        error = "give exactly one of --input FILE and --make WIDTHxHEIGHT";
        return false;
    }
    const HostBehaviour& b = options.behaviour;
    if (b.eightBitOnly && options.depth != 0 && options.depth != 8) {
        error = "--host-profile " + b.profile + " serves 8-bit documents only";
        return false;
    }
    if (b.rgbOnly && options.colorGiven && options.color != eColorRgb) {
        error = "--host-profile " + b.profile + " serves RGB documents only";
        return false;
    }
    return true;
}

} // namespace

bool ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options,
                      std::string& error) {
    options = HostOptions{};
    bool actionSeen = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        const Switch* found = FindSwitch(name);
        if (found == nullptr) {
            error = "unknown switch " + arguments[i] + " (see --help)";
            return false;
        }
        if (found->argument == nullptr && inlineValue) {
            error = name + " takes no value";
            return false;
        }
        if (found->argument != nullptr && !inlineValue) {
            if (i + 1 == arguments.size()) {
                error = name + " needs a value: " + found->argument;
                return false;
            }
            value = arguments[++i];
        }
        const bool action = name == "--about" || name == "--info" || name == "--help";
        if (action && actionSeen && name != "--help") {
            error = "give only one of --about and --info";
            return false;
        }
        actionSeen = actionSeen || action;
        if (!found->set(options, value)) {
            error =
                "bad value for " + name + ": '" + value + "' (expected " + found->argument + ")";
            return false;
        }
        if (options.action == eActionHelp)
            return true;
    }
    return CheckCombination(options, error);
}

std::string HostUsage() {
    std::string text =
        "usage:\n"
        "  filterhost --plugin MODULE --input FILE [--output FILE] [--preview PNG]\n"
        "             [switches]\n"
        "  filterhost --plugin MODULE --make WIDTHxHEIGHT --mode rgb|gray --depth 8|16|32\n"
        "             [--output FILE] [switches]\n"
        "  filterhost --plugin MODULE --about\n"
        "  filterhost --plugin MODULE --info\n"
        "  filterhost --help\n"
        "Runs a filter plug-in as a host does: parameters (first run only), prepare,\n"
        "start, continue while the plug-in asks for data, finish. Prints one line per\n"
        "call, 'filterhost: <selector> result <code>', and after each run\n"
        "'filterhost: run <n> took <seconds> s'. Exit code: 0 when every call returned\n"
        "0, 1 when the plug-in reported a nonzero result, 2 for usage, input or module\n"
        "errors.\n"
        "switches (a value may also be given as --switch=VALUE):\n";
    for (const Switch& entry : kSwitches) {
        std::string line = std::string("  ") + entry.name;
        if (entry.argument != nullptr)
            line += std::string(" ") + entry.argument;
        text += line + "\n" + Wrapped(entry.help);
    }
    text += "host profiles (--host-profile NAME):\n";
    for (const auto& profile : HostProfileTexts())
        text += "  " + profile.first + "\n" + Wrapped(profile.second);
    return text;
}

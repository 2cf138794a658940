// Why a run could not go ahead, and the text that tells the user so: which string of the
// module's table each cause has, and that string with the run's own paths put in, never
// cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum ERunProblem : std::int32_t {
    eProblemNone = 0,
    eProblemSettingsMissing,       // no settings file where the plug-in looks
    eProblemSettingsLineEnds,      // lines not ended by CR LF
    eProblemSettingsByteOrderMark, // a byte-order mark in front of the first line
    eProblemSettingsNoKey,         // no ApplicationPath line after [General]
    eProblemSettingsEmptyValue,    // ApplicationPath= with no folder
    eProblemSettingsBrackets,      // a folder with square brackets, read as a section
    eProblemSettingsTooLong,       // more than the reader takes
    eProblemSettingsUnreadable,    // there, but cannot be opened or read whole
    eProblemProgramNotStarted,     // no Lumetra.exe in the folder, or it did not start
    eProblemFolderBusy,            // another run holds the working folder
    eProblemTempFolder,            // the temporary or working folder cannot be used
    eProblemProfileFolder,         // the profile folder cannot be had
    eProblemEarlierFileHeld,       // a file of an earlier run under this run's names stays
};

// What the user is told: the cause, the file or folder the plug-in used, and for some
// causes a second text (the system's own message, the variable to set).
struct RunProblem {
    ERunProblem cause = eProblemNone;
    std::string path;
    std::string detail;
};

// Room for the longest text of the table that a cause uses, its terminating zero included.
constexpr std::size_t kProblemTableTextSize = 512;

// The string identifier of the cause's text; 0 for eProblemNone.
int ProblemStringId(ERunProblem cause);

// The text the module's table holds under ProblemStringId(cause); empty for eProblemNone.
std::string_view ProblemTableText(ERunProblem cause);

// `tableText` (the cause's string) with "^1" replaced by the path and "^2" by the detail,
// whole whatever their lengths.
std::string ProblemText(const RunProblem& problem, std::string_view tableText);

// Records the first problem of a run only: the one that stopped it.
void NoteProblem(RunProblem* problem, ERunProblem cause, const std::string& path,
                 const std::string& detail = {});

// The texts of the causes that stop a run, taken from the same definitions as the
// module's string table.
#include "ui/ProblemText.h"

#include "resources/ResourceTexts.h"
#include "ui/MessageText.h"

namespace {

struct ProblemString {
    ERunProblem cause;
    int id;
    std::string_view text;
};

#define LUMETRA_PROBLEM(cause, name)                                                               \
    { cause, LUMETRA_STRING_##name##_ID, LUMETRA_STRING_##name }

constexpr ProblemString kProblemStrings[] = {
    LUMETRA_PROBLEM(eProblemSettingsMissing, SETTINGS_MISSING),
    LUMETRA_PROBLEM(eProblemSettingsLineEnds, SETTINGS_LINE_ENDS),
    LUMETRA_PROBLEM(eProblemSettingsByteOrderMark, SETTINGS_BYTE_ORDER_MARK),
    LUMETRA_PROBLEM(eProblemSettingsNoKey, SETTINGS_NO_KEY),
    LUMETRA_PROBLEM(eProblemSettingsEmptyValue, SETTINGS_EMPTY_VALUE),
    LUMETRA_PROBLEM(eProblemSettingsBrackets, SETTINGS_BRACKETS),
    LUMETRA_PROBLEM(eProblemSettingsTooLong, SETTINGS_TOO_LONG),
    LUMETRA_PROBLEM(eProblemSettingsUnreadable, SETTINGS_UNREADABLE),
    LUMETRA_PROBLEM(eProblemProgramNotStarted, PROGRAM_NOT_STARTED),
    LUMETRA_PROBLEM(eProblemFolderBusy, FOLDER_BUSY),
    LUMETRA_PROBLEM(eProblemTempFolder, TEMP_FOLDER),
    LUMETRA_PROBLEM(eProblemProfileFolder, PROFILE_FOLDER),
    LUMETRA_PROBLEM(eProblemEarlierFileHeld, EARLIER_FILE_HELD),
};

#undef LUMETRA_PROBLEM

constexpr bool AllFit() {
    for (const ProblemString& entry : kProblemStrings)
        if (entry.text.size() >= kProblemTableTextSize)
            return false;
    return true;
}
static_assert(AllFit(), "a text of the table does not fit the buffer it is loaded into");

const ProblemString* Find(ERunProblem cause) {
    for (const ProblemString& entry : kProblemStrings)
        if (entry.cause == cause)
            return &entry;
    return nullptr;
}

} // namespace

int ProblemStringId(ERunProblem cause) {
    const ProblemString* entry = Find(cause);
    return entry != nullptr ? entry->id : 0;
}

std::string_view ProblemTableText(ERunProblem cause) {
    const ProblemString* entry = Find(cause);
    return entry != nullptr ? entry->text : std::string_view();
}

std::string ProblemText(const RunProblem& problem, std::string_view tableText) {
    return ReplacePlaceholdersUncut(tableText, problem.path, problem.detail);
}

void NoteProblem(RunProblem* problem, ERunProblem cause, const std::string& path,
                 const std::string& detail) {
    if (problem == nullptr || problem->cause != eProblemNone)
        return;
    problem->cause = cause;
    problem->path = path;
    problem->detail = detail;
}

// The warning messages and the advanceState check.
#include "core/Alert.h"

#include "platform/Dialogs.h"
#include "resources/ResourceTexts.h"
#include "ui/MessageText.h"

namespace {
// The oldest host version whose interface has advanceState.
constexpr double kRequiredHostVersion = 3.0;
} // namespace

std::int16_t ShowAlert(std::intptr_t owner, std::int16_t alertId, std::int16_t stringId,
                       const unsigned char* first, const unsigned char* second) {
    if (alertId == 0 || stringId <= 0)
        return 0;
    const std::string text =
        ReplacePlaceholders(LoadModuleString(stringId, kMessageTextLimit),
                            LengthPrefixedView(first), LengthPrefixedView(second));
    return static_cast<std::int16_t>(ShowWarningBox(owner, text));
}

bool CheckAdvanceState(AdvanceStateProc advanceState) {
    if (advanceState != nullptr)
        return true;
    const LengthPrefixedText version = MakeLengthPrefixed(FormatOneDecimal(kRequiredHostVersion));
    // Any non-zero alert identifier shows the message; this one is the table's first entry.
    ShowAlert(0, LUMETRA_STRING_INTEGER_RANGE_ID, LUMETRA_STRING_HOST_VERSION_ID, version.bytes,
              nullptr);
    return false;
}

void ShowRunProblem(std::intptr_t owner, const RunProblem& problem) {
    const int stringId = ProblemStringId(problem.cause);
    if (stringId == 0)
        return;
    const std::string tableText = LoadModuleString(stringId, kProblemTableTextSize - 1);
    if (!tableText.empty())
        ShowPathWarningBox(owner, ProblemText(problem, tableText));
}

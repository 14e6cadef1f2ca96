#include "app/Options.h"
#include "app/StandardOutput.h"
#include "platform/Text.h"

void UseUndoLastSwitch(const std::string&, UseCommandLineRun& run) {
    const UseUndoOutcome outcome = UseUndoSwitch();
    const std::string scope = outcome.machineWide ? "system" : "user";
    // The time comes from the record: one line, whatever it holds.
    const std::string time = UseEscapeControls(outcome.time);
    switch (outcome.result) {
    case UseUndoResult::Undone:
        UsePrintLine("The " + scope + " environment is back as it was before the switch of " + time + ".");
        return;
    case UseUndoResult::NoHistory:
        UsePrintLine("There is no switch to undo.");
        break;
    case UseUndoResult::ChangedSince:
        UsePrintLine(std::string(outcome.changed) + " of the " + scope +
                     " environment was changed after the switch of " + time + "; nothing was undone.");
        break;
    case UseUndoResult::Refused:
        UsePrintLine("The " + scope + " environment could not be written; the switch of " + time +
                     " was not undone.");
        break;
    case UseUndoResult::Unusable:
        UsePrintLine(
            "The record of the switch of " + time +
            " holds an NVLROOT or PATH that is not a string of at most 32,767 characters; nothing was "
            "undone.");
        break;
    }
    run.refused = true;
}

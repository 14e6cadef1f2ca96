#include "app/Options.h"
#include "app/StandardOutput.h"

void UseUndoLastSwitch(const std::string&, UseCommandLineRun& run) {
    const UseUndoOutcome outcome = UseUndoSwitch();
    const std::string scope = outcome.machineWide ? "system" : "user";
    switch (outcome.result) {
    case UseUndoResult::Undone:
        UsePrintLine("The " + scope + " environment is back as it was before the switch of " + outcome.time +
                     ".");
        return;
    case UseUndoResult::NoHistory:
        UsePrintLine("There is no switch to undo.");
        break;
    case UseUndoResult::ChangedSince:
        UsePrintLine(std::string(outcome.changed) + " of the " + scope +
                     " environment was changed after the switch of " + outcome.time +
                     "; nothing was undone.");
        break;
    case UseUndoResult::Refused:
        UsePrintLine("The " + scope + " environment could not be written; the switch of " + outcome.time +
                     " was not undone.");
        break;
    }
    run.refused = true;
}

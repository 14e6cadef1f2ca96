#include "app/Options.h"

#include "app/StandardOutput.h"

#include "platform/FileSystem.h"

#include <cstdio>
#include <optional>

namespace {
// What a switch left undone and says: a PATH that another program kept writing (exit code 1), a log
// not written for what stood at its place (the exit code stays the switch's).
void SayWhatWasLeft(const UseSwitchOutcome& outcome) {
    for (const std::string& line : {outcome.pathRefusal, outcome.logRefusal})
        if (!line.empty()) UsePrintLine(line);
}

// A script's switch records the new root for the file associations whatever the scope. A refused
// write prints nothing and does not stop the record; it only sets exit code 1, so a script can tell.
void SwitchTo(const std::string& root, UseCommandLineRun& run) {
    const UseSwitchOutcome outcome = UseSwitchRelease(root, *run.scope, true);
    SayWhatWasLeft(outcome);
    if (outcome.rootStatus != ERROR_SUCCESS || outcome.recordRefused || !outcome.pathRefusal.empty())
        run.refused = true;
}

void MarkNotFound(UseCommandLineRun& run) {
    run.openDialog = true;
    run.notFound = true;
}
} // namespace

void UseChooseEnvironmentScope(UseCommandLineRun& run) {
    if (!run.scope) run.scope = UseCurrentSwitchScope(false);
}

std::string UseFindReleaseRoot(const std::string& name, UseCommandLineRun& run) {
    // A hand-configured list that cannot be read throws UseException; start-up reports it.
    const std::string root = UseLookUpRelease(name, UseReleaseTrust::User).root;
    if (root.empty()) {
        std::printf("The release \"%s\" can not be found.\n", name.c_str());
        // A script reading the output sees the line before whatever the dialog or the next option does.
        std::fflush(stdout);
        run.notFound = true;
    }
    return root;
}

// The root a switch of scope takes for the release named: empty, after the line that says so, when
// there is none; nothing, after the line that says why, when the system environment may not take it.
// The system environment's comes from what administrators alone write, the machine-wide hand-configured
// list included whatever the user's own holds.
std::optional<std::string> RootToSwitchTo(const std::string& name, UseSwitchScope scope,
                                          UseCommandLineRun& run) {
    if (scope == UseSwitchScope::System)
        if (std::string root = UseLookUpRelease(name, UseReleaseTrust::Machine).root; !root.empty())
            return root;
    const std::string root = UseFindReleaseRoot(name, run);
    const std::string refusal = root.empty() ? "" : UseSwitchRefusal(name, root, scope);
    if (refusal.empty()) return root;
    UsePrintLine(refusal);
    run.refused = true;
    return std::nullopt;
}

void UseSwitchToRelease(const std::string& name, UseCommandLineRun& run) {
    UseChooseEnvironmentScope(run);
    const std::optional<std::string> root = RootToSwitchTo(name, *run.scope, run);
    if (!root) return;
    if (root->empty())
        MarkNotFound(run);
    else
        SwitchTo(*root, run);
}

void UseSwitchToPath(const std::string& folder, UseCommandLineRun& run) {
    UseChooseEnvironmentScope(run);
    if (!UseFileExists(folder)) {
        UsePrintLine("The release folder \"" + folder + "\" does not exist.");
        MarkNotFound(run);
        return;
    }
    SwitchTo(folder, run);
}

// An installer or a deployment tool runs it, often where no one sees a dialog, or where one is seen
// and never answered: none opens, whatever an option before asked for, and every outcome is a line.
// The machine's environment is written whatever NVLROOT says, and the root is recorded for no user:
// the account such a tool runs as is no one's whose file types follow the release.
void UseDeployRelease(const std::string& name, UseCommandLineRun& run) {
    run.openDialog = false;
    const std::optional<std::string> root = RootToSwitchTo(name, UseSwitchScope::System, run);
    if (!root || root->empty()) return;
    const UseSwitchOutcome outcome = UseSwitchRelease(*root, UseSwitchScope::System, false);
    SayWhatWasLeft(outcome);
    if (outcome.rootStatus != ERROR_SUCCESS)
        UsePrintLine("The system environment could not be written; release \"" + name +
                     "\" was not made active.");
    if (outcome.rootStatus != ERROR_SUCCESS || !outcome.pathRefusal.empty()) {
        run.refused = true;
        return;
    }
    UsePrintLine("Release \"" + name + "\" is active in the system environment: NVLROOT is " + outcome.root +
                 ".");
}

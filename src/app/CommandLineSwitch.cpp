#include "app/Options.h"

#include "app/StandardOutput.h"

#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "platform/FileSystem.h"

#include <cstdio>

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

UseRelease UseLookUpRelease(const std::string& name, bool machineListOnly) {
    const UseReleaseSet& detected = UseDetectedReleases();
    if (std::string root = detected.FindRoot(name); !root.empty()) return {detected.FindName(name), root};
    // A hand-configured list that cannot be read throws UseException; start-up reports it.
    if (machineListOnly) {
        const UseReleaseSet machine = UseMachineManualReleases();
        return {machine.FindName(name), machine.FindRoot(name)};
    }
    const UseReleaseSet& manual = UseManualReleases().Releases();
    return {manual.FindName(name), manual.FindRoot(name)};
}

std::string UseFindReleaseRoot(const std::string& name, UseCommandLineRun& run, bool machineListOnly) {
    const std::string root = UseLookUpRelease(name, machineListOnly).root;
    if (root.empty()) {
        std::printf("The release \"%s\" can not be found.\n", name.c_str());
        // A script reading the output sees the line before whatever the dialog or the next option does.
        std::fflush(stdout);
        run.notFound = true;
    }
    return root;
}

void UseSwitchToRelease(const std::string& name, UseCommandLineRun& run) {
    UseChooseEnvironmentScope(run);
    const std::string root = UseFindReleaseRoot(name, run);
    if (root.empty())
        MarkNotFound(run);
    else
        SwitchTo(root, run);
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
// the account such a tool runs as is no one's whose file types follow the release. A release added by
// hand counts only from the list administrators keep for every user.
void UseDeployRelease(const std::string& name, UseCommandLineRun& run) {
    run.openDialog = false;
    const std::string root = UseFindReleaseRoot(name, run, true);
    if (root.empty()) return;
    const UseSwitchOutcome outcome = UseSwitchRelease(root, UseSwitchScope::System, false);
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

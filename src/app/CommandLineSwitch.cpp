#include "app/Options.h"

#include "app/StandardOutput.h"

#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "platform/FileSystem.h"

#include <cstdio>

namespace {
// A script's switch records the new root for the file associations whatever the scope. A refused
// write prints nothing and does not stop the record; it only sets exit code 1, so a script can tell.
// A PATH that another program kept writing is said, and sets exit code 1 too; a log not written for
// what stood at its place is said, and leaves the exit code to the switch.
void SwitchTo(const std::string& root, UseCommandLineRun& run) {
    const UseSwitchOutcome outcome = UseSwitchRelease(root, *run.scope, true);
    for (const std::string& line : {outcome.pathRefusal, outcome.logRefusal})
        if (!line.empty()) UsePrintLine(line);
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

UseRelease UseLookUpRelease(const std::string& name) {
    const UseReleaseSet& detected = UseDetectedReleases();
    if (std::string root = detected.FindRoot(name); !root.empty()) return {detected.FindName(name), root};
    // A hand-configured store that cannot be read throws UseException; start-up reports it.
    const UseReleaseSet& manual = UseManualReleases().Releases();
    return {manual.FindName(name), manual.FindRoot(name)};
}

std::string UseFindReleaseRoot(const std::string& name, UseCommandLineRun& run) {
    const std::string root = UseLookUpRelease(name).root;
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

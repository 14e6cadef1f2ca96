#include "app/Options.h"

#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "environment/Environment.h"
#include "environment/PathRewrite.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <cstdio>

namespace {
// The reduced switch of a script: PATH and NVLROOT in the chosen scope, and the new root recorded
// for the file associations whatever the scope. A refused write prints nothing and does not stop
// the record; it only sets exit code 1, so a script can tell.
void SwitchTo(std::string root, UseCommandLineRun& run) {
    if (run.scope == UseCommandLineRun::Scope::System || run.scope == UseCommandLineRun::Scope::User) {
        const bool machineWide = run.scope == UseCommandLineRun::Scope::System;
        UseRewritePath(machineWide);
        // PATH lives in the same key, so NVLROOT's status answers for both. The write also takes the
        // root's trailing backslashes off, and the record below keeps it that way.
        if (UseEnvWriteRoot(root, machineWide) != ERROR_SUCCESS) run.refused = true;
    }
    if (!UseRegCreateKey(kFileAssociationsKey, false) ||
        !UseRegWriteString(kFileAssociationsKey, "rootDirectory", root, false))
        run.refused = true;
}

void MarkNotFound(UseCommandLineRun& run) {
    run.openDialog = true;
    run.notFound = true;
}
} // namespace

void UseChooseEnvironmentScope(UseCommandLineRun& run) {
    if (run.scope != UseCommandLineRun::Scope::Unchosen) return;
    if (!UseEnvReadRoot(true).empty())
        run.scope = UseCommandLineRun::Scope::System;
    else if (!UseEnvReadRoot(false).empty())
        run.scope = UseCommandLineRun::Scope::User;
    else
        run.scope = UseCommandLineRun::Scope::None;
}

void UseSwitchToRelease(const std::string& name, UseCommandLineRun& run) {
    UseChooseEnvironmentScope(run);
    std::string root = UseDetectedReleases().FindRoot(name);
    // A hand-configured store that cannot be read throws UseException; start-up reports it.
    if (root.empty()) root = UseManualReleases().Releases().FindRoot(name);
    if (root.empty()) {
        std::printf("The release \"%s\" can not be found.\n", name.c_str());
        // A script reading the output sees the line before whatever the dialog or the next option does.
        std::fflush(stdout);
        MarkNotFound(run);
        return;
    }
    SwitchTo(root, run);
}

void UseSwitchToPath(const std::string& folder, UseCommandLineRun& run) {
    UseChooseEnvironmentScope(run);
    if (!UseFileExists(folder)) {
        MarkNotFound(run);
        return;
    }
    SwitchTo(folder, run);
}

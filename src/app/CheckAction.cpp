#include "app/Options.h"
#include "app/StandardOutput.h"
#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "catalogue/ReleasePin.h"
#include "environment/Environment.h"
#include "environment/EnvironmentText.h"
#include "environment/ReleaseEnvironment.h"
#include "environment/SwitchHistory.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {
constexpr size_t kTruncatedLength = 2047; // what some programs read of a variable
constexpr size_t kNearLimit = 30000;      // of the 32,767 characters a variable may hold

// A folder as folders compare: expanded, lower case, without trailing backslashes.
std::string FolderKey(const std::string& folder) {
    return UseToLower(UseTrimTrailingBackslashes(folder));
}

struct Release {
    std::string name, rootKey;
};

class Checker {
public:
    explicit Checker(UseCommandLineRun& run) : run_(run) {
        for (const UseReleaseSet* set : {&UseDetectedReleases(), &UseManualReleases().Releases()})
            for (const auto& [name, root] : set->Entries())
                releases_.push_back({UseUtf8FromAnsi(name), FolderKey(UseExpandReferences(
                                                                UseUtf8FromAnsi(root), UseProcessVariable))});
    }

    // NVLROOT and PATH of one environment; returns its PATH expanded.
    std::string CheckScope(bool machineWide) {
        const std::string scope = machineWide ? "system" : "user";
        // What cannot be read is a problem of its own, never an environment without one.
        if (const std::string refusal = UseEnvUnreadable(machineWide); !refusal.empty()) {
            Report(refusal);
            return {};
        }
        const std::string root = UseUtf8FromAnsi(UseEnvReadRoot(machineWide));
        if (!root.empty() && std::ranges::none_of(releases_, [&](const Release& release) {
                return release.rootKey == FolderKey(root);
            }))
            Report("NVLROOT of the " + scope + " environment, \"" + root +
                   "\", is not the root of a release.");
        const std::optional<UseRegKey::Value> stored = UseEnvReadStored("PATH", machineWide);
        const std::vector<std::string> entries = UsePathEntries(UseStoredUtf8Text(stored));
        if (stored && stored->type == REG_SZ && std::ranges::any_of(entries, UseHoldsReference))
            Report("The " + scope +
                   " PATH holds % references but is stored as REG_SZ, so they are not expanded.");
        std::string expanded;
        for (const std::string& entry : entries) {
            const std::string folder = UseExpandWithRoot(entry, activeRoot_);
            expanded += (expanded.empty() ? "" : ";") + folder;
            const std::string key = FolderKey(folder);
            if (++seen_[key] == 2) repeated_.push_back(folder);
            const std::string described = "The " + scope + " PATH entry \"" + entry + "\"";
            if (UseFileStatusUtf8(folder) != UseFileKind::Folder)
                Report(described + " names no existing folder.");
            const auto owner = std::ranges::find_if(releases_, [&](const Release& release) {
                return release.rootKey != FolderKey(activeRoot_) &&
                       (key == release.rootKey || key.starts_with(release.rootKey + "\\"));
            });
            if (owner != releases_.end())
                Report(described + " is a folder of release \"" + owner->name +
                       "\", which is not the active one.");
        }
        return expanded;
    }

    void CheckJoined(const std::string& system, const std::string& user) {
        for (const std::string& folder : repeated_)
            Report("The folder \"" + folder + "\" is on PATH " + std::to_string(seen_[FolderKey(folder)]) +
                   " times.");
        const size_t length = UseUtf16FromUtf8(UseJoinPaths(system, user)).value_or(std::u16string()).size();
        if (length >= kNearLimit)
            Report("PATH is " + std::to_string(length) + " characters long, near the limit of 32,767.");
        else if (length > kTruncatedLength)
            Report("PATH is " + std::to_string(length) +
                   " characters long; some programs read only the first 2,047.");
    }

private:
    // One line, whatever an entry or a name holds.
    void Report(const std::string& line) {
        UsePrintLine(UseAnsiFromUtf8(UseEscapeControls(line)));
        run_.refused = true;
    }

    UseCommandLineRun& run_;
    std::vector<Release> releases_;
    const std::string activeRoot_ = UseUtf8FromAnsi(UseEnvReadActiveRoot());
    std::map<std::string, int> seen_;
    std::vector<std::string> repeated_;
};
} // namespace

void UseCheckEnvironment(const std::string&, UseCommandLineRun& run) {
    Checker checker(run);
    const std::string system = checker.CheckScope(true);
    checker.CheckJoined(system, checker.CheckScope(false));
    // A pin in force that cannot be read, names nothing or names no installed release: said as "-env ."
    // says it. No pin at all is no problem.
    const std::string folder = UseCurrentFolderUtf8();
    if (UseFindReleasePin(folder)) {
        UseCommandLineRun pinRun;
        UseFindPinnedRelease(folder, pinRun);
        run.refused = run.refused || pinRun.refused || pinRun.notFound;
    }
}

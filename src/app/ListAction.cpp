#include "app/Options.h"
#include "app/StandardOutput.h"
#include "catalogue/Detection.h"
#include "catalogue/ManualReleases.h"
#include "catalogue/ReleasePin.h"
#include "environment/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <vector>

namespace {
struct Listed {
    std::string name, root, found;
    bool active;
    bool pinned = false;
};

// Detected releases first, then those added by hand, each group in the order of its set.
std::vector<Listed> ListedReleases() {
    const std::string activeRoot = UseEnvReadActiveRoot();
    std::vector<Listed> listed;
    const auto add = [&](const UseReleaseSet& set, const char* found) {
        for (const auto& [name, root] : set.Entries())
            listed.push_back(
                {name, root, found,
                 !activeRoot.empty() && UseEqualsNoCase(UseTrimTrailingBackslashes(root), activeRoot)});
    };
    add(UseDetectedReleases(), "detected");
    // A hand-configured store that cannot be read throws UseException; start-up reports it.
    add(UseManualReleases().Releases(), "hand-configured");
    // The release the current folder's pin names, as "-env ." finds it: the first of that name.
    const std::optional<UseReleasePin> pin = UseFindReleasePin(UseCurrentFolderUtf8());
    const std::string pinned = pin ? UseAnsiFromUtf8(pin->name) : std::string();
    const auto named = std::ranges::find_if(listed, [&](const Listed& release) {
        return !pinned.empty() && UseEqualsNoCase(release.name, pinned);
    });
    if (named != listed.end()) named->pinned = true;
    return listed;
}
} // namespace

void UseListReleases(const std::string& form, UseCommandLineRun& run) {
    if (!form.empty() && form != "json") {
        UsePrintLine("The list form \"" + form +
                     "\" is unknown; -list prints lines, -list json a JSON array.");
        run.refused = true;
        return;
    }
    const std::vector<Listed> listed = ListedReleases();
    if (form == "json") {
        nlohmann::json array = nlohmann::json::array();
        for (const Listed& release : listed)
            array.push_back({{"name", UseUtf8FromAnsi(release.name)},
                             {"root", UseUtf8FromAnsi(release.root)},
                             {"found", release.found},
                             {"active", release.active},
                             {"pinned", release.pinned}});
        // ASCII alone, whatever code page the reader decodes it with.
        UsePrintLine(array.dump(-1, ' ', true));
        return;
    }
    size_t nameWidth = 0, rootWidth = 0;
    for (const Listed& release : listed) {
        nameWidth = std::max(nameWidth, release.name.size());
        rootWidth = std::max(rootWidth, release.root.size());
    }
    for (const Listed& release : listed)
        UsePrintLine(std::string(release.active ? "* " : "  ") + release.name +
                     std::string(nameWidth - release.name.size() + 2, ' ') + release.root +
                     std::string(rootWidth - release.root.size() + 2, ' ') + release.found +
                     (release.pinned ? "  pinned" : ""));
}

// Releases pinned per project: "-pin" and the pin behind "." for "-env" and "-exec".
#include "app/Options.h"
#include "app/StandardOutput.h"
#include "catalogue/ReleasePin.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

namespace {
// Paths and names as one line in the code page: whatever a pin or a folder holds.
void Say(const std::string& line) {
    UsePrintLine(UseAnsiFromUtf8(UseEscapeControls(line)));
}
} // namespace

UseRelease UseFindPinnedRelease(const std::string& folder, UseCommandLineRun& run) {
    const std::optional<UseReleasePin> pin = UseFindReleasePin(folder);
    std::string line;
    if (!pin)
        line = "No release is pinned for " + folder + ": there is no " + kUsePinFileName +
               " in it or in a folder above it.";
    else if (!pin->problem.empty())
        line = pin->problem;
    else if (pin->name.empty())
        line = "The pin file " + pin->file + " names no release.";
    if (!line.empty()) {
        Say(line);
        run.refused = true;
        return {};
    }
    const UseRelease release = UseLookUpRelease(UseAnsiFromUtf8(pin->name), UseReleaseTrust::User);
    if (release.root.empty()) {
        Say("The release \"" + pin->name + "\" pinned by " + pin->file + " can not be found.");
        run.notFound = true;
    }
    return release;
}

void UsePinRelease(const std::string& name, UseCommandLineRun& run) {
    const std::string folder = UseCurrentFolderUtf8();
    if (name.empty()) {
        const std::optional<UseReleasePin> pin = UseFindReleasePin(folder);
        if (pin && pin->problem.empty() && !pin->name.empty()) {
            Say("The release \"" + pin->name + "\" is pinned by " + pin->file + ".");
            return;
        }
        // What is wrong with the pin in force, said as "-env ." would say it.
        UseFindPinnedRelease(folder, run);
        run.refused = true;
        return;
    }
    const UseRelease release = UseLookUpRelease(name, UseReleaseTrust::User);
    if (release.root.empty()) {
        UseFindReleaseRoot(name, run); // says so
        return;
    }
    // The name as the catalogue holds it, letter case and all: the command line's comes lower-cased.
    const std::string pinned = UseUtf8FromAnsi(release.name);
    if (const std::string refusal = UseWriteReleasePin(folder, pinned); !refusal.empty()) {
        Say(refusal);
        run.refused = true;
        return;
    }
    Say("The release \"" + pinned + "\" is pinned by " + UseTrimTrailingBackslashes(folder) + "\\" +
        kUsePinFileName + ".");
}

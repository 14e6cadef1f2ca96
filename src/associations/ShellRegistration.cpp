#include "associations/ShellRegistration.h"

#include "associations/AssociationText.h"
#include "associations/ShellClasses.h"
#include "associations/ToolPaths.h"
#include "environment/Environment.h"
#include "platform/Registry.h"

void UseApplyAssociation(const std::string& extension, const std::string& program, const std::string& options,
                         bool machineWide) {
    if (!UseExtensionProblem(extension).empty()) return;
    const std::string resolved = UseExpandSuitePath(program);
    if (resolved.empty()) return; // too long to resolve: registering the bare options would be worse
    const std::string command = UseBuildShellCommand(resolved, options);
    const std::string associationClass = UseAssociationClassFor(extension);
    const bool classNamed =
        UseRegWriteString(UseExtensionKeyFor(extension), "", associationClass, machineWide);
    if (UseRegWriteString(UseCommandKeyFor(associationClass), "", command, machineWide) || classNamed)
        UseNoteAssociationChange();
    UseRegWriteString(UseRecordKeyFor(extension), "Application", command, machineWide);
}

bool UseReapplyAssociations(bool machineWide) {
    const auto extensions = UseRegOpenKey(kFileAssociationsKey, machineWide, KEY_READ).SubKeyNames();
    if (!extensions) return false;
    for (const std::string& extension : *extensions) {
        const std::string options = UseReadShellOptions(extension);
        const std::string tool = UseToolProgramFor(extension);
        if (tool.empty()) continue;
        // Registration always goes to the current user's classes, whichever record was read.
        UseApplyAssociation(extension, "\"" + tool + "\"", options, false);
    }
    return true;
}

std::string UseReadShellOptions(const std::string& extension) {
    std::string program, options;
    UseSplitShellCommand(UseShellCommandFor(extension), program, options);
    return options;
}

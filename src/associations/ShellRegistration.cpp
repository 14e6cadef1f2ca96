#include "associations/ShellRegistration.h"

#include "associations/AssociationStore.h"
#include "associations/AssociationText.h"
#include "associations/ToolPaths.h"
#include "environment/Environment.h"
#include "platform/LazyFunction.h"
#include "platform/Registry.h"

#include <shlobj.h>

#include <atomic>

namespace {
std::atomic<bool> associationsChanged{false};
auto changeNotify = USE_LAZY_FUNCTION("shell32.dll", SHChangeNotify);
} // namespace

void UseApplyAssociation(const std::string& extension, const std::string& program, const std::string& options,
                         bool machineWide) {
    const std::string resolved = UseExpandSuitePath(program);
    if (resolved.empty()) return; // too long to resolve: registering the bare options would be worse
    const std::string command = UseBuildShellCommand(resolved, options);
    const std::string associationClass = UseAssociationClassFor(extension);
    UseNoteAssociationChange();
    UseRegWriteString(UseExtensionKeyFor(extension), "", associationClass, machineWide);
    UseRegWriteString(UseCommandKeyFor(associationClass), "", command, machineWide);
    UseRegWriteString(UseRecordKeyFor(extension), "Application", command, machineWide);
}

bool UseReapplyAssociations(bool machineWide) {
    const UseRegKey key = UseRegOpenKey(kFileAssociationsKey, machineWide, KEY_READ);
    if (!key) return false;
    const auto count = key.SubKeyCount();
    if (!count) return false;
    for (DWORD index = 0; index < *count; ++index) {
        const auto extension = key.SubKeyName(index, 255);
        if (!extension) continue;
        const std::string options = UseReadShellOptions(*extension);
        const std::string tool = UseToolProgramFor(*extension);
        if (tool.empty()) continue;
        // Registration always goes to the current user's classes, whichever record was read.
        UseApplyAssociation(*extension, "\"" + tool + "\"", options, false);
    }
    return true;
}

std::string UseReadShellOptions(const std::string& extension) {
    std::string program, options;
    UseSplitShellCommand(UseShellCommandFor(extension), program, options);
    return options;
}

void UseNoteAssociationChange() {
    associationsChanged = true;
}

bool UseNotifyShellOfAssociationChanges() {
    // A shell32 without the function misses the notice: the registrations themselves are stored.
    if (!associationsChanged.exchange(false) || !changeNotify) return false;
    changeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}

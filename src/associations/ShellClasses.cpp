#include "associations/ShellClasses.h"

#include "associations/AssociationText.h"
#include "environment/Environment.h"
#include "platform/LazyFunction.h"
#include "platform/Registry.h"

#include <shlobj.h>

namespace {
bool associationsChanged = false;
auto changeNotify = USE_LAZY_FUNCTION("shell32.dll", SHChangeNotify);

// The default value of a key of the shell's classes when it is a string, up to its first zero byte (a
// value another program stored without one still counts); a key that does not open with read and
// write access counts as missing.
std::string ReadClassesDefault(const std::string& path) {
    return UseRegOpenClassesKey(path, KEY_READ | KEY_WRITE)
        .QueryString("", UseStringRule::AnyEnding)
        .value_or(std::string());
}
} // namespace

std::string UseRecordKeyFor(const std::string& extension) {
    return std::string(kFileAssociationsKey) + "\\" + extension;
}

std::string UseExtensionKeyFor(const std::string& extension) {
    return std::string(kUseClassesKey) + "\\." + extension;
}

std::string UseCommandKeyFor(const std::string& associationClass) {
    return std::string(kUseClassesKey) + "\\" + associationClass + "\\shell\\open\\command";
}

std::string UseReadShellOpenCommand(const std::string& extension) {
    const std::string associationClass = ReadClassesDefault("." + extension);
    if (associationClass.empty()) return {};
    return ReadClassesDefault(associationClass + "\\shell\\open\\command");
}

std::string UseShellCommandFor(const std::string& extension) {
    return UseRemoveQuotedPlaceholders(UseReadShellOpenCommand(extension));
}

std::string UseExecutableFileTypes() {
    const DWORD size = GetEnvironmentVariableA("PATHEXT", nullptr, 0);
    if (size == 0) return {};
    std::string types(size, '\0');
    const DWORD length = GetEnvironmentVariableA("PATHEXT", types.data(), size);
    types.resize(length < size ? length : 0);
    return types;
}

std::string UseExtensionProblem(const std::string& extension) {
    return UseExtensionRefusal(extension, UseExecutableFileTypes());
}

void UseNoteAssociationChange() {
    associationsChanged = true;
}

bool UseNotifyShellOfAssociationChanges() {
    // A shell32 without the function misses the notice: the registrations themselves are stored.
    if (!associationsChanged || !changeNotify) return false;
    associationsChanged = false;
    changeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}

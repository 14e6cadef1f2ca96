#include "associations/AssociationStore.h"

#include "associations/AssociationText.h"
#include "associations/ShellClasses.h"
#include "associations/ToolPaths.h"
#include "environment/Environment.h"
#include "platform/Registry.h"
#include "platform/UseException.h"

UseAssociationTable& UseLazyAssociationTable::Get() {
    if (!table_) {
        auto table = std::make_unique<UseAssociationTable>();
        UseLoadAssociations(*table, false);
        table_ = std::move(table);
    }
    return *table_;
}

namespace {
constexpr const char* kUnreadableStore = "Unable to retrieve registry entry for file extension";

// What a load finds out before it reads a record: a record key that is there must open for reading
// and count its records, one that is missing is created. Throws the load's failures; true when the
// key was there.
bool CheckRecordKey(bool machineWide) {
    if (!UseRegKeyExists(kFileAssociationsKey, machineWide)) {
        if (!UseRegCreateKey(kFileAssociationsKey, machineWide))
            throw UseException("Unable to create registry entry for file extension");
        return false;
    }
    if (!UseRegOpenKey(kFileAssociationsKey, machineWide, KEY_READ).SubKeyCount())
        throw UseException(kUnreadableStore);
    return true;
}
} // namespace

UseAssociationTable& UseLazyAssociationTable::ForAdds() {
    if (table_) return *table_;
    CheckRecordKey(false);
    return unlisted_;
}

UseLazyAssociationTable& UseAssociations() {
    static UseLazyAssociationTable tables;
    return tables;
}

bool UseLoadAssociations(UseAssociationTable& table, bool machineWide) {
    if (!CheckRecordKey(machineWide)) return true;
    const auto extensions = UseRegOpenKey(kFileAssociationsKey, machineWide, KEY_READ).SubKeyNames();
    if (!extensions) throw UseException(kUnreadableStore);
    for (const std::string& extension : *extensions) {
        std::string command = UseShellCommandFor(extension);
        if (!command.empty()) table.commands[extension] = std::move(command);
    }
    return true;
}

const std::vector<std::string>& UseAssociationLines(UseAssociationTable& table) {
    table.lines.clear();
    for (const auto& [extension, command] : table.commands)
        table.lines.push_back(UseAssociationLineOf(extension, command));
    return table.lines;
}

bool UseAddAssociation(UseAssociationTable& table, const std::string& extension, const std::string& program,
                       const std::string& options, bool machineWide) {
    UseProgramProbe probe;
    return UseTryAddAssociation(table, extension, program, options, machineWide, probe).empty();
}

std::string UseTryAddAssociation(UseAssociationTable& table, const std::string& extension,
                                 const std::string& program, const std::string& options, bool machineWide,
                                 UseProgramProbe& probe) {
    if (const UseExtensionFault fault = UseExtensionFaultOf(extension, UseExecutableFileTypes());
        fault != UseExtensionFault::None)
        return UseExtensionFaultPhrase(extension, fault);
    if (!probe.Exists(program)) return "the program \"" + program + "\" does not exist";
    const std::string command = UseBuildAddCommand(program, options);
    const std::string associationClass = UseAssociationClassFor(extension);
    const std::string recordKey = UseRecordKeyFor(extension);
    const std::string extensionKey = UseExtensionKeyFor(extension);
    const std::string commandKey = UseCommandKeyFor(associationClass);
    // Resolved before anything is written: a command the platform cannot expand (32,767 characters
    // or more) is refused whole rather than stored as a half record.
    const std::string resolvedCommand = UseExpandSuitePath(command, probe.Root());
    if (resolvedCommand.empty())
        return "its open command is too long (32,767 characters or more once expanded)";
    const auto refused = [machineWide](const std::string& key) {
        return std::string("the registry refused a write to ") +
               (machineWide ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + key;
    };
    // Each write creates its key, and needs the one before it; the first refusal ends the add. The
    // shell sees a change once the extension names its class.
    if (!UseRegWriteString(recordKey, "Application", program, machineWide)) return refused(recordKey);
    if (!UseRegWriteString(extensionKey, "", associationClass, machineWide)) return refused(extensionKey);
    UseNoteAssociationChange();
    if (!UseRegWriteString(commandKey, "", resolvedCommand, machineWide)) return refused(commandKey);
    table.commands[extension] = command;
    return {};
}

bool UseDeleteAssociation(UseAssociationTable& table, const std::string& extension, bool machineWide) {
    // The registry reads an empty subkey name as the parent itself, which is not this extension's to remove.
    if (extension.empty()) return false;
    const std::string extensionKey = UseExtensionKeyFor(extension);
    const std::string classKey = std::string(kUseClassesKey) + "\\" + UseAssociationClassFor(extension);
    const bool registered =
        UseRegKeyExists(extensionKey, machineWide) || UseRegKeyExists(classKey, machineWide);
    // Every step runs, whatever the one before gave.
    bool deleted = table.commands.erase(extension) == 1;
    deleted = UseRegDeleteSubKey(kFileAssociationsKey, extension, machineWide) && deleted;
    deleted = UseRegDeleteSubKey(kUseClassesKey, "." + extension, machineWide) && deleted;
    deleted = UseRegDeleteKeyTree(kUseClassesKey, UseAssociationClassFor(extension), machineWide) && deleted;
    if (registered && !(UseRegKeyExists(extensionKey, machineWide) && UseRegKeyExists(classKey, machineWide)))
        UseNoteAssociationChange();
    return deleted;
}

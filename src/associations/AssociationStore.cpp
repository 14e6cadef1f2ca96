#include "associations/AssociationStore.h"

#include "app/UseException.h"
#include "associations/AssociationText.h"
#include "associations/ShellRegistration.h"
#include "associations/ToolPaths.h"
#include "environment/Environment.h"
#include "platform/Registry.h"

namespace {
// The default value of a key of the shell's classes when it is a string, up to its first zero byte (a
// value another program stored without one still counts); a key that does not open with read and
// write access counts as missing.
std::string ReadClassesDefault(const std::string& path) {
    const UseRegKey key = UseRegOpenClassesKey(path, KEY_READ | KEY_WRITE);
    if (!key) return {};
    const auto value = key.QueryValue("");
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    return std::string(value->data.c_str());
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

UseAssociationTable& UseLazyAssociationTable::Get() {
    if (!table_) {
        auto table = std::make_unique<UseAssociationTable>();
        UseLoadAssociations(*table, false);
        table_ = std::move(table);
    }
    return *table_;
}

UseLazyAssociationTable& UseProcessAssociations() {
    static UseLazyAssociationTable tables;
    return tables;
}

UseAssociationTable& UseAssociations() {
    return UseProcessAssociations().Get();
}

bool UseLoadAssociations(UseAssociationTable& table, bool machineWide) {
    if (!UseRegKeyExists(kFileAssociationsKey, machineWide)) {
        if (!UseRegCreateKey(kFileAssociationsKey, machineWide))
            throw UseException("Unable to create registry entry for file extension");
        return true;
    }
    const UseException unreadable("Unable to retrieve registry entry for file extension");
    const UseRegKey key = UseRegOpenKey(kFileAssociationsKey, machineWide, KEY_READ);
    if (!key) throw unreadable;
    const auto count = key.SubKeyCount();
    if (!count) throw unreadable;
    for (DWORD index = 0; index < *count; ++index) {
        const auto extension = key.SubKeyName(index, 255);
        if (!extension) throw unreadable;
        std::string command = UseShellCommandFor(*extension);
        if (!command.empty()) table.commands[*extension] = std::move(command);
    }
    return true;
}

std::string UseReadShellOpenCommand(const std::string& extension) {
    const std::string associationClass = ReadClassesDefault("." + extension);
    if (associationClass.empty()) return {};
    return ReadClassesDefault(associationClass + "\\shell\\open\\command");
}

std::string UseShellCommandFor(const std::string& extension) {
    return UseRemoveQuotedPlaceholders(UseReadShellOpenCommand(extension));
}

const std::vector<std::string>& UseAssociationLines(UseAssociationTable& table) {
    table.lines.clear();
    for (const auto& [extension, command] : table.commands)
        table.lines.push_back(UseAssociationLineOf(extension, command));
    return table.lines;
}

bool UseAddAssociation(UseAssociationTable& table, const std::string& extension, const std::string& program,
                       const std::string& options, bool machineWide) {
    if (!UseProgramExists(program)) return false;
    const std::string command = UseBuildAddCommand(program, options);
    const std::string associationClass = UseAssociationClassFor(extension);
    const std::string recordKey = UseRecordKeyFor(extension);
    const std::string extensionKey = UseExtensionKeyFor(extension);
    const std::string commandKey = UseCommandKeyFor(associationClass);
    // Resolved before anything is written: a command the platform cannot expand (32,767 characters
    // or more) is refused whole rather than stored as a half record.
    const std::string resolvedCommand = UseExpandSuitePath(command);
    if (resolvedCommand.empty()) return false;
    UseNoteAssociationChange();
    // Each step needs the one before it; the first refusal ends the add.
    const bool stored = UseRegCreateKey(recordKey, machineWide) &&
                        UseRegWriteString(recordKey, "Application", program, machineWide) &&
                        UseRegCreateKey(extensionKey, machineWide) &&
                        UseRegWriteString(extensionKey, "", associationClass, machineWide) &&
                        UseRegCreateKey(commandKey, machineWide) &&
                        UseRegWriteString(commandKey, "", resolvedCommand, machineWide);
    if (!stored) return false;
    table.commands[extension] = command;
    return true;
}

bool UseDeleteAssociation(UseAssociationTable& table, const std::string& extension, bool machineWide) {
    // The registry reads an empty subkey name as the parent itself, which is not this extension's to remove.
    if (extension.empty()) return false;
    UseNoteAssociationChange();
    // Every step runs, whatever the one before gave.
    bool deleted = table.commands.erase(extension) == 1;
    deleted = UseRegDeleteSubKey(kFileAssociationsKey, extension, machineWide) && deleted;
    deleted = UseRegDeleteSubKey(kUseClassesKey, "." + extension, machineWide) && deleted;
    deleted = UseRegDeleteKeyTree(kUseClassesKey, UseAssociationClassFor(extension), machineWide) && deleted;
    return deleted;
}

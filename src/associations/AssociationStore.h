#pragma once
// The record of file associations: one subkey per extension under the program's File Associations
// key, the matching shell registration under SOFTWARE\Classes, and the in-memory table that the File
// Association Setup dialog lists. Registry work runs under HKEY_LOCAL_MACHINE when machineWide is
// true, else under HKEY_CURRENT_USER.
#include <map>
#include <memory>
#include <string>
#include <vector>

class UseProgramProbe;

struct UseAssociationTable {
    // Extension (exact text) to display command: the command an add built, unresolved, or the shell's
    // open command after a load.
    std::map<std::string, std::string> commands;
    // Association lines, rebuilt by UseAssociationLines.
    std::vector<std::string> lines;
};

// A table created and loaded from the user's record on first use. A load that raises leaves nothing
// behind, so the next use tries again.
class UseLazyAssociationTable {
public:
    UseAssociationTable& Get();
    // The table a run of adds records its entries in: the loaded one when there is one. Otherwise
    // the record key is only checked as a load checks it (throwing the same UseException), and the
    // adds go to a table of their own: loading every record's registration only to add to them would
    // cost an import more than its own work, and the first Get() reads the adds back anyway.
    UseAssociationTable& ForAdds();

private:
    std::unique_ptr<UseAssociationTable> table_;
    UseAssociationTable unlisted_;
};

// The process-wide table, loaded on first use: Get() throws UseException when that load fails.
UseLazyAssociationTable& UseAssociations();

// Adds or replaces an entry for every recorded extension that has a shell registration. Always true;
// throws UseException "Unable to retrieve registry entry for file extension" when the record key
// cannot be read, "Unable to create registry entry for file extension" when it is missing and cannot
// be created.
bool UseLoadAssociations(UseAssociationTable& table, bool machineWide);

// Rebuilds and returns the table's association lines, in the map's order.
const std::vector<std::string>& UseAssociationLines(UseAssociationTable& table);

// Records and registers one association: nothing is written for an extension that cannot be
// associated (UseExtensionProblem), a program that does not exist or an open command too long to
// expand; the first registry step that fails ends the add and leaves what was written before it. True
// when every step succeeded.
bool UseAddAssociation(UseAssociationTable& table, const std::string& extension, const std::string& program,
                       const std::string& options, bool machineWide);
// The same for one of a run of adds, which share what probe has read: empty when every step
// succeeded, else why the add stopped, as a phrase ("the program "C:\x.exe" does not exist").
std::string UseTryAddAssociation(UseAssociationTable& table, const std::string& extension,
                                 const std::string& program, const std::string& options, bool machineWide,
                                 UseProgramProbe& probe);

// Removes the table entry, the record, the extension key and the class tree; every step runs. True
// only when every step succeeded (the table entry must exist).
bool UseDeleteAssociation(UseAssociationTable& table, const std::string& extension, bool machineWide);

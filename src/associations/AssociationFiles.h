#pragma once
// Association files (one association line per line, "#" comments) and the default associations that
// the File Association Setup dialog applies for a user without records.
#include "associations/AssociationStore.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// Told one line at a time what an import left out, ready to print: the file itself ("The association
// file C:\x.txt does not exist.") or one line of it, its number and why ("Line 3 of C:\x.txt was not
// imported: the program "C:\y.exe" does not exist.").
using UseImportReport = std::function<void(const std::string& line)>;

// Adds every association of the file through UseTryAddAssociation on the process-wide table: a bare
// file name is read from the current folder. Blank lines and "#" comments are skipped; every other
// line that is not recorded, and a file that does not open or is not 8-bit text, is told to report
// (when there is one) and the import goes on with the next line. A user's record key that cannot be
// read or created throws, at the first association line, the UseException the table's first load
// would throw, which ends the import. True when the file opened, was 8-bit text, and every
// association line whose program exists was recorded (a line with an extension that cannot be
// registered, or one whose registry writes were refused, makes it false; a malformed line or a
// missing program does not).
bool UseImportAssociations(const std::string& fileName, bool machineWide, const UseImportReport& report = {});
// The same, on the table that tables holds.
bool UseImportAssociations(const std::string& fileName, bool machineWide, UseLazyAssociationTable& tables,
                           const UseImportReport& report = {});

// Registers every valid line whose program exists through UseApplyAssociation. False when the file
// does not open.
bool UseApplyAssociationFile(const std::string& path, bool machineWide);

// The places a defaults file is looked for, in order: the site folder when one is set, else the
// installation share; then, when the program's folder is known, that folder and the installation's
// tools folder. Empty arguments mean "not set".
std::vector<std::string> UseDefaultsFileCandidates(const std::string& site, const std::string& root,
                                                   const std::string& programFolder);

// Applies the first defaults file found (site or share, program folder, installation tools), or the
// tools of the active release when there is none.
void UseLoadDefaultAssociations(bool machineWide);
// The same with the program's folder given (empty when it is unknown).
void UseLoadDefaultAssociations(bool machineWide, const std::string& programFolder);

// Registers the active release's tool for each default extension, "out" with "/dde". Does nothing
// when no root is set.
void UseBuildToolAssociations(bool machineWide);

// For every default extension with a tool in the active release, that tool (unresolved). Leaves the
// map alone when no root is set.
void UseCollectToolPrograms(std::map<std::string, std::string>& programs);

// What the File Association Setup dialog does as it opens: the defaults for a user without records
// (no record key, or an empty one), else the records registered again for the active release.
void UseBringRegistrationsUpToDate();

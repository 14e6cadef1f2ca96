#include "app/Options.h"
#include "associations/AssociationFiles.h"

// Neither import opens the main dialog: a file without usable lines is not an error. A table that
// cannot be loaded throws UseException on to start-up, which reports it.
void UseImportUserAssociations(const std::string& file, UseCommandLineRun&) {
    UseImportAssociations(file, false);
}

void UseImportMachineAssociations(const std::string& file, UseCommandLineRun&) {
    UseImportAssociations(file, true);
}

#include "app/Options.h"
#include "associations/AssociationFiles.h"

// Neither import opens the main dialog, and neither says what went wrong with the file or its
// lines; an import that did not record every usable line (the file missing or not 8-bit text, an
// extension that cannot be registered, a refused write) only sets exit code 1 for scripts. A table
// that cannot be loaded throws UseException on to start-up, which reports it.
void UseImportUserAssociations(const std::string& file, UseCommandLineRun& run) {
    if (!UseImportAssociations(file, false)) run.refused = true;
}

void UseImportMachineAssociations(const std::string& file, UseCommandLineRun& run) {
    if (!UseImportAssociations(file, true)) run.refused = true;
}

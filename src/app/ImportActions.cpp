#include "app/Options.h"
#include "app/StandardOutput.h"
#include "associations/AssociationFiles.h"

// Neither import opens the main dialog. Each prints one line for the file when it is missing or not
// 8-bit text, and one for every line it did not import, with why; an import that did not record every
// usable line (the file missing or not 8-bit text, an extension that cannot be registered, a refused
// write) also sets exit code 1 for scripts, while a line naming a program this release lacks does
// not. A table that cannot be loaded throws UseException on to start-up, which reports it.
void UseImportUserAssociations(const std::string& file, UseCommandLineRun& run) {
    if (!UseImportAssociations(file, false, UsePrintLine)) run.refused = true;
}

void UseImportMachineAssociations(const std::string& file, UseCommandLineRun& run) {
    if (!UseImportAssociations(file, true, UsePrintLine)) run.refused = true;
}

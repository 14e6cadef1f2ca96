#include "app/Options.h"

// Placeholder until the association import lands.
void UseImportUserAssociations(const std::string&, UseCommandLineRun&) {}
void UseImportMachineAssociations(const std::string&, UseCommandLineRun&) {}

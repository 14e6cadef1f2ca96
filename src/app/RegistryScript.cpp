#include "app/Options.h"

// Placeholder until "-reg" lands.
void UseRunRegistryScript(const std::string&, UseCommandLineRun&) {}
